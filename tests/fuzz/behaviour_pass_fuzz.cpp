// Fuzz target: a definition file read by both passes, as the model loader
// reads it for the model
//   uses Switch, Valve, Fuzz;
//   <Switch> wall; wall(switch1, 0, 0);
//   <Valve> valve; valve(valve1, 0, 0);
//   <Fuzz> fuzz; fuzz(fuzz1, wall.cmdout, 0, valve);
// with the input as Fuzz.def.
#include <cstdio>
#include <cstring>

#include "languages/model/model_loader.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

const char model[] = "uses Switch, Valve, Fuzz;\n"
                     "<Switch> wall;\nwall(switch1, 0, 0);\n"
                     "<Valve> valve;\nvalve(valve1, 0, 0);\n"
                     "<Fuzz> fuzz;\nfuzz(fuzz1, wall.cmdout, 0, valve);\n";

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::setUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::runInProcess(data, size, [](const uint8_t *input, size_t length) {
    fuzz::writeFile("Fuzz.def", input, length);
    fuzz::writeFile("fuzz.mdl", reinterpret_cast<const uint8_t *>(model), std::strlen(model));
    FILE *file = std::fopen("fuzz.mdl", "r");
    LoadedModel loaded;
    parseModelFile(file, "fuzz.mdl", "runtime/fuzz", loaded);
    std::fclose(file);
  });
  return 0;
}
