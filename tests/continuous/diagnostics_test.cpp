#include <gtest/gtest.h>

#include <string>

#include "continuous/diagnostics.h"
#include "tests/test_support.h"

// The texts of the messages, and the frames naming the file being read, are
// checked where a session raises them (tests/e2e); here the frames by kind.
namespace {

TEST(DiagnosticsDeathTest, ErrorsExitWithOneAndWarningsReturn) {
  EXPECT_EQ(printedOnStderr([] { semError(2, 7, 38, "x"); }),
            "Line 7: warning.\n  ...delay shouldn't be negative.: x\n");
  parsedFile = "Tank.def";  // named by reports at a line only
  EXPECT_EQ(printedOnStderr([] { semError(3, 9, 29); }), "Warning.\n  ...no display variable.: \n");
  parsedFile.clear();
  EXPECT_EQ(printedOnStderr([] { semError(4, 3, 38, "d"); }), "");
  EXPECT_EQ(printedOnStderr([] { semError(-1, 3, 38, "d"); }), "");
  EXPECT_EQ(loadError, 0);
  EXPECT_EXIT(semError(0, 12, 38, "pump"), testing::ExitedWithCode(1),
              "^Line 12: semantics error\\.\n  \\.\\.\\.delay shouldn't be negative\\.: pump\n$");
  EXPECT_EXIT(semError(1, 12, 30, "level"), testing::ExitedWithCode(1),
              "^Semantics error\\.\n  \\.\\.\\.parameter in Input or Measure declaration\\.: level\n$");
}

}  // namespace
