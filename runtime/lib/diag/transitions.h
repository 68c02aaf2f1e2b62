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

// The results of every mode variable, by variable; the lists are held
// elsewhere, shared between assignments where they depend on the variable's
// value alone.
typedef std::vector<const std::vector<ModeOption> *> OptionTable;

// A successor as the options it takes other than each variable's first
// (most probable) one, by variable.
struct Deviation {
  int variable;
  int option;  // rank among the variable's options, at least 1
};

// The joint results of all mode variables in decreasing prior (ties: the
// earlier results of each variable, variables in table order). A successor
// is its deviations from the most probable one; each successor taken puts at
// most three others in line, so that taking one costs the logarithm of what
// is in line, whatever the number of mode variables.
class SuccessorEnumeration {
 public:
  // deviating, when not NULL, holds the only variables that may deviate.
  SuccessorEnumeration(const OptionTable &options, const std::vector<int> *deviating);
  // The next successor, as its deviations by increasing variable; false when
  // every one was taken.
  bool next(std::vector<Deviation> &deviations, double &logPrior);

 private:
  struct Node {
    double logPrior;
    std::vector<Deviation> deviations;  // by increasing variable
    long last;                          // rank in `order` of the last variable deviated, -1: none
  };
  struct Later {
    bool operator()(const Node &a, const Node &b) const;
  };
  Node made(std::vector<Deviation> deviations, long last) const;

  const OptionTable &options;
  double firstLogPrior = 0;
  std::vector<int> order;  // the variables with more than one option, least costly deviation first
  std::priority_queue<Node, std::vector<Node>, Later> pending;
};

#endif
