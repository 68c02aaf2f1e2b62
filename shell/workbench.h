// What the shell keeps for the whole session and hands to the commands it
// runs: the model the load command read and the state of code generation,
// whose numbering goes on from one compile to the next.
#ifndef MORVEL_SHELL_WORKBENCH_H
#define MORVEL_SHELL_WORKBENCH_H

#include "codegen/generation_state.h"
#include "languages/model/loaded_model.h"

extern LoadedModel loadedModel;
extern GenerationState generationState;

#endif
