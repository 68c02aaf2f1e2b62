#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "codegen/compile_command.h"
#include "codegen/generation_state.h"
#include "common/session.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "continuous/values.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/loaded_model.h"
#include "reasoning/itms.h"
#include "shell/options.h"
#include "tests/test_support.h"

namespace {

void write(const std::string &path, const std::string &text) { std::ofstream(path) << text; }

// A loaded application "plant" without any component, in a fresh project
// directory; no reasoner, so no clause is compiled.
class CompileCommand : public testing::Test {
 protected:
  CompileCommand() {
    std::system("mkdir C runtime bin");
    savedReasoner = reasoner;
    reasoner = nullptr;
    objInit();
    config_init();
    resetContinuousSession();
    DataManager::active_comps.clear();
    loadedModel.conditionCount = 0;
    guards_int = 0;
    sarnDir = "/opt/morvel";
    hostType = "linux";
    fileIn = "plant.mdl";
    appliPath = "";
    appliName = "plant";
    apBinDir = "bin/";
    loaded = 1;
    compiled = 0;
    executed = 1;
    loadError = 0;
    loadedModel.runtimeSourceText = "void startinit (Scheduler* sMM) {\n";
    loadedModel.runtimeHeaderText.clear();
    write("runtime/plant_rt.cpp", "left by an earlier compile\n");
    write("runtime/plant_rt.h", "");
  }
  ~CompileCommand() override {
    reasoner = savedReasoner;
    config_init();
    loaded = compiled = executed = loadError = 0;
    loadedModel.runtimeSourceText.clear();
  }

  // Compiles with an object file left over, which the archive step removes.
  std::string compile(const char *argument) {
    write("left.o", "");
    std::string text = argument != nullptr ? argument : "";
    return printed(
        [&] { qxCompile(gen, loadedModel, argument != nullptr ? text.data() : nullptr); });
  }

  ScratchDirectory directory;
  itms *savedReasoner;
  GenerationState gen;
  LoadedModel loadedModel;
};

TEST_F(CompileCommand, NothingHappensBeforeALoad) {
  loaded = 0;
  EXPECT_EQ(compile("1"), "Please load application first !\n");
  EXPECT_EQ(fileText("runtime/plant_rt.h"), "");
  EXPECT_NE(access("plant.build", F_OK), 0);
}

TEST_F(CompileCommand, CompletesRuntimeArchivesAndWritesAnExecutableBuildScript) {
  gen.clauseFiles = {"runtime/cl_stale0"};
  gen.generatedTypes = {"Stale"};

  std::string out = compile("1");

  EXPECT_EQ(out, "ar cr libplant.a \n            components library completed.\n"
                 "Application \"plant\" compiled.\n");
  EXPECT_NE(access("left.o", F_OK), 0) << "object files are removed after archiving";
  EXPECT_EQ(access("libplant.a", F_OK), 0);
  EXPECT_EQ(fileText("plant.build"), "#!/bin/csh\n" + buildScriptCommands(gen) + "\n");
  struct stat status;
  ASSERT_EQ(stat("plant.build", &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0744u);
  EXPECT_TRUE(gen.clauseFiles.empty());
  EXPECT_TRUE(gen.generatedTypes.empty());
  EXPECT_EQ(compiled, 1);
  EXPECT_EQ(executed, 0);
  std::string source = fileText("runtime/plant_rt.cpp");
  EXPECT_EQ(source.rfind("void startinit (Scheduler* sMM) {\n\n\tdico = ", 0), 0u);
  EXPECT_NE(source.find("plant_rt->ts = 1;\n"), std::string::npos);
  EXPECT_EQ(fileText("runtime/plant_rt.h"), "\n\tvariable* dico;\nruntime plant_rt;\nruntime morvel_rt;\n");

  loadError = 1;
  executed = 1;
  out = compile("1");
  EXPECT_EQ(out.substr(out.find("completed.\n") + 11), "Unable to compile \"plant.mdl\"\n");
  EXPECT_EQ(compiled, 0);
  EXPECT_EQ(executed, 1);
}

TEST_F(CompileCommand, FirstWordGivesTheTimeStep) {
  const struct {
    const char *argument;
    const char *message;
    const char *step;
  } cases[] = {
      {nullptr, "Missing time step parameter: 1 assumed.\n", "1"},
      {"", "Missing time step parameter: 1 assumed.\n", "1"},
      {"0.5", "", "0.5"},
      {".5", "Time step parameter should be a number ! 1 assumed.\n", "1"},
      {"2abc", "", "2"},
      {"3 x", "", "3"},
      {"x 3", "Time step parameter should be a number ! 1 assumed.\n", "1"},
      {"\t0.25", "", "0.25"},
  };
  for (const auto &c : cases) {
    write("runtime/plant_rt.cpp", "");
    std::string out = compile(c.argument);
    std::string shown = c.argument != nullptr ? c.argument : "(none)";
    EXPECT_EQ(out.substr(0, out.find("ar cr")), c.message) << shown;
    EXPECT_NE(fileText("runtime/plant_rt.cpp").find(std::string("plant_rt->ts = ") + c.step + ";\n"),
              std::string::npos)
        << shown;
  }
}

TEST_F(CompileCommand, DiscreteOnlyGenerationWritesTheShortEnding) {
  conf_set("discrete", 1);
  compile("1");
  std::string source = fileText("runtime/plant_rt.cpp");
  EXPECT_EQ(source.find("dico"), std::string::npos);
  EXPECT_EQ(source.substr(source.find("plant_rt = NULL;")),
            "plant_rt = NULL;\nmorvel_rt = plant_rt;\n}\nlong guards_int = 0;\n\tint Trajectory::twd = 5;\n\t"
            "long h_pi = 0;\n\t\nbool env_opti = 0;\nstring model_name = \"plant\";\n\t");
}

TEST_F(CompileCommand, TooDeepCausalGraphAbandonsTheCompile) {
  s_variable *cause = name2Var(dictionary, "c.v0");
  for (int i = 1; i <= 100; ++i) {
    s_influence *influence = newRecord<s_influence>();
    influence->type = inflStatic;
    influence->cause = cause;
    influence->effect = cause = name2Var(dictionary, "c.v" + std::to_string(i));
    influence->gain = objUn;
    influence->delay = objZero;
    influence->respTime = objZero;
    s_listsarnInfl cell;
    cell.elt = influence;
    influListsarn = addListsarnInfl(influListsarn, &cell);
  }
  compiled = 1;
  printedOnStderr(
      [&] { EXPECT_EQ(compile("1"), "Implementation error.\n ...too deep causal graph.\n"); });
  EXPECT_EQ(fileText("runtime/plant_rt.cpp"), "left by an earlier compile\n");
  EXPECT_NE(access("plant.build", F_OK), 0);
  EXPECT_EQ(compiled, 1);
  EXPECT_EQ(executed, 1);
}

TEST_F(CompileCommand, BuildScriptNamesClauseFilesOnlyAboveTheThreshold) {
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
  gen.clauseFiles = {"runtime/cl_a0", "runtime/cl_a1"};
  itms model;
  reasoner = &model;

  model.nbClauses = 1000;
  EXPECT_EQ(buildScriptCommands(gen), runtime + link + libraries);
  model.nbClauses = 1001;
  EXPECT_EQ(buildScriptCommands(gen), compile + "runtime/cl_a0.cpp -o runtime/cl_a0.o\n\n" +
                                          compile + "runtime/cl_a1.cpp -o runtime/cl_a1.o\n\n" +
                                          runtime + link + "runtime/cl_a0.o runtime/cl_a1.o " +
                                          libraries);
  reasoner = nullptr;
  gen.clauseFiles.clear();
}

TEST_F(CompileCommand, ClassFileThatCannotBeCreatedEndsTheProgram) {
  Comp tank("tank1");
  tank.typeName = "Tank";
  gen.generatedTypes.clear();
  // A directory in the place of the body file, then no class directory at all.
  for (const char *setup : {"mkdir C/Tank.cpp", "rm -rf C"}) {
    std::system(setup);
    const std::string missing = setup[0] == 'm' ? "body file: C/Tank.cpp" : "header file: C/Tank.h";
    EXPECT_EXIT(
        {
          dup2(STDERR_FILENO, STDOUT_FILENO);
          mrvGenerateDef(gen, "", &tank);
        },
        testing::ExitedWithCode(255), "^\\[Error\\]:Can't create component " + missing + ". Exiting.\n$");
  }
}

} // namespace
