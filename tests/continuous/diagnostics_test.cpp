#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "continuous/diagnostics.h"
#include "tests/test_support.h"

// The texts of the messages are checked where a session raises them
// (tests/e2e); here the frames around them, by kind.
namespace {

TEST(Diagnostics, WarningsPrintTheirFrameAndReturn) {
  EXPECT_EQ(printedOnStderr([] { semError(2, 7, 38, "x"); }),
            "Line 7: warning.\n  ...delay shouldn't be negative.: x\n");
  EXPECT_EQ(printedOnStderr([] { semError(3, 0, 29); }), "Warning.\n  ...no display variable.: \n");
  EXPECT_EQ(printedOnStderr([] { semError(4, 3, 38, "d"); }), "");
  EXPECT_EQ(printedOnStderr([] { semError(-1, 3, 38, "d"); }), "");
  EXPECT_EQ(loadError, 0);
  EXPECT_EQ(printed([] { implError(3); }), "Implementation error.\n ...too deep causal graph.\n");
}

TEST(DiagnosticsDeathTest, ErrorsExitWithOneAfterSettingLoadError) {
  EXPECT_EXIT(semError(0, 12, 38, "pump"), testing::ExitedWithCode(1),
              "^Line 12: semantics error\\.\n  \\.\\.\\.delay shouldn't be negative\\.: pump\n$");
  EXPECT_EXIT(semError(1, 12, 30, "level"), testing::ExitedWithCode(1),
              "^Semantics error\\.\n  \\.\\.\\.parameter in Input or Measure declaration\\.: level\n$");
  EXPECT_EXIT(
      {
        std::atexit([] { std::fprintf(stderr, "loadError=%d", loadError); });
        semError(1, 0, 53, "v");
      },
      testing::ExitedWithCode(1), "loadError=1$");
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
