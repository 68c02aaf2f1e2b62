#include "application.h"

#include <map>
#include <string>

#include "Atom.h"
#include "Clause.h"
#include "StateFormula.h"
#include "StateVar.h"
#include "Transition.h"
#include "continuous_step.h"

namespace {

// The continuous conditions tied to the values of a variable, for the kinds
// that have them.
ConditionTable *conditionsOf(StateVar *variable) {
  if (variable->type == "Mode")
    return static_cast<ModeVar *>(variable)->conditions;
  if (variable->type == "Dependent" || variable->type == "Observable")
    return static_cast<DependentVar *>(variable)->conditions;
  if (variable->type == "Cond")
    return static_cast<CondVar *>(variable)->conditions;
  return NULL;
}

// The generated code names things after the instance names of the model
// file ("heater1.temp"); the workbench prints them after the instance
// variables ("heater.temp"), and so do the report and the files.
class Renaming {
 public:
  explicit Renaming(const Scheduler &scheduler) {
    for (Comp *comp : *scheduler.comps)
      variableOf[comp->name] = comp->var_name;
  }
  std::string operator()(const std::string &name) const {
    size_t dot = name.find('.');
    auto found = dot == std::string::npos ? variableOf.end() : variableOf.find(name.substr(0, dot));
    return found == variableOf.end() ? name : found->second + name.substr(dot);
  }

 private:
  std::map<std::string, std::string> variableOf;
};

// Positions of the condition table written by the class code, moved by the
// offset of the component that holds them, under the atoms' new names.
void resolveConditionTable(ConditionTable *table, long offset, const Renaming &renamed) {
  ConditionTable resolved;
  for (const auto &entry : *table)
    resolved.insert({renamed(entry.first), entry.second + offset});
  table->swap(resolved);
}

void resolveReadingConditions(const Scheduler &scheduler, runtime rt) {
  std::map<std::string, long> offsetOf;
  for (const Comp *comp : *scheduler.comps)
    offsetOf[comp->name] = comp->condition_offset;
  for (long i = 0; i < rt->nvar; ++i) {
    variable v = rt->dico[i];
    auto owner = offsetOf.find(std::string(v->nom).substr(0, std::string(v->nom).find('.')));
    for (long k = 0; owner != offsetOf.end() && v->relCd != NULL && k < v->ncd; ++k)
      v->relCd[k] += owner->second;
  }
}

condition conditionAt(runtime rt, long position) {
  if (rt == NULL || position < 0 || position >= rt->ncondi)
    return NULL;
  return rt->condi[position];
}

const char *relationText(int relation) {
  static const char *const texts[] = {"?", "=", "!=", "<=", "<", ">=", ">", "in"};
  return relation >= 0 && relation <= opIn ? texts[relation] : "?";
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string valueText(objet value) {
  if (value == NULL)
    return "?";
  if (value->type == objRange)
    return "[" + number(value->val.low) + ", " + number(value->val.up) + "]";
  return number(value->val.low);
}

std::string expressionText(expr e) {
  if (e == NULL)
    return "?";
  static const char *const operators[] = {"", "", " + ", " - ", " * ", " / ", " ** "};
  switch (e->tex) {
  case exprAdd:
  case exprSub:
  case exprMul:
  case exprDiv:
  case exprPow:
    return "(" + expressionText(e->op1) + operators[e->tex] + expressionText(e->op2) + ")";
  case exprSign:
    return "-" + expressionText(e->op1);
  default:
    if (e->gv == NULL)
      return "?";
    if (e->gv->tgv == gvVariable && e->gv->uv.var != NULL)
      return e->gv->uv.var->nom;
    return valueText(e->gv->ob);
  }
}

std::string conditionText(condition c) {
  if (c == NULL)
    return "none";
  switch (c->type) {
  case 1:
    return c->cte != 0 ? "true" : "false";
  case 2:
    return std::string(c->var1 != NULL ? c->var1->nom : "?") + " " + relationText(c->opr) + " " +
           (c->var2 != NULL ? c->var2->nom : valueText(c->ob));
  case 3:
    return "(" + conditionText(c->op1) + ") | (" + conditionText(c->op2) + ")";
  case 4:
    return "(" + conditionText(c->op1) + ") & (" + conditionText(c->op2) + ")";
  case 5:
    return "!(" + conditionText(c->op1) + ")";
  case 6:
    return c->at != NULL ? c->at->id : "no atom";
  case 7:
    return std::string(c->var1 != NULL ? c->var1->nom : "?") + " " + relationText(c->opr) + " " +
           expressionText(c->e);
  default:
    return "type " + std::to_string(c->type);
  }
}

void listCommands(FILE *out, const char *title, const std::vector<CommandVar *> *commands) {
  std::fprintf(out, "  %s:", title);
  if (commands == NULL || commands->empty())
    std::fprintf(out, " none");
  for (size_t i = 0; commands != NULL && i < commands->size(); ++i)
    std::fprintf(out, " %s", (*commands)[i]->name.c_str());
  std::fprintf(out, "\n");
}

std::string formulaText(const StateFormula *formula) {
  std::string text;
  const char *joint = formula->operat == "or" ? " | " : " & ";
  for (const auto &literal : *formula->atoms) {
    if (!text.empty())
      text += joint;
    text += (literal.first ? "" : "!") + literal.second->id;
  }
  return text.empty() ? "true" : text;
}

void describeTransition(FILE *out, const Transition *transition) {
  std::string results;
  if (transition->posts == NULL)
    results = formulaText(transition->post);
  for (const auto &result : transition->posts != NULL ? *transition->posts
                                                      : std::map<int, StateFormula *>())
    results += (results.empty() ? "" : " or ") + formulaText(result.second);
  std::fprintf(out, "  transition %s %g%s: %s -> %s\n", transition->type.c_str(), transition->proba,
               transition->idle ? " idle" : "", formulaText(transition->pre).c_str(),
               results.c_str());
}

void describeComponent(FILE *out, const Comp *comp, runtime rt) {
  std::fprintf(out, "component %s (type %s, instance %s)\n", comp->var_name.c_str(),
               comp->type.c_str(), comp->name.c_str());
  listCommands(out, "commands in", comp->cmd_in);
  listCommands(out, "commands out", comp->cmd_out);
  std::fprintf(out, "  uses:");
  if (comp->imported_comps->empty())
    std::fprintf(out, " none");
  for (const Comp *used : *comp->imported_comps)
    std::fprintf(out, " %s", used != NULL ? used->var_name.c_str() : "(missing)");
  std::fprintf(out, "\n");
  for (StateVar *variable : *comp->state_vars) {
    std::fprintf(out, "  %s %s = %s; values", variable->type.c_str(), variable->name.c_str(),
                 variable->currentState.c_str());
    for (const std::string &value : variable->values)
      std::fprintf(out, " %s", value.c_str());
    std::fprintf(out, "%s\n", variable->exo ? "; exogenous" : "");
    if (ConditionTable *table = conditionsOf(variable))
      for (const auto &entry : *table)
        std::fprintf(out, "    %s when condition %ld: %s\n", entry.first.c_str(), entry.second,
                     conditionText(conditionAt(rt, entry.second)).c_str());
  }
  for (const Transition *transition : *comp->transitions)
    describeTransition(out, transition);
}

void describeClause(FILE *out, const Clause *clause, runtime rt) {
  std::fprintf(out, "clause");
  if (clause->cond != NULL)
    for (long k = 0; rt != NULL && k < rt->ncondi; ++k)
      if (rt->condi[k] == clause->cond)
        std::fprintf(out, " when condition %ld:", k);
  const char *separator = " ";
  for (const auto &literal : *clause->atoms) {
    std::fprintf(out, "%s%s%s", separator, literal.first ? "" : "non - ", literal.second->id.c_str());
    separator = " \\/ ";
  }
  std::fprintf(out, "\n");
}

void describeInfluences(FILE *out, runtime rt) {
  static const char *const arrows[] = {"?", "D", "I", "S", "C", "D2"};
  for (long i = 0; i < rt->nifl; ++i) {
    influence f = rt->infl[i];
    if (f == NULL)
      continue;
    std::fprintf(out, "influence %s: %s -%s-> %s; gain %g; delay %ld; resptime %g", f->name,
                 f->cause != NULL ? f->cause->nom : "none",
                 f->it >= influDynamic && f->it <= influSecondOrder ? arrows[f->it] : "?",
                 f->effet != NULL ? f->effet->nom : "none", coefficient(f->gain),
                 (f->delinf + f->delsup) / 2, coefficient(f->tRep));
    if (f->it == influSecondOrder && f->w != NULL)
      std::fprintf(out, "; xi %g; w %g", coefficient(f->xi), coefficient(f->w));
    if (f->cd != NULL)
      std::fprintf(out, " when %s", conditionText(f->cd).c_str());
    std::fprintf(out, "\n");
  }
}

void describeVariables(FILE *out, runtime rt) {
  std::map<variable, objet> initial;
  for (long i = 0; i < rt->nit; ++i)
    if (rt->iv[i] != NULL)
      initial[rt->iv[i]->var] = rt->iv[i]->val;
  struct Role {
    variable *table;
    long count;
    const char *name;
  };
  const Role roles[] = {{rt->in, rt->nin, "input"}, {rt->mes, rt->nmes, "measure"},
                        {rt->disp, rt->ndisp, "display"}};
  for (long i = 0; i < rt->nvar; ++i) {
    variable v = rt->dico[i];
    std::fprintf(out, "variable %s", v->nom);
    for (const auto &[table, count, role] : roles)
      for (long k = 0; k < count; ++k)
        if (table[k] == v)
          std::fprintf(out, " %s", role);
    if (v->cst)
      std::fprintf(out, " = %s", valueText(v->oldVal).c_str());
    else if (v->dom != NULL)
      std::fprintf(out, " in %s", valueText(v->dom).c_str());
    auto init = initial.find(v);
    if (init != initial.end())
      std::fprintf(out, "; initial %s", valueText(init->second).c_str());
    if (v->ncd > 0) {
      std::fprintf(out, "; read by conditions");
      for (long k = 0; k < v->ncd; ++k)
        std::fprintf(out, " %ld", v->relCd[k]);
    }
    std::fprintf(out, "\n");
  }
}

// Drops the empty entries of a variable table: the tables count the
// variables of instances a model declares and never instantiates, which have
// no entry.
void dropEmptyEntries(variable *table, long &count) {
  long kept = 0;
  for (long i = 0; i < count; ++i)
    if (table[i] != NULL)
      table[kept++] = table[i];
  count = kept;
}

} // namespace

Application prepareApplication(Scheduler &scheduler, runtime rt) {
  Renaming renamed(scheduler);
  if (rt != NULL) {
    dropEmptyEntries(rt->in, rt->nin);
    dropEmptyEntries(rt->mes, rt->nmes);
    dropEmptyEntries(rt->disp, rt->ndisp);
    resolveReadingConditions(scheduler, rt);
  }
  for (Comp *comp : *scheduler.comps)
    for (StateVar *variable : *comp->state_vars) {
      if (ConditionTable *table = conditionsOf(variable))
        resolveConditionTable(table, comp->condition_offset, renamed);
      variable->name = renamed(variable->name);
      for (Atom *atom : *variable->atomLinks)
        atom->id = renamed(atom->id);
    }
  for (long i = 0; rt != NULL && i < rt->nvar; ++i)
    rt->dico[i]->nom = mkString(renamed(rt->dico[i]->nom).c_str());
  // A rule is named after the instance whose class was generated; it
  // belongs to the instance of the variable it computes.
  for (long i = 0; rt != NULL && i < rt->nifl; ++i) {
    influence f = rt->infl[i];
    std::string rule = f != NULL ? f->name : "";
    size_t dot = rule.find('.');
    if (f == NULL || f->effet == NULL || dot == std::string::npos)
      continue;
    std::string owner = f->effet->nom;
    f->name = mkString((owner.substr(0, owner.find('.')) + rule.substr(dot)).c_str());
  }
  for (Comp *comp : *scheduler.comps)
    for (Transition *transition : *comp->transitions)
      for (size_t m = 0; transition->mf != NULL && m < transition->mf->size(); ++m)
        for (mapfVar reset : *(*transition->mf)[m]->mvs)
          reset->var = mkString(renamed(reset->var).c_str());

  Application application{&scheduler, rt, {}};
  for (Comp *comp : *scheduler.comps)
    for (StateVar *variable : *comp->state_vars) {
      if (variable->type != "Cond")
        continue;
      const ConditionTable *table = conditionsOf(variable);
      ConditionVariable conditioned{variable, {}};
      for (Atom *atom : *variable->atomLinks)
        for (auto entry = table->lower_bound(atom->id); entry != table->upper_bound(atom->id);
             ++entry)
          conditioned.values.push_back({atom, entry->second, conditionAt(rt, entry->second)});
      application.conditionVariables.push_back(conditioned);
    }
  return application;
}

void describeApplication(FILE *out, const Application &application) {
  const Scheduler &scheduler = *application.scheduler;
  runtime rt = application.rt;
  std::fprintf(out, "Application \"%s\": %zu components, %zu clauses", model_name.c_str(),
               scheduler.comps->size(), scheduler.cls->size());
  if (rt != NULL)
    std::fprintf(out, ", %ld variables, %ld condition slots, time step %g", rt->nvar, rt->ncondi,
                 rt->ts);
  std::fprintf(out, ".\n");
  for (const Comp *comp : *scheduler.comps)
    describeComponent(out, comp, rt);
  for (const Clause *clause : *scheduler.cls)
    describeClause(out, clause, rt);
  if (rt == NULL)
    return;
  for (long i = 0; i < rt->ncondi; ++i)
    if (rt->condi[i] != NULL)
      std::fprintf(out, "condition %ld: %s\n", i, conditionText(rt->condi[i]).c_str());
  describeInfluences(out, rt);
  describeVariables(out, rt);
}
