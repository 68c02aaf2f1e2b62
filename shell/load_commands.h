// The load, reload and unload commands.
#ifndef MORVEL_SHELL_LOAD_COMMANDS_H
#define MORVEL_SHELL_LOAD_COMMANDS_H

int qxLoad(char *fileName);
int qxReload(char *argument);
int qxUnload(char *argument);

#endif
