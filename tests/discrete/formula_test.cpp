#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discrete/comp.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class Formulas : public testing::Test {
 protected:
  Formulas() {
    a = owner.variable<ModeVar>("A", std::set<std::string>{"0", "1"}, "1");
    b = owner.variable<DependentVar>("B", std::set<std::string>{"0", "1"}, "0");
    c = owner.variable<CommandVar>("C", std::set<std::string>{"1", "2"}, "1");
    m = owner.variable<ModeVar>("m", std::set<std::string>{"ok", "stuck", "broken"}, "ok");
  }
  Atom *at(StateVar *variable, const std::string &value) { return atomOf(variable, value); }
  // A state formula over the literals, each a pair (atom, sign).
  StateFormula *formula(std::vector<std::pair<Atom *, bool>> literals, const char *op = "and") {
    StateFormula *made = new StateFormula();
    for (const auto &literal : literals)
      made->addAtom(literal.first, literal.second);
    made->setOperat(op);
    return made;
  }
  Owner owner;
  StateVar *a, *b, *c, *m;
};

TEST_F(Formulas, OperatorAcceptsOnlyAndOr) {
  StateFormula state;
  Formula constraint;
  for (const char *text : {"and", "xor", "", "AND", "or", "not"}) {
    state.setOperat(text);
    constraint.setOperat(text);
  }
  EXPECT_EQ(state.getOperat(), "or");
  EXPECT_EQ(constraint.getOperat(), "or");
}

TEST_F(Formulas, EqualityIgnoresStructureButNotSigns) {
  StateFormula *mine = owner.keep(formula({{at(a, "1"), true}, {at(b, "0"), true}}));
  StateFormula *wider = owner.keep(formula({{at(b, "0"), true}, {at(a, "1"), true}}, "or"));
  wider->addStateFormula(formula({{at(c, "2"), true}}));
  StateFormula *negated = owner.keep(formula({{at(a, "1"), true}, {at(b, "0"), false}}));
  StateFormula *nested = owner.keep(new StateFormula());
  nested->addStateFormula(formula({{at(a, "1"), true}}));
  nested->addStateFormula(formula({{at(b, "0"), true}}));
  EXPECT_TRUE(mine->eq(wider));
  EXPECT_FALSE(wider->eq(mine));
  EXPECT_FALSE(mine->eq(negated));
  EXPECT_TRUE(mine->eq(nested));
  EXPECT_TRUE(nested->eq(mine));
}

// The flat shapes are shown in sessions (tests/e2e/compile).
TEST_F(Formulas, StateFormulaPrintsEachShape) {
  StateFormula *mixed = owner.keep(formula({{at(a, "1"), false}, {at(b, "0"), false}}, "or"));
  mixed->addStateFormula(formula({{at(c, "2"), true}}));
  mixed->negated = true;
  EXPECT_EQ(printed([&] { mixed->showStateFormula(); }), "non - (C=2 and ) or (!B=0!A=1)");
  StateFormula *nestedOnly = owner.keep(new StateFormula());
  nestedOnly->setOperat("or");
  nestedOnly->addStateFormula(formula({{at(c, "2"), true}}));
  EXPECT_EQ(printed([&] { nestedOnly->showStateFormula(); }), "(C=2 and ) or ");
  EXPECT_EQ(printed([] { StateFormula().showStateFormula(); }), "");
}

// Constraints and transitions of every shape a definition gives are shown by a
// session (tests/e2e/shell/continuous_views.case).
TEST_F(Formulas, NegatedGuardEnablesEveryOtherValue) {
  Transition *t = owner.keep(
      new Transition(formula({{at(m, "ok"), false}}), formula({{at(m, "broken"), true}}),
                     "Nominal", 0.5));
  EXPECT_TRUE(at(m, "ok")->transPre.empty());
  EXPECT_EQ(at(m, "stuck")->transPre, std::vector<Transition *>{t});
  EXPECT_EQ(at(m, "broken")->transPre, std::vector<Transition *>{t});
  EXPECT_EQ(t->modeVar, nullptr);
  EXPECT_EQ(t->postModeAtom, nullptr);
  EXPECT_EQ(at(m, "broken")->transPost, std::vector<Transition *>{t});
}

TEST_F(Formulas, TransitionLinksItsModeAtoms) {
  Transition *t = owner.keep(new Transition(
      formula({{at(c, "2"), true}, {at(m, "ok"), true}}), formula({{at(m, "stuck"), true}}),
      "Nominal", 0.9, 0.1, true));
  EXPECT_EQ(t->modeVar, m);
  EXPECT_EQ(t->preModeAtom, at(m, "ok"));
  EXPECT_EQ(t->postModeAtom, at(m, "stuck"));
  EXPECT_EQ(at(m, "stuck")->idleTrans, t);
  EXPECT_EQ(at(c, "2")->transPre, std::vector<Transition *>{t});
  EXPECT_DOUBLE_EQ(t->proba2, 0.1);
}

// A failure marks its post atoms faults, whatever transitions lead there too;
// one of several posts has no single post atom.
TEST_F(Formulas, FailTransitionsMarkTheirPostAtomsFaults) {
  auto nominal = [&](const char *post) {
    owner.keep(new Transition(formula({{at(m, "ok"), true}}), formula({{at(m, post), true}}), "Nominal", 0.5));
  };
  nominal("stuck");
  EXPECT_FALSE(at(m, "stuck")->fault);
  PostMap posts = {{2, formula({{at(m, "broken"), true}})}, {1, formula({{at(m, "stuck"), true}})}};
  Transition t(formula({{at(m, "ok"), true}}), &posts, "Fail", 0.25);
  EXPECT_EQ(t.nbPosts, 2);
  EXPECT_EQ(t.post, nullptr);
  EXPECT_EQ(t.postModeAtom, nullptr);
  nominal("broken");
  EXPECT_TRUE(at(m, "broken")->fault && at(m, "stuck")->fault);
  EXPECT_FALSE(at(m, "ok")->fault);
  for (auto &entry : posts)
    delete entry.second;
}

TEST_F(Formulas, GuardsAreCountedPerModeValue) {
  Comp comp("valve");
  auto guard = [&] { return formula({{at(m, "stuck"), true}, {at(c, "1"), true}}); };
  comp.addTransitionToC(
      new Transition(formula({{at(m, "ok"), true}}), formula({{at(m, "stuck"), true}}),
                     "Nominal", 1.0));
  comp.addTransitionToC(new Transition(guard(), formula({{at(m, "ok"), true}}), "Nominal", 0.5));
  comp.addTransitionToC(new Transition(guard(), formula({{at(m, "broken"), true}}), "Fail", 0.5));
  comp.getTransitionsGuards();
  EXPECT_EQ(at(m, "ok")->nbGuards, 1);
  EXPECT_EQ(at(m, "stuck")->nbGuards, 1);
  EXPECT_EQ(m->nbGuards, 2);
}

} // namespace
