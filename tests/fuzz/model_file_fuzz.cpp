// Fuzz target: the model file loader, with the example definition files
// (Tank, Valve, Bulb, Switch) in the working directory.
#include <cstdio>

#include "languages/model/model_loader.h"
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::setUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::runInProcess(data, size, [](const uint8_t *input, size_t length) {
    fuzz::writeFile("fuzz.mdl", input, length);
    FILE *model = std::fopen("fuzz.mdl", "r");
    LoadedModel loaded;
    parseModelFile(model, "fuzz.mdl", "runtime/fuzz", loaded);
    std::fclose(model);
  });
  return 0;
}
