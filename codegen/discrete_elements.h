// Generators of the discrete part of a component: its state variables with
// their value sets and atoms, its transitions with their state formulas and
// mapping functions (class text, written for the first instance of a type
// only), and its clauses (instance code, written to the runtime source or,
// for models of more than 1000 clauses, to the instance's clause files).
//
// Generated names, members of the type's class T: T_s for the state
// variable s, T_s_x for its atom of value x, T_stfK for state formula K,
// T_tN for transition N; clauses are locals clN of the runtime code.
#ifndef MORVEL_CODEGEN_DISCRETE_ELEMENTS_H
#define MORVEL_CODEGEN_DISCRETE_ELEMENTS_H

#include <string>
#include <utility>
#include <vector>

struct GenerationState;
class Clause;
class Comp;
class StateFormula;
class StateVar;
class Transition;
struct s_variable;

// The continuous variables of one instance that condition variables depend
// on, each with the number of condition slots given to it so far.
using ConditionSlots = std::vector<std::pair<s_variable *, long>>;

// What the state variables of one instance share while they are generated.
struct InstanceStateVars {
  ConditionSlots conditionSlots;
  bool outputCommandsMade = false;  // the vector of the commands it issues exists
};

void geneStateVar(GenerationState &gen, Comp *instance, StateVar *variable,
                  InstanceStateVars &shared);
// `variable` is the state variable an internal clause belongs to, or null;
// `condition`, when given, names the instance's condition member under which
// the clause holds (a clause of a constraint CONDITION c => (...)).
void geneClause(GenerationState &gen, Comp *instance, Clause *clause, StateVar *variable,
                const std::string &condition = "");
// Opens the instance's next clause files (runtime/cl_<V><k>.h and .cpp).
void geneClausesFileHeaders(GenerationState &gen, Comp *instance);
void geneTransition(GenerationState &gen, Comp *instance, Transition *transition);
void geneStateformula(GenerationState &gen, Comp *instance, StateFormula *formula,
                      const std::string &transitionNumber, bool isPre);

// The number geneTransition gave a transition, which later instances of
// the type take over.
long geneTransitionNumber(const Transition *transition);
void setGeneTransitionNumber(const Transition *transition, long number);

#endif
