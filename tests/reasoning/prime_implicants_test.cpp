#include "common/session.h"
#include "tests/reasoning/reasoning_test_support.h"

namespace {

// The prime implicants by brute force over the models of the clauses: a set
// of hypotheses (at most one value per hypothesis variable of the target's
// component and of those it uses) is an implicant when some model holds it,
// every such model holds the target, and no set with one member less does
// the same.
IdSets bruteForceImplicants(const ReasonerModelBuilder &model, const BruteForceModels &models,
                            Atom *target, int mode) {
  auto entails = [&](const Literals &set) {
    std::vector<std::pair<Atom *, bool>> values;
    for (const std::string &id : set)
      values.emplace_back(DataManager::getAtom(id.c_str()), true);
    return models.satisfiable(values, target);
  };
  std::set<const Comp *> reachable{target->stateVar->comp};
  for (const Comp *comp = target->stateVar->comp; comp->importedComps;
       comp = comp->importedComps->front())
    reachable.insert(comp->importedComps->front());
  std::vector<Literals> sets{{}};
  for (const StateVar *variable : model.variables) {
    // The models have no output command: the other variables are hypotheses.
    if (variable->type == "Observable" || variable->type == "Dependent" ||
        !reachable.count(variable->comp))
      continue;
    for (std::size_t i = 0, count = sets.size(); i < count; ++i)
      for (const Atom *atom : variable->atomLinks)
        if (!(variable->type == "Mode" && atom->value == "unknown") && !(mode == 2 && atom->fault)) {
          sets.push_back(sets[i]);
          sets.back().insert(atom->id);
        }
  }
  IdSets found;
  for (const Literals &set : sets)
    if (entails(set) && std::none_of(set.begin(), set.end(), [&](const std::string &id) {
          Literals smaller = set;
          smaller.erase(id);
          return entails(smaller);
        }))
      found.insert(set);
  return found;
}

// Searches run in a scratch directory, for an application named appli.
class PrimeImplicants : public testing::Test {
 protected:
  PrimeImplicants() : savedName(appliName) { appliName = "appli"; }
  ~PrimeImplicants() override { appliName = savedName; }
  IdSets implicantsOf(Atom *target, int mode) {
    std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoner.get()));
    Implicants *found = nullptr;
    printed([&] { found = enumPI(target, working.get(), reasoner.get(), mode); });
    IdSets sets = idSets(found);
    releaseImplicants(found);
    return sets;
  }
  std::unique_ptr<itms> reasoner = std::make_unique<itms>();
  ScratchDirectory directory;
  std::string savedName;
};

TEST_F(PrimeImplicants, StandardSearchFindsExactlyTheBruteForceImplicants) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    GeneratedModel model(2, seed);
    BruteForceModels models(model, *DataManager::cls);
    int nonEmpty = 0;
    for (int mode : {1, 2})
      for (const auto &entry : *DataManager::active_atoms) {
        const std::string &type = entry.second->stateVar->type;
        if (type != "Observable" && type != "Dependent")
          continue;
        IdSets expected = bruteForceImplicants(model, models, entry.second, mode);
        EXPECT_EQ(implicantsOf(entry.second, mode), expected)
            << "seed " << seed << " mode " << mode << " " << entry.first;
        nonEmpty += !expected.empty();
      }
    EXPECT_GT(nonEmpty, 4) << "seed " << seed;
  }
}

// A pump that delivers (o=high) when it is ok and commanded on, and never
// when commanded off. For o=high only one value of each hypothesis variable
// stays a candidate, so its implicant holds every candidate.
TEST_F(PrimeImplicants, AnImplicantMayHoldEveryCandidate) {
  ReasonerModelBuilder pump;
  Comp *p = pump.component("p");
  pump.variable<ModeVar>(p, "p.m", {"ok", "unknown"}, "ok");
  pump.variable<CondVar>(p, "p.c", {"off", "on"}, "off");
  pump.variable<ObsVar>(p, "p.o", {"high", "low"}, "low");
  pump.implies("m=ok c=on", "o=high");
  pump.implies("c=off", "o=low");
  pump.compile();
  EXPECT_EQ(implicantsOf(pump.atom("p.o=high"), 1), (IdSets{{"p.m=ok", "p.c=on"}}));
  EXPECT_EQ(implicantsOf(pump.atom("p.o=low"), 1), (IdSets{{"p.c=off"}}));
  // The search of complete combinations finds the pair too.
  EXPECT_EQ(implicantsOf(pump.atom("p.o=high"), 3), (IdSets{{"p.m=ok", "p.c=on"}}));
}

// Past five components the complete search takes every usable value as a
// candidate, without asking the reasoner.
TEST_F(PrimeImplicants, CompleteSearchOfWideModels) {
  GeneratedModel wide(6, 5);
  std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoner.get()));
  SetsBySize bySize;
  Implicants pis;
  unsigned int calls = DataManager::itms_calls;
  std::unique_ptr<std::vector<Atom *>> candidates;
  printed([&] {
    candidates.reset(enumSingletons(&wide.comps, &bySize, wide.atom("c5.o=high"), working.get(),
                                    reasoner.get(), &pis, 3));
  });
  EXPECT_EQ(DataManager::itms_calls, calls);
  // Per component: three usable mode values, two command and two condition values.
  EXPECT_EQ(candidates->size(), 6u * 7u);
  EXPECT_TRUE(bySize.empty());
}

// Reading, writing and a file with an unknown atom are checked in sessions
// (tests/e2e/compile/prime_implicants_*).
TEST_F(PrimeImplicants, GuardModeSearchesOnlyTransitionGuards) {
  GeneratedModel model(2, 6);
  printed([&] { enumAllPI(reasoner.get(), 4, model.instancesByRank); });
  EXPECT_EQ(reasoner->piTable->size(), 2u);
  EXPECT_NE(reasoner->piTable->getPIs(model.atom("c0.d=high")), nullptr);
  EXPECT_NE(reasoner->piTable->getPIs(model.atom("c1.d=high")), nullptr);
  EXPECT_EQ(fileText("appli.pi").substr(0, 10), "c0.d=high:");
}

// Nominal mode leaves an observable explained by faults only without implicants.
TEST_F(PrimeImplicants, NominalModeWarnsOfAnAtomWithoutImplicants) {
  GeneratedModel model(1, 3);
  std::string out = printed([&] { enumAllPI(reasoner.get(), 2, model.instancesByRank); });
  EXPECT_NE(out.find("Warning: no prime implicants found for c0.o=zero\n"), std::string::npos);
  EXPECT_TRUE(reasoner->piTable->getPIs(model.atom("c0.o=zero"))->empty());
}

}  // namespace
