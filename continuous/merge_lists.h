// Gathers the continuous content of every registered component into the
// session lists that the causal graph and the generators read.
#ifndef MORVEL_CONTINUOUS_MERGE_LISTS_H
#define MORVEL_CONTINUOUS_MERGE_LISTS_H

// Appends, component by component in registration order, copies of each
// component's influences, global variables, global constraints, condition
// constraints and initialisations to the session lists.
void mergeLists();

#endif
