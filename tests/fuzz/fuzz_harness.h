// What the fuzz targets share. The passes over definition and model files
// end the program on the first error; the targets are linked with
// --wrap=exit, and an exit() of the code under test returns to the harness,
// which ends the input there. Every input runs in the fuzzing process itself,
// after the load state the previous input left is reset.
#ifndef MORVEL_TESTS_FUZZ_FUZZ_HARNESS_H
#define MORVEL_TESTS_FUZZ_FUZZ_HARNESS_H

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Once per fuzzing process: the value constants, the default options and a
// private working directory holding the example definition files (and a
// "runtime/" folder). The fuzzer itself stays in its own directory, where it
// finds its corpus and leaves its findings.
void setUp();

// Writes an input to a file of the current directory.
void writeFile(const char *name, const uint8_t *data, size_t size);

// Runs body on the input in the working directory, from a fresh load state;
// an exit() of body ends it. The files body left open are closed.
void runInProcess(const uint8_t *data, size_t size, void (*body)(const uint8_t *, size_t));

} // namespace fuzz

#endif
