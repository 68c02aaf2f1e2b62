// Faults proposed a step late. A fault that acts through a dynamic influence
// shows only at the step after it is reached; when the successor limit
// binds, nothing suspected it at the step it was reached, and proposed at
// the step it shows it cannot explain that step. So when the most probable
// assignment's base leaves a measure unexplained that its own prediction of
// the step before met, the faults of the mode variables it suspects are also
// proposed as reached at the step before: a copy of that assignment taking
// the fault from then on, the variables reading the fault's atoms at that
// step stepped again and their measures weighed again. Such a copy joins the
// kept assignments for the step; its successors merge with those of the
// same modes.
#include "diagnoser.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

void Diagnoser::addLateFaults(std::vector<Base> &bases, long step) {
  if (continuous == NULL || settings.candidates <= 0 || belief.empty())
    return;
  // A parent with free variables cannot be stepped again in part.
  const Candidate &parent = belief.front();
  const Base &base = bases.front();
  for (size_t m = 0; m < model.modes.size(); ++m)
    if (parent.modes[m] == model.modes[m].unknownValue)
      return;
  if (!limitBinds(base))
    return;
  struct Proposal {
    double residual;
    int variable;
    size_t option;
  };
  std::vector<Proposal> proposals;
  std::vector<double> level = suspicion(base, &fresh(parent, step));
  for (size_t m = 0; m < level.size(); ++m) {
    if (level[m] <= 0 || std::isinf(level[m]) || mapped[m] ||
        model.modes[m].fault[parent.modes[m]])
      continue;
    const std::vector<ModeOption> &results = *base.options[m];
    for (size_t o = 1; o < results.size(); ++o)
      if (model.modes[m].fault[results[o].value] &&
          results[o].value != model.modes[m].unknownValue)
        proposals.push_back(Proposal{level[m], static_cast<int>(m), o});
  }
  if (proposals.empty())
    return;
  // The most suspect first; none that a kept assignment already holds.
  std::unordered_set<ModesKey, ModesKeyHash> known;
  for (const Candidate &kept : belief)
    known.insert(keyOf(kept.modes));
  std::stable_sort(proposals.begin(), proposals.end(),
                   [](const Proposal &a, const Proposal &b) { return a.residual > b.residual; });
  long added = 0;
  for (const Proposal &proposal : proposals) {
    if (added == settings.candidates)
      break;
    const std::vector<ModeOption> &results = *bases.front().options[proposal.variable];
    Candidate late = lateFault(belief.front(), proposal.variable, results[proposal.option],
                               results[0], step);
    if (!known.insert(keyOf(late.modes)).second)
      continue;
    ++added;
    belief.push_back(std::move(late));
    bases.emplace_back();
    optionsOf(belief.back(), bases.back());
    weighBase(belief.back(), true, bases.back());
  }
}

// Per measure, whether the parent's own prediction of the step before met
// it: a discrepancy it already had is no news, and a fault reached then was
// proposed then.
const std::vector<char> &Diagnoser::fresh(const Candidate &parent, long step) {
  long measures = continuous->rt->nmes;
  freshScratch.assign(measures, 1);
  const DataRow *before =
      evidenceAt(evidence.inputs, evidence.measures, (step - 1) * continuous->rt->ts).measures;
  for (long column = 0; before != NULL && column < measures; ++column) {
    if (!before->given[column] || std::isnan(parent.predicted[column]))
      continue;
    double measured = before->values[column];
    double residual = std::fabs(measured - parent.predicted[column]) /
                      continuous->deviation(continuous->rt->mes[column], measured);
    freshScratch[column] = residual <= kDiscrepancy;
  }
  return freshScratch;
}

// The kept assignment `parent` of the step before, with `variable` taking
// `fault` from that step on in place of `stay`.
Diagnoser::Candidate Diagnoser::lateFault(const Candidate &parent, int variable,
                                          const ModeOption &fault, const ModeOption &stay,
                                          long step) {
  long reached = step - 1;
  size_t count = model.modes.size();
  Candidate late = parent;
  late.modes[variable] = fault.value;
  late.modeHistory[(reached % window) * count + variable] = fault.value;
  late.since[variable] = reached;
  late.logp += std::log(fault.probability) - std::log(stay.probability);
  std::vector<long> seeds;
  for (const Atom *atom : model.modes[variable].atoms) {
    auto readers = continuous->atomReadersAtStep.find(atom);
    if (readers != continuous->atomReadersAtStep.end())
      seeds.insert(seeds.end(), readers->second.begin(), readers->second.end());
  }
  if (seeds.empty())
    return late;
  StepEvidence stepEvidence =
      evidenceAt(evidence.inputs, evidence.measures, reached * continuous->rt->ts);
  Restep restep;
  restepVariables(*continuous, late.state, reachedAtStep(*continuous, seeds, stepEvidence),
                  modesOf(late), stepEvidence, restep);
  for (const Comparison &comparison : restep.comparisons) {
    late.logp -= measureLogDensity(*continuous, comparison.var, comparison.measured,
                                   parent.predicted[comparison.column]);
    late.predicted[comparison.column] = comparison.predicted;
  }
  late.logp += restep.logLikelihood;
  return late;
}
