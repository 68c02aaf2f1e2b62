#include "shell/workbench.h"

LoadedModel loadedModel;
GenerationState generationState;
