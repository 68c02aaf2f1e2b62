// A complete satisfiability test of the application's clauses under assumed
// atoms, for the diagnosis: one incremental solver asked every question of a
// run. Clauses that hold only when a continuous condition does get the
// condition as one more literal, assumed true or false by the caller.
// Clauses that share no variable, directly or through others, form separate
// islands: an island's answer depends on the assumptions on its own
// variables alone, and is kept for when the same ones come again.
#ifndef MORVEL_RUNTIME_SOLVER_H
#define MORVEL_RUNTIME_SOLVER_H

#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Atom;
class Clause;
struct s_Condition;

namespace CaDiCaL {
class Solver;
}

class ClauseTest {
 public:
  explicit ClauseTest(const std::vector<Clause *> &clauses);
  ~ClauseTest();
  ClauseTest(const ClauseTest &) = delete;
  ClauseTest &operator=(const ClauseTest &) = delete;

  // The literal that the atom holds (negative: it does not); 0 for an atom
  // in no clause.
  int literal(const Atom *atom, bool holds) const;
  // The literal that the condition of some clauses holds; 0 for a condition
  // no clause depends on.
  int literal(const s_Condition *condition, bool holds) const;
  // True when the clauses and the assumed literals can all hold.
  bool satisfiable(const std::vector<int> &assumptions);
  // True when the clauses and the assumptions make the literal hold.
  bool entails(std::vector<int> assumptions, int literal);

  // The island of a literal's variable; -1 for 0.
  int islandOf(int literal) const { return literal == 0 ? -1 : island[std::abs(literal)]; }
  int islands() const { return islandCount; }
  // True when the island's clauses can hold with the assumed literals, all
  // of them on that island.
  bool islandSatisfiable(int island, const std::vector<int> &literals);
  // The islands that the literals (with their islands, sorted by island)
  // contradict. The islands not asked before are asked together first.
  std::vector<int> failingIslands(const std::vector<std::pair<int, int>> &byIsland);

 private:
  int variableOf(const void *key);
  // The answer kept for an island's sorted literals; false when none is.
  bool knownAnswer(int island, const std::vector<int> &sorted, bool &holds);
  void keepAnswer(int island, const std::vector<int> &sorted, bool holds);

  std::vector<int> island;  // per variable
  int islandCount = 0;
  std::unordered_map<std::string, bool> islandAnswers;
  struct LastAnswer {
    std::vector<int> literals;  // sorted
    bool holds = false;
    bool asked = false;
  };
  std::vector<LastAnswer> lastAnswers;  // per island

  std::unique_ptr<CaDiCaL::Solver> solver;
  std::unordered_map<const void *, int> variables;
};

#endif
