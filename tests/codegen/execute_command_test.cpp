#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "codegen/clause_builds.h"
#include "codegen/compile_command.h"
#include "codegen/execute_command.h"
#include "codegen/generation_state.h"
#include "codegen/runtime_file.h"
#include "common/session.h"
#include "languages/model/loaded_model.h"
#include "reasoning/itms.h"
#include "shell/options.h"
#include "tests/test_support.h"

namespace {

// A compiled application "plant" of more than 1000 clauses, with a compiler
// on PATH that fails on the command lines holding FAILING.
class ExecuteCommand : public testing::Test {
 protected:
  ExecuteCommand() : savedPath(std::getenv("PATH")), savedReasoner(reasoner) {
    std::system("mkdir stubs runtime bin");
    std::ofstream("stubs/c++") << "#!/bin/sh\ncase \"$*\" in *\"$FAILING\"*) exit 1;; esac\n";
    chmod("stubs/c++", 0755);
    setenv("PATH", (directory.path + "/stubs:/usr/bin:/bin").c_str(), 1);
    config_init();
    sarnDir = "/opt/morvel";
    hostType = "linux";
    appliPath = "";
    appliName = "plant";
    apBinDir = "bin/";
    deriveCompilePaths();
    numInput = numMeasure = numDisplay = 0;
    loaded = compiled = 1;
    executed = done = 0;
    model.nbClauses = 1001;
    reasoner = &model;
    gen.model = &loadedModel;
    gen.clauseFiles = {"runtime/cl_a0", "runtime/cl_a1"};
  }
  ~ExecuteCommand() override {
    setenv("PATH", savedPath.c_str(), 1);
    unsetenv("FAILING");
    reasoner = savedReasoner;
    gen.clauseFiles.clear();
    loaded = compiled = executed = done = 0;
  }

  std::string execute(const char *failing) {
    setenv("FAILING", failing, 1);
    std::string words;
    return printed([&] { EXPECT_EQ(qxExec(gen, words.data()), 0); });
  }

  ScratchDirectory directory;
  std::string savedPath;
  itms model;
  itms *savedReasoner;
  GenerationState gen;
  LoadedModel loadedModel;
};

const std::string kCompile = "c++ -Wno-deprecated -I/opt/morvel/include -I/opt/morvel/system "
                             "-I/opt/morvel/itms -I/opt/morvel/behav -c ";

TEST_F(ExecuteCommand, FailingClauseFileStopsBeforeTheRuntime) {
  EXPECT_EQ(execute("cl_a1.cpp"),
            "Compiling runtime\n" + kCompile + "runtime/cl_a0.cpp -o runtime/cl_a0.o\n" + kCompile +
                "runtime/cl_a1.cpp -o runtime/cl_a1.o\n... clause file compilation failed.\n");
  EXPECT_EQ(executed, 0);
  EXPECT_EQ(done, 0);
}

TEST_F(ExecuteCommand, FailingRuntimeCompileLinksNothing) {
  EXPECT_EQ(execute("plant_rt.cpp"),
            "Compiling runtime\n" + kCompile + "runtime/cl_a0.cpp -o runtime/cl_a0.o\n" + kCompile +
                "runtime/cl_a1.cpp -o runtime/cl_a1.o\n" + kCompile +
                "runtime/plant_rt.cpp -o runtime/plant_rt.o\n... runtime compilation failed.\n");
  EXPECT_EQ(executed, 0);
  EXPECT_EQ(done, 0);
}

TEST_F(ExecuteCommand, LinkNamesTheClauseFileObjectsThenFailsWithoutALineEnd) {
  std::string output = execute("-o bin/plant_xe");
  EXPECT_NE(output.find("runtime compilation successful.\nC-linking\nc++ -g -Wno-deprecated "),
            std::string::npos);
  EXPECT_NE(output.find(" -o bin/plant_xe runtime/plant_rt.o runtime/cl_a0.o runtime/cl_a1.o  "
                        "-lplant  -lmorvelexec "),
            std::string::npos);
  EXPECT_NE(output.find(" -lreadline -ltermcap... failed.\n"), std::string::npos);
  EXPECT_EQ(executed, 0);
}

TEST(ClauseBuildJobs, TakesAPositiveMorvelJobsElseTheCores) {
  const int cores = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
  for (const auto &[value, jobs] : {std::pair<const char *, int>{"3", 3}, {"0", cores}, {"-2", cores},
                                    {"2x", cores}, {"", cores}}) {
    setenv("MORVEL_JOBS", value, 1);
    EXPECT_EQ(clauseBuildJobs(), jobs) << value;
  }
  unsetenv("MORVEL_JOBS");
  EXPECT_EQ(clauseBuildJobs(), cores);
}

} // namespace
