// Time-indexed labels of the atoms: a trajectory is a sequence of states, a
// state holds one element per atom with its own label, so that reasoning can
// try labels without touching the atoms themselves.
#ifndef MORVEL_REASONING_TRAJECTORY_H
#define MORVEL_REASONING_TRAJECTORY_H

#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "discrete/comp.h"

class Atom;
class StateFormula;
class StateVar;
class Transition;

// Hash and equality of C-string keys by content.
struct CStringHash {
  std::size_t operator()(const char *text) const {
    return std::hash<std::string_view>()(std::string_view(text));
  }
};
struct CStringEqual {
  bool operator()(const char *first, const char *second) const {
    return std::strcmp(first, second) == 0;
  }
};

class TrajEl;
// Elements by id; the keys are the atoms' own ids.
using TrajElTable = std::unordered_map<const char *, TrajEl *, CStringHash, CStringEqual>;
using TransitionsById = std::map<int, Transition *>;

// One atom at one time step, with its own label.
class TrajEl {
 public:
  TrajEl();
  // nextTrans receives the non-null entries of next, when given.
  TrajEl(Atom *atom, Transition *trans, const TransitionsById *next, std::string label);
  explicit TrajEl(const TrajEl *other);
  ~TrajEl() { ++trajel_del; }
  TrajEl(const TrajEl &) = delete;
  TrajEl &operator=(const TrajEl &) = delete;

  // Both stand for the same atom.
  bool eq(const TrajEl &other) const { return atom == other.atom; }
  bool evalTrajEl() const { return label == "true"; }
  // A transition of the same mode variable replaces the earlier ones.
  void addToNextTrans(Transition *transition) { addTo(nextTrans, transition); }
  void addToNextTransNeg(Transition *transition) { addTo(nextTransNeg, transition); }
  // Scales the element's probability.
  void updateProba(double factor) { proba *= factor; }
  const char *getId() const;
  std::string getLabel() const { return label; }
  void setLabel(const std::string &newLabel) { label = newLabel; }
  StateVar *getStateVar() const;
  std::string getVarType() const;
  // The element's atom's sibling of that id, or null.
  Atom *getAtomLink(const std::string &id) const;
  void setAtom(Atom *newAtom) { atom = newAtom; }
  void showAtom(bool full) const;
  // The id and label; with full, also the producing transition and the
  // next transitions.
  void showTrajEl(bool full) const;

  Atom *atom = nullptr;
  int mark = 0;
  Transition *trans = nullptr;
  int rank = -1;
  TransitionsById nextTrans;
  TransitionsById nextTransNeg;
  std::string label;
  int count = 0;
  std::vector<TrajEl *> links;  // elements not owned
  int lock = 0;
  int kind = 2;
  double proba = 1.0;

  static unsigned long trajel_created;
  static unsigned long trajel_del;

 private:
  static void addTo(TransitionsById &into, Transition *transition);
};

// The elements of all atoms at one time step.
class State {
 public:
  State();
  // One element per atom with the atom's label, then the idle transitions
  // enabled here and the probabilities of the transitions that lead here.
  explicit State(const AtomTable *atoms);
  // A copy of every element (keeping their transitions when keep is set) and
  // of the bookkeeping.
  State(const State *other, bool keep);
  ~State();
  State(const State &) = delete;
  State &operator=(const State &) = delete;

  // Enters a copy of the element under its id, replacing an earlier one;
  // without keep the copy forgets its transition and gets kind 2.
  void addElt(const TrajEl *element, bool keep);
  TrajEl *getElt(const char *id) const;
  // The formula on the labels of this state; an atom without element counts
  // as false. The second state, when given, answers for the atoms missing here.
  bool evalStateFormula(const StateFormula *formula, const State *fallback) const;
  // Records, for every transition leading to a true element whose post
  // formula holds here, its probability.
  void computePrevTransProb();
  // The recorded probability of reaching this state through the transition, 0.0 when none.
  double getTransitionPostProb(const Transition *transition) const;
  // Releases every element.
  void clear();
  // One line "id : label" per element, in id order.
  void showState() const;
  // The elements in id order with their transitions, then the bookkeeping.
  void showFullState() const;

  TrajElTable elements;  // owned elements
  int idleCount = 0;
  std::map<int, double> postProbs;
  std::multimap<int, Transition *> candidates;
  std::map<std::string, std::map<int, double>> compTransProbs;
  std::map<std::string, Comp *> idleComps;
  std::vector<Atom *> atoms;
  double proba = 1.0;
  double cover = 0.0;
  int rank = 0;  // fault atoms labelled true when the state was built

  static unsigned long state_created;
  static unsigned long state_del;

 private:
  // A copied state makes its elements in one block, as the reasoning copies
  // whole states for every test.
  bool pooled(const TrajEl *element) const {
    return element >= pool && element < pool + poolSize;
  }
  void release(TrajEl *element);

  TrajEl *pool = nullptr;
  std::size_t poolSize = 0;
  bool literalHolds(const Atom *atom, bool positive, const State *fallback) const;
  std::vector<const TrajEl *> sortedElements() const;
};

// States by time step, from step 0 on.
class Trajectory {
 public:
  Trajectory();
  // One state at step 0 over the atoms.
  explicit Trajectory(const AtomTable *atoms);
  // Copies of the states of other below step n; the current time is n - 1.
  Trajectory(const Trajectory *other, int n);
  ~Trajectory();
  Trajectory(const Trajectory &) = delete;
  Trajectory &operator=(const Trajectory &) = delete;

  // Takes the state; a step one past the current time advances it.
  void addState(int step, State *state);
  // As addState with a copy of the state.
  void addCopyState(int step, const State *state, bool keep);
  State *getState(int step) const;
  State *getLastState() const { return getState(currentTime); }
  int getCurrentTime() const { return currentTime; }
  TrajEl *getElt(int step, const char *id) const;
  // The element in the last state.
  TrajEl *getElt(const char *id) const { return getElt(currentTime, id); }
  // Enters a copy of the element in the state of that step, when there is one.
  void insertElt(int step, const TrajEl *element, bool keep);
  // The state's rank: the number of fault atoms it held true when built.
  double getStateRank(const State *state) const { return state->rank; }
  // Every state, in step order, as printed by showState.
  void showTrajectory() const;
  // One line per step: the step and the ids of its true elements.
  void showTrajectoryLight() const;

  std::map<int, State *> states;  // owned
  int currentTime = 0;
  double rankSum = 0.0;
  int stepCount = 0;

  static unsigned long traj_created;
  static unsigned long traj_del;
};

#endif
