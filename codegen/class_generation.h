// Generation of the component classes: for every instance, the class of its
// type (header and body in the application's C/ folder, written while the
// type's first instance is generated) and the per-instance code of the
// runtime files. Writes through the files of codegen/generation_state.h.
#ifndef MORVEL_CODEGEN_CLASS_GENERATION_H
#define MORVEL_CODEGEN_CLASS_GENERATION_H

#include <string>

struct GenerationState;
class Comp;

// The prologue of the class header and body files of a type.
void geneClassHeaders(GenerationState &gen, const std::string &typeName);
// Generates one instance; the first instance of a compile also clears what
// earlier compiles marked as generated.
void geneComp(GenerationState &gen, Comp *instance);
// The class declaration, constructor, destructor and the opening of init().
void geneUse(GenerationState &gen, Comp *instance);
// The instance's clauses, influences and causal nodes.
void geneConstraints(GenerationState &gen, Comp *instance);
// Gives a later instance of a type the element numbers of its first one.
void updateEltsNum(GenerationState &gen, Comp *instance);

#endif
