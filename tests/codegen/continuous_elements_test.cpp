#include <gtest/gtest.h>

#include "codegen/continuous_elements.h"
#include "codegen/emit.h"
#include "codegen_support.h"
#include "continuous/causal_graph.h"
#include "discrete/state_var.h"

namespace {

// The tank uses the valve as "inlet".
class ContinuousElements : public GenerationTest {
 protected:
  void SetUp() override {
    GenerationTest::SetUp();
    valve = component("valve", "Valve");
    tank = component("tank", "Tank");
    uses(tank, valve, "inlet");
  }
  static s_cond *condition(condType type, long num) {
    return record(s_cond{"tank.c_" + std::to_string(num), num, 0, type});
  }
  Comp *valve = nullptr, *tank = nullptr;
};

// A parameter without history (window 0); a measured variable whose maximum
// delay 2, time step 1 and window 10 give twelve entries per history.
TEST_F(ContinuousElements, VariablesWithTheirDomainsAndHistories) {
  conf_set("continuous_window", 0);
  geneVariable(gen, body.file, header.file, "Tank", contVariable("tank.area", 1, newRealObjet(3)));
  EXPECT_EQ(body.text(),
            "\n\tobjet x_1=  (objet) new_malloc(sizeof(s_Objet));\n\t"
            "\tsetObjType(x_1,(objType)1);\n\trange r_10 = {3,0, 1, 1};\n\tsetObjRangeVal(x_1,r_10);\n"
            "\tarea= (variable) new_malloc (sizeof(s_Variable));\n\t"
            "area->nom=mkString((name + \".area\").c_str());\n\t"
            "area->cst = 1;\n\tarea->dom = NULL;\n\tarea->deter = 0;\n\tarea->oldVal = x_1;\n\t"
            "area->newVal = NULL;\n\tarea->mesVal = NULL;\n\tresetVarAlarms (area);\n\t"
            "area->histoMisb = NULL;area->node = NULL;resetVarHisto (area);\n\t"
            "area->ncd = 0;area->relCd = NULL;");

  conf_set("continuous_window", 10);
  MemoryFile out;
  s_variable *level = contVariable("tank.level", 0, newRangeObjet(0, 10, 1, 0));
  level->fct = fctMeasure;
  level->maxDelay = 2;
  s_cNode node;
  level->node = &node;
  gen.instanceVariableCount = 4;
  geneVariable(gen, out.file, header.file, "Tank", level);
  std::string text = out.text();
  EXPECT_EQ(text.substr(0, text.find("objet x_5")),
            "\n\tobjet d_5=  (objet) new_malloc(sizeof(s_Objet));\n\t"
            "\tsetObjType(d_5,(objType)2);\n\t\trange r_50 = {0,10,1,0};\n\tsetObjRangeVal(d_5,r_50);\n\t");
  for (const char *part :
       {"range r_53 = {0,0, 1, 1};\n\tsetObjRangeVal(z_5,r_53);\n\t"
        "objet* m_5 = (objet*) new_malloc (12*sizeof (objet));\n\t"
        "m_5[0] = (objet) new_malloc (sizeof (s_Objet));\n\t"
        "setObjType (m_5[0], (objType)0);\n\trange r_5h0 = {0, 0, 1, 1};\n\t",
        "setObjRangeVal (m_5[11], r_5h11);\n\tobjet* o_5 = (objet*) new_malloc (12*sizeof (objet));\n\t"
        "o_5[0] = ",
        "setObjRangeVal (o_5[11], r_5hm23);\n\tlong* u_5 = (long*) calloc (12, sizeof (long));\n\t"
        "long* w_5 = (long*) calloc (12, sizeof (long));\n\t",
        "level->mesVal = z_5;\n\tresetVarAlarms (level);\n\tlevel->histoMisb = NULL;Tank_n_5 = (cGraph) "
        "new_malloc (sizeof (s_CGraph));\n\tlevel->node = Tank_n_5;\n\tlevel->histoLn = 12;\n\t"
        "level->histo = m_5;\n\t"})
    EXPECT_TRUE(contains(text, part)) << part;
}

// A delay range from 0 is refused in a session (tests/e2e/compile/delay_range_from_zero.case).
TEST_F(ContinuousElements, InfluenceActivationDelaysAndEnvelopeFlag) {
  const struct {
    influType type;
    s_objet *delay;
    double step;
    int evlps;
    const char *expected;
  } cases[] = {
      {inflStatic, objZero, 1, 0,
       "\n\tenum boolVal t_1[1]={(boolVal)1};\n\tobjet g_1=(objet) new_malloc(sizeof(s_Objet));\n\t"
       "setObjType(g_1, (objType)1);\n\trange r_g_1 = {1,0};\n\tsetObjRangeVal(g_1, r_g_1);\n\t"
       "objet xi_1=NULL;\n\tobjet wn_1=NULL;\n\tobjet n1_1=NULL;\n\tobjet n2_1=NULL;\n\t"
       "objet d0_1=NULL;\n\tobjet d1_1=NULL;\n\tobjet d2_1=NULL;\n\tobjet er_1=(objet) "},
      {inflStatic, objZero, 1, 0,
       "i_i1=(influence) new_malloc(sizeof(s_Influence));\n\ti_i1->name = mkString(\"tank.r\");\n\t"
       "i_i1->it = (influType)3;\n\ti_i1->cause = a;\n\ti_i1->effet = b;\n\ti_i1->cd = NULL;\n\t"
       "i_i1->length_act_cond_hist = 0;\n\ti_i1->act_cond_array = t_1;\n\ti_i1->gain = g_1;\n\t"
       "i_i1->delinf = 0;\n\ti_i1->delsup = 0;\n\ti_i1->tRep = er_1;\n\ti_i1->a = p_1;\n\t"
       "i_i1->b = q_1;\n\ti_i1->a2 = sa_1;\n\ti_i1->b2 = uu_1;\n\ti_i1->xi = xi_1;\n\t"
       "i_i1->w = wn_1;\n\ti_i1->n1 = n1_1;\n\ti_i1->n2 = n2_1;\n\ti_i1->d0 = d0_1;\n\t"
       "i_i1->d1 = d1_1;\n\ti_i1->d2 = d2_1;\n\taddInfluence (i_i1);\n\ti_i1->inf_fct = false;\n\t"},
      {inflStatic, objZero, 1, 1, "i_i1->inf_fct = true;\n\t"},
      {inflStatic, newRangeObjet(2, 4, 1, 1), 1, 0, "i_i1->delinf = 2;\n\ti_i1->delsup = 4;\n\t"},
      {inflStatic, newRealObjet(1.5), 1, 0, "i_i1->delinf = 2;\n\ti_i1->delsup = 2;\n\t"},
      {inflStatic, newRealObjet(1), 0.5, 0, "i_i1->delinf = 2;\n\ti_i1->delsup = 2;\n\t"},
  };
  for (const auto &c : cases) {
    MemoryFile out;
    conf_set("evlps_opti", c.evlps);
    gen.timeStep = c.step;
    numInflu = 1;
    geneInfluence(gen, out.file, header.file,
                  record(s_influence{0, "tank.r", "", c.type, contVariable("tank.a", 1),
                                     contVariable("tank.b"), nullptr, 0, nullptr, c.delay}),
                  tank);
    EXPECT_TRUE(contains(out.text(), c.expected)) << c.expected;
  }
}

// The valve's flow is caused by the valve's own influence and causes an
// influence of the tank.
TEST_F(ContinuousElements, NodesNameTheirInfluencesWhereverTheyAre) {
  s_influence feed, fill;
  feed.comp = valve;
  valve->addInfluence(&feed);
  fill.comp = tank;
  tank->addInfluence(&fill);
  s_cNode flowNode{{&feed}, inflStatic, {&fill}};
  s_variable *flow = contVariable("valve.flow");
  flow->node = &flowNode;
  gen.nodeTotal = 3;
  geneNode(gen, body.file, header.file, valve, flow);
  EXPECT_EQ(body.text(),
            "j_1 = (influence*) new_malloc (1*sizeof (influence));\n\tj_1[0] = i_i1;\n\t"
            "k_1 = (influence*) new_malloc (1*sizeof (influence));\n\tk_1[0] = NULL;\n\t"
            "Valve_n_1->ncause = 1;\n\tValve_n_1->vcause = j_1;\n\tValve_n_1->ti = (influType)3;\n\t"
            "Valve_n_1->neffet = 1;\n\tValve_n_1->veffet = k_1;\n\t");
  EXPECT_EQ(gen.crossReferences, "valve->k_1[0] = tank->i_i1;\n\t");

  // Through the member while the valve is to come, by cross-reference after.
  s_cNode levelNode{{&fill, &feed}, inflStatic, {}};
  s_variable *level = contVariable("tank.level");
  level->node = &levelNode;
  for (bool generated : {false, true}) {
    MemoryFile out;
    gen.crossReferences.clear();
    valve->generated = generated;
    gen.instanceVariableCount = 0;
    geneNode(gen, out.file, header.file, tank, level);
    EXPECT_TRUE(contains(out.text(), generated ? "j_1[1] = NULL;\n\t" : "j_1[1] = inlet->i_i1;\n\t"));
    EXPECT_EQ(gen.crossReferences, generated ? "tank->j_1[1] = valve->i_i1;\n\t" : "");
  }
}

TEST_F(ContinuousElements, VariablesOfOtherInstancesAreReachedOrCrossReferenced) {
  s_variable *flow = contVariable("valve.flow");
  EXPECT_EQ(geneContSymbName(gen, contVariable("tank.level"), tank, refCause, 1), "level");
  EXPECT_EQ(geneContSymbName(gen, flow, tank, refCause, 1), "inlet->flow");

  // The valve generated first: the class reaches it by cross reference, and
  // so does every later instance.
  forgetMutualDecisions();
  const struct {
    ContRef ref;
    const char *value, *expected;
  } cases[] = {
      {refCause, "", "tank->i_i2->cause = valve->flow;\n\t"},
      {refEffect, "", "tank->i_i2->effet = valve->flow;\n\t"},
      {refGVar, "", "tank->f_2->uv.var = valve->flow;\n\t"},
      {refMapFunc, "7",
       "(*tank->Tank_t2->mf)[1]->mvs->push_back (mkMapfVar (getVarName (valve->flow), 7));\n\t"},
      {refCondVar, "c_2", "tank->c_2->var1 = valve->flow;\n\t"},
  };
  for (bool later : {false, true})
    for (const auto &c : cases) {
      gen.typeGeneratedAlready = later;
      valve->generated = !later;
      gen.crossReferences.clear();
      EXPECT_EQ(geneContSymbName(gen, flow, tank, c.ref, 2, 1, c.value), "NULL");
      EXPECT_EQ(gen.crossReferences, c.expected);
    }
}

TEST_F(ContinuousElements, GlobalVariablesAndExpressions) {
  s_gVar &level = *record(s_gVar{0, 0, contVariable("tank.level"), 0, nullptr,
                                 listOf<s_listsarnLong>(std::vector<long>{0, 3})});
  s_gVar &interm = *record(s_gVar{0, 0, nullptr, 1});
  s_gVar &eight = *record(s_gVar{0, 0, nullptr, 0, newRealObjet(8)});
  geneGlobVs(gen, body.file, header.file, listOf<s_listsarnGVar>(std::vector<s_gVar *>{&level, &interm}),
             tank);
  std::string text = body.text();
  EXPECT_EQ(text.substr(0, text.find("\tobjet b_1")),
            "\tobjet b_0 = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType(b_0, (objType)1);\n\t"
            "range r_b_0 = {0,0};\n\tsetObjRangeVal(b_0, r_b_0);\n\t"
            "long* l_0 = (long*) new_malloc (3*sizeof (long));\n\tl_0[0] = 2;\n\tl_0[1] = 0;\n\t"
            "l_0[2] = 3;\n\tf_0 = (gVar) new_malloc (sizeof (s_GVar));\n\tf_0->tgv = (gVarType)1;\n\t"
            "f_0->uv.var = level;\n\tf_0->ob = b_0;\n\tf_0->nex = 2;\n\tf_0->ex = l_0;\n\t"
            "f_0->ncex = 0;\n\tf_0->cex = NULL;\n\t");

  // level - 8: leaves first (a new global variable for the constant), then the node.
  s_expr &leaf = *record(s_expr{0, &level, exprVar, nullptr, nullptr});
  s_expr &constant = *record(s_expr{0, &eight, exprConst, nullptr, nullptr});
  s_expr &difference = *record(s_expr{0, &interm, exprSub, &leaf, &constant});
  MemoryFile out;
  geneGlobCs(gen, out.file, header.file, listOf<s_listsarnExpr>(std::vector<s_expr *>{&difference}), tank);
  EXPECT_TRUE(contains(out.text(), "f_2->ncex = 0;\n\tf_2->cex = NULL;\n\ts_2 = (expr) new_malloc "
                                   "(sizeof (s_Expr));\n\ts_2->tex = (exprType)0;\n\ts_2->gv = f_2;\n\t"));
  EXPECT_TRUE(contains(out.text(), "s_3 = (expr) new_malloc (sizeof (s_Expr));\n\ts_3->tex = "
                                   "(exprType)3;\n\ts_3->gv = f_1;\n\ts_3->op1 = s_1;\n\ts_3->op2 = s_2;\n\t"));
  // A constant is no global constraint; a condition constraint may be one.
  auto constantOnly = listOf<s_listsarnExpr>(std::vector<s_expr *>{&constant});
  EXPECT_EQ(printed([&] { geneGlobCs(gen, out.file, header.file, constantOnly, tank); }),
            "Implementation error.\n ...constant as global constraint\n");
  geneCondCs(gen, out.file, header.file, constantOnly, tank);
  EXPECT_EQ(gen.conditionConstraintRegistrations, "aC[0] = tank->s_2;\n\t");
}

TEST_F(ContinuousElements, ConditionsAreGeneratedOnceAndRegistered) {
  auto generate = [&](s_cond *cond, Comp *comp, CondUse use, const char *reference) {
    return geneCondition(gen, body.file, header.file, cond, comp, use, reference);
  };
  s_cond *constant = condition(condBool, 4);
  constant->val = 1;
  s_cond *negation = condition(condNot, 5);
  negation->op1 = constant;
  EXPECT_EQ(generate(negation, tank, condOfInfluence, "i_i1->cd"), "c_5");
  EXPECT_EQ(body.text(),
            "c_4 = mkCond ();\n\tsetCondType (c_4, 1);\n\tsetCondCTE (c_4, 1);\n\t"
            "c_5 = mkCond ();\n\tsetCondType (c_5, 5);\n\t"
            "c_5->op1 = c_4;\n\tc_5->op2 = NULL;\n\tc_5->var1 = NULL;\n\tc_5->opr = (opRel)0;\n\t"
            "c_5->ob = NULL;\n\tc_5->var2 = NULL;\n\tc_5->val = 0;\n\tc_5->at = NULL;\n\t"
            "c_5->num = 5;\n\tc_5->nle = 0;\n\tc_5->le = NULL;\n\tc_5->e = NULL;\n\t");
  const std::string registered = "condi[0] = tank->c_4;\n\tcondi[1] = tank->c_5;\n\t";
  EXPECT_EQ(gen.conditionRegistrations, registered);
  EXPECT_EQ(generate(constant, tank, condOfStateVar, ""), "c_4");
  EXPECT_EQ(posCond, "0");
  EXPECT_EQ(gen.conditionRegistrations, registered);

  // Another instance reaches it by cross-reference, or through its member.
  Comp *pump = component("pump", "Pump");
  EXPECT_EQ(generate(constant, pump, condOfInfluence, "i_i2->cd"), "NULL");
  EXPECT_EQ(generate(constant, pump, condOfMapFunc, "Pump_t3->mf)[0"), "NULL");
  EXPECT_EQ(gen.crossReferences,
            "pump->i_i2->cd = tank->c_4;\n\t(*pump->Pump_t3->mf)[0]->cond = tank->c_4;\n\t");
  uses(pump, tank, "box");
  EXPECT_EQ(generate(constant, pump, condOfInfluence, "i_i2->cd"), "box->c_4");
}

TEST_F(ContinuousElements, ConditionsOnAtomsAndExpressions) {
  CondVar high("tank.high", {"high0", "high1"}, "high0", tank);
  high.setSymbName("high");
  high.createAtoms();
  s_cond *atom = condition(condAtom, 3);
  atom->at = high.atomLinks[0];
  geneCondition(gen, body.file, header.file, atom, tank, condOfStateVar, "");
  EXPECT_EQ(body.text(), "c_3 = mkCond ();\n\tsetCondType (c_3, 6);\n\tsetCondCTE (c_3, 0);\n"
                         "\tsetCondAtom (c_3, Tank_high_high0);\n\t;\n\t");

  MemoryFile out;
  s_cond *above = record(s_cond{"tank.c_7", 7, 0, condExprRel, nullptr, nullptr, nullptr,
                                 contVariable("tank.level"), opGt, nullptr, nullptr, 0, high.atomLinks[1],
                                 record(s_expr{0, nullptr, exprConst, nullptr, nullptr}),
                                 listOf<s_listsarnLong>(std::vector<long>{0, 2})});
  gen.expressionCount = 4;
  geneCondition(gen, out.file, header.file, above, tank, condOfStateVar, "");
  EXPECT_TRUE(contains(out.text(), "s_5->op2 = NULL;\n\tc_7 = mkCond ();\n\tsetCondType (c_7, 7);\n\t"
                                   "long* cle_7 = (long*) new_malloc (2*sizeof (long));\n\tcle_7[0] = 0;\n\t"
                                   "cle_7[1] = 2;\n\tc_7->op1 = NULL;\n\tc_7->op2 = NULL;\n\tc_7->var1 = level;\n\t"
                                   "c_7->opr = (opRel)6;\n\tc_7->ob = NULL;\n\tc_7->var2 = NULL;\n\tc_7->val = 0;\n\t"
                                   "c_7->at = Tank_high_high1;\n\tc_7->num = 7;\n\tc_7->nle = 2;\n\t"
                                   "c_7->le = cle_7;\n\tc_7->e = s_5;\n\t"));

  // A comparison of a variable has no statement block.
  MemoryFile other;
  s_cond *variable = condition(condVar, 8);
  EXPECT_EQ(printed([&] { geneCondition(gen, other.file, header.file, variable, tank, condOfStateVar, ""); }),
            "Implementation error.\n ...invalid condition type.\n");
  EXPECT_EQ(other.text(), "c_8 = mkCond ();\n\tsetCondType (c_8, 2);\n\t");
  EXPECT_EQ(gen.conditionRegistrations,
            "condi[0] = tank->c_3;\n\tcondi[1] = tank->c_7;\n\tcondi[2] = tank->c_8;\n\t");
  for (Atom *made : high.atomLinks)
    delete made;
}

}  // namespace
