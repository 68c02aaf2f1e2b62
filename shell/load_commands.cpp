#include "shell/load_commands.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "common/session.h"
#include "common/utilities.h"
#include "continuous/causal_graph.h"
#include "continuous/diagnostics.h"
#include "continuous/merge_lists.h"
#include "continuous/state.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/model_loader.h"
#include "reasoning/itms.h"
#include "shell/options.h"
#include "shell/workbench.h"

namespace {

bool isDirectory(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

// A directory opens for reading, but the scanner could not read it.
bool namesDirectory(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Splits the model file name into the application's directory and name:
// models/12pump.mdl gives models/ and pump.
void deriveApplicationNames(const std::string &fileName) {
  size_t slash = fileName.rfind('/');
  appliPath = slash == std::string::npos ? "" : fileName.substr(0, slash + 1);
  std::string base = fileName.substr(appliPath.size());
  base = base.substr(0, base.find('.'));
  stripNumbers(base.data());
  appliName = base.c_str();
  tmpDir = appliPath + "tmp/";
  figDir = appliPath + "fig/";
}

void resetSession() {
  resetContinuousSession();
  resetDefinitionState();
  resetStacks();
  recover = 0;
  loadError = 0;
}

// Replaces the running program by a fresh start of the installed one.
int restart(const char *argument) {
  std::fflush(nullptr);
  execl(qxPath.c_str(), "morvel", argument, static_cast<char *>(nullptr));
  std::fprintf(stderr, "Can't restart %s\n", qxPath.c_str());
  return 1;
}

} // namespace

int qxLoad(char *argument) {
  std::printf("Loading %s\n", argument != nullptr ? argument : "");
  if (loaded) {
    std::printf("Please unload %s first !\n", appliName.c_str());
    return 0;
  }
  resetSession();
  if (argument == nullptr || argument[0] == '\0' || argument[0] == '\n') {
    std::printf("Missing source file name !\n");
    return 0;
  }
  fileIn = argument;
  size_t extension = fileIn.find(".mdl");
  if (extension == std::string::npos || extension + 4 != fileIn.size()) {
    std::printf("Wrong source file name (should be *.mdl)\n");
    return 0;
  }
  deriveApplicationNames(fileIn);
  if (!isDirectory(tmpDir)) {
    std::printf("No tmp directory. Shouldn't you run morvelmkdirs ?\n");
    return 0;
  }
  apBinDir = appliPath + "bin/";
  if (!isDirectory(apBinDir)) {
    std::printf("No bin directory. Shouldn't you run sarnmkdirs ?\n");
    return 0;
  }

  bool directory = namesDirectory(fileIn);
  FILE *model = directory ? nullptr : std::fopen(fileIn.c_str(), "r");
  if (directory) {
    std::printf("%s is a directory, not a model file\n", fileIn.c_str());
    loadError = 1;
  } else if (model == nullptr) {
    std::printf("Can't open file %s\n", fileIn.c_str());
    loadError = 1;
  } else {
    nligne = 1;
    braceLevel = 0;
    int result;
    if (conf_get("continuous") == 1) {
      result = parseContFile(fileIn.c_str());
    } else {
      newReasoner();
      result = parseModelFile(model, fileIn, appliPath + "runtime/" + appliName, loadedModel);
    }
    if (result != 0 || recover)
      loadError = 1;
    std::fclose(model);
    mergeLists();
    buildGlobCOfGv(gVarListsarn);
    buildCondCOfGv(gVarListsarn);
    if (!loadError && displayListsarn == nullptr)
      semError(semWarningNoLine, 0, 29);
  }

  if (loadError) {
    loaded = 0;
    std::printf("Unable to load \"%s\"\n", fileIn.c_str());
  } else {
    loaded = 1;
    compiled = 0;
    std::printf("Application \"%s\" loaded.\n", appliName.c_str());
  }
  return loadError;
}

int qxReload(char *) { return restart(fileIn.c_str()); }

int qxUnload(char *) {
  if (!loaded) {
    std::printf("No application to unload.\n");
    return 0;
  }
  std::printf("Application \"%s\" unloaded.\n", appliName.c_str());
  return restart("new");
}
