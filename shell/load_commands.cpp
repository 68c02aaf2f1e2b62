#include "shell/load_commands.h"

// Loading is not available yet: the commands are accepted and do nothing.
int qxLoad(char *) { return 0; }
int qxReload(char *) { return 0; }
int qxUnload(char *) { return 0; }
