// Responses of the influences discretised at the time step. Each is exact
// for a cause held constant over the step: the runtime samples a cause once
// per step and holds it until the next sample.
#ifndef MORVEL_RUNTIME_RESPONSES_H
#define MORVEL_RUNTIME_RESPONSES_H

// First order, tau dx/dt + x = forcing: over one step
// x <- factor * x + (1 - factor) * forcing.
double firstOrderFactor(double timeStep, double responseTime);

// Second order, x'' + 2 xi w x' + w^2 x = w^2 forcing, over one step:
// (x, x') <- transition * (x, x') + input * forcing.
struct SecondOrderStep {
  double transition[2][2];
  double input[2];
};

SecondOrderStep secondOrderStep(double timeStep, double damping, double pulse);

// Advances the state (value, derivative) by one step.
void advanceSecondOrder(const SecondOrderStep &step, double state[2], double forcing);

#endif
