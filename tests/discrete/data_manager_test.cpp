#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/state_var.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class Registry : public testing::Test {
 protected:
  Registry() { DataManager::active_comps.clear(); }
  ~Registry() override {
    DataManager::active_comps.clear();
    DataManager::active_atoms->clear();
  }
};

// Components by name in registration order, a name given again replacing
// the first in its place; many of them too.
TEST_F(Registry, ComponentsInRegistrationOrderAndAtomsById) {
  Comp zeta("zeta"), alpha("alpha"), mid("mid"), alphaAgain("alpha");
  zeta.varName = "z";
  alpha.varName = "a";
  mid.varName = "m";
  alphaAgain.varName = "a2";
  for (Comp *comp : {&zeta, &alpha, &mid, &alphaAgain})
    DataManager::addComp(comp);
  EXPECT_EQ(DataManager::getComp("alpha"), &alphaAgain);
  EXPECT_EQ(DataManager::getComp("nothing"), nullptr);
  EXPECT_EQ(printed([] { DataManager::showComps(); }),
            "zeta -- zeta ( z )\nalpha -- alpha ( a2 )\nmid -- mid ( m )\n\n");
  DataManager::active_comps.clear();
  std::vector<std::unique_ptr<Comp>> many;
  for (int i = 0; i < 10000; ++i) {
    many.push_back(std::make_unique<Comp>("c" + std::to_string(9999 - i)));
    DataManager::addComp(many.back().get());
  }
  for (int i = 0; i < 10000; ++i)
    ASSERT_EQ(DataManager::getComp(("c" + std::to_string(i)).c_str()), many[9999 - i].get());
  EXPECT_EQ(DataManager::active_comps.begin()->first, "c9999");

  Owner owner;
  StateVar *x = owner.variable<StateVar>("p.x", std::set<std::string>{"on", "off"}, "on");
  for (Atom *atom : x->atomLinks)
    DataManager::addAtom(atom);
  EXPECT_EQ(DataManager::getAtom("p.x=on"), atomOf(x, "on"));
  EXPECT_EQ(DataManager::getAtom("p.x=up"), nullptr);
  EXPECT_EQ(printed([] { DataManager::showAtoms(); }), "p.x=off p.x=on \n");
  EXPECT_EQ(printedOnStderr([] { DataManager::dataError(0, 1); }),
            "Request error.\n ...component doesn't exist.\n");
  EXPECT_EQ(printedOnStderr([] { DataManager::dataError(2, 1); }), "");
}

TEST(Comp, CorrespondencesAnswerEmptyWhenMissing) {
  Comp comp("c");
  EXPECT_EQ(comp.findCorresName("a"), "");
  comp.correspondences = new std::vector<std::pair<std::string, std::string>>{{"a", "b"}, {"c", "d"}};
  EXPECT_EQ(comp.findCorresDef("d"), "c");
  EXPECT_EQ(comp.findCorresName("a"), "b");
  EXPECT_EQ(comp.findCorresName("z"), "");
  EXPECT_EQ(comp.findCorresDef("a"), "");
}

// What a component shows is checked in a session (tests/e2e/shell/continuous_views.case).

// Runs in a fresh directory, as the program does at start-up.
class BenchmarkFiles : public testing::Test {
 protected:
  ~BenchmarkFiles() override {
    DataManager::benchmk_stream.close();
    DataManager::itms_stream.close();
  }
  ScratchDirectory directory;
};

TEST_F(BenchmarkFiles, TakeOneLinePerEntry) {
  DataManager::openBenchmarkFiles();
  DataManager::itms_calls = 0;
  std::vector<const char *> names = {"p.m=ok", "p.c=on"};
  std::vector<const char *> none;
  EXPECT_EQ(printed([&] { DataManager::addItmsBmkEntry(0.5, 2, &names); }), "");
  DataManager::addItmsBmkEntry(1.0 / 3.0, 0, &none);
  EXPECT_EQ(fileText("itmsbench.bmk"), "0 0.5 2 p.m=ok p.c=on \n1 0.333333 0 \n");
  EXPECT_EQ(DataManager::itms_calls, 2u);
}

} // namespace
