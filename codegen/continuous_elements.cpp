#include "codegen/continuous_elements.h"

#include <cmath>
#include <map>
#include <vector>

#include "codegen/atom_names.h"
#include "codegen/emit.h"
#include "codegen/generation_state.h"
#include "common/options.h"
#include "continuous/causal_graph.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"

std::string posCond;

namespace {

// A condition generated in this compile: the component whose class holds
// it, its member name there, and its place in the runtime's table.
struct GeneratedCond {
  const Comp *owner;
  std::string name;
  long position;
};

std::map<const s_cond *, GeneratedCond> generatedConds;
std::map<const s_gVar *, const Comp *> gvarOwners;
// The conditions each instance made, in creation order, and the rank of
// each among its instance's; built at the first need of a compile.
struct MadeConditions {
  std::map<std::string, std::vector<const s_cond *>> byInstance;
  std::map<const s_cond *, size_t> rank;
};
MadeConditions madeConditions;

// A later instance of a type made its conditions in the order the type's
// first instance did: the condition of that instance at the same rank, whose
// name the class gives to both.
const s_cond *classCounterpart(GenerationState &gen, const s_cond *cond) {
  if (madeConditions.rank.empty())
    for (const s_cond *made : conditions) {
      std::vector<const s_cond *> &list = madeConditions.byInstance[instancePart(made->name)];
      madeConditions.rank[made] = list.size();
      list.push_back(made);
    }
  auto rank = madeConditions.rank.find(cond);
  auto model = madeConditions.byInstance.find(gen.classInstance->varName);
  if (rank == madeConditions.rank.end() || model == madeConditions.byInstance.end() ||
      rank->second >= model->second.size())
    return cond;
  return model->second[rank->second];
}

// Per type, the record numbers of the initialisations of its class.
std::map<std::string, std::vector<long>> classInitRecords;
// Records whose generation marks a new compile must clear.
std::vector<s_cond *> markedConds;
std::vector<s_gVar *> markedGVars;
std::vector<s_expr *> numberedExprs;

const char *cstr(const std::string &text) { return text.c_str(); }

// The value a variable's domain holds, following a domain copied from a parameter.
const s_objet *domainValue(const s_variable *var) {
  for (int hops = 0; var != nullptr && var->dom != nullptr && hops < 100; ++hops) {
    if (var->dom->val != nullptr)
      return var->dom->val;
    var = var->dom->var;
  }
  return nullptr;
}

void geneDomain(FILE *body, const char *kind, long n, const s_objet *value) {
  if (value == nullptr || (value->type != objReal && value->type != objRange))
    return;
  if (value->type == objReal) {
    emitf(body, "\tsetObjType(%s_%ld,(objType)%d);\n", kind, n, objReal);
    emitf(body, "\trange r_%ld%ld = {", n, 0L);
    geneReal(body, value->value->real);
    emitf(body, ",%g, 1, 1", 0.0);
  } else {
    const s_range *r = value->value->range;
    emitf(body, "\tsetObjType(%s_%ld,(objType)%d);\n\t", kind, n, objRange);
    emitf(body, "\trange r_%ld%ld = {", n, 0L);
    const double parts[] = {r->lower, r->upper, double(r->lowerClosed), double(r->upperClosed)};
    for (size_t i = 0; i < 4; ++i) {
      if (i > 0)
        std::fputs(",", body);
      geneReal(body, parts[i]);
    }
  }
  emitf(body, "};\n\tsetObjRangeVal(%s_%ld,r_%ld%ld);\n", kind, n, n, 0L);
}

// A value object without value (type 0), carried by range number `range`.
void geneEmptyObject(FILE *body, const char *name, long n, long range) {
  emitf(body, "\tobjet %s_%ld=(objet) new_malloc(sizeof(s_Objet));\n", name, n);
  emitf(body, "\tsetObjType(%s_%ld,(objType)%d);\n", name, n, objNone);
  emitf(body, "\trange r_%ld%ld = {%g,%g, 1, 1};\n", n, range, 0.0, 0.0);
  emitf(body, "\tsetObjRangeVal(%s_%ld,r_%ld%ld);\n\t", name, n, n, range);
}

// One history array of h empty objects; `tag` marks its range names and k
// numbers them across the variable's arrays.
void geneHistory(FILE *body, const char *array, const char *tag, long n, long h, long &k) {
  emitf(body, "objet* %s_%ld = (objet*) new_malloc (%ld*sizeof (objet));\n\t", array, n, h);
  for (long i = 0; i < h; ++i, ++k) {
    emitf(body, "%s_%ld[%ld] = (objet) new_malloc (sizeof (s_Objet));\n\t", array, n, i);
    emitf(body, "setObjType (%s_%ld[%ld], (objType)0);\n\t", array, n, i);
    emitf(body, "range r_%ld%s%ld = {%g, %g, 1, 1};\n\t", n, tag, k, 0.0, 0.0);
    emitf(body, "setObjRangeVal (%s_%ld[%ld], r_%ld%s%ld);\n\t", array, n, i, n, tag, k);
  }
}

// Declares the object `name` holding `value`, or NULL without value.
void geneOptionalObject(FILE *body, const std::string &name, const s_objet *value) {
  if (value == nullptr) {
    emitf(body, "objet %s=NULL;\n\t", cstr(name));
    return;
  }
  emitf(body, "objet %s=(objet) new_malloc(sizeof(s_Objet));\n\t", cstr(name));
  geneObjet(body, value, name);
}

// A number written as an influence's cause, made a constant variable of
// the class's start-up function; its name.
std::string geneLiteralConstant(FILE *body, const s_variable *constant, long n) {
  const char *s = cstr(constant->name);
  geneOptionalObject(body, textf("cv_%ld", n), constant->cstVal);
  emitf(body, "variable %s= (variable) new_malloc (sizeof(s_Variable));\n\t", s);
  emitf(body, "%s->nom=mkString((name + \".%s\").c_str());\n\t", s, s);
  emitf(body, "%s->cst = 1;\n\t%s->dom = NULL;\n\t%s->deter = 0;\n\t%s->oldVal = cv_%ld;\n\t"
              "%s->newVal = NULL;\n\t%s->mesVal = NULL;\n\t", s, s, s, s, n, s, s);
  emitf(body, "resetVarAlarms (%s);\n\t%s->histoMisb = NULL;%s->node = NULL;resetVarHisto (%s);\n\t"
              "%s->ncd = 0;%s->relCd = NULL;\n\t", s, s, s, s, s, s);
  return constant->name;
}

// Delay limits in time steps; a range whose lower limit comes to 0 steps is refused.
void delaySteps(GenerationState &gen, const s_objet *delay, long &lower, long &upper) {
  lower = upper = 0;
  if (delay == nullptr)
    return;
  if (delay->type == objRange) {
    lower = static_cast<long>(std::ceil(delay->value->range->lower / gen.timeStep));
    upper = static_cast<long>(std::ceil(delay->value->range->upper / gen.timeStep));
    if (lower == 0)
      semError(semErrorNoLine, 0, 37);
  } else if (delay->type == objReal) {
    lower = upper = static_cast<long>(std::ceil(delay->value->real / gen.timeStep));
  }
}

// The generated number of an influence: its rank in its component.
long influenceNumber(const s_influence *influence) {
  const Comp *owner = influence->comp;
  if (owner == nullptr || owner->influences == nullptr)
    return 0;
  for (size_t i = 0; i < owner->influences->size(); ++i)
    if ((*owner->influences)[i] == influence)
      return static_cast<long>(i) + 1;
  return 0;
}

// The array of a node's cause (j) or effect (k) influences.
void geneInfluenceArray(GenerationState &gen, FILE *body, FILE *header, Comp *comp, char array,
                        long n, const std::vector<s_influence *> &influences) {
  emitClassf(gen, header, "influence* %c_%ld;\n\t", array, n);
  emitClassf(gen, body, "%c_%ld = (influence*) new_malloc (%ld*sizeof (influence));\n\t", array, n,
             static_cast<long>(influences.size()));
  for (size_t i = 0; i < influences.size(); ++i) {
    const s_influence *influence = influences[i];
    long m = influenceNumber(influence);
    long slot = static_cast<long>(i);
    const Comp *owner = influence->comp;
    if (owner == nullptr || owner == comp) {
      emitClassf(gen, body, "%c_%ld[%ld] = i_i%ld;\n\t", array, n, slot, m);
      continue;
    }
    std::string member = memberFor(gen, comp, owner);
    if (!member.empty()) {
      emitClassf(gen, body, "%c_%ld[%ld] = %s->i_i%ld;\n\t", array, n, slot, cstr(member), m);
      continue;
    }
    emitClassf(gen, body, "%c_%ld[%ld] = NULL;\n\t", array, n, slot);
    gen.crossReferences += textf("%s->%c_%ld[%ld] = %s->i_i%ld;\n\t", comp->getVarName(), array, n,
                                 slot, owner->getVarName(), m);
  }
}

void crossRefVariable(GenerationState &gen, const Comp *comp, const Comp *owner,
                      const std::string &s, ContRef ref, long number, long index,
                      const std::string &value) {
  const char *c = comp->getVarName();
  std::string o = std::string(owner->getVarName()) + "->" + s;
  switch (ref) {
  case refCause:
    gen.crossReferences += textf("%s->i_i%ld->cause = %s;\n\t", c, number, cstr(o));
    break;
  case refEffect:
    gen.crossReferences += textf("%s->i_i%ld->effet = %s;\n\t", c, number, cstr(o));
    break;
  case refGVar:
    gen.crossReferences += textf("%s->f_%ld->uv.var = %s;\n\t", c, number, cstr(o));
    break;
  case refMapFunc:
    gen.crossReferences +=
        textf("(*%s->%s_t%ld->mf)[%ld]->mvs->push_back (mkMapfVar (getVarName (%s), %s));\n\t", c,
              cstr(comp->typeName), number, index, cstr(o), cstr(value));
    break;
  case refCondVar:
    gen.crossReferences += textf("%s->%s->var1 = %s;\n\t", c, cstr(value), cstr(o));
    break;
  case refLocal:
    break;
  }
}

// How `comp` names a condition that another component generated.
std::string foreignCondition(GenerationState &gen, const GeneratedCond &known, const Comp *comp,
                             CondUse use, const std::string &reference) {
  std::string member = memberFor(gen, comp, known.owner);
  if (!member.empty())
    return member + "->" + known.name;
  std::string value = std::string(known.owner->getVarName()) + "->" + known.name;
  const char *c = comp->getVarName();
  if (use == condOfMapFunc)
    gen.crossReferences += textf("(*%s->%s]->cond = %s;\n\t", c, cstr(reference), cstr(value));
  else if (use != condOfStateVar && use != condOfConstraint)
    gen.crossReferences += textf("%s->%s = %s;\n\t", c, cstr(reference), cstr(value));
  return "NULL";
}

// The fields of a condition after its two operands and compared variable.
std::string conditionFields(const std::string &name, int opr, const std::string &at, long num,
                            long nle, const std::string &le, const std::string &e) {
  const char *c = cstr(name);
  return textf("%s->opr = (opRel)%d;\n\t%s->ob = NULL;\n\t%s->var2 = NULL;\n\t%s->val = 0;\n\t"
               "%s->at = %s;\n\t%s->num = %ld;\n\t%s->nle = %ld;\n\t%s->le = %s;\n\t%s->e = %s;\n\t",
               c, opr, c, c, c, c, cstr(at), c, num, c, nle, c, cstr(le), c, cstr(e));
}

// The member name of an atom in its type's class.
std::string atomMember(const Atom *atom, const Comp *comp) {
  return comp->typeName + "_" + atom->getStateVar()->getSymbName() + "_" + atom->getValue();
}

}  // namespace

const std::string &geneVarName(s_variable *var) {
  if (var->geneName.empty())
    var->geneName = memberPart(var->name);
  return var->geneName;
}

void geneVariable(GenerationState &gen, FILE *body, FILE *header, const char *prefix,
                  s_variable *var) {
  long n = ++gen.instanceVariableCount;
  const char *s = cstr(geneVarName(var));
  const char *kind = var->param ? "x" : "d";
  emitf(body, "\n\tobjet %s_%ld=  (objet) new_malloc(sizeof(s_Objet));\n\t", kind, n);
  geneDomain(body, kind, n, domainValue(var));
  long range = 1;
  if (!var->param) {
    geneEmptyObject(body, "x", n, range++);
    geneEmptyObject(body, "y", n, range++);
  }
  bool measured = (var->fct & fctMeasure) != 0;
  if (measured)
    geneEmptyObject(body, "z", n, range++);

  long h = static_cast<long>(std::ceil(var->maxDelay / gen.timeStep)) + twc;
  if (h > 0) {
    long k = 0;
    geneHistory(body, "m", "h", n, h, k);
    geneHistory(body, "o", "hm", n, h, k);
    emitf(body, "long* u_%ld = (long*) calloc (%ld, sizeof (long));\n\t", n, h);
    emitf(body, "long* w_%ld = (long*) calloc (%ld, sizeof (long));\n\t", n, h);
  }

  emitf(body, "\t%s= (variable) new_malloc (sizeof(s_Variable));\n\t", s);
  emitf(body, "%s->nom=mkString((name + \".%s\").c_str());\n\t", s, s);
  if (var->param)
    emitf(body, "%s->cst = 1;\n\t%s->dom = NULL;\n\t%s->deter = 0;\n\t%s->oldVal = x_%ld;\n\t"
                "%s->newVal = NULL;\n\t", s, s, s, s, n, s);
  else
    emitf(body, "%s->cst = 0;\n\t%s->dom = d_%ld;\n\t%s->deter = 0;\n\t%s->oldVal = x_%ld;\n\t"
                "%s->newVal = y_%ld;\n\t", s, s, n, s, s, n, s, n);
  if (measured)
    emitf(body, "%s->mesVal = z_%ld;\n\t", s, n);
  else
    emitf(body, "%s->mesVal = NULL;\n\t", s);
  emitf(body, "resetVarAlarms (%s);\n\t%s->histoMisb = NULL;", s, s);
  if (var->node != nullptr)
    emitf(body, "%s_n_%ld = (cGraph) new_malloc (sizeof (s_CGraph));\n\t%s->node = %s_n_%ld;\n\t",
          prefix, n, s, prefix, n);
  else
    emitf(body, "%s->node = NULL;", s);
  if (h > 0)
    emitf(body, "%s->histoLn = %ld;\n\t%s->histo = m_%ld;\n\t%s->histoMes = o_%ld;\n\t"
                "%s->histoLowAlrm = u_%ld;\n\t%s->histoHighAlrm = w_%ld;\n\t",
          s, h, s, n, s, n, s, n, s, n);
  else
    emitf(body, "resetVarHisto (%s);\n\t", s);
  emitf(body, "%s->ncd = 0;%s->relCd = NULL;", s, s);
  emitf(header, "\tvariable %s;\n", s);
}

void geneInfluence(GenerationState &gen, FILE *body, FILE *header, s_influence *influence,
                   Comp *comp) {
  long n = numInflu;
  long delInf = 0;
  long delSup = 0;
  delaySteps(gen, influence->delay, delInf, delSup);
  emitClass(gen, body, "\n");
  std::string cd = "NULL";
  if (influence->cond != nullptr)
    cd = geneCondition(gen, body, header, influence->cond, comp, condOfInfluence,
                       textf("i_i%ld->cd", n));
  if (gen.typeGeneratedAlready) {
    geneContSymbName(gen, influence->cause, comp, refCause, n);
    geneContSymbName(gen, influence->effect, comp, refEffect, n);
    return;
  }

  emitf(body, "\tenum boolVal t_%ld[%ld]={", n, influence->condHistoLn + 1);
  for (long i = 0; i <= influence->condHistoLn; ++i)
    std::fputs(i == 0 ? "(boolVal)1" : ",(boolVal)1", body);
  std::fputs("};", body);
  emitf(body, "\n\tobjet g_%ld=(objet) new_malloc(sizeof(s_Objet));\n\t", n);
  geneObjet(body, influence->gain != nullptr ? influence->gain : objUn, textf("g_%ld", n));

  geneOptionalObject(body, textf("xi_%ld", n), influence->xi);
  geneOptionalObject(body, textf("wn_%ld", n), influence->pulse);
  if (influence->n1 != nullptr) {
    geneOptionalObject(body, textf("n1_%ld", n), influence->n1);
    geneOptionalObject(body, textf("n2_%ld", n), influence->n2);
    geneOptionalObject(body, textf("d0_%ld", n), influence->a0);
    geneOptionalObject(body, textf("d1_%ld", n), influence->a1);
    geneOptionalObject(body, textf("d2_%ld", n), influence->a2);
  } else {
    emitf(body, "objet n1_%ld=NULL;\n\tobjet n2_%ld=NULL;\n\tobjet d0_%ld=NULL;\n\t"
                "objet d1_%ld=NULL;\n\tobjet d2_%ld=NULL;\n\t", n, n, n, n, n);
  }
  geneOptionalObject(body, textf("er_%ld", n),
                     influence->respTime != nullptr ? influence->respTime : objZero);
  for (const char *working : {"p", "q", "sa", "uu"})
    geneOptionalObject(body, textf("%s_%ld", working, n), objZero);

  std::string cause = influence->cause != nullptr && influence->cause->cstVal != nullptr
                          ? geneLiteralConstant(body, influence->cause, n)
                          : geneContSymbName(gen, influence->cause, comp, refCause, n);
  std::string effect = geneContSymbName(gen, influence->effect, comp, refEffect, n);
  emitf(header, "influence i_i%ld;\n\t", n);
  emitf(body, "i_i%ld=(influence) new_malloc(sizeof(s_Influence));\n\t", n);
  emitf(body, "i_i%ld->name = mkString(\"%s\");\n\t", n, cstr(influence->ruleName));
  emitf(body, "i_i%ld->it = (influType)%d;\n\t", n, static_cast<int>(influence->type));
  emitf(body, "i_i%ld->cause = %s;\n\t", n, cstr(cause));
  emitf(body, "i_i%ld->effet = %s;\n\t", n, cstr(effect));
  emitf(body, "i_i%ld->cd = %s;\n\t", n, cstr(cd));
  emitf(body, "i_i%ld->length_act_cond_hist = %ld;\n\t", n, influence->condHistoLn);
  emitf(body, "i_i%ld->act_cond_array = t_%ld;\n\t", n, n);
  emitf(body, "i_i%ld->gain = g_%ld;\n\t", n, n);
  emitf(body, "i_i%ld->delinf = %ld;\n\t", n, delInf);
  emitf(body, "i_i%ld->delsup = %ld;\n\t", n, delSup);
  const char *const fields[][2] = {{"tRep", "er"}, {"a", "p"},   {"b", "q"},   {"a2", "sa"},
                                   {"b2", "uu"},   {"xi", "xi"}, {"w", "wn"},  {"n1", "n1"},
                                   {"n2", "n2"},   {"d0", "d0"}, {"d1", "d1"}, {"d2", "d2"}};
  for (const auto &field : fields)
    emitf(body, "i_i%ld->%s = %s_%ld;\n\t", n, field[0], field[1], n);
  emitf(body, "addInfluence (i_i%ld);\n\t", n);
  bool functional = mrv_evlps_opti != 0 &&
                    (influence->type == inflDynamic || influence->type == inflIntegral ||
                     influence->type == inflStatic || influence->type == inflSecondOrder);
  emitf(body, "i_i%ld->inf_fct = %s;\n\t", n, functional ? "true" : "false");
}

void geneNode(GenerationState &gen, FILE *body, FILE *header, Comp *comp, s_variable *var) {
  long n = ++gen.instanceVariableCount;
  const s_cNode *node = var->node;
  if (node == nullptr)
    return;
  ++gen.instanceNodeCount;
  const char *t = cstr(comp->typeName);
  gen.nodeRegistrations +=
      textf("cG[%ld] = %s->%s_n_%ld;\n\t", gen.nodeTotal + gen.instanceNodeCount - 1,
            comp->getVarName(), t, n);

  if (!node->causes.empty())
    geneInfluenceArray(gen, body, header, comp, 'j', n, node->causes);
  if (!node->effects.empty())
    geneInfluenceArray(gen, body, header, comp, 'k', n, node->effects);
  if (!node->causes.empty())
    emitClassf(gen, body, "%s_n_%ld->ncause = %ld;\n\t%s_n_%ld->vcause = j_%ld;\n\t", t, n,
               static_cast<long>(node->causes.size()), t, n, n);
  else
    emitClassf(gen, body, "%s_n_%ld->ncause = 0;\n\t%s_n_%ld->vcause = NULL;\n\t", t, n, t, n);
  emitClassf(gen, body, "%s_n_%ld->ti = (influType)%d;\n\t", t, n, node->type);
  if (!node->effects.empty())
    emitClassf(gen, body, "%s_n_%ld->neffet = %ld;\n\t%s_n_%ld->veffet = k_%ld;\n\t", t, n,
               static_cast<long>(node->effects.size()), t, n, n);
  else
    emitClassf(gen, body, "%s_n_%ld->neffet = 0;\n\t%s_n_%ld->veffet = NULL;\n\t", t, n, t, n);
  emitClassf(gen, header, "\n\tcGraph %s_n_%ld;\n\t", t, n);
}

long geneGVar(GenerationState &gen, FILE *body, FILE *header, s_gVar *gvar, Comp *comp) {
  if (gvar->generated)
    return gvar->geneNum;
  gvar->generated = 1;
  markedGVars.push_back(gvar);
  gvarOwners[gvar] = comp;
  // Discrete-only generation writes no continuous variables: a global
  // variable then refers to none.
  const bool refersToVariable = gvar->var != nullptr && conf_get("discrete") == 0;
  if (gen.typeGeneratedAlready) {
    // The class holds the element already, under the number copied from
    // the instance it was generated for.
    if (refersToVariable)
      geneContSymbName(gen, gvar->var, comp, refGVar, gvar->geneNum);
    return gvar->geneNum;
  }
  long m = gen.globalVariableCount;
  gvar->geneNum = m;
  emitf(body, "\tobjet b_%ld = (objet) new_malloc (sizeof (s_Objet));\n\t", m);
  geneObjet(body, gvar->value != nullptr ? gvar->value : objZero, textf("b_%ld", m));
  for (const auto &[array, positions] : {std::make_pair("l", gvar->globC),
                                         std::make_pair("lc", gvar->condC)}) {
    if (positions == nullptr)
      continue;
    long count = listsarnLongLn(positions);
    emitf(body, "long* %s_%ld = (long*) new_malloc (%ld*sizeof (long));\n\t%s_%ld[0] = %ld;\n\t",
          array, m, count + 1, array, m, count);
    long index = 1;
    for (const s_listsarnLong *cell = positions; cell != nullptr; cell = cell->next)
      emitf(body, "%s_%ld[%ld] = %ld;\n\t", array, m, index++, cell->elt);
  }
  emitf(header, "gVar f_%ld;\n\t", m);
  emitf(body, "f_%ld = (gVar) new_malloc (sizeof (s_GVar));\n\t", m);
  if (refersToVariable)
    emitf(body, "f_%ld->tgv = (gVarType)1;\n\tf_%ld->uv.var = %s;\n\t", m, m,
          cstr(geneContSymbName(gen, gvar->var, comp, refGVar, m)));
  else if (gvar->var != nullptr)
    emitf(body, "f_%ld->tgv = (gVarType)1;\n\tf_%ld->uv.var = NULL;\n\t", m, m);
  else
    emitf(body, "f_%ld->tgv = (gVarType)0;\n\tf_%ld->uv.var = NULL;\n\t", m, m);
  emitf(body, "f_%ld->ob = b_%ld;\n\t", m, m);
  if (gvar->globC != nullptr)
    emitf(body, "f_%ld->nex = %ld;\n\tf_%ld->ex = l_%ld;\n\t", m, listsarnLongLn(gvar->globC), m, m);
  else
    emitf(body, "f_%ld->nex = 0;\n\tf_%ld->ex = NULL;\n\t", m, m);
  if (gvar->condC != nullptr)
    emitf(body, "f_%ld->ncex = %ld;\n\tf_%ld->cex = lc_%ld;\n\t", m, listsarnLongLn(gvar->condC), m, m);
  else
    emitf(body, "f_%ld->ncex = 0;\n\tf_%ld->cex = NULL;\n\t", m, m);
  ++gen.globalVariableCount;
  return m;
}

void geneGlobVs(GenerationState &gen, FILE *body, FILE *header, s_listsarnGVar *list, Comp *comp) {
  for (; list != nullptr; list = list->next) {
    long m = geneGVar(gen, body, header, list->elt, comp);
    gen.globalVariableRegistrations +=
        textf("gV[%ld] = %s->f_%ld;\n\t", gen.globalVariableEntryCount++, comp->getVarName(), m);
  }
}

void geneExpr(GenerationState &gen, FILE *body, FILE *header, s_expr *expr, Comp *comp,
              int isCondition) {
  if (expr == nullptr)
    return;
  if (!isCondition && expr->tex == exprConst) {
    implError(9);
    return;
  }
  if (expr->geneNum != 0)
    return;
  geneExpr(gen, body, header, expr->op1, comp, 1);
  geneExpr(gen, body, header, expr->op2, comp, 1);
  long n = ++gen.expressionCount;
  expr->geneNum = n;
  numberedExprs.push_back(expr);

  std::string gv = "NULL";
  if (s_gVar *gvar = expr->gv) {
    auto owner = gvarOwners.find(gvar);
    if (gvar->generated && owner != gvarOwners.end() && owner->second != comp) {
      std::string member = memberFor(gen, comp, owner->second);
      if (!member.empty())
        gv = textf("%s->f_%ld", cstr(member), gvar->geneNum);
      else
        gen.crossReferences += textf("%s->s_%ld->gv = %s->f_%ld;\n\t", comp->getVarName(), n,
                                     owner->second->getVarName(), gvar->geneNum);
    } else {
      gv = textf("f_%ld", geneGVar(gen, body, header, gvar, comp));
    }
  }
  std::string op1 = expr->op1 != nullptr ? textf("s_%ld", expr->op1->geneNum) : "NULL";
  std::string op2 = expr->op2 != nullptr ? textf("s_%ld", expr->op2->geneNum) : "NULL";
  emitClassf(gen, header, "\n\texpr s_%ld;\n\t", n);
  emitClassf(gen, body,
             "s_%ld = (expr) new_malloc (sizeof (s_Expr));\n\ts_%ld->tex = (exprType)%d;\n\t"
             "s_%ld->gv = %s;\n\ts_%ld->op1 = %s;\n\ts_%ld->op2 = %s;\n\t",
             n, n, static_cast<int>(expr->tex), n, cstr(gv), n, cstr(op1), n, cstr(op2));
}

void geneGlobCs(GenerationState &gen, FILE *body, FILE *header, s_listsarnExpr *list, Comp *comp) {
  for (; list != nullptr; list = list->next) {
    geneExpr(gen, body, header, list->elt, comp, 0);
    if (list->elt != nullptr && list->elt->geneNum != 0)
      gen.globalConstraintRegistrations +=
          textf("aG[%ld] = %s->s_%ld;\n\t", gen.globalConstraintCount++, comp->getVarName(),
                list->elt->geneNum);
  }
}

void geneCondCs(GenerationState &gen, FILE *body, FILE *header, s_listsarnExpr *list, Comp *comp) {
  for (; list != nullptr; list = list->next) {
    geneExpr(gen, body, header, list->elt, comp, 1);
    if (list->elt != nullptr && list->elt->geneNum != 0)
      gen.conditionConstraintRegistrations +=
          textf("aC[%ld] = %s->s_%ld;\n\t", gen.conditionConstraintCount++, comp->getVarName(),
                list->elt->geneNum);
  }
}

void geneInitV(GenerationState &gen, s_listsarnInitVar *list, Comp *comp) {
  // The records are members of the class, numbered for its first instance;
  // every instance registers its own under those numbers.
  std::vector<long> &records = classInitRecords[comp->typeName];
  for (size_t position = 0; list != nullptr; list = list->next, ++position) {
    if (!gen.typeGeneratedAlready)
      records.push_back(geneInitVar(gen, list->elt));
    if (position < records.size())
      gen.initRegistrations += textf("init[%ld] = %s->h_%ld;\n\t", gen.initEntryCount++,
                                     comp->getVarName(), records[position]);
  }
}

long geneInitVar(GenerationState &gen, s_initVar *init) {
  long n = ++gen.classInitCount;
  emitf(gen.classBodyFile, "\tobjet a_%ld = (objet) new_malloc (sizeof (s_Objet));\n\t", n);
  geneObjet(gen.classBodyFile, init->val, textf("a_%ld", n));
  emitf(gen.classBodyFile, "h_%ld = (initVar) new_malloc (sizeof (s_InitVar));\n\t", n);
  emitf(gen.classBodyFile, "h_%ld->var = %s;\n\th_%ld->val = a_%ld;\n\t", n,
        init->var != nullptr ? cstr(geneVarName(init->var)) : "NULL", n, n);
  emitf(gen.classHeaderFile, "\n\tinitVar h_%ld;", n);
  return n;
}

std::string geneCondName(const s_cond *cond, const Comp *comp) {
  std::string maker = cond->name.find('.') != std::string::npos ? instancePart(cond->name) : "";
  if (maker.empty() || maker == comp->varName)
    return textf("c_%ld", cond->num);
  return textf("c_%s_%ld", cstr(maker), cond->num);
}

std::string geneCondition(GenerationState &gen, FILE *body, FILE *header, s_cond *cond, Comp *comp,
                          CondUse use, const std::string &reference) {
  if (cond == nullptr)
    return "NULL";
  auto known = generatedConds.find(cond);
  if (known != generatedConds.end()) {
    posCond = std::to_string(known->second.position);
    if (known->second.owner == comp)
      return known->second.name;
    return foreignCondition(gen, known->second, comp, use, reference);
  }
  // A later instance of a type has the class's code already: its conditions
  // are walked the same way for their registrations and cross references,
  // and write nothing.
  std::string name = gen.typeGeneratedAlready && gen.classInstance != nullptr
                         ? geneCondName(classCounterpart(gen, cond), gen.classInstance)
                         : geneCondName(cond, comp);
  cond->generated = 1;
  markedConds.push_back(cond);
  GeneratedCond &made = generatedConds[cond] = GeneratedCond{comp, name, 0};

  const char *c = cstr(name);
  std::string special;
  std::string fields;
  switch (cond->type) {
  case condBool:
    special = textf("setCondCTE (%s, %ld);\n\t", c, cond->val);
    break;
  case condOr:
  case condAnd:
  case condNot: {
    std::string op1 =
        geneCondition(gen, body, header, cond->op1, comp, condOperand, name + "->op1");
    std::string op2 =
        geneCondition(gen, body, header, cond->op2, comp, condOperand, name + "->op2");
    fields = textf("%s->op1 = %s;\n\t%s->op2 = %s;\n\t%s->var1 = NULL;\n\t", c, cstr(op1), c,
                   cstr(op2), c) +
             conditionFields(name, opNone, "NULL", cond->num, 0, "NULL", "NULL");
    break;
  }
  case condAtom: {
    std::string atom = "NULL";
    if (const Atom *at = cond->at)
      atom = geneDiscSymbName(gen, at->getStateVar(), comp, symbCondAtom, name.substr(2),
                              at->getValue(), "", "");
    if (atom == "NULL")
      special = textf("%s->at = NULL;\n\t", c);
    else
      special = textf("setCondCTE (%s, %g);\n%s;\n\t", c, 0.0, cstr(atom));
    break;
  }
  case condExprRel: {
    std::string positions = "cle" + name.substr(1);
    long count = listsarnLongLn(cond->le);
    special = textf("long* %s = (long*) new_malloc (%ld*sizeof (long));\n\t", cstr(positions), count);
    long index = 0;
    for (const s_listsarnLong *cell = cond->le; cell != nullptr; cell = cell->next)
      special += textf("%s[%ld] = %ld;\n\t", cstr(positions), index++, cell->elt);
    geneExpr(gen, body, header, cond->e, comp, 1);
    std::string e = cond->e != nullptr ? textf("s_%ld", cond->e->geneNum) : "NULL";
    std::string at = cond->at != nullptr ? atomMember(cond->at, comp) : "NULL";
    std::string var1 = geneContSymbName(gen, cond->var1, comp, refCondVar, cond->num, 0, name);
    fields = textf("%s->op1 = NULL;\n\t%s->op2 = NULL;\n\t%s->var1 = %s;\n\t", c, c, c, cstr(var1)) +
             conditionFields(name, cond->opr, at, cond->num, count, positions, e);
    break;
  }
  default:
    if (!gen.typeGeneratedAlready)
      implError(6);
    break;
  }
  emitClassf(gen, header, "condition %s;\n\t", c);
  emitClassf(gen, body, "%s = mkCond ();\n\tsetCondType (%s, %d);\n\t%s%s", c, c,
             static_cast<int>(cond->type), cstr(special), cstr(fields));
  made.position = numCond++;
  gen.conditionRegistrations +=
      textf("condi[%ld] = %s->%s;\n\t", made.position, comp->getVarName(), c);
  posCond = std::to_string(made.position);
  return name;
}

std::string geneContSymbName(GenerationState &gen, s_variable *var, Comp *comp, ContRef ref,
                             long number, long index, const std::string &value) {
  if (var == nullptr)
    return "NULL";
  const std::string &s = geneVarName(var);
  Comp *owner = var->name.find('.') != std::string::npos ? findComp(instancePart(var->name)) : nullptr;
  if (owner == nullptr || owner == comp)
    return gen.typeGeneratedAlready ? "" : s;
  std::string member = memberFor(gen, comp, owner);
  if (!member.empty())
    return gen.typeGeneratedAlready ? "" : member + "->" + s;
  crossRefVariable(gen, comp, owner, s, ref, number, index, value);
  return "NULL";
}

void updateExprNum(s_expr *expr, const s_expr *modelExpr) {
  if (expr == nullptr || modelExpr == nullptr)
    return;
  expr->geneNum = modelExpr->geneNum;
  numberedExprs.push_back(expr);
  if (expr->gv != nullptr && modelExpr->gv != nullptr)
    expr->gv->geneNum = modelExpr->gv->geneNum;
  updateExprNum(expr->op1, modelExpr->op1);
  updateExprNum(expr->op2, modelExpr->op2);
}

void geneVarV(GenerationState &gen, s_listsarnVar *list) {
  for (const s_listsarnVar *cell = list; cell != nullptr; cell = cell->next)
    emitf(gen.runtimeSourceFile, "%s\n&v_%s", cell == list ? "" : ",", cstr(cell->elt->name));
}

void forgetGeneratedElements() {
  for (s_cond *cond : markedConds)
    cond->generated = 0;
  for (s_gVar *gvar : markedGVars)
    gvar->generated = 0;
  for (s_expr *expr : numberedExprs)
    expr->geneNum = 0;
  markedConds.clear();
  markedGVars.clear();
  numberedExprs.clear();
  generatedConds.clear();
  gvarOwners.clear();
  classInitRecords.clear();
  madeConditions = MadeConditions();
  forgetMutualDecisions();
  posCond.clear();
}
