// Program start-up: installation checks, options, arguments, command loop.
#ifndef MORVEL_SHELL_STARTUP_H
#define MORVEL_SHELL_STARTUP_H

// Runs the whole program and returns its exit status.
int morvelMain(int argc, char **argv);

#endif
