// Builders of causal influences and of the rule blocks that name them.
#ifndef MORVEL_CONTINUOUS_INFLUENCES_H
#define MORVEL_CONTINUOUS_INFLUENCES_H

#include <string>

#include "continuous/lists.h"

// Builds and numbers the influence of cause on effect with the given
// coefficients (the first of each kind counts), checks the coefficients
// against the influence type and raises the maximum delays of cause and
// effect. Violations are reported at the current source line; errors end the
// program, so the result is null only if that report returns.
s_influence *buildInfluence(Comp *comp, influType type, s_variable *cause,
                            s_variable *effect, const s_listsarnCoef *coefs);

// Gives every influence of the list the rule name.
void setRulesNames(s_listsarnInfl *list, const std::string &name);

#endif
