// Stepping an application's continuous model through time: inputs set from
// the input file, every variable computed in the updating order through its
// active influences, measures compared with the predictions, conditions
// evaluated.
#ifndef MORVEL_RUNTIME_SIMULATION_H
#define MORVEL_RUNTIME_SIMULATION_H

#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "application.h"
#include "data_files.h"
#include "responses.h"
#include "sarn-runt.h"

// A measured variable compared at one step.
struct Comparison {
  variable var;
  double measured;
  double predicted;
  double tolerance;  // the measure is in range within predicted +- tolerance
  int alarm;         // 0 in range, -1 too low, 1 too high
};

// What one step computed.
struct StepOutcome {
  long step;
  double time;
  std::vector<Comparison> comparisons;
};

// Called after every step of a run: the report and the display file.
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
  Simulation(const Application &application, const DataFile *inputs, const DataFile *measures);

  // Number of steps of a run: from time 0 to the last time of the files, or
  // the continuous window without files.
  long stepCount() const;
  // Runs from the initial values; observer may be empty.
  RunTotals run(const StepObserver &observer);
  // Value of the variable at a step of the run (a parameter's at any step).
  double valueAt(variable v, long step) const;
  // The condition held at the step.
  bool holds(condition c, long step) const;

 private:
  void initialise(StepOutcome &outcome);
  void advance(variable v, long step, StepOutcome &outcome);
  double predict(variable v, long step);
  void compare(variable v, long step, double predicted, StepOutcome &outcome);
  void evaluateConditions(long step);

  runtime rt;
  const std::vector<ConditionVariable> &conditionVariables;
  const DataFile *inputs;
  const DataFile *measures;
  std::unordered_map<variable, long> index;          // position in the dictionary
  std::unordered_map<variable, long> measureColumn;  // position in the measure table
  std::vector<long> lastCompared;                    // per measure, the last step compared
  std::unordered_set<variable> inputVariables;
  std::unordered_map<variable, SecondOrderStep> secondOrderSteps;  // made once per variable
  std::vector<std::vector<double>> values;     // per variable of the dictionary, per step
  std::vector<double> velocity;                // derivative of second-order variables
  RunTotals totals;
};

// A coefficient's value: a real, or the middle of a range.
double coefficient(objet value);

#endif
