#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/state_var.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

// Components by name in registration order, a name given again replacing
// the first in its place.
TEST(Registry, ComponentsInRegistrationOrderAndAtomsById) {
  DataManager::active_comps.clear();
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

  Owner owner;
  StateVar *x = owner.variable<StateVar>("p.x", std::set<std::string>{"on", "off"}, "on");
  for (Atom *atom : x->atomLinks)
    DataManager::addAtom(atom);
  EXPECT_EQ(DataManager::getAtom("p.x=on"), atomOf(x, "on"));
  EXPECT_EQ(DataManager::getAtom("p.x=up"), nullptr);
  DataManager::active_comps.clear();
  DataManager::active_atoms->clear();
}

// What a component shows, the atoms listed and the warning of a missing
// component are checked in sessions (tests/e2e/shell, tests/e2e/compile).

// The program opens them in a fresh directory at start-up.
TEST(BenchmarkFiles, TakeOneLinePerEntry) {
  ScratchDirectory directory;
  DataManager::openBenchmarkFiles();
  DataManager::itms_calls = 0;
  std::vector<const char *> names = {"p.m=ok", "p.c=on"};
  std::vector<const char *> none;
  EXPECT_EQ(printed([&] { DataManager::addItmsBmkEntry(0.5, 2, &names); }), "");
  DataManager::addItmsBmkEntry(1.0 / 3.0, 0, &none);
  EXPECT_EQ(fileText("itmsbench.bmk"), "0 0.5 2 p.m=ok p.c=on \n1 0.333333 0 \n");
  EXPECT_EQ(DataManager::itms_calls, 2u);
  DataManager::benchmk_stream.close();
  DataManager::itms_stream.close();
}

} // namespace
