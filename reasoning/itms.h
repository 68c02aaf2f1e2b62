// The session's reasoner: it compiles the discrete model of every registered
// component into clauses (variable domains, constraints), numbers and weighs
// the transitions, and builds the atom table with its initial labels.
#ifndef MORVEL_REASONING_ITMS_H
#define MORVEL_REASONING_ITMS_H

#include <vector>

#include "discrete/comp.h"
#include "discrete/data_manager.h"

class Atom;
class Clause;
class Formula;
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

  std::vector<StateVar *> *stateVars;  // every compiled variable once, in order
  int pending = 0;
  PiTable *piTable = nullptr;  // owned

 private:
  void compileDomain(StateVar *variable, Comp *comp);
  // Appends a compiled clause to the session's list; this reasoner owns it.
  void keep(Clause *clause);

  std::vector<Clause *> compiled;  // every clause ever kept
};

// The session's reasoner, made by the load command.
extern itms *reasoner;

// Replaces the session's reasoner by a new one.
void newReasoner();

#endif
