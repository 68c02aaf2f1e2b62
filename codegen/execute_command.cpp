#include "codegen/execute_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "codegen/clause_builds.h"
#include "codegen/compile_command.h"
#include "codegen/generation_state.h"
#include "codegen/runtime_file.h"
#include "common/session.h"
#include "common/utilities.h"

namespace {

// Runs a shell command after printing it on a line of its own.
int runPrinted(const std::string &command) {
  std::printf("%s\n", command.c_str());
  std::fflush(stdout);
  return std::system(command.c_str());
}

// Starts the runtime and waits for it; a runtime ended by a signal is
// reported and reads as status 0, as the status byte of a normal exit does.
// -1 when it could not be started at all.
int runRuntime(const std::vector<std::string> &parameters) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) {
    std::printf("Can't start %s\n", exeFile.c_str());
    return -1;
  }
  if (child == 0) {
    std::vector<const char *> arguments{exeName.c_str()};
    for (const std::string &parameter : parameters)
      arguments.push_back(parameter.c_str());
    arguments.push_back(nullptr);
    // Tells the runtime it runs in a session: a problem with its files or
    // arguments is reported without ending the session.
    setenv("MORVEL_WORKBENCH", "1", 1);
    execv(exeFile.c_str(), const_cast<char *const *>(arguments.data()));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) {
    int signal = WTERMSIG(status);
    std::printf("runtime ended by signal %d (%s)\n", signal, strsignal(signal));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 0;
}

// Two names of one file: the same text, or the same existing file.
bool sameFile(const std::string &first, const std::string &second) {
  if (first == second)
    return true;
  struct stat one, other;
  return stat(first.c_str(), &one) == 0 && stat(second.c_str(), &other) == 0 &&
         one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

} // namespace

bool takeRuntimeParameters(const std::string &text, std::vector<std::string> &parameters) {
  std::vector<std::string> words;
  std::istringstream split(text);
  for (std::string word; std::getline(split, word, ' ');) {
    stripWhite(word.data());
    if (word.c_str()[0] != '\0')
      words.push_back(word.c_str());
  }
  size_t next = 0;
  auto required = [&](long count, const char *missing) {
    if (count == 0)
      return true;
    if (next >= words.size()) {
      std::printf("%s", missing);
      return false;
    }
    parameters.push_back(words[next++]);
    return true;
  };
  if (!required(numInput, "Not enough parameters (expecting input file) !\n") ||
      !required(numMeasure, "Not enough parameters (expecting measure file) !\n"))
    return false;
  if (numDisplay > 0 && next < words.size()) {
    const std::string &display = words[next++];
    // The runtime writes the display file: refuse one that names a file it reads.
    // A word with "=" is a setting of the runtime, not a file.
    for (size_t read = 0; read < parameters.size(); ++read)
      if (display.find('=') == std::string::npos && sameFile(display, parameters[read])) {
        std::printf("The display file %s is the %s file: it would be overwritten. "
                    "Give another display file name.\n",
                    display.c_str(), numInput > 0 && read == 0 ? "input" : "measure");
        return false;
      }
    parameters.push_back(display);
  }
  if (next < words.size())
    parameters.push_back(words[next++]);
  return true;
}

std::string runtimeLinkCommand(GenerationState &gen) {
  std::string command = "c++ -g -Wno-deprecated -I" + qxIncDir + " -I" + sysDir + " -I" + itmsDir +
                        " -I" + behDir + " -I/usr/local/include -L" + qxLibDir +
                        " -L/usr/local/lib -L. -o " + exeFile + " runtime/" + appliName + "_rt.o ";
  if (usesClauseFiles())
    for (const std::string &clauseFile : gen.clauseFiles)
      command += clauseFile + ".o ";
  return command + " -l" + appliName + " " + runtimeLibraries;
}

int qxExec(GenerationState &gen, char *argument) {
  if (!loaded) {
    std::printf("Please load application first !\n");
    return 0;
  }
  if (!compiled) {
    std::printf("Please compile application first !\n");
    return 0;
  }
  if (!lastCompileComplete) {
    std::printf("The last compile did not complete: compile again before executing.\n");
    return 0;
  }
  std::vector<std::string> parameters;
  if (!takeRuntimeParameters(argument != nullptr ? argument : "", parameters))
    return 0;

  std::printf("Compiling runtime\n");
  if (usesClauseFiles() && !compileClauseFiles(gen, gen.clauseFiles))
    return 0;
  if (runPrinted(runtimeCompileCommand()) != 0) {
    std::printf("... runtime compilation failed.\n");
    return 0;
  }
  std::printf("runtime compilation successful.\nC-linking\n");

  std::string link = runtimeLinkCommand(gen);
  std::printf("%s", link.c_str());
  std::fflush(stdout);
  timeInit();
  if (std::system(link.c_str()) != 0) {
    std::printf("... failed.\n");
    return 0;
  }
  std::printf("            ... done. C-link time: %.2f s.\n", spentTime());

  int status = runRuntime(parameters);
  if (status < 0)
    return 0;  // no child: the session stays as it was
  if (status != 0)
    done = 1;
  else
    executed = 1;
  return status;
}
