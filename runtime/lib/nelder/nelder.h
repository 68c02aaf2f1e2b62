// A small Nelder-Mead simplex minimiser.
#ifndef MORVEL_RUNTIME_NELDER_H
#define MORVEL_RUNTIME_NELDER_H

#include <functional>
#include <vector>

typedef std::function<double(const std::vector<double> &)> Objective;

struct Minimum {
  std::vector<double> point;
  double value;
  int evaluations;
  bool converged;  // false when the evaluation budget ran out first
};

// Minimises objective from start. The first simplex spreads step along each
// axis; the search stops when the values at the simplex's vertices differ by
// less than tolerance and its vertices lie within tolerance of each other,
// or after maxEvaluations evaluations.
Minimum nelder(const Objective &objective, const std::vector<double> &start, double step,
               double tolerance, int maxEvaluations);

#endif
