#include "codegen/class_generation.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "codegen/continuous_elements.h"
#include "codegen/discrete_elements.h"
#include "codegen/emit.h"
#include "codegen/generation_state.h"
#include "common/options.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/formula.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"

namespace {

// Per type, the position in the runtime's condition table of the first
// condition its class registered.
std::map<std::string, long> classFirstCondition;

// A compile regenerates every element: forget the marks of earlier ones.
void beginCompile(GenerationState &gen) {
  forgetGeneratedElements();
  classFirstCondition.clear();
  for (const auto &entry : DataManager::active_comps)
    entry.second->generated = false;
  gen.clauseFiles.clear();
}

// The type that commands the instance (owner of its first input command), or "".
std::string commandingType(const Comp *comp) {
  if (!comp->commanded || comp->cmdIn == nullptr || comp->cmdIn->empty())
    return "";
  const Comp *owner = comp->cmdIn->front()->getComp();
  return owner != nullptr ? owner->typeName : "";
}

template <typename List, typename Visit>
void walkInStep(List *list, List *model, Visit visit) {
  for (; list != nullptr && model != nullptr; list = list->next, model = model->next)
    visit(list->elt, model->elt);
}

bool sameGlobalVariable(const s_gVar *gvar, const s_gVar *model) {
  if (gvar->var != nullptr && model->var != nullptr)
    return memberPart(gvar->var->name) == memberPart(model->var->name);
  return gvar->nInterm != 0 && model->nInterm != 0;
}

void copyTransitionNumbers(Transition *transition, const Transition *model) {
  setGeneTransitionNumber(transition, geneTransitionNumber(model));
  transition->pre->tag = model->pre->tag;
  if (transition->post != nullptr && model->post != nullptr)
    transition->post->tag = model->post->tag;
  if (transition->posts != nullptr && model->posts != nullptr)
    for (auto post = transition->posts->begin(), modelPost = model->posts->begin();
         post != transition->posts->end() && modelPost != model->posts->end(); ++post, ++modelPost)
      post->second->tag = modelPost->second->tag;
  if (transition->mf == nullptr || model->mf == nullptr)
    return;
  for (size_t j = 0; j < std::min(transition->mf->size(), model->mf->size()); ++j) {
    const std::vector<s_mapfVar *> *vars = (*transition->mf)[j]->vars;
    const std::vector<s_mapfVar *> *modelVars = (*model->mf)[j]->vars;
    if (vars == nullptr || modelVars == nullptr)
      continue;
    for (size_t k = 0; k < std::min(vars->size(), modelVars->size()); ++k)
      updateExprNum((*vars)[k]->expr, (*modelVars)[k]->expr);
  }
}

}  // namespace

void geneClassHeaders(GenerationState &gen, const std::string &typeName) {
  std::string guard = typeName;
  std::transform(guard.begin(), guard.end(), guard.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  guard += "_H";
  std::fputs(("/* Generated from " + typeName + ".def */\n\n" + "\n#ifndef " + guard +
              "\n#define " + guard + "\n\n" + "#include \"Comprt.h\"\n" +
              "#include \"sarn-runt.h\"\n").c_str(),
             gen.classHeaderFile);
  std::fputs(("#include \"" + typeName + ".h\"\n\n").c_str(), gen.classBodyFile);
}

void geneComp(GenerationState &gen, Comp *comp) {
  if (gen.freshCompile) {
    beginCompile(gen);
    gen.freshCompile = false;
  }
  gen.typeGeneratedAlready = inVector(comp->typeName, gen.generatedTypes);
  if (gen.typeGeneratedAlready) {
    updateEltsNum(gen, comp);
    // The class code gives the first instance's positions in the condition
    // table; this instance registers its conditions in the same order, from
    // here on.
    emitf(gen.runtimeSourceFile, "\t%s->condition_offset = %ld;\n\t", comp->getVarName(),
          numCond - classFirstCondition[comp->typeName]);
  } else {
    gen.classInstance = comp;
    classFirstCondition[comp->typeName] = numCond;
  }
  geneUse(gen, comp);
  numInflu = 0;
  gen.nextClauseFileNumber = 0;
  comp->clauseCount = 0;

  const bool withContinuous = conf_get("discrete") == 0;
  const bool withDiscrete = conf_get("continuous") == 0;
  if (comp->variables != nullptr) {
    // The runtime file names every instance's variables by these names.
    for (s_variable *var : *comp->variables)
      geneVarName(var);
    if (withContinuous && !gen.typeGeneratedAlready)
      for (s_variable *var : *comp->variables)
        geneVariable(gen, gen.classBodyFile, gen.classHeaderFile, comp->typeName.c_str(), var);
    if (gen.typeGeneratedAlready)
      gen.instanceVariableCount += static_cast<long>(comp->variables->size());
  }
  if (comp->gvars != nullptr)
    geneGlobVs(gen, gen.classBodyFile, gen.classHeaderFile, comp->gvars, comp);
  if (comp->globalConstraints != nullptr)
    geneGlobCs(gen, gen.classBodyFile, gen.classHeaderFile, comp->globalConstraints, comp);
  if (comp->condExprs != nullptr)
    geneCondCs(gen, gen.classBodyFile, gen.classHeaderFile, comp->condExprs, comp);

  const bool clauseFiles = modelClauseCount() > clauseFileThreshold;
  if (clauseFiles)
    geneClausesFileHeaders(gen, comp);
  InstanceStateVars stateVars;
  if (comp->stateVariables != nullptr)
    for (StateVar *variable : *comp->stateVariables)
      geneStateVar(gen, comp, variable, stateVars);
  geneConstraints(gen, comp);
  gen.influenceTotal += numInflu;
  if (withDiscrete && comp->transitions != nullptr)
    for (Transition *transition : *comp->transitions)
      geneTransition(gen, comp, transition);
  if (withContinuous && comp->initVars != nullptr)
    geneInitV(gen, comp->initVars, comp);

  if (clauseFiles) {
    std::fputs("}\n", gen.clauseBodyFile);
    std::fclose(gen.clauseBodyFile);
    std::fclose(gen.clauseHeaderFile);
    gen.clauseBodyFile = gen.clauseHeaderFile = nullptr;
  }
  if (!gen.typeGeneratedAlready) {
    std::fputs("\n};\n#endif\n", gen.classHeaderFile);
    std::fputs("\n}\n", gen.classBodyFile);
  }
  comp->generated = true;
}

void geneUse(GenerationState &gen, Comp *comp) {
  const std::string &t = comp->typeName;
  const std::string v = comp->getVarName();
  std::string includes, forwards, parameters, statements, members;
  if (comp->importedComps != nullptr)
    for (size_t i = 0; i < comp->importedComps->size(); ++i) {
      const Comp *used = (*comp->importedComps)[i];
      // The imports and their local names were recorded in the same order,
      // so an instance imported under two names keeps both.
      const std::string a = comp->correspondences != nullptr && i < comp->correspondences->size()
                                ? (*comp->correspondences)[i].first
                                : comp->findCorresDef(used->varName);
      const std::string &u = used->typeName;
      std::string push;
      if (mutualComps(gen, comp, used)) {
        forwards += "class " + u + ";\n";
        gen.crossReferences += v + "->imported_comps->push_back (" + used->varName + ");\n\t";
      } else if (isIncludedInComp(comp, u) && !gen.typeGeneratedAlready) {
        includes += "#include \"" + u + ".h\"\n";
        push = "imported_comps->push_back ( (Comp*) " + a + "i);\n\t";
      }
      parameters += ", " + u + "* " + a + "i";
      statements += a + " = " + a + "i;\n\t" + push;
      members += "\t" + u + "* " + a + ";\n";
    }
  const std::string commanding = commandingType(comp);
  if (!commanding.empty() && !gen.typeGeneratedAlready)
    includes += "#include \"" + commanding + ".h\"\n";
  if (gen.typeGeneratedAlready)
    return;

  const std::string signature =
      "(string na, vector<CommandVar*>* in, vector<CommandVar*>* out" + parameters + ")";
  std::string header = includes + forwards + "\n\nclass " + t + ": public Comp {\n\npublic:\n\t" + t +
                       signature + ";\n\t~" + t + "();\n\tvoid init();\n" + members + "\n";
  std::string body = t + "::" + t + signature + " : Comp(na) {\n\t\tcmd_in = in;\n\t\t";
  if (!commanding.empty()) {
    header += "\t" + commanding + "* cmpin;\n";
    body += "cmpin = (" + commanding + "*) (*cmd_in)[0]->comp_lk;\n\t\t";
  }
  body += "cmd_out = out;\n\t" + statements + "init();\n}\n" + t + "::~" + t + "() {\n\n}\n" +
          "void " + t + "::init() {\n";
  std::fputs(header.c_str(), gen.classHeaderFile);
  std::fputs(body.c_str(), gen.classBodyFile);
}

void geneConstraints(GenerationState &gen, Comp *comp) {
  if (conf_get("continuous") == 0) {
    emitClass(gen, gen.classBodyFile, "\texternal_clauses = new vector<Clause*>();\n");
    if (comp->clauses != nullptr)
      for (Clause *clause : *comp->clauses)
        geneClause(gen, comp, clause, nullptr);
    for (const auto &[premise, clause] : comp->conditionClauses) {
      std::string condition = geneCondition(gen, gen.classBodyFile, gen.classHeaderFile, premise,
                                            comp, condOfConstraint, "");
      if (condition != "NULL")
        geneClause(gen, comp, clause, nullptr, condition);
    }
  }
  if (conf_get("discrete") != 0)
    return;
  if (comp->influences != nullptr)
    for (s_influence *influence : *comp->influences) {
      ++numInflu;
      geneInfluence(gen, gen.classBodyFile, gen.classHeaderFile, influence, comp);
    }
  gen.variableTotal += gen.instanceVariableCount;
  gen.instanceNodeCount = gen.instanceVariableCount = 0;
  if (comp->variables != nullptr)
    for (s_variable *var : *comp->variables)
      geneNode(gen, gen.classBodyFile, gen.classHeaderFile, comp, var);
  gen.nodeTotal += gen.instanceNodeCount;
  gen.instanceNodeCount = gen.instanceVariableCount = 0;
}

void updateEltsNum(GenerationState &gen, Comp *comp) {
  const Comp *model = nullptr;
  for (const auto &entry : DataManager::active_comps)
    if (entry.second->typeName == comp->typeName) {
      model = entry.second;
      break;
    }
  if (model == nullptr) {
    std::printf("can't find the component from which the class has been generated: %s\n",
                comp->typeName.c_str());
    return;
  }
  gen.classInstance = model;
  if (comp->transitions != nullptr && model->transitions != nullptr)
    for (size_t i = 0; i < std::min(comp->transitions->size(), model->transitions->size()); ++i)
      copyTransitionNumbers((*comp->transitions)[i], (*model->transitions)[i]);
  walkInStep(comp->condExprs, model->condExprs, updateExprNum);
  // Global constraints too, so that the instance registers the class's expressions.
  walkInStep(comp->globalConstraints, model->globalConstraints, updateExprNum);

  const s_listsarnGVar *modelCell = model->gvars;
  for (s_listsarnGVar *cell = comp->gvars; cell != nullptr && modelCell != nullptr;
       modelCell = modelCell->next) {
    if (sameGlobalVariable(cell->elt, modelCell->elt)) {
      cell->elt->geneNum = modelCell->elt->geneNum;
      cell = cell->next;
    }
  }
}
