#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "shell/options.h"

namespace {

void readOptions(const std::string &text) {
  FILE *file = std::tmpfile();
  std::fputs(text.c_str(), file);
  std::rewind(file);
  conf_read(file);
  std::fclose(file);
}

TEST(Options, FileLinesInEveryFormSetValuesAndMirrors) {
  config_init();
  readOptions("code_opti = 1\n"
              "code_debug=1\n"
              "evlps_opti 1\n"
              "continuous_window=25\n"
              "discrete_window  7 trailing words\n"
              "# prime_implicants 1\n"
              "\n"
              "log\n"
              "hybrid = x\n"
              "prime_implicants -3\n"
              "code_opti 0\n");
  EXPECT_EQ(conf_get("code_opti"), 0);
  EXPECT_EQ(mrv_code_opti, 0);
  EXPECT_EQ(conf_get("code_debug"), 1);
  EXPECT_EQ(mrv_code_debug, 1);
  EXPECT_EQ(mrv_evlps_opti, 1);
  EXPECT_EQ(twc, 25);
  EXPECT_EQ(twd, 7);
  EXPECT_EQ(pi, -3);
  EXPECT_EQ(conf_get("log"), 0);     // a name without value is skipped
  EXPECT_EQ(conf_get("hybrid"), 0);  // non-numeric values read as 0
  EXPECT_EQ(conf_entries().size(), 11u);
}

TEST(Options, SetAndGetReportUnknownNames) {
  config_init();
  testing::internal::CaptureStderr();
  conf_set("colour", 2);
  EXPECT_EQ(conf_get("colour"), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "option colour doesn't exist\noption colour doesn't exist\n");
  EXPECT_EQ(conf_entries().size(), 11u);

  conf_set("prime_implicants", 1);
  EXPECT_EQ(pi, 1);
  conf_set("continuous", 1);
  EXPECT_EQ(conf_get("continuous"), 1);
}

TEST(Options, TableGrowsBeyondItsBucketsWithoutLosingOptions) {
  config_init();
  std::string text;
  for (int i = 0; i < 250; ++i)
    text += "option" + std::to_string(i) + " " + std::to_string(i) + "\n";
  readOptions(text);
  EXPECT_EQ(conf_entries().size(), 261u);
  for (int i = 0; i < 250; ++i)
    EXPECT_EQ(conf_get(("option" + std::to_string(i)).c_str()), i);
  EXPECT_EQ(twd, 5);
}

} // namespace
