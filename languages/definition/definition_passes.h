// The two passes over a definition file, as the model loader and the load
// command call them.
#ifndef MORVEL_LANGUAGES_DEFINITION_PASSES_H
#define MORVEL_LANGUAGES_DEFINITION_PASSES_H

#include <string>
#include <vector>

class Comp;
struct SourcePosition;

// Declaration pass for the instance variable varName: creates the component
// with its state variables, atoms and continuous variables. Null when the
// parser gave up.
Comp *parseDef(const char *fileName, const std::string &varName);

// Behaviour pass for an instantiated component: interface, constraints,
// transitions, influences and initialisations; registers the component.
// instantiatedAt is where the model file gives args, for reports on them.
void parseHybridDefFile(const char *fileName, const std::vector<std::string> &args, Comp *comp,
                        const SourcePosition &instantiatedAt);

// Reads a file of continuous statements alone (continuous-only loading).
// Returns the parser's result; prints "Can't open file %s\n" and sets the
// load-error flag when the file cannot be read.
int parseContFile(const char *path);

// Opens and closes a definition file to check that it can be read; prints
// "Error => file not found : " and the name when it cannot, and the message of
// isDirectoryNamed when it is a directory.
bool findDefFile(const std::string &fileName);

// Whether fileName names a directory; if so, prints "Error => ", the name and
// " is a directory, not a definition file".
bool isDirectoryNamed(const std::string &fileName);

// Forgets what earlier loads read.
void resetDefinitionState();

// Set once a condition variable has been declared; written into the runtime.
extern int guards_int;

#endif
