// Probabilistic mode changes of a component type and the mapping functions
// that reset continuous variables when a transition fires.
#ifndef MORVEL_DISCRETE_TRANSITION_H
#define MORVEL_DISCRETE_TRANSITION_H

#include <map>
#include <string>
#include <vector>

class Atom;
class Formula;
class StateFormula;
class StateVar;
struct s_cond;
struct s_mapfVar;

// The assignments of a mapping function, guarded by a condition when cond is
// set. It owns its vector, not the assignments.
class MapFunc {
 public:
  explicit MapFunc(std::vector<s_mapfVar *> *assignments);
  MapFunc(s_cond *guard, std::vector<s_mapfVar *> *assignments);
  ~MapFunc() { delete vars; }
  MapFunc(const MapFunc &) = delete;
  MapFunc &operator=(const MapFunc &) = delete;

  void showMapFunc() const;

  s_cond *cond = nullptr;
  std::vector<s_mapfVar *> *vars;
};

// The post-conditions of a multi-post transition by key. Keys are kept in
// ascending order, so such a transition always prints the same way.
using PostMap = std::map<int, StateFormula *>;

class Transition {
 public:
  Transition(StateFormula *pre, StateFormula *post, std::string type);
  Transition(StateFormula *pre, StateFormula *post, std::string type, double p);
  Transition(StateFormula *pre, StateFormula *post, std::string type, double p, bool idle);
  Transition(StateFormula *pre, StateFormula *post, std::string type, double p, double p2,
             bool idle);
  Transition(StateFormula *pre, PostMap *posts, std::string type, double p);
  ~Transition();
  Transition(const Transition &) = delete;
  Transition &operator=(const Transition &) = delete;

  void setID(int number) { id = number; }
  std::string getType() const { return type; }
  // Registers the transition in the atoms of its formulas (see the .cpp).
  void addRefToAtoms();
  void addFormulaToTrans(Formula *formula) { formulas->push_back(formula); }
  void showTransition() const;

  int id = 0;
  std::string type;
  StateVar *modeVar = nullptr;
  Atom *preModeAtom = nullptr;
  Atom *postModeAtom = nullptr;
  double proba = 0.0;
  double computedProba = 0.0;
  double guardProba = 0.0;
  double proba2 = 0.0;
  StateFormula *pre;
  std::vector<StateFormula *> *extraFormulas = nullptr;  // owned when present
  StateFormula *post;
  int nbPosts = 1;
  PostMap *posts = nullptr;  // not owned
  std::vector<Formula *> *formulas;
  bool idle = false;
  bool valid = true;
  std::vector<MapFunc *> *mf = nullptr;  // owned when present
  int slot = -1;

 private:
  void linkPostAtoms(const StateFormula *formula, bool isFail, bool setPostModeAtom);
};

#endif
