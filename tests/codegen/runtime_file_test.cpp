#include <gtest/gtest.h>

#include <cstdlib>

#include "codegen/runtime_file.h"
#include "codegen_support.h"
#include "continuous/causal_graph.h"
#include "languages/definition/definition_passes.h"

namespace {

// Writes the runtime ending into two streams in memory and keeps their text.
class RuntimeFile : public GenerationTest {
 protected:
  void SetUp() override {
    GenerationTest::SetUp();
    appliName = "plant";
    maxDepth = guards_int = 0;
  }
  // An instance v holding the variables and as many influences.
  void instance(const std::string &v, const std::vector<s_variable *> &variables, int influences) {
    Comp *comp = component(v, "T");
    comp->variables->insert(comp->variables->end(), variables.begin(), variables.end());
    for (int i = 0; i < influences; ++i)
      comp->influences->push_back(newRecord<s_influence>());
  }
  static s_variable *variable(const std::string &name, int fct = 0) {
    s_variable *v = contVariable(name);
    v->fct = fct;
    return v;
  }
  static s_listsarnVar *list(const std::vector<s_variable *> &variables) {
    return listOf<s_listsarnVar>(variables);
  }
  void generate(void (*ending)(GenerationState &)) {
    char *text[2];
    size_t size[2];
    gen.runtimeSourceFile = open_memstream(&text[0], &size[0]);
    gen.runtimeHeaderFile = open_memstream(&text[1], &size[1]);
    ending(gen);  // closes both
    EXPECT_EQ(gen.runtimeSourceFile, nullptr);
    EXPECT_EQ(gen.runtimeHeaderFile, nullptr);
    source.assign(text[0], size[0]);
    header.assign(text[1], size[1]);
    std::free(text[0]);
    std::free(text[1]);
  }
  std::string source, header;
};

// Every table has entries: each part of the runtime record takes its full form.
TEST_F(RuntimeFile, TablesNumberEntriesAcrossComponentsAndRecordTakesFullForms) {
  s_variable *x = variable("a.x", 3), *y = variable("a.y", 4), *p = variable("a.p");
  s_variable *z = variable("b.z", 2), *w = variable("b.w");
  instance("a", {x, y, p}, 1);
  instance("b", {z, w}, 2);
  inputListsarn = list({x});
  displayListsarn = list({x, z});
  measureListsarn = list({y});
  temporalListsarn = list({y, w});
  untemporalListsarn = list({z});
  influListsarn = newRecord<s_listsarnInfl>();
  condCListsarn = newRecord<s_listsarnExpr>();
  initListsarn = newRecord<s_listsarnInitVar>();
  gVarListsarn = newRecord<s_listsarnGVar>();
  globCListsarn = newRecord<s_listsarnExpr>();
  gen.variableTotal = 5;
  gen.influenceTotal = 3;
  loadedModel.conditionCount = 2;
  gen.conditionRegistrations = "condi[0] = a->c_1;\n\tcondi[1] = b->c_2;\n\t";
  gen.conditionConstraintCount = 2;
  gen.conditionConstraintRegistrations = "aC[0] = a->s_1;\n\taC[1] = b->s_2;\n\t";
  gen.nodeTotal = 4;
  gen.nodeRegistrations = "cG[0] = a->A_n_1;\n\t";
  gen.initEntryCount = gen.globalVariableEntryCount = gen.mappingExprCount = gen.globalConstraintCount = 1;
  gen.initRegistrations = "init[0] = a->h_1;\n\t";
  gen.globalVariableRegistrations = "gV[0] = a->f_1;\n\t";
  gen.mappingExprRegistrations = "aMF[0] = a->s_3;\n\t";
  gen.globalConstraintRegistrations = "aG[0] = a->s_2;\n\t";
  gen.crossReferences = "a->imported_comps->push_back (b);\n\t";
  gen.timeStep = 0.5;
  maxDepth = 1;
  guards_int = 1;
  conf_set("evlps_opti", 1);

  generate(mrvGenerateRunT);

  // The header declares what the source assigns: the runtimes built in
  // tests/runtime compile both.
  EXPECT_EQ(source.substr(0, source.find("plant_rt->inited")),
            "/* cross-reference code */\n\ta->imported_comps->push_back (b);\n\t"
            "\n\tdico = (variable*) new_malloc (5*sizeof (variable));\n\t"
            "dico[0] = a->x;\n\tdico[1] = a->y;\n\tdico[2] = a->p;\n\tdico[3] = b->z;\n\tdico[4] = b->w;\n\t"
            "\n\tinput = (variable*) new_malloc (1*sizeof (variable));\n\tinput[0] = a->x;\n\tinval = NULL;\n\t"
            "\n\tdisplay = (variable*) new_malloc (2*sizeof (variable));\n\t"
            "display[0] = a->x;\n\tdisplay[1] = b->z;\n\t"
            "dinfval = (double*) new_malloc (2*sizeof(double));\n\t"
            "dsupval = (double*) new_malloc (2*sizeof(double));\n\t"
            "\n\tmeasure = (variable*) new_malloc (1*sizeof (variable));\n\tmeasure[0] = a->y;\n\t"
            "mesval = NULL;\n\tlowalarm = (long*) new_malloc(1*sizeof (long));\n\t"
            "highalarm = (long*) new_malloc(1*sizeof (long));\n\t"
            "meslowmisb = (long*) new_malloc(1*sizeof (long));\n\t"
            "meshighmisb = (long*) new_malloc(1*sizeof (long));\n\tmesmisb = (long*) new_malloc(1*sizeof (long));\n\t"
            "temporal = (variable*) new_malloc (2*sizeof (variable));\n\ttemporal[0] = a->y;\n\ttemporal[1] = b->w;\n\t"
            "untemporal = (variable*) new_malloc (1*sizeof (variable));\n\tuntemporal[0] = b->z;\n\t"
            "\n\tinflu = (influence*) new_malloc (3*sizeof (influence));\n\t"
            "influ[0] = a->i_i1;\n\tinflu[1] = b->i_i1;\n\tinflu[2] = b->i_i2;\n\t"
            "condin = (long*) new_malloc (3*sizeof (long));\n\tcondout = (long*) new_malloc (3*sizeof (long));\n\t"
            "condi = (condition*) new_malloc (2*sizeof (condition));\n\t"
            "condi[0] = a->c_1;\n\tcondi[1] = b->c_2;\n\t"
            "cG = (cGraph*) new_malloc (4*sizeof (cGraph));\n\tcG[0] = a->A_n_1;\n\t"
            "init = (initVar*) new_malloc (1*sizeof (initVar));\n\tinit[0] = a->h_1;\n\t"
            "gV = (gVar*) new_malloc (1*sizeof (gVar));\n\tgV[0] = a->f_1;\n\t"
            "aC = (expr*) new_malloc (2*sizeof (expr));\n\taC[0] = a->s_1;\n\taC[1] = b->s_2;\n\t"
            "long* vals = (long*) new_malloc (2*sizeof (long));\n\tvals[0] = 0;\n\tvals[1] = 0;\n\t"
            "long* inAc = (long*) new_malloc (2*sizeof (long));\n\tinAc[0] = 0;\n\tinAc[1] = 0;\n\t"
            "expr* aMF = (expr*) new_malloc (1*sizeof (expr));\n\taMF[0] = a->s_3;\n\t"
            "expr* aG = (expr*) new_malloc (1*sizeof (expr));\n\taG[0] = a->s_2;\n\t"
            "long* inAg = (long*) new_malloc (1*sizeof (long));\n\tinAg[0] = 0;\n\t"
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
            "plant_rt->ncg = 4;\n\tplant_rt->cg = cG;\n\t"
            "plant_rt->maxDepth = 1;\n\t"
            "plant_rt->nit = 1;\n\tplant_rt->iv = init;\n\t"
            "plant_rt->ngv = 1;\n\tplant_rt->vgv = gV;\n\t"
            "plant_rt->ngc = 1;\n\tplant_rt->glc = aG;\n\tplant_rt->inag = inAg;\n\t"
            "plant_rt->ncdc = 2;\n\tplant_rt->cdc = aC;\n\tplant_rt->valSpc = vals;\n\tplant_rt->inac = inAc;\n\t"
            "plant_rt->nmfc = 1;\n\tplant_rt->mfc = aMF;\n\t");
  // The fields after these the runtime never reads: its builds check their statements.
  EXPECT_TRUE(contains(source, "plant_rt->ncondi = 2;\n\tplant_rt->condi = condi;\n\t"));
  const std::string ending = "morvel_rt=plant_rt;\n\t}\nbool env_opti = 1;\nlong guards_int = 1;\n\t"
                             "int Trajectory::twd = 5;\n\tlong h_pi = 0;\n\tstring model_name = \"plant\";\n\t";
  EXPECT_EQ(source.substr(source.size() - ending.size()), ending);
  EXPECT_EQ((std::vector<long>{numInput, numDisplay, numMeasure, numTemporal, numUntemporal}),
            (std::vector<long>{1, 2, 1, 2, 1}));
}

// No table has entries: each part of the record takes its empty form.
TEST_F(RuntimeFile, EmptyFormsOfEveryPart) {
  conf_set("discrete_window", 7);
  conf_set("prime_implicants", 2);
  conf_set("continuous_window", 4);

  generate(mrvGenerateRunT);

  EXPECT_EQ(header, "\n\tvariable* dico;\nruntime plant_rt;\nruntime morvel_rt;\n");
  std::string record = source.substr(source.find("plant_rt->ts"));
  EXPECT_EQ(record.substr(0, record.find("plant_rt->inited")),
            "plant_rt->ts = 1;\n\tplant_rt->dts = 0;\n\t"
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
            "plant_rt->ncg = 0;\n\tplant_rt->cg = NULL;\n\t"
            "plant_rt->maxDepth = 0;\n\t"
            "plant_rt->nit = 0;\n\tplant_rt->iv = NULL;\n\t"
            "plant_rt->ngv = 0;\n\tplant_rt->vgv = NULL;\n\t"
            "plant_rt->ngc = 0;\n\tplant_rt->glc = NULL;\n\tplant_rt->inag = NULL;\n\t"
            "plant_rt->ncdc = 0;\n\tplant_rt->cdc = NULL;\n\tplant_rt->valSpc = NULL;\n\tplant_rt->inac = NULL;\n\t"
            "plant_rt->nmfc = 0;\n\tplant_rt->mfc = NULL;\n\t");
  EXPECT_TRUE(contains(source, "plant_rt->ncondi = 0;\n\tplant_rt->condi = condi;\n\t"));
  std::string globals =
      "}\nbool env_opti = 0;\nlong guards_int = 0;\n\tint Trajectory::twd = 7;\n\tlong h_pi = 2;\n\t"
      "string model_name = \"plant\";\n\t";
  EXPECT_EQ(source.substr(source.size() - globals.size()), globals);
}

TEST_F(RuntimeFile, DiscreteEndingClosesTheStartUpFunctionBeforeTheGlobals) {
  instance("a", {variable("a.x", 7)}, 1);
  gen.crossReferences = "\ta->A_stf0->addAtom (b->B_m_on, 1);\n";
  guards_int = 1;
  conf_set("discrete_window", 3);
  conf_set("prime_implicants", 1);
  conf_set("evlps_opti", 1);

  generate(mrvGenerateDiscRunT);

  EXPECT_EQ(header, "runtime plant_rt;\nruntime morvel_rt;\n");
  EXPECT_EQ(source.substr(0, source.find("plant_rt->inited")),
            "/* cross-reference code */\n\t\ta->A_stf0->addAtom (b->B_m_on, 1);\n"
            "plant_rt = NULL;\nmorvel_rt = plant_rt;\n}\nlong guards_int = 1;\n\t"
            "int Trajectory::twd = 3;\n\tlong h_pi = 1;\n\t\nbool env_opti = 1;\n"
            "string model_name = \"plant\";\n\t");
}

} // namespace
