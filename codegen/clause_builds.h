// The clause-file compiles of `execute`. Several run at a time, but the
// transcript is that of compiling them one after another: each command (with
// what its compiler printed) appears once it and every command before it
// have finished. A clause file whose object is newer than its source, its
// header and the headers that header includes is not compiled again.
#ifndef MORVEL_CODEGEN_CLAUSE_BUILDS_H
#define MORVEL_CODEGEN_CLAUSE_BUILDS_H

#include <string>

struct GenerationState;
#include <vector>

// Compiles the clause files (base paths, "runtime/cl_" ...) in order, printing
// each command, or the line of upToDateLine in its place. After the first
// failure prints "... clause file compilation failed." and nothing of the
// later files, and answers false.
bool compileClauseFiles(GenerationState &gen, const std::vector<std::string> &clauseFiles);

// Compiles run at a time: MORVEL_JOBS when it is a positive number, else the
// number of cores.
int clauseBuildJobs();

// What is printed in place of the command of a clause file left as it was.
std::string upToDateLine(const std::string &clauseFile);

// The header all clause headers begin with, precompiled once per build
// (beside the clause files) so that each clause file need not parse it.
extern const char *const commonClauseHeader;

#endif
