#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/expressions.h"
#include "continuous/printers.h"
#include "records_support.h"

namespace {

class Expressions : public ContinuousTest {
 protected:
  s_listsarnExpr *exprs = nullptr;
  s_listsarnGVar *gvars = nullptr;
  long count = 0;

  s_expr *leaf(const std::string &name) {
    s_expr *e = newRecord<s_expr>();
    e->tex = exprVar;
    e->gv = newRecord<s_gVar>();
    e->gv->var = variable(name);
    return e;
  }

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

TEST_F(Expressions, EachOperatorIsSolvableForEveryVariableOperand) {
  struct row {
    char op;
    exprType tex;
    std::vector<std::string> equations;
  };
  // Intermediates are numbered across the whole table.
  const std::vector<row> table = {
      {'+', exprAdd, {"InTeRm1 = x+y", "x = InTeRm1-y", "y = InTeRm1-x"}},
      {'-', exprSub, {"InTeRm2 = x-y", "x = InTeRm2+y", "y = x-InTeRm2"}},
      {'*', exprMul, {"InTeRm3 = x*y", "x = InTeRm3/y", "y = InTeRm3/x"}},
      {'/', exprDiv, {"InTeRm4 = x/y", "x = InTeRm4*y", "y = x/InTeRm4"}},
  };
  for (const row &r : table) {
    SCOPED_TRACE(r.op);
    exprs = nullptr;
    gvars = nullptr;
    count = 0;
    s_expr *x = leaf("x"), *y = leaf("y");
    s_expr *node = buildExprBinOp(r.op, x, y, exprs, gvars, count);
    EXPECT_EQ(node->tex, r.tex);
    EXPECT_EQ(node->op1, x);
    EXPECT_EQ(node->op2, y);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(listsarnGVarLn(gvars), 1);
    EXPECT_EQ(gvars->elt, node->gv);
    EXPECT_EQ(exprs->elt, node);
    EXPECT_EQ(equations(), r.equations);
  }
  EXPECT_EQ(buildExprBinOp('%', leaf("x"), leaf("y"), exprs, gvars, count), nullptr);
}

// Products by constants, powers, sign changes and constant folding are shown
// by a session (tests/e2e/shell/continuous_views.case).
TEST_F(Expressions, InequalitiesGetASlackOfTheirSign) {
  struct row {
    int op;
    std::string slack;
  };
  const std::vector<row> table = {
      {opLe, "[-oo, 0]"}, {opLt, "[-oo, 0["}, {opGe, "[0, +oo]"}, {opGt, "]0, +oo]"}};
  for (const row &r : table) {
    exprs = nullptr;
    s_expr *node = buildEgSolFunc(leaf("x"), r.op, exprs, gvars, count);
    ASSERT_EQ(node->tex, exprAdd);
    EXPECT_EQ(node->op2->tex, exprConst);
    EXPECT_EQ(printed([&] { printExpr(node); }), "x+" + r.slack);
    EXPECT_EQ(listsarnExprLn(exprs), 2);  // the slack is constant
  }
}

// A sign node uses its operand's global variable but not its own, which
// would make a constraint of it; constants use none.
TEST_F(Expressions, GlobalVariablesUsedByAnExpression) {
  s_expr *y = leaf("y"), *one = mkConstLeaf(objUn);
  s_expr *negated = buildExprSgn(1, y, exprs, gvars, count);
  EXPECT_TRUE(hasGvAsArg(negated, y->gv));
  EXPECT_FALSE(hasGvAsArg(negated, negated->gv));
  EXPECT_TRUE(hasGvAsArg(y, y->gv));
  EXPECT_FALSE(hasGvAsArg(one, one->gv));
  EXPECT_FALSE(hasGvAsArg(y, nullptr));
}

}  // namespace
