// A conjunction or disjunction of signed atoms: the guard or the result of
// a transition.
#ifndef MORVEL_RUNTIME_STATE_FORMULA_H
#define MORVEL_RUNTIME_STATE_FORMULA_H

#include <map>
#include <string>

class Atom;

class StateFormula {
 public:
  StateFormula();
  ~StateFormula();

  // sign true: the atom itself; false: its negation.
  void addAtom(Atom *atom, bool sign);
  // "and" or "or"; any other text is ignored.
  void setOperat(std::string operat);

  std::string operat;
  std::multimap<bool, Atom *> *atoms;
};

#endif
