#include <gtest/gtest.h>

#include <set>
#include <string>

#include "discrete/comp.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
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
  StateFormula *literal(Atom *atom, bool positive) {
    return new StateFormula(atom, positive);
  }
  Owner owner;
  Comp comp{"c"};
  StateVar *m, *o;
  AtomTable atoms;
};

TEST_F(Trajectories, StateCopiesLabelsAndCopiesAreIndependent) {
  unsigned long elementsBefore = TrajEl::trajel_created - TrajEl::trajel_del;
  unsigned long statesBefore = State::state_created - State::state_del;
  {
    Trajectory working(&atoms);
    State *state = working.getLastState();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->elements.size(), 4u);
    EXPECT_EQ(working.getElt("m=ok")->label, "true");
    EXPECT_EQ(working.getElt("m=fail")->label, "false");
    EXPECT_EQ(working.getElt("o=high")->label, "unknown");
    EXPECT_EQ(working.getElt("nothing"), nullptr);

    Trajectory copy(&working, 1);
    EXPECT_EQ(copy.getCurrentTime(), 0);
    copy.getElt("o=high")->setLabel("true");
    EXPECT_EQ(working.getElt("o=high")->label, "unknown");
    EXPECT_EQ(atomOf(o, "high")->label, "unknown");
    EXPECT_NE(copy.getElt("o=high"), working.getElt("o=high"));
    EXPECT_EQ(copy.getElt("o=high")->atom, atomOf(o, "high"));
  }
  EXPECT_EQ(TrajEl::trajel_created - TrajEl::trajel_del, elementsBefore);
  EXPECT_EQ(State::state_created - State::state_del, statesBefore);
}

TEST_F(Trajectories, StepsAdvanceOnlyOnePastTheCurrentTime) {
  Trajectory trajectory(&atoms);
  EXPECT_EQ(trajectory.getCurrentTime(), 0);
  trajectory.addCopyState(1, trajectory.getState(0), false);
  EXPECT_EQ(trajectory.getCurrentTime(), 1);
  trajectory.addCopyState(5, trajectory.getState(0), false);
  EXPECT_EQ(trajectory.getCurrentTime(), 1);
  EXPECT_EQ(trajectory.stepCount, 1);
  EXPECT_NE(trajectory.getState(5), nullptr);
  trajectory.getElt(1, "m=ok")->setLabel("false");
  EXPECT_EQ(trajectory.getElt(0, "m=ok")->label, "true");
  EXPECT_EQ(trajectory.getElt("m=ok")->label, "false");

  Trajectory firstTwo(&trajectory, 2);
  EXPECT_EQ(firstTwo.getCurrentTime(), 1);
  EXPECT_EQ(firstTwo.states.size(), 2u);
  EXPECT_EQ(firstTwo.getElt("m=ok")->label, "false");
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

TEST_F(Trajectories, ElementsKeepOrForgetTheirTransition) {
  Transition *repair = owner.keep(new Transition(literal(atomOf(m, "fail"), true),
                                                 literal(atomOf(m, "ok"), true), "Nominal", 0.9));
  Transition *breakDown = owner.keep(new Transition(
      literal(atomOf(m, "ok"), true), literal(atomOf(m, "fail"), true), "Fail", 0.1));
  repair->setID(3);
  breakDown->setID(4);
  TransitionsById next{{3, repair}, {7, nullptr}};
  TrajEl element(atomOf(m, "ok"), repair, &next, "true");
  EXPECT_EQ(element.nextTrans.size(), 1u);
  element.kind = 1;
  element.addToNextTrans(breakDown);
  EXPECT_EQ(element.nextTrans.size(), 1u);
  EXPECT_EQ(element.nextTrans.count(4), 1u);

  State state;
  state.addElt(&element, true);
  EXPECT_EQ(state.getElt("m=ok")->trans, repair);
  EXPECT_EQ(state.getElt("m=ok")->kind, 1);
  state.addElt(&element, false);
  EXPECT_EQ(state.elements.size(), 1u);
  EXPECT_EQ(state.getElt("m=ok")->trans, nullptr);
  EXPECT_EQ(state.getElt("m=ok")->kind, 2);
  EXPECT_TRUE(state.getElt("m=ok")->evalTrajEl());
  EXPECT_TRUE(state.getElt("m=ok")->eq(element));
}

TEST_F(Trajectories, FormulasAreEvaluatedOnLabels) {
  atomOf(o, "high")->setLabel("true", true);
  State state(&atoms);
  struct Case {
    std::vector<std::pair<Atom *, bool>> literals;
    const char *op;
    bool negated;
    bool expected;
  };
  Atom *ok = atomOf(m, "ok"), *fail = atomOf(m, "fail"), *high = atomOf(o, "high");
  const Case cases[] = {
      {{{ok, true}, {high, true}}, "and", false, true},
      {{{ok, true}, {fail, true}}, "and", false, false},
      {{{fail, true}, {high, true}}, "or", false, true},
      {{{fail, true}, {ok, false}}, "or", false, false},
      {{{fail, false}}, "and", false, true},
      {{{fail, false}}, "and", true, false},
  };
  for (const Case &test : cases) {
    StateFormula formula;
    for (const auto &literal : test.literals)
      formula.addAtom(literal.first, literal.second);
    formula.setOperat(test.op);
    formula.negated = test.negated;
    EXPECT_EQ(state.evalStateFormula(&formula, nullptr), test.expected) << test.op;
  }
  State empty;
  StateFormula onOk(ok, true);
  EXPECT_FALSE(empty.evalStateFormula(&onOk, nullptr));
  EXPECT_TRUE(empty.evalStateFormula(&onOk, &state));
}

TEST_F(Trajectories, StateCountsIdleTransitionsAndReachingProbabilities) {
  Transition *stay = owner.keep(new Transition(literal(atomOf(m, "ok"), true),
                                               literal(atomOf(m, "ok"), true), "Nominal", 0.8,
                                               true));
  Transition *repair = owner.keep(new Transition(
      literal(atomOf(m, "fail"), true), literal(atomOf(m, "ok"), true), "Nominal", 0.2));
  stay->setID(0);
  repair->setID(1);
  State state(&atoms);
  EXPECT_EQ(state.idleCount, 1);
  EXPECT_EQ(state.idleComps.count("c"), 1u);
  EXPECT_DOUBLE_EQ(state.getTransitionPostProb(stay), 0.8);
  EXPECT_DOUBLE_EQ(state.getTransitionPostProb(repair), 0.2);

  atomOf(m, "fail")->setLabel("true", true);
  State failed(&atoms);
  EXPECT_EQ(failed.idleCount, 0);
  EXPECT_DOUBLE_EQ(failed.getTransitionPostProb(repair), 0.0);
}

TEST_F(Trajectories, PrintsElementsInIdOrder) {
  Trajectory trajectory(&atoms);
  EXPECT_EQ(printed([&] { trajectory.getLastState()->showState(); }),
            "m=fail : false\nm=ok : true\no=high : unknown\no=low : unknown\n");
  EXPECT_EQ(printed([&] { trajectory.showTrajectoryLight(); }), "0 : m=ok\n");
}

}  // namespace
