// Builders for declarations of continuous variables and parameters, their
// domains, influence coefficients, literal constants, initialisations and
// mapping-function assignments. Violations are reported at the current
// source line; errors end the program.
#ifndef MORVEL_CONTINUOUS_DECLARATIONS_H
#define MORVEL_CONTINUOUS_DECLARATIONS_H

#include "continuous/lists.h"

// Adds the interface function f (fctInput, fctDisplay or fctMeasure) to each
// variable of the list. A variable that newly takes a function is appended
// to the session list of that function (inputs, displays or measures).
// Input together with measure is refused; a parameter cannot be an input or
// a measure, and is only warned about when declared for display.
void setListsarnFct(s_listsarnVar *list, int f);
// Gives type t to each variable without type; another type is refused.
void setListsarnType(s_listsarnVar *list, objType t);
// Makes parameters of the variables of the list, which must all have a domain.
void setListsarnConst(s_listsarnVar *list);

// Sets the variable's domain from a declaration "var op dom"; returns the
// variable, or null when the declaration is refused.
s_variable *dom2Var(s_variable *var, int op, const s_domain *dom);
// Builds a coefficient of the given kind from "kind op dom", or null.
s_coef *dom2Coef(coefType kind, int op, const s_domain *dom);

// A literal constant as a parameter named "cst_<n>", outside the dictionary.
s_variable *const2Var(double x);

// Initial value of var, given by a value or by a parameter.
s_initVar *buildInitVar(s_variable *var, const s_domain *dom);
s_mapfVar *buildMapfVarExpr(s_variable *var, s_expr *expr);

#endif
