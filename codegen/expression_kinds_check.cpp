// The generated code writes expression kinds as numbers, "(exprType)N", which
// the runtime reads through its own exprType: the two enums must agree, and
// this unit stops the build when they don't. The runtime header is read in a
// namespace of its own, since both enums use the same names.
#include <cfloat>
#include <cstddef>
#include <cstdio>
#include <stdlib.h>
#include <string>
#include <vector>

namespace runtime_side {
#include "runtime/include/sarn-runt.h"
}

#include "continuous/records.h"

#define SAME_KIND(kind)                                                                            \
  static_assert(static_cast<int>(kind) == static_cast<int>(runtime_side::kind),                    \
                #kind " differs between the workbench and the runtime")

SAME_KIND(exprConst);
SAME_KIND(exprVar);
SAME_KIND(exprAdd);
SAME_KIND(exprSub);
SAME_KIND(exprMul);
SAME_KIND(exprDiv);
SAME_KIND(exprPow);
SAME_KIND(exprSign);
SAME_KIND(exprUnset);
