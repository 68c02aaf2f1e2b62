#include "common/utilities.h"

#include <cctype>
#include <cstring>
#include <sys/times.h>

void stripWhite(char *text) {
  if (text == nullptr)
    return;
  char *start = text;
  while (*start != '\0' && std::isspace(static_cast<unsigned char>(*start)))
    ++start;
  size_t length = std::strlen(start);
  while (length > 0 && std::isspace(static_cast<unsigned char>(start[length - 1])))
    --length;
  std::memmove(text, start, length);
  text[length] = '\0';
}

void stripNumbers(char *text) {
  if (text == nullptr)
    return;
  char *start = text;
  while (*start >= '0' && *start <= '9')
    ++start;
  std::memmove(text, start, std::strlen(start) + 1);
}

static clock_t stopwatchStart = 0;

static clock_t userTicks() {
  struct tms usage;
  times(&usage);
  return usage.tms_utime;
}

void timeInit() { stopwatchStart = userTicks(); }

double spentTime() { return static_cast<double>(userTicks() - stopwatchStart) / 60.0; }

namespace {

struct StackCell {
  StackCell *next;
  const char *value;
};

void push(StackCell *&top, const char *text) { top = new StackCell{top, text}; }

const char *pop(StackCell *&top) {
  if (top == nullptr)
    return nullptr;
  StackCell *cell = top;
  const char *value = cell->value;
  top = cell->next;
  delete cell;
  return value;
}

void clear(StackCell *&top) {
  while (top != nullptr)
    pop(top);
}

StackCell *stackS = nullptr;
StackCell *stackP = nullptr;

} // namespace

void empileS(const char *text) { push(stackS, text); }
const char *depileS() { return pop(stackS); }
bool estvideS() { return stackS == nullptr; }
void empileP(const char *text) { push(stackP, text); }
const char *depileP() { return pop(stackP); }
bool estvideP() { return stackP == nullptr; }

void resetStacks() {
  clear(stackS);
  clear(stackP);
}
