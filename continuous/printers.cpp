#include "continuous/printers.h"

#include "continuous/causal_graph.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"

namespace {

// A value without the " =" or " in " that printObjet puts before it.
void printBareValue(const s_objet *o, FILE *stream) {
  if (o == nullptr)
    return;
  if (o->type == objReal)
    printReal(stream, o->value->real);
  else if (o->type == objRange)
    printRange(stream, o->value->range);
}

void printAtom(const Atom *atom, FILE *stream) {
  if (atom != nullptr)
    std::fputs(atomId(atom), stream);
}

const char *influenceLetter(influType type) {
  switch (type) {
    case inflDynamic:
      return "D";
    case inflIntegral:
      return "I";
    case inflStatic:
      return "S";
    case inflConstant:
      return "C";
    case inflSecondOrder:
      return "D2";
  }
  return "";
}

// Relations as a comparison of a variable prints them; null for an unknown code.
const char *relationText(opRel op) {
  static const char *const texts[] = {nullptr, " = ", " != ", " <= ", " < ", " >= ", " > ", ""};
  return op >= opNone && op <= opIn ? texts[op] : nullptr;
}

const char *operatorText(exprType tex) {
  switch (tex) {
    case exprAdd:
      return "+";
    case exprSub:
      return "-";
    case exprMul:
      return "*";
    case exprDiv:
      return "/";
    default:
      return "**";
  }
}

// The kind of update a causal node stands for; empty for the other types.
const char *nodeTypeText(int type) {
  switch (type) {
    case inflDynamic:
      return "dynamic";
    case inflIntegral:
      return "integral";
    case inflStatic:
      return "static";
  }
  return "";
}

bool isVariableOrIntermediate(const s_gVar *gv) {
  return gv != nullptr && (gv->var != nullptr || gv->nInterm != 0);
}

// An operand prints as its global variable when it has a name of its own,
// otherwise in full between parentheses.
void printOperand(const s_expr *e, FILE *stream) {
  if (e->tex == exprConst || isVariableOrIntermediate(e->gv)) {
    printGVar(e->gv, stream);
    return;
  }
  std::fputc('(', stream);
  printExpr(e, stream);
  std::fputc(')', stream);
}

// The global variables with their constraint positions (counted from 1),
// then the numbered constraints.
void printConstraints(const char *varsTitle, const char *constraintsTitle,
                      s_listsarnLong *s_gVar::*positions, const s_listsarnExpr *constraints,
                      FILE *stream) {
  std::fputs(varsTitle, stream);
  for (const s_listsarnGVar *g = gVarListsarn; g != nullptr; g = g->next) {
    std::fputs("  ", stream);
    printGVar(g->elt, stream);
    std::fputc(':', stream);
    for (const s_listsarnLong *p = g->elt->*positions; p != nullptr; p = p->next)
      std::fprintf(stream, " %ld", p->elt + 1);
    std::fputs(";\n", stream);
  }
  std::fputs(constraintsTitle, stream);
  long n = 0;
  for (const s_listsarnExpr *c = constraints; c != nullptr; c = c->next) {
    if (c->elt->tex == exprConst)
      implError(9);
    std::fprintf(stream, "  (%ld) ", ++n);
    printGVar(c->elt->gv, stream);
    std::fputs(" = ", stream);
    printExpr(c->elt, stream);
    std::fputs(";\n", stream);
  }
}

}  // namespace

void printVarNom(const s_variable *var, FILE *stream) { std::fputs(var->name.c_str(), stream); }

void printDomain(const s_domain *dom, FILE *stream) {
  if (dom != nullptr)
    printObjet(stream, dom->val);
}

void printVariable(const s_variable *var, FILE *stream) {
  std::fprintf(stream, "  %s: ", var->name.c_str());
  if (var->fct & fctInput)
    std::fputs(var->fct & fctDisplay ? "input, display" : "input", stream);
  else if (var->fct & fctDisplay)
    std::fputs("display", stream);
  else if (var->fct & fctMeasure)
    std::fputs("measure; ", stream);
  if (var->fct & (fctInput | fctDisplay))
    std::fputs(var->fct & fctMeasure ? ", measure; " : "; ", stream);
  std::fputs(var->param ? "parameter " : "variable", stream);
  printDomain(var->dom, stream);
  if (!var->param)
    std::fprintf(stream, "; max delay = %g\n", var->maxDelay);
}

void printInfluence(const s_influence *inf, FILE *stream) {
  std::fprintf(stream, "  %ld: ", inf->num);
  if (!inf->ruleName.empty())
    std::fprintf(stream, "%s: ", inf->ruleName.c_str());
  if (inf->cond != nullptr) {
    std::fputs("condition ", stream);
    printCondition(inf->cond, stream);
    std::fputc(' ', stream);
  }
  std::fprintf(stream, "%s -%s-> %s: gain ", inf->cause->name.c_str(),
               influenceLetter(inf->type), inf->effect->name.c_str());
  printObjet(stream, inf->gain);
  if (inf->xi != nullptr) {
    std::fputs(": xi ", stream);
    printObjet(stream, inf->xi);
  }
  if (inf->pulse != nullptr) {
    std::fputs(": w ", stream);
    printObjet(stream, inf->pulse);
  }
  if (inf->n1 != nullptr) {
    const char *labels[] = {": n1 ", ": n2 ", ": a0 ", ": a1 ", ": a2 "};
    const s_objet *values[] = {inf->n1, inf->n2, inf->a0, inf->a1, inf->a2};
    for (int i = 0; i < 5; ++i) {
      std::fputs(labels[i], stream);
      printObjet(stream, values[i]);
    }
  }
  std::fputs("; delay ", stream);
  printObjet(stream, inf->delay);
  std::fputs("; resp. time ", stream);
  printObjet(stream, inf->respTime);
  std::fprintf(stream, "; condHistoLn = %ld;\n", inf->condHistoLn);
}

void printCondition(const s_cond *cond, FILE *stream) {
  if (cond == nullptr)
    return;
  std::fprintf(stream, "%s: (", cond->name.c_str());
  switch (cond->type) {
    case condBool:
      std::fputs(cond->val ? "true" : "false", stream);
      break;
    case condVar: {
      if (cond->var1 != nullptr)
        std::fputs(cond->var1->name.c_str(), stream);
      const char *relation = relationText(cond->opr);
      if (relation == nullptr)
        implError(8);
      else
        std::fputs(relation, stream);
      if (cond->var2 != nullptr)
        std::fputs(cond->var2->name.c_str(), stream);
      else
        printBareValue(cond->ob, stream);
      break;
    }
    case condOr:
    case condAnd:
      printCondition(cond->op1, stream);
      std::fputs(cond->type == condOr ? " | " : " & ", stream);
      printCondition(cond->op2, stream);
      break;
    case condNot:
      std::fputs("! ", stream);
      printCondition(cond->op1, stream);
      break;
    case condAtom:
      printAtom(cond->at, stream);
      break;
    case condExprRel:
      if (cond->e != nullptr) {
        printGVar(cond->e->gv, stream);
        printExpr(cond->e, stream);
      }
      printAtom(cond->at, stream);
      break;
    default:
      implError(6);
  }
  std::fputs(")\n", stream);
}

void printGVar(const s_gVar *gv, FILE *stream) {
  if (gv == nullptr)
    return;
  if (gv->var != nullptr)
    std::fputs(gv->var->name.c_str(), stream);
  else if (gv->nInterm != 0)
    std::fprintf(stream, "InTeRm%ld", gv->nInterm);
  else
    printBareValue(gv->value, stream);
}

void printExpr(const s_expr *e, FILE *stream) {
  if (e == nullptr)
    return;
  switch (e->tex) {
    case exprConst:
      if (e->gv != nullptr)
        printBareValue(e->gv->value, stream);
      break;
    case exprVar:
      printGVar(e->gv, stream);
      break;
    case exprAdd:
    case exprSub:
    case exprMul:
    case exprDiv:
    case exprPow:
      printOperand(e->op1, stream);
      std::fputs(operatorText(e->tex), stream);
      printOperand(e->op2, stream);
      break;
    case exprSign:
      std::fputc('-', stream);
      printOperand(e->op1, stream);
      break;
    case exprUnset:
      break;
  }
}

void printGvExprListsarn(const s_listsarnExpr *list, FILE *stream) {
  for (; list != nullptr; list = list->next) {
    std::fputs("  ", stream);
    printGVar(list->elt->gv, stream);
    std::fputs(" = ", stream);
    printExpr(list->elt, stream);
    std::fputs(";\n", stream);
  }
}

void printInitVar(const s_initVar *init, FILE *stream) {
  std::fprintf(stream, "  %s: ", init->var->name.c_str());
  printObjet(stream, init->val);
  std::fputs(";\n", stream);
}

void printInitListsarn(const s_listsarnInitVar *list, FILE *stream) {
  for (; list != nullptr; list = list->next)
    printInitVar(list->elt, stream);
}

void printUpdateListsarn(const s_listsarnVar *list, FILE *stream) {
  for (const s_listsarnVar *l = list; l != nullptr; l = l->next)
    std::fprintf(stream, "%s%s:%ld", l == list ? "" : ", ", l->elt->name.c_str(),
                 l->elt->depth);
  std::fputc(';', stream);
}

void printArBin(const s_arBin *tree, FILE *stream) {
  forEachVariable(tree, [stream](const s_variable *var) {
    printVariable(var, stream);
    std::fputc('\n', stream);
  });
}

void printNode(const s_variable *var, FILE *stream) {
  const s_cNode *node = var->node;
  std::fprintf(stream, "  %s", var->name.c_str());
  if (node->causes.empty()) {
    std::fputs(":\n    no causes;", stream);
  } else {
    std::fprintf(stream, ":\n    causes (%s): ", nodeTypeText(node->type));
    for (const s_influence *inf : node->causes)
      std::fprintf(stream, "%s; ", inf->cause->name.c_str());
  }
  if (node->effects.empty()) {
    std::fputs("\n    no effects;", stream);
  } else {
    std::fputs("\n    effects: ", stream);
    for (const s_influence *inf : node->effects)
      std::fprintf(stream, "%s; ", inf->effect->name.c_str());
  }
  std::fprintf(stream, "\n    depth: %ld;\n", var->depth);
}

void printCGraph(const s_arBin *tree, FILE *stream) {
  forEachVariable(tree, [stream](const s_variable *var) {
    if (var->node != nullptr)
      printNode(var, stream);
  });
}

void printDic(FILE *stream) { printArBin(dictionary, stream); }

void printRules(FILE *stream) {
  std::fprintf(stream, "Influences (%ld):\n", listsarnInflLn(influListsarn));
  for (const s_listsarnInfl *l = influListsarn; l != nullptr; l = l->next)
    printInfluence(l->elt, stream);
}

void printConditions(FILE *stream) {
  std::fprintf(stream, "Conditions (%zu):\n", conditions.size());
  for (const s_cond *cond : conditions)
    printCondition(cond, stream);
}

void printGlobCs(FILE *stream) {
  printConstraints("Global constraints variables:\n", "Global constraints:\n", &s_gVar::globC,
                   globCListsarn, stream);
}

void printCondCs(FILE *stream) {
  printConstraints("Conditions constraints variables:\n", "Conditions constraints:\n",
                   &s_gVar::condC, condCListsarn, stream);
}
