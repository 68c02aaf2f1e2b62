// A disjunction of literals over atoms, the unit of the compiled discrete model.
#ifndef MORVEL_DISCRETE_CLAUSE_H
#define MORVEL_DISCRETE_CLAUSE_H

#include <string>
#include <vector>

#include "discrete/signed_atoms.h"

class Atom;
class Comp;

// In a clause the sign true marks a negated literal (the atom is false) and
// false a positive one: the opposite of a state formula.
class Clause {
 public:
  explicit Clause(Comp *comp);
  Clause(Atom *atom, bool sign, Comp *comp);
  // The other clause's literals, in its order, and its component.
  explicit Clause(const Clause *other);
  ~Clause() { delete atoms; }
  Clause(const Clause &) = delete;
  Clause &operator=(const Clause &) = delete;

  void addAtom(Atom *atom, bool sign) { atoms->insert(sign, atom); }
  // Also records the clause in the atom's clause list.
  void addAtomRef(Atom *atom, bool sign);
  SignedAtoms *getAtoms() { return atoms; }
  Comp *getComp() const { return comp; }
  // The sign of the first literal on the atom; false when it does not occur.
  bool getSign(const Atom *atom) const;
  // The first atom labelled "unknown", or null.
  Atom *getUnknown() const;
  // New maps, owned by the caller, of the literals whose atom is labelled
  // other than "unknown", "true", or "false".
  SignedAtoms *getNotUnknown() const;
  SignedAtoms *getTrueAtoms() const;
  SignedAtoms *getFalseAtoms() const;
  // "true" or "false": the literal at the iterator under the variables'
  // current values.
  std::string evalAtom(SignedAtoms::iterator literal) const;
  // The atoms of the other sign when the atom is the only literal of its
  // sign, else nothing. A new vector owned by the caller.
  std::vector<Atom *> *getOpposites(const Atom *atom) const;
  bool getInternal() const { return internal; }
  void setInternal(bool isInternal) { internal = isInternal; }
  // Makes this clause the atom's support and the atom a dependent of every
  // other atom of the clause.
  void setSupport(Atom *atom);
  void showClause(bool) const;

  SignedAtoms *atoms;
  Comp *comp;
  bool internal = false;

 private:
  SignedAtoms *literalsWhere(bool (*keep)(const std::string &label)) const;
};

#endif
