#include "optim.h"

#include <cmath>
#include <vector>

#include "nelder.h"

namespace {

void setValue(variable parameter, double value) {
  range point = {value, value, 1, 1};
  setObjType(parameter->oldVal, objReal);
  setObjRangeVal(parameter->oldVal, point);
}

} // namespace

Fit fitParameter(variable parameter, const std::function<double()> &squaredResidual) {
  const range &current = parameter->oldVal->val;
  double start = parameter->oldVal->type == objRange ? (current.low + current.up) / 2 : current.low;
  Objective objective = [&](const std::vector<double> &point) {
    setValue(parameter, point[0]);
    return squaredResidual();
  };
  double residualBefore = objective({start});
  double step = std::fmax(0.1 * std::fabs(start), 0.1);
  Minimum minimum = nelder(objective, {start}, step, 1e-9, 400);
  setValue(parameter, minimum.point[0]);
  return Fit{start, minimum.point[0], residualBefore, minimum.value, minimum.evaluations + 1,
             minimum.converged};
}
