// Process-wide session state: the installation paths found at start-up, the
// loaded application's paths, and the flags that follow it through load,
// compile and execute.
#ifndef MORVEL_COMMON_SESSION_H
#define MORVEL_COMMON_SESSION_H

#include <string>

extern std::string sarnDir;   // installation directory, from MORVELDIR
extern std::string hostType;  // first line of config.txt
extern std::string qxBinDir;  // sarnDir/bin/<hostType>/
extern std::string qxPath;    // the installed program, used to restart

extern int done;  // set to 1 to leave the command loop

// The loaded application.
extern std::string fileIn;     // model file name as typed
extern std::string appliPath;  // its directory, with the final "/", or ""
extern std::string appliName;  // its name, without leading digits
extern std::string tmpDir;
extern std::string figDir;
extern std::string apBinDir;

extern int loaded;
extern int compiled;
extern int executed;
extern int recover;     // set when a parser recovered from a syntax error
extern int braceLevel;

#endif
