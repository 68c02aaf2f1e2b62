// Discrete state variables of the runtime's components, one class per kind.
// The generated code creates them with the four-argument constructors.
#ifndef MORVEL_RUNTIME_STATE_VAR_H
#define MORVEL_RUNTIME_STATE_VAR_H

#include <map>
#include <set>
#include <string>
#include <vector>

class Atom;
class Clause;
class Comp;

// A variable with a finite domain of symbolic values; one atom per value.
class StateVar {
 public:
  // defaultAtom is written as an atom id: the variable name, "=", the value.
  StateVar(std::string name, std::set<std::string> values, std::string defaultAtom, Comp *comp);
  ~StateVar();

  const char *getName() const;
  std::string getCurrentState() const;
  void setCurrentState(const std::string &value);

  std::string name;
  std::string type;  // "Mode", "Dependent", "Observable", "Command" or "Cond"
  std::set<std::string> values;
  std::string defaultAtom;
  std::string currentState;
  Comp *comp;                                // owner
  std::vector<Atom *> *atomLinks;            // its atoms, in creation order
  std::vector<Clause *> *internal_clauses;   // the clauses of its domain
  bool exo;                                  // exogenous: its value is given, not diagnosed
};

// Continuous conditions tied to the values of a variable: atom id to the
// position of the condition in the runtime's condition table.
typedef std::multimap<std::string, long> ConditionTable;

class ModeVar : public StateVar {
 public:
  ModeVar(std::string name, std::set<std::string> values, std::string defaultAtom, Comp *comp);
  ~ModeVar();
  ConditionTable *conditions;
};

class DependentVar : public StateVar {
 public:
  DependentVar(std::string name, std::set<std::string> values, std::string defaultAtom, Comp *comp);
  ~DependentVar();
  ConditionTable *conditions;
};

class ObsVar : public DependentVar {
 public:
  ObsVar(std::string name, std::set<std::string> values, std::string defaultAtom, Comp *comp);
  std::string observed;  // the observed value, "" when none
};

class CommandVar : public StateVar {
 public:
  CommandVar(std::string name, std::set<std::string> values, std::string defaultAtom, Comp *comp);
  Comp *comp_lk;  // the component that issues the command
};

// A variable whose values are continuous conditions over some variables.
class CondVar : public StateVar {
 public:
  CondVar(std::string name, std::set<std::string> values, std::string defaultAtom, Comp *comp);
  ~CondVar();
  ConditionTable *conditions;
};

#endif
