// Actions on continuous declarations and behaviour: variables, parameters
// and their domains, influences and rule blocks, initialisations.
#include <cfloat>
#include <cstring>
#include <set>

#include "continuous/conditions.h"
#include "continuous/declarations.h"
#include "continuous/diagnostics.h"
#include "continuous/influences.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "languages/definition/condition_bridge.h"
#include "languages/definition/definition_driver.h"
#include "languages/definition/definition_passes.h"

namespace {

// Rule names given so far in this load.
std::set<std::string> ruleNames;

template <typename Cell, typename Element>
Cell *newCell(Element *element) {
  Cell *cell = newRecord<Cell>();
  cell->elt = element;
  return cell;
}

// Writes the figure file of a stand-alone continuous model: its name is the
// file name up to its first "." followed by ".dot".
void writeStandaloneFigure(const std::string &fileName) {
  std::string base = fileName.substr(0, fileName.find('.'));
  FILE *figure = std::fopen((base + ".dot").c_str(), "w");
  if (figure == nullptr)
    return;
  std::fprintf(figure,
               "digraph %s {\n\trankdir=TB;\n\tsize=\"8,5\"\n\torientation=portrait;\n\t"
               "node [shape = box, style=filled, color=\".7 .3 1.0\"];\n\t\n}",
               base.c_str());
  std::fclose(figure);
}

} // namespace

void resetRuleNames() { ruleNames.clear(); }

s_variable *DefinitionDriver::declaredVariableNamed(const std::string &name, int undefinedMessage) {
  s_variable *variable = findVariable(dictionary, name);
  if (variable == nullptr)
    semError(semErrorAtLine, nligne, undefinedMessage, name.c_str());
  return variable;
}

void DefinitionDriver::declareVariables(s_listsarnVar *variables, bool parameters) {
  if (!buildsContinuous())
    return;
  setListsarnType(variables, objReal);
  if (parameters)
    setListsarnConst(variables);
  if (comp != nullptr)
    for (s_listsarnVar *cell = variables; cell != nullptr; cell = cell->next)
      comp->addVariable(cell->elt);
}

void DefinitionDriver::interfaceKind(long kind, s_listsarnVar *variables) {
  if (buildsContinuous())
    setListsarnFct(variables, static_cast<int>(kind));
}

s_listsarnVar *DefinitionDriver::declaredVariable(const char *name, long relation, s_domain *domain) {
  if (!buildsContinuous())
    return nullptr;
  s_variable *variable = name2Var(dictionary, name);
  if (!variable->fresh)
    semError(semErrorAtLine, nligne, 13, name);
  if (relation != 0)
    dom2Var(variable, static_cast<int>(relation), domain);
  return appVariable(nullptr, variable);
}

s_listsarnVar *DefinitionDriver::appendVariables(s_listsarnVar *list, s_listsarnVar *more) {
  listEnds.append(list, more);
  return list;
}

s_listsarnVar *DefinitionDriver::appendVariable(s_listsarnVar *list, s_variable *variable) {
  if (variable != nullptr)
    listEnds.append(list, newCell<s_listsarnVar>(variable));
  return list;
}

s_variable *DefinitionDriver::variableName(const char *name) {
  if (!buildsContinuous())
    return nullptr;
  return declaredVariableNamed(name, 15);
}

s_domain *DefinitionDriver::realDomain(double value) {
  s_domain *domain = newRecord<s_domain>();
  domain->val = newRealObjet(value);
  return domain;
}

s_domain *DefinitionDriver::rangeDomain(double lower, double upper) {
  if (lower > upper)
    semError(semErrorAtLine, nligne, 11);
  s_domain *domain = newRecord<s_domain>();
  domain->val = newRangeObjet(lower, upper, lower > -DBL_MAX, upper < DBL_MAX);
  return domain;
}

s_domain *DefinitionDriver::variableDomain(const char *name) {
  s_domain *domain = newRecord<s_domain>();
  if (*name != '\0')
    domain->var = declaredVariableNamed(name, 14);
  return domain;
}

void DefinitionDriver::ruleBlock(const char *name, s_listsarnInfl *rules, bool single) {
  if (pass == DefinitionPass::Declaration)
    return;
  nameRules(name, rules);
  if (single && comp != nullptr && rules != nullptr && rules->elt->cond == nullptr) {
    if (modes_cond == nullptr)
      modes_cond = createModeStf(comp);
    rules->elt->cond = modes_cond;
  }
}

void DefinitionDriver::guardedRuleBlock(const char *name, StateFormula *guard,
                                        s_listsarnInfl *rules) {
  if (pass == DefinitionPass::Declaration)
    return;
  // A guard over discrete atoms means nothing without components.
  if (standalone) {
    std::printf("adding nothing\n");
    return;
  }
  nameRules(name, rules);
  andRulesConds(rules, ruleCondition(guard), varName);
}

void DefinitionDriver::nameRules(const char *name, s_listsarnInfl *rules) {
  if (!ruleNames.insert(name).second || DataManager::getComp(name) != nullptr)
    semError(semErrorAtLine, nligne, 48, name);
  setRulesNames(rules, name);
  for (s_listsarnInfl *cell = rules; cell != nullptr; cell = cell->next)
    cell->elt->blockName = name;
}

s_listsarnInfl *DefinitionDriver::ruleList(s_listsarnInfl *list, s_influence *rule) {
  if (rule != nullptr)
    listEnds.append(list, newCell<s_listsarnInfl>(rule));
  return list;
}

s_influence *DefinitionDriver::guardedRule(StateFormula *guard, s_influence *rule) {
  // The stand-alone form builds no state formula: its rules go unguarded.
  if (rule == nullptr || guard == nullptr)
    return rule;
  s_listsarnInfl single{rule, nullptr};
  andRulesConds(&single, ruleCondition(guard), varName);
  return rule;
}

s_influence *DefinitionDriver::influence(const char *cause, long type, const char *effect,
                                         s_listsarnCoef *coefs) {
  if (pass == DefinitionPass::Declaration) {
    // References into other components are checked by the behaviour pass.
    for (const char *name : {cause, effect})
      if (*name != '\0')
        declaredVariableNamed(name, 16);
    return nullptr;
  }
  s_variable *causeVariable = declaredVariableNamed(cause, 16);
  s_variable *effectVariable = declaredVariableNamed(effect, 16);
  return addInfluence(buildInfluence(comp, static_cast<influType>(type), causeVariable,
                                     effectVariable, coefs));
}

s_influence *DefinitionDriver::constantInfluence(double value, long type, const char *effect) {
  if (pass == DefinitionPass::Declaration) {
    if (*effect != '\0')
      declaredVariableNamed(effect, 16);
    return nullptr;
  }
  s_variable *cause = const2Var(value);
  return addInfluence(buildInfluence(comp, static_cast<influType>(type), cause,
                                     declaredVariableNamed(effect, 16), nullptr));
}

s_influence *DefinitionDriver::addInfluence(s_influence *built) {
  if (built == nullptr) {
    std::printf("Error parsing influences.\n");
    syntaxError("influence");
  }
  if (comp != nullptr)
    comp->addInfluence(built);
  else
    listEnds.append(influListsarn, newCell<s_listsarnInfl>(built));
  return built;
}

s_listsarnCoef *DefinitionDriver::appendCoef(s_listsarnCoef *list, s_coef *coef) {
  if (coef != nullptr)
    listEnds.append(list, newCell<s_listsarnCoef>(coef));
  return list;
}

s_coef *DefinitionDriver::coefficient(long kind, long relation, s_domain *domain) {
  if (pass == DefinitionPass::Declaration)
    return nullptr;
  return dom2Coef(static_cast<coefType>(kind), static_cast<int>(relation), domain);
}

void DefinitionDriver::initialisations(s_listsarnInitVar *list) {
  if (pass == DefinitionPass::Declaration)
    return;
  if (comp != nullptr) {
    listEnds.append(comp->initVars, list);
    return;
  }
  listEnds.append(initListsarn, list);
  writeStandaloneFigure(fileName);
}

s_listsarnInitVar *DefinitionDriver::appendInit(s_listsarnInitVar *list, s_initVar *init) {
  if (init != nullptr)
    listEnds.append(list, newCell<s_listsarnInitVar>(init));
  return list;
}

s_initVar *DefinitionDriver::initialisation(const char *name, long, s_domain *domain) {
  if (pass == DefinitionPass::Declaration) {
    if (*name != '\0')
      declaredVariableNamed(name, 19);
    return nullptr;
  }
  return buildInitVar(declaredVariableNamed(name, 19), domain);
}
