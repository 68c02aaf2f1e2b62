// Generation of the component classes: for every instance, the class of its
// type (header and body in the application's C/ folder, written while the
// type's first instance is generated) and the per-instance code of the
// runtime files. Writes through the files of codegen/generation_state.h.
#ifndef MORVEL_CODEGEN_CLASS_GENERATION_H
#define MORVEL_CODEGEN_CLASS_GENERATION_H

#include <string>

class Comp;

// The prologue of the class header (defH) and body (defCPP) of a type.
void geneClassHeaders(const std::string &typeName);
// Generates one instance; the first instance of a compile also clears what
// earlier compiles marked as generated.
void geneComp(Comp *instance);
// The class declaration, constructor, destructor and the opening of init().
void geneUse(Comp *instance);
// The instance's clauses, influences and causal nodes.
void geneConstraints(Comp *instance);
// Gives a later instance of a type the element numbers of its first one.
void updateEltsNum(Comp *instance);

#endif
