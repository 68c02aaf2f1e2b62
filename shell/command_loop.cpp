#include "shell/command_loop.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include <readline/history.h>
#include <readline/readline.h>

#include "common/session.h"
#include "common/utilities.h"
#include "shell/commands.h"

namespace {

// How many command lines the history file keeps.
const int kHistoryLines = 1000;

char *currentLine = nullptr;
// The history file of an interactive session, empty when none is kept.
std::string historyFile;
// Set while readline waits for a line at the prompt (read by the signal handler).
volatile std::sig_atomic_t readingLine = 0;

std::string homeDirectory() {
  const char *home = std::getenv("HOME");
  if (home != nullptr && *home != '\0')
    return home;
  const passwd *entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// Ctrl-C at the prompt drops the line being typed and shows a fresh prompt.
// Readline calls this handler from its own, outside the terminal read. While a
// command runs, the program goes on: a child started by the command (compiler,
// runtime, shell command) receives the interrupt from the terminal and stops,
// and the command returns to the prompt; what follows starts on a new line.
void onInterrupt(int) {
  if (!readingLine) {
    ssize_t written = write(STDOUT_FILENO, "\n", 1);
    (void)written;
    return;
  }
  rl_crlf();
  rl_on_new_line();
  rl_replace_line("", 0);
  rl_redisplay();
}

void catchInterrupts() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  // Interrupted waits for a child go on waiting.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

// Reads a line of a script as it is: a Tab or a Ctrl-D byte is part of the
// line, not completion or end of input. The prompt and the line are shown as
// readline shows them, so a transcript reads the same. Bytes are read one at
// a time, as readline does, so that nothing after the line is taken from the
// input: a command's child or the restarted program reads on from there.
// A line ended by CR LF loses both.
char *readScriptLine(const char *prompt) {
  std::fputs(prompt, stdout);
  std::fflush(stdout);
  std::string line;
  char byte;
  ssize_t got;
  while ((got = read(STDIN_FILENO, &byte, 1)) == 1 && byte != '\n')
    line += byte;
  if (got != 1 && line.empty())
    return nullptr;
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  std::printf("%s\n", line.c_str());
  return strdup(line.c_str());
}

// Adds the line to the history file, created readable by the user only.
void appendToHistoryFile() {
  int descriptor = open(historyFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  if (descriptor < 0)
    return;
  close(descriptor);
  append_history(1, historyFile.c_str());
  history_truncate_file(historyFile.c_str(), kHistoryLines);
}

} // namespace

void ligneInit() {
  rl_readline_name = "Morvel";
  if (!isatty(STDIN_FILENO))
    return;
  catchInterrupts();
  // The history of interactive sessions carries over reload, unload and
  // later sessions; scripts leave it alone.
  std::string home = homeDirectory();
  if (home.empty())
    return;
  historyFile = home + "/.morvel_history";
  read_history(historyFile.c_str());
}

char *do_gets(const char *prompt) {
  std::free(currentLine);
  if (!isatty(STDIN_FILENO)) {
    currentLine = readScriptLine(prompt);
  } else {
    readingLine = 1;
    currentLine = readline(prompt);
    readingLine = 0;
  }
  if (currentLine != nullptr && *currentLine != '\0') {
    add_history(currentLine);
    // Written line by line: a restart or an error exit keeps what was typed.
    if (!historyFile.empty())
      appendToHistoryFile();
  }
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
