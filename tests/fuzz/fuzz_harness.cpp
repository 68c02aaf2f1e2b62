#include "tests/fuzz/fuzz_harness.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>


#include "continuous/causal_graph.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "continuous/values.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "languages/definition/definition_passes.h"
#include "shell/options.h"

extern "C" {
// The fuzz targets are linked with --wrap=exit: every call to exit() comes
// here, and __real_exit is the C library's.
[[noreturn]] void __real_exit(int status);
[[noreturn]] void __wrap_exit(int status);
// And with --wrap=fopen,--wrap=fclose, so that the streams an input left
// open when it ended through exit() are closed.
FILE *__real_fopen(const char *path, const char *mode);
FILE *__wrap_fopen(const char *path, const char *mode);
int __real_fclose(FILE *stream);
int __wrap_fclose(FILE *stream);
}

namespace {

// Where an exit() of the input under way returns to; null between inputs.
// A jump, not an exception: the C library declares exit() noexcept, so an
// exception thrown from it would end the program.
std::jmp_buf *exitLanding = nullptr;
std::vector<FILE *> openedByInput;
std::filesystem::path workDir;

void removeWorkDir() {
  std::error_code ignored;
  std::filesystem::remove_all(workDir, ignored);
}

void copyExample(const char *relative) {
  std::filesystem::path source = std::filesystem::path(MORVEL_EXAMPLES_DIR) / relative;
  std::filesystem::copy_file(source, workDir / source.filename());
}

[[noreturn]] void fail(const char *what) {
  std::perror(what);
  std::abort();
}

// What a load leaves behind and the next load of the program would never
// see, since the program loads once in its life: the continuous lists, what
// the definition passes built, the instances, components and atoms.
void resetLoadState() {
  resetContinuousSession();
  resetDefinitionState();
  conditions.clear();
  numInflu = numCond = 0;
  for (s_listsarnVar *&depth : depthListsarn)
    depth = nullptr;
  maxDepth = numTree = 0;
  tempDefs.clear();
  DataManager::active_comps.clear();
  DataManager::active_atoms->clear();
  DataManager::active_trans.clear();
  DataManager::cls->clear();
  comps.clear();
  variables_disc.clear();
  loadError = 0;
  nligne = 0;
}

} // namespace

// Leaks are not looked for: what a load builds lives until the program
// ends, as the model that refers to it does.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }
extern "C" const char *__ubsan_default_options() { return "print_stacktrace=1"; }

void __wrap_exit(int status) {
  if (exitLanding != nullptr)
    std::longjmp(*exitLanding, 1);
  __real_exit(status);
}

FILE *__wrap_fopen(const char *path, const char *mode) {
  FILE *stream = __real_fopen(path, mode);
  if (stream != nullptr && exitLanding != nullptr)
    openedByInput.push_back(stream);
  return stream;
}

int __wrap_fclose(FILE *stream) {
  auto opened = std::find(openedByInput.begin(), openedByInput.end(), stream);
  if (opened != openedByInput.end())
    openedByInput.erase(opened);
  return __real_fclose(stream);
}

namespace fuzz {

void setUp() {
  objInit();
  config_init();
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/morvel-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr)
    fail("mkdtemp");
  workDir = pattern;
  std::atexit(removeWorkDir);
  for (const char *example :
       {"tank/Tank.def", "tank/Valve.def", "lamp/Bulb.def", "lamp/Switch.def"})
    copyExample(example);
  std::filesystem::create_directory(workDir / "runtime");
}

void writeFile(const char *name, const uint8_t *data, size_t size) {
  FILE *file = std::fopen(name, "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    fail(name);
}

void runInProcess(const uint8_t *data, size_t size, void (*body)(const uint8_t *, size_t)) {
  std::filesystem::path fuzzerDir = std::filesystem::current_path();
  std::filesystem::current_path(workDir);
  resetLoadState();
  std::jmp_buf landing;
  if (setjmp(landing) == 0) {
    exitLanding = &landing;
    body(data, size);
  }
  exitLanding = nullptr;
  // An input that ended through exit() leaves the files it was reading open.
  for (FILE *stream : openedByInput)
    __real_fclose(stream);
  openedByInput.clear();
  std::filesystem::current_path(fuzzerDir);
}

} // namespace fuzz
