// A component of the loaded model: the discrete and continuous content read
// from its type's definition file, its links to the components it uses and
// to its commands, and after clause compilation its clauses and atoms.
#ifndef MORVEL_DISCRETE_COMP_H
#define MORVEL_DISCRETE_COMP_H

#include <map>
#include <string>
#include <utility>
#include <vector>

class Atom;
class Clause;
class CommandVar;
class Formula;
class StateVar;
class Transition;
struct s_cond;
struct s_influence;
struct s_listsarnExpr;
struct s_listsarnGVar;
struct s_listsarnInitVar;
struct s_variable;

// Atoms by id.
using AtomTable = std::map<std::string, Atom *>;

// A component owns its containers and its transitions and constraints; the
// state variables and their atoms belong to the component type that declared
// them and are not released here.
class Comp {
 public:
  // Only the strings: every container is absent.
  Comp() = default;
  // Named, with every owned container created empty.
  explicit Comp(std::string name);
  ~Comp();
  Comp(const Comp &) = delete;
  Comp &operator=(const Comp &) = delete;

  const char *getName() const { return name.c_str(); }
  void setName(std::string newName) { name = std::move(newName); }
  const char *getVarName() const { return varName.c_str(); }
  std::vector<StateVar *> *getStateVariables() { return stateVariables; }
  void setStateVariables(std::vector<StateVar *> *variables);
  // The first state variable of that name, or null.
  StateVar *getStateVariable(const std::string &variableName) const;
  // Makes this component the variable's owner and appends it.
  void addStateVar(StateVar *variable);
  void addVariable(s_variable *variable);
  std::vector<Formula *> *getConstraints() { return constraints; }
  void setConstraints(std::vector<Formula *> *formulas);
  void addFormulaToCS(Formula *formula);
  void addInfluence(s_influence *influence);
  std::vector<Transition *> *getCompTransitions() { return transitions; }
  void setCompTransitions(std::vector<Transition *> *newTransitions);
  void addTransitionToC(Transition *transition);
  // Mean probability of the "Nominal" transitions, 0.0 without any.
  void computeNominalCover();
  // Counts the guards of each transition's pre mode atom and mode variable.
  void getTransitionsGuards();
  // The definition name paired with an instance name, and the reverse; ""
  // when there is no such pair or no correspondence list.
  std::string findCorresDef(const std::string &instanceName) const;
  std::string findCorresName(const std::string &definitionName) const;
  void showComp() const;

  std::string typeName;
  std::string name;
  int count = 0;
  std::vector<CommandVar *> *cmdIn = nullptr;
  std::vector<StateVar *> *stateVariables = nullptr;
  std::vector<Formula *> *constraints = nullptr;  // null once compiled into clauses
  std::vector<Clause *> *clauses = nullptr;       // made by clause compilation; clauses not owned
  // The clauses of the conclusions of the constraints written CONDITION c =>
  // (...): each holds only when its condition does. Made by clause
  // compilation, outside the compiled clause list; clauses not owned.
  std::vector<std::pair<s_cond *, Clause *>> conditionClauses;
  std::vector<s_variable *> *variables = nullptr;
  std::vector<s_influence *> *influences = nullptr;
  std::vector<Transition *> *transitions = nullptr;
  std::vector<Comp *> *importedComps = nullptr;
  // (definition name, instance name) pairs.
  std::vector<std::pair<std::string, std::string>> *correspondences = nullptr;
  AtomTable *atoms = nullptr;  // atoms not owned
  double nominalCover = 0.0;
  std::string varName;
  bool commanded = false;
  bool instantiated = false;
  bool generated = false;
  s_listsarnGVar *gvars = nullptr;
  s_listsarnExpr *globalConstraints = nullptr;
  s_listsarnInitVar *initVars = nullptr;
  s_listsarnExpr *condExprs = nullptr;
  int clauseCount = 0;
};

#endif
