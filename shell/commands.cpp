#include "shell/commands.h"

#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <sys/wait.h>

#include "codegen/compile_command.h"
#include "codegen/execute_command.h"
#include "common/session.h"
#include "shell/load_commands.h"
#include "shell/options.h"
#include "shell/print_commands.h"
#include "shell/workbench.h"

const char *const printDoc =
    "Print data structures:\n"
    "\t\tdic\tprint continuous variables\n"
    "\t\tinf\tinfluences\n"
    "\t\tcond\tconditions defined in discrete variables\n"
    "\t\tco\tlist of components in the model\n"
    "\t\tco + name\tcomponent variables, constraints and transitions\n"
    "\t\ttoms\tall boolean propositions in the model (compiled model only)\n"
    "\t\tgra\tcausal graph (compiled model only)\n"
    "\t\tupd\tupdating sequence\n"
    "\t\tglo\tglobal constraints\n"
    "\t\tcdc\tconditions as constraints\n"
    "\t\tinit\tinitializations\n";

const char *const graphDoc =
    "make figures of causal graph and components:\n"
    "\t\tcg\tcausal graph\n"
    "\t\t<comp> component\n";

const char *const usage = "Usage: morvel (-{hyb,cont,disc}) <file.mdl>";

namespace {

int compileApplication(char *argument) { return qxCompile(generationState, loadedModel, argument); }

int executeApplication(char *argument) { return qxExec(generationState, argument); }

} // namespace

const qxCom cde[] = {
    {"quit", qxQuit, "Quit Morvel"},
    {"q", qxQuit, "shortcut to quit"},
    {"help", qxHelp, "Get Help"},
    {"#", qxComment, "Comment line"},
    {"load", qxLoad, "Load an application"},
    {"compile", compileApplication, "Compile and generate C code"},
    {"execute", executeApplication, "Launch runtime"},
    {"exec", executeApplication, "shortcut to execute"},
    {"print", qxPrint, printDoc},
    {"p", qxPrint, "shortcut to print"},
    {"graph", qxGraph, graphDoc},
    {"g", qxGraph, "shortcut to graph"},
    {"reload", qxReload, "Load same application again"},
    {"unload", qxUnload, "Unload an application"},
    {"system", qxSystem, "Issue a shell command"},
    {"options", qxOptions, "Option menu"},
    {nullptr, nullptr, nullptr},
};

const qxCom *whichCom(const qxCom *table, const char *word) {
  if (word == nullptr)
    return nullptr;
  for (const qxCom *command = table; command->name != nullptr; ++command)
    if (std::strcmp(command->name, word) == 0)
      return command;
  return nullptr;
}

void printHelp(const char *arg) {
  bool shown = false;
  size_t prefixLength = arg ? std::strlen(arg) : 0;
  for (const qxCom *command = cde; command->name != nullptr; ++command)
    if (prefixLength == 0 || std::strncmp(command->name, arg, prefixLength) == 0) {
      std::printf("%-12s%s.\n", command->name, command->doc);
      shown = true;
    }
  if (shown)
    return;

  std::printf("No commands match `%s'.  Possibilities are:\n", arg);
  int onLine = 0;
  for (const qxCom *command = cde; command->name != nullptr; ++command) {
    if (onLine == 6) {
      std::printf("\n");
      onLine = 0;
    }
    std::printf("%-12s", command->name);
    ++onLine;
  }
  if (onLine > 0)
    std::printf("\n");
}

int qxQuit(char *) {
  done = 1;
  return 0;
}

int qxHelp(char *argument) {
  printHelp(argument);
  return 0;
}

int qxComment(char *) { return 1; }

int qxSystem(char *argument) {
  if (argument == nullptr)
    return 1;
  std::fflush(stdout);
  int status = std::system(argument);
  if (status == -1) {
    std::printf("Shell command failed.\n");
    return 0;
  }
  // A command stopped by Ctrl-C leaves the cursor after the "^C" shown by the terminal.
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGINT)
    std::printf("\n");
  return 1;
}

int qxOptions(char *) {
  std::printf("Options:\n");
  print_conf();
  return 1;
}
