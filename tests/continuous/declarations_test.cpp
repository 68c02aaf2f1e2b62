#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/declarations.h"
#include "records_support.h"

namespace {

using Declarations = ContinuousTest;

std::string shown(const s_objet *o) {
  return printed([o] { printObjet(stdout, o); });
}

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

// Declaring a function again adds nothing (tests/continuous/lists_symbols_test.cpp);
// a measured parameter is refused in a session (tests/e2e/definition/parameter_measured).
TEST_F(Declarations, InterfaceFunctionsOfParameters) {
  s_variable *y = variable("y"), *p = variable("p", 1);
  setListsarnFct(varList({y}), fctInput);
  std::string warned = printedOnStderr([&] { setListsarnFct(varList({p, y}), fctDisplay); });
  EXPECT_EQ(warned, "Line 7: warning.\n  ...parameter in Display declaration.: " + p->name + "\n");
  EXPECT_EQ(p->fct, 0);
  EXPECT_EQ(y->fct, fctInput | fctDisplay);  // the rest of the list is still declared
  EXPECT_EQ(displayListsarn->elt, y);
  EXPECT_EQ(listsarnVarLn(displayListsarn), 1);
  EXPECT_EXIT(setListsarnFct(varList({p}), fctInput), testing::ExitedWithCode(1),
              errorAtLine("parameter in Input or Measure declaration.", p->name));
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

// Variables share the value objects of their domains; coefficients copy
// them. The domains and coefficients taken are shown by a session
// (tests/e2e/shell/continuous_views.case).
TEST_F(Declarations, DomainsOfVariablesAndCoefficients) {
  s_objet *range = newRangeObjet(1, 2, 0, 1), *three = newRealObjet(3);
  s_variable *x = variable("x"), *y = variable("y"), *v = variable("v"), *p = variable("p", 1),
             *q = variable("q", 1);
  EXPECT_EQ(dom2Var(x, opIn, domain(range)), x);
  EXPECT_EQ(x->dom->val, range);
  p->dom = domain(three);
  EXPECT_EQ(dom2Var(y, opEq, domain(nullptr, p)), y);
  EXPECT_NE(y->dom, p->dom);  // a copy of the parameter's domain
  EXPECT_EQ(y->dom->val, three);

  s_coef *c = dom2Coef(coefDelay, opIn, domain(range));
  EXPECT_NE(c->val->value->range, range->value->range);
  EXPECT_EQ(shown(c->val), " in ]1, 2]");
  EXPECT_NE(dom2Coef(coefGain, opEq, domain(three))->val, three);
  EXPECT_EQ(dom2Coef(coefGain, opEq, domain(nullptr, v))->var, v);
  p->dom = domain(range);
  c = dom2Coef(coefXi, opEq, domain(nullptr, p));
  EXPECT_EQ(shown(c->val), " in ]1, 2]");
  EXPECT_NE(c->val, range);
  q->dom = domain(nullptr, p);
  std::string out = printed([&] { c = dom2Coef(coefGain, opEq, domain(nullptr, q)); });
  EXPECT_EQ(out, "Implementation error.\n ...parameter defined from another parameter\n");
  EXPECT_EQ(c->val, nullptr);
}

}  // namespace
