// Transition guards expanded over the prime implicants of their atoms: each
// guard becomes a list of alternative conjunctions of positive atoms, kept
// as the transition's extra formulas.
#include <iostream>

#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/itms.h"
#include "reasoning/pi_table.h"

namespace {

// The values a negated guard literal stands for: the atoms of its variable
// that the guard does not negate.
std::vector<Atom *> allowedValues(Atom *negated, const SignedAtoms &guard) {
  std::vector<Atom *> allowed;
  for (Atom *sibling : negated->stateVar->getAtomLinks()) {
    bool excluded = false;
    for (const auto &literal : guard)
      excluded = excluded || (!literal.first && literal.second == sibling);
    if (!excluded)
      allowed.push_back(sibling);
  }
  return allowed;
}

StateFormula *conjunction() {
  auto *formula = new StateFormula();
  formula->setOperat("and");
  return formula;
}

} // namespace

void itms::compilePI() {
  if (piTable == nullptr)
    return;
  for (const auto &entry : active_comps) {
    std::vector<Transition *> *transitions = entry.second->getCompTransitions();
    if (transitions == nullptr)
      continue;
    for (Transition *transition : *transitions) {
      auto *alternatives = new std::vector<StateFormula *>();
      if (transition->pre != nullptr) {
        const SignedAtoms &guard = *transition->pre->getAtoms();
        bool first = true;
        for (const auto &literal : guard) {
          std::vector<Atom *> atoms{literal.second};
          if (!literal.first)
            atoms = allowedValues(literal.second, guard);
          for (Atom *atom : atoms) {
            if (first)
              compilePreInitAtoms(atom, alternatives);
            else
              compilePreAtoms(atom, alternatives);
          }
          first = false;
        }
      }
      if (transition->extraFormulas != nullptr) {
        for (StateFormula *formula : *transition->extraFormulas)
          delete formula;
        delete transition->extraFormulas;
      }
      transition->extraFormulas = alternatives;
    }
  }
  std::cout << "transitions compilation successful.\n";
}

void itms::compilePreInitAtoms(Atom *atom, std::vector<StateFormula *> *alternatives) {
  Implicants *implicants = piTable != nullptr ? piTable->getPIs(atom) : nullptr;
  if (implicants == nullptr || implicants->empty()) {
    StateFormula *alone = conjunction();
    alone->addAtom(atom);
    alternatives->push_back(alone);
    return;
  }
  for (std::vector<Atom *> *implicant : *implicants) {
    StateFormula *formula = conjunction();
    formula->copyAtoms(implicant);
    alternatives->push_back(formula);
  }
}

void itms::compilePreAtoms(Atom *atom, std::vector<StateFormula *> *alternatives) {
  Implicants *implicants = piTable != nullptr ? piTable->getPIs(atom) : nullptr;
  if (implicants == nullptr || implicants->empty()) {
    for (StateFormula *formula : *alternatives)
      formula->addAtom(atom);
    return;
  }
  const std::size_t existing = alternatives->size();
  for (std::size_t f = 0; f < existing; ++f) {
    StateFormula *formula = (*alternatives)[f];
    for (std::size_t i = 1; i < implicants->size(); ++i) {
      StateFormula *copy = conjunction();
      *copy->getAtoms() = *formula->getAtoms();
      copy->copyAtoms((*implicants)[i]);
      alternatives->push_back(copy);
    }
    formula->copyAtoms(implicants->front());
  }
}
