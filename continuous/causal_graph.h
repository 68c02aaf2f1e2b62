// Causal graph of the continuous variables and the updating sequence the
// runtime follows at every time step. Variables whose value comes from the
// past (dynamic, integral, second-order or delayed influences) are computed
// first; variables tied to others by instantaneous influences (static or
// constant with zero delay) follow, deepest last. Also here: the condition
// history each influence needs, the links from global variables to the
// constraints that use them, and the check that temporal variables start
// from a known value.
#ifndef MORVEL_CONTINUOUS_CAUSAL_GRAPH_H
#define MORVEL_CONTINUOUS_CAUSAL_GRAPH_H

#include <string>
#include <vector>

#include "continuous/lists.h"
#include "continuous/symbols.h"

// Causal node of a variable that takes part in at least one influence.
struct s_cNode {
  std::vector<s_influence *> causes;   // influences whose effect is the variable
  int type = 0;                        // influType of the update; 0 without cause
  std::vector<s_influence *> effects;  // influences whose cause is the variable
};

// Depths 0 to depthTableSize - 1 have a list; a deeper graph is refused.
const long depthTableSize = 100;

extern s_listsarnVar *depthListsarn[depthTableSize];  // variables of each depth, by name
extern long maxDepth;  // largest depth found, at most depthTableSize
extern long numTree;   // identifies the current descent, for loop detection

// Names the definition parser entered in symCons for one file only.
extern std::vector<std::string> tempDefs;

// Gives every variable of the tree that takes part in an influence a node
// holding its causes and effects in the order of influListsarn, and resets
// every depth. A parameter or an input variable as effect is an error.
void buildCGraph(s_arBin *tree);

// Types every node after its causes (mixing incompatible kinds, or unequal
// response times of dynamic causes, is an error) and gives each variable the
// length of the longest instantaneous chain reaching it from a variable with
// no instantaneous cause. Returns 0 after reporting an instantaneous loop,
// else 1. Stops descending at depthTableSize, leaving maxDepth there.
int compCGraphDepths(s_arBin *tree);

// Appends every variable that is neither a parameter nor an input and has a
// depth to the list of its depth, in name order.
void sortCGraph(s_arBin *tree);

// Sets each influence's condHistoLn: the largest number of steps, counted
// back from a measured variable through unobserved causes, at which its
// activation condition must still be known.
void actCondArrayLength();

// Warns about every variable of the list that is neither initialised nor measured.
void checkInits(const s_listsarnVar *list);

// Every global variable of the list gets the 0-based positions, in increasing
// order, of the global (respectively condition) constraints that use it.
void buildGlobCOfGv(s_listsarnGVar *gvars);
void buildCondCOfGv(s_listsarnGVar *gvars);

// Removes the names of tempDefs from symCons and empties tempDefs.
void cleanDefs();

// The compile's causal step over the dictionary: nodes, depths, the depth
// lists, condition histories, then temporalListsarn (depth 0) and
// untemporalListsarn (depths 1 upwards) and the initialisation check.
// Returns 0, with nothing after the depths done, after a reported loop or
// when the graph is too deep for the depth table (implementation error 3).
int buildUpdatingSequence();

#endif
