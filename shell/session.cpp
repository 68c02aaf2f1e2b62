#include "shell/session.h"

std::string sarnDir;
std::string hostType;
std::string qxBinDir;
std::string qxPath;

int done = 0;
