// Fuzz target: a file of continuous statements without a component, read
// by the behaviour pass alone, as a load in continuous mode reads it.
#include "languages/definition/definition_passes.h"
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::setUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::runInProcess(data, size, [](const uint8_t *input, size_t length) {
    fuzz::writeFile("fuzz.mdl", input, length);
    parseContFile("fuzz.mdl");
  });
  return 0;
}
