// What the diagnosis reads of the application: its mode variables with
// their values, faults and transitions, its exogenous commands and its
// observations, its components with the variables they compute, the
// condition variables and the clauses that hold under a condition.
#ifndef MORVEL_RUNTIME_DIAGNOSIS_MODEL_H
#define MORVEL_RUNTIME_DIAGNOSIS_MODEL_H

#include <string>
#include <unordered_map>
#include <vector>

#include "application.h"
#include "data_files.h"

class Transition;

// A literal of a transition's guard.
struct GuardLiteral {
  enum Kind { mode, command, entailed } kind;
  bool positive;
  int variable;  // mode variable or command, by rank
  int value;     // its value's rank
  Atom *atom;    // an atom of any other variable, for entailment
};

// A transition of one mode variable, from one value to another.
struct ModeTransition {
  int from;
  int to;
  double probability;
  bool anyLiteral;  // the guard is an "or" of its literals, else an "and"
  std::vector<GuardLiteral> guard;
  Transition *transition;  // for its mapping functions
};

// A variable of symbolic values: mode, exogenous command or observation.
struct SymbolVariable {
  StateVar *var;
  std::vector<std::string> values;  // sorted, as the variable holds them
  std::vector<Atom *> atoms;        // by value
};

struct ModeVariable : SymbolVariable {
  int component;     // rank in the components
  int defaultValue;
  int unknownValue;  // -1 without "unknown"
  std::vector<char> fault;
  std::vector<ModeTransition> transitions;
};

struct Component {
  Comp *comp;
  std::vector<int> modeVariables;
  std::vector<long> computed;  // its variables that have causes (inputs excepted), by position
};

class DiagnosisModel {
 public:
  explicit DiagnosisModel(const Application &application);

  std::vector<ModeVariable> modes;
  std::vector<SymbolVariable> commands;      // exogenous
  std::vector<SymbolVariable> observations;  // observable variables
  std::vector<Component> components;
  const Application &application;

  // The mode variable and value an atom stands for; false for another atom.
  bool modeAtom(const Atom *atom, int &variable, int &value) const;
  // Columns of the data files for the commands and the observations.
  std::vector<SymbolColumn> commandColumns() const;
  std::vector<SymbolColumn> observationColumns() const;

 private:
  void addTransition(Transition *transition);
  void addModeTransition(Transition *transition, int variable, int from, int to,
                         double probability);

  std::unordered_map<const Atom *, std::pair<int, int>> modeOf;
  std::unordered_map<const Atom *, std::pair<int, int>> commandOf;
};

#endif
