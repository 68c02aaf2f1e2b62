#include "diagnoser.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "Atom.h"
#include "Clause.h"
#include "StateVar.h"
#include "Transition.h"

namespace {

double logSum(double a, double b) {
  if (a == -INFINITY)
    return b;
  if (b == -INFINITY)
    return a;
  double high = std::max(a, b);
  return high + std::log1p(std::exp(std::min(a, b) - high));
}

std::string keyOf(const std::vector<int> &values) {
  return std::string(reinterpret_cast<const char *>(values.data()), values.size() * sizeof(int));
}

// Whether a condition reads a variable that is free at the step.
bool readsFree(const ContinuousModel &model, condition c, const std::vector<char> &freeAtStep) {
  if (c == NULL)
    return false;
  auto isFree = [&](variable v) { return v != NULL && !v->cst && freeAtStep[model.position(v)]; };
  std::vector<expr> pending;
  if (c->e != NULL)
    pending.push_back(c->e);
  bool found = isFree(c->var1) || isFree(c->var2) || readsFree(model, c->op1, freeAtStep) ||
               readsFree(model, c->op2, freeAtStep);
  while (!found && !pending.empty()) {
    expr e = pending.back();
    pending.pop_back();
    if (e == NULL)
      continue;
    if (e->gv != NULL && e->gv->tgv == gvVariable)
      found = isFree(e->gv->uv.var);
    pending.push_back(e->op1);
    pending.push_back(e->op2);
  }
  return found;
}

// Whether a successor keeps the faults it had and takes no other.
bool noNewFault(const DiagnosisModel &model, const std::vector<int> &before,
                const std::vector<int> &after) {
  for (size_t m = 0; m < after.size(); ++m)
    if (model.modes[m].fault[after[m]] && after[m] != before[m])
      return false;
  return true;
}

} // namespace

Diagnoser::Diagnoser(const DiagnosisModel &model, const ContinuousModel *continuous,
                     const DiagnosisSettings &settings, const DiagnosisEvidence &evidence)
    : model(model), continuous(continuous), settings(settings), evidence(evidence),
      window(continuous != NULL ? continuous->window : 1) {
  const std::vector<Clause *> &all = *model.application.scheduler->cls;
  clauses.reset(new ClauseTest(all));
  for (const Clause *clause : all)
    if (clause->cond != NULL &&
        std::find(clauseConditions.begin(), clauseConditions.end(), clause->cond) ==
            clauseConditions.end())
      clauseConditions.push_back(clause->cond);
}

Diagnoser::~Diagnoser() = default;

const StepDiagnosis &Diagnoser::step(long step) {
  std::clock_t began = std::clock();
  current = StepDiagnosis();
  current.step = step;
  current.commands = commandsAt(model, evidence.commands,
                                continuous != NULL ? step * continuous->rt->ts : step);
  current.observations = observationsAt(step);
  satisfiableUnder.clear();
  if (step == 0)
    start();
  else
    advance(step);
  commandsBefore = current.commands;

  const Candidate &top = belief.front();
  current.best = top.predicted;
  double total = -INFINITY;
  for (const Candidate &candidate : belief)
    total = logSum(total, candidate.logp);
  current.kept = std::exp(total);
  for (const Candidate &candidate : belief) {
    RankedAssignment ranked{std::exp(candidate.logp), candidate.modes, {}};
    for (size_t m = 0; m < candidate.modes.size(); ++m)
      if (model.modes[m].fault[candidate.modes[m]])
        ranked.faults.push_back(Fault{static_cast<int>(m), candidate.modes[m], candidate.since[m]});
    current.ranked.push_back(ranked);
  }
  current.cpu = static_cast<double>(std::clock() - began) / CLOCKS_PER_SEC;
  return current;
}

// Step 0: the default assignment alone, weighed against the evidence of the step.
void Diagnoser::start() {
  Candidate first;
  for (const ModeVariable &mode : model.modes)
    first.modes.push_back(mode.defaultValue);
  first.since.assign(model.modes.size(), -1);
  first.modeHistory.assign(window * model.modes.size(), 0);
  std::copy(first.modes.begin(), first.modes.end(), first.modeHistory.begin());
  StepWeighing weighing;
  if (continuous != NULL) {
    startState(*continuous, first.state,
               evidenceAt(evidence.inputs, evidence.measures, 0.0), weighing);
    first.predicted.assign(continuous->rt->nmes, NAN);
    for (const Comparison &comparison : weighing.comparisons)
      first.predicted[continuous->measureColumn(comparison.var)] = comparison.predicted;
  }
  for (const Comparison &comparison : weighing.comparisons)
    first.flagged = first.flagged || comparison.alarm != 0;
  current.weighed = 1;
  bool explained = consistent(first, continuous != NULL ? &weighing : NULL, 0, true);
  current.explained = explained;
  current.detected = !explained || first.flagged;
  belief.assign(1, first);
  belief.front().logp = 0;
}

void Diagnoser::advance(long step) {
  // The results of every mode variable from each kept assignment.
  std::vector<std::vector<std::vector<ModeOption>>> options;
  for (const Candidate &parent : belief) {
    std::unordered_map<int, bool> entailed;
    std::vector<std::vector<ModeOption>> results;
    for (size_t m = 0; m < model.modes.size(); ++m)
      results.push_back(modeOptions(
          model.modes[m], parent.modes[m],
          [&](const GuardLiteral &literal) {
            return guardLiteralHolds(literal, model, parent.modes, commandsBefore, *clauses, entailed);
          },
          settings.unknown));
    options.push_back(results);
  }

  // The most probable successor of the most probable assignment that takes
  // no new fault, consistent with the evidence, and whether a measure fell
  // out of its prediction's band.
  double bestExpected = -INFINITY;
  bool expectedFlagged = false;
  std::vector<Candidate> merged;
  for (bool withEvidence : {true, false}) {
    std::unordered_map<std::string, size_t> byModes;
    std::vector<double> bestWeight;
    for (size_t p = 0; p < belief.size(); ++p) {
      SuccessorEnumeration successors(options[p]);
      std::vector<int> choice;
      double logPrior;
      long taken = 0;
      while (successors.next(choice, logPrior)) {
        if (taken++ == settings.successors) {
          current.more = true;
          break;
        }
        Candidate successor;
        ++current.weighed;
        if (!weigh(belief[p], options[p], choice, logPrior, step, withEvidence, successor))
          continue;
        if (withEvidence && p == 0 && noNewFault(model, belief[p].modes, successor.modes) &&
            successor.logp > bestExpected) {
          bestExpected = successor.logp;
          expectedFlagged = successor.flagged;
        }
        std::string key = keyOf(successor.modes);
        auto known = byModes.find(key);
        if (known == byModes.end()) {
          byModes[key] = merged.size();
          bestWeight.push_back(successor.logp);
          merged.push_back(std::move(successor));
          continue;
        }
        Candidate &same = merged[known->second];
        double total = logSum(same.logp, successor.logp);
        if (successor.logp > bestWeight[known->second]) {
          bestWeight[known->second] = successor.logp;
          same = std::move(successor);
        }
        same.logp = total;
      }
    }
    if (withEvidence)
      current.detected = bestExpected == -INFINITY || expectedFlagged;
    if (!merged.empty())
      break;
    // No assignment explains the step: weighed again without its evidence.
    current.explained = false;
  }
  if (merged.empty()) {
    // Not even the clauses, modes and commands admit a successor: the
    // assignments stay as they were, their continuous states advanced.
    for (Candidate &kept : belief) {
      if (continuous != NULL) {
        StepWeighing weighing;
        advanceState(*continuous, kept.state, step, modesOf(kept), NULL,
                     StepEvidence{evidenceAt(evidence.inputs, NULL, step * continuous->rt->ts)},
                     weighing);
      }
      std::copy(kept.modes.begin(), kept.modes.end(),
                kept.modeHistory.begin() + (step % window) * kept.modes.size());
    }
    return;
  }
  rank(merged, step);
}

// Normalises, ranks (ties: the modes in table order) and keeps the best.
void Diagnoser::rank(std::vector<Candidate> &merged, long) {
  double total = -INFINITY;
  for (const Candidate &candidate : merged)
    total = logSum(total, candidate.logp);
  for (Candidate &candidate : merged)
    candidate.logp -= total;
  std::sort(merged.begin(), merged.end(), [](const Candidate &a, const Candidate &b) {
    if (a.logp != b.logp)
      return a.logp > b.logp;
    return a.modes < b.modes;
  });
  if (static_cast<long>(merged.size()) > settings.candidates) {
    current.more = true;
    merged.resize(settings.candidates);
  }
  belief = std::move(merged);
}

bool Diagnoser::weigh(const Candidate &parent, const std::vector<std::vector<ModeOption>> &options,
                      const std::vector<int> &choice, double logPrior, long step, bool withEvidence,
                      Candidate &successor) {
  size_t count = model.modes.size();
  successor.modes.resize(count);
  successor.since = parent.since;
  for (size_t m = 0; m < count; ++m) {
    int value = options[m][choice[m]].value;
    successor.modes[m] = value;
    if (value != parent.modes[m])
      successor.since[m] = model.modes[m].fault[value] ? step : -1;
  }
  successor.modeHistory = parent.modeHistory;
  std::copy(successor.modes.begin(), successor.modes.end(),
            successor.modeHistory.begin() + (step % window) * count);
  successor.logp = parent.logp + logPrior;

  StepWeighing weighing;
  if (continuous != NULL) {
    successor.state = parent.state;
    double time = step * continuous->rt->ts;
    // Mapping functions of the transitions taken reset what they name, on
    // the values the step starts from.
    for (size_t m = 0; m < count; ++m) {
      const ModeTransition *taken = options[m][choice[m]].transition;
      if (taken == NULL || taken->transition->mf == NULL)
        continue;
      for (const MapFunc *mapping : *taken->transition->mf) {
        if (!conditionHolds(*continuous, successor.state, mapping->cond, step - 1, modesOf(parent)))
          continue;
        for (const mapfVar reset : *mapping->mvs)
          for (long i = 0; i < continuous->rt->nvar; ++i)
            if (std::string(continuous->rt->dico[i]->nom) == reset->var &&
                reset->mfc < continuous->rt->nmfc)
              successor.state.set(*continuous, i, step - 1,
                                  expressionValue(*continuous, successor.state,
                                                  continuous->rt->mfc[reset->mfc], step - 1));
      }
    }
    // The variables computed by the components that are unknown are free.
    std::vector<char> free(continuous->rt->nvar, 0);
    bool anyFree = false;
    for (const Component &component : model.components)
      for (int m : component.modeVariables)
        if (successor.modes[m] == model.modes[m].unknownValue)
          for (long position : component.computed)
            free[position] = anyFree = true;
    StepEvidence continuousEvidence =
        evidenceAt(evidence.inputs, withEvidence ? evidence.measures : NULL, time);
    advanceState(*continuous, successor.state, step, modesOf(successor), anyFree ? &free : NULL,
                 continuousEvidence, weighing);
    successor.predicted.assign(continuous->rt->nmes, NAN);
    for (const Comparison &comparison : weighing.comparisons) {
      successor.predicted[continuous->measureColumn(comparison.var)] = comparison.predicted;
      successor.flagged = successor.flagged || comparison.alarm != 0;
    }
    if (withEvidence)
      successor.logp += weighing.logLikelihood;
  }
  return consistent(successor, continuous != NULL ? &weighing : NULL, step, withEvidence);
}

// The clauses with the assignment's modes, the commands in force, and, with
// the evidence, the observations and the condition atoms of the step.
bool Diagnoser::consistent(const Candidate &candidate, const StepWeighing *weighing, long step,
                           bool withEvidence) {
  std::vector<int> assumptions =
      modeAndCommandAssumptions(model, candidate.modes, current.commands, *clauses);
  if (withEvidence) {
    for (size_t o = 0; o < current.observations.size(); ++o)
      if (current.observations[o] >= 0)
        assumptions.push_back(
            clauses->literal(model.observations[o].atoms[current.observations[o]], true));
    if (continuous != NULL && weighing != NULL) {
      ModeReader modes = modesOf(candidate);
      auto conditionLiteral = [&](condition c, int holdsLiteral, int failsLiteral) {
        if (c == NULL || readsFree(*continuous, c, weighing->freeAtStep))
          return 0;
        return conditionHolds(*continuous, candidate.state, c, step, modes) ? holdsLiteral
                                                                           : failsLiteral;
      };
      for (const ConditionVariable &conditioned : model.application.conditionVariables)
        for (const ConditionValue &value : conditioned.values)
          assumptions.push_back(conditionLiteral(value.cond, clauses->literal(value.atom, true),
                                                 clauses->literal(value.atom, false)));
      for (condition c : clauseConditions)
        assumptions.push_back(
            conditionLiteral(c, clauses->literal(c, true), clauses->literal(c, false)));
    }
  }
  std::string key = keyOf(assumptions);
  auto known = satisfiableUnder.find(key);
  if (known != satisfiableUnder.end())
    return known->second;
  bool satisfiable = clauses->satisfiable(assumptions);
  satisfiableUnder[key] = satisfiable;
  return satisfiable;
}

ModeReader Diagnoser::modesOf(const Candidate &candidate) const {
  const DiagnosisModel &diagnosed = model;
  long rows = window;
  long latest = static_cast<long>(current.step);
  const std::vector<int> *history = &candidate.modeHistory;
  return [&diagnosed, rows, latest, history](const Atom *atom, long step) {
    int variable, value;
    if (!diagnosed.modeAtom(atom, variable, value))
      return atom->getStateVar()->getCurrentState() == atom->value;
    step = std::min(std::max(step, std::max(0L, latest - rows + 1)), latest);
    return (*history)[(step % rows) * diagnosed.modes.size() + variable] == value;
  };
}

std::vector<int> commandsAt(const DiagnosisModel &model, const SymbolSource &source, double time) {
  std::vector<int> values(model.commands.size(), -1);
  const DataFile *file = source.file;
  if (file == NULL)
    return values;
  const DataRow *row = rowAt(*file, time);
  if (row == NULL)
    row = &file->rows.front();
  for (size_t c = 0; c < values.size(); ++c)
    if (file->named[source.offset + c])
      values[c] = row->symbols[source.offset + c];
  return values;
}

std::vector<int> Diagnoser::observationsAt(long step) const {
  std::vector<int> values(model.observations.size(), -1);
  const DataFile *file = evidence.observations.file;
  if (file == NULL)
    return values;
  double time = continuous != NULL ? step * continuous->rt->ts : static_cast<double>(step);
  const DataRow *row = rowOf(*file, time);
  for (size_t o = 0; row != NULL && o < values.size(); ++o)
    values[o] = row->symbols[evidence.observations.offset + o];
  return values;
}
