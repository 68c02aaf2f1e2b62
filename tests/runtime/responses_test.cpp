// The discretised responses against the closed-form responses of the
// continuous systems to a step held from time 0.
#include <cmath>

#include <gtest/gtest.h>

#include "runtime/lib/core/responses.h"

TEST(Responses, FirstOrderFollowsTheExponentialStepResponse) {
  for (double timeStep : {0.1, 1.0, 2.5}) {
    const double tau = 5, gain = 0.5, input = 100;
    double factor = firstOrderFactor(timeStep, tau);
    double value = 0;
    for (int k = 1; k <= 40; ++k) {
      value = factor * value + (1 - factor) * gain * input;
      double exact = gain * input * (1 - std::exp(-k * timeStep / tau));
      ASSERT_NEAR(value, exact, 1e-9) << "step " << k << " of " << timeStep;
    }
  }
  EXPECT_EQ(firstOrderFactor(1.0, 0.0), 0.0);  // no response time: follows at once
}

TEST(Responses, SecondOrderFollowsTheDampedStepResponse) {
  struct Case {
    double damping, pulse, timeStep;
  };
  for (Case c : {Case{0.7, 0.8, 1.0}, Case{0.2, 2.0, 0.05}, Case{0.0, 1.0, 0.5}}) {
    SecondOrderStep step = secondOrderStep(c.timeStep, c.damping, c.pulse);
    double state[2] = {0, 0};
    double rootOfOneMinus = std::sqrt(1 - c.damping * c.damping);
    double damped = c.pulse * rootOfOneMinus;
    for (int k = 1; k <= 200; ++k) {
      advanceSecondOrder(step, state, 1.0);
      double t = k * c.timeStep;
      double envelope = std::exp(-c.damping * c.pulse * t);
      double exact = 1 - envelope * (std::cos(damped * t) +
                                     c.damping / rootOfOneMinus * std::sin(damped * t));
      double exactSlope = envelope * c.pulse / rootOfOneMinus * std::sin(damped * t);
      ASSERT_NEAR(state[0], exact, 1e-9) << "step " << k;
      ASSERT_NEAR(state[1], exactSlope, 1e-9) << "step " << k;
    }
  }
}

TEST(Responses, CriticallyDampedSecondOrderSettlesWithoutOvershoot) {
  SecondOrderStep step = secondOrderStep(0.1, 1.0, 3.0);
  double state[2] = {2, 0};  // starts above the forcing, released towards it
  for (int k = 1; k <= 300; ++k) {
    advanceSecondOrder(step, state, 0.0);
    double t = k * 0.1;
    ASSERT_NEAR(state[0], 2 * (1 + 3 * t) * std::exp(-3 * t), 1e-9);
    ASSERT_GE(state[0], 0);
  }
}
