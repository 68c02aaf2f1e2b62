#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "continuous/diagnostics.h"
#include "tests/test_support.h"

namespace {

// The texts by number, from 1; a comment gives the numbers of its line.
const std::vector<const char *> semanticMessages = {
    "multiple definition of symbolic constant.", "model already defined.",  // 1-2
    "undefined model.", "not enough actual parameters in instance.",  // 3-4
    "too many actual parameters in instance.", "contradicting type declarations.",  // 5-6
    "constant influence should have a parameter as cause.",  // 7
    "invalid operator in influence coefficient.",  // 8
    "initialization should be done with a parameter.", "parameter should be initialized.",  // 9-10
    "range: left bound is greater than right one.",  // 11
    "invalid relation operator before range.", "variable already defined.",  // 12-13
    "undefined variable in domain definition.",  // 14
    "undefined variable in interface listsarn.", "undefined variable in influence.",  // 15-16
    "undefined variable in condition.", "undefined variable in expression.",  // 17-18
    "undefined variable in initialization.", "unmatching types of parameters.",  // 19-20
    "invalid operator in variable declaration.",  // 21
    "static influence should have no response time.",  // 22
    "dynamic influence shouldn't have null response time.",  // 23
    "default value 1 assumed for gain.", "default value 0 assumed for delay.",  // 24-25
    "default value 0 assumed for response time.", "invalid operator in initialization.",  // 26-27
    "invalid object beside IN operator.", "no display variable.",  // 28-29
    "parameter in Input or Measure declaration.", "parameter in Display declaration.",  // 30-31
    "integral influence should have no response time.",  // 32
    "constant influence should have no coefficients.",  // 33
    "double definition of gain (first assumed).",  // 34
    "double definition of delay (first assumed).",  // 35
    "double definition of response time (first assumed).",  // 36
    "lower bound of delay shouldn't be null.", "delay shouldn't be negative.",  // 37-38
    "parameter shouldn't be effect in an influence.",  // 39
    "incompatible types in influences to the same variable:",  // 40
    "unequal response times to the same variable: please\n          explicitly introduce marginal variables.",  // 41
    "missing '=' in equation .", "gain range has not a unique sign.",  // 42-43
    "invalid left hand side in equation.", "invalid argument in exponentiation.",  // 44-45
    "variable should be initialized or measured.",  // 46
    "variable in condition should better be input or measure.",  // 47
    "component name or rule name already defined.",  // 48
    "block of rules not allowed inside a model.", "imbrication of models not allowed.",  // 49-50
    "instanciation not allowed inside a model.",  // 51
    "variable can't be both Input and Measure.",  // 52
    "closed loop in causal graph around variable:",  // 53
    "Input variable shouldn't be effect in an influence.", ".", ".", ".", ".", ".",  // 54-59
    "double definition of xi (first assumed).",  // 60
    "double definition of pulse (first assumed).",  // 61
    "double definition of zeros (first assumed).",  // 62
    "condition defined over different variables.",  // 63
    "conditions must be declared in a condition variable (CondVar).",  // 64
    "assume identity mapping function.",  // 65
    "equalities are not recommended in conditions unless you really know what you're doing !",  // 66
    "component not declared.", "unknown component type.",  // 67-68
    "wrong number of arguments to component.", "wrong type for component importation.",  // 69-70
    "header file not found.", "unknown error during variables parsing.",  // 71-72
    "variable not found.", "unknown atom.", "unused component variable.",  // 73-75
    "command in undefined.", "type not found in use declaration.",  // 76-77
    "unknown error during component parsing.",  // 78
    "undefined or imported variable in expression. \nConditions variables must not be defined on imported variables.",  // 79
    "no component of this type has been instanciated in the model.",  // 80
    "no unknown mode found.", "double definition of n1 (first assumed).",  // 81-82
    "double definition of n2 (first assumed).",  // 83
    "double definition of a0 (first assumed).",  // 84
    "double definition of a1 (first assumed).",  // 85
    "double definition of a2 (first assumed).",  // 86
    "incorrect second-order influences parameters: should be broken into two first-order influences.",  // 87
};

const std::vector<const char *> implementationMessages = {
    "too many model definitions.", "wrong booleean constant.", "too deep causal graph.",  // 1-3
    "file error.", "booleean object in code generation.", "invalid condition type.",  // 4-6
    "parameter defined from another parameter", "wrong relation operator in condition",  // 7-8
    "constant as global constraint",  // 9
};

std::string warningText(int kind, long line, int number, const char *detail) {
  return printedOnStderr([=] { semError(kind, line, number, detail); });
}

TEST(Diagnostics, EveryWarningPrintsItsExactTextAndReturns) {
  ASSERT_EQ(semanticMessages.size(), 87u);
  for (int number = 1; number <= 87; ++number) {
    std::string text = semanticMessages[number - 1];
    SCOPED_TRACE(number);
    EXPECT_EQ(warningText(2, 7, number, "x"), "Line 7: warning.\n  ..." + text + ": x\n");
    EXPECT_EQ(warningText(3, 7, number, ""), "Warning.\n  ..." + text + ": \n");
  }
  EXPECT_EQ(loadError, 0);
}

TEST(Diagnostics, DetailDefaultsToEmptyAndOtherKindsPrintNothing) {
  EXPECT_EQ(printedOnStderr([] { semError(3, 0, 29); }), "Warning.\n  ...no display variable.: \n");
  EXPECT_EQ(warningText(4, 3, 38, "d"), "");
  EXPECT_EQ(warningText(-1, 3, 38, "d"), "");
}

TEST(DiagnosticsDeathTest, EveryErrorPrintsItsExactTextAndExitsWithOne) {
  for (int number = 1; number <= 87; ++number)
    EXPECT_EXIT(semError(0, 12, number, "pump"), testing::ExitedWithCode(1),
                "^Line 12: semantics error\\.\n  \\.\\.\\." + regexLiteral(semanticMessages[number - 1]) +
                    ": pump\n$")
        << number;
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
  for (int number = 1; number <= 9; ++number)
    EXPECT_EQ(printed([number] { implError(number); }),
              "Implementation error.\n ..." + std::string(implementationMessages[number - 1]) + "\n");
}

}  // namespace

// A report at a line names the file being read, or the file of the place given.
TEST(DiagnosticsDeathTest, ReportsAtALineNameTheirFile) {
  parsedFile = "Tank.def";
  EXPECT_EQ(printedOnStderr([] { semError(2, 9, 81, "tank"); }),
            "Tank.def: Line 9: warning.\n  ...no unknown mode found.: tank\n");
  EXPECT_EQ(printedOnStderr([] { semError(3, 9, 29); }), "Warning.\n  ...no display variable.: \n");
  EXPECT_EXIT(semErrorAt({"tank.mdl", 8}, 0, 67, "heatr"), testing::ExitedWithCode(1),
              "^tank\\.mdl: Line 8: semantics error\\.\n  \\.\\.\\.component not declared\\.: heatr\n$");
  parsedFile.clear();
}
