// The model file loader: declares and instantiates the component instances
// of a model file, orders them, and writes the first half of the runtime
// source and header files.
#ifndef MORVEL_LANGUAGES_MODEL_LOADER_H
#define MORVEL_LANGUAGES_MODEL_LOADER_H

#include <cstdio>
#include <string>

#include "languages/model/loaded_model.h"

// Parses the model file `fileName` read from `input` into `model` and writes the
// runtime source and header files `runtimeBase` + "_rt.cpp" / "_rt.h" (runtimeBase
// is the application directory, "runtime/" and the application name). Returns 0
// on success, 1 when the load gave up and the session goes on.
int parseModelFile(FILE *input, const std::string &fileName, const std::string &runtimeBase,
                   LoadedModel &model);
// Warns about every declared instance that was never instantiated.
void verifyInstances();

#endif
