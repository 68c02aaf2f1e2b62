#include "reasoning/itms.h"

#include <iostream>
#include <set>

#include "discrete/clause.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/pi_table.h"

itms *reasoner = nullptr;

void newReasoner() {
  delete reasoner;
  reasoner = new itms();
}

itms::itms() : stateVars(new std::vector<StateVar *>()) {}

itms::~itms() {
  for (Clause *clause : compiled)
    delete clause;
  if (!compiled.empty())
    cls->clear();
  delete stateVars;
  delete piTable;
}

void itms::keep(Clause *clause) {
  cls->push_back(clause);
  compiled.push_back(clause);
}

namespace {

// Guard counts are counted afresh at every compilation.
void resetGuardCounts() {
  for (const auto &entry : DataManager::active_comps) {
    std::vector<Transition *> *transitions = entry.second->getCompTransitions();
    if (transitions == nullptr)
      continue;
    for (Transition *transition : *transitions) {
      if (transition->preModeAtom != nullptr)
        transition->preModeAtom->nbGuards = 0;
      if (transition->modeVar != nullptr)
        transition->modeVar->nbGuards = 0;
    }
  }
}

} // namespace

void itms::clauseCompilation() {
  // Earlier clauses stay alive (the reasoner owns them) but leave the list.
  delete cls;
  cls = new std::vector<Clause *>();
  delete stateVars;
  stateVars = new std::vector<StateVar *>();
  active_trans.clear();
  carriedClauses = 0;
  resetGuardCounts();
  int counter = 0;
  std::set<StateVar *> met;

  for (const auto &entry : active_comps) {
    Comp *comp = entry.second;
    if (comp->atoms == nullptr)
      comp->atoms = new AtomTable();
    comp->atoms->clear();
    std::cout << "itms::loadStateVars --> " << comp->name << "\n";
    if (comp->stateVariables != nullptr)
      for (StateVar *variable : *comp->stateVariables)
        if (met.insert(variable).second) {
          stateVars->push_back(variable);
          compileDomain(variable, comp);
        }
    clauseCompilation(comp->constraints, counter, comp);
    idTransitions(comp, counter);
    comp->computeNominalCover();
  }

  delete active_atoms;
  active_atoms = loadAtoms(cls);
  std::cout << "active atoms size : " << active_atoms->size() << "\n";
  initialize();

  nbClauses = static_cast<int>(cls->size());
  std::cout << "number of components: " << active_comps.size() << "\n";
  std::cout << "number of transitions: " << active_trans.size() << "\n";
  std::cout << "total number of constraints (clauses): " << nbClauses << "\n";
  std::cout << "number of atoms (propositions): " << active_atoms->size() << "\n";
}
