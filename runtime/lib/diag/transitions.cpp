#include "transitions.h"

#include <algorithm>
#include <cmath>

std::vector<ModeOption> modeOptions(const ModeVariable &mode, int value,
                                    const std::function<bool(const GuardLiteral &)> &holds,
                                    double unknown) {
  std::vector<double> probability(mode.values.size(), 0.0);
  std::vector<const ModeTransition *> through(mode.values.size(), NULL);
  double sum = 0;
  std::vector<const ModeTransition *> enabled;
  for (const ModeTransition &transition : mode.transitions) {
    if (transition.from != value || transition.probability <= 0)
      continue;
    bool guard = !transition.anyLiteral;
    for (const GuardLiteral &literal : transition.guard)
      guard = transition.anyLiteral ? guard || holds(literal) : guard && holds(literal);
    if (!guard)
      continue;
    enabled.push_back(&transition);
    sum += transition.probability;
  }
  for (const ModeTransition *transition : enabled) {
    probability[transition->to] += sum > 1 ? transition->probability / sum : transition->probability;
    if (through[transition->to] == NULL)
      through[transition->to] = transition;
  }
  if (sum <= 1)
    probability[value] += 1 - sum;
  if (mode.unknownValue >= 0 && value != mode.unknownValue && unknown > 0) {
    for (double &p : probability)
      p *= 1 - unknown;
    probability[mode.unknownValue] += unknown;
  }
  std::vector<ModeOption> options;
  for (size_t v = 0; v < probability.size(); ++v)
    if (probability[v] > 0)
      options.push_back(ModeOption{static_cast<int>(v), probability[v], through[v]});
  std::stable_sort(options.begin(), options.end(), [](const ModeOption &a, const ModeOption &b) {
    return a.probability > b.probability;
  });
  return options;
}

std::vector<int> modeAndCommandAssumptions(const DiagnosisModel &model, const std::vector<int> &modes,
                                           const std::vector<int> &commands, ClauseTest &clauses) {
  std::vector<int> assumptions;
  for (size_t m = 0; m < modes.size(); ++m)
    assumptions.push_back(clauses.literal(model.modes[m].atoms[modes[m]], true));
  for (size_t c = 0; c < commands.size(); ++c)
    if (commands[c] >= 0)
      assumptions.push_back(clauses.literal(model.commands[c].atoms[commands[c]], true));
  return assumptions;
}

bool guardLiteralHolds(const GuardLiteral &literal, const DiagnosisModel &model,
                       const std::vector<int> &modes, const std::vector<int> &commands,
                       ClauseTest &clauses, std::unordered_map<int, bool> &entailed) {
  switch (literal.kind) {
  case GuardLiteral::mode:
    return (modes[literal.variable] == literal.value) == literal.positive;
  case GuardLiteral::command: {
    int value = literal.variable < static_cast<int>(commands.size()) ? commands[literal.variable] : -1;
    return value >= 0 && (value == literal.value) == literal.positive;
  }
  default:
    break;
  }
  int target = clauses.literal(literal.atom, literal.positive);
  auto known = entailed.find(target);
  if (known != entailed.end())
    return known->second;
  bool holds = clauses.entails(modeAndCommandAssumptions(model, modes, commands, clauses), target);
  entailed[target] = holds;
  return holds;
}

SuccessorEnumeration::SuccessorEnumeration(const std::vector<std::vector<ModeOption>> &options)
    : options(options) {
  Node first{0, std::vector<int>(options.size(), 0), 0};
  for (size_t m = 0; m < options.size(); ++m) {
    first.logPrior += std::log(options[m][0].probability);
    if (options[m].size() > 1)
      choosing.push_back(m);
  }
  pending.push(first);
}

// Each successor comes from the one whose last changed variable takes one
// option less, so that every one is met once; options of a variable are in
// decreasing probability, so a successor never comes before the one it
// comes from.
bool SuccessorEnumeration::next(std::vector<int> &choice, double &logPrior) {
  if (pending.empty())
    return false;
  Node node = pending.top();
  pending.pop();
  for (size_t rank = node.last; rank < choosing.size(); ++rank) {
    size_t m = choosing[rank];
    if (node.choice[m] + 1 >= static_cast<int>(options[m].size()))
      continue;
    Node child{node.logPrior, node.choice, rank};
    child.logPrior += std::log(options[m][node.choice[m] + 1].probability) -
                      std::log(options[m][node.choice[m]].probability);
    ++child.choice[m];
    pending.push(child);
  }
  choice = node.choice;
  logPrior = node.logPrior;
  return true;
}
