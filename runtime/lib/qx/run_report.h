// The readable report of a run, printed step by step, and the display file.
#ifndef MORVEL_RUNTIME_RUN_REPORT_H
#define MORVEL_RUNTIME_RUN_REPORT_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "diagnosis_report.h"
#include "simulation.h"

class StateVar;

class RunReport {
 public:
  RunReport(const Application &application, const Simulation &simulation,
            const DiagnosisReport &diagnosis, FILE *out);

  // Prints one step: inputs, commands and observations, measures against
  // the nominal predictions, the diagnosis, displayed variables, condition
  // variables, and the measures out of range.
  void step(const StepOutcome &outcome, const StepDiagnosis &diagnosed);
  // Prints the totals and, for each measure that went out of range, how
  // often and when first; then the diagnosis at the end.
  void summary(const RunTotals &totals) const;

 private:
  struct Flagged {
    long count;
    long firstStep;
    double firstTime;
  };

  runtime rt;
  const Simulation &simulation;
  const DiagnosisReport &diagnosis;
  FILE *out;
  std::vector<StateVar *> conditionVariables;  // set by their conditions, in component order
  std::vector<variable> faultOrder;            // measures out of range, in order of appearance
  std::map<variable, Flagged> faults;
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
