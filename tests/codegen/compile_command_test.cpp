#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "codegen/clause_builds.h"
#include "codegen/compile_command.h"
#include "codegen/generation_state.h"
#include "reasoning/itms.h"
#include "shell/options.h"

namespace {

// The compile command and its build script are checked in the sessions of
// tests/e2e/compile; here the threshold above which the script names the
// clause files.
TEST(CompileCommand, BuildScriptNamesClauseFilesOnlyAboveTheThreshold) {
  config_init();
  GenerationState gen;
  gen.clauseFiles = {"runtime/cl_a0"};
  itms model;
  itms *savedReasoner = reasoner;
  reasoner = &model;
  for (long clauses : {1000L, 1001L}) {
    model.nbClauses = clauses;
    std::string script = buildScriptCommands(gen);
    bool above = clauses > 1000;
    EXPECT_EQ(script.find("-c runtime/cl_a0.cpp -o runtime/cl_a0.o\n\n") != std::string::npos, above);
    EXPECT_EQ(script.find("runtime/cl_a0.o  -l") != std::string::npos, above);
  }
  reasoner = savedReasoner;
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
