// The application as the generated start-up function leaves it, made ready
// to run: names as the workbench prints them, condition positions resolved
// for every instance, and the condition variables with the condition of
// each of their values.
#ifndef MORVEL_RUNTIME_APPLICATION_H
#define MORVEL_RUNTIME_APPLICATION_H

#include <cstdio>
#include <vector>

#include "Scheduler.h"

// A value of a condition variable and the condition that gives it.
struct ConditionValue {
  Atom *atom;
  long position;  // in the runtime's condition table
  condition cond;
};

struct ConditionVariable {
  StateVar *variable;
  std::vector<ConditionValue> values;
};

struct Application {
  Scheduler *scheduler;
  runtime rt;  // NULL for an application without continuous model
  std::vector<ConditionVariable> conditionVariables;  // in component order
};

// Resolves what the start-up function wrote, then renames. The class code
// of a type gives the condition positions of the type's first instance;
// each component adds its own offset to them.
Application prepareApplication(Scheduler &scheduler, runtime rt);

// Prints the components with their commands and state variables, the
// clauses, the conditions, the influences and the continuous variables.
void describeApplication(FILE *out, const Application &application);

#endif
