#include "continuous_step.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Atom.h"
#include "StateVar.h"

namespace {

const double kLogTwoPi = std::log(2 * M_PI);

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
Interval evaluate(const ContinuousModel &model, const ContinuousState &state, expr e, long step) {
  if (e == NULL)
    return point(0);
  switch (e->tex) {
  case exprAdd:
    return combine(evaluate(model, state, e->op1, step), evaluate(model, state, e->op2, step), add);
  case exprSub:
    return combine(evaluate(model, state, e->op1, step), evaluate(model, state, e->op2, step),
                   subtract);
  case exprMul:
    return combine(evaluate(model, state, e->op1, step), evaluate(model, state, e->op2, step),
                   multiply);
  case exprDiv:
    return quotient(evaluate(model, state, e->op1, step), evaluate(model, state, e->op2, step));
  case exprPow:
    return combine(evaluate(model, state, e->op1, step), evaluate(model, state, e->op2, step),
                   power);
  case exprSign: {
    Interval operand = evaluate(model, state, e->op1, step);
    return Interval{-operand.up, -operand.low};
  }
  default:
    if (e->gv == NULL)
      return point(0);
    if (e->gv->tgv == gvVariable && e->gv->uv.var != NULL) {
      variable v = e->gv->uv.var;
      return point(v->cst ? coefficient(v->oldVal) : state.value(model, model.position(v), step));
    }
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

// The nominal report's band: 2% of the domain's width, or of the predicted
// value (at least 1) for a variable without a bounded domain.
double toleranceOf(variable v, double predicted) {
  if (v->dom != NULL && v->dom->type == objRange && v->dom->val.low > -DBL_MAX &&
      v->dom->val.up < DBL_MAX)
    return 0.02 * (v->dom->val.up - v->dom->val.low);
  return 0.02 * std::fmax(1.0, std::fabs(predicted));
}

// Damping and pulse of the variable's first second-order cause, from xi and
// w, or else from a0, a1 and a2 of a2 x'' + a1 x' + a0 x.
void secondOrderShape(cGraph node, double &damping, double &pulse) {
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

// A value computed at the step: a constant, plus a combination of the free
// values of the step (by their rank among the step's free variables).
struct Affine {
  double constant = 0;
  std::vector<std::pair<long, double>> terms;

  void add(const Affine &other, double factor) {
    constant += factor * other.constant;
    for (const auto &term : other.terms) {
      auto same = std::find_if(terms.begin(), terms.end(),
                               [&](const std::pair<long, double> &t) { return t.first == term.first; });
      if (same != terms.end())
        same->second += factor * term.second;
      else
        terms.push_back({term.first, factor * term.second});
    }
  }
  void scale(double factor) {
    constant *= factor;
    for (auto &term : terms)
      term.second *= factor;
  }
};

Affine constant(double value) {
  Affine form;
  form.constant = value;
  return form;
}

// A measure of the step against its prediction.
struct MeasureRow {
  double measured;
  Affine predicted;
  double sigma;
};

// log ∫ Π U(x_f) Π N(m_j; a_j + B_j·x, σ_j) dx over the free values, the
// Gaussian integral over all values; estimates receives the most probable
// free values (NAN for those no measure depends on, or whose effect the
// others already give).
double integrateMeasures(const std::vector<MeasureRow> &rows, const std::vector<double> &widths,
                         std::vector<double> &estimates) {
  size_t n = widths.size();
  estimates.assign(n, NAN);
  double logL = 0;
  std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
  std::vector<double> b(n, 0.0);
  for (const MeasureRow &row : rows) {
    double precision = 1 / (row.sigma * row.sigma);
    double residual = row.measured - row.predicted.constant;
    logL -= std::log(row.sigma) + 0.5 * kLogTwoPi + 0.5 * residual * residual * precision;
    for (const auto &[f, bf] : row.predicted.terms) {
      b[f] += bf * residual * precision;
      for (const auto &[g, bg] : row.predicted.terms)
        a[f][g] += bf * bg * precision;
    }
  }
  if (n == 0)
    return logL;

  // Cholesky factor of A, leaving out the free values whose column adds
  // nothing to the ones before.
  double largest = 0;
  for (size_t f = 0; f < n; ++f)
    largest = std::max(largest, a[f][f]);
  std::vector<std::vector<double>> l(n, std::vector<double>(n, 0.0));
  std::vector<char> kept(n, 0);
  for (size_t j = 0; j < n; ++j) {
    double d = a[j][j];
    for (size_t k = 0; k < j; ++k)
      d -= l[j][k] * l[j][k];
    if (!(d > 1e-12 * largest))
      continue;
    kept[j] = 1;
    l[j][j] = std::sqrt(d);
    for (size_t i = j + 1; i < n; ++i) {
      double s = a[i][j];
      for (size_t k = 0; k < j; ++k)
        s -= l[i][k] * l[j][k];
      l[i][j] = s / l[j][j];
    }
  }
  std::vector<double> y(n, 0.0), x(n, 0.0);
  for (size_t j = 0; j < n; ++j) {
    if (!kept[j])
      continue;
    double s = b[j];
    for (size_t k = 0; k < j; ++k)
      s -= l[j][k] * y[k];
    y[j] = s / l[j][j];
    logL += 0.5 * kLogTwoPi - std::log(l[j][j]) + 0.5 * y[j] * y[j] - std::log(widths[j]);
  }
  for (size_t j = n; j-- > 0;) {
    if (!kept[j])
      continue;
    double s = y[j];
    for (size_t i = j + 1; i < n; ++i)
      s -= l[i][j] * x[i];
    x[j] = s / l[j][j];
    estimates[j] = x[j];
  }
  return logL;
}

// The value of v at the step from its active causes. Dynamic, integral and
// second-order influences read their cause one step back plus their delay,
// the cause being held over the step; static and constant ones read it
// their delay back, at the step itself without delay. formAtStep gives the
// value of a cause at the step.
template <typename FormAtStep>
Affine predictAtStep(const ContinuousModel &model, ContinuousState &state, long step,
                     const ModeReader &modes, variable v, long position,
                     const FormAtStep &formAtStep) {
  runtime rt = model.rt;
  cGraph node = v->node;
  double previous = state.value(model, position, step - 1);
  Affine forcing;
  for (long c = 0; c < node->ncause; ++c) {
    influence i = node->vcause[c];
    bool held = i->it != influStatic && i->it != influConstant;
    long sample = step - delayOf(i) - (held ? 1 : 0);
    if (i->cause == NULL || !conditionHolds(model, state, i->cd, sample, modes))
      continue;
    double gain = i->it == influConstant ? 1.0 : coefficient(i->gain);
    if (i->cause->cst)
      forcing.add(constant(coefficient(i->cause->oldVal)), gain);
    else if (sample == step)
      forcing.add(formAtStep(model.position(i->cause)), gain);
    else
      forcing.add(constant(state.value(model, model.position(i->cause), sample)), gain);
  }
  switch (node->ti) {
  case influDynamic: {
    double factor = firstOrderFactor(rt->ts, coefficient(node->vcause[0]->tRep));
    forcing.scale(1 - factor);
    forcing.constant += factor * previous;
    return forcing;
  }
  case influIntegral:
    forcing.scale(rt->ts);
    forcing.constant += previous;
    return forcing;
  case influSecondOrder: {
    double motion[2] = {previous, state.velocity[position]};
    advanceSecondOrder(model.secondOrder(v), motion, forcing.constant);
    state.velocity[position] = motion[1];
    return constant(motion[0]);
  }
  default:
    return forcing;
  }
}

} // namespace

void conditionReads(const ContinuousModel &model, condition c, std::vector<long> &positions,
                    std::vector<const Atom *> &atoms) {
  if (c == NULL)
    return;
  auto read = [&](variable v) {
    if (v != NULL && !v->cst)
      positions.push_back(model.position(v));
  };
  read(c->var1);
  read(c->var2);
  if (c->type == 6 && c->at != NULL)
    atoms.push_back(c->at);
  conditionReads(model, c->op1, positions, atoms);
  conditionReads(model, c->op2, positions, atoms);
  std::vector<expr> pending{c->e};
  while (!pending.empty()) {
    expr e = pending.back();
    pending.pop_back();
    if (e == NULL)
      continue;
    if (e->gv != NULL && e->gv->tgv == gvVariable)
      read(e->gv->uv.var);
    pending.push_back(e->op1);
    pending.push_back(e->op2);
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

StepEvidence evidenceAt(const DataFile *inputs, const DataFile *measures, double time) {
  StepEvidence evidence{NULL, NULL};
  if (inputs != NULL) {
    evidence.inputs = rowAt(*inputs, time);
    if (evidence.inputs == NULL)
      evidence.inputs = &inputs->rows.front();
  }
  if (measures != NULL)
    evidence.measures = rowOf(*measures, time);
  return evidence;
}

ContinuousModel::ContinuousModel(runtime rt, double noise, double freeWidth)
    : rt(rt), window(2), noise(noise), freeWidth(freeWidth) {
  for (long i = 0; i < rt->nvar; ++i)
    index[rt->dico[i]] = i;
  columnAt.assign(rt->nvar, -1);
  for (long i = 0; i < rt->nmes; ++i) {
    measures[rt->mes[i]] = i;
    columnAt[index.at(rt->mes[i])] = i;
  }
  for (long i = 0; i < rt->nin; ++i)
    inputs[rt->in[i]] = 1;
  for (long i = 0; i < rt->nifl; ++i)
    if (rt->infl[i] != NULL)
      window = std::max(window, std::max(rt->infl[i]->delinf, rt->infl[i]->delsup) + 2);

  updateRank.assign(rt->nvar, -1);
  long rank = 0;
  auto computedHere = [&](variable v) {
    return v->node != NULL && v->node->ncause > 0 && !isInput(v) && updateRank[position(v)] < 0;
  };
  for (long i = 0; i < rt->ntemp + rt->nuntemp; ++i) {
    variable v = i < rt->ntemp ? rt->temp[i] : rt->untemp[i - rt->ntemp];
    if (computedHere(v))
      updateRank[position(v)] = rank++;
    sequence.push_back(position(v));
  }
  // A variable whose instantaneous causes start from a number (a constant
  // influence from a literal) is in no list: it comes after the others, once
  // what it reads at the step is computed.
  for (bool added = true; added;) {
    added = false;
    for (long y = 0; y < rt->nvar; ++y) {
      variable v = rt->dico[y];
      if (!computedHere(v))
        continue;
      bool ready = true;
      for (long c = 0; c < v->node->ncause; ++c) {
        influence i = v->node->vcause[c];
        if (i->cause != NULL && !i->cause->cst && computedHere(i->cause) &&
            (i->it == influStatic || i->it == influConstant) && delayOf(i) == 0)
          ready = false;
      }
      if (ready) {
        updateRank[y] = rank++;
        sequence.push_back(y);
        added = true;
      }
    }
  }
  sameStepReaders.assign(rt->nvar, {});
  causes.assign(rt->nvar, {});
  atomsRead.assign(rt->nvar, {});
  for (long y = 0; y < rt->nvar; ++y) {
    cGraph node = rt->dico[y]->node;
    if (node == NULL || updateRank[y] < 0)
      continue;
    for (long c = 0; c < node->ncause; ++c) {
      influence i = node->vcause[c];
      bool atStep = (i->it == influStatic || i->it == influConstant) && delayOf(i) == 0;
      std::vector<long> read;
      std::vector<const Atom *> atoms;
      if (i->cause != NULL && !i->cause->cst)
        read.push_back(position(i->cause));
      conditionReads(*this, i->cd, read, atoms);
      for (long x : read) {
        causes[y].push_back(x);
        if (atStep)
          sameStepReaders[x].push_back(y);
      }
      for (const Atom *atom : atoms) {
        atomsRead[y].push_back(atom);
        if (atStep)
          atomReadersAtStep[atom].push_back(y);
      }
    }
  }
}

long ContinuousModel::measureColumn(variable v) const {
  auto found = measures.find(v);
  return found != measures.end() ? found->second : -1;
}

bool ContinuousModel::bounded(variable v) const {
  return v->dom != NULL && v->dom->type == objRange && v->dom->val.low > -DBL_MAX &&
         v->dom->val.up < DBL_MAX;
}

double ContinuousModel::width(variable v) const {
  return bounded(v) && v->dom->val.up > v->dom->val.low ? v->dom->val.up - v->dom->val.low
                                                        : freeWidth;
}

double ContinuousModel::deviation(variable v, double measured) const {
  if (bounded(v) && v->dom->val.up > v->dom->val.low)
    return noise * (v->dom->val.up - v->dom->val.low);
  return noise * std::fmax(1.0, std::fabs(measured));
}

const SecondOrderStep &ContinuousModel::secondOrder(variable v) const {
  auto known = secondOrders.find(v);
  if (known == secondOrders.end()) {
    double damping, pulse;
    secondOrderShape(v->node, damping, pulse);
    known = secondOrders.emplace(v, secondOrderStep(rt->ts, damping, pulse)).first;
  }
  return known->second;
}

double ContinuousState::value(const ContinuousModel &model, long var, long at) const {
  long earliest = std::max(0L, step - model.window + 1);
  at = std::min(std::max(at, earliest), step);
  return values[(at % model.window) * model.rt->nvar + var];
}

void ContinuousState::set(const ContinuousModel &model, long var, long at, double value) {
  values[(at % model.window) * model.rt->nvar + var] = value;
}

bool conditionHolds(const ContinuousModel &model, const ContinuousState &state, condition c,
                    long step, const ModeReader &modes) {
  if (c == NULL)
    return true;
  auto valueOf = [&](variable v) {
    return v->cst ? coefficient(v->oldVal) : state.value(model, model.position(v), step);
  };
  switch (c->type) {
  case 1:
    return c->cte != 0;
  case 2:
    return related(valueOf(c->var1), c->opr,
                   c->var2 != NULL ? point(valueOf(c->var2)) : intervalOf(c->ob));
  case 3:
    return conditionHolds(model, state, c->op1, step, modes) ||
           conditionHolds(model, state, c->op2, step, modes);
  case 4:
    return conditionHolds(model, state, c->op1, step, modes) &&
           conditionHolds(model, state, c->op2, step, modes);
  case 5:
    return !conditionHolds(model, state, c->op1, step, modes);
  case 6:
    return c->at == NULL ? c->cte != 0 : modes(c->at, step);
  case 7:
    return related(valueOf(c->var1), c->opr, evaluate(model, state, c->e, step));
  default:
    return true;
  }
}

double expressionValue(const ContinuousModel &model, const ContinuousState &state, expr e,
                       long step) {
  return evaluate(model, state, e, step).low;
}

void startState(const ContinuousModel &model, ContinuousState &state, const StepEvidence &evidence,
                StepWeighing &weighing) {
  runtime rt = model.rt;
  state.step = 0;
  state.values.assign(model.window * rt->nvar, 0.0);
  state.velocity.assign(rt->nvar, 0.0);
  weighing = StepWeighing();
  for (long i = 0; evidence.inputs != NULL && i < rt->nin; ++i)
    state.set(model, model.position(rt->in[i]), 0, evidence.inputs->values[i]);
  std::vector<char> initialised(rt->nvar, 0);
  for (long i = 0; i < rt->nit; ++i) {
    long position = model.position(rt->iv[i]->var);
    state.set(model, position, 0, coefficient(rt->iv[i]->val));
    initialised[position] = 1;
  }
  std::vector<MeasureRow> rows;
  for (long i = 0; evidence.measures != NULL && i < rt->nmes; ++i) {
    if (!evidence.measures->given[i])
      continue;
    variable v = rt->mes[i];
    long position = model.position(v);
    double measured = evidence.measures->values[i];
    if (initialised[position]) {
      double predicted = state.value(model, position, 0);
      double tolerance = toleranceOf(v, predicted);
      int alarm = measured < predicted - tolerance ? -1 : measured > predicted + tolerance ? 1 : 0;
      weighing.comparisons.push_back(Comparison{v, i, measured, predicted, tolerance, alarm});
      rows.push_back(MeasureRow{measured, constant(predicted), model.deviation(v, measured)});
    }
    state.set(model, position, 0, measured);
  }
  std::vector<double> estimates;
  weighing.logLikelihood = integrateMeasures(rows, {}, estimates);
}

namespace {

// Computes the variables of the step in the updating order, all of them or
// only those of `only`, on a state that holds the step's other values.
void stepVariables(const ContinuousModel &model, ContinuousState &state, long step,
                   const ModeReader &modes, const std::vector<char> *free,
                   const StepEvidence &evidence, const std::vector<long> *only,
                   StepWeighing &weighing) {
  runtime rt = model.rt;
  weighing = StepWeighing();

  // The working values of the variables the step computes, by slot: a
  // variable's position on a full step, its rank among the sorted `only` on
  // a re-step, which then costs what it computes.
  std::vector<long> sortedOnly;
  if (only != NULL) {
    sortedOnly = *only;
    std::sort(sortedOnly.begin(), sortedOnly.end());
  }
  size_t slots = only != NULL ? sortedOnly.size() : static_cast<size_t>(rt->nvar);
  auto slotOf = [&](long position) -> long {
    if (only == NULL)
      return position;
    auto found = std::lower_bound(sortedOnly.begin(), sortedOnly.end(), position);
    return found != sortedOnly.end() && *found == position ? found - sortedOnly.begin() : -1;
  };
  auto positionOf = [&](size_t slot) {
    return only != NULL ? sortedOnly[slot] : static_cast<long>(slot);
  };
  std::vector<Affine> current(slots);
  std::vector<char> computed(slots, 0);
  std::vector<long> freeVariables;  // by rank
  std::vector<MeasureRow> rows;
  std::vector<char> compared(only != NULL ? 0 : rt->nmes, 0);

  auto formAtStep = [&](long position) {
    long slot = slotOf(position);
    return slot >= 0 && computed[slot] ? current[slot]
                                       : constant(state.value(model, position, step));
  };
  // Compares a measured variable with its prediction when the step has its
  // measure; the measure then replaces the prediction.
  auto measure = [&](variable v, long position) {
    long column = model.measureColumnAt(position);
    if (column < 0 || evidence.measures == NULL)
      return;
    if (only == NULL)
      compared[column] = 1;
    if (!evidence.measures->given[column])
      return;
    double measured = evidence.measures->values[column];
    Affine predicted = formAtStep(position);
    if (predicted.terms.empty()) {
      double tolerance = toleranceOf(v, predicted.constant);
      int alarm = measured < predicted.constant - tolerance   ? -1
                  : measured > predicted.constant + tolerance ? 1
                                                              : 0;
      weighing.comparisons.push_back(
          Comparison{v, column, measured, predicted.constant, tolerance, alarm});
    }
    rows.push_back(MeasureRow{measured, predicted, model.deviation(v, measured)});
    long slot = slotOf(position);
    current[slot] = constant(measured);
    computed[slot] = 1;
    state.set(model, position, step, measured);
  };
  auto predict = [&](variable v, long position) {
    return predictAtStep(model, state, step, modes, v, position, formAtStep);
  };

  // Temporal variables first, then the others by increasing depth; each
  // measured one is compared at once, so that what depends on it reads its
  // measure.
  auto advance = [&](variable v) {
    if (v->node == NULL || v->node->ncause == 0 || model.isInput(v))
      return;
    long position = model.position(v);
    long slot = slotOf(position);
    if (free != NULL && (*free)[position]) {
      Affine symbol;
      symbol.terms.push_back({static_cast<long>(freeVariables.size()), 1.0});
      freeVariables.push_back(position);
      current[slot] = symbol;
    } else {
      current[slot] = predict(v, position);
    }
    computed[slot] = 1;
    if (current[slot].terms.empty())
      state.set(model, position, step, current[slot].constant);
    measure(v, position);
  };
  if (only != NULL) {
    for (long position : *only)
      advance(rt->dico[position]);
  } else {
    for (long position : model.sequence)
      advance(rt->dico[position]);
    for (long i = 0; i < rt->nmes; ++i)
      if (!compared[i])
        measure(rt->mes[i], model.position(rt->mes[i]));
  }

  std::vector<double> widths;
  for (long position : freeVariables)
    widths.push_back(model.width(rt->dico[position]));
  std::vector<double> estimates;
  weighing.logLikelihood = integrateMeasures(rows, widths, estimates);

  // The free values take their most probable values, inside their domains,
  // or keep their previous ones; what was computed from them follows.
  std::vector<double> freeValues(freeVariables.size());
  for (size_t f = 0; f < freeVariables.size(); ++f) {
    long position = freeVariables[f];
    variable v = rt->dico[position];
    double value = estimates[f];
    if (std::isnan(value))
      value = state.value(model, position, step - 1);
    else if (model.bounded(v))
      value = std::min(std::max(value, v->dom->val.low), v->dom->val.up);
    freeValues[f] = value;
  }
  for (size_t slot = 0; slot < slots; ++slot) {
    if (!computed[slot] || current[slot].terms.empty())
      continue;
    double value = current[slot].constant;
    for (const auto &[f, factor] : current[slot].terms)
      value += factor * freeValues[f];
    state.set(model, positionOf(slot), step, value);
    weighing.freeAtStep.push_back(positionOf(slot));
  }
}

} // namespace

void advanceState(const ContinuousModel &model, ContinuousState &state, long step,
                  const ModeReader &modes, const std::vector<char> *free,
                  const StepEvidence &evidence, StepWeighing &weighing) {
  runtime rt = model.rt;
  // The new step starts from the values of the one before.
  for (long v = 0; v < rt->nvar; ++v)
    state.set(model, v, step, state.value(model, v, step - 1));
  state.step = step;
  for (long i = 0; evidence.inputs != NULL && i < rt->nin; ++i)
    state.set(model, model.position(rt->in[i]), step, evidence.inputs->values[i]);
  stepVariables(model, state, step, modes, free, evidence, NULL, weighing);
}

void restepFree(const ContinuousModel &model, ContinuousState &state,
                const std::vector<long> &positions, const ModeReader &modes,
                const std::vector<char> &free, const StepEvidence &evidence, Restep &restep,
                StepWeighing &weighing) {
  restep = Restep();
  for (long position : positions)
    restep.saved.push_back(Restep::Saved{position, state.value(model, position, state.step),
                                         state.velocity[position]});
  stepVariables(model, state, state.step, modes, &free, evidence, &positions, weighing);
  restep.comparisons = weighing.comparisons;
  restep.logLikelihood = weighing.logLikelihood;
}

double measureLogDensity(const ContinuousModel &model, variable v, double measured,
                         double predicted) {
  double sigma = model.deviation(v, measured);
  double residual = (measured - predicted) / sigma;
  return -(std::log(sigma) + 0.5 * kLogTwoPi + 0.5 * residual * residual);
}

std::vector<long> reachedAtStep(const ContinuousModel &model, const std::vector<long> &seeds,
                                const StepEvidence &evidence) {
  std::vector<long> reached;
  std::vector<long> pending;
  auto reach = [&](long position) {
    if (model.updateRank[position] < 0 ||
        std::find(reached.begin(), reached.end(), position) != reached.end())
      return;
    reached.push_back(position);
    long column = model.measureColumnAt(position);
    if (column < 0 || evidence.measures == NULL || !evidence.measures->given[column])
      pending.push_back(position);
  };
  for (long seed : seeds)
    reach(seed);
  while (!pending.empty()) {
    long position = pending.back();
    pending.pop_back();
    for (long reader : model.sameStepReaders[position])
      reach(reader);
  }
  std::sort(reached.begin(), reached.end(),
            [&](long a, long b) { return model.updateRank[a] < model.updateRank[b]; });
  return reached;
}

void restepVariables(const ContinuousModel &model, ContinuousState &state,
                     const std::vector<long> &positions, const ModeReader &modes,
                     const StepEvidence &evidence, Restep &restep) {
  long step = state.step;
  restep = Restep();
  auto formAtStep = [&](long position) { return constant(state.value(model, position, step)); };
  for (long position : positions) {
    variable v = model.rt->dico[position];
    restep.saved.push_back(
        Restep::Saved{position, state.value(model, position, step), state.velocity[position]});
    double predicted = predictAtStep(model, state, step, modes, v, position, formAtStep).constant;
    state.set(model, position, step, predicted);
    long column = model.measureColumnAt(position);
    if (column < 0 || evidence.measures == NULL || !evidence.measures->given[column])
      continue;
    double measured = evidence.measures->values[column];
    double tolerance = toleranceOf(v, predicted);
    int alarm = measured < predicted - tolerance ? -1 : measured > predicted + tolerance ? 1 : 0;
    restep.comparisons.push_back(Comparison{v, column, measured, predicted, tolerance, alarm});
    restep.logLikelihood += measureLogDensity(model, v, measured, predicted);
    state.set(model, position, step, measured);
  }
}

void restoreStep(const ContinuousModel &model, ContinuousState &state, const Restep &restep) {
  for (auto saved = restep.saved.rbegin(); saved != restep.saved.rend(); ++saved) {
    state.set(model, saved->position, state.step, saved->value);
    state.velocity[saved->position] = saved->velocity;
  }
}
