// The session's atom table and the labels of the initial state.
#include <iostream>
#include <unordered_set>

#include "discrete/clause.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/itms.h"

namespace {

// An atom appears in many clauses: the table is searched by name only the
// first time the atom is met; the first atom of a name keeps the entry.
void enterAtoms(AtomTable &table, std::unordered_set<const Atom *> &met,
                const std::vector<Clause *> &clauses) {
  for (Clause *clause : clauses)
    for (const auto &literal : *clause->getAtoms())
      if (met.insert(literal.second).second)
        table.try_emplace(literal.second->id, literal.second);
}

} // namespace

AtomTable *itms::loadAtoms(std::vector<Clause *> *clauses) {
  auto *table = new AtomTable();
  std::unordered_set<const Atom *> met;
  enterAtoms(*table, met, *clauses);
  for (StateVar *variable : *stateVars)
    enterAtoms(*table, met, variable->clauses);
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
