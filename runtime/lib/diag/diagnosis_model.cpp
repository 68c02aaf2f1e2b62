#include "diagnosis_model.h"

#include <algorithm>

#include "Atom.h"
#include "StateFormula.h"
#include "StateVar.h"
#include "Transition.h"

namespace {

SymbolVariable symbolVariable(StateVar *var) {
  SymbolVariable symbol{var, {}, {}};
  for (const std::string &value : var->values) {
    symbol.values.push_back(value);
    Atom *atom = NULL;
    for (Atom *candidate : *var->atomLinks)
      if (candidate->value == value)
        atom = candidate;
    symbol.atoms.push_back(atom);
  }
  return symbol;
}

int rankOf(const std::vector<std::string> &values, const std::string &value) {
  auto found = std::find(values.begin(), values.end(), value);
  return found == values.end() ? -1 : static_cast<int>(found - values.begin());
}

// A command is exogenous when it is a component's input that no component issues.
bool exogenous(const StateVar *var, const Scheduler &scheduler) {
  if (var->type != "Command" || !var->exo)
    return false;
  for (const Comp *comp : *scheduler.comps)
    if (comp->cmd_out != NULL &&
        std::find(comp->cmd_out->begin(), comp->cmd_out->end(), var) != comp->cmd_out->end())
      return false;
  return true;
}

} // namespace

DiagnosisModel::DiagnosisModel(const Application &application) : application(application) {
  const Scheduler &scheduler = *application.scheduler;
  for (Comp *comp : *scheduler.comps) {
    Component component{comp, {}, {}};
    for (StateVar *var : *comp->state_vars) {
      if (var->type == "Mode") {
        ModeVariable mode{symbolVariable(var), static_cast<int>(components.size()), 0, -1, {}, {}};
        mode.defaultValue = std::max(0, rankOf(mode.values, var->currentState));
        mode.unknownValue = rankOf(mode.values, "unknown");
        mode.fault.assign(mode.values.size(), 0);
        if (mode.unknownValue >= 0)
          mode.fault[mode.unknownValue] = 1;
        for (size_t v = 0; v < mode.atoms.size(); ++v)
          modeOf[mode.atoms[v]] = {static_cast<int>(modes.size()), static_cast<int>(v)};
        component.modeVariables.push_back(static_cast<int>(modes.size()));
        modes.push_back(mode);
      } else if (exogenous(var, scheduler)) {
        SymbolVariable command = symbolVariable(var);
        for (size_t v = 0; v < command.atoms.size(); ++v)
          commandOf[command.atoms[v]] = {static_cast<int>(commands.size()), static_cast<int>(v)};
        commands.push_back(command);
      } else if (var->type == "Observable") {
        observations.push_back(symbolVariable(var));
      }
    }
    runtime rt = application.rt;
    for (long i = 0; rt != NULL && i < rt->nvar; ++i) {
      variable v = rt->dico[i];
      std::string name = v->nom;
      bool input = false;
      for (long k = 0; k < rt->nin; ++k)
        input = input || rt->in[k] == v;
      if (name.compare(0, name.find('.'), comp->var_name) == 0 && v->node != NULL &&
          v->node->ncause > 0 && !input)
        component.computed.push_back(i);
    }
    components.push_back(component);
  }
  for (Comp *comp : *scheduler.comps)
    for (Transition *transition : *comp->transitions)
      addTransition(transition);
}

// The transition's mode variable is the first mode atom of its guard taken
// positively; its result is the atom of the same variable in its result. A
// transition with several results reaches each with an equal share of its
// probability.
void DiagnosisModel::addTransition(Transition *transition) {
  int variable = -1, from = -1;
  for (const auto &literal : *transition->pre->atoms)
    if (literal.first && variable < 0 && modeAtom(literal.second, variable, from))
      break;
  if (variable < 0)
    return;
  std::vector<const StateFormula *> results;
  if (transition->posts == NULL)
    results.push_back(transition->post);
  else
    for (const auto &result : *transition->posts)
      results.push_back(result.second);
  for (const StateFormula *result : results) {
    int to = -1;
    for (const auto &literal : *result->atoms) {
      int other, value;
      if (modeAtom(literal.second, other, value) && other == variable)
        to = value;
    }
    if (to >= 0)
      addModeTransition(transition, variable, from, to, transition->proba / results.size());
  }
}

void DiagnosisModel::addModeTransition(Transition *transition, int variable, int from, int to,
                                       double probability) {
  ModeTransition made{from, to, probability, transition->pre->operat == "or", {}, transition};
  for (const auto &literal : *transition->pre->atoms) {
    GuardLiteral guard{GuardLiteral::entailed, literal.first, -1, -1, literal.second};
    auto command = commandOf.find(literal.second);
    if (modeAtom(literal.second, guard.variable, guard.value))
      guard.kind = GuardLiteral::mode;
    else if (command != commandOf.end()) {
      guard.kind = GuardLiteral::command;
      guard.variable = command->second.first;
      guard.value = command->second.second;
    }
    made.guard.push_back(guard);
  }
  ModeVariable &mode = modes[variable];
  if (transition->type == "Fail")
    mode.fault[to] = 1;
  mode.transitions.push_back(made);
}

bool DiagnosisModel::modeAtom(const Atom *atom, int &variable, int &value) const {
  auto found = modeOf.find(atom);
  if (found == modeOf.end())
    return false;
  variable = found->second.first;
  value = found->second.second;
  return true;
}

namespace {

std::vector<SymbolColumn> columnsOf(const std::vector<SymbolVariable> &variables, bool held) {
  std::vector<SymbolColumn> columns;
  for (const SymbolVariable &symbol : variables)
    columns.push_back(SymbolColumn{symbol.var->name, symbol.values, held});
  return columns;
}

} // namespace

std::vector<SymbolColumn> DiagnosisModel::commandColumns() const { return columnsOf(commands, true); }

std::vector<SymbolColumn> DiagnosisModel::observationColumns() const {
  return columnsOf(observations, false);
}
