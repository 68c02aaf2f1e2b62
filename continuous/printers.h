// Readable forms of the continuous records, as the print command shows them.
// Every printer writes to standard output unless a stream is given.
#ifndef MORVEL_CONTINUOUS_PRINTERS_H
#define MORVEL_CONTINUOUS_PRINTERS_H

#include <cstdio>

#include "continuous/lists.h"
#include "continuous/symbols.h"

void printVarNom(const s_variable *var, FILE *stream = stdout);
void printDomain(const s_domain *dom, FILE *stream = stdout);
void printVariable(const s_variable *var, FILE *stream = stdout);
void printInfluence(const s_influence *inf, FILE *stream = stdout);
void printCondition(const s_cond *cond, FILE *stream = stdout);
void printGVar(const s_gVar *gv, FILE *stream = stdout);
void printExpr(const s_expr *e, FILE *stream = stdout);
// Each expression as its global variable, " = " and the expression, one a line.
void printGvExprListsarn(const s_listsarnExpr *list, FILE *stream = stdout);
void printInitVar(const s_initVar *init, FILE *stream = stdout);
void printInitListsarn(const s_listsarnInitVar *list, FILE *stream = stdout);
// Each variable as name:depth, separated by ", " and ended by ";".
void printUpdateListsarn(const s_listsarnVar *list, FILE *stream = stdout);
// Every variable of the tree in name order, each followed by a line end.
void printArBin(const s_arBin *tree, FILE *stream = stdout);
// The causal node of a variable: its causes, its effects and its depth.
void printNode(const s_variable *var, FILE *stream = stdout);
// The node of every variable of the tree that has one, in name order.
void printCGraph(const s_arBin *tree, FILE *stream = stdout);

// Views of the session state.
void printDic(FILE *stream = stdout);
void printRules(FILE *stream = stdout);
void printConditions(FILE *stream = stdout);
void printGlobCs(FILE *stream = stdout);
void printCondCs(FILE *stream = stdout);

#endif
