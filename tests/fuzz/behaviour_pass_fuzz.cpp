// Fuzz target: a definition file read by both passes, as the model loader
// reads it for the model
//   uses Switch, Valve, Fuzz;
//   <Switch> wall; wall(switch1, 0, 0);
//   <Valve> valve; valve(valve1, 0, 0);
//   <Fuzz> fuzz; fuzz(fuzz1, wall.cmdout, 0, valve);
// with the input as Fuzz.def. The first two instances are loaded once,
// before fuzzing: each input starts from that state.
#include <string>
#include <vector>

#include "continuous/diagnostics.h"
#include "languages/model/model_loader.h"
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::setUp([] {
    // The uses list needs a readable Fuzz.def before the first input.
    fuzz::writeFile("Fuzz.def", reinterpret_cast<const uint8_t *>(""), 0);
    declareUsedTypes({"Switch", "Valve", "Fuzz"});
    declareComponent("Switch", "wall", {"fuzz.mdl", 1});
    instantiateComponent("wall", {"switch1", "0", "0"}, {"fuzz.mdl", 1});
    declareComponent("Valve", "valve", {"fuzz.mdl", 1});
    instantiateComponent("valve", {"valve1", "0", "0"}, {"fuzz.mdl", 1});
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::runIsolated(data, size, [](const uint8_t *input, size_t length) {
    fuzz::writeFile("Fuzz.def", input, length);
    // The declaration pass gave up: the loader reports it and stops.
    if (!declareComponent("Fuzz", "fuzz", {"fuzz.mdl", 1}))
      return;
    instantiateComponent("fuzz", {"fuzz1", "wall.cmdout", "0", "valve"}, {"fuzz.mdl", 1});
    finishModel();
    verifyInstances();
  });
  return 0;
}
