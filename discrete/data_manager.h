// The session-wide registry of components and atoms, the compiled clauses and
// numbered transitions, and the two benchmark files.
#ifndef MORVEL_DISCRETE_DATA_MANAGER_H
#define MORVEL_DISCRETE_DATA_MANAGER_H

#include <cstddef>
#include <fstream>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "discrete/comp.h"

class Clause;
class Transition;

// Components by name, walked in the order their names were first
// registered; registering a name again replaces the component in place.
class CompTable {
 public:
  using value_type = std::pair<std::string, Comp *>;
  using const_iterator = std::vector<value_type>::const_iterator;

  void put(const std::string &name, Comp *comp);
  // The component of that name, or null.
  Comp *find(const std::string &name) const;
  const_iterator begin() const { return entries.begin(); }
  const_iterator end() const { return entries.end(); }
  std::size_t size() const { return entries.size(); }
  bool empty() const { return entries.empty(); }
  void clear();

 private:
  std::vector<value_type> entries;
  std::unordered_map<std::string, std::size_t> positions;
};

class DataManager {
 public:
  DataManager() { init(); }

  // Resets the clause count and the cover of step 0.
  void init();

  static void addComp(Comp *comp);
  static Comp *getComp(const char *name);
  static void addAtom(Atom *atom);
  static Atom *getAtom(const char *id);
  static void showComps();
  static void showComp(const char *name);
  static void showAtoms();
  // A figure of one component; none is drawn.
  static void graphComp(const char *name);

  // Creates (truncating) "bench1.bmk" and "itmsbench.bmk" in the current
  // directory; called once at start-up.
  static void openBenchmarkFiles();
  static void addBmkEntry(int k, double x, bool b, unsigned int n);
  static void addItmsBmkEntry(double seconds, unsigned int solutions,
                              std::vector<const char *> *names);
  // Writes a request error (kind 0) or a warning (kind 1) to standard error.
  static void dataError(long kind, long message);

  static void updateStatesCover(int step, const Transition *transition);
  static void updateTrajectoriesCover();

  static CompTable &active_comps;
  static AtomTable *active_atoms;
  static std::map<int, Transition *> active_trans;
  static std::vector<Clause *> *cls;
  static std::map<int, double> states_cover;
  static double traj_cover;
  static std::string model_name;
  static std::ofstream benchmk_stream;
  static std::ofstream itms_stream;
  static unsigned int itms_calls;

  int nbClauses = 0;
};

#endif
