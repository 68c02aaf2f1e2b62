// The session's reasoner: it compiles the discrete model of every registered
// component into clauses (variable domains, constraints), numbers and weighs
// the transitions, and builds the atom table with its initial labels.
#ifndef MORVEL_REASONING_ITMS_H
#define MORVEL_REASONING_ITMS_H

#include <map>
#include <queue>
#include <vector>

#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "reasoning/clause_solver.h"
#include "reasoning/trajectory.h"

class Atom;
class Clause;
class Formula;
class ItmsRes;
class PiTable;
class StateFormula;
class StateVar;

// The model checking layer between the registry and the reasoner.
class mdlChk : public DataManager {};

class itms : public mdlChk {
 public:
  itms();
  // Releases the clauses this reasoner compiled and empties the session's
  // clause list, which held them.
  ~itms();
  itms(const itms &) = delete;
  itms &operator=(const itms &) = delete;

  // Compiles every registered component: domain clauses of its variables,
  // clauses of its constraints (which are consumed), numbered transitions;
  // then the atom table, the initial labels and the statistics.
  void clauseCompilation();
  // Compiles the constraints of one component into its clause list and the
  // session's; the formulas and their vector are released.
  void clauseCompilation(std::vector<Formula *> *constraints, int counter, Comp *comp);
  // Appends to out the clauses of (not pre) or post, or of (not pre) or the
  // conjunction of the sub-formulas; a formula without pre is its post side.
  std::vector<Clause *> *compileFormula(Formula *formula, std::vector<Clause *> *out, Comp *comp);
  // New clauses of the formula itself (negate false) or of its negation
  // (negate true), in a new vector owned by the caller.
  std::vector<Clause *> *compileStateFormula(StateFormula *formula, bool negate, Comp *comp);
  // Appends to out (a new vector when null) the disjunction of the two clause
  // sets by distribution. Both sets and their clauses are released.
  std::vector<Clause *> *mergeClauses(std::vector<Clause *> *a, std::vector<Clause *> *b,
                                      std::vector<Clause *> *out, Comp *comp);
  // Numbers the component's transitions from counter on, weighs them and
  // counts their guards.
  void idTransitions(Comp *comp, int &counter);
  // A new table of the atoms of the clauses and of the compiled variables'
  // clauses; the first atom met under an id is kept.
  AtomTable *loadAtoms(std::vector<Clause *> *clauses);
  // Mean transition probabilities and the labels of the initial state.
  void initialize();
  void compileTransitionsProb(Atom *atom);

  // Expands each transition's guard over the prime implicants of its atoms
  // into the transition's extra formulas; nothing without a table.
  void compilePI();
  void compilePreAtoms(Atom *atom, std::vector<StateFormula *> *alternatives);
  void compilePreInitAtoms(Atom *atom, std::vector<StateFormula *> *alternatives);

  // Reads the prime implicants of appliName + ".pi" into the table: 1 when
  // read, 0 when the file cannot be opened, -1 when it names an unknown atom.
  int readPI(PiTable *table);

  // The consistency test of proposed labels (sign true for "true") on the
  // elements of a state: a new list, or results, receives one complete
  // labelling that satisfies every clause of cls and agrees with the
  // proposals when there is one, and nothing otherwise. The labels the state
  // starts with are beliefs that do not constrain the test. A fault atom
  // labelled false and proposed true stops the test when the bound is below
  // one more than the ranks of the trajectory. With focus, conflicts are
  // looked for among the clauses of the proposed elements only. keep,
  // threshold and wanted are passed on but not interpreted: a one-state test
  // has at most one solution.
  std::vector<ItmsRes *> *testImplicants(std::multimap<bool, TrajEl *> *proposals,
                                         TrajElTable *changed, State *state,
                                         std::vector<ItmsRes *> *results, bool keep,
                                         double bound, double threshold, Trajectory *trajectory,
                                         int step, bool focus, unsigned int wanted);
  std::vector<ItmsRes *> *addPropositions(std::multimap<bool, TrajEl *> *proposals,
                                          TrajElTable *changed, State *state,
                                          std::vector<ItmsRes *> *results, bool keep,
                                          double bound, double threshold, Trajectory *trajectory,
                                          int step, bool focus, unsigned int wanted);
  // Propagates the solution's proposals to a fixpoint, resolving conflicts,
  // then completes its labels; the solution goes to results or is released.
  std::vector<ItmsRes *> *unitPropagate(ItmsRes *solution, std::vector<ItmsRes *> *results,
                                        bool keep, double threshold, Trajectory *trajectory,
                                        int step, unsigned int wanted);
  // Some literal holds on the labels.
  bool testClause(Clause *clause, State *state, Trajectory *trajectory, int step);
  // The element of the only literal labelled "unknown", or null.
  TrajEl *unitClause(Clause *clause, State *state, Trajectory *trajectory, int step);
  // The first clause that does not hold and has one open literal: among all
  // of cls (printing each), among the loaded clauses of the atom, or of the
  // elements' atoms.
  Clause *getFirstUnitClause(State *state, Trajectory *trajectory, int step);
  Clause *getFirstUnitClause(Atom *atom, State *state, Trajectory *trajectory, int step);
  Clause *getFirstUnitClause(std::vector<TrajEl *> *elements, State *state,
                             Trajectory *trajectory, int step);
  void propagateClause(Clause *clause, ItmsRes *solution, Trajectory *trajectory, int step);
  // Handles a queued clause: a unit clause labels its open element, a false
  // clause withdraws the beliefs in it; null when it is false on firm labels.
  ItmsRes *propagateThroughConflict(Clause *clause, ItmsRes *solution, Trajectory *trajectory,
                                    int step);
  // The element's label has a new support: a belief is withdrawn, and the
  // beliefs derived from the element's label go with it.
  void resupportDependence(TrajEl *element, ItmsRes *solution);
  // Queue the false clauses (internal ones: variable domains) of cls or of
  // the elements; each returns how many.
  int checkForConflicts(ItmsRes *solution, Trajectory *trajectory, int step);
  int checkForInternalConflicts(ItmsRes *solution, Trajectory *trajectory, int step);
  int checkForFocusedConflicts(std::vector<TrajEl *> *elements, ItmsRes *solution,
                               Trajectory *trajectory, int step);
  int checkForFocusedInternalConflicts(std::vector<TrajEl *> *elements, ItmsRes *solution,
                                       Trajectory *trajectory, int step);
  // Records the clause as the support of the element's derived label.
  void setSupport(TrajEl *element, Clause *clause, ItmsRes *solution);
  // A belief: labelled, and not firm.
  bool isResupportable(const TrajEl *element) const;
  TrajEl *getElt(Atom *atom, State *state);
  // The first element of the clause labelled "unknown", or null.
  TrajEl *getUnknown(Clause *clause, State *state);

  // Answers every test with a new solver and without propagation.
  bool checkFromScratch = false;

  std::vector<StateVar *> *stateVars;  // every compiled variable once, in order
  int pending = 0;
  PiTable *piTable = nullptr;  // owned
  // Constraint clauses that an earlier compilation made and their
  // components keep (the constraints are consumed by the first one); they
  // are not in cls, but the generated runtime holds them.
  long carriedClauses = 0;

 private:
  bool isUnit(Clause *clause, State *state);
  void withdraw(TrajEl *element, ItmsRes *solution);
  void withdrawDependents(TrajEl *element, ItmsRes *solution);
  int queueViolated(const std::vector<Clause *> &clauses, bool internal, ItmsRes *solution);
  void checkConflictsOf(std::vector<TrajEl *> *elements, ItmsRes *solution,
                        Trajectory *trajectory, int step);
  Clause *nextUnitClause(ItmsRes *solution, Trajectory *trajectory, int step);
  // False when a conflict among firm labels refutes the solution.
  bool propagate(ItmsRes *solution, Trajectory *trajectory, int step);
  // Completes the labels from a solution of the clauses under the firm ones.
  bool labelFromSolver(ClauseSolver &with, ItmsRes *solution);

  ClauseSolver solver;  // one instance for every test over the same clauses
  void compileDomain(StateVar *variable, Comp *comp);
  // The clauses of the conclusion of a constraint CONDITION c => (...), kept
  // by the component with their condition; nothing is printed of them.
  void compileConditionConstraint(Formula *formula, s_cond *premise, Comp *comp);
  // Appends a compiled clause to the session's list; this reasoner owns it.
  void keep(Clause *clause);

  std::vector<Clause *> compiled;  // every clause ever kept
};

// The session's reasoner, made by the load command.
extern itms *reasoner;

// Replaces the session's reasoner by a new one.
void newReasoner();

#endif
