#include "simulation.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Atom.h"
#include "StateVar.h"
#include "responses.h"

namespace {

struct Interval {
  double low;
  double up;
};

Interval point(double value) { return Interval{value, value}; }

Interval intervalOf(objet value) {
  if (value == NULL)
    return point(0);
  if (value->type == objRange)
    return Interval{value->val.low, value->val.up};
  return point(value->val.low);
}

Interval combine(Interval a, Interval b, double (*op)(double, double)) {
  double corners[4] = {op(a.low, b.low), op(a.low, b.up), op(a.up, b.low), op(a.up, b.up)};
  return Interval{*std::min_element(corners, corners + 4), *std::max_element(corners, corners + 4)};
}

double add(double a, double b) { return a + b; }
double subtract(double a, double b) { return a - b; }
double multiply(double a, double b) { return a * b; }
double divide(double a, double b) { return a / b; }
double power(double a, double b) { return std::pow(a, b); }

Interval quotient(Interval a, Interval b) {
  if (b.low <= 0 && b.up >= 0)
    return Interval{-DBL_MAX, DBL_MAX};
  return combine(a, b, divide);
}

// Value range of an expression at a step.
Interval evaluate(const Simulation &run, expr e, long step) {
  if (e == NULL)
    return point(0);
  switch (e->tex) {
  case exprAdd:
    return combine(evaluate(run, e->op1, step), evaluate(run, e->op2, step), add);
  case exprSub:
    return combine(evaluate(run, e->op1, step), evaluate(run, e->op2, step), subtract);
  case exprMul:
    return combine(evaluate(run, e->op1, step), evaluate(run, e->op2, step), multiply);
  case exprDiv:
    return quotient(evaluate(run, e->op1, step), evaluate(run, e->op2, step));
  case exprPow:
    return combine(evaluate(run, e->op1, step), evaluate(run, e->op2, step), power);
  case exprSign: {
    Interval operand = evaluate(run, e->op1, step);
    return Interval{-operand.up, -operand.low};
  }
  default:
    if (e->gv == NULL)
      return point(0);
    if (e->gv->tgv == gvVariable && e->gv->uv.var != NULL)
      return point(run.valueAt(e->gv->uv.var, step));
    return intervalOf(e->gv->ob);
  }
}

// A relation between a value and a range holds when it holds for some value
// of the range.
bool related(double v, int relation, Interval against) {
  switch (relation) {
  case opEq:
  case opIn:
    return against.low <= v && v <= against.up;
  case opNe:
    return !(against.low == v && against.up == v);
  case opLe:
    return v <= against.up;
  case opLt:
    return v < against.up;
  case opGe:
    return v >= against.low;
  case opGt:
    return v > against.low;
  default:
    return true;
  }
}

// Delay of an influence in whole steps: the middle of its bounds.
long delayOf(influence i) { return (i->delinf + i->delsup) / 2; }

// Comparisons allow 2% of the domain's width, or of the predicted value
// (at least 1) for a variable without a bounded domain.
double toleranceOf(variable v, double predicted) {
  if (v->dom != NULL && v->dom->type == objRange && v->dom->val.low > -DBL_MAX &&
      v->dom->val.up < DBL_MAX)
    return 0.02 * (v->dom->val.up - v->dom->val.low);
  return 0.02 * std::fmax(1.0, std::fabs(predicted));
}

} // namespace

// Damping and pulse of the variable's first second-order cause, from xi and
// w, or else from a0, a1 and a2 of a2 x'' + a1 x' + a0 x.
static void secondOrderShape(cGraph node, double &damping, double &pulse) {
  damping = pulse = 0;
  for (long c = 0; c < node->ncause; ++c) {
    influence i = node->vcause[c];
    if (i->it != influSecondOrder)
      continue;
    if (i->w != NULL) {
      pulse = coefficient(i->w);
      damping = coefficient(i->xi);
    } else if (i->d0 != NULL && i->d2 != NULL && coefficient(i->d0) * coefficient(i->d2) > 0) {
      double a0 = coefficient(i->d0), a2 = coefficient(i->d2);
      pulse = std::sqrt(a0 / a2);
      damping = coefficient(i->d1) / (2 * std::sqrt(a0 * a2));
    }
    return;
  }
}

double coefficient(objet value) {
  if (value == NULL)
    return 0;
  if (value->type != objRange)
    return value->val.low;
  if (value->val.low <= -DBL_MAX)
    return value->val.up;
  if (value->val.up >= DBL_MAX)
    return value->val.low;
  return (value->val.low + value->val.up) / 2;
}

Simulation::Simulation(const Application &application, const DataFile *inputs,
                       const DataFile *measures)
    : rt(application.rt), conditionVariables(application.conditionVariables), inputs(inputs),
      measures(measures), totals() {
  for (long i = 0; i < rt->nvar; ++i)
    index[rt->dico[i]] = i;
  for (long i = 0; i < rt->nmes; ++i)
    measureColumn[rt->mes[i]] = i;
  for (long i = 0; i < rt->nin; ++i)
    inputVariables.insert(rt->in[i]);
}

long Simulation::stepCount() const {
  double last = -1;
  if (inputs != NULL)
    last = std::max(last, inputs->rows.back().time);
  if (measures != NULL)
    last = std::max(last, measures->rows.back().time);
  if (last < 0)
    return rt->twc > 0 ? rt->twc : 1;
  return static_cast<long>(std::floor(last / rt->ts + 1e-9)) + 1;
}

double Simulation::valueAt(variable v, long step) const {
  if (v->cst)
    return coefficient(v->oldVal);
  const std::vector<double> &history = values[index.at(v)];
  if (step < 0)
    step = 0;
  return history[std::min(step, static_cast<long>(history.size()) - 1)];
}

bool Simulation::holds(condition c, long step) const {
  if (c == NULL)
    return true;
  switch (c->type) {
  case 1:
    return c->cte != 0;
  case 2:
    return related(valueAt(c->var1, step), c->opr,
                   c->var2 != NULL ? point(valueAt(c->var2, step)) : intervalOf(c->ob));
  case 3:
    return holds(c->op1, step) || holds(c->op2, step);
  case 4:
    return holds(c->op1, step) && holds(c->op2, step);
  case 5:
    return !holds(c->op1, step);
  case 6:
    return c->at == NULL ? c->cte != 0
                         : c->at->getStateVar()->getCurrentState() == c->at->value;
  case 7:
    return related(valueAt(c->var1, step), c->opr, evaluate(*this, c->e, step));
  default:
    return true;
  }
}

RunTotals Simulation::run(const StepObserver &observer) {
  totals = RunTotals{0, 0, 0, 0.0};
  values.assign(rt->nvar, std::vector<double>());
  velocity.assign(rt->nvar, 0.0);
  lastCompared.assign(rt->nmes, -1);
  long steps = stepCount();
  for (long step = 0; step < steps; ++step) {
    StepOutcome outcome{step, step * rt->ts, {}};
    if (step == 0) {
      initialise(outcome);
    } else {
      for (std::vector<double> &history : values)
        history.push_back(history.back());
      const DataRow *row = inputs != NULL ? rowAt(*inputs, outcome.time) : NULL;
      for (long i = 0; row != NULL && i < rt->nin; ++i)
        values[index[rt->in[i]]][step] = row->values[i];
      // Temporal variables first, then the others by increasing depth; each
      // measured one is compared at once, so that what depends on it reads
      // its measure.
      for (long i = 0; i < rt->ntemp; ++i)
        advance(rt->temp[i], step, outcome);
      for (long i = 0; i < rt->nuntemp; ++i)
        advance(rt->untemp[i], step, outcome);
      for (long i = 0; i < rt->nmes; ++i)
        if (lastCompared[i] < step)
          compare(rt->mes[i], step, values[index[rt->mes[i]]][step], outcome);
    }
    // Reported in the order of the measure table.
    std::sort(outcome.comparisons.begin(), outcome.comparisons.end(),
              [&](const Comparison &a, const Comparison &b) {
                return measureColumn[a.var] < measureColumn[b.var];
              });
    evaluateConditions(step);
    ++totals.steps;
    if (observer)
      observer(outcome);
  }
  return totals;
}

// Step 0: inputs from the first row, initialised variables at their initial
// value, measured ones at their first measure, the others at 0.
void Simulation::initialise(StepOutcome &outcome) {
  for (long i = 0; i < rt->nvar; ++i)
    values[i].push_back(0.0);
  const DataRow *row = inputs != NULL ? rowAt(*inputs, 0.0) : NULL;
  if (row == NULL && inputs != NULL)
    row = &inputs->rows.front();
  for (long i = 0; row != NULL && i < rt->nin; ++i)
    values[index[rt->in[i]]][0] = row->values[i];
  std::vector<bool> initialised(rt->nvar, false);
  for (long i = 0; i < rt->nit; ++i) {
    long position = index[rt->iv[i]->var];
    values[position][0] = coefficient(rt->iv[i]->val);
    initialised[position] = true;
  }
  for (long i = 0; i < rt->nmes; ++i) {
    long position = index[rt->mes[i]];
    if (initialised[position])
      compare(rt->mes[i], 0, values[position][0], outcome);
    else if (const DataRow *measured = measures != NULL ? rowOf(*measures, 0.0) : NULL)
      if (measured->given[i])
        values[position][0] = measured->values[i];
  }
}

// Computes a variable of the updating sequence, then compares it with its measure.
void Simulation::advance(variable v, long step, StepOutcome &outcome) {
  if (v->node == NULL || v->node->ncause == 0 || inputVariables.count(v) != 0)
    return;
  double predicted = predict(v, step);
  values[index[v]][step] = predicted;
  compare(v, step, predicted, outcome);
}

// The value of v at the step from its active causes. Dynamic, integral and
// second-order influences read their cause one step back plus their delay,
// the cause being held over the step; static and constant ones read it their
// delay back, at the step itself without delay.
double Simulation::predict(variable v, long step) {
  cGraph node = v->node;
  double previous = values[index[v]][step - 1];
  double forcing = 0;
  for (long c = 0; c < node->ncause; ++c) {
    influence i = node->vcause[c];
    bool held = i->it != influStatic && i->it != influConstant;
    long sample = step - delayOf(i) - (held ? 1 : 0);
    if (i->cause == NULL || !holds(i->cd, sample))
      continue;
    double gain = i->it == influConstant ? 1.0 : coefficient(i->gain);
    forcing += gain * valueAt(i->cause, sample);
  }
  switch (node->ti) {
  case influDynamic: {
    double factor = firstOrderFactor(rt->ts, coefficient(node->vcause[0]->tRep));
    return factor * previous + (1 - factor) * forcing;
  }
  case influIntegral:
    return previous + rt->ts * forcing;
  case influSecondOrder: {
    auto known = secondOrderSteps.find(v);
    if (known == secondOrderSteps.end()) {
      double damping, pulse;
      secondOrderShape(node, damping, pulse);
      known = secondOrderSteps.emplace(v, secondOrderStep(rt->ts, damping, pulse)).first;
    }
    double state[2] = {previous, velocity[index[v]]};
    advanceSecondOrder(known->second, state, forcing);
    velocity[index[v]] = state[1];
    return state[0];
  }
  default:
    return forcing;
  }
}

// Compares a measured variable with its prediction when the measure file
// gives its value at the step; the measure then replaces the prediction.
void Simulation::compare(variable v, long step, double predicted, StepOutcome &outcome) {
  auto measured = measureColumn.find(v);
  const DataRow *row = measures != NULL ? rowOf(*measures, step * rt->ts) : NULL;
  if (measured == measureColumn.end() || row == NULL)
    return;
  long column = measured->second;
  lastCompared[column] = step;
  if (!row->given[column])
    return;
  double value = row->values[column];
  double tolerance = toleranceOf(v, predicted);
  int alarm = value < predicted - tolerance ? -1 : value > predicted + tolerance ? 1 : 0;
  outcome.comparisons.push_back(Comparison{v, value, predicted, tolerance, alarm});
  values[index[v]][step] = value;
  rt->lowalarm[column] = alarm < 0;
  rt->highalarm[column] = alarm > 0;
  ++totals.compared;
  totals.outOfRange += alarm != 0;
  totals.squaredResidual += (value - predicted) * (value - predicted);
}

// Each condition variable takes the value whose condition holds.
void Simulation::evaluateConditions(long step) {
  for (const ConditionVariable &conditioned : conditionVariables)
    for (const ConditionValue &value : conditioned.values) {
      if (value.cond == NULL)
        continue;
      bool holding = holds(value.cond, step);
      value.atom->setLabel(holding ? "true" : "false");
      if (holding)
        conditioned.variable->setCurrentState(value.atom->value);
    }
}
