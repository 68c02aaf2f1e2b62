// The successors of an assignment: the results each mode variable may reach
// through its enabled transitions, with their probabilities, and the joint
// results taken in decreasing prior.
#ifndef MORVEL_RUNTIME_TRANSITIONS_H
#define MORVEL_RUNTIME_TRANSITIONS_H

#include <functional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "diagnosis_model.h"
#include "solver.h"

struct ModeOption {
  int value;
  double probability;
  const ModeTransition *transition;  // the first enabled one leading there; NULL to stay
};

// The results of a mode variable of value `value`, most probable first (ties:
// the value's rank). Enabled transitions weigh their results, normalised when
// they sum above 1, the rest staying on the value otherwise; then the
// variable moves to "unknown" with probability `unknown`.
std::vector<ModeOption> modeOptions(const ModeVariable &mode, int value,
                                    const std::function<bool(const GuardLiteral &)> &holds,
                                    double unknown);

// A guard's literal: on the modes of the assignment, on the commands in
// force (-1: not known, the literal does not hold), or entailed by the
// clauses from both. entailed caches the answers for these modes and commands.
bool guardLiteralHolds(const GuardLiteral &literal, const DiagnosisModel &model,
                       const std::vector<int> &modes, const std::vector<int> &commands,
                       ClauseTest &clauses, std::unordered_map<int, bool> &entailed);

// The assumptions that the modes and the known commands hold.
std::vector<int> modeAndCommandAssumptions(const DiagnosisModel &model, const std::vector<int> &modes,
                                           const std::vector<int> &commands, ClauseTest &clauses);

// The joint results of all mode variables in decreasing prior (ties: the
// earlier results of each variable, variables in table order).
class SuccessorEnumeration {
 public:
  explicit SuccessorEnumeration(const std::vector<std::vector<ModeOption>> &options);
  // The next successor, as the option taken of each variable; false when
  // every one was taken.
  bool next(std::vector<int> &choice, double &logPrior);

 private:
  struct Node {
    double logPrior;
    std::vector<int> choice;
    size_t last;  // rank among the variables with a choice of the last one changed
  };
  struct Later {
    bool operator()(const Node &a, const Node &b) const {
      if (a.logPrior != b.logPrior)
        return a.logPrior < b.logPrior;
      return a.choice > b.choice;
    }
  };
  const std::vector<std::vector<ModeOption>> &options;
  std::vector<size_t> choosing;  // the variables with more than one option
  std::priority_queue<Node, std::vector<Node>, Later> pending;
};

#endif
