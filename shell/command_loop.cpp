#include "shell/command_loop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include <readline/history.h>
#include <readline/readline.h>

#include "shell/commands.h"
#include "shell/session.h"
#include "shell/utilities.h"

static char *currentLine = nullptr;

void ligneInit() { rl_readline_name = "Morvel"; }

char *do_gets(const char *prompt) {
  std::free(currentLine);
  currentLine = readline(prompt);
  if (currentLine != nullptr && *currentLine != '\0')
    add_history(currentLine);
  return currentLine;
}

void executeLine(char *line) {
  // A transcript of a scripted session shows each command before its output.
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
    std::printf("%s\n", line);
  if (line[0] == '#')
    return;

  stripWhite(line);
  // A line of white space only holds no command word: nothing to do.
  if (*line == '\0')
    return;
  char *argument = std::strchr(line, ' ');
  if (argument != nullptr) {
    *argument++ = '\0';
    stripWhite(argument);
  }
  const qxCom *command = whichCom(cde, line);
  if (command == nullptr) {
    std::printf("%s: Unknown Morvel command.\n", line);
    return;
  }
  std::fflush(stdout);
  command->handler(argument);
  std::fflush(stdout);
}

void commandLoop() {
  while (done == 0) {
    char *line = do_gets("> ");
    // End of input leaves the program as quit does, so a piped script never loops.
    if (line == nullptr) {
      if (isatty(STDIN_FILENO))
        std::printf("\n");
      done = 1;
      break;
    }
    if (*line == '\0')
      continue;
    executeLine(line);
  }
}
