#include "codegen/runtime_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "codegen/generation_state.h"
#include "common/options.h"
#include "common/session.h"
#include "continuous/causal_graph.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/loaded_model.h"

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

void writeTables(GenerationState &gen, const Tables &tables) {
  put(gen.runtimeSourceFile, tables.dico);
  if (numInput > 0) {
    put(gen.runtimeHeaderFile, "variable* input;\n");
    put(gen.runtimeSourceFile,
        fill("\n\tinput = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numInput));
    put(gen.runtimeSourceFile, tables.input);
    put(gen.runtimeHeaderFile, "double* inval;\n");
    put(gen.runtimeSourceFile, "inval = NULL;\n\t");
  }
  if (numDisplay > 0) {
    put(gen.runtimeHeaderFile, "variable* display;\n");
    put(gen.runtimeSourceFile,
        fill("\n\tdisplay = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numDisplay));
    put(gen.runtimeSourceFile, tables.display);
    put(gen.runtimeHeaderFile, "double* dinfval;\ndouble* dsupval;\n");
    put(gen.runtimeSourceFile,
        fill("dinfval = (double*) new_malloc (%ld*sizeof(double));\n\t", numDisplay) +
            fill("dsupval = (double*) new_malloc (%ld*sizeof(double));\n\t", numDisplay));
  }
  if (numMeasure > 0) {
    put(gen.runtimeHeaderFile, "variable* measure;\n\t");
    put(gen.runtimeSourceFile,
        fill("\n\tmeasure = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numMeasure));
    put(gen.runtimeSourceFile, tables.measure);
    put(gen.runtimeHeaderFile,
        "double* mesval;\nlong* lowalarm;long* highalarm;\nlong* meslowmisb;\n"
        "long* meshighmisb;\nlong* mesmisb;\n");
    put(gen.runtimeSourceFile, "mesval = NULL;\n\t");
    for (const char *alarms : {"lowalarm", "highalarm", "meslowmisb", "meshighmisb", "mesmisb"})
      put(gen.runtimeSourceFile,
          std::string(alarms) + fill(" = (long*) new_malloc(%ld*sizeof (long));\n\t", numMeasure));
  }
  if (numTemporal > 0) {
    put(gen.runtimeHeaderFile, "variable* temporal;\n\t");
    put(gen.runtimeSourceFile,
        fill("temporal = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numTemporal));
    put(gen.runtimeSourceFile, tables.temporal);
  }
  if (numUntemporal > 0) {
    put(gen.runtimeHeaderFile, "variable* untemporal;\n\t");
    put(gen.runtimeSourceFile,
        fill("untemporal = (variable*) new_malloc (%ld*sizeof (variable));\n\t", numUntemporal));
    put(gen.runtimeSourceFile, tables.untemporal);
  }
  if (influListsarn != nullptr) {
    put(gen.runtimeHeaderFile, "influence* influ;\n\t");
    put(gen.runtimeSourceFile,
        fill("\n\tinflu = (influence*) new_malloc (%ld*sizeof (influence));\n\t",
             gen.influenceTotal));
    put(gen.runtimeSourceFile, tables.influ);
    put(gen.runtimeHeaderFile, "long* condin;\n\tlong* condout;\n\t");
    put(gen.runtimeSourceFile,
        fill("condin = (long*) new_malloc (%ld*sizeof (long));\n\t", gen.influenceTotal) +
            fill("condout = (long*) new_malloc (%ld*sizeof (long));\n\t", gen.influenceTotal));
  }
}

// Tables filled from the texts the element generators collected.
void writeCollectedTables(GenerationState &gen) {
  if (gen.model->conditionCount > 0) {
    put(gen.runtimeHeaderFile, "condition* condi;\n\t");
    put(gen.runtimeSourceFile, fill("condi = (condition*) new_malloc (%ld*sizeof (condition));\n\t",
                                    gen.model->conditionCount));
    put(gen.runtimeSourceFile, gen.conditionRegistrations);
  }
  if (gen.nodeTotal != 0) {
    put(gen.runtimeHeaderFile, "cGraph* cG;\n\t");
    put(gen.runtimeSourceFile,
        fill("cG = (cGraph*) new_malloc (%ld*sizeof (cGraph));\n\t", gen.nodeTotal));
    put(gen.runtimeSourceFile, gen.nodeRegistrations);
  }
  if (initListsarn != nullptr) {
    put(gen.runtimeHeaderFile, "initVar* init;\n\t");
    put(gen.runtimeSourceFile,
        fill("init = (initVar*) new_malloc (%ld*sizeof (initVar));\n\t", gen.initEntryCount));
    put(gen.runtimeSourceFile, gen.initRegistrations);
  }
  if (gVarListsarn != nullptr) {
    put(gen.runtimeHeaderFile, "gVar* gV;\n\t");
    put(gen.runtimeSourceFile,
        fill("gV = (gVar*) new_malloc (%ld*sizeof (gVar));\n\t", gen.globalVariableEntryCount));
    put(gen.runtimeSourceFile, gen.globalVariableRegistrations);
  }
  if (condCListsarn != nullptr) {
    put(gen.runtimeHeaderFile, "expr* aC;\n\tlong inAc;\n\t");
    put(gen.runtimeSourceFile,
        fill("aC = (expr*) new_malloc (%ld*sizeof (expr));\n\t", gen.conditionConstraintCount));
    put(gen.runtimeSourceFile, gen.conditionConstraintRegistrations);
    put(gen.runtimeSourceFile, fill("long* vals = (long*) new_malloc (%ld*sizeof (long));\n\t",
                                    gen.conditionConstraintCount));
    put(gen.runtimeSourceFile, zeroes("vals", gen.conditionConstraintCount));
    put(gen.runtimeSourceFile, fill("long* inAc = (long*) new_malloc (%ld*sizeof (long));\n\t",
                                    gen.conditionConstraintCount));
    put(gen.runtimeSourceFile, zeroes("inAc", gen.conditionConstraintCount));
  }
  if (gen.mappingExprCount != 0) {
    put(gen.runtimeHeaderFile, "expr* aMF;\n\t");
    put(gen.runtimeSourceFile,
        fill("expr* aMF = (expr*) new_malloc (%ld*sizeof (expr));\n\t", gen.mappingExprCount));
    put(gen.runtimeSourceFile, gen.mappingExprRegistrations);
  }
  if (globCListsarn != nullptr) {
    put(gen.runtimeHeaderFile, "expr* aG;\n\tlong inAg;\n\t");
    put(gen.runtimeSourceFile,
        fill("expr* aG = (expr*) new_malloc (%ld*sizeof (expr));\n\t", gen.globalConstraintCount));
    put(gen.runtimeSourceFile, gen.globalConstraintRegistrations);
    put(gen.runtimeSourceFile, fill("long* inAg = (long*) new_malloc (%ld*sizeof (long));\n\t",
                                    gen.globalConstraintCount));
    put(gen.runtimeSourceFile, zeroes("inAg", gen.globalConstraintCount));
  }
}

// One part of the runtime record: its full form when it has entries, its
// empty form otherwise.
struct RecordSection {
  long count;
  const char *full;
  const char *empty;
};

void writeRuntimeRecord(GenerationState &gen) {
  const char *r = appliName.c_str();
  std::fprintf(gen.runtimeSourceFile, "%s_rt = (runtime) new_malloc (sizeof (s_runtime));\n\t", r);
  std::fprintf(gen.runtimeSourceFile,
               "%s_rt->appli = \"%s\";\n\t%s_rt->num = 0;\n\t%s_rt->ts = %g;\n\t%s_rt->dts = 0;\n\t"
               "%s_rt->twc = %ld;\n\t%s_rt->nvar = %ld;\n\t%s_rt->dico = dico;\n\t",
               r, r, r, r, gen.timeStep, r, r, static_cast<long>(conf_get("continuous_window")), r,
               gen.variableTotal, r);

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
       "%s_rt->lowmisb = meslowmisb;\n\t%s_rt->highmisb = meshighmisb;\n\t%s_rt->misb = "
       "mesmisb;\n\t",
       "%s_rt->nmes = 0;\n\t%s_rt->mes = NULL;\n\t%s_rt->mesval = NULL;\n\t%s_rt->lowalarm = "
       "NULL;\n\t"
       "%s_rt->highalarm = NULL;\n\t%s_rt->lowmisb = NULL;\n\t%s_rt->highmisb = NULL;\n\t"
       "%s_rt->misb = NULL;\n\t"},
      {numTemporal, "%s_rt->ntemp = %ld;\n\t%s_rt->temp = temporal;\n\t",
       "%s_rt->ntemp = 0;\n\t%s_rt->temp = NULL;\n\t"},
      {numUntemporal, "%s_rt->nuntemp = %ld;\n\t%s_rt->untemp = untemporal;\n\t",
       "%s_rt->nuntemp = 0;\n\t%s_rt->untemp = NULL;\n\t"},
      {gen.influenceTotal,
       "%s_rt->nifl = %ld;\n\t%s_rt->infl = influ;\n\t%s_rt->condin = condin;\n\t"
       "%s_rt->condout = condout;\n\t",
       "%s_rt->nifl = 0;\n\t%s_rt->infl = NULL;\n\t%s_rt->condin = NULL;\n\t%s_rt->condout = "
       "NULL;\n\t"},
      {gen.nodeTotal, "%s_rt->ncg = %ld;\n\t%s_rt->cg = cG;\n\t",
       "%s_rt->ncg = 0;\n\t%s_rt->cg = NULL;\n\t"},
  };
  const RecordSection afterDepth[] = {
      {gen.initEntryCount, "%s_rt->nit = %ld;\n\t%s_rt->iv = init;\n\t",
       "%s_rt->nit = 0;\n\t%s_rt->iv = NULL;\n\t"},
      {gen.globalVariableEntryCount, "%s_rt->ngv = %ld;\n\t%s_rt->vgv = gV;\n\t",
       "%s_rt->ngv = 0;\n\t%s_rt->vgv = NULL;\n\t"},
      {gen.globalConstraintCount,
       "%s_rt->ngc = %ld;\n\t%s_rt->glc = aG;\n\t%s_rt->inag = inAg;\n\t",
       "%s_rt->ngc = 0;\n\t%s_rt->glc = NULL;\n\t%s_rt->inag = NULL;\n\t"},
      {gen.conditionConstraintCount,
       "%s_rt->ncdc = %ld;\n\t%s_rt->cdc = aC;\n\t%s_rt->valSpc = vals;\n\t%s_rt->inac = inAc;\n\t",
       "%s_rt->ncdc = 0;\n\t%s_rt->cdc = NULL;\n\t%s_rt->valSpc = NULL;\n\t%s_rt->inac = "
       "NULL;\n\t"},
      {gen.mappingExprCount, "%s_rt->nmfc = %ld;\n\t%s_rt->mfc = aMF;\n\t",
       "%s_rt->nmfc = 0;\n\t%s_rt->mfc = NULL;\n\t"},
  };
  for (const RecordSection &section : beforeDepth)
    put(gen.runtimeSourceFile,
        section.count != 0 ? fill(section.full, section.count) : fill(section.empty));
  put(gen.runtimeSourceFile, fill("%s_rt->maxDepth = %ld;\n\t", maxDepth));
  for (const RecordSection &section : afterDepth)
    put(gen.runtimeSourceFile,
        section.count != 0 ? fill(section.full, section.count) : fill(section.empty));

  put(gen.runtimeSourceFile,
      fill("%s_rt->inited = 0;\n\t%s_rt->runGC = 0;\n\t%s_rt->cumTime = 0;\n\t%s_rt->prec = 0;\n\t"
           "%s_rt->onlyFaultIso = 0;\n\t%s_rt->numMisb = 0;\n\t%s_rt->numOk = 0;\n\t"
           "%s_rt->mbVA = NULL;\n\t%s_rt->okVA = NULL;\n\t%s_rt->sfVA = NULL;\n\t"
           "%s_rt->oldNumMisb = 0;\n\t%s_rt->oldMisbVarArray = NULL;\n\t%s_rt->numNodesHST = 0;"
           "%s_rt->ncondi = %ld;\n\t%s_rt->condi = condi;\n\t",
           gen.model->conditionCount));
  put(gen.runtimeSourceFile,
      fill("%s_rt->bridgeEvents = NULL;\n\t%s_rt->bridgeConds = NULL;\n\t"
           "%s_rt->bridgeTransitions = NULL;%s_rt->bridgeConflicts = NULL;\n\t"));
  put(gen.runtimeSourceFile, fill("createLeafListsarn (&%s_rt->HSTree);\n\tcreateConflictSet "
                                  "(&%s_rt->softConflictListsarn);\n\t"
                                  "%s_rt->diagOut = NULL;\n\t"));
  put(gen.runtimeSourceFile,
      fill("\n/* remove next line if linking several applications \t\t       together */\n"
           "morvel_rt=%s_rt;\n\t}"));
}

void closeRuntimeFiles(GenerationState &gen) {
  std::fclose(gen.runtimeSourceFile);
  std::fclose(gen.runtimeHeaderFile);
  gen.runtimeSourceFile = nullptr;
  gen.runtimeHeaderFile = nullptr;
}

void writeCrossReferences(GenerationState &gen) {
  if (!gen.crossReferences.empty()) {
    put(gen.runtimeSourceFile, "/* cross-reference code */\n\t");
    put(gen.runtimeSourceFile, gen.crossReferences);
  }
}

void writeRuntimeRecordNames(GenerationState &gen) {
  put(gen.runtimeHeaderFile, fill("runtime %s_rt;\n"));
  put(gen.runtimeHeaderFile, "runtime morvel_rt;\n");
}

const char *envOpti() {
  return conf_get("evlps_opti") != 0 ? "\nbool env_opti = 1;\n" : "\nbool env_opti = 0;\n";
}

} // namespace

void resetRuntimeCounts() {
  for (long *count : {&numInput, &numMeasure, &numDisplay, &numTemporal, &numUntemporal})
    *count = 0;
}

void mrvGenerateRunT(GenerationState &gen) {
  writeCrossReferences(gen);
  put(gen.runtimeHeaderFile, "\n\tvariable* dico;\n");
  put(gen.runtimeSourceFile,
      fill("\n\tdico = (variable*) new_malloc (%ld*sizeof (variable));\n\t", gen.variableTotal));
  numInput = listsarnVarLn(inputListsarn);
  numDisplay = listsarnVarLn(displayListsarn);
  numMeasure = listsarnVarLn(measureListsarn);
  numTemporal = listsarnVarLn(temporalListsarn);
  numUntemporal = listsarnVarLn(untemporalListsarn);
  writeTables(gen, collectTables());
  writeCollectedTables(gen);
  writeRuntimeRecordNames(gen);
  writeRuntimeRecord(gen);

  put(gen.runtimeSourceFile, envOpti());
  std::fprintf(gen.runtimeSourceFile, "long guards_int = %ld;\n\t", static_cast<long>(guards_int));
  std::fprintf(gen.runtimeSourceFile, "int Trajectory::twd = %ld;\n\t",
               static_cast<long>(conf_get("discrete_window")));
  std::fprintf(gen.runtimeSourceFile, "long h_pi = %ld;\n\t",
               static_cast<long>(conf_get("prime_implicants")));
  put(gen.runtimeSourceFile, fill("string model_name = \"%s\";\n\t"));
  closeRuntimeFiles(gen);
}

void mrvGenerateDiscRunT(GenerationState &gen) {
  writeCrossReferences(gen);
  writeRuntimeRecordNames(gen);
  put(gen.runtimeSourceFile, fill("%s_rt = NULL;\n"));
  put(gen.runtimeSourceFile, fill("morvel_rt = %s_rt;\n"));
  std::fprintf(gen.runtimeSourceFile, "}\nlong guards_int = %ld;\n\t",
               static_cast<long>(guards_int));
  std::fprintf(gen.runtimeSourceFile, "int Trajectory::twd = %i;\n\t", conf_get("discrete_window"));
  std::fprintf(gen.runtimeSourceFile, "long h_pi = %ld;\n\t",
               static_cast<long>(conf_get("prime_implicants")));
  put(gen.runtimeSourceFile, envOpti());
  put(gen.runtimeSourceFile, fill("string model_name = \"%s\";\n\t"));
  closeRuntimeFiles(gen);
}
