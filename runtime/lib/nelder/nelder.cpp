#include "nelder.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vertex {
  std::vector<double> point;
  double value;
};

// centroid + factor * (centroid - worst)
std::vector<double> along(const std::vector<double> &centroid, const std::vector<double> &worst,
                          double factor) {
  std::vector<double> point(centroid.size());
  for (size_t i = 0; i < point.size(); ++i)
    point[i] = centroid[i] + factor * (centroid[i] - worst[i]);
  return point;
}

double spread(const std::vector<Vertex> &simplex) {
  double largest = 0;
  for (const Vertex &vertex : simplex)
    for (size_t i = 0; i < vertex.point.size(); ++i)
      largest = std::max(largest, std::fabs(vertex.point[i] - simplex[0].point[i]));
  return largest;
}

} // namespace

Minimum nelder(const Objective &objective, const std::vector<double> &start, double step,
               double tolerance, int maxEvaluations) {
  const size_t n = start.size();
  int evaluations = 0;
  auto evaluate = [&](const std::vector<double> &point) {
    ++evaluations;
    return Vertex{point, objective(point)};
  };

  std::vector<Vertex> simplex{evaluate(start)};
  for (size_t i = 0; i < n; ++i) {
    std::vector<double> point = start;
    point[i] += step;
    simplex.push_back(evaluate(point));
  }

  auto byValue = [](const Vertex &a, const Vertex &b) { return a.value < b.value; };
  bool converged = false;
  while (evaluations < maxEvaluations) {
    std::sort(simplex.begin(), simplex.end(), byValue);
    if (simplex[n].value - simplex[0].value < tolerance && spread(simplex) < tolerance) {
      converged = true;
      break;
    }
    std::vector<double> centroid(n, 0.0);
    for (size_t v = 0; v < n; ++v)
      for (size_t i = 0; i < n; ++i)
        centroid[i] += simplex[v].point[i] / n;
    Vertex &worst = simplex[n];

    Vertex reflected = evaluate(along(centroid, worst.point, 1.0));
    if (reflected.value < simplex[0].value) {
      Vertex expanded = evaluate(along(centroid, worst.point, 2.0));
      worst = expanded.value < reflected.value ? expanded : reflected;
    } else if (reflected.value < simplex[n - 1].value) {
      worst = reflected;
    } else {
      bool outside = reflected.value < worst.value;
      Vertex contracted = evaluate(along(centroid, worst.point, outside ? 0.5 : -0.5));
      if (contracted.value < std::min(reflected.value, worst.value)) {
        worst = contracted;
      } else {
        for (size_t v = 1; v <= n; ++v) {
          for (size_t i = 0; i < n; ++i)
            simplex[v].point[i] = simplex[0].point[i] + 0.5 * (simplex[v].point[i] - simplex[0].point[i]);
          simplex[v] = evaluate(simplex[v].point);
        }
      }
    }
  }
  std::sort(simplex.begin(), simplex.end(), byValue);
  return Minimum{simplex[0].point, simplex[0].value, evaluations, converged};
}
