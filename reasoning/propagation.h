// Solutions of the label propagation: the labels of one state, the clauses
// still to propagate, and the bookkeeping of where each label comes from.
//
// A label is firm when it was proposed or follows from firm labels through a
// clause (lock 1); the labels a state starts with, and what follows from them,
// are beliefs that a conflict may withdraw (lock 0). A derived label has mark 1
// and its antecedents, the other elements of its supporting clause, in links.
#ifndef MORVEL_REASONING_PROPAGATION_H
#define MORVEL_REASONING_PROPAGATION_H

#include <map>
#include <queue>
#include <vector>

#include "reasoning/trajectory.h"

class Clause;

// Proposed labels: the sign true proposes "true", false "false".
using Proposals = std::multimap<bool, TrajEl *>;

class ItmsRes {
 public:
  explicit ItmsRes(State *state) : ItmsRes(state, new std::queue<Clause *>()) {}
  // Takes the queue.
  ItmsRes(State *state, std::queue<Clause *> *agenda) : state(state), agenda(agenda) {}
  ~ItmsRes() { delete agenda; }
  ItmsRes(const ItmsRes &) = delete;
  ItmsRes &operator=(const ItmsRes &) = delete;

  // Releases the state.
  void clear() {
    delete state;
    state = nullptr;
  }

  State *state;
  TrajElTable changed;    // elements whose labels were set or changed
  TrajElTable withdrawn;  // elements whose labels a conflict withdrew
  std::vector<TrajEl *> derived;  // elements labelled by propagation, in order
  std::queue<Clause *> *agenda;   // owned; clauses still to propagate
  std::vector<TrajEl *> pending;  // elements whose clauses may have become unit
  Clause *lastUnit = nullptr;     // the unit clause queued last
};

#endif
