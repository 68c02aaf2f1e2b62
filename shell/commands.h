// The command table and the small handlers of the shell.
#ifndef MORVEL_SHELL_COMMANDS_H
#define MORVEL_SHELL_COMMANDS_H

// A handler receives the argument text of the command line (null when the
// line holds only the command word) and returns a status the loop ignores.
typedef int (*qxHandler)(char *argument);

struct qxCom {
  const char *name;
  qxHandler handler;
  const char *doc;
};

// The command table in help and lookup order, ended by a record without name.
extern const qxCom cde[];

extern const char *const printDoc;
extern const char *const graphDoc;
extern const char *const usage;

// The record whose name equals word exactly, or null.
const qxCom *whichCom(const qxCom *table, const char *word);
void printHelp(const char *arg);

int qxQuit(char *argument);
int qxHelp(char *argument);
int qxComment(char *argument);
int qxSystem(char *argument);
int qxOptions(char *argument);

#endif
