#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/lists.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class Registry : public testing::Test {
 protected:
  Registry() { DataManager::active_comps.clear(); }
  ~Registry() override {
    DataManager::active_comps.clear();
    DataManager::active_atoms->clear();
  }
};

// Components by name in registration order, a name given again replacing
// the first in its place; many of them too.
TEST_F(Registry, ComponentsInRegistrationOrderAndAtomsById) {
  Comp zeta("zeta"), alpha("alpha"), mid("mid"), alphaAgain("alpha");
  zeta.varName = "z";
  alpha.varName = "a";
  mid.varName = "m";
  alphaAgain.varName = "a2";
  for (Comp *comp : {&zeta, &alpha, &mid, &alphaAgain})
    DataManager::addComp(comp);
  EXPECT_EQ(DataManager::getComp("alpha"), &alphaAgain);
  EXPECT_EQ(DataManager::getComp("nothing"), nullptr);
  EXPECT_EQ(printed([] { DataManager::showComps(); }),
            "zeta -- zeta ( z )\nalpha -- alpha ( a2 )\nmid -- mid ( m )\n\n");
  DataManager::active_comps.clear();
  std::vector<std::unique_ptr<Comp>> many;
  for (int i = 0; i < 10000; ++i) {
    many.push_back(std::make_unique<Comp>("c" + std::to_string(9999 - i)));
    DataManager::addComp(many.back().get());
  }
  for (int i = 0; i < 10000; ++i)
    ASSERT_EQ(DataManager::getComp(("c" + std::to_string(i)).c_str()), many[9999 - i].get());
  EXPECT_EQ(DataManager::active_comps.begin()->first, "c9999");

  Owner owner;
  StateVar *x = owner.variable<StateVar>("p.x", std::set<std::string>{"on", "off"}, "on");
  for (Atom *atom : x->atomLinks)
    DataManager::addAtom(atom);
  EXPECT_EQ(DataManager::getAtom("p.x=on"), atomOf(x, "on"));
  EXPECT_EQ(DataManager::getAtom("p.x=up"), nullptr);
  EXPECT_EQ(printed([] { DataManager::showAtoms(); }), "p.x=off p.x=on \n");
  EXPECT_EQ(printedOnStderr([] { DataManager::dataError(0, 1); }),
            "Request error.\n ...component doesn't exist.\n");
  EXPECT_EQ(printedOnStderr([] { DataManager::dataError(2, 1); }), "");
}

TEST(Comp, CorrespondencesAnswerEmptyWhenMissing) {
  Comp comp("c");
  EXPECT_EQ(comp.findCorresName("a"), "");
  comp.correspondences = new std::vector<std::pair<std::string, std::string>>{{"a", "b"}, {"c", "d"}};
  EXPECT_EQ(comp.findCorresDef("d"), "c");
  EXPECT_EQ(comp.findCorresName("a"), "b");
  EXPECT_EQ(comp.findCorresName("z"), "");
  EXPECT_EQ(comp.findCorresDef("a"), "");
}

s_cond *boolCondition(const char *name, long value) {
  s_cond *condition = newRecord<s_cond>();
  condition->name = name;
  condition->val = value;
  return condition;
}

s_gVar *globalVariable(s_variable *var, long intermediate) {
  s_gVar *global = newRecord<s_gVar>();
  global->var = var;
  global->nInterm = intermediate;
  return global;
}

// x + 2
s_expr *sumExpression(s_variable *x) {
  s_expr *sum = newRecord<s_expr>(), *left = newRecord<s_expr>(), *right = newRecord<s_expr>();
  left->tex = exprVar;
  left->gv = globalVariable(x, 0);
  right->tex = exprConst;
  right->gv = globalVariable(nullptr, 0);
  right->gv->value = newRealObjet(2);
  sum->tex = exprAdd;
  sum->op1 = left;
  sum->op2 = right;
  sum->gv = globalVariable(nullptr, 1);
  return sum;
}

TEST(Comp, ShowCompLaysOutEverySectionWithTheContinuousRecords) {
  Owner owner;
  Comp comp("valve1");
  Comp used("pipe1");
  used.varName = "p";
  comp.importedComps = new std::vector<Comp *>{&used};
  ModeVar *mode =
      owner.variable<ModeVar>("v.mode", std::set<std::string>{"ok", "stuck"}, "ok");
  CondVar *condition = owner.variable<CondVar>("v.cv", std::set<std::string>{"c0"}, "c0");
  condition->conditions = {boolCondition("v.c_1", 1), boolCondition("v.c_2", 0)};
  comp.addStateVar(mode);
  comp.addStateVar(condition);

  s_variable *x = newRecord<s_variable>(), *y = newRecord<s_variable>();
  x->name = "v.x";
  y->name = "v.y";
  s_listsarnGVar intermediateCell{globalVariable(nullptr, 3), nullptr};
  s_listsarnGVar xCell{globalVariable(x, 0), &intermediateCell};
  comp.gvars = &xCell;
  s_initVar start{x, newRealObjet(0)};
  s_listsarnInitVar startCell{&start, nullptr};
  comp.initVars = &startCell;
  s_listsarnExpr sumCell{sumExpression(x), nullptr};
  comp.condExprs = &sumCell;
  s_influence influence;
  influence.num = 4;
  influence.type = inflStatic;
  influence.cause = x;
  influence.effect = y;
  influence.gain = newRealObjet(1);
  comp.addInfluence(&influence);

  comp.addFormulaToCS(new Formula(new StateFormula(atomOf(mode, "ok")), nullptr, nullptr));
  Transition *t = new Transition(new StateFormula(atomOf(mode, "ok")),
                                 new StateFormula(atomOf(mode, "stuck")), "Fail", 0.1);
  s_mapfVar reset{x, newRealObjet(0), nullptr}, follow{y, nullptr, sumExpression(x)};
  std::vector<s_mapfVar *> assignments{&reset, &follow};
  t->mf = new std::vector<MapFunc *>{new MapFunc(boolCondition("v.c_3", 1), &assignments)};
  comp.addTransitionToC(t);

  std::string stars = "***************************************************";
  std::string dashes = "---------------------------------------------------";
  EXPECT_EQ(printed([&] { comp.showComp(); }),
            "\n" + stars + "\nComp : valve1\n" + stars +
                "\nimported components:\np\nStates : \n"
                "v.mode - Mode -\n\t\tv.mode\n\t\tType: Mode\n\t\tValues: \n\t\t{ ok  stuck  }\n\n"
                "v.mode --->\t\t ok\n"
                "v.cv - Cond -\n\t\tv.cv\n\t\tType: Cond\n\t\tValues: \n\t\t{ c0  }\n\n"
                "\t\t{ v.c_1: (true)\n v.c_2: (false)\n }\nv.cv --->\t\t c0\n"
                "\n\ngvars: 2\nv.x\nInTeRm3\n"
                "\nglobal constraints: 0\n"
                "\ninitvars: 1\n"
                "cond exprs: 1\nv.x+2\n"
                "\n" + dashes + "\nConstraints : \n(v.mode=ok  ) => \n" +
                dashes + "\nInfluences : \n"
                "  4: v.x -S-> v.y: gain  =1; delay ; resp. time ; condHistoLn = 0;\n" +
                dashes + "\nTransitions : \nFail (0.1) : (v.mode=ok  ) =>O  and (v.mode=stuck  ) -- 0\n"
                "v.c_3: (true)\n\t\tv.x =  =0\n\t\tv.y = v.x+2\n" +
                stars + "\n");
}

// Runs in a fresh directory, as the program does at start-up.
class BenchmarkFiles : public testing::Test {
 protected:
  ~BenchmarkFiles() override {
    DataManager::benchmk_stream.close();
    DataManager::itms_stream.close();
  }
  ScratchDirectory directory;
};

TEST_F(BenchmarkFiles, TakeOneLinePerEntry) {
  DataManager::openBenchmarkFiles();

  EXPECT_EQ(printed([] { DataManager::addBmkEntry(3, 0.25, true, 7); }),
            "[DataManager] --> added to benchmark_file : 3 0.25 1 7\n");
  printed([] { DataManager::addBmkEntry(-1, 2.0, false, 0); });
  EXPECT_EQ(fileText("bench1.bmk"), "3 0.25 1 7\n-1 2 0 0\n");

  DataManager::itms_calls = 0;
  std::vector<const char *> names = {"p.m=ok", "p.c=on"};
  std::vector<const char *> none;
  EXPECT_EQ(printed([&] { DataManager::addItmsBmkEntry(0.5, 2, &names); }), "");
  DataManager::addItmsBmkEntry(1.0 / 3.0, 0, &none);
  EXPECT_EQ(fileText("itmsbench.bmk"), "0 0.5 2 p.m=ok p.c=on \n1 0.333333 0 \n");
  EXPECT_EQ(DataManager::itms_calls, 2u);
}

} // namespace
