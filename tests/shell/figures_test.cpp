#include <gtest/gtest.h>

#include "shell/figures.h"

namespace {

// The figures themselves are checked in sessions (tests/e2e/shell and
// tests/e2e/compile), a figure file that cannot be created too.
TEST(DotIdentifier, SplitsTheNameAtItsFirstDot) {
  EXPECT_EQ(dotIdentifier("pump1.flow"), "pump1_flow");
  EXPECT_EQ(dotIdentifier("level"), "level_level");
  EXPECT_EQ(dotIdentifier("a.b.c"), "a_b.c");
}

}  // namespace
