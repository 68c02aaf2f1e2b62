// A complete satisfiability test of the compiled clauses under assumed atom
// values. One incremental solver serves every test over the same clauses.
#ifndef MORVEL_REASONING_CLAUSE_SOLVER_H
#define MORVEL_REASONING_CLAUSE_SOLVER_H

#include <memory>
#include <unordered_map>
#include <vector>

class Atom;
class Clause;

namespace CaDiCaL {
class Solver;
}

class ClauseSolver {
 public:
  ClauseSolver();
  ~ClauseSolver();
  ClauseSolver(const ClauseSolver &) = delete;
  ClauseSolver &operator=(const ClauseSolver &) = delete;

  // Makes the solver hold exactly these clauses, rebuilding it (atom
  // numbering and occurrence lists included) only when they changed. The
  // solutions it finds then keep the atoms' labels where the clauses allow.
  void load(const std::vector<Clause *> &clauses);
  // The atom's solver variable, from 1; 0 when it occurs in no clause.
  int variable(const Atom *atom) const;
  // The loaded clauses in which the atom occurs, in loading order.
  const std::vector<Clause *> &occurrences(const Atom *atom) const;
  // True when the clauses and the assumed literals can all hold; the
  // values of a solution are then read with value().
  bool solve(const std::vector<int> &assumptions);
  bool value(int variable) const;

 private:
  std::unique_ptr<CaDiCaL::Solver> solver;
  std::vector<Clause *> loaded;
  std::unordered_map<const Atom *, int> variables;
  std::vector<std::vector<Clause *>> occurs;  // by variable
};

#endif
