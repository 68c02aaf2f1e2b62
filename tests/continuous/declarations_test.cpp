#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/declarations.h"
#include "records_support.h"

namespace {

using Declarations = ContinuousTest;

const int none = 0, in = fctInput, disp = fctDisplay, meas = fctMeasure;
const int refused = -1;

TEST_F(Declarations, InterfaceFunctionTable) {
  struct row {
    int current;
    int add;
    int result;
  };
  const std::vector<row> table = {
      {none, in, in},         {none, disp, disp},           {none, meas, meas},
      {in, in, in},           {in, disp, in | disp},        {in, meas, refused},
      {disp, in, in | disp},  {disp, disp, disp},           {disp, meas, disp | meas},
      {in | disp, in, in | disp}, {in | disp, disp, in | disp}, {in | disp, meas, refused},
      {meas, in, refused},    {meas, disp, disp | meas},    {meas, meas, meas},
      {disp | meas, in, refused}, {disp | meas, disp, disp | meas},
      {disp | meas, meas, disp | meas},
  };
  for (const row &r : table) {
    SCOPED_TRACE(std::to_string(r.current) + " + " + std::to_string(r.add));
    s_variable *v = variable("v" + std::to_string(r.current) + std::to_string(r.add));
    v->fct = r.current;
    if (r.result == refused) {
      EXPECT_EXIT(setListsarnFct(varList({v}), r.add), testing::ExitedWithCode(1),
                  errorAtLine("variable can't be both Input and Measure."));
    } else {
      setListsarnFct(varList({v}), r.add);
      EXPECT_EQ(v->fct, r.result);
    }
  }
}

TEST_F(Declarations, NewInterfaceFunctionsJoinTheSessionLists) {
  s_variable *x = variable("x"), *y = variable("y");
  setListsarnFct(varList({x, y}), fctInput);
  setListsarnFct(varList({x}), fctInput);
  setListsarnFct(varList({x}), fctDisplay);
  setListsarnFct(varList({y}), fctDisplay);
  s_variable *m = variable("m");
  setListsarnFct(varList({m}), fctMeasure);
  EXPECT_EQ(listsarnVarLn(inputListsarn), 2);
  EXPECT_EQ(listsarnVarLn(displayListsarn), 2);
  EXPECT_EQ(listsarnVarLn(measureListsarn), 1);
  EXPECT_EQ(measureListsarn->elt, m);
}

TEST_F(Declarations, ParametersInInterfaceDeclarations) {
  s_variable *p = variable("p", 1), *x = variable("x");
  std::string warned = stderrOf([&] { setListsarnFct(varList({p, x}), fctDisplay); });
  EXPECT_EQ(warned, "Warning.\n  ...parameter in Display declaration.: \n");
  EXPECT_EQ(p->fct, 0);
  EXPECT_EQ(x->fct, fctDisplay);  // the rest of the list is still declared
  for (int f : {fctInput, fctMeasure})
    EXPECT_EXIT(setListsarnFct(varList({p}), f), testing::ExitedWithCode(1),
                "^Semantics error\\.\n  \\.\\.\\.parameter in Input or Measure declaration\\.: \n$");
}

TEST_F(Declarations, TypesAndParameters) {
  s_variable *x = variable("x"), *y = variable("y");
  y->type = objReal;
  setListsarnType(varList({x, y}), objReal);
  EXPECT_EQ(x->type, objReal);
  EXPECT_EXIT(setListsarnType(varList({x}), objBool), testing::ExitedWithCode(1),
              errorAtLine("contradicting type declarations."));

  x->dom = valueDomain(objUn);
  setListsarnConst(varList({x}));
  EXPECT_EQ(x->param, 1);
  EXPECT_EXIT(setListsarnConst(varList({y})), testing::ExitedWithCode(1),
              errorAtLine("parameter should be initialized."));
}

TEST_F(Declarations, VariableDomains) {
  s_objet *range = newRangeObjet(0, 5, 1, 0);
  s_objet *three = newRealObjet(3);
  s_variable *x = variable("x");
  EXPECT_EQ(dom2Var(x, opIn, valueDomain(range)), x);
  EXPECT_EQ(x->dom->val, range);
  EXPECT_EQ(dom2Var(x, opEq, valueDomain(three)), x);
  EXPECT_EQ(x->dom->val, three);

  s_variable *p = variable("p", 1);
  p->dom = valueDomain(three);
  s_variable *y = variable("y");
  EXPECT_EQ(dom2Var(y, opEq, varDomain(p)), y);
  EXPECT_NE(y->dom, p->dom);  // a copy of the parameter's domain
  EXPECT_EQ(y->dom->val, three);

  struct refusal {
    int op;
    s_domain *dom;
    const char *message;
  };
  const std::vector<refusal> refusals = {
      {opIn, valueDomain(three), "invalid object beside IN operator."},
      {opIn, varDomain(p), "invalid object beside IN operator."},
      {opEq, valueDomain(range), "invalid relation operator before range."},
      {opEq, varDomain(variable("v")), "initialization should be done with a parameter."},
      {opLe, valueDomain(three), "invalid operator in variable declaration."},
      {opNone, valueDomain(three), "invalid operator in variable declaration."},
  };
  for (const refusal &r : refusals)
    EXPECT_EXIT(dom2Var(variable("z"), r.op, r.dom), testing::ExitedWithCode(1),
                errorAtLine(r.message));
}

TEST_F(Declarations, CoefficientsCopyTheirValues) {
  s_objet *range = newRangeObjet(1, 2, 0, 1);
  s_coef *c = dom2Coef(coefDelay, opIn, valueDomain(range));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->kind, coefDelay);
  ASSERT_EQ(c->val->type, objRange);
  EXPECT_NE(c->val->value->range, range->value->range);
  EXPECT_EQ(c->val->value->range->lower, 1);
  EXPECT_EQ(c->val->value->range->upper, 2);
  EXPECT_EQ(c->val->value->range->lowerClosed, 0);
  EXPECT_EQ(c->val->value->range->upperClosed, 1);

  s_objet *two = newRealObjet(2);
  c = dom2Coef(coefGain, opEq, valueDomain(two));
  ASSERT_EQ(c->val->type, objReal);
  EXPECT_NE(c->val, two);
  EXPECT_EQ(c->val->value->real, 2);

  s_variable *v = variable("v");
  c = dom2Coef(coefGain, opEq, varDomain(v));
  EXPECT_EQ(c->val, nullptr);
  EXPECT_EQ(c->var, v);

  s_variable *p = variable("p", 1);
  p->dom = valueDomain(range);
  c = dom2Coef(coefXi, opEq, varDomain(p));
  ASSERT_EQ(c->val->type, objRange);
  EXPECT_EQ(c->val->value->range->upper, 2);
  EXPECT_EQ(c->var, nullptr);

  s_variable *q = variable("q", 1);
  q->dom = varDomain(p);
  std::string out = stdoutOf([&] { c = dom2Coef(coefGain, opEq, varDomain(q)); });
  EXPECT_EQ(out, "Implementation error.\n ...parameter defined from another parameter\n");
  EXPECT_EQ(c->val, nullptr);

  struct refusal {
    int op;
    s_domain *dom;
    const char *message;
  };
  const std::vector<refusal> refusals = {
      {opIn, valueDomain(two), "invalid object beside IN operator."},
      {opEq, valueDomain(range), "invalid relation operator before range."},
      {opGe, valueDomain(two), "invalid operator in influence coefficient."},
  };
  for (const refusal &r : refusals)
    EXPECT_EXIT(dom2Coef(coefGain, r.op, r.dom), testing::ExitedWithCode(1),
                errorAtLine(r.message));
}

TEST_F(Declarations, LiteralConstantsInitialisationsAndMappings) {
  for (const char *expected : {"cst_1", "cst_2", "cst_3"}) {
    s_variable *c = const2Var(4.5);
    EXPECT_EQ(c->name, expected);
    EXPECT_EQ(c->type, objReal);
    EXPECT_EQ(c->param, 1);
    EXPECT_EQ(c->cstVal->value->real, 4.5);
  }
  EXPECT_EQ(dictionary, nullptr);

  s_variable *x = variable("x");
  s_objet *five = newRealObjet(5);
  EXPECT_EQ(buildInitVar(x, valueDomain(five))->val, five);
  s_variable *p = variable("p", 1);
  p->dom = valueDomain(five);
  s_initVar *init = buildInitVar(x, varDomain(p));
  EXPECT_EQ(init->var, x);
  EXPECT_EQ(init->val, five);
  EXPECT_EXIT(buildInitVar(x, varDomain(variable("y"))), testing::ExitedWithCode(1),
              errorAtLine("initialization should be done with a parameter."));

  s_expr e;
  s_mapfVar *m = buildMapfVarExpr(x, &e);
  EXPECT_EQ(m->var, x);
  EXPECT_EQ(m->val, nullptr);
  EXPECT_EQ(m->expr, &e);
}

}  // namespace
