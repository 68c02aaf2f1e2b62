#include <gtest/gtest.h>

#include <set>
#include <string>

#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "languages/definition/condition_bridge.h"

namespace {

class ConditionBridge : public testing::Test {
 protected:
  ConditionBridge() : comp("valve1") {
    comp.varName = "valve";
    resetConditionBridge();
    conditions.clear();
    numCond = 0;
    mode = new ModeVar();
    mode->setName("valve.pos");
    for (const char *value : {"open", "shut", "unknown"})
      mode->addValue(value);
    mode->createAtoms();
    comp.addStateVar(mode);
  }
  ~ConditionBridge() override {
    for (Atom *atom : mode->getAtomLinks())
      delete atom;
    delete mode;
  }
  Atom *atom(size_t index) { return mode->getAtomLinks()[index]; }
  Comp comp;
  ModeVar *mode;
};

TEST_F(ConditionBridge, AnAtomConditionIsMadeOnceAndFalseTruthWrapsItAnew) {
  s_cond *own = mkCondAt(atom(0), true, &comp);
  EXPECT_EQ(own->type, condAtom);
  EXPECT_EQ(own->at, atom(0));
  EXPECT_EQ(own->name, "valve.c_1");
  EXPECT_EQ(mkCondAt(atom(0), true, &comp), own);

  s_cond *first = mkCondAt(atom(0), false, &comp);
  s_cond *second = mkCondAt(atom(0), false, &comp);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->type, condNot);
  EXPECT_EQ(first->op1, own);
  EXPECT_EQ(conditions.size(), 3u);
  // Only the condition made with the atom's own goes to the mode variable.
  EXPECT_EQ(mode->conditions, std::vector<s_cond *>{own});
}

TEST_F(ConditionBridge, FormulasBecomeLeftDeepChainsOfTheirOperator) {
  StateFormula formula(atom(0));
  formula.setOperat("or");
  formula.addAtom(atom(1), false);
  s_cond *chain = mkCondStf(&formula, &comp);
  ASSERT_EQ(chain->type, condOr);
  EXPECT_EQ(chain->op1->parent, chain);
  EXPECT_EQ(chain->op2->parent, chain);
  // Literals are taken in the formula's order.
  EXPECT_EQ(chain->op1->at, atom(0));
  EXPECT_EQ(chain->op2->type, condNot);
  EXPECT_EQ(chain->op2->op1->at, atom(1));

  StateFormula nested;
  nested.addStateFormula(new StateFormula(atom(2)));
  EXPECT_EQ(mkCondStf(&nested, &comp), mkCondAt(atom(2), true, &comp));

  StateFormula empty;
  EXPECT_EQ(mkCondStf(&empty, &comp), nullptr);
}

TEST_F(ConditionBridge, KnownModeConditionLeavesOutUnknown) {
  s_cond *known = createModeStf(&comp);
  ASSERT_EQ(known->type, condOr);
  std::set<const Atom *> atoms{known->op1->at, known->op2->at};
  EXPECT_EQ(atoms, (std::set<const Atom *>{atom(0), atom(1)}));
}

TEST_F(ConditionBridge, AWrittenConditionStandsBehindItsFormula) {
  s_cond written;
  StateFormula *formula = conditionStateFormula(&written);
  EXPECT_EQ(standsForCondition(formula), &written);
  EXPECT_EQ(mkCondStf(formula, &comp), &written);
  StateFormula plain(atom(0));
  EXPECT_EQ(standsForCondition(&plain), nullptr);
  delete formula;
}

} // namespace
