// The print and graph commands.
#ifndef MORVEL_SHELL_PRINT_COMMANDS_H
#define MORVEL_SHELL_PRINT_COMMANDS_H

int qxPrint(char *argument);
int qxGraph(char *argument);

#endif
