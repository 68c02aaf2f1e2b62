#include "shell/print_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/session.h"
#include "continuous/printers.h"
#include "continuous/state.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "shell/figures.h"

namespace {

// Word n (from 0) of the text, words being separated by runs of spaces; ""
// when there are fewer words.
std::string wordOf(const std::string &text, int n) {
  size_t start = 0;
  for (int i = 0;; i++) {
    start = text.find_first_not_of(' ', start);
    if (start == std::string::npos)
      return "";
    size_t end = std::min(text.find(' ', start), text.size());
    if (i == n)
      return text.substr(start, end - start);
    start = end;
  }
}

void showComponents(const char *argument) {
  std::string name = wordOf(argument, 1);
  if (name.empty())
    DataManager::showComps();
  else
    DataManager::showComp(name.c_str());
}

void printInitializations() {
  if (initListsarn == nullptr) {
    std::printf("No initializations.\n");
    return;
  }
  std::printf("Initializations:\n");
  printInitListsarn(initListsarn);
}

// The discrete state variables in declaration order, then the dictionary.
// The discrete part is written through the standard C++ output stream.
void printAllVars() {
  std::fputs("Discrete variables:\n", stdout);
  for (const auto &entry : variables_disc)
    entry.second->showValues();
  std::fputs("\nContinuous variables:\n", stdout);
  printDic(stdout);
  std::fputc('\n', stdout);
}

// What print shows, chosen by the first keyword found anywhere in the argument.
struct printView {
  const char *keyword;
  bool needsCompile;
  void (*show)(const char *argument);
};

const printView views[] = {
    {"dic", false, [](const char *) { printDic(); }},
    {"inf", false, [](const char *) { printRules(); }},
    {"cond", false, [](const char *) { printConditions(); }},
    {"co", false, showComponents},
    {"toms", true, [](const char *) { printBooleanPropositions(); }},
    {"gra", true, [](const char *) { printCausalGraph(); }},
    {"upd", true, [](const char *) { printUpdatingSequence(); }},
    {"glo", false, [](const char *) { printGlobCs(); }},
    {"cdc", false, [](const char *) { printCondCs(); }},
    {"ini", false, [](const char *) { printInitializations(); }},
    {"allvar", false, [](const char *) { printAllVars(); }},
};

bool isEmpty(const char *argument) { return argument == nullptr || argument[0] == '\0'; }

}  // namespace

void printBooleanPropositions() {
  std::printf("Boolean propositions:\n");
  DataManager::showAtoms();
}

void printCausalGraph() {
  std::printf("Causal graph:\n");
  printCGraph(dictionary);
}

void printUpdatingSequence() {
  std::printf("Updating sequence:");
  if (temporalListsarn != nullptr) {
    std::printf("\n Temporal listsarn: ");
    printUpdateListsarn(temporalListsarn);
  }
  if (untemporalListsarn != nullptr) {
    std::printf("\n Untemporal listsarn: ");
    printUpdateListsarn(untemporalListsarn);
  }
  std::printf("\n");
}

int qxPrint(char *argument) {
  if (!loaded) {
    std::printf("Please load application first !\n");
    return 0;
  }
  if (isEmpty(argument)) {
    std::printf("Missing argument for print.\n");
    return 0;
  }
  for (const printView &view : views) {
    if (std::strstr(argument, view.keyword) == nullptr)
      continue;
    if (view.needsCompile && !compiled)
      std::printf("Please compile application first !\n");
    else
      view.show(argument);
    return 0;
  }
  std::printf("Can't print %s\n", argument);
  return 0;
}

int qxGraph(char *argument) {
  if (isEmpty(argument)) {
    std::printf("Missing argument for graph: cg or a component name.\n");
    return 0;
  }
  if (std::strstr(argument, "cg") != nullptr) {
    if (!compiled)
      std::printf("Please compile application first !\n");
    else
      drawCausalGraph();
    return 0;
  }
  if (!loaded) {
    std::printf("Please load application first !\n");
    return 0;
  }
  graphComp(wordOf(argument, 0).c_str());
  return 0;
}
