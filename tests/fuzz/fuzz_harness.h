// What the fuzz targets share. The passes over definition and model files
// end the program on the first error, so every input runs in a child
// process of the fuzzer: a child that returns, or ends through exit(), has
// handled its input normally; a child that dies in any other way (a signal,
// a sanitizer report) makes the target crash, so that the fuzzer keeps the
// input. The child's coverage is copied back, so the fuzzer is not blind.
#ifndef MORVEL_TESTS_FUZZ_FUZZ_HARNESS_H
#define MORVEL_TESTS_FUZZ_FUZZ_HARNESS_H

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Once per fuzzing process: the value constants, the default options and a
// private working directory holding the example definition files (and a
// "runtime/" folder), where prepare, when given, runs. The fuzzer itself
// stays in its own directory, where it finds its corpus and leaves its
// findings.
void setUp(void (*prepare)() = nullptr);

// Writes an input to a file of the current directory.
void writeFile(const char *name, const uint8_t *data, size_t size);

// Runs body on the input in a child process, in the working directory, and
// waits for it; aborts when the child did not end normally.
void runIsolated(const uint8_t *data, size_t size, void (*body)(const uint8_t *, size_t));

} // namespace fuzz

#endif
