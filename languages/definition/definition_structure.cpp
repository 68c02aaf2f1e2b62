// Actions on the component form: the uses list, the component header and
// end, the interface and the state variables of the vardef body.
#include <algorithm>

#include "common/options.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "languages/definition/condition_bridge.h"
#include "languages/definition/definition_driver.h"
#include "languages/definition/definition_passes.h"

int guards_int = 0;

void DefinitionDriver::usesList(NameList *types) {
  if (pass == DefinitionPass::Declaration) {
    for (const std::string &type : *types)
      if (!findDefFile(type + ".def"))
        semError(semErrorAtLine, nligne, 77, type.c_str());
    numCond = 0;
    return;
  }
  for (const std::string &type : *types) {
    const auto &records = comps.records();
    bool instantiated = std::any_of(records.begin(), records.end(),
                                    [&](const auto &instance) { return instance->type == type; });
    if (!instantiated)
      semError(semErrorAtLine, nligne, 80, type.c_str());
  }
  numInflu = 0;
}

void DefinitionDriver::componentHeader(const char *typeName) {
  if (pass == DefinitionPass::Behaviour && !standalone)
    return;
  comp = new Comp(varName);
  comp->varName = varName;
  comp->typeName = typeName;
}

void DefinitionDriver::componentEnd() {
  if (pass == DefinitionPass::Declaration) {
    comp->count = static_cast<int>(numCond);
    return;
  }
  DataManager::addComp(comp);
  modes_cond = nullptr;
}

// The arguments are the model file's: their errors are reported at the
// instantiation that gives them.
void DefinitionDriver::importedComponents(PairList *pairs) {
  if (pass == DefinitionPass::Declaration || standalone)
    return;
  if (pairs->size() + 2 != args.size())
    semErrorAt(instantiatedAt, semErrorAtLine, 69);
  for (size_t i = 0; i < pairs->size(); ++i) {
    const std::string &instanceName = args[i + 2];
    s_component *instance = comps.find(instanceName);
    if (instance == nullptr)
      semErrorAt(instantiatedAt, semErrorAtLine, 67, instanceName.c_str());
    if (instance->type != (*pairs)[i].first)
      semErrorAt(instantiatedAt, semErrorAtLine, 70, instanceName.c_str());
    if (comp->correspondences == nullptr)
      comp->correspondences = new std::vector<std::pair<std::string, std::string>>();
    comp->correspondences->emplace_back((*pairs)[i].second, instanceName);
    if (comp->importedComps == nullptr)
      comp->importedComps = new std::vector<Comp *>();
    comp->importedComps->push_back(instance->comp);
  }
}

void DefinitionDriver::inputCommand(StateVar *command, bool exogenous) {
  if (pass == DefinitionPass::Behaviour)
    return;
  auto *input = static_cast<CommandVar *>(command);
  delete comp->cmdIn;
  comp->cmdIn = new std::vector<CommandVar *>{input};
  input->cmdIn = true;
  if (exogenous)
    input->exo = true;
}

void DefinitionDriver::sharedInputCommand(NameList *) {
  if (pass == DefinitionPass::Declaration || standalone)
    return;
  delete comp->cmdIn;
  comp->cmdIn = new std::vector<CommandVar *>();
  const std::string connection = args.empty() ? "0" : args[0];
  if (connection == "0")
    semErrorAt(instantiatedAt, semErrorAtLine, 76);
  std::string instanceName = connection.substr(0, connection.find('.'));
  Comp *other = findComp(instanceName);
  StateVar *command = other != nullptr ? findDiscVariable(other, connection) : nullptr;
  if (command == nullptr)
    semErrorAt(instantiatedAt, semErrorAtLine, 73, connection.c_str());
  comp->cmdIn->push_back(static_cast<CommandVar *>(command));
  comp->commanded = true;
  if (comp->correspondences == nullptr)
    comp->correspondences = new std::vector<std::pair<std::string, std::string>>();
  comp->correspondences->emplace_back(other->varName, "cmpin");
}

void DefinitionDriver::outputCommand(StateVar *command) {
  if (pass == DefinitionPass::Declaration)
    static_cast<CommandVar *>(command)->cmdOut = true;
}

void DefinitionDriver::vardefVariable(StateVar *variable) {
  if (pass == DefinitionPass::Behaviour)
    return;
  comp->addStateVar(variable);
  if (variable->getType() != "Mode")
    return;
  if (conf_get("discrete") == 0)
    for (Atom *atom : variable->getAtomLinks())
      mkCondAt(atom, true, comp);
  if (!variable->inValues("unknown"))
    semError(semWarningAtLine, modeVarLines.at(variable), 81, (varName + " in " + fileName).c_str());
}

namespace {

// The continuous variable a condition is over: the compared variable, or
// that of the left operand of a combination.
s_variable *conditionVariable(const s_cond *cond) {
  while (cond != nullptr && cond->var1 == nullptr)
    cond = cond->op1;
  return cond != nullptr ? cond->var1 : nullptr;
}

} // namespace

StateVar *DefinitionDriver::conditionVariable(const char *name, CondList *conditionList) {
  if (pass == DefinitionPass::Behaviour)
    return findDiscVariable(comp, name);

  auto *variable = new CondVar();
  variable->setName(name);
  std::string symbolic = name;
  symbolic = symbolic.substr(symbolic.find('.') + 1);
  variable->setSymbName(symbolic);
  for (size_t k = 0; k < conditionList->size(); ++k)
    variable->addValue(symbolic + std::to_string(k));
  variable->createAtoms();
  // The atoms are made in value order ("high10" before "high2"): the
  // condition written at position k takes the atom of value symbolic + k.
  for (size_t k = 0; k < conditionList->size(); ++k) {
    s_cond *cond = (*conditionList)[k];
    for (Atom *atom : variable->getAtomLinks())
      if (atom->getValue() == symbolic + std::to_string(k))
        cond->at = atom;
    condis.push_back(cond);
    variable->conditions.push_back(cond);
  }
  if (!variable->values.empty()) {
    variable->setDefault(*variable->values.begin());
    variable->setCurrentState(*variable->values.begin());
  }

  s_variable *over = conditionList->empty() ? nullptr : ::conditionVariable(conditionList->front());
  for (const s_cond *cond : *conditionList)
    if (::conditionVariable(cond) != over)
      semError(semErrorAtLine, nligne, 63);
  if (over != nullptr)
    variable->variables.push_back(over);
  if (over != nullptr && (over->fct & (fctInput | fctMeasure)) == 0)
    semError(semWarningAtLine, nligne, 47, (over->name + " in " + fileName).c_str());
  guards_int = 1;
  variables_disc.append(name, variable);
  return variable;
}

CondList *DefinitionDriver::condList(CondList *list, s_cond *condition) {
  if (list == nullptr)
    list = &condLists.emplace_back();
  list->push_back(condition);
  return list;
}
