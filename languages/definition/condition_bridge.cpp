#include "languages/definition/condition_bridge.h"

#include <unordered_map>

#include "continuous/conditions.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"

std::vector<s_cond *> condis;

namespace {

// The condition of each atom, so that it is made only once.
std::unordered_map<const Atom *, s_cond *> atomConditions;

// Conditions written as state formulas, indexed by the formulas' tag.
std::vector<s_cond *> formulaConditions;

s_cond *join(s_cond *result, s_cond *next, condType type, const Comp *comp) {
  if (result == nullptr)
    return next;
  if (next == nullptr)
    return result;
  return newCondition(type, result, next, comp);
}

} // namespace

s_cond *newCondition(condType type, s_cond *op1, s_cond *op2, const Comp *comp) {
  s_cond *cond = newRecord<s_cond>();
  cond->type = type;
  cond->num = ++numCond;
  cond->op1 = op1;
  cond->op2 = op2;
  if (op1 != nullptr)
    op1->parent = cond;
  if (op2 != nullptr)
    op2->parent = cond;
  setConditionName(cond, comp != nullptr ? comp->varName : "");
  conditions.push_back(cond);
  return cond;
}

s_cond *mkCondAt(Atom *atom, bool truth, const Comp *comp) {
  auto known = atomConditions.find(atom);
  if (known != atomConditions.end())
    return truth ? known->second : newCondition(condNot, known->second, nullptr, comp);

  s_cond *own = newCondition(condAtom, nullptr, nullptr, comp);
  own->at = atom;
  atomConditions.emplace(atom, own);
  s_cond *result = truth ? own : newCondition(condNot, own, nullptr, comp);
  StateVar *variable = atom->getStateVar();
  if (variable->getType() == "Mode")
    static_cast<ModeVar *>(variable)->conditions.push_back(result);
  else if (variable->getType() == "Dependent")
    static_cast<DependentVar *>(variable)->conditions.push_back(result);
  return result;
}

s_cond *mkCondStf(const StateFormula *formula, const Comp *comp) {
  if (s_cond *written = standsForCondition(formula))
    return written;
  const std::vector<StateFormula *> *nested = formula->stateFormulas;
  const bool hasNested = nested != nullptr && !nested->empty();
  if (formula->atoms->empty() && hasNested && nested->size() == 1)
    return mkCondStf(nested->front(), comp);

  condType type = formula->getOperat() == "or" ? condOr : condAnd;
  s_cond *result = nullptr;
  if (hasNested)
    for (const StateFormula *sub : *nested)
      result = join(result, mkCondStf(sub, comp), type, comp);
  for (const auto &[sign, atom] : *formula->atoms)
    result = join(result, mkCondAt(atom, sign, comp), type, comp);
  if (result != nullptr && formula->negated)
    result = newCondition(condNot, result, nullptr, comp);
  return result;
}

s_cond *createModeStf(Comp *comp) {
  if (comp->stateVariables == nullptr)
    return nullptr;
  for (StateVar *variable : *comp->stateVariables) {
    if (variable->getType() != "Mode")
      continue;
    StateFormula known;
    known.setOperat("or");
    for (Atom *atom : variable->getAtomLinks())
      if (atom->getValue() != "unknown")
        known.addAtom(atom);
    return mkCondStf(&known, comp);
  }
  return nullptr;
}

StateFormula *conditionStateFormula(s_cond *condition) {
  auto *formula = new StateFormula();
  formula->tag = static_cast<int>(formulaConditions.size());
  formulaConditions.push_back(condition);
  return formula;
}

s_cond *standsForCondition(const StateFormula *formula) {
  if (formula->tag < 0 || static_cast<size_t>(formula->tag) >= formulaConditions.size())
    return nullptr;
  return formulaConditions[formula->tag];
}

void resetConditionBridge() {
  atomConditions.clear();
  formulaConditions.clear();
  condis.clear();
}
