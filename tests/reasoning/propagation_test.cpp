#include "tests/reasoning/reasoning_test_support.h"

namespace {

class Propagation : public testing::Test, public ReasonerModelBuilder {
 protected:
  // The labels of the model's atoms in the state, in their order.
  std::vector<std::string> labels(const State *state) const {
    std::vector<std::string> found;
    for (const StateVar *variable : variables)
      for (const Atom *atom : variable->atomLinks)
        found.push_back(state->getElt(atom->getId())->label);
    return found;
  }
  // The labelling found for the proposals, tested on a copy of the working
  // trajectory, or an empty list.
  std::vector<std::string> test(Trajectory &working, const std::vector<std::pair<Atom *, bool>> &proposed,
                                bool focus, double bound = 100.0) {
    Trajectory copy(&working, 1);
    State *state = copy.getLastState();
    Proposals proposals;
    for (const auto &proposal : proposed)
      proposals.emplace(proposal.second, state->getElt(proposal.first->getId()));
    std::unique_ptr<std::vector<ItmsRes *>> results;
    printed([&] {
      results.reset(reasoner->testImplicants(&proposals, nullptr, state, nullptr, false, bound, 0.0,
                                             &copy, 0, focus, 1));
    });
    EXPECT_LE(results->size(), 1u);
    for (ItmsRes *result : *results)
      delete result;
    return results->empty() ? std::vector<std::string>() : labels(state);
  }
};

// Random clause sets over ten atoms, random labels and proposals, some of
// them contradictory: the test answers as the models found by brute force
// do, with a complete labelling that satisfies the clauses and the proposals.
TEST_F(Propagation, AgreesWithBruteForceOnRandomClauseSets) {
  std::vector<Atom *> atoms;
  Comp *comp = component("c");
  for (int i = 0; i < 5; ++i)
    for (Atom *atom : variable<StateVar>(comp, "v" + std::to_string(i), {"a", "b"}, "a")->atomLinks) {
      atoms.push_back(atom);
      DataManager::addAtom(atom);
    }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(atoms.size()) - 1), coin(0, 1),
      width(1, 3), count(4, 22), labelOf(0, 2);
  const char *names[] = {"true", "false", "unknown"};
  int consistentCases = 0;
  for (int round = 0; round < 300; ++round) {
    DataManager::cls->clear();
    for (int c = count(random); c > 0; --c) {
      Clause *clause = keep(new Clause(comp));
      for (int w = width(random); w > 0; --w)
        clause->addAtom(atoms[pick(random)], coin(random) == 1);
      clause->setInternal(coin(random) == 1);
      DataManager::cls->push_back(clause);
    }
    for (Atom *atom : atoms)
      atom->label = names[labelOf(random)];
    Trajectory working(DataManager::active_atoms);
    const std::vector<std::string> before = labels(working.getLastState());
    std::vector<std::pair<Atom *, bool>> proposed;
    for (int p = coin(random) + coin(random) + 1; p > 0; --p)
      proposed.emplace_back(atoms[pick(random)], coin(random) == 1);
    BruteForceModels models(*this, *DataManager::cls);
    bool expected = models.satisfiable(proposed);
    consistentCases += expected;
    for (bool fresh : {false, true})
      for (bool focus : {true, false}) {
        reasoner->checkFromScratch = fresh;
        std::vector<std::string> found = test(working, proposed, focus);
        ASSERT_EQ(!found.empty(), expected) << "round " << round;
        ASSERT_EQ(labels(working.getLastState()), before) << "round " << round;
        std::vector<std::pair<Atom *, bool>> labelled = proposed;
        for (std::size_t i = 0; i < found.size(); ++i) {
          ASSERT_NE(found[i], "unknown") << "round " << round;
          labelled.emplace_back(atoms[i], found[i] == "true");
        }
        ASSERT_EQ(models.satisfiable(labelled), expected) << "round " << round;
      }
  }
  EXPECT_GT(consistentCases, 50);
  EXPECT_LT(consistentCases, 250);
}

// A fault atom held false is not proposed true beyond the fault bound: the
// test stops before asking the reasoner.
TEST_F(Propagation, FaultAtomAboveTheBoundStopsTheTest) {
  variable<ModeVar>(component("c"), "m", {"broken", "ok"}, "ok");
  compile();
  atom("m=broken")->fault = true;
  Trajectory working(DataManager::active_atoms);
  unsigned int calls = DataManager::itms_calls;
  EXPECT_TRUE(test(working, {{atom("m=broken"), true}}, true, 0.5).empty());
  EXPECT_EQ(DataManager::itms_calls, calls);
  EXPECT_EQ(reasoner->pending, 0);
  EXPECT_FALSE(test(working, {{atom("m=broken"), true}}, true, 1.0).empty());
}

// A trajectory starts from the labels of the atoms, and a fault atom held
// true ranks its state, in copies too; nothing leaks.
TEST_F(Propagation, TrajectoriesStartFromTheAtoms) {
  Comp *comp = component("c");
  variable<ModeVar>(comp, "m", {"fail", "ok"}, "ok");
  variable<ObsVar>(comp, "o", {"high", "low"}, "low");
  compile();
  atom("o=high")->label = "unknown";
  atom("m=fail")->fault = true;
  unsigned long elements = TrajEl::trajel_created - TrajEl::trajel_del;
  unsigned long states = State::state_created - State::state_del;
  {
    Trajectory working(DataManager::active_atoms);
    EXPECT_EQ(labels(working.getLastState()), (std::vector<std::string>{"false", "true", "unknown", "true"}));
    atom("m=fail")->setLabel("true", true);
    Trajectory faulty(DataManager::active_atoms);
    EXPECT_EQ(faulty.getLastState()->rank, 1);
    EXPECT_EQ(Trajectory(&faulty, 1).rankSum, 1.0);
  }
  EXPECT_EQ(TrajEl::trajel_created - TrajEl::trajel_del, elements);
  EXPECT_EQ(State::state_created - State::state_del, states);
}

}  // namespace
