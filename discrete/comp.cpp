#include "discrete/comp.h"

#include <iostream>

#include "continuous/printers.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"

namespace {

const char *const stars = "***************************************************";
const char *const dashes = "---------------------------------------------------";

void printExprLines(const s_listsarnExpr *expressions) {
  for (; expressions != nullptr; expressions = expressions->next) {
    printExpr(expressions->elt);
    std::cout << "\n";
  }
}

} // namespace

Comp::Comp(std::string name)
    : name(std::move(name)), stateVariables(new std::vector<StateVar *>()),
      constraints(new std::vector<Formula *>()), variables(new std::vector<s_variable *>()),
      influences(new std::vector<s_influence *>()), transitions(new std::vector<Transition *>()),
      atoms(new AtomTable()) {}

Comp::~Comp() {
  delete cmdIn;
  delete stateVariables;
  if (constraints != nullptr) {
    for (Formula *formula : *constraints)
      delete formula;
    delete constraints;
  }
  delete clauses;
  delete variables;
  delete influences;
  if (transitions != nullptr) {
    for (Transition *transition : *transitions)
      delete transition;
    delete transitions;
  }
  delete importedComps;
  delete correspondences;
  delete atoms;
}

void Comp::setStateVariables(std::vector<StateVar *> *variables) {
  if (variables != stateVariables)
    delete stateVariables;
  stateVariables = variables;
}

StateVar *Comp::getStateVariable(const std::string &variableName) const {
  if (stateVariables != nullptr)
    for (StateVar *variable : *stateVariables)
      if (variable->name == variableName)
        return variable;
  return nullptr;
}

void Comp::addStateVar(StateVar *variable) {
  if (stateVariables == nullptr)
    stateVariables = new std::vector<StateVar *>();
  variable->setComp(this);
  stateVariables->push_back(variable);
}

void Comp::addVariable(s_variable *variable) {
  if (variables == nullptr)
    variables = new std::vector<s_variable *>();
  variables->push_back(variable);
}

void Comp::setConstraints(std::vector<Formula *> *formulas) {
  if (formulas != constraints)
    delete constraints;
  constraints = formulas;
}

void Comp::addFormulaToCS(Formula *formula) {
  if (constraints == nullptr)
    constraints = new std::vector<Formula *>();
  constraints->push_back(formula);
}

void Comp::addInfluence(s_influence *influence) {
  if (influences == nullptr)
    influences = new std::vector<s_influence *>();
  influences->push_back(influence);
}

void Comp::setCompTransitions(std::vector<Transition *> *newTransitions) {
  if (newTransitions != transitions)
    delete transitions;
  transitions = newTransitions;
}

void Comp::addTransitionToC(Transition *transition) {
  if (transitions == nullptr)
    transitions = new std::vector<Transition *>();
  transitions->push_back(transition);
}

void Comp::computeNominalCover() {
  double sum = 0.0;
  int nominal = 0;
  if (transitions != nullptr)
    for (const Transition *transition : *transitions)
      if (transition->type == "Nominal") {
        sum += transition->proba;
        ++nominal;
      }
  nominalCover = nominal > 0 ? sum / nominal : 0.0;
}

// A certain transition (probability 1) is a guard of the mode it leaves; an
// uncertain one counts the later transitions that share its guard.
void Comp::getTransitionsGuards() {
  if (transitions == nullptr)
    return;
  for (std::size_t i = 0; i < transitions->size(); ++i) {
    Transition *transition = (*transitions)[i];
    if (transition->proba == 1.0) {
      if (transition->preModeAtom != nullptr)
        ++transition->preModeAtom->nbGuards;
      if (transition->modeVar != nullptr)
        ++transition->modeVar->nbGuards;
      continue;
    }
    for (std::size_t j = i + 1; j < transitions->size(); ++j) {
      if (transition->pre == nullptr || (*transitions)[j]->pre == nullptr ||
          !transition->pre->eq((*transitions)[j]->pre))
        continue;
      if (transition->preModeAtom != nullptr)
        ++transition->preModeAtom->nbGuards;
      if (transition->modeVar != nullptr)
        ++transition->modeVar->nbGuards;
    }
  }
}

std::string Comp::findCorresDef(const std::string &instanceName) const {
  if (correspondences != nullptr)
    for (const auto &pair : *correspondences)
      if (pair.second == instanceName)
        return pair.first;
  return "";
}

std::string Comp::findCorresName(const std::string &definitionName) const {
  if (correspondences != nullptr)
    for (const auto &pair : *correspondences)
      if (pair.first == definitionName)
        return pair.second;
  return "";
}

void Comp::showComp() const {
  std::cout << "\n" << stars << "\nComp : " << name << "\n" << stars << "\n";
  std::cout << "imported components:\n";
  if (importedComps != nullptr)
    for (const Comp *imported : *importedComps)
      std::cout << imported->varName << "\n";
  std::cout << "States : \n";
  if (stateVariables != nullptr)
    for (const StateVar *variable : *stateVariables) {
      std::cout << variable->name << " - " << variable->type << " -\n";
      variable->showValues();
      if (variable->type == "Cond")
        static_cast<const CondVar *>(variable)->showConditions();
      variable->showCurrentState();
    }

  std::cout << "\n\ngvars: " << listsarnGVarLn(gvars) << "\n";
  for (const s_listsarnGVar *cell = gvars; cell != nullptr; cell = cell->next) {
    printGVar(cell->elt);
    std::cout << "\n";
  }
  std::cout << "\nglobal constraints: " << listsarnExprLn(globalConstraints) << "\n";
  printExprLines(globalConstraints);
  std::cout << "\ninitvars: " << listsarnInitVarLn(initVars) << "\n";
  std::cout << "cond exprs: " << listsarnExprLn(condExprs) << "\n";
  printExprLines(condExprs);

  std::cout << "\n" << dashes << "\nConstraints : \n";
  if (constraints != nullptr)
    for (const Formula *formula : *constraints)
      formula->showFormula();
  std::cout << dashes << "\nInfluences : \n";
  if (influences != nullptr)
    for (const s_influence *influence : *influences)
      printInfluence(influence);
  std::cout << dashes << "\nTransitions : \n";
  if (transitions != nullptr)
    for (const Transition *transition : *transitions)
      transition->showTransition();
  std::cout << stars << "\n";
}
