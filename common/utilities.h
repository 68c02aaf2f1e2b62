// Small helpers shared by the shell and the commands: in-place trimming,
// a CPU stopwatch and two stacks of text references.
#ifndef MORVEL_COMMON_UTILITIES_H
#define MORVEL_COMMON_UTILITIES_H

// Removes leading and trailing white space in place; a null text is left alone.
void stripWhite(char *text);
// Removes the leading run of decimal digits in place.
void stripNumbers(char *text);

// User CPU stopwatch; spentTime() counts clock ticks as 60 per second.
void timeInit();
double spentTime();

// Two independent stacks of text references (S and P). They do not own the texts.
void empileS(const char *text);
const char *depileS();
bool estvideS();
void empileP(const char *text);
const char *depileP();
bool estvideP();
// Empties both stacks.
void resetStacks();

#endif
