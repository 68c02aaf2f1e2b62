// Helpers shared by the reasoning tests: a clean registry around each test,
// clauses written as sets of literals, and the models of a clause set found
// by brute force, the reference the reasoner's answers are checked against.
#ifndef MORVEL_TESTS_REASONING_SUPPORT_H
#define MORVEL_TESTS_REASONING_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <set>
#include <string>
#include <utility>
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

// Every assignment of truth values to the atoms (one per atom, in the order
// given) under which all the clauses hold, found by trying them all. A clause
// is checked as soon as its atoms have values, which cuts dead branches short;
// an atom of a clause that is not in the list counts as false.
class BruteForceModels {
 public:
  BruteForceModels(std::vector<const Atom *> atoms, const std::vector<Clause *> &clauses)
      : atoms(std::move(atoms)), checkedAt(this->atoms.size() + 1) {
    for (Clause *clause : clauses) {
      std::size_t last = 0;
      for (const auto &literal : *clause->getAtoms())
        last = std::max(last, std::min(placeOf(literal.second) + 1, this->atoms.size()));
      checkedAt[last].push_back(clause);
    }
    std::vector<bool> values;
    enumerate(values);
  }
  bool holds(const std::vector<bool> &model, const Atom *atom) const {
    std::size_t place = placeOf(atom);
    return place < model.size() && model[place];
  }
  // Some model gives each atom its truth value.
  bool satisfiable(const std::vector<std::pair<Atom *, bool>> &values) const {
    return std::any_of(all.begin(), all.end(), [&](const std::vector<bool> &model) {
      return std::all_of(values.begin(), values.end(),
                         [&](const auto &value) { return holds(model, value.first) == value.second; });
    });
  }
  std::vector<std::vector<bool>> all;

 private:
  std::size_t placeOf(const Atom *atom) const {
    return static_cast<std::size_t>(std::find(atoms.begin(), atoms.end(), atom) - atoms.begin());
  }
  void enumerate(std::vector<bool> &values) {
    for (Clause *clause : checkedAt[values.size()])
      if (std::none_of(clause->getAtoms()->begin(), clause->getAtoms()->end(),
                       [&](const auto &literal) { return holds(values, literal.second) != literal.first; }))
        return;
    if (values.size() == atoms.size())
      return all.push_back(values);
    for (bool value : {false, true}) {
      values.push_back(value);
      enumerate(values);
      values.pop_back();
    }
  }
  std::vector<const Atom *> atoms;
  std::vector<std::vector<Clause *>> checkedAt;  // clauses by the number of atoms they need
};

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
