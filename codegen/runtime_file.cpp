#include "codegen/runtime_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "codegen/generation_state.h"
#include "continuous/causal_graph.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/model_loader.h"
#include "common/options.h"
#include "common/session.h"

long numInput = 0;
long numMeasure = 0;
long numDisplay = 0;
long numTemporal = 0;
long numUntemporal = 0;

namespace {

void put(FILE *file, const std::string &text) { std::fputs(text.c_str(), file); }

// The template with every "%s" replaced by the application name and every
// "%ld" by the count.
std::string fill(const char *text, long count = 0) {
  std::string result;
  while (*text != '\0') {
    if (std::strncmp(text, "%s", 2) == 0) {
      result += appliName;
      text += 2;
    } else if (std::strncmp(text, "%ld", 3) == 0) {
      result += std::to_string(count);
      text += 3;
    } else {
      result += *text++;
    }
  }
  return result;
}

// "table[index] = instance->member;" with the index advanced.
std::string entry(const char *table, long &index, const std::string &instance,
                  const std::string &member) {
  return std::string(table) + "[" + std::to_string(index++) + "] = " + instance + "->" + member +
         ";\n\t";
}

// A variable's member in its component's class: its name without the
// instance name that qualifies it.
std::string memberName(const std::string &qualified) {
  size_t dot = qualified.find('.');
  return dot == std::string::npos ? qualified : qualified.substr(dot + 1);
}

// The statements that fill the runtime's variable and influence tables.
struct Tables {
  std::string dico, input, measure, display, influ, temporal, untemporal;
};

Tables collectTables() {
  Tables tables;
  long variable = 0, input = 0, measure = 0, display = 0, influence = 0;
  for (const auto &registered : DataManager::active_comps) {
    const Comp *comp = registered.second;
    std::string instance = comp->getVarName();
    if (comp->variables != nullptr)
      for (const s_variable *v : *comp->variables) {
        std::string member = memberName(v->name);
        tables.dico += entry("dico", variable, instance, member);
        if (v->fct & fctInput)
          tables.input += entry("input", input, instance, member);
        if (v->fct & fctMeasure)
          tables.measure += entry("measure", measure, instance, member);
        if (v->fct & fctDisplay)
          tables.display += entry("display", display, instance, member);
      }
    // Influences are numbered from 1 within each instance, as their members are.
    if (comp->influences != nullptr)
      for (size_t k = 1; k <= comp->influences->size(); ++k)
        tables.influ += entry("influ", influence, instance, "i_i" + std::to_string(k));
  }
  long index = 0;
  for (const s_listsarnVar *cell = temporalListsarn; cell != nullptr; cell = cell->next) {
    const std::string &name = cell->elt->name;
    tables.temporal += entry("temporal", index, name.substr(0, name.find('.')), memberName(name));
  }
  index = 0;
  for (const s_listsarnVar *cell = untemporalListsarn; cell != nullptr; cell = cell->next) {
    const std::string &name = cell->elt->name;
    tables.untemporal += entry("untemporal", index, name.substr(0, name.find('.')), memberName(name));
  }
  return tables;
}

// "name[0] = 0;" ... for count entries.
std::string zeroes(const char *name, long count) {
  std::string text;
  for (long i = 0; i < count; ++i)
    text += std::string(name) + "[" + std::to_string(i) + "] = 0;\n\t";
  return text;
}

void writeTables(const Tables &tables) {
  put(runT, tables.dico);
  if (numInput > 0) {
    put(runH, "variable* input;\n");
    put(runT, fill("\n\tinput = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numInput));
    put(runT, tables.input);
    put(runH, "double* inval;\n");
    put(runT, "inval = NULL;\n\t");
  }
  if (numDisplay > 0) {
    put(runH, "variable* display;\n");
    put(runT, fill("\n\tdisplay = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numDisplay));
    put(runT, tables.display);
    put(runH, "double* dinfval;\ndouble* dsupval;\n");
    put(runT, fill("dinfval = (double*) new_malloc (%ld*sizeof(double));\n\t", numDisplay) +
                  fill("dsupval = (double*) new_malloc (%ld*sizeof(double));\n\t", numDisplay));
  }
  if (numMeasure > 0) {
    put(runH, "variable* measure;\n\t");
    put(runT, fill("\n\tmeasure = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numMeasure));
    put(runT, tables.measure);
    put(runH, "double* mesval;\nlong* lowalarm;long* highalarm;\nlong* meslowmisb;\n"
              "long* meshighmisb;\nlong* mesmisb;\n");
    put(runT, "mesval = NULL;\n\t");
    for (const char *alarms : {"lowalarm", "highalarm", "meslowmisb", "meshighmisb", "mesmisb"})
      put(runT, std::string(alarms) + fill(" = (long*) new_malloc(%ld*sizeof (long));\n\t", numMeasure));
  }
  if (numTemporal > 0) {
    put(runH, "variable* temporal;\n\t");
    put(runT, fill("temporal = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numTemporal));
    put(runT, tables.temporal);
  }
  if (numUntemporal > 0) {
    put(runH, "variable* untemporal;\n\t");
    put(runT, fill("untemporal = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numUntemporal));
    put(runT, tables.untemporal);
  }
  if (influListsarn != nullptr) {
    put(runH, "influence* influ;\n\t");
    put(runT, fill("\n\tinflu = (influence*) new_malloc (%ld*sizeof (influence));\n\t", numInfluG));
    put(runT, tables.influ);
    put(runH, "long* condin;\n\tlong* condout;\n\t");
    put(runT, fill("condin = (long*) new_malloc (%ld*sizeof (long));\n\t", numInfluG) +
                  fill("condout = (long*) new_malloc (%ld*sizeof (long));\n\t", numInfluG));
  }
}

// Tables filled from the texts the element generators collected.
void writeCollectedTables() {
  if (numConditions > 0) {
    put(runH, "condition* condi;\n\t");
    put(runT, fill("condi = (condition*) new_malloc (%ld*sizeof (condition));\n\t", numConditions));
    put(runT, condstr);
  }
  if (numNoeudG != 0) {
    put(runH, "cGraph* cG;\n\t");
    put(runT, fill("cG = (cGraph*) new_malloc (%ld*sizeof (cGraph));\n\t", numNoeudG));
    put(runT, nodestr);
  }
  if (initListsarn != nullptr) {
    put(runH, "initVar* init;\n\t");
    put(runT, fill("init = (initVar*) new_malloc (%ld*sizeof (initVar));\n\t", numInitEntries));
    put(runT, initstr);
  }
  if (gVarListsarn != nullptr) {
    put(runH, "gVar* gV;\n\t");
    put(runT, fill("gV = (gVar*) new_malloc (%ld*sizeof (gVar));\n\t", numGVarSV));
    put(runT, gvarstr);
  }
  if (condCListsarn != nullptr) {
    put(runH, "expr* aC;\n\tlong inAc;\n\t");
    put(runT, fill("aC = (expr*) new_malloc (%ld*sizeof (expr));\n\t", numCondC));
    put(runT, condcstr);
    put(runT, fill("long* vals = (long*) new_malloc (%ld*sizeof (long));\n\t", numCondC));
    put(runT, zeroes("vals", numCondC));
    put(runT, fill("long* inAc = (long*) new_malloc (%ld*sizeof (long));\n\t", numCondC));
    put(runT, zeroes("inAc", numCondC));
  }
  if (numMFExpr != 0) {
    put(runH, "expr* aMF;\n\t");
    put(runT, fill("expr* aMF = (expr*) new_malloc (%ld*sizeof (expr));\n\t", numMFExpr));
    put(runT, mfexprstr);
  }
  if (globCListsarn != nullptr) {
    put(runH, "expr* aG;\n\tlong inAg;\n\t");
    put(runT, fill("expr* aG = (expr*) new_malloc (%ld*sizeof (expr));\n\t", numGlobC));
    put(runT, globstr);
    put(runT, fill("long* inAg = (long*) new_malloc (%ld*sizeof (long));\n\t", numGlobC));
    put(runT, zeroes("inAg", numGlobC));
  }
}

// One part of the runtime record: its full form when it has entries, its
// empty form otherwise.
struct RecordSection {
  long count;
  const char *full;
  const char *empty;
};

void writeRuntimeRecord() {
  const char *r = appliName.c_str();
  std::fprintf(runT, "%s_rt = (runtime) new_malloc (sizeof (s_runtime));\n\t", r);
  std::fprintf(runT,
               "%s_rt->appli = \"%s\";\n\t%s_rt->num = 0;\n\t%s_rt->ts = %g;\n\t%s_rt->dts = 0;\n\t"
               "%s_rt->twc = %ld;\n\t%s_rt->nvar = %ld;\n\t%s_rt->dico = dico;\n\t",
               r, r, r, r, timeStep, r, r, static_cast<long>(conf_get("continuous_window")), r,
               numVarG, r);

  const RecordSection beforeDepth[] = {
      {numInput, "%s_rt->nin = %ld;\n\t%s_rt->in = input;\n\t%s_rt->inval = inval;\n\t",
       "%s_rt->nin = 0;\n\t%s_rt->in = NULL;\n\t%s_rt->inval = NULL;\n\t"},
      {numDisplay,
       "%s_rt->ndisp = %ld;\n\t%s_rt->disp = display;\n\t%s_rt->dispinfval = dinfval;\n\t"
       "%s_rt->dispsupval = dsupval;\n\t%s_rt->ndispall = 0;\n\t%s_rt->dispall = NULL;\n\t",
       "%s_rt->ndisp = 0;\n\t%s_rt->disp = NULL;\n\t%s_rt->dispinfval = NULL;\n\t"
       "%s_rt->dispsupval = NULL;\n\t%s_rt->ndispall = 0;\n\t%s_rt->dispall = NULL;\n\t"},
      {numMeasure,
       "%s_rt->nmes = %ld;\n\t%s_rt->mes = measure;\n\t%s_rt->mesval = mesval;\n\t"
       "%s_rt->lowalarm = lowalarm;\n\t%s_rt->highalarm = highalarm;\n\t"
       "%s_rt->lowmisb = meslowmisb;\n\t%s_rt->highmisb = meshighmisb;\n\t%s_rt->misb = mesmisb;\n\t",
       "%s_rt->nmes = 0;\n\t%s_rt->mes = NULL;\n\t%s_rt->mesval = NULL;\n\t%s_rt->lowalarm = NULL;\n\t"
       "%s_rt->highalarm = NULL;\n\t%s_rt->lowmisb = NULL;\n\t%s_rt->highmisb = NULL;\n\t"
       "%s_rt->misb = NULL;\n\t"},
      {numTemporal, "%s_rt->ntemp = %ld;\n\t%s_rt->temp = temporal;\n\t",
       "%s_rt->ntemp = 0;\n\t%s_rt->temp = NULL;\n\t"},
      {numUntemporal, "%s_rt->nuntemp = %ld;\n\t%s_rt->untemp = untemporal;\n\t",
       "%s_rt->nuntemp = 0;\n\t%s_rt->untemp = NULL;\n\t"},
      {numInfluG,
       "%s_rt->nifl = %ld;\n\t%s_rt->infl = influ;\n\t%s_rt->condin = condin;\n\t"
       "%s_rt->condout = condout;\n\t",
       "%s_rt->nifl = 0;\n\t%s_rt->infl = NULL;\n\t%s_rt->condin = NULL;\n\t%s_rt->condout = NULL;\n\t"},
      {numNoeudG, "%s_rt->ncg = %ld;\n\t%s_rt->cg = cG;\n\t", "%s_rt->ncg = 0;\n\t%s_rt->cg = NULL;\n\t"},
  };
  const RecordSection afterDepth[] = {
      {numInitEntries, "%s_rt->nit = %ld;\n\t%s_rt->iv = init;\n\t", "%s_rt->nit = 0;\n\t%s_rt->iv = NULL;\n\t"},
      {numGVarSV, "%s_rt->ngv = %ld;\n\t%s_rt->vgv = gV;\n\t", "%s_rt->ngv = 0;\n\t%s_rt->vgv = NULL;\n\t"},
      {numGlobC, "%s_rt->ngc = %ld;\n\t%s_rt->glc = aG;\n\t%s_rt->inag = inAg;\n\t",
       "%s_rt->ngc = 0;\n\t%s_rt->glc = NULL;\n\t%s_rt->inag = NULL;\n\t"},
      {numCondC,
       "%s_rt->ncdc = %ld;\n\t%s_rt->cdc = aC;\n\t%s_rt->valSpc = vals;\n\t%s_rt->inac = inAc;\n\t",
       "%s_rt->ncdc = 0;\n\t%s_rt->cdc = NULL;\n\t%s_rt->valSpc = NULL;\n\t%s_rt->inac = NULL;\n\t"},
      {numMFExpr, "%s_rt->nmfc = %ld;\n\t%s_rt->mfc = aMF;\n\t", "%s_rt->nmfc = 0;\n\t%s_rt->mfc = NULL;\n\t"},
  };
  for (const RecordSection &section : beforeDepth)
    put(runT, section.count != 0 ? fill(section.full, section.count) : fill(section.empty));
  put(runT, fill("%s_rt->maxDepth = %ld;\n\t", maxDepth));
  for (const RecordSection &section : afterDepth)
    put(runT, section.count != 0 ? fill(section.full, section.count) : fill(section.empty));

  put(runT, fill("%s_rt->inited = 0;\n\t%s_rt->runGC = 0;\n\t%s_rt->cumTime = 0;\n\t%s_rt->prec = 0;\n\t"
                 "%s_rt->onlyFaultIso = 0;\n\t%s_rt->numMisb = 0;\n\t%s_rt->numOk = 0;\n\t"
                 "%s_rt->mbVA = NULL;\n\t%s_rt->okVA = NULL;\n\t%s_rt->sfVA = NULL;\n\t"
                 "%s_rt->oldNumMisb = 0;\n\t%s_rt->oldMisbVarArray = NULL;\n\t%s_rt->numNodesHST = 0;"
                 "%s_rt->ncondi = %ld;\n\t%s_rt->condi = condi;\n\t",
                 numConditions));
  put(runT, fill("%s_rt->bridgeEvents = NULL;\n\t%s_rt->bridgeConds = NULL;\n\t"
                 "%s_rt->bridgeTransitions = NULL;%s_rt->bridgeConflicts = NULL;\n\t"));
  put(runT, fill("createLeafListsarn (&%s_rt->HSTree);\n\tcreateConflictSet (&%s_rt->softConflictListsarn);\n\t"
                 "%s_rt->diagOut = NULL;\n\t"));
  put(runT, fill("\n/* remove next line if linking several applications \t\t       together */\n"
                 "morvel_rt=%s_rt;\n\t}"));
}

void closeRuntimeFiles() {
  std::fclose(runT);
  std::fclose(runH);
  runT = nullptr;
  runH = nullptr;
}

void writeCrossReferences() {
  if (!cross_ref.empty()) {
    put(runT, "/* cross-reference code */\n\t");
    put(runT, cross_ref);
  }
}

void writeRuntimeRecordNames() {
  put(runH, fill("runtime %s_rt;\n"));
  put(runH, "runtime morvel_rt;\n");
}

const char *envOpti() {
  return conf_get("evlps_opti") != 0 ? "\nbool env_opti = 1;\n" : "\nbool env_opti = 0;\n";
}

} // namespace

void resetRuntimeCounts() {
  for (long *count : {&numInput, &numMeasure, &numDisplay, &numTemporal, &numUntemporal})
    *count = 0;
}

void mrvGenerateRunT() {
  writeCrossReferences();
  put(runH, "\n\tvariable* dico;\n");
  put(runT, fill("\n\tdico = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numVarG));
  numInput = listsarnVarLn(inputListsarn);
  numDisplay = listsarnVarLn(displayListsarn);
  numMeasure = listsarnVarLn(measureListsarn);
  numTemporal = listsarnVarLn(temporalListsarn);
  numUntemporal = listsarnVarLn(untemporalListsarn);
  writeTables(collectTables());
  writeCollectedTables();
  writeRuntimeRecordNames();
  writeRuntimeRecord();

  put(runT, envOpti());
  std::fprintf(runT, "long guards_int = %ld;\n\t", static_cast<long>(guards_int));
  std::fprintf(runT, "int Trajectory::twd = %ld;\n\t", static_cast<long>(conf_get("discrete_window")));
  std::fprintf(runT, "long h_pi = %ld;\n\t", static_cast<long>(conf_get("prime_implicants")));
  put(runT, fill("string model_name = \"%s\";\n\t"));
  closeRuntimeFiles();
}

void mrvGenerateDiscRunT() {
  writeCrossReferences();
  writeRuntimeRecordNames();
  put(runT, fill("%s_rt = NULL;\n"));
  put(runT, fill("morvel_rt = %s_rt;\n"));
  std::fprintf(runT, "}\nlong guards_int = %ld;\n\t", static_cast<long>(guards_int));
  std::fprintf(runT, "int Trajectory::twd = %i;\n\t", conf_get("discrete_window"));
  std::fprintf(runT, "long h_pi = %ld;\n\t", static_cast<long>(conf_get("prime_implicants")));
  put(runT, envOpti());
  put(runT, fill("string model_name = \"%s\";\n\t"));
  closeRuntimeFiles();
}
