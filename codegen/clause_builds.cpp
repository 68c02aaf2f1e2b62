#include "codegen/clause_builds.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "codegen/compile_command.h"
#include "codegen/generated_files.h"
#include "codegen/generation_state.h"
#include "languages/model/loaded_model.h"

const char *const commonClauseHeader = "runtime/clause_files.h";

namespace {

// Modification time in nanoseconds; -1 when the file does not exist.
long long modified(const std::string &path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0)
    return -1;
  return static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec;
}

void writeIfChanged(const std::string &path, const std::string &text) {
  if (FILE *file = std::fopen(pendingPath(path).c_str(), "w")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    settleGeneratedFile(path);
  }
}

// The files named by a dependency file written by the compiler's -MD, the
// target left out.
std::vector<std::string> dependencies(const std::string &path) {
  std::string text = wholeFileText(path);
  for (size_t at; (at = text.find("\\\n")) != std::string::npos;)
    text.replace(at, 2, " ");
  std::vector<std::string> files;
  std::istringstream words(text.substr(std::min(text.find(": "), text.size())));
  for (std::string word; words >> word;)
    if (word != ":")
      files.push_back(word);
  return files;
}

// The precompiled common header of this build: the text every clause
// header begins with, compiled with the flags of the clause files. A clause
// file whose header begins with that text is compiled with the header given
// first (-include): the compiler then loads it precompiled and skips the
// same includes in the clause header, which makes the same object.
struct CommonHeader {
  bool precompiled = false;
  // Newest of the files every clause object depends on besides its own
  // source and header; LLONG_MAX when they are not known.
  long long newestDependency = LLONG_MAX;
};

CommonHeader prepareCommonHeader(GenerationState &gen) {
  CommonHeader common;
  if (gen.model->clauseHeader.empty())
    return common;
  const std::string header = commonClauseHeader;
  const std::string precompiled = header + ".gch";
  const std::string dependencyFile = "runtime/clause_files.d";
  const std::string commandFile = "runtime/clause_files.cmd";
  const std::string command = compilerPrefix() + qxIncDir + " -I" + sysDir + " -I" + itmsDir +
                              " -I" + behDir + " -x c++-header " + header + " -o " + precompiled +
                              " -MD -MF " + dependencyFile;
  writeIfChanged(header, gen.model->clauseHeader);
  // Other options make other objects: the command's file dates them.
  writeIfChanged(commandFile, command + "\n");

  auto newestOf = [&](const std::vector<std::string> &files) {
    long long newest = modified(commandFile);
    for (const std::string &file : files)
      newest = std::max(newest, modified(file) < 0 ? LLONG_MAX : modified(file));
    return newest;
  };
  std::vector<std::string> files = dependencies(dependencyFile);
  if (files.empty() || modified(precompiled) <= newestOf(files)) {
    std::remove(precompiled.c_str());
    std::remove(dependencyFile.c_str());
    std::fflush(nullptr);
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
      std::remove(precompiled.c_str());
      return common;
    }
    files = dependencies(dependencyFile);
  }
  common.precompiled = modified(precompiled) >= 0;
  if (!files.empty())
    common.newestDependency = newestOf(files);
  return common;
}

// One clause file's compile: printed command, command run, and its outcome.
struct Job {
  std::string base;
  std::string printed;
  std::string run;
  bool upToDate = false;
  bool started = false;
  bool finished = false;
  int status = 0;
  pid_t pid = -1;
  FILE *out = nullptr;  // what the compiler wrote, shown after its command
  FILE *err = nullptr;
};

std::vector<Job> planJobs(GenerationState &gen, const std::vector<std::string> &clauseFiles,
                          const CommonHeader &common) {
  std::vector<Job> jobs;
  for (const std::string &base : clauseFiles) {
    Job job;
    job.base = base;
    job.printed = job.run = clauseFileCompileCommand(base);
    long long sources = std::max({modified(base + ".cpp"), modified(base + ".h"),
                                  common.newestDependency});
    job.upToDate = modified(base + ".o") > sources && sources != LLONG_MAX;
    if (!job.upToDate && common.precompiled &&
        wholeFileText(base + ".h")
                .compare(0, gen.model->clauseHeader.size(), gen.model->clauseHeader) == 0)
      job.run += std::string(" -include ") + commonClauseHeader;
    jobs.push_back(job);
  }
  return jobs;
}

// The shell's handling of interrupts while commands run, as system() does:
// the workbench ignores them, the compilers do not.
class InterruptsIgnored {
 public:
  InterruptsIgnored() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, &savedInterrupt);
    sigaction(SIGQUIT, &ignore, &savedQuit);
  }
  ~InterruptsIgnored() { restore(); }
  void restore() const {
    sigaction(SIGINT, &savedInterrupt, nullptr);
    sigaction(SIGQUIT, &savedQuit, nullptr);
  }

 private:
  struct sigaction savedInterrupt {};
  struct sigaction savedQuit {};
};

void start(Job &job, const InterruptsIgnored &interrupts) {
  job.started = true;
  job.out = std::tmpfile();
  job.err = std::tmpfile();
  std::fflush(nullptr);
  job.pid = job.out != nullptr && job.err != nullptr ? fork() : -1;
  if (job.pid == 0) {
    interrupts.restore();
    dup2(fileno(job.out), STDOUT_FILENO);
    dup2(fileno(job.err), STDERR_FILENO);
    execl("/bin/sh", "sh", "-c", job.run.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  if (job.pid < 0) {
    job.finished = true;
    job.status = -1;
  }
}

void replay(FILE *captured, FILE *to) {
  if (captured == nullptr)
    return;
  std::rewind(captured);
  char buffer[4096];
  for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, captured)) > 0;)
    std::fwrite(buffer, 1, read, to);
  std::fclose(captured);
}

// A progress line kept as the last line of a terminal on standard error,
// erased before anything else is printed.
class Progress {
 public:
  explicit Progress(size_t total) : total(total), shown(total > 0 && isatty(STDERR_FILENO)) {}
  void erase() const {
    if (shown)
      std::fputs("\r\033[K", stderr);
  }
  void show(size_t done) const {
    if (shown) {
      std::fprintf(stderr, "clause files: %zu of %zu", done, total);
      std::fflush(stderr);
    }
  }

 private:
  size_t total;
  bool shown;
};

// Prints the job's command and what its compiler wrote; false when it failed.
bool report(Job &job) {
  if (job.upToDate) {
    std::printf("%s\n", upToDateLine(job.base).c_str());
    return true;
  }
  std::printf("%s\n", job.printed.c_str());
  std::fflush(stdout);
  replay(job.out, stdout);
  replay(job.err, stderr);
  std::fflush(nullptr);
  job.out = job.err = nullptr;
  return job.status == 0;
}

void finish(std::vector<Job> &jobs, pid_t pid, int status) {
  for (Job &job : jobs)
    if (job.pid == pid && !job.finished) {
      job.finished = true;
      job.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      // A failed or interrupted compile leaves no object to be taken for up to date.
      if (job.status != 0)
        std::remove((job.base + ".o").c_str());
    }
}

} // namespace

int clauseBuildJobs() {
  if (const char *wanted = std::getenv("MORVEL_JOBS")) {
    char *end = nullptr;
    long jobs = std::strtol(wanted, &end, 10);
    if (end != wanted && *end == '\0' && jobs > 0)
      return static_cast<int>(std::min(jobs, 1024L));
  }
  long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return cores > 0 ? static_cast<int>(cores) : 1;
}

std::string upToDateLine(const std::string &clauseFile) {
  return clauseFile + ".o is up to date.";
}

bool compileClauseFiles(GenerationState &gen, const std::vector<std::string> &clauseFiles) {
  const CommonHeader common = prepareCommonHeader(gen);
  std::vector<Job> jobs = planJobs(gen, clauseFiles, common);
  const size_t parallel = static_cast<size_t>(clauseBuildJobs());
  // Finished jobs wait for those before them with their output held in
  // temporary files: at most this many jobs are started ahead.
  const size_t ahead = parallel + 64;
  size_t toCount = std::count_if(jobs.begin(), jobs.end(), [](const Job &job) { return !job.upToDate; });
  Progress progress(toCount > 0 ? jobs.size() : 0);
  InterruptsIgnored interrupts;
  size_t next = 0, printed = 0, running = 0;
  bool failed = false;
  while (printed < jobs.size() && !failed) {
    for (; running < parallel && next < jobs.size() && next < printed + ahead; ++next) {
      Job &job = jobs[next];
      if (job.upToDate) {
        job.finished = true;
        continue;
      }
      start(job, interrupts);
      running += job.finished ? 0 : 1;
    }
    bool anyPrinted = false;
    for (; printed < jobs.size() && jobs[printed].finished && !failed; ++printed) {
      if (!anyPrinted)
        progress.erase();
      anyPrinted = true;
      failed = !report(jobs[printed]);
    }
    if (anyPrinted)
      progress.show(printed);
    if (failed || printed == jobs.size())
      break;
    if (running == 0)
      continue;  // the files ahead were up to date: start the next ones
    int status = 0;
    pid_t pid = waitpid(-1, &status, 0);
    if (pid < 0 && errno == EINTR)
      continue;
    if (pid < 0)
      break;  // no child left: cannot happen while a started job is unfinished
    finish(jobs, pid, status);
    --running;
  }
  progress.erase();
  for (Job &job : jobs) {
    if (job.started && !job.finished) {
      int status = 0;
      if (waitpid(job.pid, &status, 0) == job.pid)
        finish(jobs, job.pid, status);
    }
    for (FILE *captured : {job.out, job.err})
      if (captured != nullptr)
        std::fclose(captured);
  }
  if (failed || printed < jobs.size()) {
    std::printf("... clause file compilation failed.\n");
    return false;
  }
  return true;
}
