// Transitions between the modes of a runtime component, and the mapping
// functions that reset continuous variables when a transition fires.
#ifndef MORVEL_RUNTIME_TRANSITION_H
#define MORVEL_RUNTIME_TRANSITION_H

#include <string>
#include <vector>

#include "sarn-runt.h"

class Atom;
class StateFormula;

// Continuous resets of one transition, applied when its guard condition holds.
class MapFunc {
 public:
  MapFunc();  // unconditional
  explicit MapFunc(condition guard);
  ~MapFunc();

  condition cond;               // NULL when unconditional
  std::vector<mapfVar> *mvs;    // the variables it resets
};

class Transition {
 public:
  Transition(StateFormula *pre, StateFormula *post, std::string type, double proba,
             double proba2, bool idle);
  ~Transition();

  // Links an atom of another component into the guard (with its sign) or the result.
  void refAtomPre(bool sign, Atom *atom);
  void refAtomPost(Atom *atom);

  int trans_id;
  std::string type;  // "Nominal", "Fail", ...
  double proba;
  double proba2;
  bool idle;
  StateFormula *pre;
  StateFormula *post;
  std::vector<MapFunc *> *mf;  // NULL without mapping functions
};

#endif
