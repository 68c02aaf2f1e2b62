// An atom of the runtime: the proposition that a state variable has one of
// its values, with its truth label.
#ifndef MORVEL_RUNTIME_ATOM_H
#define MORVEL_RUNTIME_ATOM_H

#include <string>
#include <vector>

class Clause;
class StateVar;
class Transition;

class Atom {
 public:
  // id names the atom: the component name, ".", the variable, "=", the value.
  Atom(StateVar *variable, std::string value, std::string id);
  ~Atom();

  const char *getId() const;
  StateVar *getStateVar() const;
  // "true", "false" or "unknown".
  const std::string &getLabel() const;
  void setLabel(const std::string &label);

  StateVar *stateVar;
  std::string value;
  std::string id;
  std::string label;
  int cond;  // 1 when continuous conditions are tied to the atom
  std::vector<Transition *> *transPre;   // transitions it enables
  std::vector<Transition *> *transPost;  // transitions that lead to it
  std::vector<Clause *> *clauses;        // clauses it occurs in
};

#endif
