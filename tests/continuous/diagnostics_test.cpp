#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "continuous/diagnostics.h"
#include "tests/test_support.h"

namespace {

struct message {
  int number;
  const char *text;
};

const std::vector<message> semanticMessages = {
    {1, "multiple definition of symbolic constant."},
    {2, "model already defined."},
    {3, "undefined model."},
    {4, "not enough actual parameters in instance."},
    {5, "too many actual parameters in instance."},
    {6, "contradicting type declarations."},
    {7, "constant influence should have a parameter as cause."},
    {8, "invalid operator in influence coefficient."},
    {9, "initialization should be done with a parameter."},
    {10, "parameter should be initialized."},
    {11, "range: left bound is greater than right one."},
    {12, "invalid relation operator before range."},
    {13, "variable already defined."},
    {14, "undefined variable in domain definition."},
    {15, "undefined variable in interface listsarn."},
    {16, "undefined variable in influence."},
    {17, "undefined variable in condition."},
    {18, "undefined variable in expression."},
    {19, "undefined variable in initialization."},
    {20, "unmatching types of parameters."},
    {21, "invalid operator in variable declaration."},
    {22, "static influence should have no response time."},
    {23, "dynamic influence shouldn't have null response time."},
    {24, "default value 1 assumed for gain."},
    {25, "default value 0 assumed for delay."},
    {26, "default value 0 assumed for response time."},
    {27, "invalid operator in initialization."},
    {28, "invalid object beside IN operator."},
    {29, "no display variable."},
    {30, "parameter in Input or Measure declaration."},
    {31, "parameter in Display declaration."},
    {32, "integral influence should have no response time."},
    {33, "constant influence should have no coefficients."},
    {34, "double definition of gain (first assumed)."},
    {35, "double definition of delay (first assumed)."},
    {36, "double definition of response time (first assumed)."},
    {37, "lower bound of delay shouldn't be null."},
    {38, "delay shouldn't be negative."},
    {39, "parameter shouldn't be effect in an influence."},
    {40, "incompatible types in influences to the same variable:"},
    {41, "unequal response times to the same variable: please\n          explicitly introduce marginal variables."},
    {42, "missing '=' in equation ."},
    {43, "gain range has not a unique sign."},
    {44, "invalid left hand side in equation."},
    {45, "invalid argument in exponentiation."},
    {46, "variable should be initialized or measured."},
    {47, "variable in condition should better be input or measure."},
    {48, "component name or rule name already defined."},
    {49, "block of rules not allowed inside a model."},
    {50, "imbrication of models not allowed."},
    {51, "instanciation not allowed inside a model."},
    {52, "variable can't be both Input and Measure."},
    {53, "closed loop in causal graph around variable:"},
    {54, "Input variable shouldn't be effect in an influence."},
    {55, "."},
    {56, "."},
    {57, "."},
    {58, "."},
    {59, "."},
    {60, "double definition of xi (first assumed)."},
    {61, "double definition of pulse (first assumed)."},
    {62, "double definition of zeros (first assumed)."},
    {63, "condition defined over different variables."},
    {64, "conditions must be declared in a condition variable (CondVar)."},
    {65, "assume identity mapping function."},
    {66, "equalities are not recommended in conditions unless you really know what you're doing !"},
    {67, "component not declared."},
    {68, "unknown component type."},
    {69, "wrong number of arguments to component."},
    {70, "wrong type for component importation."},
    {71, "header file not found."},
    {72, "unknown error during variables parsing."},
    {73, "variable not found."},
    {74, "unknown atom."},
    {75, "unused component variable."},
    {76, "command in undefined."},
    {77, "type not found in use declaration."},
    {78, "unknown error during component parsing."},
    {79, "undefined or imported variable in expression. \nConditions variables must not be defined on imported variables."},
    {80, "no component of this type has been instanciated in the model."},
    {81, "no unknown mode found."},
    {82, "double definition of n1 (first assumed)."},
    {83, "double definition of n2 (first assumed)."},
    {84, "double definition of a0 (first assumed)."},
    {85, "double definition of a1 (first assumed)."},
    {86, "double definition of a2 (first assumed)."},
    {87, "incorrect second-order influences parameters: should be broken into two first-order influences."},
};

const std::vector<message> implementationMessages = {
    {1, "too many model definitions."},
    {2, "wrong booleean constant."},
    {3, "too deep causal graph."},
    {4, "file error."},
    {5, "booleean object in code generation."},
    {6, "invalid condition type."},
    {7, "parameter defined from another parameter"},
    {8, "wrong relation operator in condition"},
    {9, "constant as global constraint"},
};

std::string warningText(int kind, long line, int number, const char *detail) {
  testing::internal::CaptureStderr();
  semError(kind, line, number, detail);
  return testing::internal::GetCapturedStderr();
}

TEST(Diagnostics, EveryWarningPrintsItsExactTextAndReturns) {
  ASSERT_EQ(semanticMessages.size(), 87u);
  for (const message &m : semanticMessages) {
    SCOPED_TRACE(m.number);
    EXPECT_EQ(warningText(2, 7, m.number, "x"),
              "Line 7: warning.\n  ..." + std::string(m.text) + ": x\n");
    EXPECT_EQ(warningText(3, 7, m.number, ""), "Warning.\n  ..." + std::string(m.text) + ": \n");
  }
  EXPECT_EQ(loadError, 0);
}

TEST(Diagnostics, DetailDefaultsToEmptyAndOtherKindsPrintNothing) {
  testing::internal::CaptureStderr();
  semError(3, 0, 29);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning.\n  ...no display variable.: \n");
  EXPECT_EQ(warningText(4, 3, 38, "d"), "");
  EXPECT_EQ(warningText(-1, 3, 38, "d"), "");
}

TEST(DiagnosticsDeathTest, EveryErrorPrintsItsExactTextAndExitsWithOne) {
  for (const message &m : semanticMessages) {
    SCOPED_TRACE(m.number);
    EXPECT_EXIT(semError(0, 12, m.number, "pump"), testing::ExitedWithCode(1),
                "^Line 12: semantics error\\.\n  \\.\\.\\." + regexLiteral(m.text) + ": pump\n$");
  }
  EXPECT_EXIT(semError(1, 12, 30, "level"), testing::ExitedWithCode(1),
              "^Semantics error\\.\n  \\.\\.\\.parameter in Input or Measure declaration\\.: level\n$");
  EXPECT_EXIT(semError(0, 12, 38), testing::ExitedWithCode(1),
              "^Line 12: semantics error\\.\n  \\.\\.\\.delay shouldn't be negative\\.: \n$");
}

TEST(DiagnosticsDeathTest, ErrorSetsLoadErrorBeforeExiting) {
  EXPECT_EXIT(
      {
        std::atexit([] { std::fprintf(stderr, "loadError=%d", loadError); });
        semError(1, 0, 53, "v");
      },
      testing::ExitedWithCode(1), "loadError=1$");
}

TEST(Diagnostics, ImplementationMessagesGoToStandardOutputAndReturn) {
  for (const message &m : implementationMessages) {
    SCOPED_TRACE(m.number);
    testing::internal::CaptureStdout();
    implError(m.number);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Implementation error.\n ..." + std::string(m.text) + "\n");
  }
}

}  // namespace
