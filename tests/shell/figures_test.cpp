#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "causal_model_support.h"
#include "shell/figures.h"
#include "shell/print_commands.h"

namespace fs = std::filesystem;

namespace {

const char *const header =
    "\trankdir=LR;\n\tsize=\"8,5\";\n\tnode [shape = plaintext];\n\t";

// Runs in a project directory of its own, where "dot" and "gv" are
// recorders that append their command line to commands.log, with a display
// for the viewer.
class Figures : public ShellSession {
 protected:
  void SetUp() override {
    ShellSession::SetUp();
    fs::create_directories("fig");
    fs::create_directories("stubs");
    for (const char *program : {"dot", "gv"}) {
      std::ofstream(std::string("stubs/") + program)
          << "#!/bin/sh\necho \"" << program << " $*\" >> commands.log\n";
      fs::permissions(std::string("stubs/") + program, fs::perms::owner_all);
    }
    path = std::getenv("PATH");
    setenv("PATH", (directory.path + "/stubs:" + path).c_str(), 1);
    const char *display = std::getenv("DISPLAY");
    savedDisplay = display != nullptr ? display : "";
    setenv("DISPLAY", ":99", 1);
  }
  void TearDown() override {
    setenv("PATH", path.c_str(), 1);
    if (savedDisplay.empty())
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", savedDisplay.c_str(), 1);
    ShellSession::TearDown();
  }

  // The recorded commands, once the viewer started in the background has
  // written its line.
  std::string commands() {
    for (int i = 0; i < 100 && fileText("commands.log").find("gv ") == std::string::npos; i++)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fileText("commands.log");
  }

  ScratchDirectory directory;
  std::string path;
  std::string savedDisplay;
};

TEST(DotIdentifier, SplitsTheNameAtItsFirstDot) {
  EXPECT_EQ(dotIdentifier("pump1.flow"), "pump1_flow");
  EXPECT_EQ(dotIdentifier("level"), "level_level");
  EXPECT_EQ(dotIdentifier("a.b.c"), "a_b.c");
}

TEST_F(Figures, CausalGraphOfACompiledApplication) {
  ASSERT_EQ(buildModel(), 1);
  compiled = 1;
  std::string graph = "graph cg";
  EXPECT_EQ(printed([&] { qxGraph(graph.data() + 6); }), "");
  EXPECT_EQ(fileText("fig/tank.dot"),
            std::string("digraph tank {\n") + header +
                "t_a;\nt_p -> t_a [label = \"r1\",color=green4 ];\n"
                "t_b;\nt_a -> t_b [label = \"r2\",color=orange ];\n"
                "t_c;\nt_b -> t_c [label = \"r3\",color=orange ];\n"
                "t_in -> t_c [label = \"r4\",color=orange ];\n"
                "t_d;\nt_in -> t_d [label = \"r5\",color=violetred ];\n"
                "t_in;\nt_p;\nx_x;\n"
                "y_y;\nx_x -> y_y [label = \"\",color=red ];\n}");
  EXPECT_EQ(commands(), "dot -Tps fig/tank.dot -o fig/tank.ps\ngv fig/tank.ps\n");
}

TEST_F(Figures, FigureFileThatCannotBeCreatedRunsNothing) {
  fs::remove("fig");
  compiled = 1;
  EXPECT_EQ(printed(drawCausalGraph), "Can't create figure file fig/tank.dot\n");
  EXPECT_FALSE(fs::exists("commands.log"));
}

}  // namespace
