#include <gtest/gtest.h>

#include "codegen/continuous_elements.h"
#include "codegen_support.h"
#include "continuous/causal_graph.h"
#include "discrete/state_var.h"

namespace {

using ContinuousElements = GenerationTest;

std::string occurrences(const std::string &text, const std::string &part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return std::to_string(count);
}

TEST_F(ContinuousElements, ParameterWithARealDomain) {
  conf_set("continuous_window", 0);
  s_variable *area = contVariable("tank.area", 1, newRealObjet(3));
  geneVariable(body.file, header.file, "Tank", area);
  EXPECT_EQ(body.text(),
            "\n\tobjet x_1=  (objet) new_malloc(sizeof(s_Objet));\n\t"
            "\tsetObjType(x_1,(objType)1);\n\trange r_10 = {3,0, 1, 1};\n\tsetObjRangeVal(x_1,r_10);\n"
            "\tarea= (variable) new_malloc (sizeof(s_Variable));\n\t"
            "area->nom=mkString((name + \".area\").c_str());\n\t"
            "area->cst = 1;\n\tarea->dom = NULL;\n\tarea->deter = 0;\n\tarea->oldVal = x_1;\n\t"
            "area->newVal = NULL;\n\tarea->mesVal = NULL;\n\tresetVarAlarms (area);\n\t"
            "area->histoMisb = NULL;area->node = NULL;resetVarHisto (area);\n\t"
            "area->ncd = 0;area->relCd = NULL;");
  EXPECT_EQ(header.text(), "\tvariable area;\n");
  EXPECT_EQ(area->geneName, "area");
}

TEST_F(ContinuousElements, MeasuredVariableKeepsAHistoryOfDelayAndWindow) {
  s_variable *level = contVariable("tank.level", 0, newRangeObjet(0, 10, 1, 0));
  level->fct = fctMeasure;
  level->maxDelay = 2;
  s_cNode node;
  level->node = &node;
  numVar = 4;
  geneVariable(body.file, header.file, "Tank", level);
  std::string text = body.text();
  EXPECT_EQ(text.substr(0, text.find("m_5[1]")),
            "\n\tobjet d_5=  (objet) new_malloc(sizeof(s_Objet));\n\t"
            "\tsetObjType(d_5,(objType)2);\n\t\trange r_50 = {0,10,1,0};\n\tsetObjRangeVal(d_5,r_50);\n"
            "\tobjet x_5=(objet) new_malloc(sizeof(s_Objet));\n\tsetObjType(x_5,(objType)0);\n"
            "\trange r_51 = {0,0, 1, 1};\n\tsetObjRangeVal(x_5,r_51);\n\t"
            "\tobjet y_5=(objet) new_malloc(sizeof(s_Objet));\n\tsetObjType(y_5,(objType)0);\n"
            "\trange r_52 = {0,0, 1, 1};\n\tsetObjRangeVal(y_5,r_52);\n\t"
            "\tobjet z_5=(objet) new_malloc(sizeof(s_Objet));\n\tsetObjType(z_5,(objType)0);\n"
            "\trange r_53 = {0,0, 1, 1};\n\tsetObjRangeVal(z_5,r_53);\n\t"
            "objet* m_5 = (objet*) new_malloc (12*sizeof (objet));\n\t"
            "m_5[0] = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType (m_5[0], (objType)0);\n\t"
            "range r_5h0 = {0, 0, 1, 1};\n\tsetObjRangeVal (m_5[0], r_5h0);\n\t");
  // Twelve entries in each array; the range numbers run on across both.
  EXPECT_EQ(occurrences(text, "] = (objet) new_malloc (sizeof (s_Objet));"), "24");
  EXPECT_NE(text.find("objet* o_5 = (objet*) new_malloc (12*sizeof (objet));\n\t"
                      "o_5[0] = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType (o_5[0], (objType)0);\n\t"
                      "range r_5hm12 = {0, 0, 1, 1};\n\tsetObjRangeVal (o_5[0], r_5hm12);\n\t"),
            std::string::npos);
  EXPECT_NE(text.find("setObjRangeVal (o_5[11], r_5hm23);\n\tlong* u_5 = (long*) calloc (12, sizeof "
                      "(long));\n\tlong* w_5 = (long*) calloc (12, sizeof (long));\n\t"),
            std::string::npos);
  EXPECT_NE(text.find("level->newVal = y_5;\n\tlevel->mesVal = z_5;\n\tresetVarAlarms (level);\n\t"
                      "level->histoMisb = NULL;Tank_n_5 = (cGraph) new_malloc (sizeof (s_CGraph));\n\t"
                      "level->node = Tank_n_5;\n\tlevel->histoLn = 12;\n\tlevel->histo = m_5;\n\t"
                      "level->histoMes = o_5;\n\tlevel->histoLowAlrm = u_5;\n\t"
                      "level->histoHighAlrm = w_5;\n\tlevel->ncd = 0;level->relCd = NULL;"),
            std::string::npos);
}

TEST_F(ContinuousElements, InfluenceRecordWithDefaultCoefficients) {
  Comp *tank = component("tank", "Tank");
  s_influence *fill = newRecord<s_influence>();
  fill->ruleName = "tank.fill";
  fill->type = inflStatic;
  fill->cause = contVariable("tank.inflow");
  fill->effect = contVariable("tank.level");
  fill->gain = newRealObjet(2);
  fill->delay = objZero;
  fill->respTime = objZero;
  fill->comp = tank;
  numInflu = 1;
  geneInfluence(body.file, header.file, fill, tank);
  std::string zeros;
  for (const char *name : {"er_1", "p_1", "q_1", "sa_1", "uu_1"})
    zeros += std::string("objet ") + name + "=(objet) new_malloc(sizeof(s_Objet));\n\tsetObjType(" +
             name + ", (objType)1);\n\trange r_" + name + " = {0,0};\n\tsetObjRangeVal(" + name +
             ", r_" + name + ");\n\t";
  EXPECT_EQ(body.text(),
            "\n\tenum boolVal t_1[1]={(boolVal)1};\n\tobjet g_1=(objet) new_malloc(sizeof(s_Objet));\n\t"
            "setObjType(g_1, (objType)1);\n\trange r_g_1 = {2,0};\n\tsetObjRangeVal(g_1, r_g_1);\n\t"
            "objet xi_1=NULL;\n\tobjet wn_1=NULL;\n\tobjet n1_1=NULL;\n\tobjet n2_1=NULL;\n\t"
            "objet d0_1=NULL;\n\tobjet d1_1=NULL;\n\tobjet d2_1=NULL;\n\t" + zeros +
            "i_i1=(influence) new_malloc(sizeof(s_Influence));\n\ti_i1->name = mkString(\"tank.fill\");\n\t"
            "i_i1->it = (influType)3;\n\ti_i1->cause = inflow;\n\ti_i1->effet = level;\n\t"
            "i_i1->cd = NULL;\n\ti_i1->length_act_cond_hist = 0;\n\ti_i1->act_cond_array = t_1;\n\t"
            "i_i1->gain = g_1;\n\ti_i1->delinf = 0;\n\ti_i1->delsup = 0;\n\ti_i1->tRep = er_1;\n\t"
            "i_i1->a = p_1;\n\ti_i1->b = q_1;\n\ti_i1->a2 = sa_1;\n\ti_i1->b2 = uu_1;\n\t"
            "i_i1->xi = xi_1;\n\ti_i1->w = wn_1;\n\ti_i1->n1 = n1_1;\n\ti_i1->n2 = n2_1;\n\t"
            "i_i1->d0 = d0_1;\n\ti_i1->d1 = d1_1;\n\ti_i1->d2 = d2_1;\n\taddInfluence (i_i1);\n\t"
            "i_i1->inf_fct = false;\n\t");
  EXPECT_EQ(header.text(), "influence i_i1;\n\t");
}

TEST_F(ContinuousElements, InfluenceDelaysHistoryAndEnvelopeFlag) {
  struct Case {
    influType type;
    s_objet *delay;
    double step;
    long condHistoLn;
    int evlps;
    const char *expected;
  };
  const Case cases[] = {
      {inflConstant, objZero, 1, 0, 1, "i_i1->inf_fct = false;\n\t"},
      {inflStatic, objZero, 1, 0, 1, "i_i1->inf_fct = true;\n\t"},
      {inflDynamic, objZero, 1, 0, 1, "i_i1->inf_fct = true;\n\t"},
      {inflDynamic, objZero, 1, 0, 0, "i_i1->inf_fct = false;\n\t"},
      {inflStatic, newRangeObjet(2, 4, 1, 1), 1, 0, 0, "i_i1->delinf = 2;\n\ti_i1->delsup = 4;\n\t"},
      {inflStatic, newRealObjet(1.5), 1, 0, 0, "i_i1->delinf = 2;\n\ti_i1->delsup = 2;\n\t"},
      {inflStatic, newRealObjet(1), 0.5, 0, 0, "i_i1->delinf = 2;\n\ti_i1->delsup = 2;\n\t"},
      {inflStatic, objZero, 1, 2, 0, "t_1[3]={(boolVal)1,(boolVal)1,(boolVal)1};"},
  };
  Comp *tank = component("tank", "Tank");
  for (const Case &c : cases) {
    MemoryFile out;
    conf_set("evlps_opti", c.evlps);
    timeStep = c.step;
    s_influence *influence = newRecord<s_influence>();
    influence->type = c.type;
    influence->cause = contVariable("tank.a", 1);
    influence->effect = contVariable("tank.b");
    influence->gain = objUn;
    influence->delay = c.delay;
    influence->respTime = objZero;
    influence->condHistoLn = c.condHistoLn;
    numInflu = 1;
    geneInfluence(out.file, header.file, influence, tank);
    EXPECT_NE(out.text().find(c.expected), std::string::npos) << c.expected;
  }
}

TEST_F(ContinuousElements, RangeDelayOfNoStepIsRefused) {
  Comp *tank = component("tank", "Tank");
  s_influence *influence = newRecord<s_influence>();
  influence->cause = contVariable("tank.a");
  influence->effect = contVariable("tank.b");
  influence->delay = newRangeObjet(0, 2, 1, 1);
  numInflu = 1;
  EXPECT_EXIT(geneInfluence(body.file, header.file, influence, tank), testing::ExitedWithCode(1),
              "lower bound of delay shouldn't be null.");
}

// A node of the valve's flow: caused by the valve's own influence, cause of
// an influence of the tank, which the valve's class cannot reach.
TEST_F(ContinuousElements, NodesNameTheirInfluencesWhereverTheyAre) {
  Comp *valve = component("valve", "Valve");
  Comp *tank = component("tank", "Tank");
  uses(tank, valve, "inlet");
  s_influence *feed = newRecord<s_influence>();
  feed->comp = valve;
  valve->addInfluence(feed);
  s_influence *fill = newRecord<s_influence>();
  fill->comp = tank;
  tank->addInfluence(fill);
  s_cNode flowNode;
  flowNode.causes = {feed};
  flowNode.effects = {fill};
  flowNode.type = inflStatic;
  s_variable *flow = contVariable("valve.flow");
  flow->node = &flowNode;
  numNoeudG = 3;
  geneNode(body.file, header.file, valve, flow);
  EXPECT_EQ(body.text(),
            "j_1 = (influence*) new_malloc (1*sizeof (influence));\n\tj_1[0] = i_i1;\n\t"
            "k_1 = (influence*) new_malloc (1*sizeof (influence));\n\tk_1[0] = NULL;\n\t"
            "Valve_n_1->ncause = 1;\n\tValve_n_1->vcause = j_1;\n\tValve_n_1->ti = (influType)3;\n\t"
            "Valve_n_1->neffet = 1;\n\tValve_n_1->veffet = k_1;\n\t");
  EXPECT_EQ(header.text(), "influence* j_1;\n\tinfluence* k_1;\n\t\n\tcGraph Valve_n_1;\n\t");
  EXPECT_EQ(cross_ref, "valve->k_1[0] = tank->i_i1;\n\t");
  EXPECT_EQ(nodestr, "cG[3] = valve->Valve_n_1;\n\t");

  // The tank reaches the valve through its member while the valve's class
  // is still to come, and by cross-reference once it was generated.
  s_cNode levelNode;
  levelNode.causes = {fill, feed};
  s_variable *level = contVariable("tank.level");
  level->node = &levelNode;
  for (bool generated : {false, true}) {
    MemoryFile out;
    cross_ref.clear();
    valve->generated = generated;
    numVar = 0;
    geneNode(out.file, header.file, tank, level);
    EXPECT_NE(out.text().find(generated ? "j_1[1] = NULL;\n\t" : "j_1[1] = inlet->i_i1;\n\t"),
              std::string::npos);
    EXPECT_NE(out.text().find("Tank_n_1->neffet = 0;\n\tTank_n_1->veffet = NULL;\n\t"),
              std::string::npos);
    EXPECT_EQ(cross_ref, generated ? "tank->j_1[1] = valve->i_i1;\n\t" : "");
  }
  // A variable without node only counts.
  numVar = numNoeud = 0;
  geneNode(body.file, header.file, tank, contVariable("tank.spare"));
  EXPECT_EQ(numVar, 1);
  EXPECT_EQ(numNoeud, 0);
}

TEST_F(ContinuousElements, VariablesOfOtherInstancesAreReachedOrCrossReferenced) {
  Comp *valve = component("valve", "Valve");
  Comp *tank = component("tank", "Tank");
  uses(tank, valve, "inlet");
  s_variable *level = contVariable("tank.level");
  s_variable *flow = contVariable("valve.flow");
  EXPECT_EQ(geneContSymbName(level, tank, refCause, 1), "level");
  EXPECT_EQ(geneContSymbName(flow, tank, refCause, 1), "inlet->flow");
  in_gen_types = true;
  EXPECT_EQ(geneContSymbName(level, tank, refCause, 1), "");
  EXPECT_EQ(geneContSymbName(flow, tank, refCause, 1), "");
  EXPECT_EQ(cross_ref, "");

  valve->generated = true;
  const struct {
    ContRef ref;
    const char *value;
    const char *expected;
  } cases[] = {
      {refCause, "", "tank->i_i2->cause = valve->flow;\n\t"},
      {refEffect, "", "tank->i_i2->effet = valve->flow;\n\t"},
      {refGVar, "", "tank->f_2->uv.var = valve->flow;\n\t"},
      {refMapFunc, "7",
       "(*tank->Tank_t2->mf)[1]->mvs->push_back (mkMapfVar (getVarName (valve->flow), 7));\n\t"},
      {refCondVar, "c_2", "tank->c_2->var1 = valve->flow;\n\t"},
      {refLocal, "", ""},
  };
  for (const auto &c : cases) {
    cross_ref.clear();
    EXPECT_EQ(geneContSymbName(flow, tank, c.ref, 2, 1, c.value), "NULL");
    EXPECT_EQ(cross_ref, c.expected);
  }
}

TEST_F(ContinuousElements, GlobalVariablesAndExpressions) {
  Comp *tank = component("tank", "Tank");
  s_gVar *gvLevel = newRecord<s_gVar>();
  gvLevel->var = contVariable("tank.level");
  gvLevel->globC = positions({0, 3});
  s_gVar *interm = newRecord<s_gVar>();
  interm->nInterm = 1;
  interm->condC = positions({1});
  geneGlobVs(body.file, header.file, listOf<s_listsarnGVar>(std::vector<s_gVar *>{gvLevel, interm}), tank);
  EXPECT_EQ(body.text(),
            "\tobjet b_0 = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType(b_0, (objType)1);\n\t"
            "range r_b_0 = {0,0};\n\tsetObjRangeVal(b_0, r_b_0);\n\t"
            "long* l_0 = (long*) new_malloc (3*sizeof (long));\n\tl_0[0] = 2;\n\tl_0[1] = 0;\n\t"
            "l_0[2] = 3;\n\tf_0 = (gVar) new_malloc (sizeof (s_GVar));\n\tf_0->tgv = (gVarType)1;\n\t"
            "f_0->uv.var = level;\n\tf_0->ob = b_0;\n\tf_0->nex = 2;\n\tf_0->ex = l_0;\n\t"
            "f_0->ncex = 0;\n\tf_0->cex = NULL;\n\t"
            "\tobjet b_1 = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType(b_1, (objType)1);\n\t"
            "range r_b_1 = {0,0};\n\tsetObjRangeVal(b_1, r_b_1);\n\t"
            "long* lc_1 = (long*) new_malloc (2*sizeof (long));\n\tlc_1[0] = 1;\n\tlc_1[1] = 1;\n\t"
            "f_1 = (gVar) new_malloc (sizeof (s_GVar));\n\tf_1->tgv = (gVarType)0;\n\tf_1->uv.var = NULL;\n\t"
            "f_1->ob = b_1;\n\tf_1->nex = 0;\n\tf_1->ex = NULL;\n\tf_1->ncex = 1;\n\tf_1->cex = lc_1;\n\t");
  EXPECT_EQ(header.text(), "gVar f_0;\n\tgVar f_1;\n\t");
  EXPECT_EQ(gvarstr, "gV[0] = tank->f_0;\n\tgV[1] = tank->f_1;\n\t");

  // level - 8 = 0: the leaves first, the node over them; a known global
  // variable is not generated again.
  MemoryFile out;
  s_expr *leaf = newRecord<s_expr>();
  leaf->tex = exprVar;
  leaf->gv = gvLevel;
  s_expr *eight = newRecord<s_expr>();
  eight->tex = exprConst;
  eight->gv = newRecord<s_gVar>();
  eight->gv->value = newRealObjet(8);
  s_expr *difference = newRecord<s_expr>();
  difference->tex = exprSub;
  difference->gv = interm;
  difference->op1 = leaf;
  difference->op2 = eight;
  geneGlobCs(out.file, header.file, listOf<s_listsarnExpr>(std::vector<s_expr *>{difference}), tank);
  EXPECT_EQ(out.text(),
            "s_1 = (expr) new_malloc (sizeof (s_Expr));\n\ts_1->tex = (exprType)1;\n\t"
            "s_1->gv = f_0;\n\ts_1->op1 = NULL;\n\ts_1->op2 = NULL;\n\t"
            "\tobjet b_2 = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType(b_2, (objType)1);\n\t"
            "range r_b_2 = {8,0};\n\tsetObjRangeVal(b_2, r_b_2);\n\t"
            "f_2 = (gVar) new_malloc (sizeof (s_GVar));\n\tf_2->tgv = (gVarType)0;\n\tf_2->uv.var = NULL;\n\t"
            "f_2->ob = b_2;\n\tf_2->nex = 0;\n\tf_2->ex = NULL;\n\tf_2->ncex = 0;\n\tf_2->cex = NULL;\n\t"
            "s_2 = (expr) new_malloc (sizeof (s_Expr));\n\ts_2->tex = (exprType)0;\n\t"
            "s_2->gv = f_2;\n\ts_2->op1 = NULL;\n\ts_2->op2 = NULL;\n\t"
            "s_3 = (expr) new_malloc (sizeof (s_Expr));\n\ts_3->tex = (exprType)3;\n\t"
            "s_3->gv = f_1;\n\ts_3->op1 = s_1;\n\ts_3->op2 = s_2;\n\t");
  EXPECT_EQ(globstr, "aG[0] = tank->s_3;\n\t");

  // A constant as a global constraint of its own is an implementation error.
  s_expr *lone = newRecord<s_expr>();
  lone->tex = exprConst;
  testing::internal::CaptureStdout();
  geneGlobCs(out.file, header.file, listOf<s_listsarnExpr>(std::vector<s_expr *>{lone}), tank);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Implementation error.\n ...constant as global constraint\n");
  EXPECT_EQ(lone->geneNum, 0);

  // Condition constraints accept constants; a later instance takes the
  // numbers of the model's tree, global variables included.
  geneCondCs(out.file, header.file, listOf<s_listsarnExpr>(std::vector<s_expr *>{lone}), tank);
  EXPECT_EQ(condcstr, "aC[0] = tank->s_4;\n\t");
  s_expr copyLeaf = *leaf, copyEight = *eight, copy = *difference;
  s_gVar copyLevel, copyInterm, copyConst;
  copyLeaf.gv = &copyLevel;
  copyEight.gv = &copyConst;
  copy.gv = &copyInterm;
  copy.op1 = &copyLeaf;
  copy.op2 = &copyEight;
  for (s_expr *e : {&copy, &copyLeaf, &copyEight})
    e->geneNum = 0;
  updateExprNum(&copy, difference);
  EXPECT_EQ(copy.geneNum, 3);
  EXPECT_EQ(copyLeaf.geneNum, 1);
  EXPECT_EQ(copyEight.geneNum, 2);
  EXPECT_EQ(copyConst.geneNum, 2);
  EXPECT_EQ(copyInterm.geneNum, 1);
}

TEST_F(ContinuousElements, InitialisationsAreNumberedAcrossTheCompile) {
  Comp *tank = component("tank", "Tank");
  s_initVar *init = newRecord<s_initVar>();
  init->var = contVariable("tank.level");
  init->val = newRealObjet(1);
  numInit = 2;
  geneInitV(listOf<s_listsarnInitVar>(std::vector<s_initVar *>{init}), tank);
  EXPECT_EQ(body.text(),
            "\tobjet a_3 = (objet) new_malloc (sizeof (s_Objet));\n\tsetObjType(a_3, (objType)1);\n\t"
            "range r_a_3 = {1,0};\n\tsetObjRangeVal(a_3, r_a_3);\n\t"
            "h_3 = (initVar) new_malloc (sizeof (s_InitVar));\n\th_3->var = level;\n\th_3->val = a_3;\n\t");
  EXPECT_EQ(header.text(), "\n\tinitVar h_3;");
  EXPECT_EQ(initstr, "init[2] = tank->h_3;\n\t");
}

s_cond *condition(condType type, long num, const std::string &maker = "tank") {
  s_cond *cond = newRecord<s_cond>();
  cond->type = type;
  cond->num = num;
  cond->name = maker + ".c_" + std::to_string(num);
  return cond;
}

TEST_F(ContinuousElements, ConditionsAreGeneratedOnceAndRegistered) {
  Comp *tank = component("tank", "Tank");
  s_cond *constant = condition(condBool, 4);
  constant->val = 1;
  s_cond *negation = condition(condNot, 5);
  negation->op1 = constant;
  EXPECT_EQ(geneCondition(body.file, header.file, negation, tank, condOfInfluence, "i_i1->cd"), "c_5");
  EXPECT_EQ(body.text(),
            "c_4 = mkCond ();\n\tsetCondType (c_4, 1);\n\tsetCondCTE (c_4, 1);\n\t"
            "c_5 = mkCond ();\n\tsetCondType (c_5, 5);\n\t"
            "c_5->op1 = c_4;\n\tc_5->op2 = NULL;\n\tc_5->var1 = NULL;\n\tc_5->opr = (opRel)0;\n\t"
            "c_5->ob = NULL;\n\tc_5->var2 = NULL;\n\tc_5->val = 0;\n\tc_5->at = NULL;\n\t"
            "c_5->num = 5;\n\tc_5->nle = 0;\n\tc_5->le = NULL;\n\tc_5->e = NULL;\n\t");
  EXPECT_EQ(header.text(), "condition c_4;\n\tcondition c_5;\n\t");
  EXPECT_EQ(condstr, "condi[0] = tank->c_4;\n\tcondi[1] = tank->c_5;\n\t");
  EXPECT_EQ(posCond, "1");
  EXPECT_EQ(numCond, 2);

  // Again: only its name and position.
  EXPECT_EQ(geneCondition(body.file, header.file, constant, tank, condOfStateVar, ""), "c_4");
  EXPECT_EQ(posCond, "0");
  EXPECT_EQ(condstr.size(), std::string("condi[0] = tank->c_4;\n\tcondi[1] = tank->c_5;\n\t").size());

  // Another instance reaches it through its member, or by cross-reference.
  Comp *pump = component("pump", "Pump");
  EXPECT_EQ(geneCondition(body.file, header.file, constant, pump, condOfInfluence, "i_i2->cd"), "NULL");
  EXPECT_EQ(cross_ref, "pump->i_i2->cd = tank->c_4;\n\t");
  cross_ref.clear();
  EXPECT_EQ(geneCondition(body.file, header.file, constant, pump, condOfMapFunc, "Pump_t3->mf)[0"),
            "NULL");
  EXPECT_EQ(cross_ref, "(*pump->Pump_t3->mf)[0]->cond = tank->c_4;\n\t");
  uses(pump, tank, "box");
  EXPECT_EQ(geneCondition(body.file, header.file, constant, pump, condOfInfluence, "i_i2->cd"),
            "box->c_4");

  // A later instance of a generated type writes nothing.
  MemoryFile out;
  in_gen_types = true;
  EXPECT_EQ(geneCondition(out.file, header.file, condition(condBool, 6), tank, condOfStateVar, ""),
            "c_6");
  EXPECT_EQ(out.text(), "");
}

TEST_F(ContinuousElements, ConditionsOnAtomsAndExpressions) {
  Comp *tank = component("tank", "Tank");
  CondVar high("tank.high", {"high0", "high1"}, "high0", tank);
  high.setSymbName("high");
  high.createAtoms();
  s_cond *atom = condition(condAtom, 3);
  atom->at = high.atomLinks[0];
  geneCondition(body.file, header.file, atom, tank, condOfStateVar, "");
  EXPECT_EQ(body.text(), "c_3 = mkCond ();\n\tsetCondType (c_3, 6);\n\tsetCondCTE (c_3, 0);\n"
                         "\tsetCondAtom (c_3, Tank_high_high0);\n\t;\n\t");

  MemoryFile out;
  s_cond *above = condition(condExprRel, 7);
  above->var1 = contVariable("tank.level");
  above->opr = opGt;
  above->at = high.atomLinks[1];
  above->le = positions({0, 2});
  above->e = newRecord<s_expr>();
  above->e->tex = exprConst;
  numExpr = 4;
  geneCondition(out.file, header.file, above, tank, condOfStateVar, "");
  std::string text = out.text();
  EXPECT_NE(text.find("s_5 = (expr) new_malloc (sizeof (s_Expr));\n\ts_5->tex = (exprType)0;\n\t"
                      "s_5->gv = NULL;\n\ts_5->op1 = NULL;\n\ts_5->op2 = NULL;\n\t"
                      "c_7 = mkCond ();\n\tsetCondType (c_7, 7);\n\t"
                      "long* cle_7 = (long*) new_malloc (2*sizeof (long));\n\tcle_7[0] = 0;\n\t"
                      "cle_7[1] = 2;\n\tc_7->op1 = NULL;\n\tc_7->op2 = NULL;\n\tc_7->var1 = level;\n\t"
                      "c_7->opr = (opRel)6;\n\tc_7->ob = NULL;\n\tc_7->var2 = NULL;\n\tc_7->val = 0;\n\t"
                      "c_7->at = Tank_high_high1;\n\tc_7->num = 7;\n\tc_7->nle = 2;\n\t"
                      "c_7->le = cle_7;\n\tc_7->e = s_5;\n\t"),
            std::string::npos)
      << text;

  // A comparison of a variable has no statement block.
  MemoryFile other;
  testing::internal::CaptureStdout();
  geneCondition(other.file, header.file, condition(condVar, 8), tank, condOfStateVar, "");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Implementation error.\n ...invalid condition type.\n");
  EXPECT_EQ(other.text(), "c_8 = mkCond ();\n\tsetCondType (c_8, 2);\n\t");
  EXPECT_EQ(condstr, "condi[0] = tank->c_3;\n\tcondi[1] = tank->c_7;\n\tcondi[2] = tank->c_8;\n\t");
  for (Atom *made : high.atomLinks)
    delete made;
}

TEST_F(ContinuousElements, ANewCompileGeneratesEverythingAgain) {
  Comp *tank = component("tank", "Tank");
  s_cond *constant = condition(condBool, 1);
  s_gVar *gvar = newRecord<s_gVar>();
  geneCondition(body.file, header.file, constant, tank, condOfStateVar, "");
  geneGVar(body.file, header.file, gvar, tank);
  forgetGeneratedElements();
  MemoryFile out;
  geneCondition(out.file, header.file, constant, tank, condOfStateVar, "");
  geneGVar(out.file, header.file, gvar, tank);
  EXPECT_NE(out.text().find("c_1 = mkCond ();"), std::string::npos);
  EXPECT_NE(out.text().find("f_1 = (gVar)"), std::string::npos);
}

TEST_F(ContinuousElements, VariableListForTheRuntime) {
  geneVarV(nullptr);
  EXPECT_EQ(runtime.text(), "");
  s_listsarnVar *list = appVariable(appVariable(nullptr, contVariable("a")), contVariable("b"));
  geneVarV(list);
  EXPECT_EQ(runtime.text(), "\n&v_a,\n&v_b");
}

}  // namespace
