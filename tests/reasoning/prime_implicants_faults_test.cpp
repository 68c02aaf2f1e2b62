#include <memory>
#include <set>
#include <string>
#include <vector>

#include "discrete/comp.h"
#include "reasoning/prime_implicants.h"
#include "reasoning/trajectory.h"
#include "tests/reasoning/reasoning_test_support.h"

namespace {

std::set<std::set<std::string>> idSets(const Implicants *implicants) {
  std::set<std::set<std::string>> sets;
  for (const Implicant *implicant : *implicants) {
    std::set<std::string> ids;
    for (const Atom *atom : *implicant)
      ids.insert(atom->id);
    sets.insert(ids);
  }
  return sets;
}

// A pump that delivers (o=high) when it is ok and commanded on, and never
// when commanded off. For o=high only one value of each hypothesis variable
// stays a candidate, so its implicant holds every candidate.
class PumpImplicants : public ReasonerTest {
 protected:
  PumpImplicants() {
    comp.varName = "p";
    mode = variable<ModeVar>("p.m", {"ok", "unknown"}, "ok");
    command = variable<CondVar>("p.c", {"off", "on"}, "off");
    output = variable<ObsVar>("p.o", {"high", "low"}, "low");
    clause({{atomOf(output, "high"), false}, {atomOf(mode, "ok"), true}, {atomOf(command, "on"), true}});
    clause({{atomOf(output, "low"), false}, {atomOf(command, "off"), true}});
    DataManager::addComp(&comp);
  }
  ~PumpImplicants() override { DataManager::cls->clear(); }

  template <typename Var> Var *variable(const std::string &name, std::set<std::string> values,
                                        const std::string &initial) {
    Var *made = owner.variable<Var>(name, values, initial);
    comp.addStateVar(made);
    std::vector<std::pair<Atom *, bool>> atLeastOne;
    for (Atom *atom : made->atomLinks) {
      DataManager::addAtom(atom);
      (*comp.atoms)[atom->id] = atom;
      if (atom->value == initial)
        atom->set();
      for (const auto &[other, sign] : atLeastOne)
        clause({{atom, true}, {other, true}})->setInternal(true);
      atLeastOne.push_back({atom, false});
    }
    clause(atLeastOne)->setInternal(true);
    return made;
  }
  Clause *clause(const std::vector<std::pair<Atom *, bool>> &literals) {
    clauses.push_back(std::make_unique<Clause>(&comp));
    for (const auto &[atom, sign] : literals)
      clauses.back()->addAtom(atom, sign);
    DataManager::cls->push_back(clauses.back().get());
    return clauses.back().get();
  }
  std::set<std::set<std::string>> implicantsOf(const std::string &target, int mode = 1) {
    std::unique_ptr<Trajectory> working(initFakeTrajectory(reasoning));
    Implicants *found = nullptr;
    printed([&] { found = enumPI(DataManager::getAtom(target.c_str()), working.get(), reasoning, mode); });
    auto sets = idSets(found);
    releaseImplicants(found);
    return sets;
  }

  Comp comp{"Pump"};
  std::vector<std::unique_ptr<Clause>> clauses;
  ModeVar *mode;
  CondVar *command;
  ObsVar *output;
};

TEST_F(PumpImplicants, AnImplicantMayHoldEveryCandidate) {
  EXPECT_EQ(implicantsOf("p.o=high"), (std::set<std::set<std::string>>{{"p.m=ok", "p.c=on"}}));
  EXPECT_EQ(implicantsOf("p.o=low"), (std::set<std::set<std::string>>{{"p.c=off"}}));
  // The search of complete combinations finds the pair too.
  EXPECT_EQ(implicantsOf("p.o=high", 3), (std::set<std::set<std::string>>{{"p.m=ok", "p.c=on"}}));
}

}  // namespace
