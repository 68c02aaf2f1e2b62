// Builders of the conditions under which influences are active.
#ifndef MORVEL_CONTINUOUS_CONDITIONS_H
#define MORVEL_CONTINUOUS_CONDITIONS_H

#include <string>

#include "continuous/lists.h"

// Names the condition after the component instance that defines it:
// compVarName, ".c_" and the condition's number, unique across instances.
void setConditionName(s_cond *cond, const std::string &compVarName);

// Attaches the condition of a rule block to every influence of the list. An
// influence that already has a condition gets instead the conjunction of the
// block's condition and its own, numbered, named after the component
// instance compVarName and appended to the session's conditions.
void andRulesConds(s_listsarnInfl *list, s_cond *cond, const std::string &compVarName);

// The condition "lhs op rhs" over an expression, numbered; its name is given
// by the caller.
s_cond *mkCondExpr(const s_expr *lhs, opRel op, s_expr *rhs);

#endif
