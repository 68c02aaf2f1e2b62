// Fitting a parameter of the application to the measures.
#ifndef MORVEL_RUNTIME_OPTIM_H
#define MORVEL_RUNTIME_OPTIM_H

#include <functional>

#include "sarn-runt.h"

struct Fit {
  double before;           // the parameter's value before the fit
  double after;            // the value found
  double residualBefore;   // sum of squared differences, measures against predictions
  double residualAfter;
  int evaluations;
  bool converged;
};

// Searches the value of parameter that minimises squaredResidual(), a whole
// run of the application with the parameter as it stands. The parameter is
// left at the value found.
Fit fitParameter(variable parameter, const std::function<double()> &squaredResidual);

#endif
