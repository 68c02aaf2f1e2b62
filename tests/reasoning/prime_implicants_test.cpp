#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "discrete/state_var.h"
#include "reasoning/itms.h"
#include "reasoning/pi_table.h"
#include "reasoning/prime_implicants.h"
#include "reasoning/trajectory.h"
#include "common/session.h"
#include "tests/discrete/discrete_test_support.h"
#include "tests/reasoning/generated_model.h"

namespace {

using IdSets = std::set<std::set<std::string>>;

IdSets idSets(const Implicants *implicants) {
  IdSets sets;
  for (const Implicant *implicant : *implicants) {
    std::set<std::string> ids;
    for (const Atom *atom : *implicant)
      ids.insert(atom->id);
    EXPECT_EQ(ids.size(), implicant->size());
    sets.insert(ids);
  }
  EXPECT_EQ(sets.size(), implicants->size()) << "an implicant found twice";
  return sets;
}

// The prime implicants by brute force: every assignment of one value per
// variable that satisfies the clauses is a model; a set of hypotheses (at
// most one value per hypothesis variable) is an implicant when some model
// holds it, every such model holds the target, and no set with one member
// less does the same.
class BruteForce {
 public:
  explicit BruteForce(const GeneratedModel &model) : variables(model.variables) {
    std::vector<int> values(variables.size());
    enumerate(values, 0);
  }

  IdSets implicants(const Atom *target, int mode) const {
    std::vector<const StateVar *> hypotheses;
    std::set<const Comp *> reachable{target->stateVar->comp};
    for (const Comp *comp = target->stateVar->comp; comp->importedComps;
         comp = comp->importedComps->front())
      reachable.insert(comp->importedComps->front());
    for (const StateVar *variable : variables)
      if (reachable.count(variable->comp) &&
          (variable->type == "Mode" || variable->type == "Cond" ||
           (variable->type == "Command" && !static_cast<const CommandVar *>(variable)->cmdOut)))
        hypotheses.push_back(variable);
    std::vector<std::vector<const Atom *>> sets{{}};
    for (const StateVar *variable : hypotheses) {
      std::vector<std::vector<const Atom *>> grown = sets;
      for (const auto &set : sets)
        for (const Atom *atom : variable->atomLinks)
          if (!(variable->type == "Mode" && atom->value == "unknown") &&
              !(mode == 2 && atom->fault)) {
            grown.push_back(set);
            grown.back().push_back(atom);
          }
      sets = grown;
    }
    IdSets found;
    for (const auto &set : sets) {
      if (!entails(set, target))
        continue;
      bool minimal = true;
      for (std::size_t drop = 0; drop < set.size() && minimal; ++drop) {
        std::vector<const Atom *> smaller = set;
        smaller.erase(smaller.begin() + static_cast<long>(drop));
        minimal = !entails(smaller, target);
      }
      if (minimal) {
        std::set<std::string> ids;
        for (const Atom *atom : set)
          ids.insert(atom->id);
        found.insert(ids);
      }
    }
    return found;
  }

  // Some model holds the set and every one that does holds the target.
  bool entails(const std::vector<const Atom *> &set, const Atom *target) const {
    bool some = false;
    for (const auto &model : models) {
      if (!std::all_of(set.begin(), set.end(), [&](const Atom *atom) { return holds(model, atom); }))
        continue;
      if (!holds(model, target))
        return false;
      some = true;
    }
    return some;
  }

 private:
  int indexOf(const StateVar *variable) const {
    return static_cast<int>(std::find(variables.begin(), variables.end(), variable) -
                            variables.begin());
  }
  bool holds(const std::vector<int> &model, const Atom *atom) const {
    return model[indexOf(atom->stateVar)] == atom->linkIndex;
  }
  // Clauses are checked as soon as all their variables have a value.
  void enumerate(std::vector<int> &values, std::size_t next) {
    for (Clause *clause : *DataManager::cls) {
      bool decided = true, satisfied = false;
      for (const auto &literal : *clause->atoms) {
        std::size_t index = static_cast<std::size_t>(indexOf(literal.second->stateVar));
        decided = decided && index < next;
        if (index < next)
          satisfied = satisfied || (values[index] == literal.second->linkIndex) != literal.first;
      }
      if (decided && !satisfied)
        return;
    }
    if (next == variables.size()) {
      models.push_back(values);
      return;
    }
    for (std::size_t v = 0; v < variables[next]->atomLinks.size(); ++v) {
      values[next] = static_cast<int>(v);
      enumerate(values, next + 1);
    }
  }

  const std::vector<StateVar *> &variables;
  std::vector<std::vector<int>> models;
};

bool isTarget(const Atom *atom) {
  return atom->stateVar->type == "Observable" || atom->stateVar->type == "Dependent";
}

class PrimeImplicants : public testing::Test {
 protected:
  std::unique_ptr<itms> reasoner = std::make_unique<itms>();
};

TEST_F(PrimeImplicants, StandardSearchFindsExactlyTheBruteForceImplicants) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    GeneratedModel model(2, seed);
    BruteForce reference(model);
    std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoner.get()));
    int nonEmpty = 0;
    for (int mode : {1, 2}) {
      for (const auto &entry : *DataManager::active_atoms) {
        Atom *target = entry.second;
        if (!isTarget(target))
          continue;
        Implicants *found = nullptr;
        printed([&] { found = enumPI(target, working.get(), reasoner.get(), mode); });
        IdSets expected = reference.implicants(target, mode);
        EXPECT_EQ(idSets(found), expected) << "seed " << seed << " mode " << mode << " "
                                           << target->id;
        nonEmpty += !expected.empty();
        releaseImplicants(found);
      }
    }
    EXPECT_GT(nonEmpty, 4) << "seed " << seed;
  }
}

TEST_F(PrimeImplicants, BaselineWithAFreshSolverFindsTheSameImplicants) {
  GeneratedModel model(4, 11, true);
  std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoner.get()));
  for (const auto &entry : *DataManager::active_atoms) {
    if (!isTarget(entry.second))
      continue;
    Implicants *withPropagation = nullptr, *fromScratch = nullptr;
    printed([&] {
      reasoner->checkFromScratch = false;
      withPropagation = enumPI(entry.second, working.get(), reasoner.get(), 1);
      reasoner->checkFromScratch = true;
      fromScratch = enumPI(entry.second, working.get(), reasoner.get(), 1);
    });
    EXPECT_EQ(idSets(withPropagation), idSets(fromScratch)) << entry.first;
    releaseImplicants(withPropagation);
    releaseImplicants(fromScratch);
  }
}

TEST_F(PrimeImplicants, SingletonsThatEntailAreNotExtended) {
  GeneratedModel model(1, 3);
  std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoner.get()));
  Atom *target = model.atom("c0.o=zero");
  Implicants pis;
  SetsBySize bySize;
  std::vector<Atom *> *candidates = nullptr;
  std::string out = printed([&] {
    std::vector<Comp *> comps{model.comps[0].get()};
    candidates = enumSingletons(&comps, &bySize, target, working.get(), reasoner.get(), &pis, 1);
  });
  // A fault value of the mode alone gives the zero reading.
  EXPECT_EQ(idSets(&pis), (IdSets{{"c0.m=broken"}}));
  EXPECT_EQ(std::count(candidates->begin(), candidates->end(), model.atom("c0.m=broken")), 0);
  EXPECT_EQ(std::count(candidates->begin(), candidates->end(), model.atom("c0.m=unknown")), 0);
  EXPECT_EQ(bySize.size(), candidates->size());
  EXPECT_NE(out.find("\t( 1 comp )\n"), std::string::npos);
  EXPECT_NE(out.find("\t=> c0.m=broken /\\ \n"), std::string::npos);
  for (auto &entry : bySize)
    delete entry.second;
  delete candidates;
  releaseImplicants(new Implicants(pis));
}

TEST_F(PrimeImplicants, CartesianPassesPrependEarlierValuesOfOtherVariables) {
  Owner owner;
  StateVar *a = owner.variable<StateVar>("A", std::set<std::string>{"1", "2"});
  StateVar *b = owner.variable<StateVar>("B", std::set<std::string>{"1"});
  std::vector<Atom *> candidates{atomOf(a, "1"), atomOf(a, "2"), atomOf(b, "1")};
  std::vector<Implicant *> sets;
  for (Atom *candidate : candidates)
    sets.push_back(new Implicant{candidate});
  EXPECT_TRUE(cartVec(&sets, &candidates, 0));
  EXPECT_FALSE(cartVec(&sets, &candidates, 1));
  std::vector<std::string> shown;
  for (Implicant *set : sets) {
    std::string text;
    for (Atom *atom : *set)
      text += atom->id + " ";
    shown.push_back(text);
    delete set;
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"A=1 ", "A=2 ", "B=1 A=1 ", "B=1 A=2 "}));
  Implicant a1{atomOf(a, "1")}, a2{atomOf(a, "2")}, b1{atomOf(b, "1")}, none;
  EXPECT_TRUE(hasStVar(&a2, atomOf(a, "1"), &none));
  EXPECT_TRUE(hasStVar(&a1, atomOf(b, "1"), &a1));
  EXPECT_FALSE(hasStVar(&b1, atomOf(a, "1"), &a1));
}

TEST_F(PrimeImplicants, CompleteSizeSearchPrintsItsSizes) {
  GeneratedModel model(1, 5);
  std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoner.get()));
  BruteForce reference(model);
  Atom *target = model.atom("c0.o=high");
  Implicants *found = nullptr;
  std::string out = printed([&] { found = enumPI(target, working.get(), reasoner.get(), 3); });
  std::size_t single = out.find("single size: ");
  ASSERT_NE(single, std::string::npos);
  EXPECT_NE(out.find("candis size: ", single), std::string::npos);
  EXPECT_NE(out.find("candidates size: ", single), std::string::npos);
  for (const Implicant *implicant : *found) {
    std::vector<const Atom *> set(implicant->begin(), implicant->end());
    EXPECT_TRUE(reference.entails(set, target));
  }
  releaseImplicants(found);

  GeneratedModel wide(6, 5);
  std::unique_ptr<Trajectory> wideWorking(initFakeTrajectory(reasoner.get()));
  std::vector<Comp *> comps;
  for (auto &comp : wide.comps)
    comps.push_back(comp.get());
  SetsBySize bySize;
  Implicants pis;
  unsigned int calls = DataManager::itms_calls;
  std::vector<Atom *> *candidates = nullptr;
  out = printed([&] {
    candidates = enumSingletons(&comps, &bySize, wide.atom("c5.o=high"), wideWorking.get(),
                                reasoner.get(), &pis, 3);
  });
  EXPECT_EQ(out, "\t( 6 comp )\n");
  EXPECT_EQ(DataManager::itms_calls, calls);
  // Per component: three usable mode values, two command and two condition values.
  EXPECT_EQ(candidates->size(), 6u * 7u);
  EXPECT_TRUE(bySize.empty());
  delete candidates;
}

class PrimeImplicantRun : public PrimeImplicants {
 protected:
  PrimeImplicantRun() {
    savedName = appliName;
    appliName = "appli";
  }
  ~PrimeImplicantRun() override { appliName = savedName; }
  ScratchDirectory directory;
  std::string savedName;
};

TEST_F(PrimeImplicantRun, UnknownAtomInTheFileMeansASearchWithoutRewriting) {
  GeneratedModel model(1, 2);
  std::ofstream("appli.pi") << "c0.o=high:c0.m=ok c0.cmd=on\nzz=1:\n";
  std::string err, out;
  err = printedOnStderr(
      [&] { out = printed([&] { enumAllPI(reasoner.get(), 1, model.instancesByRank); }); });
  EXPECT_EQ(err, "Atom not found: zz=1\n");
  EXPECT_EQ(out.rfind("*** File appli.pi found. Reading file...\n"
                      "error while reading prime implicants file\n"
                      "generating prime implicants  ...",
                      0),
            0u);
  EXPECT_EQ(out.find("writing file"), std::string::npos);
  EXPECT_EQ(fileText("appli.pi"), "c0.o=high:c0.m=ok c0.cmd=on\nzz=1:\n");
  EXPECT_NE(reasoner->piTable->getPIs(model.atom("c0.d=high")), nullptr);
}

TEST_F(PrimeImplicantRun, GuardModeSearchesOnlyTransitionGuards) {
  GeneratedModel model(2, 6);
  std::string out = printed([&] { enumAllPI(reasoner.get(), 4, model.instancesByRank); });
  EXPECT_EQ(reasoner->piTable->size(), 2u);
  EXPECT_NE(reasoner->piTable->getPIs(model.atom("c0.d=high")), nullptr);
  EXPECT_NE(reasoner->piTable->getPIs(model.atom("c1.d=high")), nullptr);
  EXPECT_EQ(fileText("appli.pi").substr(0, 10), "c0.d=high:");
}

TEST_F(PrimeImplicantRun, NominalModeSkipsFaultAtoms) {
  GeneratedModel model(1, 3);
  std::string out = printed([&] { enumAllPI(reasoner.get(), 2, model.instancesByRank); });
  EXPECT_NE(out.find("generating prime implicants ( nominal propositions only ) ..."),
            std::string::npos);
  for (const auto &entry : *DataManager::active_atoms) {
    Implicants *implicants = reasoner->piTable->getPIs(entry.second);
    for (const Implicant *implicant : implicants ? *implicants : Implicants())
      for (const Atom *atom : *implicant)
        EXPECT_FALSE(atom->fault) << entry.first;
  }
  EXPECT_NE(out.find("Warning: no prime implicants found for c0.o=zero\n"), std::string::npos);
  EXPECT_TRUE(reasoner->piTable->getPIs(model.atom("c0.o=zero"))->empty());
}

}  // namespace
