#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/options.h"

namespace {

void readOptions(const std::string &text) {
  FILE *file = std::tmpfile();
  std::fputs(text.c_str(), file);
  std::rewind(file);
  conf_read(file);
  std::fclose(file);
}

std::vector<std::string> listedNames() {
  std::vector<std::string> names;
  for (const auto &entry : conf_entries())
    names.push_back(entry.first);
  return names;
}

TEST(Options, DefaultsListInHashOrder) {
  config_init();
  testing::internal::CaptureStdout();
  print_conf();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "discrete_window -- 5\n"
            "discrete -- 0\n"
            "evlps_opti -- 0\n"
            "code_opti -- 0\n"
            "hybrid -- 1\n"
            "diag_exo -- 0\n"
            "log -- 0\n"
            "continuous -- 0\n"
            "continuous_window -- 10\n"
            "prime_implicants -- 0\n"
            "code_debug -- 0\n");
  EXPECT_EQ(twc, 10);
  EXPECT_EQ(twd, 5);
  EXPECT_EQ(pi, 0);
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

TEST(Options, UnknownNameFromFileIsAddedAtItsHashPosition) {
  config_init();
  readOptions("colour 3\n");
  std::vector<std::string> names = listedNames();
  ASSERT_EQ(names.size(), 12u);
  // "colour" hashes to a bucket between those of "diag_exo" and "log".
  EXPECT_EQ(names[5], "diag_exo");
  EXPECT_EQ(names[6], "colour");
  EXPECT_EQ(names[7], "log");
  EXPECT_EQ(conf_get("colour"), 3);
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
