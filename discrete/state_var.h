// Finite-domain state variables of a component type, one class per kind, and
// their atoms: the propositions "variable = value" that every discrete
// formula, clause and prime implicant is written with.
#ifndef MORVEL_DISCRETE_STATE_VAR_H
#define MORVEL_DISCRETE_STATE_VAR_H

#include <map>
#include <set>
#include <string>
#include <vector>

class Atom;
class Clause;
class Comp;
class Transition;
struct s_cond;
struct s_variable;

// A state variable. The subclasses only add fields and set the kind name;
// none of the operations is virtual, so a variable is released through its
// own class.
class StateVar {
 public:
  StateVar();
  explicit StateVar(std::string name);
  StateVar(std::string name, std::set<std::string> values);
  StateVar(std::string name, std::set<std::string> values, std::string defaultValue);
  StateVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp);
  StateVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp,
           bool exo);
  ~StateVar();
  StateVar(const StateVar &) = delete;
  StateVar &operator=(const StateVar &) = delete;

  void setValues(std::set<std::string> newValues);
  std::set<std::string> getValues() const { return values; }
  void addValue(std::string value);
  bool inValues(const std::string &value) const { return values.count(value) != 0; }
  // Accepted only for a value of the domain; the default is kept as the atom
  // name "variable=value".
  void setDefault(std::string value);
  std::string getDefault() const { return defaultValue; }
  std::string getCurrentState() const { return *currentState; }
  void setCurrentState(std::string value) { *currentState = std::move(value); }
  void setName(std::string newName) { name = std::move(newName); }
  std::string getName() const { return name; }
  const char *getCharName() const { return name.c_str(); }
  void setSymbName(std::string newName) { symbName = std::move(newName); }
  std::string getSymbName() const { return symbName; }
  void setComp(Comp *owner) { comp = owner; }
  Comp *getComp() const { return comp; }
  std::string getType() const { return type; }
  std::vector<Atom *> &getAtomLinks() { return atomLinks; }
  // Appends the atom and returns its index.
  int addAtomToLinks(Atom *atom);
  // Makes one atom per value, id "name=value", in the order the values were
  // written (addValue calls; sorted order for a domain given as a set).
  // The atoms belong to the caller (in practice to the component type).
  void createAtoms();
  // The values in written order, without repetitions.
  const std::vector<std::string> &getWrittenValues() const { return writtenValues; }

  void showValues() const;
  void showCurrentState() const;
  bool matchObs() const;

  std::set<std::string> values;  // the domain, sorted
  std::string type;              // kind name, "" for a bare variable
  std::string name;
  std::string symbName;
  std::string *currentState;
  std::string defaultValue;      // the default as an atom name, "" when none was accepted
  Comp *comp = nullptr;
  std::vector<Atom *> atomLinks;  // not owned
  bool exo = false;
  std::string observation;  // expected observed value, "" for none
  std::vector<Clause *> clauses;  // not owned
  int nbGuards = 0;

 private:
  std::vector<std::string> writtenValues;
};

class ModeVar : public StateVar {
 public:
  ModeVar();
  ModeVar(std::string name, std::set<std::string> values, std::string defaultValue);
  ModeVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp);
  ModeVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp,
          bool exo);

  std::vector<s_cond *> conditions;  // not owned
};

class DependentVar : public StateVar {
 public:
  DependentVar();
  DependentVar(std::string name, std::set<std::string> values, std::string defaultValue);
  DependentVar(std::string name, std::set<std::string> values, std::string defaultValue,
               Comp *comp);
  DependentVar(std::string name, std::set<std::string> values, std::string defaultValue,
               Comp *comp, bool exo);

  std::vector<s_cond *> conditions;  // not owned
};

class ObsVar : public DependentVar {
 public:
  ObsVar();
  ObsVar(std::string name, std::set<std::string> values, std::string defaultValue);
  ObsVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp);
  ObsVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp,
         bool exo);
  ObsVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp,
         std::string observed);
  // A literal observation must not be taken for the exogenous flag.
  ObsVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp,
         const char *observed);

  // True when nothing is to be observed or the current value is the observation.
  bool matchObs() const;

  std::string observed;
};

class CommandVar : public StateVar {
 public:
  CommandVar();
  CommandVar(std::string name, std::set<std::string> values, std::string defaultValue);
  CommandVar(std::string name, std::set<std::string> values, std::string defaultValue,
             Comp *comp);
  CommandVar(std::string name, std::set<std::string> values, std::string defaultValue,
             Comp *comp, bool exo);

  bool cmdIn = false;   // the component's input command
  bool cmdOut = false;  // the component's output command
};

class CondVar : public StateVar {
 public:
  CondVar();
  CondVar(std::string name, std::set<std::string> values, std::string defaultValue);
  CondVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp);
  // A condition variable is never exogenous: exo is ignored.
  CondVar(std::string name, std::set<std::string> values, std::string defaultValue, Comp *comp,
          bool exo);

  void showConditions() const;

  std::vector<s_variable *> variables;  // not owned
  std::vector<s_cond *> conditions;     // not owned
};

// The proposition that a variable has one value of its domain.
class Atom {
 public:
  Atom(StateVar *var, const std::string &value, const std::string &id);
  Atom(StateVar *var, const std::string &value, const std::string &id, const bool &flag);
  ~Atom();
  Atom(const Atom &) = delete;
  Atom &operator=(const Atom &) = delete;

  StateVar *getStateVar() const { return stateVar; }
  std::string getValue() const { return value; }
  const char *getId() const { return id.c_str(); }
  std::string getLabel() const { return label; }
  void setLabel(const std::string &newLabel) { label = newLabel; }
  // With exclusive set, a "true" label makes every other atom of the variable "false".
  void setLabel(const std::string &newLabel, const bool &exclusive);
  // Makes this value the variable's current one and the only true atom of it.
  void set();
  // True when the variable's current value is this atom's value.
  bool evalAtom() const;
  void addRefTransPre(Transition *transition) { transPre.push_back(transition); }
  void addRefTransPost(Transition *transition) { transPost.push_back(transition); }
  // The atom of the same variable with this id, or null.
  Atom *getAtomLink(const std::string &atomId) const;
  std::string getVarType() const;
  Comp *getVarComp() const;
  void showAtom(bool full) const;
  void incTopoNumber() { ++topoNumber; }
  void decTopoNumber() { --topoNumber; }
  int getTopoNumber() const { return topoNumber; }

  StateVar *stateVar = nullptr;
  std::string value;
  std::string id;
  int linkIndex = 0;
  bool fault = false;
  std::vector<Transition *> transPre;   // not owned
  std::vector<Transition *> transPost;  // not owned
  Clause *support = nullptr;
  std::vector<Atom *> dependents;
  std::vector<Clause *> clauses;
  std::map<std::string, Comp *> comps;
  std::string label = "unknown";
  int propagationNumber = 0;
  bool flag = false;
  double proba = 0.0;
  Transition *idleTrans = nullptr;
  int nbGuards = 0;
  std::map<std::string, std::string> *attributes = nullptr;
  int topoNumber = 0;

 private:
  void labelSiblings(const std::string &siblingLabel);
};

#endif
