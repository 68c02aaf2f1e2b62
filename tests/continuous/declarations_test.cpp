#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/declarations.h"
#include "records_support.h"

namespace {

using Declarations = ContinuousTest;

// The refused declarations are checked in sessions (tests/e2e/definition/refused).
// Functions add up, except that no variable is both input and measure.
TEST_F(Declarations, InterfaceFunctionTable) {
  const int in = fctInput, disp = fctDisplay, meas = fctMeasure;
  for (int current : {0, in, disp, meas, in | disp, disp | meas})
    for (int add : {in, disp, meas}) {
      SCOPED_TRACE(std::to_string(current) + " + " + std::to_string(add));
      s_variable *v = variable("v");
      v->fct = current;
      if (((current | add) & (in | meas)) == (in | meas)) {
        EXPECT_EXIT(setListsarnFct(varList({v}), add), testing::ExitedWithCode(1),
                    errorAtLine("variable can't be both Input and Measure."));
      } else {
        setListsarnFct(varList({v}), add);
        EXPECT_EQ(v->fct, current | add);
      }
    }
}

TEST_F(Declarations, InterfaceFunctionsOfVariablesAndParameters) {
  s_variable *x = variable("x"), *y = variable("y"), *m = variable("m"), *p = variable("p", 1);
  setListsarnFct(varList({x, y}), fctInput);
  setListsarnFct(varList({x}), fctInput);
  setListsarnFct(varList({x}), fctDisplay);
  setListsarnFct(varList({m}), fctMeasure);
  EXPECT_EQ(listsarnVarLn(inputListsarn), 2);  // each newly taken function, once
  EXPECT_EQ(listsarnVarLn(displayListsarn), 1);
  EXPECT_EQ(measureListsarn->elt, m);

  std::string warned = printedOnStderr([&] { setListsarnFct(varList({p, y}), fctDisplay); });
  EXPECT_EQ(warned, "Line 7: warning.\n  ...parameter in Display declaration.: " + p->name + "\n");
  EXPECT_EQ(p->fct, 0);
  EXPECT_EQ(y->fct, fctInput | fctDisplay);  // the rest of the list is still declared
  for (int f : {fctInput, fctMeasure})
    EXPECT_EXIT(setListsarnFct(varList({p}), f), testing::ExitedWithCode(1),
                "^Line 7: semantics error\\.\n  \\.\\.\\.parameter in Input or Measure declaration\\.: " +
                    p->name + "\n$");
}

TEST_F(Declarations, TypesAndParameters) {
  s_variable *x = variable("x"), *y = variable("y");
  y->type = objReal;
  setListsarnType(varList({x, y}), objReal);
  EXPECT_EQ(x->type, objReal);
  EXPECT_EXIT(setListsarnType(varList({x}), objBool), testing::ExitedWithCode(1),
              errorAtLine("contradicting type declarations."));
  x->dom = domain(objUn);
  setListsarnConst(varList({x}));
  EXPECT_EQ(x->param, 1);
}

TEST_F(Declarations, VariableDomains) {
  s_objet *range = newRangeObjet(0, 5, 1, 0), *three = newRealObjet(3);
  s_variable *x = variable("x"), *y = variable("y"), *p = variable("p", 1);
  EXPECT_EQ(dom2Var(x, opIn, domain(range)), x);
  EXPECT_EQ(x->dom->val, range);
  EXPECT_EQ(dom2Var(x, opEq, domain(three)), x);
  EXPECT_EQ(x->dom->val, three);
  p->dom = domain(three);
  EXPECT_EQ(dom2Var(y, opEq, domain(nullptr, p)), y);
  EXPECT_NE(y->dom, p->dom);  // a copy of the parameter's domain
  EXPECT_EQ(y->dom->val, three);

}

TEST_F(Declarations, CoefficientsCopyTheirValues) {
  s_objet *range = newRangeObjet(1, 2, 0, 1), *two = newRealObjet(2);
  s_coef *c = dom2Coef(coefDelay, opIn, domain(range));
  EXPECT_EQ(c->kind, coefDelay);
  ASSERT_EQ(c->val->type, objRange);
  EXPECT_NE(c->val->value->range, range->value->range);
  EXPECT_TRUE(eqRange(c->val->value->range, range->value->range));
  EXPECT_EQ(c->val->value->range->lowerClosed, 0);
  EXPECT_EQ(c->val->value->range->upperClosed, 1);

  c = dom2Coef(coefGain, opEq, domain(two));
  EXPECT_NE(c->val, two);
  EXPECT_TRUE(eqObj(c->val, two));

  s_variable *v = variable("v"), *p = variable("p", 1), *q = variable("q", 1);
  c = dom2Coef(coefGain, opEq, domain(nullptr, v));
  EXPECT_EQ(c->val, nullptr);
  EXPECT_EQ(c->var, v);
  p->dom = domain(range);
  c = dom2Coef(coefXi, opEq, domain(nullptr, p));
  EXPECT_TRUE(eqObj(c->val, range));
  EXPECT_EQ(c->var, nullptr);
  q->dom = domain(nullptr, p);
  std::string out = printed([&] { c = dom2Coef(coefGain, opEq, domain(nullptr, q)); });
  EXPECT_EQ(out, "Implementation error.\n ...parameter defined from another parameter\n");
  EXPECT_EQ(c->val, nullptr);

}

}  // namespace
