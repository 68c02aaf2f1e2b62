#include "reasoning/clause_solver.h"

#include <cadical.hpp>

#include <string>

#include "discrete/clause.h"
#include "discrete/state_var.h"

ClauseSolver::ClauseSolver() : occurs(1) {}

ClauseSolver::~ClauseSolver() = default;

void ClauseSolver::load(const std::vector<Clause *> &clauses) {
  if (solver && clauses == loaded)
    return;
  loaded = clauses;
  variables.clear();
  occurs.assign(1, {});
  solver = std::make_unique<CaDiCaL::Solver>();
  // Small formulas asked many questions: no preprocessing between calls.
  solver->configure("plain");
  for (Clause *clause : loaded) {
    for (const auto &literal : *clause->atoms) {
      auto placed = variables.emplace(literal.second, static_cast<int>(occurs.size()));
      if (placed.second)
        occurs.emplace_back();
      std::vector<Clause *> &list = occurs[placed.first->second];
      if (list.empty() || list.back() != clause)
        list.push_back(clause);
      // The sign true marks a negated literal.
      solver->add(literal.first ? -placed.first->second : placed.first->second);
    }
    solver->add(0);
  }
  for (const auto &entry : variables) {
    solver->freeze(entry.second);
    const std::string &label = entry.first->label;
    if (label != "unknown")
      solver->phase(label == "true" ? entry.second : -entry.second);
  }
}

int ClauseSolver::variable(const Atom *atom) const {
  auto found = variables.find(atom);
  return found != variables.end() ? found->second : 0;
}

const std::vector<Clause *> &ClauseSolver::occurrences(const Atom *atom) const {
  return occurs[variable(atom)];
}

bool ClauseSolver::solve(const std::vector<int> &assumptions) {
  for (int literal : assumptions)
    solver->assume(literal);
  return solver->solve() == 10;
}

bool ClauseSolver::value(int variable) const { return solver->val(variable) > 0; }
