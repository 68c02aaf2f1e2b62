#include "discrete/instances.h"

#include <algorithm>
#include <unordered_set>

#include "continuous/diagnostics.h"
#include "discrete/comp.h"
#include "discrete/state_var.h"

// Never destroyed: the model lives until the process ends, reachable to the last.
ComponentList &comps = *new ComponentList();
DiscVariableList &variables_disc = *new DiscVariableList();

void ComponentList::append(std::unique_ptr<s_component> record) {
  byVarName.emplace(record->varName, record.get());
  list.push_back(std::move(record));
}

s_component *ComponentList::find(const std::string &varName) const {
  auto found = byVarName.find(varName);
  return found != byVarName.end() ? found->second : nullptr;
}

void ComponentList::clear() {
  byVarName.clear();
  list.clear();
}

void DiscVariableList::append(const std::string &qualifiedName, StateVar *variable) {
  byName.emplace(qualifiedName, variable);
  list.emplace_back(qualifiedName, variable);
}

StateVar *DiscVariableList::find(const std::string &qualifiedName) const {
  auto found = byName.find(qualifiedName);
  return found != byName.end() ? found->second : nullptr;
}

void DiscVariableList::clear() {
  byName.clear();
  list.clear();
}

Comp *findComp(const std::string &name) {
  s_component *record = comps.find(name);
  return record != nullptr ? record->comp : nullptr;
}

StateVar *findDiscVariable(Comp *component, const std::string &name) {
  if (StateVar *variable = variables_disc.find(name))
    return variable;
  if (component != nullptr && component->importedComps != nullptr)
    for (const Comp *used : *component->importedComps) {
      std::string localName = component->findCorresDef(used->varName);
      if (StateVar *variable = variables_disc.find(localName + "." + name))
        return variable;
    }
  semError(semErrorAtLine, nligne, 73, name.c_str());
  return nullptr;
}

Atom *findAtom(const std::string &atomName, Comp *) {
  Comp *owner = findComp(atomName.substr(0, atomName.find('.')));
  if (owner == nullptr)
    return nullptr;
  StateVar *variable = findDiscVariable(owner, atomName.substr(0, atomName.find('=')));
  if (variable == nullptr)
    return nullptr;
  for (Atom *atom : variable->atomLinks)
    if (atom->id == atomName)
      return atom;
  return nullptr;
}

bool isCommandComp(const Comp *component, const std::string &type) {
  if (component == nullptr || component->cmdIn == nullptr)
    return false;
  for (const CommandVar *command : *component->cmdIn)
    if (command->comp != nullptr && command->comp->typeName == type)
      return true;
  return false;
}

namespace {

// Rule (a) of the dependence: only a component that uses others depends on anything.
bool dependsByCommand(const Comp *component, const std::string &type) {
  return component->importedComps != nullptr && isCommandComp(component, type);
}

// Checks a used component, then walks depth first into the components it
// uses that were not visited yet.
bool reachesType(const Comp *used, const std::string &type,
                 std::unordered_set<const Comp *> &visited) {
  if (used->typeName == type || dependsByCommand(used, type))
    return true;
  if (used->importedComps == nullptr)
    return false;
  for (const Comp *next : *used->importedComps)
    if (visited.insert(next).second && reachesType(next, type, visited))
      return true;
  return false;
}

} // namespace

bool isIncludedInComp(const Comp *component, const std::string &type) {
  if (component == nullptr || component->importedComps == nullptr)
    return false;
  if (isCommandComp(component, type))
    return true;
  std::unordered_set<const Comp *> visited(component->importedComps->begin(),
                                           component->importedComps->end());
  visited.insert(component);
  for (const Comp *used : *component->importedComps)
    if (reachesType(used, type, visited))
      return true;
  return false;
}

bool inVector(const std::string &name, const std::vector<std::string> &list) {
  return std::find(list.begin(), list.end(), name) != list.end();
}
