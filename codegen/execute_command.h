// The execute command: compiles the runtime source, links the runtime
// executable and runs it on the files named on the command line.
#ifndef MORVEL_CODEGEN_EXECUTE_COMMAND_H
#define MORVEL_CODEGEN_EXECUTE_COMMAND_H

#include <string>

struct GenerationState;
#include <vector>

// Handler of `execute` and `exec`. Returns the runtime's exit status when it
// ran, otherwise 0.
int qxExec(GenerationState &gen, char *argument);

// The runtime's parameters taken from the command line: the input file when
// the application has inputs, the measure file when it has measures, then
// an optional display file and one more word. Prints the missing-file message
// and answers false when a required file is not given, or when the display
// file is the input or measure file.
bool takeRuntimeParameters(const std::string &text, std::vector<std::string> &parameters);

// The link command of the runtime executable.
std::string runtimeLinkCommand(GenerationState &gen);

#endif
