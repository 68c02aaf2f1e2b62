// Builders of the expression trees of equations and inequalities. Every node
// over a non-constant operand is an equation that must be solvable for each
// such operand: it gets an intermediate global variable, and an inverse node
// that computes the operand from it is added as well. The builders append
// the equation nodes to exprs, the new intermediates to gvars, and add the
// number of equations made to count.
#ifndef MORVEL_CONTINUOUS_EXPRESSIONS_H
#define MORVEL_CONTINUOUS_EXPRESSIONS_H

#include "continuous/lists.h"

// A constant leaf whose global variable holds value.
s_expr *mkConstLeaf(s_objet *value);

// e1 op e2 with op one of '+', '-', '*', '/' and 'e' (power). A power with a
// non-constant exponent is refused. Returns null for any other operator.
s_expr *buildExprBinOp(char op, s_expr *e1, s_expr *e2, s_listsarnExpr *&exprs,
                       s_listsarnGVar *&gvars, long &count);
// -e when sign is non-zero, e itself otherwise.
s_expr *buildExprSgn(int sign, s_expr *e, s_listsarnExpr *&exprs, s_listsarnGVar *&gvars,
                     long &count);
// The inequality "e op 0" (op from opLe to opGt) as the equation of e plus a
// constant slack range of the matching sign. Other relations are refused.
s_expr *buildEgSolFunc(s_expr *e, int op, s_listsarnExpr *&exprs, s_listsarnGVar *&gvars,
                       long &count);

// 1 when gv holds the value of e itself (variable leaf or binary node) or is
// the non-constant global variable of one of e's operands.
int hasGvAsArg(const s_expr *e, const s_gVar *gv);

#endif
