// The execute command: links the generated runtime and runs it.
#ifndef MORVEL_CODEGEN_EXECUTE_COMMAND_H
#define MORVEL_CODEGEN_EXECUTE_COMMAND_H

int qxExec(char *argument);

#endif
