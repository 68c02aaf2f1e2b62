// The option store: named integer settings, the built-in defaults and what
// the option file ".mrvconf" sets (the shell reads that file at start-up).
#ifndef MORVEL_COMMON_OPTIONS_H
#define MORVEL_COMMON_OPTIONS_H

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Mirrors of six options, refreshed whenever the option is written.
extern int mrv_evlps_opti;  // evlps_opti
extern int mrv_code_opti;   // code_opti
extern int mrv_code_debug;  // code_debug
extern int twc;             // continuous_window
extern int twd;             // discrete_window
extern int pi;              // prime_implicants

// Resets the store to the built-in defaults (refreshing every mirror).
void config_init();
// Reads option lines from an open file into the store, then refreshes the mirrors.
void conf_read(FILE *file);

void conf_set(const char *name, int value);
int conf_get(const char *name);
void conf_cache_entry(const char *name);

// The options in listing order, as print_conf shows them.
std::vector<std::pair<std::string, int>> conf_entries();

#endif
