// The nominal run of an application: its continuous model stepped through
// time with every mode at its default value, inputs from the input file,
// measures compared with the predictions, condition variables set by their
// conditions.
#ifndef MORVEL_RUNTIME_SIMULATION_H
#define MORVEL_RUNTIME_SIMULATION_H

#include <functional>
#include <vector>

#include "application.h"
#include "continuous_step.h"
#include "data_files.h"

// What one step computed.
struct StepOutcome {
  long step;
  double time;
  std::vector<Comparison> comparisons;  // in the order of the measure table
};

// Called after every step of a run: the report, the display file, the diagnosis.
typedef std::function<void(const StepOutcome &)> StepObserver;

struct RunTotals {
  long steps;
  long compared;
  long outOfRange;
  double squaredResidual;  // sum over the comparisons of (measured - predicted)^2
};

class Simulation {
 public:
  // inputs and measures may be NULL when the application has none.
  Simulation(const Application &application, const ContinuousModel &model,
             const DataFile *inputs, const DataFile *measures);

  // Number of steps of a run: from time 0 to the last time of the files, or
  // the continuous window without files.
  long stepCount() const;
  // Runs from the initial values over `steps` steps (stepCount() when
  // negative); observer may be empty.
  RunTotals run(const StepObserver &observer, long steps = -1);
  // Value of the variable at the step just run (a parameter's at any step).
  double valueAt(variable v, long step) const;

 private:
  void evaluateConditions(long step);

  const ContinuousModel &model;
  const std::vector<ConditionVariable> &conditionVariables;
  const DataFile *inputs;
  const DataFile *measures;
  ContinuousState state;
  ModeReader defaultModes;  // the modes as the start-up function set them
};

#endif
