#include "diagnoser.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <random>
#include <unordered_map>

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

  // The slots of the discrete assumptions, and what reads what.
  size_t modeCount = model.modes.size();
  slots.resize(modeCount + model.commands.size() + model.observations.size());
  conditionSlots = slots.size();
  for (const ConditionVariable &conditioned : model.application.conditionVariables)
    for (const ConditionValue &value : conditioned.values)
      slots.push_back(Slot{value.cond, clauses->literal(value.atom, true),
                           clauses->literal(value.atom, false)});
  for (condition c : clauseConditions)
    slots.push_back(Slot{c, clauses->literal(c, true), clauses->literal(c, false)});
  slotsReadingMode.assign(modeCount, {});
  modesOfIsland.assign(clauses->islands(), {});
  std::unordered_map<const Atom *, int> modeOfAtom;
  for (size_t m = 0; m < modeCount; ++m)
    for (const Atom *atom : model.modes[m].atoms) {
      modeOfAtom[atom] = static_cast<int>(m);
      int island = clauses->islandOf(clauses->literal(atom, true));
      if (island >= 0 && std::find(modesOfIsland[island].begin(), modesOfIsland[island].end(),
                                   static_cast<int>(m)) == modesOfIsland[island].end())
        modesOfIsland[island].push_back(static_cast<int>(m));
    }
  if (continuous != NULL) {
    long count = continuous->rt->nvar;
    slotsReadingVariable.assign(count, {});
    for (size_t s = conditionSlots; s < slots.size(); ++s) {
      std::vector<long> positions;
      std::vector<const Atom *> atoms;
      conditionReads(*continuous, slots[s].cond, positions, atoms);
      for (long position : positions)
        slotsReadingVariable[position].push_back(s);
      for (const Atom *atom : atoms)
        if (modeOfAtom.count(atom))
          slotsReadingMode[modeOfAtom[atom]].push_back(s);
    }
    modesOfVariable.assign(count, {});
    for (long y = 0; y < count; ++y)
      for (const Atom *atom : continuous->atomsRead[y])
        if (modeOfAtom.count(atom))
          modesOfVariable[y].push_back(modeOfAtom[atom]);
    for (const Component &component : model.components)
      for (long position : component.computed)
        modesOfVariable[position].insert(modesOfVariable[position].end(),
                                         component.modeVariables.begin(),
                                         component.modeVariables.end());
  }
  mapped.assign(modeCount, 0);
  for (size_t m = 0; m < modeCount; ++m)
    for (const ModeTransition &transition : model.modes[m].transitions)
      mapped[m] = mapped[m] || (transition.transition != NULL &&
                                transition.transition->mf != NULL &&
                                !transition.transition->mf->empty());
  ownGuards.assign(modeCount, 1);
  sharedOptions.resize(modeCount);
  for (size_t m = 0; m < modeCount; ++m) {
    sharedOptions[m].resize(model.modes[m].values.size());
    for (const ModeTransition &transition : model.modes[m].transitions)
      for (const GuardLiteral &literal : transition.guard)
        if (literal.kind != GuardLiteral::mode || literal.variable != static_cast<int>(m))
          ownGuards[m] = 0;
  }
  // Two hashes of every value of every mode variable, from a fixed seed.
  std::mt19937_64 random(20261207);
  modeHashes.resize(modeCount);
  for (size_t m = 0; m < modeCount; ++m)
    for (size_t v = 0; v < model.modes[m].values.size(); ++v)
      modeHashes[m].push_back({random(), random()});
}

Diagnoser::~Diagnoser() = default;

const StepDiagnosis &Diagnoser::step(long step) {
  std::clock_t began = std::clock();
  current = StepDiagnosis();
  current.step = step;
  current.commands = commandsAt(model, evidence.commands,
                                continuous != NULL ? step * continuous->rt->ts : step);
  current.observations = observationsAt(step);
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
      first.predicted[comparison.column] = comparison.predicted;
  }
  for (const Comparison &comparison : weighing.comparisons)
    first.flagged = first.flagged || comparison.alarm != 0;
  current.weighed = 1;
  std::vector<int> assumptions =
      assumptionsOf(first, continuous != NULL ? &weighing : NULL, 0, true);
  bool explained = clauses->failingIslands(byIsland(assumptions)).empty();
  current.explained = explained;
  current.detected = !explained || first.flagged;
  belief.assign(1, first);
  belief.front().logp = 0;
}

void Diagnoser::optionsOf(const Candidate &parent, Base &base) {
  std::unordered_map<int, bool> entailed;
  auto holds = [&](const GuardLiteral &literal) {
    return guardLiteralHolds(literal, model, parent.modes, commandsBefore, *clauses, entailed);
  };
  base.ownOptions.reserve(model.modes.size());
  for (size_t m = 0; m < model.modes.size(); ++m) {
    int value = parent.modes[m];
    if (!ownGuards[m]) {
      base.ownOptions.push_back(modeOptions(model.modes[m], value, holds, settings.unknown));
      base.options.push_back(&base.ownOptions.back());
      continue;
    }
    std::vector<ModeOption> &shared = sharedOptions[m][value];
    if (shared.empty())
      shared = modeOptions(model.modes[m], value, holds, settings.unknown);
    base.options.push_back(&shared);
  }
}

bool Diagnoser::limitBinds(const Base &base) const {
  double successorCount = 0;
  for (const std::vector<ModeOption> *results : base.options)
    successorCount += std::log(static_cast<double>(results->size()));
  return successorCount > std::log(static_cast<double>(settings.successors));
}

void Diagnoser::advance(long step) {
  // The results of every mode variable from each kept assignment, and its
  // most probable successor weighed with the evidence. Faults reached late
  // join the kept assignments, which must not move for that.
  belief.reserve(belief.size() + std::max(0L, settings.candidates));
  std::vector<Base> bases(belief.size());
  bases.reserve(belief.capacity());
  for (size_t p = 0; p < belief.size(); ++p) {
    optionsOf(belief[p], bases[p]);
    weighBase(belief[p], true, bases[p]);
  }
  addLateFaults(bases, step);

  // The most probable successor of the most probable assignment that takes
  // no new fault, consistent with the evidence, and whether a measure fell
  // out of its prediction's band.
  double bestExpected = -INFINITY;
  bool expectedFlagged = false;
  std::vector<Merged> merged;
  bool withEvidence = true;
  for (bool pass : {true, false}) {
    withEvidence = pass;
    merged.clear();
    std::unordered_map<ModesKey, size_t, ModesKeyHash> byModes;
    for (size_t p = 0; p < belief.size(); ++p) {
      Base &base = bases[p];
      if (!withEvidence)
        weighBase(belief[p], withEvidence, base);
      // When the successors cannot all be taken, only the faults that may
      // explain what the base leaves unexplained are.
      bool limited = limitBinds(base);
      std::vector<int> deviating;
      if (limited) {
        deviating = suspects(base);
        current.more = true;
      }
      SuccessorEnumeration successors(base.options, limited ? &deviating : NULL);
      std::vector<Deviation> deviations;
      double logPrior;
      long taken = 0;
      while (successors.next(deviations, logPrior)) {
        if (taken++ == settings.successors) {
          current.more = true;
          break;
        }
        ++current.weighed;
        Weighed weighed =
            deviations.empty()
                ? Weighed{base.candidate.logp, base.consistent, base.candidate.flagged}
                : weighDeviations(base, deviations, logPrior, withEvidence);
        if (!weighed.consistent)
          continue;
        if (withEvidence && p == 0 && weighed.logp > bestExpected) {
          // No new fault: the base's new faults all undone, none taken.
          size_t undone = 0;
          bool newFault = false;
          for (const Deviation &deviation : deviations) {
            int value = (*base.options[deviation.variable])[deviation.option].value;
            newFault = newFault || (model.modes[deviation.variable].fault[value] &&
                                    value != belief[p].modes[deviation.variable]);
            undone += std::count(base.newFaults.begin(), base.newFaults.end(), deviation.variable);
          }
          if (!newFault && undone == base.newFaults.size()) {
            bestExpected = weighed.logp;
            expectedFlagged = weighed.flagged;
          }
        }
        ModesKey key = keyWith(base, deviations);
        auto known = byModes.find(key);
        if (known == byModes.end()) {
          byModes[key] = merged.size();
          merged.push_back(Merged{weighed.logp, weighed.logp, p, deviations, key});
          continue;
        }
        Merged &same = merged[known->second];
        same.logp = logSum(same.logp, weighed.logp);
        if (weighed.logp > same.best) {
          same.best = weighed.logp;
          same.parent = p;
          same.deviations = deviations;
        }
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
  rank(merged, bases, withEvidence);
}

// Normalises, ranks (ties: the modes in table order) and keeps the best,
// which alone are made into assignments with their own states.
void Diagnoser::rank(std::vector<Merged> &merged, const std::vector<Base> &bases,
                     bool withEvidence) {
  double total = -INFINITY;
  for (const Merged &candidate : merged)
    total = logSum(total, candidate.logp);
  for (Merged &candidate : merged)
    candidate.logp -= total;
  // The mode variables where the bases of two kept assignments differ.
  std::vector<std::vector<std::vector<int>>> differences(
      bases.size(), std::vector<std::vector<int>>(bases.size()));
  for (size_t a = 0; a < bases.size(); ++a)
    for (size_t b = a + 1; b < bases.size(); ++b) {
      for (size_t m = 0; m < model.modes.size(); ++m)
        if (bases[a].candidate.modes[m] != bases[b].candidate.modes[m])
          differences[a][b].push_back(static_cast<int>(m));
      differences[b][a] = differences[a][b];
    }
  auto before = [&](const Merged &a, const Merged &b) {
    if (a.logp != b.logp)
      return a.logp > b.logp;
    return modesBefore(a, b, bases, differences);
  };
  size_t kept = std::min(merged.size(), static_cast<size_t>(std::max(0L, settings.candidates)));
  if (merged.size() > kept)
    current.more = true;
  std::partial_sort(merged.begin(), merged.begin() + kept, merged.end(), before);
  std::vector<Candidate> next;
  for (size_t k = 0; k < kept; ++k) {
    next.push_back(materialize(bases[merged[k].parent], merged[k].deviations, withEvidence));
    next.back().logp = merged[k].logp;
  }
  belief = std::move(next);
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
