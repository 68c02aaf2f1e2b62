// The readable report of a run, printed step by step, and the display file.
#ifndef MORVEL_RUNTIME_RUN_REPORT_H
#define MORVEL_RUNTIME_RUN_REPORT_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "simulation.h"

class StateVar;

class RunReport {
 public:
  RunReport(const Application &application, const Simulation &simulation, FILE *out);

  // Prints one step: inputs, measures against predictions, displayed
  // variables, condition variables, and the measures out of range.
  void step(const StepOutcome &outcome);
  // Prints the totals and, for each measure that went out of range, how
  // often and when first.
  void summary(const RunTotals &totals) const;

 private:
  struct Fault {
    long count;
    long firstStep;
    double firstTime;
  };

  runtime rt;
  const Simulation &simulation;
  FILE *out;
  std::vector<StateVar *> conditionVariables;  // set by their conditions, in component order
  std::vector<variable> faultOrder;            // measures out of range, in order of appearance
  std::map<variable, Fault> faults;
};

// Writes the displayed variables, one row per step: the time, then their values.
class DisplayFile {
 public:
  DisplayFile(runtime rt, const Simulation &simulation, FILE *out);
  void step(const StepOutcome &outcome);

 private:
  runtime rt;
  const Simulation &simulation;
  FILE *out;
};

#endif
