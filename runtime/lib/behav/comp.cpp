#include "Comprt.h"

Comp::Comp(string na)
    : name(std::move(na)), cmd_in(nullptr), cmd_out(nullptr), imported_comps(new vector<Comp *>()),
      state_vars(new vector<StateVar *>()), transitions(new vector<Transition *>()),
      external_clauses(nullptr), atoms(new map<string, Atom *>()), condition_offset(0) {}

Comp::~Comp() {
  delete imported_comps;
  delete state_vars;
  delete transitions;
  delete external_clauses;
  delete atoms;
}

void Comp::addStateVar(StateVar *variable) {
  variable->comp = this;
  state_vars->push_back(variable);
}

void Comp::addTransitionToC(Transition *transition) { transitions->push_back(transition); }
