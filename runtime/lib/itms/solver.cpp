#include "solver.h"

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
