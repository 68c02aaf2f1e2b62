// Generated files written beside their earlier version and put in its place
// only when their text changed: a compile that writes the same text again
// leaves the file and its date alone, so objects built from it stay valid.
#ifndef MORVEL_CODEGEN_GENERATED_FILES_H
#define MORVEL_CODEGEN_GENERATED_FILES_H

#include <string>

// Where the new text of the generated file `path` is written.
std::string pendingPath(const std::string &path);

// Puts the pending text of `path` in its place when it differs from the
// file's text (or the file does not exist), else drops it.
void settleGeneratedFile(const std::string &path);

// The whole text of a file; empty when it cannot be read.
std::string wholeFileText(const std::string &path);

#endif
