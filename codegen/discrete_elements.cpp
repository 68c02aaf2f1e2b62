#include "codegen/discrete_elements.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "codegen/atom_names.h"
#include "codegen/continuous_elements.h"
#include "codegen/emit.h"
#include "codegen/generated_files.h"
#include "codegen/generation_state.h"
#include "common/options.h"
#include "common/session.h"
#include "discrete/clause.h"
#include "discrete/comp.h"
#include "discrete/formula.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "languages/model/loaded_model.h"

namespace {

std::map<const Transition *, long> transitionNumbers;

// The runtime class of a kind of state variable.
std::string runtimeClass(const std::string &kind) {
  static const std::map<std::string, std::string> classes = {
      {"Mode", "ModeVar"}, {"Dependent", "DependentVar"}, {"Observable", "ObsVar"},
      {"Cond", "CondVar"}, {"Command", "CommandVar"}};
  auto found = classes.find(kind);
  return found != classes.end() ? found->second : "StateVar";
}

// A double as the default stream format writes it.
std::string streamed(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The atom a condition tests, looking through a negation.
const Atom *conditionAtom(const s_cond *cond) {
  for (; cond != nullptr; cond = cond->op1)
    if (cond->at != nullptr)
      return cond->at;
  return nullptr;
}

// The lines that tie a condition to the atom of `member` it stands for.
std::string conditionLinks(const std::string &member, const s_cond *cond) {
  const Atom *atom = conditionAtom(cond);
  if (atom == nullptr)
    return "";
  std::string atomMember = member + "_" + atom->getValue();
  return "\t" + member + "->conditions->insert(pair<const char*, int>(" + atomMember +
         "->getId(), " + posCond + "));\n" + "\t" + atomMember + "->cond = 1;\n\t";
}

void geneModeConditions(GenerationState &gen, Comp *comp, ModeVar *variable,
                        const std::string &member) {
  std::string text;
  for (s_cond *cond : variable->conditions) {
    geneCondition(gen, gen.classBodyFile, gen.classHeaderFile, cond, comp, condOfStateVar, "");
    if (!gen.typeGeneratedAlready)
      text += conditionLinks(member, cond);
  }
  emitClass(gen, gen.classBodyFile, text);
}

// Each continuous variable the condition variable depends on gets one slot
// per condition in its relCd array, after the slots given to it already.
void geneCondVarConditions(GenerationState &gen, Comp *comp, CondVar *variable,
                           const std::string &member, ConditionSlots &slots) {
  std::string text;
  long k = static_cast<long>(variable->conditions.size());
  std::string kText = std::to_string(k);
  long index = 0;
  if (!gen.typeGeneratedAlready) {
    for (size_t v = 0; v < variable->variables.size(); ++v) {
      s_variable *depended = variable->variables[v];
      const std::string &w = geneVarName(depended);
      auto slot = slots.begin();
      while (slot != slots.end() && slot->first != depended)
        ++slot;
      if (slot != slots.end()) {
        text += w + "->ncd += " + kText + ";\n\t" + w + "->relCd = (long*) realloc (" + w +
                "->relCd, " + w + "->ncd*sizeof (long));\n\t";
        slot->second += k;
      } else {
        text += w + "->ncd = " + kText + ";\n\t" + w + "->relCd = (long*) new_malloc (" + kText +
                "*sizeof (long));\n\t";
        slots.emplace_back(depended, k);
        slot = slots.end() - 1;
      }
      if (v == 0)
        index = slot->second - k;
    }
  }
  for (s_cond *cond : variable->conditions) {
    geneCondition(gen, gen.classBodyFile, gen.classHeaderFile, cond, comp, condOfStateVar, "");
    if (gen.typeGeneratedAlready)
      continue;
    text += conditionLinks(member, cond);
    for (s_variable *depended : variable->variables)
      text += geneVarName(depended) + "->relCd[" + std::to_string(index++) + "] = " + posCond +
              ";\n\t";
  }
  emitClass(gen, gen.classBodyFile, text);
}

// Mapping functions of transition `n` (member `tn`): class text is added to
// `body`, expressions and conditions are written to the class files first.
void geneMapFuncs(GenerationState &gen, Comp *comp, Transition *transition, long n,
                  const std::string &tn, std::string &body) {
  if (transition->mf == nullptr || transition->mf->empty())
    return;
  if (!gen.typeGeneratedAlready)
    body += tn + "->mf = new vector<MapFunc*> ();\n\t";
  for (size_t j = 0; j < transition->mf->size(); ++j) {
    const MapFunc *mapping = (*transition->mf)[j];
    std::string jText = std::to_string(j);
    if (!gen.typeGeneratedAlready)
      body += tn + "->mf->push_back (new MapFunc (";
    if (mapping->cond != nullptr) {
      std::string cond = geneCondition(gen, gen.classBodyFile, gen.classHeaderFile, mapping->cond,
                                       comp, condOfMapFunc, tn + "->mf)[" + jText);
      if (cond != "NULL" && !gen.typeGeneratedAlready)
        body += cond;
    }
    if (!gen.typeGeneratedAlready)
      body += "));\n\t";
    if (mapping->vars == nullptr)
      continue;
    for (s_mapfVar *assigned : *mapping->vars) {
      if (assigned->expr == nullptr)
        continue;
      geneExpr(gen, gen.classBodyFile, gen.classHeaderFile, assigned->expr, comp, 1);
      std::string m = std::to_string(gen.mappingExprCount);
      gen.mappingExprRegistrations += "aMF[" + m + "] = " + comp->getVarName() + "->s_" +
                                      std::to_string(assigned->expr->geneNum) + ";\n\t";
      std::string s =
          geneContSymbName(gen, assigned->var, comp, refMapFunc, n, static_cast<long>(j), m);
      if (s != "NULL" && !gen.typeGeneratedAlready)
        body += "(*" + tn + "->mf)[" + jText + "]->mvs->push_back (mkMapfVar (getVarName (" + s +
                "), " + m + "));\n\t";
      ++gen.mappingExprCount;
    }
  }
}

// The compile puts the file in place once every clause file is written.
FILE *createClauseFile(const std::string &path) {
  FILE *file = std::fopen(pendingPath(path).c_str(), "w");
  if (file == nullptr) {
    std::printf("[Error]:Can't create clause file: %s. Exiting.\n", path.c_str());
    std::exit(-1);
  }
  return file;
}

}  // namespace

long geneTransitionNumber(const Transition *transition) {
  auto found = transitionNumbers.find(transition);
  return found != transitionNumbers.end() ? found->second : 0;
}

void setGeneTransitionNumber(const Transition *transition, long number) {
  transitionNumbers[transition] = number;
}

void geneStateVar(GenerationState &gen, Comp *comp, StateVar *variable, InstanceStateVars &shared) {
  const std::string &t = comp->typeName;
  const std::string s = variable->getSymbName();
  const std::string member = t + "_" + s;
  const std::string cls = runtimeClass(variable->getType());
  if (!gen.typeGeneratedAlready) {
    std::string header = "\t" + cls + "* " + member + ";\n";
    std::string body = "\n\tset<string> " + member + "_values;\n";
    for (const std::string &value : variable->values)
      body += "\t" + member + "_values.insert(\"" + value + "\");\n";
    body += "\tstring " + s + "name = name + \"." + s + "\";\n";
    body += "\t" + member + " = new " + cls + "(" + s + "name, " + member + "_values, \"" +
            variable->getDefault() + "\", this);\n\t";
    if (cls == "CommandVar" && static_cast<CommandVar *>(variable)->cmdIn)
      body += member + "->exo = 1;\n\t";
    body += "\taddStateVar(" + member + ");\n\n";
    for (const Atom *atom : variable->atomLinks) {
      const std::string &x = atom->value;
      const std::string atomMember = member + "_" + x;
      body += "\t" + atomMember + " = new Atom(" + member + ", \"" + x + "\", name + \"." + s + "=" +
              x + "\");\n\t\t(*atoms)[\"" + atomMember + "\"]=" + atomMember + ";\n\t";
      header += "\tAtom* " + atomMember + ";\n";
    }
    std::fputs(header.c_str(), gen.classHeaderFile);
    std::fputs(body.c_str(), gen.classBodyFile);
  }
  if (conf_get("discrete") == 0) {
    if (cls == "ModeVar")
      geneModeConditions(gen, comp, static_cast<ModeVar *>(variable), member);
    else if (cls == "CondVar")
      geneCondVarConditions(gen, comp, static_cast<CondVar *>(variable), member,
                            shared.conditionSlots);
  }
  // The commands the component issues, in one vector made at the first.
  if (cls == "CommandVar" && static_cast<CommandVar *>(variable)->cmdOut) {
    if (!shared.outputCommandsMade)
      emitClass(gen, gen.classBodyFile, "\tcmd_out = new vector<CommandVar*>();\n");
    emitClass(gen, gen.classBodyFile, "\tcmd_out->push_back (" + member + ");\n\t");
    shared.outputCommandsMade = true;
  }
  if (conf_get("continuous") == 0)
    for (Clause *clause : variable->clauses)
      geneClause(gen, comp, clause, variable);
}

void geneClause(GenerationState &gen, Comp *comp, Clause *clause, StateVar *variable,
                const std::string &condition) {
  const std::string n = std::to_string(++gen.clauseCount);
  const std::string v = comp->getVarName();
  const std::string cl = "cl" + n;
  std::string text = "\n\tClause* " + cl + " = new Clause (" + v + ");\n";
  // A clause's key true marks a negated literal; the generated code writes
  // true for a positive one.
  for (const auto &[negated, atom] : *clause->atoms)
    text += "\t" + cl + "->addAtomRef(" +
            geneDiscSymbName(gen, atom->getStateVar(), comp, symbClauseAtom, "", atom->getValue(),
                             "", "") +
            ", " + (negated ? "false" : "true") + ");\n";
  if (!condition.empty())
    text += "\t" + cl + "->setCondition (" + v + "->" + condition + ");\n";
  if (clause->getInternal() && variable != nullptr)
    text += "\t" + cl + "->setInternal(1);\n\t" + v + "->" + comp->typeName + "_" +
            variable->getSymbName() + "->internal_clauses->push_back(" + cl + ");\n";
  else
    text += "\t" + cl + "->setInternal(0);\n\t" + v + "->external_clauses->push_back(" + cl + ");\n\t";
  text += "sMM->cls->push_back (" + cl + ");\n\t";

  ++comp->clauseCount;
  if (modelClauseCount() <= clauseFileThreshold) {
    std::fputs(text.c_str(), gen.runtimeSourceFile);
    return;
  }
  if (comp->clauseCount > clauseFileThreshold) {
    std::fputs("}\n", gen.clauseBodyFile);
    std::fclose(gen.clauseBodyFile);
    std::fclose(gen.clauseHeaderFile);
    geneClausesFileHeaders(gen, comp);
    comp->clauseCount = 0;
  }
  std::fputs(text.c_str(), gen.clauseBodyFile);
}

void geneClausesFileHeaders(GenerationState &gen, Comp *comp) {
  const std::string base = comp->getVarName() + std::to_string(gen.nextClauseFileNumber);
  const std::string path = appliPath + "runtime/cl_" + base;
  gen.clauseHeaderFile = createClauseFile(path + ".h");
  // The header declares every instance: written by its known length, not rescanned.
  std::fwrite(gen.model->clauseHeader.data(), 1, gen.model->clauseHeader.size(),
              gen.clauseHeaderFile);
  emitf(gen.runtimeHeaderFile, "extern void init_cl_%s (Scheduler* sMM);\n\t", base.c_str());
  emitf(gen.runtimeSourceFile, "init_cl_%s (sMM);\n\t", base.c_str());
  emitf(gen.clauseHeaderFile, "\n\textern void init_cl_%s (Scheduler* sMM);\n\t", base.c_str());
  gen.clauseBodyFile = createClauseFile(path + ".cpp");
  emitf(gen.clauseBodyFile, "#include \"cl_%s.h\"\n\nvoid init_cl_%s (Scheduler* sMM) {\n\t",
        base.c_str(), base.c_str());
  gen.clauseFiles.push_back("runtime/cl_" + base);
  ++gen.nextClauseFileNumber;
}

void geneTransition(GenerationState &gen, Comp *comp, Transition *transition) {
  long n = gen.transitionCount;
  if (gen.typeGeneratedAlready)
    n = geneTransitionNumber(transition);
  else
    setGeneTransitionNumber(transition, n);
  const std::string nText = std::to_string(n);
  const std::string &t = comp->typeName;
  const std::string tn = t + "_t" + nText;

  geneStateformula(gen, comp, transition->pre, nText, true);
  std::string pre = t + "_stf" + std::to_string(transition->pre->tag);
  std::string posts;
  std::string post = "NULL";
  if (transition->post != nullptr) {
    geneStateformula(gen, comp, transition->post, nText, false);
    post = t + "_stf" + std::to_string(transition->post->tag);
  } else if (transition->posts != nullptr) {
    // Several post-conditions, by key.
    post = tn + "_posts";
    posts = "\n\tmap<int, StateFormula*>* " + post + " = new map<int, StateFormula*> ();\n";
    for (const auto &[key, formula] : *transition->posts) {
      geneStateformula(gen, comp, formula, nText, false);
      posts += "\t(*" + post + ")[" + std::to_string(key) + "] = " + t + "_stf" +
               std::to_string(formula->tag) + ";\n";
    }
  }

  // The class text is built only when the class is written.
  std::string body;
  if (!gen.typeGeneratedAlready) {
    body = posts + "\n\t" + tn + " = new Transition(" + pre + ", " + post + ", \"" +
           transition->type + "\", " + streamed(transition->proba);
    if (transition->post != nullptr || transition->posts == nullptr)
      body += ", " + streamed(transition->proba2) + (transition->idle ? ", 1);\n" : ", 0);\n");
    else
      body += ");\n";
    body += tn + "->trans_id = " + std::to_string(transition->id) + ";\n\t";
  }
  geneMapFuncs(gen, comp, transition, n, tn, body);
  if (gen.typeGeneratedAlready)
    return;
  std::string header = "\n\tTransition* " + tn + ";\n";
  body += "\n\taddTransitionToC(" + tn + ");\n\t";
  std::fputs(header.c_str(), gen.classHeaderFile);
  std::fputs(body.c_str(), gen.classBodyFile);
  ++gen.transitionCount;
}

void geneStateformula(GenerationState &gen, Comp *comp, StateFormula *formula,
                      const std::string &transitionNumber, bool isPre) {
  if (!gen.typeGeneratedAlready)
    formula->tag = static_cast<int>(gen.stateFormulaCount);
  const std::string k = std::to_string(formula->tag);
  const std::string &t = comp->typeName;
  const std::string stf = t + "_stf" + k;
  std::string header = "\tStateFormula* " + stf + ";\n";
  std::string body = "\n\t" + stf + " = new StateFormula();\n";
  for (const auto &[sign, atom] : *formula->atoms) {
    std::string x = atom->getValue();
    std::string c;
    if (atom->attributes != nullptr) {
      auto entry = atom->attributes->find(comp->getName());
      if (entry != atom->attributes->end()) {
        size_t percent = entry->second.find('%');
        x = entry->second.substr(0, percent);
        c = percent == std::string::npos ? "" : entry->second.substr(percent + 1);
      }
    }
    StateVar *variable = atom->getStateVar();
    std::string added =
        geneDiscSymbName(gen, variable, comp, symbFormulaAtom, k, x, sign ? "1" : "0", c);
    const Comp *owner = findComp(instancePart(variable->getName()));
    if (added.empty() && owner != nullptr) {
      // The atom is linked to the transition once both instances exist.
      std::string target = std::string(owner->getVarName()) + "->" + owner->typeName + "_" +
                           variable->getSymbName() + "_" + atom->getValue();
      std::string link = "\t" + std::string(comp->getVarName()) + "->" + t + "_t" + transitionNumber;
      if (isPre)
        gen.crossReferences += link + "->refAtomPre (" + (sign ? "1, " : "0, ") + target + ");\n";
      else
        gen.crossReferences += link + "->refAtomPost (" + target + ");\n";
    }
    body += added + " /* gen */\n";
  }
  body += "\t" + stf + "->setOperat(\"" + formula->getOperat() + "\");\n";
  if (!gen.typeGeneratedAlready) {
    std::fputs(header.c_str(), gen.classHeaderFile);
    std::fputs(body.c_str(), gen.classBodyFile);
  }
  ++gen.stateFormulaCount;
}
