#include "solver.h"

#include <algorithm>

#include <cadical.hpp>

#include "Clause.h"

ClauseTest::ClauseTest(const std::vector<Clause *> &clauses)
    : solver(new CaDiCaL::Solver()) {
  // Small formulas asked many questions: no preprocessing between calls.
  solver->configure("plain");
  for (const Clause *clause : clauses) {
    // The sign true is the atom itself.
    for (const auto &literal : *clause->atoms)
      solver->add(literal.first ? variableOf(literal.second) : -variableOf(literal.second));
    if (clause->cond != nullptr)
      solver->add(-variableOf(clause->cond));
    solver->add(0);
  }
  for (const auto &entry : variables)
    solver->freeze(entry.second);

  // Islands: the variables joined by the clauses they share.
  std::vector<int> parent(variables.size() + 1);
  for (size_t v = 0; v < parent.size(); ++v)
    parent[v] = static_cast<int>(v);
  auto root = [&](int v) {
    while (parent[v] != v)
      v = parent[v] = parent[parent[v]];
    return v;
  };
  for (const Clause *clause : clauses) {
    int first = clause->cond != nullptr ? variables.at(clause->cond) : 0;
    for (const auto &literal : *clause->atoms) {
      int v = variables.at(literal.second);
      if (first == 0)
        first = v;
      parent[root(v)] = root(first);
    }
  }
  island.assign(parent.size(), -1);
  std::vector<int> islandOfRoot(parent.size(), -1);
  for (size_t v = 1; v < parent.size(); ++v) {
    int r = root(static_cast<int>(v));
    if (islandOfRoot[r] < 0)
      islandOfRoot[r] = islandCount++;
    island[v] = islandOfRoot[r];
  }
  lastAnswers.resize(islandCount);
}

ClauseTest::~ClauseTest() = default;

int ClauseTest::variableOf(const void *key) {
  auto placed = variables.emplace(key, static_cast<int>(variables.size()) + 1);
  return placed.first->second;
}

int ClauseTest::literal(const Atom *atom, bool holds) const {
  auto found = variables.find(atom);
  return found == variables.end() ? 0 : holds ? found->second : -found->second;
}

int ClauseTest::literal(const s_Condition *condition, bool holds) const {
  auto found = variables.find(condition);
  return found == variables.end() ? 0 : holds ? found->second : -found->second;
}

bool ClauseTest::satisfiable(const std::vector<int> &assumptions) {
  for (int assumed : assumptions)
    if (assumed != 0)
      solver->assume(assumed);
  return solver->solve() == 10;
}

bool ClauseTest::entails(std::vector<int> assumptions, int literal) {
  if (literal == 0)
    return false;
  assumptions.push_back(-literal);
  return !satisfiable(assumptions);
}

bool ClauseTest::knownAnswer(int island, const std::vector<int> &sorted, bool &holds) {
  // Most questions repeat the island's last one.
  LastAnswer &last = lastAnswers[island];
  if (last.asked && last.literals == sorted) {
    holds = last.holds;
    return true;
  }
  std::vector<int> key{island};
  key.insert(key.end(), sorted.begin(), sorted.end());
  auto known = islandAnswers.find(
      std::string(reinterpret_cast<const char *>(key.data()), key.size() * sizeof(int)));
  if (known == islandAnswers.end())
    return false;
  holds = known->second;
  last = LastAnswer{sorted, holds, true};
  return true;
}

void ClauseTest::keepAnswer(int island, const std::vector<int> &sorted, bool holds) {
  // The answers are kept over the run, within a bound.
  if (islandAnswers.size() >= 1 << 18)
    islandAnswers.clear();
  std::vector<int> key{island};
  key.insert(key.end(), sorted.begin(), sorted.end());
  islandAnswers[std::string(reinterpret_cast<const char *>(key.data()), key.size() * sizeof(int))] =
      holds;
  lastAnswers[island] = LastAnswer{sorted, holds, true};
}

bool ClauseTest::islandSatisfiable(int island, const std::vector<int> &literals) {
  std::vector<int> sorted = literals;
  std::sort(sorted.begin(), sorted.end());
  bool holds;
  if (!knownAnswer(island, sorted, holds)) {
    holds = satisfiable(sorted);
    keepAnswer(island, sorted, holds);
  }
  return holds;
}

std::vector<int> ClauseTest::failingIslands(const std::vector<std::pair<int, int>> &byIsland) {
  std::vector<int> failing;
  std::vector<std::pair<int, std::vector<int>>> unknown;  // islands without a kept answer
  std::vector<int> all;
  for (size_t i = 0; i < byIsland.size();) {
    int island = byIsland[i].first;
    std::vector<int> sorted;
    for (; i < byIsland.size() && byIsland[i].first == island; ++i)
      sorted.push_back(byIsland[i].second);
    bool holds;
    if (knownAnswer(island, sorted, holds)) {
      if (!holds)
        failing.push_back(island);
      continue;
    }
    all.insert(all.end(), sorted.begin(), sorted.end());
    unknown.push_back({island, std::move(sorted)});
  }
  // When they hold together, each holds alone; else each is asked alone.
  bool together = !unknown.empty() && satisfiable(all);
  for (const auto &[island, sorted] : unknown) {
    bool holds = together || satisfiable(sorted);
    keepAnswer(island, sorted, holds);
    if (!holds)
      failing.push_back(island);
  }
  std::sort(failing.begin(), failing.end());
  return failing;
}
