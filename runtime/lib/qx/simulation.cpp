#include "simulation.h"

#include <algorithm>
#include <cmath>

#include "Atom.h"
#include "StateVar.h"

Simulation::Simulation(const Application &application, const ContinuousModel &model,
                       const DataFile *inputs, const DataFile *measures)
    : model(model), conditionVariables(application.conditionVariables), inputs(inputs),
      measures(measures),
      defaultModes([](const Atom *atom, long) {
        return atom->getStateVar()->getCurrentState() == atom->value;
      }) {}

long Simulation::stepCount() const {
  double last = -1;
  if (inputs != NULL)
    last = std::max(last, inputs->rows.back().time);
  if (measures != NULL)
    last = std::max(last, measures->rows.back().time);
  if (last < 0)
    return model.rt->twc > 0 ? model.rt->twc : 1;
  return static_cast<long>(std::floor(last / model.rt->ts + 1e-9)) + 1;
}

double Simulation::valueAt(variable v, long step) const {
  if (v->cst)
    return coefficient(v->oldVal);
  return state.value(model, model.position(v), step);
}

RunTotals Simulation::run(const StepObserver &observer, long steps) {
  RunTotals totals{0, 0, 0, 0.0};
  if (steps < 0)
    steps = stepCount();
  for (long step = 0; step < steps; ++step) {
    StepOutcome outcome{step, step * model.rt->ts, {}};
    StepEvidence evidence = evidenceAt(inputs, measures, outcome.time);
    StepWeighing weighing;
    if (step == 0)
      startState(model, state, evidence, weighing);
    else
      advanceState(model, state, step, defaultModes, NULL, evidence, weighing);
    outcome.comparisons = weighing.comparisons;
    // Reported in the order of the measure table.
    std::sort(outcome.comparisons.begin(), outcome.comparisons.end(),
              [&](const Comparison &a, const Comparison &b) {
                return model.measureColumn(a.var) < model.measureColumn(b.var);
              });
    for (const Comparison &comparison : outcome.comparisons) {
      long column = model.measureColumn(comparison.var);
      model.rt->lowalarm[column] = comparison.alarm < 0;
      model.rt->highalarm[column] = comparison.alarm > 0;
      ++totals.compared;
      totals.outOfRange += comparison.alarm != 0;
      double difference = comparison.measured - comparison.predicted;
      totals.squaredResidual += difference * difference;
    }
    evaluateConditions(step);
    ++totals.steps;
    if (observer)
      observer(outcome);
  }
  return totals;
}

// Each condition variable takes the value whose condition holds.
void Simulation::evaluateConditions(long step) {
  for (const ConditionVariable &conditioned : conditionVariables)
    for (const ConditionValue &value : conditioned.values) {
      if (value.cond == NULL)
        continue;
      bool holding = conditionHolds(model, state, value.cond, step, defaultModes);
      value.atom->setLabel(holding ? "true" : "false");
      if (holding)
        conditioned.variable->setCurrentState(value.atom->value);
    }
}
