// The weighing of successors. A kept assignment's most probable successor,
// its base, is stepped in full; any other successor differs from it in a few
// mode variables, and only what those change is stepped again: the
// variables that read them at the step (later steps read the modes of the
// steps before, which they share), the measures among those, the condition
// atoms that read them and the clause islands of the changed assumptions;
// a component made unknown has its variables stepped again as free ones.
// Where the base has free variables itself, or a deviated variable may take
// a transition with a mapping function, the successor is stepped in full.
#include "diagnoser.h"

#include <algorithm>

#include "Atom.h"
#include "Transition.h"

namespace {

// Whether a condition reads a variable that is free at the step.
bool readsFree(const ContinuousModel &model, condition c, const std::vector<long> &freeAtStep) {
  std::vector<long> positions;
  std::vector<const Atom *> atoms;
  conditionReads(model, c, positions, atoms);
  for (long position : positions)
    if (std::binary_search(freeAtStep.begin(), freeAtStep.end(), position))
      return true;
  return false;
}

// The option each of `count` variables takes.
std::vector<int> choiceOf(size_t count, const std::vector<Deviation> &deviations) {
  std::vector<int> choice(count, 0);
  for (const Deviation &deviation : deviations)
    choice[deviation.variable] = deviation.option;
  return choice;
}

} // namespace

void Diagnoser::stepSuccessor(const Candidate &parent, const OptionTable &options,
                              const std::vector<int> &choice, double logPrior, long step,
                              bool withEvidence, Candidate &successor, StepWeighing &weighing) {
  size_t count = model.modes.size();
  successor.modes.resize(count);
  successor.since = parent.since;
  for (size_t m = 0; m < count; ++m) {
    int value = (*options[m])[choice[m]].value;
    successor.modes[m] = value;
    if (value != parent.modes[m])
      successor.since[m] = model.modes[m].fault[value] ? step : -1;
  }
  successor.modeHistory = parent.modeHistory;
  std::copy(successor.modes.begin(), successor.modes.end(),
            successor.modeHistory.begin() + (step % window) * count);
  successor.logp = parent.logp + logPrior;
  successor.flagged = false;
  weighing = StepWeighing();
  if (continuous == NULL)
    return;
  successor.state = parent.state;
  double time = step * continuous->rt->ts;
  // Mapping functions of the transitions taken reset what they name, on
  // the values the step starts from.
  for (size_t m = 0; m < count; ++m) {
    const ModeTransition *taken = (*options[m])[choice[m]].transition;
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
    successor.predicted[comparison.column] = comparison.predicted;
    successor.flagged = successor.flagged || comparison.alarm != 0;
  }
  if (withEvidence)
    successor.logp += weighing.logLikelihood;
}

// The clauses' assumptions, slot by slot: the assignment's modes, the
// commands in force, and, with the evidence, the observations and the
// condition atoms of the step; 0 where a slot assumes nothing.
std::vector<int> Diagnoser::assumptionsOf(const Candidate &candidate, const StepWeighing *weighing,
                                          long step, bool withEvidence) {
  std::vector<int> assumptions(slots.size(), 0);
  size_t slot = 0;
  for (size_t m = 0; m < model.modes.size(); ++m)
    assumptions[slot++] = clauses->literal(model.modes[m].atoms[candidate.modes[m]], true);
  for (size_t c = 0; c < model.commands.size(); ++c, ++slot)
    if (current.commands[c] >= 0)
      assumptions[slot] = clauses->literal(model.commands[c].atoms[current.commands[c]], true);
  for (size_t o = 0; o < current.observations.size(); ++o, ++slot)
    if (withEvidence && current.observations[o] >= 0)
      assumptions[slot] =
          clauses->literal(model.observations[o].atoms[current.observations[o]], true);
  if (!withEvidence || continuous == NULL || weighing == NULL)
    return assumptions;
  ModeReader modes = modesOf(candidate);
  for (; slot < slots.size(); ++slot) {
    condition c = slots[slot].cond;
    if (c == NULL || readsFree(*continuous, c, weighing->freeAtStep))
      continue;
    assumptions[slot] = conditionHolds(*continuous, candidate.state, c, step, modes)
                            ? slots[slot].holds
                            : slots[slot].fails;
  }
  return assumptions;
}

std::vector<std::pair<int, int>> Diagnoser::byIsland(const std::vector<int> &assumptions) const {
  std::vector<std::pair<int, int>> sorted;
  for (int literal : assumptions)
    if (literal != 0)
      sorted.push_back({clauses->islandOf(literal), literal});
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

void Diagnoser::weighBase(const Candidate &parent, bool withEvidence, Base &base) {
  long step = current.step;
  std::vector<int> choice(model.modes.size(), 0);
  base.logPrior = 0;
  for (const std::vector<ModeOption> *results : base.options)
    base.logPrior += std::log((*results)[0].probability);
  base.parent = &parent;
  base.parentLogp = parent.logp;
  StepWeighing weighing;
  stepSuccessor(parent, base.options, choice, base.logPrior, step, withEvidence, base.candidate,
                weighing);
  base.logLikelihood = withEvidence ? weighing.logLikelihood : 0;
  // The base's free variables and what reads them at the step.
  std::vector<long> freed;
  for (const Component &component : model.components)
    for (int m : component.modeVariables)
      if (base.candidate.modes[m] == model.modes[m].unknownValue)
        freed.insert(freed.end(), component.computed.begin(), component.computed.end());
  base.freeReach.clear();
  base.freeAtStep.clear();
  if (continuous != NULL && !freed.empty()) {
    base.freeReach =
        reachedAtStep(*continuous, freed,
                      evidenceAt(evidence.inputs, withEvidence ? evidence.measures : NULL,
                                 step * continuous->rt->ts));
    std::sort(base.freeReach.begin(), base.freeReach.end());
    base.freeAtStep = weighing.freeAtStep;
  }
  if (continuous != NULL) {
    long measures = continuous->rt->nmes;
    base.measureLog.assign(measures, 0.0);
    base.alarm.assign(measures, 0);
    base.residual.assign(measures, 0.0);
    base.alarms = 0;
    for (const Comparison &comparison : weighing.comparisons) {
      long column = comparison.column;
      base.measureLog[column] =
          measureLogDensity(*continuous, comparison.var, comparison.measured, comparison.predicted);
      base.alarm[column] = comparison.alarm != 0;
      base.residual[column] = std::fabs(comparison.measured - comparison.predicted) /
                              continuous->deviation(comparison.var, comparison.measured);
      base.alarms += comparison.alarm != 0;
    }
  }
  base.assumptions =
      assumptionsOf(base.candidate, continuous != NULL ? &weighing : NULL, step, withEvidence);
  base.byIsland = byIsland(base.assumptions);
  base.failing = clauses->failingIslands(base.byIsland);
  base.consistent = base.failing.empty();
  base.newFaults.clear();
  for (size_t m = 0; m < model.modes.size(); ++m)
    if (model.modes[m].fault[base.candidate.modes[m]] && base.candidate.modes[m] != parent.modes[m])
      base.newFaults.push_back(static_cast<int>(m));
  base.key = keyOf(base.candidate.modes);
}

Diagnoser::Weighed Diagnoser::weighDeviations(Base &base, const std::vector<Deviation> &deviations,
                                              double logPrior, bool withEvidence) {
  Weighed weighed;
  DeviationStep stepped;
  if (!reachOf(base, deviations, withEvidence, stepped)) {
    Candidate successor;
    StepWeighing weighing;
    stepSuccessor(*base.parent, base.options, choiceOf(model.modes.size(), deviations), logPrior,
                  current.step, withEvidence, successor, weighing);
    weighed.logp = successor.logp;
    weighed.flagged = successor.flagged;
    weighed.consistent =
        clauses
            ->failingIslands(byIsland(assumptionsOf(
                successor, continuous != NULL ? &weighing : NULL, current.step, withEvidence)))
            .empty();
    return weighed;
  }
  // The deviations, written into the base for the time of the weighing.
  long step = current.step;
  size_t count = model.modes.size();
  Candidate &candidate = base.candidate;
  int *row = candidate.modeHistory.data() + (step % window) * count;
  std::vector<int> saved;
  std::vector<int> changedSlots;
  for (const Deviation &deviation : deviations) {
    int value = (*base.options[deviation.variable])[deviation.option].value;
    saved.push_back(candidate.modes[deviation.variable]);
    candidate.modes[deviation.variable] = value;
    row[deviation.variable] = value;
    changedSlots.push_back(deviation.variable);
    for (size_t s : slotsReadingMode[deviation.variable])
      changedSlots.push_back(static_cast<int>(s));
  }
  double logLikelihood = base.logLikelihood;
  bool flagged = base.alarms > 0;
  if (continuous != NULL) {
    restepDeviations(candidate, stepped);
    for (long position : stepped.reached)
      for (size_t s : slotsReadingVariable[position])
        changedSlots.push_back(static_cast<int>(s));
    for (long column : stepped.columns)
      logLikelihood -= base.measureLog[column];
    logLikelihood = withEvidence ? logLikelihood + stepped.restep.logLikelihood : 0;
    flagged = restepAlarms(base, stepped) > 0;
  }
  // The assumptions that change, and the islands they fall in.
  std::sort(changedSlots.begin(), changedSlots.end());
  changedSlots.erase(std::unique(changedSlots.begin(), changedSlots.end()), changedSlots.end());
  std::vector<std::pair<int, int>> removed, added;
  ModeReader modes = modesOf(candidate);
  for (int s : changedSlots) {
    int literal;
    if (static_cast<size_t>(s) < count)
      literal = clauses->literal(model.modes[s].atoms[candidate.modes[s]], true);
    else if (!withEvidence ||
             (stepped.anyFree &&
              readsFree(*continuous, slots[s].cond, stepped.weighing.freeAtStep)) ||
             (!base.freeAtStep.empty() && readsFree(*continuous, slots[s].cond, base.freeAtStep)))
      literal = 0;
    else
      literal = conditionHolds(*continuous, candidate.state, slots[s].cond, step, modes)
                    ? slots[s].holds
                    : slots[s].fails;
    if (literal == base.assumptions[s])
      continue;
    if (base.assumptions[s] != 0)
      removed.push_back({clauses->islandOf(base.assumptions[s]), base.assumptions[s]});
    if (literal != 0)
      added.push_back({clauses->islandOf(literal), literal});
  }
  if (continuous != NULL)
    restoreStep(*continuous, candidate.state, stepped.restep);
  for (size_t d = 0; d < deviations.size(); ++d) {
    candidate.modes[deviations[d].variable] = saved[d];
    row[deviations[d].variable] = saved[d];
  }

  std::vector<int> islands;
  for (const auto &change : removed)
    islands.push_back(change.first);
  for (const auto &change : added)
    islands.push_back(change.first);
  std::sort(islands.begin(), islands.end());
  islands.erase(std::unique(islands.begin(), islands.end()), islands.end());
  // The base's contradicted islands must all be among the changed ones.
  for (int island : base.failing)
    if (!std::binary_search(islands.begin(), islands.end(), island))
      return weighed;
  std::vector<int> literals;
  for (int island : islands) {
    literals.clear();
    auto range =
        std::equal_range(base.byIsland.begin(), base.byIsland.end(), std::pair<int, int>{island, 0},
                         [](const std::pair<int, int> &a, const std::pair<int, int> &b) {
                           return a.first < b.first;
                         });
    for (auto it = range.first; it != range.second; ++it)
      if (std::find(removed.begin(), removed.end(), *it) == removed.end())
        literals.push_back(it->second);
    for (const auto &change : added)
      if (change.first == island)
        literals.push_back(change.second);
    if (!clauses->islandSatisfiable(island, literals))
      return weighed;
  }
  weighed.consistent = true;
  weighed.logp = base.parentLogp + logPrior + logLikelihood;
  weighed.flagged = flagged;
  return weighed;
}

Diagnoser::Candidate Diagnoser::materialize(const Base &base,
                                            const std::vector<Deviation> &deviations,
                                            bool withEvidence) {
  long step = current.step;
  Candidate successor;
  DeviationStep stepped;
  if (!reachOf(base, deviations, withEvidence, stepped)) {
    StepWeighing weighing;
    double logPrior = base.logPrior;
    for (const Deviation &deviation : deviations) {
      const std::vector<ModeOption> &results = *base.options[deviation.variable];
      logPrior +=
          std::log(results[deviation.option].probability) - std::log(results[0].probability);
    }
    stepSuccessor(*base.parent, base.options, choiceOf(model.modes.size(), deviations), logPrior,
                  step, withEvidence, successor, weighing);
    return successor;
  }
  successor = base.candidate;
  size_t count = model.modes.size();
  for (const Deviation &deviation : deviations) {
    int m = deviation.variable;
    int value = (*base.options[m])[deviation.option].value;
    successor.modes[m] = value;
    successor.modeHistory[(step % window) * count + m] = value;
    successor.since[m] = value == base.parent->modes[m] ? base.parent->since[m]
                         : model.modes[m].fault[value]  ? step
                                                        : -1;
  }
  if (continuous == NULL)
    return successor;
  restepDeviations(successor, stepped);
  for (long column : stepped.columns)
    successor.predicted[column] = NAN;
  for (const Comparison &comparison : stepped.restep.comparisons)
    successor.predicted[comparison.column] = comparison.predicted;
  successor.flagged = restepAlarms(base, stepped) > 0;
  return successor;
}

// The measures out of their band once the deviations are re-stepped: the
// base's, those stepped again in place of theirs.
long Diagnoser::restepAlarms(const Base &base, const DeviationStep &stepped) const {
  long alarms = base.alarms;
  for (long column : stepped.columns)
    alarms -= base.alarm[column];
  for (const Comparison &comparison : stepped.restep.comparisons)
    alarms += comparison.alarm != 0;
  return alarms;
}

// What the deviations change at the step: the variables reading their atoms
// at the step, those of the components they make unknown (then free), and
// what reads those. False when the successor is to be stepped in full: a
// deviated variable has a transition with a mapping function, or the base
// has free variables that the deviations reach (apart, the free values of
// the base and those of the deviations are integrated out separately).
bool Diagnoser::reachOf(const Base &base, const std::vector<Deviation> &deviations,
                        bool withEvidence, DeviationStep &stepped) {
  stepped.freed.clear();
  std::vector<long> seeds;
  for (const Deviation &deviation : deviations) {
    const ModeVariable &mode = model.modes[deviation.variable];
    if (mapped[deviation.variable])
      return false;
    if (continuous == NULL)
      continue;
    for (const Atom *atom : mode.atoms) {
      auto readers = continuous->atomReadersAtStep.find(atom);
      if (readers != continuous->atomReadersAtStep.end())
        seeds.insert(seeds.end(), readers->second.begin(), readers->second.end());
    }
    if ((*base.options[deviation.variable])[deviation.option].value == mode.unknownValue) {
      const std::vector<long> &computed = model.components[mode.component].computed;
      stepped.freed.insert(stepped.freed.end(), computed.begin(), computed.end());
    }
  }
  if (continuous == NULL)
    return true;
  seeds.insert(seeds.end(), stepped.freed.begin(), stepped.freed.end());
  stepped.evidence = evidenceAt(evidence.inputs, withEvidence ? evidence.measures : NULL,
                                current.step * continuous->rt->ts);
  stepped.reached = reachedAtStep(*continuous, seeds, stepped.evidence);
  stepped.columns.clear();
  for (long position : stepped.reached) {
    if (std::binary_search(base.freeReach.begin(), base.freeReach.end(), position))
      return false;
    if (continuous->measureColumnAt(position) >= 0)
      stepped.columns.push_back(continuous->measureColumnAt(position));
  }
  return true;
}

// Steps again what reachOf found, on the base's state holding the
// deviations' modes.
void Diagnoser::restepDeviations(Candidate &candidate, DeviationStep &stepped) {
  stepped.anyFree = !stepped.freed.empty();
  if (!stepped.anyFree) {
    restepVariables(*continuous, candidate.state, stepped.reached, modesOf(candidate),
                    stepped.evidence, stepped.restep);
    return;
  }
  freeScratch.resize(continuous->rt->nvar, 0);
  for (long position : stepped.freed)
    freeScratch[position] = 1;
  restepFree(*continuous, candidate.state, stepped.reached, modesOf(candidate), freeScratch,
             stepped.evidence, stepped.restep, stepped.weighing);
  for (long position : stepped.freed)
    freeScratch[position] = 0;
}

// Per mode variable, how far its faults may explain what the base leaves
// unexplained: the largest residual (in deviations) of a measure more than
// kDiscrepancy from its prediction whose variable it reads or is upstream
// of in the causal graph (read by the influences of such a variable, or of
// the component computing it); infinity for the mode variables of the
// clause islands the base contradicts; 0 for the others. Given `columns`,
// only the measures it marks count.
std::vector<double> Diagnoser::suspicion(const Base &base, const std::vector<char> *columns) const {
  std::vector<double> level(model.modes.size(), 0.0);
  for (int island : base.failing)
    for (int m : modesOfIsland[island])
      level[m] = INFINITY;
  if (continuous == NULL)
    return level;
  std::vector<std::pair<double, long>> discrepancies;
  for (long column = 0; column < continuous->rt->nmes; ++column)
    if (base.residual[column] > kDiscrepancy && (columns == NULL || (*columns)[column]))
      discrepancies.push_back({base.residual[column], column});
  // The largest first: what it reaches first keeps its residual.
  std::sort(discrepancies.rbegin(), discrepancies.rend());
  std::vector<char> visited(continuous->rt->nvar, 0);
  std::vector<long> pending;
  for (const auto &discrepancy : discrepancies) {
    long position = continuous->position(continuous->rt->mes[discrepancy.second]);
    if (visited[position])
      continue;
    visited[position] = 1;
    pending.push_back(position);
    while (!pending.empty()) {
      position = pending.back();
      pending.pop_back();
      for (int m : modesOfVariable[position])
        level[m] = std::max(level[m], discrepancy.first);
      for (long cause : continuous->causes[position])
        if (!visited[cause]) {
          visited[cause] = 1;
          pending.push_back(cause);
        }
    }
  }
  return level;
}

std::vector<int> Diagnoser::suspects(const Base &base) const {
  std::vector<double> level = suspicion(base);
  std::vector<int> found;
  for (size_t m = 0; m < level.size(); ++m)
    if (level[m] > 0)
      found.push_back(static_cast<int>(m));
  return found;
}

Diagnoser::ModesKey Diagnoser::keyOf(const std::vector<int> &modes) const {
  ModesKey key{0, 0};
  for (size_t m = 0; m < modes.size(); ++m) {
    key.first ^= modeHashes[m][modes[m]].first;
    key.second ^= modeHashes[m][modes[m]].second;
  }
  return key;
}

Diagnoser::ModesKey Diagnoser::keyWith(const Base &base,
                                       const std::vector<Deviation> &deviations) const {
  ModesKey key = base.key;
  for (const Deviation &deviation : deviations) {
    int m = deviation.variable;
    int from = base.candidate.modes[m], to = (*base.options[m])[deviation.option].value;
    key.first ^= modeHashes[m][from].first ^ modeHashes[m][to].first;
    key.second ^= modeHashes[m][from].second ^ modeHashes[m][to].second;
  }
  return key;
}

// Whether a's modes come before b's in table order, each variable's values
// in their sorted order.
bool Diagnoser::modesBefore(const Merged &a, const Merged &b, const std::vector<Base> &bases,
                            const std::vector<std::vector<std::vector<int>>> &differences) const {
  const Base &baseA = bases[a.parent], &baseB = bases[b.parent];
  std::vector<int> differing = differences[a.parent][b.parent];
  for (const Deviation &deviation : a.deviations)
    differing.push_back(deviation.variable);
  for (const Deviation &deviation : b.deviations)
    differing.push_back(deviation.variable);
  std::sort(differing.begin(), differing.end());
  auto valueOf = [&](const Merged &merged, const Base &base, int m) {
    for (const Deviation &deviation : merged.deviations)
      if (deviation.variable == m)
        return (*base.options[m])[deviation.option].value;
    return base.candidate.modes[m];
  };
  for (int m : differing) {
    int va = valueOf(a, baseA, m), vb = valueOf(b, baseB, m);
    if (va != vb)
      return va < vb;
  }
  return false;
}
