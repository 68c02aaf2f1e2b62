// Conditions made from discrete formulas, so that continuous rules and
// mapping functions can test the discrete state of their component.
#ifndef MORVEL_LANGUAGES_DEFINITION_CONDITION_BRIDGE_H
#define MORVEL_LANGUAGES_DEFINITION_CONDITION_BRIDGE_H

#include <string>
#include <vector>

#include "continuous/records.h"

class Atom;
class Comp;
class StateFormula;

// The conditions of every condition variable, in declaration order.
extern std::vector<s_cond *> condis;

// A new condition of the given type over its operands: numbered, named
// after the component instance, made the parent of its operands and
// appended to the session's conditions.
s_cond *newCondition(condType type, s_cond *op1, s_cond *op2, const Comp *comp);

// The condition that the atom is true (truth true) or false. The atom's own
// condition is made once; a false truth wraps it in a new "not" each time.
s_cond *mkCondAt(Atom *atom, bool truth, const Comp *comp);

// The condition equivalent to a state formula; null for a formula with
// neither atoms nor sub-formulas (no condition: always true).
s_cond *mkCondStf(const StateFormula *formula, const Comp *comp);

// The condition that the component is in one of the known values of its
// first mode variable.
s_cond *createModeStf(Comp *comp);

// A state formula that stands for a condition (written CONDITION c), and the
// condition a formula stands for, or null.
StateFormula *conditionStateFormula(s_cond *condition);
s_cond *standsForCondition(const StateFormula *formula);

// Forgets the atom conditions of a previous load.
void resetConditionBridge();

#endif
