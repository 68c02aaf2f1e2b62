#include "discrete/state_var.h"

#include <iostream>
#include <utility>

#include "continuous/printers.h"

StateVar::StateVar() : currentState(new std::string()) {}

StateVar::StateVar(std::string name) : StateVar() { this->name = std::move(name); }

StateVar::StateVar(std::string name, std::set<std::string> values) : StateVar(std::move(name)) {
  setValues(std::move(values));
}

StateVar::StateVar(std::string name, std::set<std::string> values, std::string defaultValue)
    : StateVar(std::move(name), std::move(values)) {
  setDefault(defaultValue);
  // The given default becomes the current value even when it was refused.
  *currentState = defaultValue;
}

StateVar::StateVar(std::string name, std::set<std::string> values, std::string defaultValue,
                   Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue)) {
  this->comp = comp;
}

StateVar::StateVar(std::string name, std::set<std::string> values, std::string defaultValue,
                   Comp *comp, bool exo)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  this->exo = exo;
}

StateVar::~StateVar() { delete currentState; }

void StateVar::setValues(std::set<std::string> newValues) {
  values = std::move(newValues);
  writtenValues.assign(values.begin(), values.end());
}

void StateVar::addValue(std::string value) {
  if (values.insert(value).second)
    writtenValues.push_back(std::move(value));
}

void StateVar::setDefault(std::string value) {
  if (inValues(value))
    defaultValue = name + "=" + value;
  else
    std::cout << "StateVar --> Wrong default value";
}

int StateVar::addAtomToLinks(Atom *atom) {
  atomLinks.push_back(atom);
  return static_cast<int>(atomLinks.size()) - 1;
}

// Atoms follow the written order of the values (a condition variable's
// values c0, c1, ..., c10 keep the order of their conditions), while the
// domain itself, and so every printed domain, stays sorted.
void StateVar::createAtoms() {
  for (const std::string &value : writtenValues)
    new Atom(this, value, name + "=" + value);
}

void StateVar::showValues() const {
  std::cout << "\t\t" << name << "\n\t\tType: " << type << "\n\t\tValues: \n\t\t{ ";
  for (const std::string &value : values)
    std::cout << value << "  ";
  std::cout << "}\n\n";
}

void StateVar::showCurrentState() const {
  std::cout << name << " --->\t\t " << *currentState << "\n";
}

bool StateVar::matchObs() const {
  return !exo || observation.empty() || observation == *currentState;
}

ModeVar::ModeVar() { type = "Mode"; }
ModeVar::ModeVar(std::string name, std::set<std::string> values, std::string defaultValue)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue)) {
  type = "Mode";
}
ModeVar::ModeVar(std::string name, std::set<std::string> values, std::string defaultValue,
                 Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  type = "Mode";
}
ModeVar::ModeVar(std::string name, std::set<std::string> values, std::string defaultValue,
                 Comp *comp, bool exo)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp, exo) {
  type = "Mode";
}

DependentVar::DependentVar() { type = "Dependent"; }
DependentVar::DependentVar(std::string name, std::set<std::string> values,
                           std::string defaultValue)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue)) {
  type = "Dependent";
}
DependentVar::DependentVar(std::string name, std::set<std::string> values,
                           std::string defaultValue, Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  type = "Dependent";
}
DependentVar::DependentVar(std::string name, std::set<std::string> values,
                           std::string defaultValue, Comp *comp, bool exo)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp, exo) {
  type = "Dependent";
}

ObsVar::ObsVar() { type = "Observable"; }
ObsVar::ObsVar(std::string name, std::set<std::string> values, std::string defaultValue)
    : DependentVar(std::move(name), std::move(values), std::move(defaultValue)) {
  type = "Observable";
}
ObsVar::ObsVar(std::string name, std::set<std::string> values, std::string defaultValue,
               Comp *comp)
    : DependentVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  type = "Observable";
}
ObsVar::ObsVar(std::string name, std::set<std::string> values, std::string defaultValue,
               Comp *comp, bool exo)
    : DependentVar(std::move(name), std::move(values), std::move(defaultValue), comp, exo) {
  type = "Observable";
}
ObsVar::ObsVar(std::string name, std::set<std::string> values, std::string defaultValue,
               Comp *comp, std::string observed)
    : ObsVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  this->observed = std::move(observed);
}
ObsVar::ObsVar(std::string name, std::set<std::string> values, std::string defaultValue,
               Comp *comp, const char *observed)
    : ObsVar(std::move(name), std::move(values), std::move(defaultValue), comp,
             std::string(observed)) {}

bool ObsVar::matchObs() const { return observed.empty() || *currentState == observed; }

CommandVar::CommandVar() { type = "Command"; }
CommandVar::CommandVar(std::string name, std::set<std::string> values, std::string defaultValue)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue)) {
  type = "Command";
}
CommandVar::CommandVar(std::string name, std::set<std::string> values, std::string defaultValue,
                       Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  type = "Command";
}
CommandVar::CommandVar(std::string name, std::set<std::string> values, std::string defaultValue,
                       Comp *comp, bool exo)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp, exo) {
  type = "Command";
}

CondVar::CondVar() { type = "Cond"; }
CondVar::CondVar(std::string name, std::set<std::string> values, std::string defaultValue)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue)) {
  type = "Cond";
}
CondVar::CondVar(std::string name, std::set<std::string> values, std::string defaultValue,
                 Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultValue), comp) {
  type = "Cond";
}
CondVar::CondVar(std::string name, std::set<std::string> values, std::string defaultValue,
                 Comp *comp, bool)
    : CondVar(std::move(name), std::move(values), std::move(defaultValue), comp) {}

void CondVar::showConditions() const {
  std::cout << "\t\t{ ";
  for (const s_cond *condition : conditions) {
    printCondition(condition);
    std::cout << " ";
  }
  std::cout << "}\n";
}

Atom::Atom(StateVar *var, const std::string &value, const std::string &id)
    : Atom(var, value, id, false) {}

Atom::Atom(StateVar *var, const std::string &value, const std::string &id, const bool &flag)
    : id(id), flag(flag) {
  if (var == nullptr || !var->inValues(value)) {
    std::cout << "Atom --> Cannot create the atom : value not in the variable domain\n";
    return;
  }
  stateVar = var;
  this->value = value;
  linkIndex = var->addAtomToLinks(this);
}

Atom::~Atom() { delete attributes; }

void Atom::labelSiblings(const std::string &siblingLabel) {
  if (stateVar == nullptr)
    return;
  for (Atom *sibling : stateVar->atomLinks)
    if (sibling != this)
      sibling->label = siblingLabel;
}

void Atom::setLabel(const std::string &newLabel, const bool &exclusive) {
  label = newLabel;
  if (exclusive && newLabel == "true")
    labelSiblings("false");
}

void Atom::set() {
  if (stateVar != nullptr)
    stateVar->setCurrentState(value);
  label = "true";
  labelSiblings("false");
}

bool Atom::evalAtom() const { return stateVar != nullptr && stateVar->getCurrentState() == value; }

const char *atomId(const Atom *atom) { return atom->getId(); }

Atom *Atom::getAtomLink(const std::string &atomId) const {
  if (stateVar == nullptr)
    return nullptr;
  for (Atom *sibling : stateVar->atomLinks)
    if (sibling->id == atomId)
      return sibling;
  return nullptr;
}

std::string Atom::getVarType() const { return stateVar != nullptr ? stateVar->getType() : ""; }

Comp *Atom::getVarComp() const { return stateVar != nullptr ? stateVar->getComp() : nullptr; }

void Atom::showAtom(bool full) const {
  if (!full) {
    std::cout << id;
    return;
  }
  // The heading holds the degree sign as the single byte 0xB0.
  std::cout << "--- Atom n\xB0# ---\n"
            << id << " --> [" << (evalAtom() ? 1 : 0) << "]\n"
            << "label : " << label << "\n"
            << "propagation number : " << propagationNumber << "\n";
}
