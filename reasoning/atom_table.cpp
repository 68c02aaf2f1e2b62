// The session's atom table and the labels of the initial state.
#include <iostream>

#include "discrete/clause.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/itms.h"

namespace {

void enterAtoms(AtomTable &table, const std::vector<Clause *> &clauses) {
  for (Clause *clause : clauses)
    for (const auto &literal : *clause->getAtoms())
      table.emplace(literal.second->id, literal.second);
}

} // namespace

AtomTable *itms::loadAtoms(std::vector<Clause *> *clauses) {
  auto *table = new AtomTable();
  enterAtoms(*table, *clauses);
  for (StateVar *variable : *stateVars)
    enterAtoms(*table, variable->clauses);
  return table;
}

void itms::initialize() {
  for (const auto &entry : *active_atoms) {
    Atom *atom = entry.second;
    compileTransitionsProb(atom);
    if (atom->evalAtom()) {
      atom->set();
      for (Atom *sibling : atom->stateVar->getAtomLinks())
        if (sibling != atom)
          sibling->setLabel("false");
      atom->propagationNumber = 1;
    }
  }
}

void itms::compileTransitionsProb(Atom *atom) {
  if (atom->transPost.empty())
    return;
  double sum = 0.0;
  for (const Transition *transition : atom->transPost)
    sum += transition->proba;
  atom->proba = sum / static_cast<double>(atom->transPost.size());
  std::cout << "compiled probability : " << atom->id << " -- " << atom->proba << "\n";
}
