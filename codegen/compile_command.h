// The compile command: clause compilation, code generation and build.
#ifndef MORVEL_CODEGEN_COMPILE_COMMAND_H
#define MORVEL_CODEGEN_COMPILE_COMMAND_H

int qxCompile(char *argument);

#endif
