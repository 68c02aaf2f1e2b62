// The line reader and the command loop.
#ifndef MORVEL_SHELL_COMMAND_LOOP_H
#define MORVEL_SHELL_COMMAND_LOOP_H

// Prepares GNU Readline for the prompt; on a terminal, also Ctrl-C and the
// history file ~/.morvel_history.
void ligneInit();
// Reads one line with the prompt, adding it to the history when not empty;
// returns null at end of input. The line stays valid until the next call.
// Script lines (standard input not a terminal) are read as they are, without
// line editing.
char *do_gets(const char *prompt);
// Runs one command line: echo when not on a terminal, lookup and handler call.
void executeLine(char *line);
// Reads and runs command lines until `done` is set or the input ends.
void commandLoop();

#endif
