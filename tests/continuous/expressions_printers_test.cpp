#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "continuous/expressions.h"
#include "continuous/printers.h"
#include "discrete/state_var.h"
#include "records_support.h"

namespace {

class Expressions : public ContinuousTest {
 protected:
  s_listsarnExpr *exprs = nullptr;
  s_listsarnGVar *gvars = nullptr;
  long count = 0;

  // Each equation as its global variable, " = " and its expression.
  std::vector<std::string> equations() {
    std::vector<std::string> out;
    for (const s_listsarnExpr *l = exprs; l != nullptr; l = l->next)
      out.push_back(printed([&] {
        printGVar(l->elt->gv);
        std::fputs(" = ", stdout);
        printExpr(l->elt);
      }));
    return out;
  }
};

// Products by constants and sign changes are shown by a session
// (tests/e2e/shell/continuous_views.case), as are the constraints that use
// each global variable; constants use none.
TEST_F(Expressions, EachOperatorIsSolvableForEveryVariableOperand) {
  const std::pair<char, std::vector<std::string>> table[] = {
      {'+', {"InTeRm1 = x+y", "x = InTeRm1-y", "y = InTeRm1-x"}},
      {'-', {"InTeRm2 = x-y", "x = InTeRm2+y", "y = x-InTeRm2"}},
      {'*', {"InTeRm3 = x*y", "x = InTeRm3/y", "y = InTeRm3/x"}},
      {'/', {"InTeRm4 = x/y", "x = InTeRm4*y", "y = x/InTeRm4"}},
  };  // intermediates are numbered across the whole table
  for (const auto &row : table) {
    SCOPED_TRACE(row.first);
    exprs = nullptr;
    gvars = nullptr;
    count = 0;
    buildExprBinOp(row.first, leaf(variable("x")), leaf(variable("y")), exprs, gvars, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(listsarnGVarLn(gvars), 1);
    EXPECT_EQ(equations(), row.second);
  }
  s_expr *y = leaf(variable("y")), *one = mkConstLeaf(objUn);
  EXPECT_EQ(buildExprBinOp('%', y, y, exprs, gvars, count), nullptr);
  EXPECT_TRUE(hasGvAsArg(y, y->gv));
  EXPECT_FALSE(hasGvAsArg(one, one->gv));
}

// So are powers and constant folding.
TEST_F(Expressions, InequalitiesGetASlackOfTheirSign) {
  const std::pair<int, std::string> table[] = {
      {opLe, "[-oo, 0]"}, {opLt, "[-oo, 0["}, {opGe, "[0, +oo]"}, {opGt, "]0, +oo]"}};
  for (const auto &row : table) {
    exprs = nullptr;
    s_expr *node = buildEgSolFunc(leaf(variable("x")), row.first, exprs, gvars, count);
    EXPECT_EQ(printed([&] { printExpr(node); }), "x+" + row.second);
    EXPECT_EQ(listsarnExprLn(exprs), 2);  // the slack is constant
  }
}

// The views of a loaded model are checked in a session
// (tests/e2e/shell/continuous_views.case); here the condition shapes it has not.
using Printers = Expressions;

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
  auto compare = [x](const char *name, opRel relation, s_variable *other, s_objet *value) {
    s_cond *c = condition(name, condVar);
    c->var1 = x;
    c->opr = relation;
    c->var2 = other;
    c->ob = value;
    return c;
  };
  s_cond *above = compare("a.c_3", opGt, nullptr, newRealObjet(1));
  s_cond *inRange = compare("a.c_4", opIn, nullptr, newRangeObjet(0, 1, 0, 1));
  s_cond *equal = compare("a.c_5", opEq, y, nullptr);
  s_cond *onAtom = condition("a.c_9", condAtom), *onExpr = condition("a.c_10", condExprRel),
         *tied = condition("a.c_11", condExprRel);
  StateVar mode("a.mode", {"on", "off"}, "on");
  Atom on(&mode, "on", "a.mode=on");
  onAtom->at = tied->at = &on;
  onExpr->e = buildExprBinOp('+', leaf(y), mkConstLeaf(newRealObjet(2)), exprs, gvars, count);
  tied->e = leaf(y);

  const std::pair<const s_cond *, std::string> table[] = {
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
      {compare("a.c_13", static_cast<opRel>(9), nullptr, objUn),
       "a.c_13: (a.xImplementation error.\n ...wrong relation operator in condition\n1)\n"},
  };
  for (const auto &entry : table)
    EXPECT_EQ(printed([&] { printCondition(entry.first); }), entry.second);
  conditions = {yes, no};
  EXPECT_EQ(printed([] { printConditions(); }),
            "Conditions (2):\na.c_1: (true)\na.c_2: (false)\n");
}

}  // namespace
