#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/pi_table.h"
#include "tests/reasoning/reasoning_test_support.h"

namespace {

// Two components: c1 has a mode m, an input command cmd and a one-valued k;
// c2 has a mode n and shares cmd.
class ModelCompilation : public ReasonerTest {
 protected:
  ModelCompilation() {
    c1->cmdIn = new std::vector<CommandVar *>{cmd};
    for (StateVar *variable : {m, static_cast<StateVar *>(cmd), k})
      c1->addStateVar(variable);
    c2->addStateVar(n);
    c2->stateVariables->push_back(cmd);
    c1->addFormulaToCS(new Formula(new StateFormula(at(m, "b")), new StateFormula(at(k, "only")),
                                   nullptr));
    c1->addTransitionToC(new Transition(guard({at(m, "a"), at(cmd, "go")}), guard({at(m, "b")}),
                                        "Nominal", 0.9));
    c1->addTransitionToC(new Transition(guard({at(m, "a")}), guard({at(m, "a")}), "Nominal", 1.0,
                                        true));
    c2->addTransitionToC(new Transition(guard({at(n, "x")}), guard({at(n, "z")}), "Fail", 0.5));
    c2->addTransitionToC(new Transition(guard({at(n, "x")}), guard({at(n, "y")}), "Nominal", 0.5));
    c2->addTransitionToC(new Transition(guard({at(n, "y")}), guard({at(n, "x")}), "Nominal", 1.0));
    DataManager::addComp(c1);
    DataManager::addComp(c2);
  }
  static Atom *at(StateVar *variable, const std::string &value) { return atomOf(variable, value); }
  static StateFormula *guard(const std::vector<Atom *> &atoms) {
    auto *made = new StateFormula();
    made->setOperat("and");
    for (Atom *atom : atoms)
      made->addAtom(atom);
    return made;
  }
  std::string compile() {
    return printed([&] { reasoning->clauseCompilation(); });
  }
  Transition *nth(Comp *comp, int i) { return (*comp->transitions)[i]; }

  Comp *c1 = owner.keep(new Comp("c1"));
  Comp *c2 = owner.keep(new Comp("c2"));
  StateVar *m = owner.variable<ModeVar>("m", std::set<std::string>{"a", "b"}, "a");
  CommandVar *cmd = owner.variable<CommandVar>("cmd", std::set<std::string>{"go", "stop"}, "stop");
  StateVar *k = owner.variable<StateVar>("k", std::set<std::string>{"only"}, "only");
  StateVar *n = owner.variable<ModeVar>("n", std::set<std::string>{"x", "y", "z"}, "y");
};

// The summary printed is checked in sessions (tests/e2e/compile).
TEST_F(ModelCompilation, DomainsOnceEachThenConstraintsThenInitialLabels) {
  compile();
  EXPECT_EQ(literalsOf(*DataManager::cls),
            (std::vector<Literals>{{"!m=a", "!m=b"}, {"m=a", "m=b"}, {"!cmd=go", "!cmd=stop"},
                                   {"cmd=go", "cmd=stop"}, {"k=only"}, {"!m=b", "k=only"},
                                   {"!n=x", "!n=y"}, {"!n=x", "!n=z"}, {"!n=y", "!n=z"},
                                   {"n=x", "n=y", "n=z"}}));
  EXPECT_EQ(*reasoning->stateVars, (std::vector<StateVar *>{m, cmd, k, n}));
  EXPECT_EQ(c1->atoms->size(), 5u);
  EXPECT_EQ(c2->atoms->size(), 3u);
  EXPECT_EQ(c1->constraints, nullptr);
  EXPECT_EQ(at(k, "only")->clauses, *c1->clauses);
  EXPECT_EQ(at(n, "z")->support, DataManager::cls->back());
  EXPECT_EQ(reasoning->nbClauses, 10);
  // The default values are the true atoms of the initial state.
  for (Atom *atom : {at(m, "a"), at(n, "y"), at(cmd, "stop"), at(k, "only")})
    EXPECT_TRUE(atom->label == "true" && atom->propagationNumber == 1) << atom->id;
  for (Atom *atom : {at(m, "b"), at(n, "x"), at(n, "z")})
    EXPECT_TRUE(atom->label == "false" && atom->propagationNumber == 0) << atom->id;
  EXPECT_DOUBLE_EQ(at(n, "z")->proba, 0.5);

  // Compiling again rebuilds the domains; the constraints are gone.
  compile();
  EXPECT_EQ(reasoning->nbClauses, 9);
  EXPECT_EQ(m->clauses.size(), 2u);
}

TEST_F(ModelCompilation, TransitionsAreNumberedWeighedAndGuarded) {
  compile();
  const std::pair<Transition *, double> expected[] = {
      {nth(c1, 0), 0.45}, {nth(c1, 1), 0.5}, {nth(c2, 0), 0.5 / 3}, {nth(c2, 1), 0.5 / 3},
      {nth(c2, 2), 1.0 / 3}};
  for (int id = 0; id < 5; ++id) {
    EXPECT_EQ(expected[id].first->id, id);
    EXPECT_EQ(DataManager::active_trans.at(id), expected[id].first);
    EXPECT_DOUBLE_EQ(expected[id].first->computedProba, expected[id].second) << id;
  }
  // The idle transition without command is enabled by every command value.
  for (const char *value : {"go", "stop"})
    EXPECT_EQ(at(cmd, value)->transPre.back(), nth(c1, 1));
  // Guards are counted afresh by a second compilation.
  EXPECT_EQ(n->nbGuards, 2);
  compile();
  EXPECT_EQ(n->nbGuards, 2);
  EXPECT_EQ(at(cmd, "go")->transPre.size(), 2u);
}

// Guards expand over the prime implicants of their atoms once a table is there.
TEST_F(ModelCompilation, GuardsExpandOverPrimeImplicants) {
  compile();
  EXPECT_EQ(printed([&] { reasoning->compilePI(); }), "");
  reasoning->piTable = new PiTable();
  reasoning->piTable->addPIAtom(at(m, "a"), new Implicants{new std::vector<Atom *>{at(n, "y")}});
  EXPECT_EQ(printed([&] { reasoning->compilePI(); }), "transitions compilation successful.\n");
}

} // namespace
