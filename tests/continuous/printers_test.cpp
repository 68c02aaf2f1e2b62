#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "continuous/expressions.h"
#include "continuous/printers.h"
#include "discrete/state_var.h"
#include "records_support.h"

// The views of a loaded model are checked in a session
// (tests/e2e/shell/continuous_views.case); here the condition shapes it has not.
namespace {

using Printers = ContinuousTest;

s_expr *leaf(s_variable *v) {
  s_expr *e = newRecord<s_expr>();
  e->tex = exprVar;
  e->gv = newRecord<s_gVar>();
  e->gv->var = v;
  return e;
}

s_cond *condition(const char *name, condType type, s_cond *op1 = nullptr,
                  s_cond *op2 = nullptr) {
  s_cond *c = newRecord<s_cond>();
  c->name = name;
  c->type = type;
  c->op1 = op1;
  c->op2 = op2;
  return c;
}

TEST_F(Printers, ConditionsOfEveryType) {
  s_variable *x = variable("a.x"), *y = variable("a.y");
  s_cond *yes = condition("a.c_1", condBool), *no = condition("a.c_2", condBool);
  yes->val = 1;
  s_cond *above = condition("a.c_3", condVar), *inRange = condition("a.c_4", condVar),
         *equal = condition("a.c_5", condVar);
  above->var1 = inRange->var1 = equal->var1 = x;
  above->opr = opGt;
  above->ob = newRealObjet(1);
  inRange->opr = opIn;
  inRange->ob = newRangeObjet(0, 1, 0, 1);
  equal->opr = opEq;
  equal->var2 = y;
  s_cond *onAtom = condition("a.c_9", condAtom), *onExpr = condition("a.c_10", condExprRel),
         *tied = condition("a.c_11", condExprRel);
  StateVar mode("a.mode", {"on", "off"}, "on");
  Atom on(&mode, "on", "a.mode=on");
  onAtom->at = tied->at = &on;
  s_listsarnExpr *exprs = nullptr;
  s_listsarnGVar *gvars = nullptr;
  long count = 0;
  onExpr->e = buildExprBinOp('+', leaf(y), mkConstLeaf(newRealObjet(2)), exprs, gvars, count);
  tied->e = leaf(y);

  const std::vector<std::pair<const s_cond *, std::string>> table = {
      {yes, "a.c_1: (true)\n"},
      {no, "a.c_2: (false)\n"},
      {above, "a.c_3: (a.x > 1)\n"},
      {inRange, "a.c_4: (a.x]0, 1])\n"},
      {equal, "a.c_5: (a.x = a.y)\n"},
      {condition("a.c_6", condOr, yes, above), "a.c_6: (a.c_1: (true)\n | a.c_3: (a.x > 1)\n)\n"},
      {condition("a.c_7", condAnd, no, equal), "a.c_7: (a.c_2: (false)\n & a.c_5: (a.x = a.y)\n)\n"},
      {condition("a.c_8", condNot, yes), "a.c_8: (! a.c_1: (true)\n)\n"},
      {onAtom, "a.c_9: (a.mode=on)\n"},
      {onExpr, "a.c_10: (InTeRm1a.y+2)\n"},
      {tied, "a.c_11: (a.ya.ya.mode=on)\n"},
      {condition("a.c_12", static_cast<condType>(8)),
       "a.c_12: (Implementation error.\n ...invalid condition type.\n)\n"},
  };
  for (const auto &entry : table)
    EXPECT_EQ(printed([&] { printCondition(entry.first); }), entry.second);


  above->opr = static_cast<opRel>(9);
  EXPECT_EQ(printed([&] { printCondition(above); }),
            "a.c_3: (a.xImplementation error.\n ...wrong relation operator in condition\n1)\n");
  conditions = {yes, no};
  EXPECT_EQ(printed([] { printConditions(); }),
            "Conditions (2):\na.c_1: (true)\na.c_2: (false)\n");
}

}  // namespace
