// Propositional formulas over atoms: state formulas (an operator over signed
// atoms and nested state formulas) and the constraints of a component type
// (an implication from pre to post, or a combination of sub-constraints).
#ifndef MORVEL_DISCRETE_FORMULA_H
#define MORVEL_DISCRETE_FORMULA_H

#include <string>
#include <vector>

#include "discrete/signed_atoms.h"

class Atom;

// In a state formula the sign true marks a positive literal.
class StateFormula {
 public:
  StateFormula();
  explicit StateFormula(Atom *atom);
  StateFormula(Atom *atom, bool sign);
  ~StateFormula();
  StateFormula(const StateFormula &) = delete;
  StateFormula &operator=(const StateFormula &) = delete;

  std::string getOperat() const { return operat; }
  // Only "and" and "or" are accepted; any other text is ignored.
  void setOperat(std::string op);
  SignedAtoms *getAtoms() { return atoms; }
  // Null until the first nested formula is added.
  std::vector<StateFormula *> *getStateFormulas() { return stateFormulas; }
  void addAtom(Atom *atom) { addAtom(atom, true); }
  void addAtom(Atom *atom, bool sign) { atoms->insert(sign, atom); }
  void addStateFormula(StateFormula *formula);
  // New containers, owned by the caller: the atoms of this formula and of its
  // nested formulas, recursively, in literal order then nesting order.
  std::vector<Atom *> *getAllAtoms() const;
  SignedAtoms *getAllSignedAtoms() const;
  // Add literals to this formula: every atom of the list as a positive
  // literal, or every literal of the map with its sign.
  void copyAtoms(const std::vector<Atom *> *from);
  void copyAtoms(const SignedAtoms *from);
  // True when every literal of this formula (at any level) occurs in other,
  // with the same sign and the same atom object.
  bool eq(const StateFormula *other) const;
  void showStateFormula() const;

  std::string operat;
  std::vector<StateFormula *> *stateFormulas = nullptr;  // owned, with its formulas
  SignedAtoms *atoms;                                    // owned; the atoms are not
  bool negated = false;
  int tag = -1;

 private:
  void collectAtoms(std::vector<Atom *> &into) const;
  void collectSignedAtoms(SignedAtoms &into) const;
};

// A constraint of a component type; it owns its formulas.
class Formula {
 public:
  Formula() = default;
  Formula(StateFormula *pre, StateFormula *post, std::vector<Formula *> *subs);
  Formula(StateFormula *pre, StateFormula *post, std::vector<Formula *> *subs, bool);
  ~Formula();
  Formula(const Formula &) = delete;
  Formula &operator=(const Formula &) = delete;

  void addFormula(Formula *sub);
  std::string getOperat() const { return operat; }
  // Only "and" and "or" are accepted; any other text is ignored.
  void setOperat(std::string op);
  void showFormula() const;

  std::string operat;
  StateFormula *pre = nullptr;
  StateFormula *post = nullptr;
  std::vector<Formula *> *subFormulas = nullptr;
};

#endif
