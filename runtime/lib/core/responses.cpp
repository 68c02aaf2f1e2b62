#include "responses.h"

#include <cmath>

namespace {

const int kSize = 3;
typedef double Matrix[kSize][kSize];

void multiply(const Matrix left, const Matrix right, Matrix product) {
  Matrix result = {};
  for (int i = 0; i < kSize; ++i)
    for (int j = 0; j < kSize; ++j)
      for (int k = 0; k < kSize; ++k)
        result[i][j] += left[i][k] * right[k][j];
  for (int i = 0; i < kSize; ++i)
    for (int j = 0; j < kSize; ++j)
      product[i][j] = result[i][j];
}

// exp(m) by scaling and squaring: a Taylor series on m / 2^s, squared s times.
void exponential(const Matrix m, Matrix result) {
  double norm = 0;
  for (int i = 0; i < kSize; ++i)
    for (int j = 0; j < kSize; ++j)
      norm = std::fmax(norm, std::fabs(m[i][j]));
  int squarings = 0;
  while (norm > 0.5) {
    norm /= 2;
    ++squarings;
  }
  double scale = std::ldexp(1.0, -squarings);
  Matrix scaled, term = {}, sum = {};
  for (int i = 0; i < kSize; ++i) {
    for (int j = 0; j < kSize; ++j)
      scaled[i][j] = m[i][j] * scale;
    term[i][i] = 1;
    sum[i][i] = 1;
  }
  for (int n = 1; n <= 20; ++n) {
    multiply(term, scaled, term);
    for (int i = 0; i < kSize; ++i)
      for (int j = 0; j < kSize; ++j) {
        term[i][j] /= n;
        sum[i][j] += term[i][j];
      }
  }
  for (int s = 0; s < squarings; ++s)
    multiply(sum, sum, sum);
  for (int i = 0; i < kSize; ++i)
    for (int j = 0; j < kSize; ++j)
      result[i][j] = sum[i][j];
}

} // namespace

double firstOrderFactor(double timeStep, double responseTime) {
  return responseTime > 0 ? std::exp(-timeStep / responseTime) : 0.0;
}

SecondOrderStep secondOrderStep(double timeStep, double damping, double pulse) {
  // The state (x, x') extended by the held forcing: exp of the extended
  // system over one step gives both the transition and the input column.
  Matrix system = {{0, 1, 0},
                   {-pulse * pulse, -2 * damping * pulse, pulse * pulse},
                   {0, 0, 0}};
  for (auto &row : system)
    for (double &entry : row)
      entry *= timeStep;
  Matrix step;
  exponential(system, step);
  SecondOrderStep result;
  for (int i = 0; i < 2; ++i) {
    result.transition[i][0] = step[i][0];
    result.transition[i][1] = step[i][1];
    result.input[i] = step[i][2];
  }
  return result;
}

void advanceSecondOrder(const SecondOrderStep &step, double state[2], double forcing) {
  double value = step.transition[0][0] * state[0] + step.transition[0][1] * state[1] +
                 step.input[0] * forcing;
  double derivative = step.transition[1][0] * state[0] + step.transition[1][1] * state[1] +
                      step.input[1] * forcing;
  state[0] = value;
  state[1] = derivative;
}
