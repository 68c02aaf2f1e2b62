// The option file: read once at start-up into the option store, and the
// listing the options command shows.
#ifndef MORVEL_SHELL_OPTIONS_H
#define MORVEL_SHELL_OPTIONS_H

#include "common/options.h"

// Creates the store with its defaults, then reads the option file of the real
// user's home directory, else of the installation directory. Returns 1 when a
// file was read.
int load_conf_file();
// Every option as "name -- value", one a line, in listing order.
void print_conf();

#endif
