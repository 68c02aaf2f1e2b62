// Helpers shared by the code generators: formatted text, writing to the
// class files, and how one generated component may name another.
#ifndef MORVEL_CODEGEN_EMIT_H
#define MORVEL_CODEGEN_EMIT_H

#include <cstdio>
#include <string>

struct GenerationState;
class Comp;

// printf-style formatting into a string.
std::string textf(const char *format, ...) __attribute__((format(printf, 1, 2)));
// printf-style writing to a file.
void emitf(FILE *file, const char *format, ...) __attribute__((format(printf, 2, 3)));
// Writes class text, unless the instance's type was generated already.
void emitClass(GenerationState &gen, FILE *file, const std::string &text);
// printf-style class text, formatted only when it is written (see emitClass).
void emitClassf(GenerationState &gen, FILE *file, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// Clause code goes to clause files of its own above this many clauses.
const long clauseFileThreshold = 1000;
// Number of clauses the runtime holds: those of the latest compilation and
// the constraint clauses kept from an earlier one.
long modelClauseCount();

// The part of a qualified name "instance.rest" before, and after, the first ".".
std::string instancePart(const std::string &qualifiedName);
std::string memberPart(const std::string &qualifiedName);

// True when the code of `component` cannot refer to `other` through the
// member that holds it: `other` was generated already and `component`
// depends on its type, or the two depend on each other's type. Such
// references are made at run time through cross-reference statements.
// A later instance of a type shares the class written for the first one, so
// it takes the answer given to that instance for the component it reaches
// under the same local name.
bool mutualComps(GenerationState &gen, const Comp *component, const Comp *other);
// Forgets the answers of the classes of the previous compile.
void forgetMutualDecisions();

// The member through which the class of `component` reaches `other`; empty
// when the code must instead use a cross-reference statement (mutual
// components, or `other` is not one of the components it uses).
std::string memberFor(GenerationState &gen, const Comp *component, const Comp *other);

#endif
