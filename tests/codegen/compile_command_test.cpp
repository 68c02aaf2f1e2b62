#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "codegen/clause_builds.h"
#include "codegen/compile_command.h"
#include "codegen/generation_state.h"
#include "common/session.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/data_manager.h"
#include "languages/model/loaded_model.h"
#include "reasoning/itms.h"
#include "shell/options.h"
#include "tests/test_support.h"

namespace {

// A load that reported an error leaves nothing to run: the compile goes
// through, yet the application is not compiled. (No load leaves such an
// application loaded today; the compile does not rely on it.)
TEST(CompileCommand, AnApplicationWithALoadErrorIsNotCompiled) {
  ScratchDirectory directory;
  ASSERT_EQ(std::system("mkdir C runtime bin && touch left.o"), 0);
  itms *savedReasoner = reasoner;
  reasoner = nullptr;
  config_init();
  resetContinuousSession();
  DataManager::active_comps.clear();
  sarnDir = "/opt/morvel";
  hostType = "linux";
  fileIn = "plant.mdl";
  appliName = "plant";
  appliPath = "";
  apBinDir = "bin/";
  deriveCompilePaths();
  loaded = executed = loadError = 1;
  compiled = 0;
  char step[] = "1";
  GenerationState gen;
  LoadedModel model;
  std::string out = printed([&] { qxCompile(gen, model, step); });
  EXPECT_EQ(out.substr(out.find("completed.\n") + 11), "Unable to compile \"plant.mdl\"\n");
  EXPECT_EQ(compiled, 0);
  EXPECT_EQ(executed, 1);
  reasoner = savedReasoner;
  loaded = executed = loadError = 0;
}

// The compile command itself runs in the end-to-end cases of tests/e2e/compile.
TEST(CompileCommand, BuildScriptNamesClauseFilesOnlyAboveTheThreshold) {
  config_init();
  sarnDir = "/opt/morvel";
  hostType = "linux";
  appliName = "plant";
  appliPath = "apps/";
  apBinDir = "apps/bin/";
  deriveCompilePaths();
  EXPECT_EQ(qxLibDir, "/opt/morvel/lib/linux");
  EXPECT_EQ(exeFile, "apps/bin/plant_xe");
  EXPECT_EQ(exeName, "plant_xe");
  EXPECT_EQ(runTFile, "apps/runtime/plant_rt.cpp");
  EXPECT_EQ(runTHead, "apps/runtime/plant_rt.h");
  EXPECT_EQ(runBuildFile, "apps/plant.build");

  const std::string compile = "c++ -Wno-deprecated -I/opt/morvel/include -I/opt/morvel/system "
                              "-I/opt/morvel/itms -I/opt/morvel/behav -c ";
  const std::string runtime = compile + "apps/runtime/plant_rt.cpp -o runtime/plant_rt.o\n\n";
  const std::string link = "c++ -Wno-deprecated -I/opt/morvel/include -I/opt/morvel/behav "
                           "-I/opt/morvel/system -I/opt/morvel/itms -I/usr/local/include "
                           "-L/opt/morvel/lib/linux -L/usr/local/lib -L. -o apps/bin/plant_xe "
                           "runtime/plant_rt.o ";
  const std::string libraries =
      " -lplant -lmorvelexec ../../nelder/nelder.o ../../nelder/optim.o -lqxrunt -lmorvelsysrt "
      "-litmsrt -lmorvelbehrt -lmorvel -lreadline -ltermcap";
  GenerationState gen;
  gen.clauseFiles = {"runtime/cl_a0", "runtime/cl_a1"};
  itms model;
  itms *savedReasoner = reasoner;
  reasoner = &model;

  model.nbClauses = 1000;
  EXPECT_EQ(buildScriptCommands(gen), runtime + link + libraries);
  model.nbClauses = 1001;
  EXPECT_EQ(buildScriptCommands(gen),
            compile + "runtime/cl_a0.cpp -o runtime/cl_a0.o\n\n" + compile +
                "runtime/cl_a1.cpp -o runtime/cl_a1.o\n\n" + runtime + link +
                "runtime/cl_a0.o runtime/cl_a1.o " + libraries);
  reasoner = savedReasoner;
  appliPath = "";
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
