#include "continuous/conditions.h"

#include "continuous/state.h"

void setConditionName(s_cond *cond, const std::string &compVarName) {
  cond->name = compVarName + ".c_" + std::to_string(cond->num);
}

void andRulesConds(s_listsarnInfl *list, s_cond *cond, const std::string &compVarName) {
  for (; list != nullptr; list = list->next) {
    s_influence *inf = list->elt;
    if (inf->cond == nullptr) {
      inf->cond = cond;
      continue;
    }
    s_cond *both = newRecord<s_cond>();
    both->type = condAnd;
    both->op1 = cond;
    both->op2 = inf->cond;
    both->num = ++numCond;
    cond->parent = both;
    inf->cond->parent = both;
    setConditionName(both, compVarName);
    conditions.push_back(both);
    inf->cond = both;
  }
}

s_cond *mkCondExpr(const s_expr *lhs, opRel op, s_expr *rhs) {
  s_cond *cond = newRecord<s_cond>();
  cond->type = condExprRel;
  cond->num = ++numCond;
  cond->var1 = lhs->gv != nullptr ? lhs->gv->var : nullptr;
  cond->opr = op;
  if (rhs->tex == exprConst && rhs->gv != nullptr)
    cond->ob = rhs->gv->value;
  cond->e = rhs;
  return cond;
}
