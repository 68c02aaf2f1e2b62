// What the reasoning tests share: the reasoner's headers, models built and
// compiled (generated_model.h), clauses and implicants written as sets of
// ids, and the models of a clause set found by brute force, the reference
// the reasoner's answers are checked against.
#ifndef MORVEL_TESTS_REASONING_SUPPORT_H
#define MORVEL_TESTS_REASONING_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <utility>

#include "discrete/clause.h"
#include "reasoning/pi_table.h"
#include "reasoning/prime_implicants.h"
#include "reasoning/propagation.h"
#include "reasoning/trajectory.h"
#include "tests/discrete/discrete_test_support.h"
#include "tests/reasoning/generated_model.h"

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

using IdSets = std::set<Literals>;

// Each implicant as the set of its ids; no implicant twice, no atom twice in one.
inline IdSets idSets(const Implicants *implicants) {
  IdSets sets;
  for (const Implicant *implicant : *implicants) {
    Literals ids;
    for (const Atom *atom : *implicant)
      ids.insert(atom->id);
    EXPECT_EQ(ids.size(), implicant->size());
    sets.insert(ids);
  }
  EXPECT_EQ(sets.size(), implicants->size()) << "an implicant found twice";
  return sets;
}

// Every assignment of truth values to the atoms of the model's variables
// (one per atom, in their order) under which all the clauses hold, found by
// trying them all. A clause is checked as soon as its atoms have values, which
// cuts dead branches short.
class BruteForceModels {
 public:
  BruteForceModels(const ReasonerModelBuilder &model, const std::vector<Clause *> &clauses) {
    for (const StateVar *variable : model.variables)
      atoms.insert(atoms.end(), variable->atomLinks.begin(), variable->atomLinks.end());
    checkedAt.resize(atoms.size() + 1);
    for (Clause *clause : clauses) {
      std::size_t last = 0;
      for (const auto &literal : *clause->getAtoms())
        last = std::max(last, placeOf(literal.second) + 1);
      checkedAt[last].push_back(clause);
    }
    std::vector<bool> values;
    enumerate(values);
  }
  // Some model gives each atom its truth value; with an atom entailed, every
  // such model also holds it.
  bool satisfiable(const std::vector<std::pair<Atom *, bool>> &values,
                   const Atom *entailed = nullptr) const {
    bool some = false;
    for (const std::vector<bool> &model : all)
      if (std::all_of(values.begin(), values.end(),
                      [&](const auto &value) { return model[placeOf(value.first)] == value.second; })) {
        if (entailed && !model[placeOf(entailed)])
          return false;
        some = true;
      }
    return some;
  }

 private:
  std::size_t placeOf(const Atom *atom) const {
    return static_cast<std::size_t>(std::find(atoms.begin(), atoms.end(), atom) - atoms.begin());
  }
  void enumerate(std::vector<bool> &values) {
    for (Clause *clause : checkedAt[values.size()])
      if (std::none_of(clause->getAtoms()->begin(), clause->getAtoms()->end(),
                       [&](const auto &literal) { return values[placeOf(literal.second)] != literal.first; }))
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
  std::vector<std::vector<bool>> all;
  std::vector<std::vector<Clause *>> checkedAt;  // clauses by the number of atoms they need
};

#endif
