// Helpers shared by the reasoning tests: a clean registry around each test
// and clauses written as sets of literals.
#ifndef MORVEL_TESTS_REASONING_SUPPORT_H
#define MORVEL_TESTS_REASONING_SUPPORT_H

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "discrete/clause.h"
#include "discrete/data_manager.h"
#include "reasoning/itms.h"
#include "tests/discrete/discrete_test_support.h"

using Literals = std::set<std::string>;

// Each clause as the set of its literals, "!id" for a negated one.
inline std::vector<Literals> literalsOf(const std::vector<Clause *> &clauses) {
  std::vector<Literals> all;
  for (Clause *clause : clauses) {
    all.emplace_back();
    for (const auto &literal : *clause->getAtoms())
      all.back().insert((literal.first ? "!" : "") + literal.second->id);
  }
  return all;
}

// The reasoner is released before the owner releases variables and atoms.
class ReasonerTest : public testing::Test {
 protected:
  ReasonerTest() { clearRegistry(); }
  ~ReasonerTest() override {
    delete reasoning;
    clearRegistry();
  }
  static void clearRegistry() {
    DataManager::active_comps.clear();
    DataManager::active_trans.clear();
    DataManager::active_atoms->clear();
  }
  Owner owner;
  itms *reasoning = new itms();
};

#endif
