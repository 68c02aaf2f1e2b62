#include "languages/definition/definition_passes.h"

#include <sys/stat.h>

#include <unordered_map>

#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "languages/definition/condition_bridge.h"
#include "languages/definition/definition_driver.h"

void resetRuleNames();

namespace {

// What each component's declaration pass built, for its behaviour pass.
std::unordered_map<const Comp *, BuiltElements> builtByComponent;

} // namespace

bool isDirectoryNamed(const std::string &fileName) {
  struct stat status;
  if (stat(fileName.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
    return false;
  std::printf("Error => %s is a directory, not a definition file\n", fileName.c_str());
  return true;
}

bool findDefFile(const std::string &fileName) {
  // A directory opens for reading, but the scanner could not read it.
  if (isDirectoryNamed(fileName))
    return false;
  FILE *file = std::fopen(fileName.c_str(), "r");
  if (file == nullptr) {
    std::printf("Error => file not found : %s\n", fileName.c_str());
    return false;
  }
  std::fclose(file);
  return true;
}

Comp *parseDef(const char *fileName, const std::string &varName) {
  FILE *file = std::fopen(fileName, "r");
  if (file == nullptr)
    return nullptr;
  DefinitionDriver driver(DefinitionPass::Declaration, fileName, file);
  driver.varName = varName;
  int result = driver.parse();
  std::fclose(file);
  if (result == 1 || driver.comp == nullptr)
    return nullptr;
  builtByComponent[driver.comp] = std::move(driver.builtElements);
  return driver.comp;
}

void parseHybridDefFile(const char *fileName, const std::vector<std::string> &args, Comp *comp,
                        const SourcePosition &instantiatedAt) {
  FILE *file = std::fopen(fileName, "r");
  if (file == nullptr)
    return;
  DefinitionDriver driver(DefinitionPass::Behaviour, fileName, file);
  driver.varName = comp->varName;
  driver.comp = comp;
  driver.args = args;
  driver.instantiatedAt = instantiatedAt;
  driver.builtElements = builtByComponent[comp];
  // Conditions made by this pass are numbered after the declaration pass's.
  numCond = comp->count;
  driver.parse();
  std::fclose(file);
  comp->instantiated = true;
}

int parseContFile(const char *path) {
  FILE *file = std::fopen(path, "r");
  if (file == nullptr) {
    std::printf("Can't open file %s\n", path);
    loadError = 1;
    return 1;
  }
  DefinitionDriver driver(DefinitionPass::Behaviour, path, file);
  driver.standalone = true;
  int result = driver.parse();
  std::fclose(file);
  return result;
}

void resetDefinitionState() {
  builtByComponent.clear();
  resetConditionBridge();
  resetRuleNames();
  guards_int = 0;
}
