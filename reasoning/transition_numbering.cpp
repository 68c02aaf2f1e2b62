// Numbers and weights of the transitions, and the guards they count.
#include <algorithm>
#include <iostream>
#include <memory>

#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/itms.h"

namespace {

bool mentionsCommand(const StateFormula *guard) {
  if (guard == nullptr)
    return false;
  std::unique_ptr<SignedAtoms> literals(guard->getAllSignedAtoms());
  for (const auto &literal : *literals)
    if (literal.second->getVarType() == "Command")
      return true;
  return false;
}

// An idle or failure transition whose guard ignores the commands is not
// valid as such; it is enabled by every value of the input commands.
void referToCommands(Transition *transition, Comp *comp) {
  if (mentionsCommand(transition->pre))
    return;
  transition->valid = false;
  if (comp->cmdIn == nullptr)
    return;
  for (CommandVar *command : *comp->cmdIn)
    for (Atom *atom : command->getAtomLinks()) {
      // A later compilation finds the reference already there.
      if (std::find(atom->transPre.begin(), atom->transPre.end(), transition) ==
          atom->transPre.end())
        atom->addRefTransPre(transition);
      std::cout << "adding idle trans reference :\n" << atom->id << "\n";
      transition->showTransition();
    }
}

} // namespace

void itms::idTransitions(Comp *comp, int &counter) {
  std::vector<Transition *> *transitions = comp->getCompTransitions();
  if (transitions == nullptr)
    return;
  const double count = static_cast<double>(transitions->size());
  for (Transition *transition : *transitions) {
    transition->setID(counter);
    transition->showTransition();
    active_trans[counter] = transition;
    transition->computedProba = transition->proba / count;
    std::cout << "weight : " << transition->computedProba << "\n";
    ++counter;
    if (transition->idle || transition->type == "Fail")
      referToCommands(transition, comp);
  }

  comp->getTransitionsGuards();
  for (Transition *transition : *transitions) {
    // Without a mode among its positive guard atoms a transition has no guard count.
    if (transition->modeVar == nullptr || transition->preModeAtom == nullptr)
      continue;
    std::cout << "guards number of " << transition->preModeAtom->id << " : "
              << transition->preModeAtom->nbGuards << "\n";
    std::cout << "guards number of " << transition->modeVar->name << " : "
              << transition->modeVar->nbGuards << "\n";
    transition->guardProba = transition->proba / transition->modeVar->nbGuards;
    std::cout << "guard proba : " << transition->guardProba << "\n";
  }
}
