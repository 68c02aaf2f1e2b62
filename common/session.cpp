#include "common/session.h"

std::string sarnDir;
std::string hostType;
std::string qxBinDir;
std::string qxPath;

int done = 0;

std::string fileIn;
std::string appliPath;
std::string appliName;
std::string tmpDir;
std::string figDir;
std::string apBinDir;

int loaded = 0;
int compiled = 0;
int executed = 0;
int recover = 0;
int braceLevel = 0;
