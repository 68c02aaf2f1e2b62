// One step of the application's continuous model: inputs set, every
// variable computed in the updating order through its active influences,
// measures weighed against the predictions and then taken. The nominal run
// and every assignment the diagnosis keeps step their own state with it.
#ifndef MORVEL_RUNTIME_CONTINUOUS_STEP_H
#define MORVEL_RUNTIME_CONTINUOUS_STEP_H

#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data_files.h"
#include "responses.h"
#include "sarn-runt.h"

class Atom;

// What does not change during a run.
class ContinuousModel {
 public:
  ContinuousModel(runtime rt, double noise, double freeWidth);

  long position(variable v) const { return index.at(v); }
  // Column in the measure table, -1 for a variable not measured.
  long measureColumn(variable v) const;
  long measureColumnAt(long position) const { return columnAt[position]; }
  bool isInput(variable v) const { return inputs.count(v) != 0; }
  // Deviation of a measure of v: noise times the domain's width, or times
  // max(1, |measured|) for an unbounded domain.
  double deviation(variable v, double measured) const;
  // Width of the domain, free_width when it is unbounded; and its bounds.
  double width(variable v) const;
  bool bounded(variable v) const;
  const SecondOrderStep &secondOrder(variable v) const;

  runtime rt;
  long window;  // steps of values a state keeps: the longest delay, and two
  double noise;
  double freeWidth;
  // The causal graph as the steps read it, by position. A variable read at
  // the step itself (by a static influence without delay, or by the
  // activation condition of one) acts on its readers within the step; any
  // other reading is of a past step.
  std::vector<long> sequence;                   // the variables stepped, in the updating order
  std::vector<long> updateRank;                 // rank in the updating order, -1 when not computed
  std::vector<std::vector<long>> sameStepReaders;
  std::unordered_map<const Atom *, std::vector<long>> atomReadersAtStep;
  std::vector<std::vector<long>> causes;        // every cause, at any step
  std::vector<std::vector<const Atom *>> atomsRead;  // by the activation conditions, at any step


 private:
  std::unordered_map<variable, long> index;
  std::unordered_map<variable, long> measures;
  std::vector<long> columnAt;  // per position
  std::unordered_map<variable, char> inputs;
  mutable std::unordered_map<variable, SecondOrderStep> secondOrders;
};

// The values of one run over its last steps.
struct ContinuousState {
  long step = -1;                // the latest step held
  std::vector<double> values;    // `window` rows of one value per variable
  std::vector<double> velocity;  // derivative of the second-order variables

  // The value of variable `var` at a step, held steps only (an earlier one
  // reads the earliest held, a later one the latest).
  double value(const ContinuousModel &model, long var, long at) const;
  void set(const ContinuousModel &model, long var, long at, double value);
};

// A measured variable of the step against its prediction.
struct Comparison {
  variable var;
  long column;  // in the measure table
  double measured;
  double predicted;
  double tolerance;  // the nominal report's band: in range within predicted +- tolerance
  int alarm;         // 0 in range, -1 too low, 1 too high
};

// Truth of a mode atom at a step, for the activation conditions.
typedef std::function<bool(const Atom *, long)> ModeReader;

// What a step reads besides the state.
struct StepEvidence {
  const DataRow *inputs;    // the input row in force, or NULL
  const DataRow *measures;  // the measure row of the step, or NULL
};

// The input row in force at the step's time (the first row before it), and
// the measure row of the step.
StepEvidence evidenceAt(const DataFile *inputs, const DataFile *measures, double time);

// What a step found.
struct StepWeighing {
  std::vector<Comparison> comparisons;  // in the order they were made
  double logLikelihood = 0;             // of the measures, free variables integrated out
  std::vector<long> freeAtStep;         // the variables free and not measured, by position, sorted
};

// Step 0: inputs of the first row, initial values, measured variables at
// their first measure (those with an initial value compared with it), the
// others 0.
void startState(const ContinuousModel &model, ContinuousState &state, const StepEvidence &evidence,
                StepWeighing &weighing);

// Advances the state to `step`. free, when not NULL, marks per variable the
// ones not computed at this step (their values integrated out).
void advanceState(const ContinuousModel &model, ContinuousState &state, long step,
                  const ModeReader &modes, const std::vector<char> *free,
                  const StepEvidence &evidence, StepWeighing &weighing);

// What a re-step of some variables changed, to be restored.
struct Restep {
  struct Saved {
    long position;
    double value;
    double velocity;
  };
  std::vector<Saved> saved;
  std::vector<Comparison> comparisons;  // of the measures re-compared, in order
  double logLikelihood = 0;             // of those measures
};

// The variables that a change of the step's modes or values at `seeds`
// re-computes at the step: the seeds and what reads them at the step, not
// through a variable whose measure the step has (it then holds its measure
// whatever its prediction). In the updating order.
std::vector<long> reachedAtStep(const ContinuousModel &model, const std::vector<long> &seeds,
                                const StepEvidence &evidence);

// Re-computes at the state's latest step the variables `positions` (in the
// updating order) with other modes than the state was advanced with, none of
// them free; their measures are compared again. restoreStep undoes it.
void restepVariables(const ContinuousModel &model, ContinuousState &state,
                     const std::vector<long> &positions, const ModeReader &modes,
                     const StepEvidence &evidence, Restep &restep);
// The same where some of them are free (marked in `free`): the likelihood
// of their measures integrates the free values out, and weighing tells
// which values were computed from free ones.
void restepFree(const ContinuousModel &model, ContinuousState &state,
                const std::vector<long> &positions, const ModeReader &modes,
                const std::vector<char> &free, const StepEvidence &evidence, Restep &restep,
                StepWeighing &weighing);
void restoreStep(const ContinuousModel &model, ContinuousState &state, const Restep &restep);

// log N(measured; predicted, σ) of a measure of v.
double measureLogDensity(const ContinuousModel &model, variable v, double measured,
                         double predicted);

// The variables (by position) and the atoms a condition reads.
void conditionReads(const ContinuousModel &model, condition c, std::vector<long> &positions,
                    std::vector<const Atom *> &atoms);

// The condition held at a step of the state.
bool conditionHolds(const ContinuousModel &model, const ContinuousState &state, condition c,
                    long step, const ModeReader &modes);

// A coefficient's value: a real, or the middle of a range.
double coefficient(objet value);

// Value of an expression at a step of the state (the lower bound of a range).
double expressionValue(const ContinuousModel &model, const ContinuousState &state, expr e,
                       long step);

#endif
