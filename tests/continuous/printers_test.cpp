#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <utility>
#include <vector>

#include "continuous/conditions.h"
#include "continuous/expressions.h"
#include "continuous/printers.h"
#include "records_support.h"

namespace {

using Printers = ContinuousTest;

s_gVar *gvOf(s_variable *v) {
  s_gVar *gv = newRecord<s_gVar>();
  gv->var = v;
  return gv;
}

s_expr *leaf(s_variable *v) {
  s_expr *e = newRecord<s_expr>();
  e->tex = exprVar;
  e->gv = gvOf(v);
  return e;
}

s_listsarnLong *positions(std::initializer_list<long> values) {
  s_listsarnLong *list = nullptr;
  for (long value : values) {
    s_listsarnLong *cell = newRecord<s_listsarnLong>();
    cell->elt = value;
    list = catListsarnLong(list, cell);
  }
  return list;
}

TEST_F(Printers, Variables) {
  struct row {
    int fct;
    int param;
    s_objet *domain;
    double maxDelay;
    std::string text;
  };
  const std::vector<row> table = {
      {0, 1, newRealObjet(3), 0, "  v: parameter  =3"},
      {0, 1, newRangeObjet(0, 1, 1, 0), 0, "  v: parameter  in [0, 1["},
      {0, 0, nullptr, 0, "  v: variable; max delay = 0\n"},
      {fctInput, 0, newRangeObjet(-DBL_MAX, 0, 1, 1), 2.5,
       "  v: input; variable in [-oo, 0]; max delay = 2.5\n"},
      {fctInput | fctDisplay, 0, nullptr, 1, "  v: input, display; variable; max delay = 1\n"},
      {fctDisplay, 0, newRealObjet(-2), 0, "  v: display; variable =-2; max delay = 0\n"},
      {fctDisplay | fctMeasure, 0, nullptr, 0, "  v: display, measure; variable; max delay = 0\n"},
      {fctMeasure, 0, nullptr, 3, "  v: measure; variable; max delay = 3\n"},
  };
  for (const row &r : table) {
    s_variable v;
    v.name = "v";
    v.fct = r.fct;
    v.param = r.param;
    v.maxDelay = r.maxDelay;
    if (r.domain != nullptr)
      v.dom = valueDomain(r.domain);
    EXPECT_EQ(stdoutOf([&] { printVariable(&v); }), r.text);
  }
  s_variable named;
  named.name = "tank.level";
  EXPECT_EQ(stdoutOf([&] { printVarNom(&named); }), "tank.level");
  EXPECT_EQ(stdoutOf([&] { printDomain(nullptr); }), "");
  EXPECT_EQ(stdoutOf([&] { printDomain(varDomain(&named)); }), "");
}

TEST_F(Printers, DictionaryInNameOrder) {
  s_variable *p = variable("b.p", 1);
  p->dom = valueDomain(newRealObjet(1));
  variable("a.x");
  EXPECT_EQ(stdoutOf([] { printDic(); }),
            "  a.x: variable; max delay = 0\n\n"
            "  b.p: parameter  =1\n");
}

TEST_F(Printers, Influences) {
  s_influence plain;
  plain.num = 3;
  plain.type = inflStatic;
  plain.cause = variable("a.x");
  plain.effect = variable("a.y");
  plain.gain = objUn;
  plain.delay = objZero;
  plain.respTime = objZero;
  EXPECT_EQ(stdoutOf([&] { printInfluence(&plain); }),
            "  3: a.x -S-> a.y: gain  =1; delay  =0; resp. time  =0; condHistoLn = 0;\n");

  s_cond guard;
  guard.name = "a.c_1";
  guard.val = 1;
  s_influence full = plain;
  full.type = inflSecondOrder;
  full.ruleName = "fill";
  full.cond = &guard;
  full.condHistoLn = 4;
  full.delay = newRangeObjet(1, 2, 1, 1);
  full.xi = newRealObjet(0.5);
  full.pulse = newRealObjet(2);
  full.n1 = newRealObjet(1);
  full.n2 = newRealObjet(2);
  full.a0 = newRealObjet(3);
  full.a1 = newRealObjet(4);
  full.a2 = newRealObjet(5);
  EXPECT_EQ(stdoutOf([&] { printInfluence(&full); }),
            "  3: fill: condition a.c_1: (true)\n"
            " a.x -D2-> a.y: gain  =1: xi  =0.5: w  =2: n1  =1: n2  =2: a0  =3: a1  =4: a2  =5"
            "; delay  in [1, 2]; resp. time  =0; condHistoLn = 4;\n");

  const std::vector<std::pair<influType, std::string>> letters = {
      {inflDynamic, "-D->"}, {inflIntegral, "-I->"}, {inflConstant, "-C->"},
      {static_cast<influType>(9), "--> "}};
  for (const auto &letter : letters) {
    plain.type = letter.first;
    EXPECT_NE(stdoutOf([&] { printInfluence(&plain); }).find(letter.second), std::string::npos)
        << letter.second;
  }

  influListsarn = nullptr;
  s_listsarnInfl c2{&full, nullptr}, c1{&plain, &c2};
  influListsarn = &c1;
  std::string rules = stdoutOf([] { printRules(); });
  EXPECT_EQ(rules.rfind("Influences (2):\n  3: a.x -", 0), 0u);
}

TEST_F(Printers, ConditionsOfEveryType) {
  s_variable *x = variable("a.x"), *y = variable("a.y");
  auto named = [](const char *name, condType type) {
    s_cond *c = newRecord<s_cond>();
    c->name = name;
    c->type = type;
    return c;
  };
  s_cond *yes = named("a.c_1", condBool);
  yes->val = 1;
  s_cond *no = named("a.c_2", condBool);
  s_cond *above = named("a.c_3", condVar);
  above->var1 = x;
  above->opr = opGt;
  above->ob = newRealObjet(1);
  s_cond *inRange = named("a.c_4", condVar);
  inRange->var1 = x;
  inRange->opr = opIn;
  inRange->ob = newRangeObjet(0, 1, 0, 1);
  s_cond *equal = named("a.c_5", condVar);
  equal->var1 = x;
  equal->opr = opEq;
  equal->var2 = y;
  s_cond *either = named("a.c_6", condOr);
  either->op1 = yes;
  either->op2 = above;
  s_cond *both = named("a.c_7", condAnd);
  both->op1 = no;
  both->op2 = equal;
  s_cond *negated = named("a.c_8", condNot);
  negated->op1 = yes;
  Atom *atom = reinterpret_cast<Atom *>(0x20);
  s_cond *onAtom = named("a.c_9", condAtom);
  onAtom->at = atom;
  s_cond *onExpr = named("a.c_10", condExprRel);
  s_listsarnExpr *exprs = nullptr;
  s_listsarnGVar *gvars = nullptr;
  long count = 0;
  onExpr->e = buildExprBinOp('+', leaf(y), mkConstLeaf(newRealObjet(2)), exprs, gvars, count);
  s_cond *tiedExpr = named("a.c_11", condExprRel);
  tiedExpr->e = leaf(y);
  tiedExpr->at = atom;

  const std::vector<std::pair<const s_cond *, std::string>> table = {
      {yes, "a.c_1: (true)\n"},
      {no, "a.c_2: (false)\n"},
      {above, "a.c_3: (a.x > 1)\n"},
      {inRange, "a.c_4: (a.x]0, 1])\n"},
      {equal, "a.c_5: (a.x = a.y)\n"},
      {either, "a.c_6: (a.c_1: (true)\n | a.c_3: (a.x > 1)\n)\n"},
      {both, "a.c_7: (a.c_2: (false)\n & a.c_5: (a.x = a.y)\n)\n"},
      {negated, "a.c_8: (! a.c_1: (true)\n)\n"},
      {onAtom, "a.c_9: ()\n"},
      {onExpr, "a.c_10: (InTeRm1a.y+2)\n"},
      {tiedExpr, "a.c_11: (a.ya.y)\n"},
  };
  for (const auto &entry : table)
    EXPECT_EQ(stdoutOf([&] { printCondition(entry.first); }), entry.second);

  printCondAtom = [](FILE *stream, const Atom *) { std::fputs("a.mode=on", stream); };
  EXPECT_EQ(stdoutOf([&] { printCondition(onAtom); }), "a.c_9: (a.mode=on)\n");
  EXPECT_EQ(stdoutOf([&] { printCondition(tiedExpr); }), "a.c_11: (a.ya.ya.mode=on)\n");
  printCondAtom = nullptr;

  above->opr = static_cast<opRel>(9);
  EXPECT_EQ(stdoutOf([&] { printCondition(above); }),
            "a.c_3: (a.xImplementation error.\n ...wrong relation operator in condition\n1)\n");
  s_cond *odd = named("a.c_12", static_cast<condType>(8));
  EXPECT_EQ(stdoutOf([&] { printCondition(odd); }),
            "a.c_12: (Implementation error.\n ...invalid condition type.\n)\n");

  conditions = {yes, no};
  EXPECT_EQ(stdoutOf([] { printConditions(); }),
            "Conditions (2):\na.c_1: (true)\na.c_2: (false)\n");
}

TEST_F(Printers, ConstraintsWithTheirVariables) {
  s_variable *x = variable("a.x"), *y = variable("a.y");
  s_listsarnExpr *exprs = nullptr;
  long count = 0;
  s_expr *lx = leaf(x), *ly = leaf(y);
  s_expr *sum = buildExprBinOp('+', lx, ly, exprs, gVarListsarn, count);
  buildExprBinOp('*', sum, mkConstLeaf(newRealObjet(2)), exprs, gVarListsarn, count);
  s_listsarnGVar *cell = newRecord<s_listsarnGVar>();
  cell->elt = lx->gv;
  gVarListsarn = catListsarnGVar(gVarListsarn, cell);
  globCListsarn = exprs;
  lx->gv->globC = positions({0, 1});
  sum->gv->globC = positions({0, 1, 2, 3});
  EXPECT_EQ(stdoutOf([] { printGlobCs(); }),
            "Global constraints variables:\n"
            "  InTeRm1: 1 2 3 4;\n"
            "  InTeRm2:;\n"
            "  a.x: 1 2;\n"
            "Global constraints:\n"
            "  (1) InTeRm1 = a.x+a.y;\n"
            "  (2) a.x = InTeRm1-a.y;\n"
            "  (3) a.y = InTeRm1-a.x;\n"
            "  (4) InTeRm2 = InTeRm1*2;\n"
            "  (5) InTeRm1 = InTeRm2/2;\n");

  s_expr *constant = mkConstLeaf(newRealObjet(5));
  s_listsarnExpr constraint{constant, nullptr};
  condCListsarn = &constraint;
  lx->gv->condC = positions({0});
  EXPECT_EQ(stdoutOf([] { printCondCs(); }),
            "Conditions constraints variables:\n"
            "  InTeRm1:;\n"
            "  InTeRm2:;\n"
            "  a.x: 1;\n"
            "Conditions constraints:\n"
            "Implementation error.\n ...constant as global constraint\n"
            "  (1) 5 = 5;\n");

  EXPECT_EQ(stdoutOf([&] { printGvExprListsarn(exprs->next); }),
            "  a.x = InTeRm1-a.y;\n  a.y = InTeRm1-a.x;\n"
            "  InTeRm2 = InTeRm1*2;\n  InTeRm1 = InTeRm2/2;\n");
}

TEST_F(Printers, InitialisationsAndUpdatingSequence) {
  s_variable *x = variable("a.x"), *y = variable("a.y");
  s_initVar ix{x, newRealObjet(1)}, iy{y, newRangeObjet(0, 2, 1, 1)};
  s_listsarnInitVar c2{&iy, nullptr}, c1{&ix, &c2};
  EXPECT_EQ(stdoutOf([&] { printInitListsarn(&c1); }), "  a.x:  =1;\n  a.y:  in [0, 2];\n");
  EXPECT_EQ(stdoutOf([&] { printInitListsarn(nullptr); }), "");

  x->depth = 0;
  y->depth = 2;
  EXPECT_EQ(stdoutOf([&] { printUpdateListsarn(varList({x, y})); }), "a.x:0, a.y:2;");
  EXPECT_EQ(stdoutOf([&] { printUpdateListsarn(varList({y})); }), "a.y:2;");
}

}  // namespace
