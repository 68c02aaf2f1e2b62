#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "causal_model_support.h"
#include "shell/figures.h"
#include "shell/print_commands.h"

namespace fs = std::filesystem;

namespace {

// Runs in a project directory of its own, where "dot" and "gv" are
// recorders that append their command line to commands.log.
class Figures : public ShellSession {
 protected:
  void SetUp() override {
    ShellSession::SetUp();
    fs::create_directories("stubs");
    for (const char *program : {"dot", "gv"}) {
      std::ofstream(std::string("stubs/") + program)
          << "#!/bin/sh\necho \"" << program << " $*\" >> commands.log\n";
      fs::permissions(std::string("stubs/") + program, fs::perms::owner_all);
    }
    path = std::getenv("PATH");
    setenv("PATH", (directory.path + "/stubs:" + path).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", path.c_str(), 1);
    ShellSession::TearDown();
  }

  ScratchDirectory directory;
  std::string path;
};

TEST(DotIdentifier, SplitsTheNameAtItsFirstDot) {
  EXPECT_EQ(dotIdentifier("pump1.flow"), "pump1_flow");
  EXPECT_EQ(dotIdentifier("level"), "level_level");
  EXPECT_EQ(dotIdentifier("a.b.c"), "a_b.c");
}

// The figures of compiled applications are checked in sessions
// (tests/e2e/shell/compiled_views.case and tests/e2e/compile).
TEST_F(Figures, FigureFileThatCannotBeCreatedRunsNothing) {
  compiled = 1;
  EXPECT_EQ(printed(drawCausalGraph), "Can't create figure file fig/tank.dot\n");
  EXPECT_FALSE(fs::exists("commands.log"));
}

}  // namespace
