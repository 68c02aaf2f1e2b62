#include "continuous/expressions.h"

#include <cstring>

#include "continuous/diagnostics.h"
#include "continuous/state.h"

namespace {

s_expr *newNode(exprType tex, s_expr *op1, s_expr *op2) {
  s_expr *e = newRecord<s_expr>();
  e->tex = tex;
  e->op1 = op1;
  e->op2 = op2;
  return e;
}

bool isBinary(exprType tex) { return tex >= exprAdd && tex <= exprPow; }

// A constant leaf, or an operator node over constants only (such a node gets
// no global variable).
bool isConstant(const s_expr *e) {
  return e->tex == exprConst || ((isBinary(e->tex) || e->tex == exprSign) && e->gv == nullptr);
}

void append(s_listsarnExpr *&exprs, s_expr *e) {
  s_listsarnExpr *cell = newRecord<s_listsarnExpr>();
  cell->elt = e;
  exprs = catListsarnExpr(exprs, cell);
}

s_gVar *newIntermediate(s_listsarnGVar *&gvars) {
  s_gVar *gv = newRecord<s_gVar>();
  gv->nInterm = ++nInterm;
  s_listsarnGVar *cell = newRecord<s_listsarnGVar>();
  cell->elt = gv;
  gvars = catListsarnGVar(gvars, cell);
  return gv;
}

// The equation node that computes `operand` from the value of the node made.
void addInverse(s_listsarnExpr *&exprs, long &count, s_expr *inverse, const s_expr *operand) {
  inverse->gv = operand->gv;
  append(exprs, inverse);
  ++count;
}

}  // namespace

s_expr *mkConstLeaf(s_objet *value) {
  s_expr *leaf = newNode(exprConst, nullptr, nullptr);
  leaf->gv = newRecord<s_gVar>();
  leaf->gv->value = value;
  return leaf;
}

s_expr *buildExprBinOp(char op, s_expr *e1, s_expr *e2, s_listsarnExpr *&exprs,
                       s_listsarnGVar *&gvars, long &count) {
  // Operators in the order of their expression types, from addition on.
  const char *ops = "+-*/e";
  const char *found = op != '\0' ? std::strchr(ops, op) : nullptr;
  if (found == nullptr)
    return nullptr;
  exprType tex = static_cast<exprType>(exprAdd + (found - ops));

  s_expr *node = newNode(tex, e1, e2);
  bool constant1 = isConstant(e1);
  bool constant2 = isConstant(e2);
  if (constant1 && constant2)
    return node;

  node->gv = newIntermediate(gvars);
  append(exprs, node);
  ++count;

  if (!constant1) {
    switch (tex) {
      case exprAdd:
        addInverse(exprs, count, newNode(exprSub, node, e2), e1);
        break;
      case exprSub:
        addInverse(exprs, count, newNode(exprAdd, node, e2), e1);
        break;
      case exprMul:
        addInverse(exprs, count, newNode(exprDiv, node, e2), e1);
        break;
      case exprDiv:
        addInverse(exprs, count, newNode(exprMul, node, e2), e1);
        break;
      default: {
        s_expr *root = newNode(exprDiv, mkConstLeaf(objUn), e2);
        addInverse(exprs, count, newNode(exprPow, node, root), e1);
      }
    }
  }
  if (!constant2) {
    switch (tex) {
      case exprAdd:
        addInverse(exprs, count, newNode(exprSub, node, e1), e2);
        break;
      case exprSub:
        addInverse(exprs, count, newNode(exprSub, e1, node), e2);
        break;
      case exprMul:
        addInverse(exprs, count, newNode(exprDiv, node, e1), e2);
        break;
      case exprDiv:
        addInverse(exprs, count, newNode(exprDiv, e1, node), e2);
        break;
      default:
        semError(semErrorAtLine, nligne, 45);
    }
  }
  return node;
}

s_expr *buildExprSgn(int sign, s_expr *e, s_listsarnExpr *&exprs, s_listsarnGVar *&gvars,
                     long &count) {
  if (sign == 0)
    return e;
  s_expr *node = newNode(exprSign, e, nullptr);
  if (isConstant(e))
    return node;
  node->gv = newIntermediate(gvars);
  if (exprs != nullptr)
    append(exprs, node);
  s_expr *inverse = newNode(exprSign, node, nullptr);
  inverse->gv = e->gv;
  append(exprs, inverse);
  ++count;
  return node;
}

s_expr *buildEgSolFunc(s_expr *e, int op, s_listsarnExpr *&exprs, s_listsarnGVar *&gvars,
                       long &count) {
  s_objet *slack;
  switch (op) {
    case opLe:
      slack = objNeg;
      break;
    case opLt:
      slack = objNegS;
      break;
    case opGe:
      slack = objPos;
      break;
    case opGt:
      slack = objPosS;
      break;
    default:
      // Only an inequality has a slack: any other relation here is not an equation.
      semError(semErrorAtLine, nligne, 42);
      return nullptr;
  }
  return buildExprBinOp('+', e, mkConstLeaf(slack), exprs, gvars, count);
}

int hasGvAsArg(const s_expr *e, const s_gVar *gv) {
  if (gv == nullptr)
    return 0;
  bool binary = isBinary(e->tex);
  if ((e->tex == exprVar || binary) && e->gv == gv)
    return 1;
  if (!binary && e->tex != exprSign)
    return 0;
  bool variable = gv->var != nullptr || gv->nInterm != 0;
  for (const s_expr *operand : {e->op1, e->op2})
    if (operand != nullptr && operand->gv == gv && variable)
      return 1;
  return 0;
}
