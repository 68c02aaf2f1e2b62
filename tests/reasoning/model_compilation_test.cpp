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
  struct Expected {
    Transition *transition;
    double computed, guard;
    bool valid;
  } expected[] = {{nth(c1, 0), 0.45, 0.9, true},       {nth(c1, 1), 0.5, 1.0, false},
                  {nth(c2, 0), 0.5 / 3, 0.25, false},  {nth(c2, 1), 0.5 / 3, 0.25, true},
                  {nth(c2, 2), 1.0 / 3, 0.5, true}};
  for (int id = 0; id < 5; ++id) {
    const Expected &e = expected[id];
    EXPECT_EQ(e.transition->id, id);
    EXPECT_EQ(DataManager::active_trans.at(id), e.transition);
    EXPECT_DOUBLE_EQ(e.transition->computedProba, e.computed) << id;
    EXPECT_DOUBLE_EQ(e.transition->guardProba, e.guard) << id;
    EXPECT_EQ(e.transition->valid, e.valid) << id;
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

// The extra formulas of a transition as the sets of their atoms.
std::vector<Literals> alternatives(const Transition *transition) {
  std::vector<Literals> all;
  for (StateFormula *formula : *transition->extraFormulas) {
    all.emplace_back();
    for (const auto &literal : *formula->atoms)
      all.back().insert((literal.first ? "" : "!") + literal.second->id);
  }
  return all;
}

TEST_F(ModelCompilation, GuardsExpandOverPrimeImplicants) {
  compile();
  EXPECT_EQ(printed([&] { reasoning->compilePI(); }), "");
  EXPECT_EQ(nth(c1, 0)->extraFormulas, nullptr);

  reasoning->piTable = new PiTable();
  reasoning->piTable->addPIAtom(at(cmd, "go"), new Implicants{new std::vector<Atom *>{at(k, "only")},
                                                              new std::vector<Atom *>{at(n, "x")}});
  reasoning->piTable->addPIAtom(at(m, "a"), new Implicants{new std::vector<Atom *>{at(n, "y")},
                                                           new std::vector<Atom *>{at(n, "z")}});
  nth(c2, 2)->pre->addAtom(at(cmd, "go"), false);
  EXPECT_EQ(printed([&] { reasoning->compilePI(); }), "transitions compilation successful.\n");
  EXPECT_EQ(alternatives(nth(c1, 0)), (std::vector<Literals>{{"k=only", "n=y"}, {"n=x", "n=y"},
                                                             {"k=only", "n=z"}, {"n=x", "n=z"}}));
  EXPECT_EQ(alternatives(nth(c2, 0)), (std::vector<Literals>{{"n=x"}}));
  // A negated guard literal stands for the other values of its variable.
  EXPECT_EQ(alternatives(nth(c2, 2)), (std::vector<Literals>{{"cmd=stop", "n=y"}}));
}

} // namespace
