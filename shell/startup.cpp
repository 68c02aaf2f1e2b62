#include "shell/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/session.h"
#include "continuous/values.h"
#include "discrete/data_manager.h"
#include "shell/command_loop.h"
#include "shell/commands.h"
#include "shell/load_commands.h"
#include "shell/options.h"

namespace {

// Reads the host type from the first line of config.txt; exits when the
// file is missing or empty.
void readHostType() {
  FILE *config = std::fopen((sarnDir + "/config.txt").c_str(), "r");
  if (config == nullptr) {
    std::fprintf(stderr, "Can't find config.txt\n");
    std::exit(0);
  }
  char line[1024];
  bool gotLine = std::fgets(line, sizeof line, config) != nullptr;
  std::fclose(config);
  char *lineEnd = gotLine ? std::strchr(line, '\n') : nullptr;
  if (lineEnd == nullptr)
    std::fprintf(stderr, "Error while reading config.txt");
  // Without any host type the installation cannot be used.
  if (!gotLine) {
    std::fprintf(stderr, "\n");
    std::exit(1);
  }
  // A first line without line end is taken whole as the host type.
  if (lineEnd != nullptr)
    *lineEnd = '\0';
  hostType = line;
}

void printLogo() {
  std::string logoPath = sarnDir + "/morvel.art";
  std::printf("%s\n", logoPath.c_str());
  FILE *logo = std::fopen(logoPath.c_str(), "r");
  if (logo == nullptr) {
    std::printf("Failed opening the logo\n");
    std::exit(1);
  }
  char piece[1024];
  while (std::fgets(piece, sizeof piece, logo) != nullptr)
    std::fputs(piece, stdout);
  std::printf("\n\n");
  std::fclose(logo);
}

// Applies a mode switch; exits on an unknown one.
void applyModeSwitch(const char *modeSwitch) {
  if (std::strcmp(modeSwitch, "-hyb") == 0) {
    std::printf("Hybrid mode activated\n");
  } else if (std::strcmp(modeSwitch, "-cont") == 0) {
    conf_set("hybrid", 0);
    conf_set("discrete", 0);
    conf_set("continuous", 1);
    std::printf("Continuous mode only\n");
  } else if (std::strcmp(modeSwitch, "-disc") == 0) {
    conf_set("hybrid", 0);
    conf_set("discrete", 1);
    conf_set("continuous", 0);
    std::printf("Discrete mode only\n");
  } else {
    std::printf("Wrong argument: %s\n%s\n", modeSwitch, usage);
    std::exit(1);
  }
}

void handleArguments(int count, char **arguments) {
  if (count == 0) {
    printLogo();
  } else if (count == 1) {
    if (std::strcmp(arguments[0], "-h") == 0 || std::strcmp(arguments[0], "--help") == 0) {
      std::printf("%s\n", usage);
      std::exit(0);
    }
    if (std::strcmp(arguments[0], "new") != 0)
      qxLoad(arguments[0]);
  } else if (count == 2) {
    applyModeSwitch(arguments[0]);
    if (std::strcmp(arguments[1], "new") != 0)
      qxLoad(arguments[1]);
  }
}

} // namespace

int morvelMain(int argc, char **argv) {
  // Everything printed is written at once, so that standard output and
  // standard error, piped together, keep the order in which they were written.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("morvel %s\n", MORVEL_VERSION);
    return 0;
  }
  objInit();

  const char *installation = std::getenv("MORVELDIR");
  if (installation == nullptr) {
    std::printf("Environment variable MORVELDIR not set !\n");
    return 0;
  }
  sarnDir = installation;
  readHostType();
  std::printf("%s\n", hostType.c_str());
  DataManager::openBenchmarkFiles();

  qxBinDir = sarnDir + "/bin/" + hostType + "/";
  qxPath = qxBinDir + "morvel";

  ligneInit();
  load_conf_file();
  handleArguments(argc - 1, argv + 1);

  commandLoop();
  std::printf("Leaving Morvel.\n");
  return 0;
}
