#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "codegen/generation_state.h"
#include "codegen/runtime_file.h"
#include "common/session.h"
#include "continuous/causal_graph.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/loaded_model.h"
#include "shell/options.h"
#include "tests/test_support.h"

namespace {

// Writes the runtime ending into two fresh files and reads them back.
class RuntimeFile : public testing::Test {
 protected:
  RuntimeFile() {
    config_init();
    resetContinuousSession();
    gen.model = &loadedModel;
    gen.resetForCompile();
    DataManager::active_comps.clear();
    appliName = "plant";
    maxDepth = 0;
    guards_int = 0;
  }
  ~RuntimeFile() override {
    DataManager::active_comps.clear();
    std::remove(sourcePath.c_str());
    std::remove(headerPath.c_str());
  }

  // A registered component of instance variable v with the given members.
  Comp *component(const std::string &v, const std::vector<s_variable *> &variables, int influences) {
    components.push_back(std::make_unique<Comp>(v + "1"));
    Comp *comp = components.back().get();
    comp->varName = v;
    for (s_variable *variable : variables)
      comp->variables->push_back(variable);
    for (int i = 0; i < influences; ++i)
      comp->influences->push_back(newRecord<s_influence>());
    DataManager::addComp(comp);
    return comp;
  }
  static s_variable *variable(const std::string &name, int fct = 0) {
    s_variable *v = newRecord<s_variable>();
    v->name = name;
    v->fct = fct;
    return v;
  }
  static s_listsarnVar *list(const std::vector<s_variable *> &variables) {
    s_listsarnVar *head = nullptr;
    for (s_variable *v : variables)
      head = appVariable(head, v);
    return head;
  }

  void generate(void (*ending)(GenerationState &)) {
    gen.runtimeSourceFile = std::fopen(sourcePath.c_str(), "w");
    gen.runtimeHeaderFile = std::fopen(headerPath.c_str(), "w");
    ending(gen);
    EXPECT_EQ(gen.runtimeSourceFile, nullptr);
    EXPECT_EQ(gen.runtimeHeaderFile, nullptr);
    source = fileText(sourcePath);
    header = fileText(headerPath);
  }

  std::vector<std::unique_ptr<Comp>> components;
  ScratchDirectory directory;  // parallel test runs each write their own files
  std::string sourcePath = "runtime_file_rt.cpp";
  std::string headerPath = "runtime_file_rt.h";
  std::string source, header;
  GenerationState gen;
  LoadedModel loadedModel;
};

TEST_F(RuntimeFile, TablesNumberEntriesAcrossComponentsAndRecordTakesFullForms) {
  s_variable *x = variable("a.x", 3), *y = variable("a.y", 4), *p = variable("a.p");
  s_variable *z = variable("b.z", 2), *w = variable("b.w");
  component("a", {x, y, p}, 1);
  component("b", {z, w}, 2);
  inputListsarn = list({x});
  displayListsarn = list({x, z});
  measureListsarn = list({y});
  temporalListsarn = list({y, w});
  untemporalListsarn = list({z});
  for (int i = 0; i < 3; ++i) {
    s_listsarnInfl cell;
    cell.elt = newRecord<s_influence>();
    influListsarn = addListsarnInfl(influListsarn, &cell);
  }
  condCListsarn = newRecord<s_listsarnExpr>();
  gen.variableTotal = 5;
  gen.influenceTotal = 3;
  loadedModel.conditionCount = 2;
  gen.conditionRegistrations = "condi[0] = a->c_1;\n\tcondi[1] = b->c_2;\n\t";
  gen.conditionConstraintCount = 2;
  gen.conditionConstraintRegistrations = "aC[0] = a->s_1;\n\taC[1] = b->s_2;\n\t";
  gen.crossReferences = "a->imported_comps->push_back (b);\n\t";
  gen.timeStep = 0.5;
  maxDepth = 1;
  guards_int = 1;
  conf_set("evlps_opti", 1);

  generate(mrvGenerateRunT);

  EXPECT_EQ(header,
            "\n\tvariable* dico;\n"
            "variable* input;\ndouble* inval;\n"
            "variable* display;\ndouble* dinfval;\ndouble* dsupval;\n"
            "variable* measure;\n\tdouble* mesval;\nlong* lowalarm;long* highalarm;\nlong* meslowmisb;\n"
            "long* meshighmisb;\nlong* mesmisb;\n"
            "variable* temporal;\n\tvariable* untemporal;\n\t"
            "influence* influ;\n\tlong* condin;\n\tlong* condout;\n\t"
            "condition* condi;\n\t"
            "expr* aC;\n\tlong inAc;\n\t"
            "runtime plant_rt;\nruntime morvel_rt;\n");
  EXPECT_EQ(source,
            "/* cross-reference code */\n\ta->imported_comps->push_back (b);\n\t"
            "\n\tdico = (variable*) new_malloc (5*sizeof (variable));\n\t"
            "dico[0] = a->x;\n\tdico[1] = a->y;\n\tdico[2] = a->p;\n\tdico[3] = b->z;\n\tdico[4] = b->w;\n\t"
            "\n\tinput = (variable*) new_malloc (1*sizeof (variable));\n\tinput[0] = a->x;\n\tinval = NULL;\n\t"
            "\n\tdisplay = (variable*) new_malloc (2*sizeof (variable));\n\t"
            "display[0] = a->x;\n\tdisplay[1] = b->z;\n\t"
            "dinfval = (double*) new_malloc (2*sizeof(double));\n\tdsupval = (double*) new_malloc (2*sizeof(double));\n\t"
            "\n\tmeasure = (variable*) new_malloc (1*sizeof (variable));\n\tmeasure[0] = a->y;\n\t"
            "mesval = NULL;\n\tlowalarm = (long*) new_malloc(1*sizeof (long));\n\t"
            "highalarm = (long*) new_malloc(1*sizeof (long));\n\tmeslowmisb = (long*) new_malloc(1*sizeof (long));\n\t"
            "meshighmisb = (long*) new_malloc(1*sizeof (long));\n\tmesmisb = (long*) new_malloc(1*sizeof (long));\n\t"
            "temporal = (variable*) new_malloc (2*sizeof (variable));\n\ttemporal[0] = a->y;\n\ttemporal[1] = b->w;\n\t"
            "untemporal = (variable*) new_malloc (1*sizeof (variable));\n\tuntemporal[0] = b->z;\n\t"
            "\n\tinflu = (influence*) new_malloc (3*sizeof (influence));\n\t"
            "influ[0] = a->i_i1;\n\tinflu[1] = b->i_i1;\n\tinflu[2] = b->i_i2;\n\t"
            "condin = (long*) new_malloc (3*sizeof (long));\n\tcondout = (long*) new_malloc (3*sizeof (long));\n\t"
            "condi = (condition*) new_malloc (2*sizeof (condition));\n\t"
            "condi[0] = a->c_1;\n\tcondi[1] = b->c_2;\n\t"
            "aC = (expr*) new_malloc (2*sizeof (expr));\n\taC[0] = a->s_1;\n\taC[1] = b->s_2;\n\t"
            "long* vals = (long*) new_malloc (2*sizeof (long));\n\tvals[0] = 0;\n\tvals[1] = 0;\n\t"
            "long* inAc = (long*) new_malloc (2*sizeof (long));\n\tinAc[0] = 0;\n\tinAc[1] = 0;\n\t"
            "plant_rt = (runtime) new_malloc (sizeof (s_runtime));\n\t"
            "plant_rt->appli = \"plant\";\n\tplant_rt->num = 0;\n\tplant_rt->ts = 0.5;\n\tplant_rt->dts = 0;\n\t"
            "plant_rt->twc = 10;\n\tplant_rt->nvar = 5;\n\tplant_rt->dico = dico;\n\t"
            "plant_rt->nin = 1;\n\tplant_rt->in = input;\n\tplant_rt->inval = inval;\n\t"
            "plant_rt->ndisp = 2;\n\tplant_rt->disp = display;\n\tplant_rt->dispinfval = dinfval;\n\t"
            "plant_rt->dispsupval = dsupval;\n\tplant_rt->ndispall = 0;\n\tplant_rt->dispall = NULL;\n\t"
            "plant_rt->nmes = 1;\n\tplant_rt->mes = measure;\n\tplant_rt->mesval = mesval;\n\t"
            "plant_rt->lowalarm = lowalarm;\n\tplant_rt->highalarm = highalarm;\n\t"
            "plant_rt->lowmisb = meslowmisb;\n\tplant_rt->highmisb = meshighmisb;\n\tplant_rt->misb = mesmisb;\n\t"
            "plant_rt->ntemp = 2;\n\tplant_rt->temp = temporal;\n\t"
            "plant_rt->nuntemp = 1;\n\tplant_rt->untemp = untemporal;\n\t"
            "plant_rt->nifl = 3;\n\tplant_rt->infl = influ;\n\tplant_rt->condin = condin;\n\t"
            "plant_rt->condout = condout;\n\t"
            "plant_rt->ncg = 0;\n\tplant_rt->cg = NULL;\n\t"
            "plant_rt->maxDepth = 1;\n\t"
            "plant_rt->nit = 0;\n\tplant_rt->iv = NULL;\n\t"
            "plant_rt->ngv = 0;\n\tplant_rt->vgv = NULL;\n\t"
            "plant_rt->ngc = 0;\n\tplant_rt->glc = NULL;\n\tplant_rt->inag = NULL;\n\t"
            "plant_rt->ncdc = 2;\n\tplant_rt->cdc = aC;\n\tplant_rt->valSpc = vals;\n\tplant_rt->inac = inAc;\n\t"
            "plant_rt->nmfc = 0;\n\tplant_rt->mfc = NULL;\n\t"
            "plant_rt->inited = 0;\n\tplant_rt->runGC = 0;\n\tplant_rt->cumTime = 0;\n\tplant_rt->prec = 0;\n\t"
            "plant_rt->onlyFaultIso = 0;\n\tplant_rt->numMisb = 0;\n\tplant_rt->numOk = 0;\n\t"
            "plant_rt->mbVA = NULL;\n\tplant_rt->okVA = NULL;\n\tplant_rt->sfVA = NULL;\n\t"
            "plant_rt->oldNumMisb = 0;\n\tplant_rt->oldMisbVarArray = NULL;\n\t"
            "plant_rt->numNodesHST = 0;plant_rt->ncondi = 2;\n\tplant_rt->condi = condi;\n\t"
            "plant_rt->bridgeEvents = NULL;\n\tplant_rt->bridgeConds = NULL;\n\t"
            "plant_rt->bridgeTransitions = NULL;plant_rt->bridgeConflicts = NULL;\n\t"
            "createLeafListsarn (&plant_rt->HSTree);\n\tcreateConflictSet (&plant_rt->softConflictListsarn);\n\t"
            "plant_rt->diagOut = NULL;\n\t"
            "\n/* remove next line if linking several applications \t\t       together */\n"
            "morvel_rt=plant_rt;\n\t}"
            "\nbool env_opti = 1;\nlong guards_int = 1;\n\tint Trajectory::twd = 5;\n\tlong h_pi = 0;\n\t"
            "string model_name = \"plant\";\n\t");
  EXPECT_EQ((std::vector<long>{numInput, numDisplay, numMeasure, numTemporal, numUntemporal}),
            (std::vector<long>{1, 2, 1, 2, 1}));
}

TEST_F(RuntimeFile, CollectedTablesWithEmptyFormsOfTheOtherSections) {
  gen.nodeTotal = 4;
  gen.nodeRegistrations = "cG[0] = a->A_n_1;\n\t";
  gen.initEntryCount = 1;
  initListsarn = newRecord<s_listsarnInitVar>();
  gen.initRegistrations = "init[0] = a->h_1;\n\t";
  gen.globalVariableEntryCount = 1;
  gVarListsarn = newRecord<s_listsarnGVar>();
  gen.globalVariableRegistrations = "gV[0] = a->f_1;\n\t";
  gen.mappingExprCount = 1;
  gen.mappingExprRegistrations = "aMF[0] = a->s_3;\n\t";
  gen.globalConstraintCount = 1;
  globCListsarn = newRecord<s_listsarnExpr>();
  gen.globalConstraintRegistrations = "aG[0] = a->s_2;\n\t";
  conf_set("discrete_window", 7);
  conf_set("prime_implicants", 2);
  conf_set("continuous_window", 4);

  generate(mrvGenerateRunT);

  EXPECT_EQ(header,
            "\n\tvariable* dico;\n"
            "cGraph* cG;\n\tinitVar* init;\n\tgVar* gV;\n\texpr* aMF;\n\texpr* aG;\n\tlong inAg;\n\t"
            "runtime plant_rt;\nruntime morvel_rt;\n");
  std::string expectedStart =
      "\n\tdico = (variable*) new_malloc (0*sizeof (variable));\n\t"
      "cG = (cGraph*) new_malloc (4*sizeof (cGraph));\n\tcG[0] = a->A_n_1;\n\t"
      "init = (initVar*) new_malloc (1*sizeof (initVar));\n\tinit[0] = a->h_1;\n\t"
      "gV = (gVar*) new_malloc (1*sizeof (gVar));\n\tgV[0] = a->f_1;\n\t"
      "expr* aMF = (expr*) new_malloc (1*sizeof (expr));\n\taMF[0] = a->s_3;\n\t"
      "expr* aG = (expr*) new_malloc (1*sizeof (expr));\n\taG[0] = a->s_2;\n\t"
      "long* inAg = (long*) new_malloc (1*sizeof (long));\n\tinAg[0] = 0;\n\t"
      "plant_rt = (runtime) new_malloc (sizeof (s_runtime));\n\t"
      "plant_rt->appli = \"plant\";\n\tplant_rt->num = 0;\n\tplant_rt->ts = 1;\n\tplant_rt->dts = 0;\n\t"
      "plant_rt->twc = 4;\n\tplant_rt->nvar = 0;\n\tplant_rt->dico = dico;\n\t"
      "plant_rt->nin = 0;\n\tplant_rt->in = NULL;\n\tplant_rt->inval = NULL;\n\t"
      "plant_rt->ndisp = 0;\n\tplant_rt->disp = NULL;\n\tplant_rt->dispinfval = NULL;\n\t"
      "plant_rt->dispsupval = NULL;\n\tplant_rt->ndispall = 0;\n\tplant_rt->dispall = NULL;\n\t"
      "plant_rt->nmes = 0;\n\tplant_rt->mes = NULL;\n\tplant_rt->mesval = NULL;\n\tplant_rt->lowalarm = NULL;\n\t"
      "plant_rt->highalarm = NULL;\n\tplant_rt->lowmisb = NULL;\n\tplant_rt->highmisb = NULL;\n\t"
      "plant_rt->misb = NULL;\n\t"
      "plant_rt->ntemp = 0;\n\tplant_rt->temp = NULL;\n\t"
      "plant_rt->nuntemp = 0;\n\tplant_rt->untemp = NULL;\n\t"
      "plant_rt->nifl = 0;\n\tplant_rt->infl = NULL;\n\tplant_rt->condin = NULL;\n\tplant_rt->condout = NULL;\n\t"
      "plant_rt->ncg = 4;\n\tplant_rt->cg = cG;\n\t"
      "plant_rt->maxDepth = 0;\n\t"
      "plant_rt->nit = 1;\n\tplant_rt->iv = init;\n\t"
      "plant_rt->ngv = 1;\n\tplant_rt->vgv = gV;\n\t"
      "plant_rt->ngc = 1;\n\tplant_rt->glc = aG;\n\tplant_rt->inag = inAg;\n\t"
      "plant_rt->ncdc = 0;\n\tplant_rt->cdc = NULL;\n\tplant_rt->valSpc = NULL;\n\tplant_rt->inac = NULL;\n\t"
      "plant_rt->nmfc = 1;\n\tplant_rt->mfc = aMF;\n\t"
      "plant_rt->inited = 0;";
  EXPECT_EQ(source.substr(0, expectedStart.size()), expectedStart);
  EXPECT_NE(source.find("plant_rt->numNodesHST = 0;plant_rt->ncondi = 0;\n\tplant_rt->condi = condi;\n\t"),
            std::string::npos);
  std::string globals =
      "}\nbool env_opti = 0;\nlong guards_int = 0;\n\tint Trajectory::twd = 7;\n\tlong h_pi = 2;\n\t"
      "string model_name = \"plant\";\n\t";
  EXPECT_EQ(source.substr(source.size() - globals.size()), globals);
  EXPECT_EQ(numInput + numDisplay + numMeasure + numTemporal + numUntemporal, 0);
}

TEST_F(RuntimeFile, DiscreteEndingClosesTheStartUpFunctionBeforeTheGlobals) {
  component("a", {variable("a.x", 7)}, 1);
  gen.crossReferences = "\ta->A_stf0->addAtom (b->B_m_on, 1);\n";
  guards_int = 1;
  conf_set("discrete_window", 3);
  conf_set("prime_implicants", 1);
  conf_set("evlps_opti", 1);

  generate(mrvGenerateDiscRunT);

  EXPECT_EQ(header, "runtime plant_rt;\nruntime morvel_rt;\n");
  EXPECT_EQ(source,
            "/* cross-reference code */\n\t\ta->A_stf0->addAtom (b->B_m_on, 1);\n"
            "plant_rt = NULL;\nmorvel_rt = plant_rt;\n}\nlong guards_int = 1;\n\t"
            "int Trajectory::twd = 3;\n\tlong h_pi = 1;\n\t\nbool env_opti = 1;\n"
            "string model_name = \"plant\";\n\t");
}

} // namespace
