#include <gtest/gtest.h>

#include <set>
#include <string>

#include "discrete/comp.h"
#include "discrete/state_var.h"
#include "reasoning/trajectory.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class Trajectories : public testing::Test {
 protected:
  Trajectories() {
    m = owner.variable<ModeVar>("m", std::set<std::string>{"fail", "ok"}, "ok");
    o = owner.variable<ObsVar>("o", std::set<std::string>{"high", "low"}, "low");
    comp.addStateVar(m);
    comp.addStateVar(o);
    for (StateVar *variable : {m, o})
      for (Atom *atom : variable->atomLinks)
        atoms[atom->id] = atom;
    atomOf(m, "ok")->setLabel("true", true);
  }
  Owner owner;
  Comp comp{"c"};
  StateVar *m, *o;
  AtomTable atoms;
};

// A trajectory starts from the labels of the atoms; a copy's labels are its
// own; nothing leaks.
TEST_F(Trajectories, CopiesAreIndependent) {
  unsigned long elementsBefore = TrajEl::trajel_created - TrajEl::trajel_del;
  unsigned long statesBefore = State::state_created - State::state_del;
  {
    Trajectory working(&atoms);
    EXPECT_EQ(working.getLastState()->elements.size(), 4u);
    EXPECT_EQ(working.getElt("m=ok")->label + working.getElt("m=fail")->label +
                  working.getElt("o=high")->label, "truefalseunknown");
    EXPECT_EQ(working.getElt("nothing"), nullptr);
    Trajectory copy(&working, 1);
    copy.getElt("o=high")->setLabel("true");
    EXPECT_EQ(working.getElt("o=high")->label, "unknown");
    EXPECT_EQ(atomOf(o, "high")->label, "unknown");
    EXPECT_EQ(copy.getElt("o=high")->atom, atomOf(o, "high"));

  }
  EXPECT_EQ(TrajEl::trajel_created - TrajEl::trajel_del, elementsBefore);
  EXPECT_EQ(State::state_created - State::state_del, statesBefore);
}

TEST_F(Trajectories, FaultAtomsHeldTrueRankTheState) {
  atomOf(m, "fail")->fault = true;
  atomOf(m, "fail")->setLabel("true", true);
  Trajectory trajectory(&atoms);
  EXPECT_EQ(trajectory.getLastState()->rank, 1);
  EXPECT_EQ(trajectory.rankSum, 1.0);
  Trajectory copy(&trajectory, 1);
  EXPECT_EQ(copy.rankSum, 1.0);
}

}  // namespace
