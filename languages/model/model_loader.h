// The model file loader: declares and instantiates the component instances
// of a model file, orders them, and writes the first half of the runtime
// source and header files.
#ifndef MORVEL_LANGUAGES_MODEL_LOADER_H
#define MORVEL_LANGUAGES_MODEL_LOADER_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct s_component;
struct SourcePosition;

// Loader state, reset by each load.
extern std::vector<std::string> declarations;  // types of the uses list
extern std::map<int, s_component *> oco;        // instances by generation rank, from 1
extern std::string runtimeSourceText;
extern std::string runtimeHeaderText;
extern std::string cl_header;   // top of every clause header file
extern long numConditions;      // conditions of the whole model

// Parses the model file `fileName` read from `input` and writes the runtime source and
// header files `runtimeBase` + "_rt.cpp" / "_rt.h" (runtimeBase is the
// application directory, "runtime/" and the application name). Returns 0 on
// success, 1 when the load gave up and the session goes on.
int parseModelFile(FILE *input, const std::string &fileName, const std::string &runtimeBase);

// Reports a failure of the model file parser at that place and ends the program.
[[noreturn]] void ModelHybridParsererror(const char *message, const SourcePosition &at);

// The grammar's actions, given where they stand in the model file. The uses
// list ends the program when a definition file is missing, and fails (the
// load gives up) when one is a directory.
bool declareUsedTypes(const std::vector<std::string> &types);
[[noreturn]] void missingUsesDeclaration();
// Runs the declaration pass for a new instance variable; false when it failed.
bool declareComponent(const std::string &type, const std::string &varName, const SourcePosition &at);
void instantiateComponent(const std::string &varName, const std::vector<std::string> &arguments,
                          const SourcePosition &at);
void finishModel();

// Places a newly instantiated instance among the ranked ones.
void rankComponents(s_component *instance);
// Warns about every declared instance that was never instantiated.
void verifyInstances();

#endif
