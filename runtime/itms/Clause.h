// A clause of the runtime's reasoner: a disjunction of signed atoms.
#ifndef MORVEL_RUNTIME_CLAUSE_H
#define MORVEL_RUNTIME_CLAUSE_H

#include <map>

class Atom;
class Comp;
struct s_Condition;

class Clause {
 public:
  explicit Clause(Comp *comp);
  ~Clause();

  // Adds the literal (sign true: the atom itself; false: its negation) and
  // enters the clause in the atom's clauses.
  void addAtomRef(Atom *atom, bool sign);
  // Internal clauses encode a variable's domain.
  void setInternal(bool internal);
  bool getInternal() const;
  // The clause holds only when the continuous condition does (a constraint
  // CONDITION c => (...) of a definition file).
  void setCondition(s_Condition *condition);

  std::multimap<bool, Atom *> *atoms;
  Comp *comp;
  bool internal;
  s_Condition *cond;  // NULL for a clause that always holds
};

#endif
