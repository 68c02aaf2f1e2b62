// Transitions between the modes of a runtime component, and the mapping
// functions that reset continuous variables when a transition fires.
#ifndef MORVEL_RUNTIME_TRANSITION_H
#define MORVEL_RUNTIME_TRANSITION_H

#include <map>
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
  // A transition with several results, one of which it reaches.
  Transition(StateFormula *pre, std::map<int, StateFormula *> *posts, std::string type,
             double proba);
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
  StateFormula *post;                    // NULL with several results
  int nbPosts;
  std::map<int, StateFormula *> *posts;  // the several results, or NULL
  std::vector<MapFunc *> *mf;            // NULL without mapping functions
};

#endif
