// Hostile definition files: nesting deeper than the parser stack ends the
// program through the error routine instead of overflowing the machine
// stack, nesting just under it loads, and the passes leave nothing
// unreachable behind. Each case runs in a child process, since the passes
// end the program on errors and keep what they load in process-wide state.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "continuous/state.h"
#include "continuous/values.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/model_loader.h"
#include "shell/options.h"
#include "tests/test_support.h"

// Present in sanitizer builds only.
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));
extern "C" void __lsan_disable() __attribute__((weak));

namespace {

std::string repeat(const std::string &text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i)
    repeated += text;
  return repeated;
}

std::string component(const std::string &vardef, const std::string &constraints) {
  return "Component \"Deep\"\n{\n}\nvardef\n{\n" + vardef + "\n}\nconstraints\n{\n" + constraints +
         "\n}\ntransitions\n{\n}\n";
}

class HostileInputTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = testing::TempDir() + "morvel-hostile-" +
          testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string write(const std::string &name, const std::string &text) {
    std::ofstream(dir + name) << text;
    return dir + name;
  }

  // In the child of a death test: what start-up and a load prepare, then the
  // test's directory as the current one, where the model loader finds Deep.def.
  // What a load builds lives until the program ends: unless the case looks
  // for leaks itself, none is reported when the child ends.
  void startChild(bool checksLeaks = false) {
    if (!checksLeaks && __lsan_disable != nullptr)
      __lsan_disable();
    objInit();
    config_init();
    resetContinuousSession();
    resetDefinitionState();
    if (chdir(dir.c_str()) != 0)
      std::exit(3);
  }

  // Loads a model of one instance of Deep through the model loader, which
  // runs both passes over Deep.def; 0 when the loader accepted it.
  int loadDeep() {
    write("deep.mdl", "uses Deep;\n<Deep> deep;\ndeep(deep1, 0, 0);\n");
    FILE *model = std::fopen("deep.mdl", "r");
    LoadedModel loaded;
    int result = parseModelFile(model, "deep.mdl", "deep", loaded);
    std::fclose(model);
    return result;
  }

  std::string dir;
};

const int tooDeep = 20000;

// Nesting past the parser stack, and inputs the fuzz targets brought up (a
// state-variable declaration outside a component form: each used to crash
// the pass). The stand-alone form has no declaration pass: the behaviour
// pass meets the nesting itself.
TEST_F(HostileInputTest, NestingPastTheParserStackEndsThroughTheErrorRoutine) {
  const struct {
    const char *what;
    std::string text, pass;
    const char *file = "Deep.def";
  } cases[] = {
      {"parenthesised expression",
       component("VARIABLE x;", "x = " + repeat("(", tooDeep) + "1" + repeat(")", tooDeep) + ";"), "variables"},
      {"signs", component("VARIABLE x;", "x = " + repeat("-", tooDeep) + "1;"), "variables"},
      {"negated condition",
       component("VARIABLE x;\nMEASURE x;\nCondVar c(" + repeat("!", tooDeep) + "x > 1);", ""), "variables"},
      {"parenthesised state formula",
       component("ModeVar m(a, unknown);", repeat("(", tooDeep) + "(m = \"a\") => (m = \"a\");"), "variables"},
      {"unclosed parentheses", component("VARIABLE x;", "x = " + repeat("(", tooDeep)), "variables"},
      {"command variable", "CommandVar c(a, b);\n", "variables"},
      {"command variable after a variable", "VARIABLE x;\nCommandVar c;\n", "variables"},
      {"mode variable", "ModeVar m(a);\n", "variables"},
      {"stand-alone form", "VARIABLE x;\nx = " + repeat("(", tooDeep) + "1" + repeat(")", tooDeep) + ";",
       "component", "deep.cont"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::string file = write(c.file, c.text);
    EXPECT_EXIT(
        {
          startChild();
          if (c.pass == "component")
            parseContFile(file.c_str());
          else
            parseDef(file.c_str(), "deep");
          std::exit(0);
        },
        testing::ExitedWithCode(1),
        regexLiteral(c.file) + ": Line [0-9]+: semantics error\\.\n  \\.\\.\\.unknown error during " +
            c.pass + " parsing\\.: .*" + regexLiteral(c.file));
  }
}

TEST_F(HostileInputTest, NestingJustUnderTheParserStackLoads) {
  const int deep = 9000;
  const std::string cases[] = {
      component("VARIABLE x;", "x = " + repeat("(", deep) + "1" + repeat(")", deep) + ";"),
      component("VARIABLE x, y;", "x = " + repeat("-", deep) + "y;"),
      component("VARIABLE x, y;", "x = " + repeat("y+(", 3000) + "y" + repeat(")", 3000) + ";"),
      component("ModeVar m(a, unknown);\nVARIABLE x;\nMEASURE x;",
                "CONDITION " + repeat("!", deep) + "x > 1 => (m = \"a\");"),
      component("VARIABLE x;\nMEASURE x;\nCondVar c(x > 1" + repeat(" & x > 1", 3000) + ");", ""),
      component("ModeVar m(a, unknown);",
                "(m = \"a\") => " + repeat("(", deep) + "(m = \"a\")" + repeat(")", deep) + ";"),
      component("ModeVar m(a, unknown);",
                "(m = \"a\") => (m = \"a\")" + repeat(" | (m = \"a\")", 4000) + ";"),
  };
  for (const std::string &text : cases) {
    SCOPED_TRACE(text.substr(0, 120));
    write("Deep.def", text);
    EXPECT_EXIT(
        {
          startChild();
          std::exit(loadDeep());
        },
        testing::ExitedWithCode(0), "");
  }
}

// The stand-alone form builds no state formula, so its rules go unguarded.
TEST_F(HostileInputTest, StandAloneGuardedRulesLoadUnguarded) {
  std::string file = write("guarded.cont", "VARIABLE x, y, z;\n"
                                           "single : (m = \"a\") x -I-> y : GAIN = 1, DELAY = 1;\n"
                                           "block : { (m = \"a\") & (m = \"b\") y -I-> z; }\n");
  EXPECT_EXIT(
      {
        startChild();
        int result = parseContFile(file.c_str());
        std::fflush(nullptr);
        _exit(result);
      },
      testing::ExitedWithCode(0), "");
}

#if defined(__SANITIZE_ADDRESS__)
// The formulas that guard rules and mapping functions only serve to make
// their conditions; they used to be left unreachable. Only a sanitizer
// build can tell.
TEST_F(HostileInputTest, GuardFormulasAreNotLeftUnreachable) {
  write("Deep.def", "Component \"Deep\"\n{\n}\nvardef\n{\n  ModeVar m(a, b, unknown);\n"
                    "  VARIABLE x, y;\n}\nconstraints\n{\n  (m = \"a\") => (m = \"a\");\n}\n"
                    "single : (m = \"a\") x -I-> y : GAIN = 1, DELAY = 1;\n"
                    "block : (m = \"b\") & (m = \"a\") { x -I-> y : GAIN = 2, DELAY = 1; }\n"
                    "transitions\n{\n  t : { Nominal (m = \"a\") Next (m = \"b\") 0.5 ;\n"
                    "    (m = \"a\") | (m = \"b\") : x = 1 ; }\n}\n");
  // A fresh process, so that only this load is looked at.
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        startChild(true);
        if (loadDeep() != 0)
          std::exit(2);
        int leaks = __lsan_do_recoverable_leak_check();
        std::fflush(nullptr);
        _exit(leaks);
      },
      testing::ExitedWithCode(0), "");
  GTEST_FLAG_SET(death_test_style, style);
}
#endif

} // namespace
