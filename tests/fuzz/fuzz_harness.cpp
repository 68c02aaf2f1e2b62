#include "tests/fuzz/fuzz_harness.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "continuous/values.h"
#include "shell/options.h"

extern "C" {
// Bounds of the coverage counters the compiler gives every instrumented
// function; the fuzzer reads them after each input.
extern uint8_t __start___sancov_cntrs[] __attribute__((weak, visibility("hidden")));
extern uint8_t __stop___sancov_cntrs[] __attribute__((weak, visibility("hidden")));
// The fuzz targets are linked with --wrap=exit: every call to exit() comes
// here, and __real_exit is the C library's.
[[noreturn]] void __real_exit(int status);
[[noreturn]] void __wrap_exit(int status);
}

namespace {

// The child's coverage, in memory it shares with its parent.
uint8_t *childCounters = nullptr;
size_t counterCount = 0;
bool inChild = false;
int doneFd = -1;                  // the child writes one byte here when it is done
std::vector<pid_t> finishing;     // children that are done and may still be ending
std::filesystem::path workDir;

uint8_t *counters() { return __start___sancov_cntrs; }

// The child has handled its input: it hands its coverage over and says so,
// so that its parent goes on while the process is being torn down.
[[noreturn]] void endChild() {
  std::fflush(nullptr);
  if (counterCount != 0)
    std::memcpy(childCounters, counters(), counterCount);
  char done = 1;
  while (write(doneFd, &done, 1) < 0 && errno == EINTR) {
  }
  _exit(0);
}

void reapFinished() {
  finishing.erase(std::remove_if(finishing.begin(), finishing.end(),
                                 [](pid_t child) { return waitpid(child, nullptr, WNOHANG) != 0; }),
                  finishing.end());
}

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

} // namespace

// Leaks are not looked for: what a load builds lives until the program
// ends, and the process that runs an input ends without a leak check.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }
extern "C" const char *__ubsan_default_options() { return "print_stacktrace=1"; }

void __wrap_exit(int status) {
  if (inChild)
    endChild();
  __real_exit(status);
}

namespace fuzz {

void setUp(void (*prepare)()) {
  objInit();
  config_init();

  if (__start___sancov_cntrs != nullptr && __stop___sancov_cntrs != nullptr)
    counterCount = static_cast<size_t>(__stop___sancov_cntrs - __start___sancov_cntrs);
  if (counterCount != 0) {
    void *shared =
        mmap(nullptr, counterCount, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
      fail("mmap");
    childCounters = static_cast<uint8_t *>(shared);
  }

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
  if (prepare != nullptr) {
    std::filesystem::path fuzzerDir = std::filesystem::current_path();
    std::filesystem::current_path(workDir);
    prepare();
    std::filesystem::current_path(fuzzerDir);
  }
}

void writeFile(const char *name, const uint8_t *data, size_t size) {
  FILE *file = std::fopen(name, "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    fail(name);
}

void runIsolated(const uint8_t *data, size_t size, void (*body)(const uint8_t *, size_t)) {
  int done[2];
  if (pipe2(done, O_CLOEXEC) != 0)
    fail("pipe");
  std::fflush(nullptr);
  pid_t parent = getpid();
  pid_t child = fork();
  if (child < 0)
    fail("fork");
  if (child == 0) {
    // A child left behind by a fuzzer that timed out must not run on.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
      _exit(0);
    close(done[0]);
    doneFd = done[1];
    inChild = true;
    std::filesystem::current_path(workDir);
    body(data, size);
    endChild();
  }

  close(done[1]);
  char byte = 0;
  ssize_t got;
  while ((got = read(done[0], &byte, 1)) < 0 && errno == EINTR) {
  }
  close(done[0]);
  if (got == 1) {
    if (counterCount != 0)
      std::memcpy(counters(), childCounters, counterCount);
    finishing.push_back(child);
    reapFinished();
    return;
  }

  // The child died before it was done: a crash.
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR)
      fail("waitpid");
  if (WIFSIGNALED(status))
    std::fprintf(stderr, "==morvel-fuzz== the input's process died of signal %d\n",
                 WTERMSIG(status));
  else
    std::fprintf(stderr, "==morvel-fuzz== the input's process ended with status %d "
                         "without returning or calling exit()\n", WEXITSTATUS(status));
  std::abort();
}

} // namespace fuzz
