#include <gtest/gtest.h>

#include <string>

#include "common/utilities.h"

namespace {

std::string stripped(std::string text, void (*strip)(char *)) {
  strip(text.data());
  return text.c_str();
}

TEST(Utilities, StripWhiteTrimsBothEndsInPlace) {
  EXPECT_EQ(stripped("  load a.mdl \t\n", stripWhite), "load a.mdl");
  EXPECT_EQ(stripped(" \t \n", stripWhite), "");
  EXPECT_EQ(stripped("a  b", stripWhite), "a  b");
  EXPECT_EQ(stripped("", stripWhite), "");
  stripWhite(nullptr);
}

TEST(Utilities, StripNumbersRemovesLeadingDigitsOnly) {
  EXPECT_EQ(stripped("12tank3", stripNumbers), "tank3");
  EXPECT_EQ(stripped("tank", stripNumbers), "tank");
  EXPECT_EQ(stripped("007", stripNumbers), "");
}

TEST(Utilities, StopwatchCountsSixtyTicksASecond) {
  timeInit();
  volatile double sink = 0;
  for (long i = 0; i < 20000000; ++i)
    sink = sink + i * 0.5;
  double spent = spentTime();
  EXPECT_GE(spent, 0.0);
  // Ticks are divided by 60 whatever the system's rate: a whole number of sixtieths.
  EXPECT_DOUBLE_EQ(spent * 60.0, static_cast<double>(static_cast<long>(spent * 60.0 + 0.5)));
}

} // namespace
