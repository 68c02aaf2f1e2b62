#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "continuous/state.h"
#include "discrete/data_manager.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/model_loader.h"
#include "reasoning/itms.h"
#include "shell/options.h"

namespace {

// This test's folder; the examples are two levels up.
const std::string here = std::string(__FILE__).substr(0, std::string(__FILE__).rfind('/'));

std::string contents(const std::string &name) {
  std::ifstream file(name);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Loads copies of the examples in a fresh directory, as the load command does.
class CompiledExample : public testing::Test {
 protected:
  CompiledExample() {
    char pattern[] = "/tmp/morvel-clauses-XXXXXX";
    directory = mkdtemp(pattern);
    previous = getcwd(nullptr, 0);
    config_init();
  }
  ~CompiledExample() override {
    delete reasoner;
    reasoner = nullptr;
    DataManager::active_comps.clear();
    DataManager::active_trans.clear();
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    std::system(("rm -rf " + directory).c_str());
  }
  // Loads the example in a folder of its own and returns what clause
  // compilation printed.
  std::string compile(const std::string &example) {
    std::string folder = directory + "/" + example;
    std::system(("mkdir -p " + folder + "/runtime && cp " + here + "/../../examples/" + example +
                 "/* " + folder).c_str());
    EXPECT_EQ(chdir(folder.c_str()), 0);
    resetContinuousSession();
    resetDefinitionState();
    DataManager::active_comps.clear();
    newReasoner();
    testing::internal::CaptureStdout();
    FILE *input = std::fopen((example + ".mdl").c_str(), "r");
    EXPECT_EQ(parseModelFile(input, "runtime/" + example), 0);
    std::fclose(input);
    testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    reasoner->clauseCompilation();
    std::cout.flush();
    return testing::internal::GetCapturedStdout();
  }
  void expectCompiled(const char *example, int clauses) {
    EXPECT_EQ(compile(example), contents(here + "/expected/" + example + "_clauses.txt"));
    EXPECT_EQ(reasoner->nbClauses, clauses) << example;
  }
  std::string directory;
  char *previous;
};

// The echo kept beside this test, statistics included: a hybrid model with a
// condition variable, and a discrete one whose bulb uses the switch's output
// command. One example a test, so that each load lives until its process ends.
TEST_F(CompiledExample, TankEchoAndCount) { expectCompiled("tank", 20); }

TEST_F(CompiledExample, LampEchoAndCount) { expectCompiled("lamp", 23); }

} // namespace
