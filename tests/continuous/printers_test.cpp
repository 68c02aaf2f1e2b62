#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <utility>
#include <vector>

#include "continuous/expressions.h"
#include "continuous/printers.h"
#include "discrete/state_var.h"
#include "records_support.h"

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

TEST_F(Printers, VariablesAndTheDictionary) {
  struct row {
    int fct, param;
    s_objet *domain;
    std::string text;
  };
  const std::vector<row> table = {
      {0, 1, newRealObjet(3), "  v: parameter  =3"},
      {0, 1, newRangeObjet(0, 1, 1, 0), "  v: parameter  in [0, 1["},
      {0, 0, nullptr, "  v: variable; max delay = 2.5\n"},
      {fctInput, 0, newRangeObjet(-DBL_MAX, 0, 1, 1),
       "  v: input; variable in [-oo, 0]; max delay = 2.5\n"},
      {fctInput | fctDisplay, 0, nullptr, "  v: input, display; variable; max delay = 2.5\n"},
      {fctDisplay, 0, newRealObjet(-2), "  v: display; variable =-2; max delay = 2.5\n"},
      {fctDisplay | fctMeasure, 0, nullptr, "  v: display, measure; variable; max delay = 2.5\n"},
      {fctMeasure, 0, nullptr, "  v: measure; variable; max delay = 2.5\n"},
  };
  for (const row &r : table) {
    s_variable v;
    v.name = "v";
    v.fct = r.fct;
    v.param = r.param;
    v.maxDelay = 2.5;
    v.dom = r.domain != nullptr ? domain(r.domain) : nullptr;
    EXPECT_EQ(printed([&] { printVariable(&v); }), r.text);
  }

  variable("b.p", 1)->dom = domain(newRealObjet(1));
  variable("a.x");
  EXPECT_EQ(printed([] { printDic(); }),
            "  a.x: variable; max delay = 0\n\n  b.p: parameter  =1\n");
  EXPECT_EQ(printed([] { printVarNom(variable("a.x")); }), "a.x");
}

TEST_F(Printers, Influences) {
  s_influence plain;
  plain.num = 3;
  plain.type = inflStatic;
  plain.cause = variable("a.x");
  plain.effect = variable("a.y");
  plain.gain = objUn;
  plain.delay = plain.respTime = objZero;
  EXPECT_EQ(printed([&] { printInfluence(&plain); }),
            "  3: a.x -S-> a.y: gain  =1; delay  =0; resp. time  =0; condHistoLn = 0;\n");

  s_cond *guard = condition("a.c_1", condBool);
  guard->val = 1;
  s_influence full = plain;
  full.type = inflSecondOrder;
  full.ruleName = "fill";
  full.cond = guard;
  full.condHistoLn = 4;
  full.delay = newRangeObjet(1, 2, 1, 1);
  full.xi = newRealObjet(0.5);
  full.pulse = newRealObjet(2);
  full.n1 = newRealObjet(1);
  full.a0 = newRealObjet(3);
  full.a1 = newRealObjet(4);
  full.a2 = newRealObjet(5);
  s_listsarnInfl c2{&full, nullptr}, c1{&plain, &c2};
  influListsarn = &c1;
  EXPECT_EQ(printed([] { printRules(); }),
            "Influences (2):\n"
            "  3: a.x -S-> a.y: gain  =1; delay  =0; resp. time  =0; condHistoLn = 0;\n"
            "  3: fill: condition a.c_1: (true)\n"
            " a.x -D2-> a.y: gain  =1: xi  =0.5: w  =2: n1  =1: n2 : a0  =3: a1  =4: a2  =5"
            "; delay  in [1, 2]; resp. time  =0; condHistoLn = 4;\n");

  for (auto letter : std::vector<std::pair<int, std::string>>{
           {inflDynamic, " -D-> "}, {inflIntegral, " -I-> "}, {inflConstant, " -C-> "},
           {9, " --> "}}) {
    plain.type = static_cast<influType>(letter.first);
    EXPECT_NE(printed([&] { printInfluence(&plain); }).find(letter.second), std::string::npos);
  }
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

TEST_F(Printers, ConstraintsWithTheirVariables) {
  s_expr *x = leaf(variable("a.x"));
  s_listsarnExpr *exprs = nullptr;
  long count = 0;
  s_expr *sum = buildExprBinOp('+', x, leaf(variable("a.y")), exprs, gVarListsarn, count);
  buildExprBinOp('*', sum, mkConstLeaf(newRealObjet(2)), exprs, gVarListsarn, count);
  s_listsarnGVar xCell{x->gv, nullptr};
  catListsarnGVar(gVarListsarn, &xCell);
  s_listsarnLong p3{3, nullptr}, p1{1, &p3}, p0{0, &p1};
  x->gv->globC = &p1;
  sum->gv->globC = &p0;
  globCListsarn = exprs;
  EXPECT_EQ(printed([] { printGlobCs(); }),
            "Global constraints variables:\n"
            "  InTeRm1: 1 2 4;\n  InTeRm2:;\n  a.x: 2 4;\n"
            "Global constraints:\n"
            "  (1) InTeRm1 = a.x+a.y;\n  (2) a.x = InTeRm1-a.y;\n  (3) a.y = InTeRm1-a.x;\n"
            "  (4) InTeRm2 = InTeRm1*2;\n  (5) InTeRm1 = InTeRm2/2;\n");
  EXPECT_EQ(printed([&] { printGvExprListsarn(exprs->next->next->next); }),
            "  InTeRm2 = InTeRm1*2;\n  InTeRm1 = InTeRm2/2;\n");

  s_listsarnExpr constant{mkConstLeaf(newRealObjet(5)), nullptr};
  condCListsarn = &constant;
  x->gv->condC = &p0;
  EXPECT_EQ(printed([] { printCondCs(); }),
            "Conditions constraints variables:\n"
            "  InTeRm1:;\n  InTeRm2:;\n  a.x: 1 2 4;\n"
            "Conditions constraints:\n"
            "Implementation error.\n ...constant as global constraint\n"
            "  (1) 5 = 5;\n");
}

TEST_F(Printers, InitialisationsAndUpdatingSequence) {
  s_variable *x = variable("a.x"), *y = variable("a.y");
  s_initVar ix{x, newRealObjet(1)}, iy{y, newRangeObjet(0, 2, 1, 1)};
  s_listsarnInitVar c2{&iy, nullptr}, c1{&ix, &c2};
  EXPECT_EQ(printed([&] { printInitListsarn(&c1); }), "  a.x:  =1;\n  a.y:  in [0, 2];\n");
  x->depth = 0;
  y->depth = 2;
  EXPECT_EQ(printed([&] { printUpdateListsarn(varList({x, y})); }), "a.x:0, a.y:2;");
  EXPECT_EQ(printed([&] { printUpdateListsarn(nullptr); }), ";");
}

}  // namespace
