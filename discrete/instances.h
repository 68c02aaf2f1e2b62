// The component instances of the loaded model, the discrete variables
// declared so far, and the lookups of components, variables and atoms by name.
#ifndef MORVEL_DISCRETE_INSTANCES_H
#define MORVEL_DISCRETE_INSTANCES_H

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class Atom;
class Comp;
class StateVar;

// One declared instance variable of the model file.
struct s_component {
  std::string type;     // component type name
  std::string varName;  // instance variable name
  std::string name;     // instance name, set at instantiation
  Comp *comp = nullptr;
  std::vector<std::string> args;  // instantiation arguments after the name
};

// The instance records in declaration order, owned, found by instance
// variable name (the first declared wins).
class ComponentList {
 public:
  void append(std::unique_ptr<s_component> record);
  s_component *find(const std::string &varName) const;
  const std::vector<std::unique_ptr<s_component>> &records() const { return list; }
  std::size_t size() const { return list.size(); }
  void clear();

 private:
  std::vector<std::unique_ptr<s_component>> list;
  std::unordered_map<std::string, s_component *> byVarName;
};

// Pairs (qualified name "instance.variable", variable) in declaration order,
// found by name (the first declared wins).
class DiscVariableList {
 public:
  using value_type = std::pair<std::string, StateVar *>;

  void append(const std::string &qualifiedName, StateVar *variable);
  StateVar *find(const std::string &qualifiedName) const;
  std::vector<value_type>::const_iterator begin() const { return list.begin(); }
  std::vector<value_type>::const_iterator end() const { return list.end(); }
  std::size_t size() const { return list.size(); }
  void clear();

 private:
  std::vector<value_type> list;
  std::unordered_map<std::string, StateVar *> byName;
};

extern ComponentList &comps;
extern DiscVariableList &variables_disc;

// The component of the first instance declared with that variable name, or null.
Comp *findComp(const std::string &name);
// A discrete variable as seen from the component: by its own name, else
// through the local names of the components it uses. A miss reports
// "variable not found." once and gives null.
StateVar *findDiscVariable(Comp *component, const std::string &name);
// The atom "instance.variable=value", or null; the component is not used.
Atom *findAtom(const std::string &atomName, Comp *component);
// True when an input command of the component belongs to a component of the type.
bool isCommandComp(const Comp *component, const std::string &type);
// True when the component depends on the type through its input commands or
// the components it uses, at any depth.
bool isIncludedInComp(const Comp *component, const std::string &type);
bool inVector(const std::string &name, const std::vector<std::string> &list);

#endif
