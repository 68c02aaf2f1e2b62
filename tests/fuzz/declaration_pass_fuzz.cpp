// Fuzz target: the declaration pass over a definition file, as the model
// loader runs it for a newly declared instance variable.
#include "languages/definition/definition_passes.h"
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::setUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::runInProcess(data, size, [](const uint8_t *input, size_t length) {
    fuzz::writeFile("Fuzz.def", input, length);
    parseDef("Fuzz.def", "fuzz");
  });
  return 0;
}
