#include "StateVar.h"

#include <utility>

namespace {

// The value part of an atom id "name=value".
std::string valueOf(const std::string &atomId) {
  size_t equals = atomId.rfind('=');
  return equals == std::string::npos ? atomId : atomId.substr(equals + 1);
}

} // namespace

StateVar::StateVar(std::string name, std::set<std::string> values, std::string defaultAtom,
                   Comp *comp)
    : name(std::move(name)), values(std::move(values)), defaultAtom(std::move(defaultAtom)),
      comp(comp), atomLinks(new std::vector<Atom *>()),
      internal_clauses(new std::vector<Clause *>()), exo(false) {
  currentState = valueOf(this->defaultAtom);
}

StateVar::~StateVar() {
  delete atomLinks;
  delete internal_clauses;
}

const char *StateVar::getName() const { return name.c_str(); }

std::string StateVar::getCurrentState() const { return currentState; }

void StateVar::setCurrentState(const std::string &value) { currentState = value; }

ModeVar::ModeVar(std::string name, std::set<std::string> values, std::string defaultAtom,
                 Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultAtom), comp),
      conditions(new ConditionTable()) {
  type = "Mode";
}

ModeVar::~ModeVar() { delete conditions; }

DependentVar::DependentVar(std::string name, std::set<std::string> values,
                           std::string defaultAtom, Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultAtom), comp),
      conditions(new ConditionTable()) {
  type = "Dependent";
}

DependentVar::~DependentVar() { delete conditions; }

ObsVar::ObsVar(std::string name, std::set<std::string> values, std::string defaultAtom,
               Comp *comp)
    : DependentVar(std::move(name), std::move(values), std::move(defaultAtom), comp) {
  type = "Observable";
}

CommandVar::CommandVar(std::string name, std::set<std::string> values, std::string defaultAtom,
                       Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultAtom), comp), comp_lk(comp) {
  type = "Command";
}

CondVar::CondVar(std::string name, std::set<std::string> values, std::string defaultAtom,
                 Comp *comp)
    : StateVar(std::move(name), std::move(values), std::move(defaultAtom), comp),
      conditions(new ConditionTable()) {
  type = "Cond";
}

CondVar::~CondVar() { delete conditions; }
