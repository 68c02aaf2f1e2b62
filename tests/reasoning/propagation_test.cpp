#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "discrete/clause.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/state_var.h"
#include "reasoning/itms.h"
#include "reasoning/propagation.h"
#include "reasoning/trajectory.h"
#include "tests/reasoning/reasoning_test_support.h"

namespace {

// Session tables filled by a test and emptied after it.
class Propagation : public testing::Test {
 protected:
  Propagation() {
    DataManager::cls->clear();
    DataManager::active_atoms->clear();
  }
  ~Propagation() override {
    DataManager::cls->clear();
    DataManager::active_atoms->clear();
  }
  StateVar *variable(const std::string &name, std::set<std::string> values) {
    StateVar *made = owner.variable<StateVar>(name, values);
    for (Atom *atom : made->atomLinks)
      DataManager::addAtom(atom);
    return made;
  }
  Clause *clause(std::vector<std::pair<Atom *, bool>> literals, bool internal = false) {
    Clause *made = owner.keep(new Clause(noComp));
    for (const auto &literal : literals)
      made->addAtom(literal.first, literal.second);
    made->setInternal(internal);
    DataManager::cls->push_back(made);
    return made;
  }
  // The labelling found for the proposals, or an empty list.
  std::vector<std::string> test(Trajectory &working, std::vector<std::pair<Atom *, bool>> proposed,
                                bool focus) {
    Trajectory copy(&working, 1);
    State *state = copy.getLastState();
    Proposals proposals;
    for (const auto &proposal : proposed)
      proposals.emplace(proposal.second, state->getElt(proposal.first->getId()));
    std::vector<ItmsRes *> *results = nullptr;
    printed([&] {
      results = reasoner.testImplicants(&proposals, nullptr, state, nullptr, false, 100.0, 0.0,
                                        &copy, 0, focus, 1);
    });
    std::vector<std::string> labels;
    if (!results->empty())
      for (const auto &entry : *DataManager::active_atoms)
        labels.push_back(state->getElt(entry.first.c_str())->label);
    EXPECT_LE(results->size(), 1u);
    for (ItmsRes *result : *results)
      delete result;
    delete results;
    return labels;
  }
  Owner owner;
  itms reasoner;
};

TEST_F(Propagation, AgreesWithBruteForceOnRandomClauseSets) {
  std::vector<Atom *> atoms;
  for (int i = 0; i < 5; ++i)
    for (Atom *atom : variable("v" + std::to_string(i), {"a", "b"})->atomLinks)
      atoms.push_back(atom);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(atoms.size()) - 1), coin(0, 1),
      width(1, 3), count(4, 22), labelOf(0, 2);
  const char *labels[] = {"true", "false", "unknown"};
  int consistentCases = 0;
  for (int round = 0; round < 300; ++round) {
    DataManager::cls->clear();
    for (int c = count(random); c > 0; --c) {
      std::vector<std::pair<Atom *, bool>> literals;
      for (int w = width(random); w > 0; --w)
        literals.emplace_back(atoms[pick(random)], coin(random) == 1);
      clause(literals, coin(random) == 1);
    }
    for (Atom *atom : atoms)
      atom->label = labels[labelOf(random)];
    Trajectory working(DataManager::active_atoms);
    std::vector<std::pair<Atom *, bool>> proposed;
    std::set<Atom *> seen;
    for (int p = coin(random) + coin(random) + 1; p > 0; --p) {
      Atom *atom = atoms[pick(random)];
      if (seen.insert(atom).second)
        proposed.emplace_back(atom, coin(random) == 1);
    }
    BruteForceModels models(std::vector<const Atom *>(atoms.begin(), atoms.end()), *DataManager::cls);
    bool expected = models.satisfiable(proposed);
    consistentCases += expected;
    auto labelsOf = [&](Trajectory &trajectory) {
      std::vector<std::string> labels;
      for (Atom *atom : atoms)
        labels.push_back(trajectory.getElt(atom->getId())->label);
      return labels;
    };
    const std::vector<std::string> workingLabels = labelsOf(working);
    for (bool fresh : {false, true}) {
      reasoner.checkFromScratch = fresh;
      for (bool focus : {true, false}) {
        std::vector<std::string> found = test(working, proposed, focus);
        ASSERT_EQ(!found.empty(), expected) << "round " << round;
        ASSERT_EQ(labelsOf(working), workingLabels) << "round " << round;  // tests work on a copy
        if (found.empty())
          continue;
        // A complete labelling that satisfies every clause and the proposals.
        std::vector<std::pair<Atom *, bool>> labelled;
        std::size_t i = 0;
        for (const auto &entry : *DataManager::active_atoms) {
          ASSERT_NE(found[i], "unknown");
          labelled.emplace_back(entry.second, found[i++] == "true");
        }
        for (const auto &proposal : proposed)
          labelled.emplace_back(proposal.first, proposal.second);
        ASSERT_TRUE(models.satisfiable(labelled)) << "round " << round;
      }
    }
  }
  EXPECT_GT(consistentCases, 50);
  EXPECT_LT(consistentCases, 250);
}

TEST_F(Propagation, FaultAtomAboveTheBoundStopsTheTest) {
  StateVar *m = variable("m", {"broken", "ok"});
  Atom *broken = atomOf(m, "broken");
  broken->fault = true;
  broken->label = "false";
  Trajectory working(DataManager::active_atoms);
  State *state = working.getLastState();
  Proposals proposals{{true, state->getElt("m=broken")}};
  unsigned int calls = DataManager::itms_calls;
  std::vector<ItmsRes *> *results = reasoner.testImplicants(
      &proposals, nullptr, state, nullptr, false, 0.5, 0.0, &working, 0, true, 1);
  EXPECT_TRUE(results->empty());
  EXPECT_EQ(DataManager::itms_calls, calls);
  EXPECT_EQ(state->getElt("m=broken")->label, "false");
  EXPECT_EQ(reasoner.pending, 0);
  delete results;
}

// The trajectories the reasoner works on.
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
