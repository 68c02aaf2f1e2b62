// The runtime component: the base class of every generated component class.
// A generated class declares its state variables, atoms, formulas,
// transitions and continuous records as members; its init() creates them
// through the members and functions declared here and in sarn-runt.h.
#ifndef MORVEL_RUNTIME_COMPRT_H
#define MORVEL_RUNTIME_COMPRT_H

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Atom.h"
#include "StateFormula.h"
#include "StateVar.h"
#include "Transition.h"

// The generated classes name these standard types without their namespace.
using std::map;
using std::pair;
using std::set;
using std::string;
using std::vector;

class Clause;

class Comp {
 public:
  // Named; the imported components and the atom table start empty.
  explicit Comp(string na);
  ~Comp();

  // Makes this component the variable's owner and appends it.
  void addStateVar(StateVar *variable);
  void addTransitionToC(Transition *transition);

  string name;      // instance name
  string type;      // component type, set by the start-up function
  string var_name;  // instance variable of the generated runtime
  vector<CommandVar *> *cmd_in;     // commands received, NULL when none
  vector<CommandVar *> *cmd_out;    // commands issued, NULL when none
  vector<Comp *> *imported_comps;   // components used
  vector<StateVar *> *state_vars;
  vector<Transition *> *transitions;
  vector<Clause *> *external_clauses;  // clauses of the constraints; made by init()
  map<string, Atom *> *atoms;          // by member name
  // The class code gives the condition-table positions of the type's first
  // instance; a later instance's own conditions stand this much further.
  long condition_offset;
};

#endif
