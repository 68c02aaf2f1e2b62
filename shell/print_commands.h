// The print and graph commands.
#ifndef MORVEL_SHELL_PRINT_COMMANDS_H
#define MORVEL_SHELL_PRINT_COMMANDS_H

int qxPrint(char *argument);
int qxGraph(char *argument);

// The views that need a compiled application, for the print command and
// for whoever has just built the clauses and the causal graph.
void printBooleanPropositions();
void printCausalGraph();
void printUpdatingSequence();

#endif
