// Session state of the continuous model: the symbol trees, the session lists
// that loading fills and compiling reads, and the running counters.
#ifndef MORVEL_CONTINUOUS_STATE_H
#define MORVEL_CONTINUOUS_STATE_H

#include <vector>

#include "continuous/lists.h"
#include "continuous/symbols.h"

extern s_arBin *dictionary;  // every continuous variable by name
extern s_arDef *symCons;     // symbolic constants

extern s_listsarnInfl *influListsarn;
extern s_listsarnGVar *gVarListsarn;
extern s_listsarnExpr *globCListsarn;  // global constraints
extern s_listsarnExpr *condCListsarn;  // condition constraints
extern s_listsarnInitVar *initListsarn;
extern s_listsarnVar *inputListsarn;
extern s_listsarnVar *measureListsarn;
extern s_listsarnVar *displayListsarn;
extern s_listsarnVar *temporalListsarn;
extern s_listsarnVar *untemporalListsarn;

extern long numCstVar;  // literal constants made so far
extern long nInterm;    // intermediate results made so far
extern long numInflu;   // last influence number given
extern long numCond;    // last condition number given

// Every condition in creation order.
extern std::vector<s_cond *> conditions;

// Empties the trees and session lists and sets the literal-constant and
// intermediate counters to 0, as a new load needs. Records are not released.
void resetContinuousSession();

#endif
