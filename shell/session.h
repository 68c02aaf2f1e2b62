// Process-wide session state: the installation paths found at start-up and
// the flag that stops the command loop.
#ifndef MORVEL_SHELL_SESSION_H
#define MORVEL_SHELL_SESSION_H

#include <string>

extern std::string sarnDir;   // installation directory, from MORVELDIR
extern std::string hostType;  // first line of config.txt
extern std::string qxBinDir;  // sarnDir/bin/<hostType>/
extern std::string qxPath;    // the installed program, used to restart

extern int done;  // set to 1 to leave the command loop

#endif
