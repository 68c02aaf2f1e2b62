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

namespace {

double deviationCost(const std::vector<ModeOption> &options, int option) {
  return std::log(options[option].probability) - std::log(options[0].probability);
}

// Whether the successor a takes, at the first variable where they differ, an
// earlier option than b (a variable without deviation takes its first).
bool earlierChoice(const std::vector<Deviation> &a, const std::vector<Deviation> &b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].variable != b[j].variable)
      return a[i].variable > b[j].variable;
    if (a[i].option != b[j].option)
      return a[i].option < b[j].option;
    ++i;
    ++j;
  }
  return i == a.size() && j < b.size();
}

} // namespace

bool SuccessorEnumeration::Later::operator()(const Node &a, const Node &b) const {
  if (a.logPrior != b.logPrior)
    return a.logPrior < b.logPrior;
  return earlierChoice(b.deviations, a.deviations);
}

SuccessorEnumeration::SuccessorEnumeration(const OptionTable &options,
                                           const std::vector<int> *deviating)
    : options(options) {
  for (size_t m = 0; m < options.size(); ++m) {
    firstLogPrior += std::log((*options[m])[0].probability);
    if (deviating == NULL && options[m]->size() > 1)
      order.push_back(static_cast<int>(m));
  }
  for (size_t d = 0; deviating != NULL && d < deviating->size(); ++d)
    if (options[(*deviating)[d]]->size() > 1)
      order.push_back((*deviating)[d]);
  // Cheapest deviation first; among equal ones the later variable first, so
  // that moving a deviation along the order never goes back in the ties.
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    double ca = deviationCost(*options[a], 1), cb = deviationCost(*options[b], 1);
    if (ca != cb)
      return ca > cb;
    return a > b;
  });
  pending.push(made({}, -1));
}

SuccessorEnumeration::Node SuccessorEnumeration::made(std::vector<Deviation> deviations,
                                                      long last) const {
  Node node{firstLogPrior, std::move(deviations), last};
  for (const Deviation &deviation : node.deviations)
    node.logPrior += deviationCost(*options[deviation.variable], deviation.option);
  return node;
}

namespace {

std::vector<Deviation> with(std::vector<Deviation> deviations, Deviation added) {
  auto at = std::lower_bound(
      deviations.begin(), deviations.end(), added,
      [](const Deviation &a, const Deviation &b) { return a.variable < b.variable; });
  if (at != deviations.end() && at->variable == added.variable)
    at->option = added.option;
  else
    deviations.insert(at, added);
  return deviations;
}

std::vector<Deviation> without(std::vector<Deviation> deviations, int variable) {
  deviations.erase(std::find_if(deviations.begin(), deviations.end(),
                                [&](const Deviation &d) { return d.variable == variable; }));
  return deviations;
}

} // namespace

// A successor comes from exactly one other, which is never after it: the
// one whose last deviated variable (in `order`) takes one option less; or,
// when it takes its second option, the one without it when the variable
// before it in the order deviates too, and else the one where that variable
// deviates instead.
bool SuccessorEnumeration::next(std::vector<Deviation> &deviations, double &logPrior) {
  if (pending.empty())
    return false;
  Node node = pending.top();
  pending.pop();
  long next = node.last + 1;
  if (node.last >= 0) {
    int variable = order[node.last];
    int option = 0;
    for (const Deviation &deviation : node.deviations)
      if (deviation.variable == variable)
        option = deviation.option;
    if (option + 1 < static_cast<int>(options[variable]->size()))
      pending.push(made(with(node.deviations, Deviation{variable, option + 1}), node.last));
    if (option == 1 && next < static_cast<long>(order.size()))
      pending.push(made(with(without(node.deviations, variable), Deviation{order[next], 1}), next));
  }
  if (next < static_cast<long>(order.size()))
    pending.push(made(with(node.deviations, Deviation{order[next], 1}), next));
  deviations = std::move(node.deviations);
  logPrior = node.logPrior;
  return true;
}
