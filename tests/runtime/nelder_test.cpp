// The minimiser on functions whose minimum is known.
#include <cmath>

#include <gtest/gtest.h>

#include "runtime/lib/nelder/nelder.h"

TEST(Nelder, FindsTheMinimumOfAShiftedQuadratic) {
  Objective bowl = [](const std::vector<double> &x) {
    return (x[0] - 3) * (x[0] - 3) + 10 * (x[1] + 1) * (x[1] + 1) + 7;
  };
  Minimum found = nelder(bowl, {0, 0}, 1.0, 1e-10, 2000);
  EXPECT_TRUE(found.converged);
  EXPECT_NEAR(found.point[0], 3, 1e-4);
  EXPECT_NEAR(found.point[1], -1, 1e-4);
  EXPECT_NEAR(found.value, 7, 1e-8);
}

TEST(Nelder, FollowsTheCurvedValleyOfRosenbrocksFunction) {
  int calls = 0;
  Objective valley = [&](const std::vector<double> &x) {
    ++calls;
    return 100 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1 - x[0], 2);
  };
  Minimum found = nelder(valley, {-1.2, 1}, 0.5, 1e-12, 5000);
  EXPECT_TRUE(found.converged);
  EXPECT_NEAR(found.point[0], 1, 1e-3);
  EXPECT_NEAR(found.point[1], 1, 1e-3);
  EXPECT_EQ(found.evaluations, calls);  // the count reports every evaluation made
}

TEST(Nelder, StopsAtTheEvaluationBudgetAndSaysSo) {
  Objective slope = [](const std::vector<double> &x) { return x[0]; };  // no minimum
  Minimum found = nelder(slope, {0}, 1.0, 1e-9, 50);
  EXPECT_FALSE(found.converged);
  EXPECT_LE(found.evaluations, 52);
  EXPECT_LT(found.value, -10);
}
