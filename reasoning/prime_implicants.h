// The search for prime implicants: for each observable, dependent or output
// command atom, the minimal sets of hypothesis atoms (mode, input command and
// condition values of its component and of the components it uses) that
// entail it under the compiled clauses.
//
// Modes: 2 uses nominal hypotheses only (no fault atom), 3 tests complete
// combinations of the candidates, 4 searches only atoms that guard a
// transition, any other non-zero value runs the standard breadth-first search.
#ifndef MORVEL_REASONING_PRIME_IMPLICANTS_H
#define MORVEL_REASONING_PRIME_IMPLICANTS_H

#include <map>
#include <vector>

#include "reasoning/pi_table.h"

class Atom;
class Comp;
class Trajectory;
class itms;
struct s_component;

// Candidate sets by size.
using SetsBySize = std::multimap<int, Implicant *>;

// Reads the application's ".pi" file into a new table of the reasoner, or
// searches every target of the model's instances (by generation rank) and
// writes the file when there was none.
void enumAllPI(itms *reasoner, int mode, const std::map<int, s_component *> &instancesByRank);
// The implicants of one atom, in a new list.
Implicants *enumPI(Atom *target, Trajectory *trajectory, itms *reasoner, int mode);
// The hypotheses worth extending (a new list); sets of size 1 go to bySize,
// singletons that entail the target to pis.
std::vector<Atom *> *enumSingletons(std::vector<Comp *> *comps, SetsBySize *bySize,
                                    Atom *target, Trajectory *trajectory, itms *reasoner,
                                    Implicants *pis, int mode);
// Extends each set of size - 1 by the candidates that come before all its
// members; true when a set of this size was kept for extension.
bool enumNextSize(Atom *target, std::vector<Atom *> *candidates, SetsBySize *bySize,
                  unsigned int size, Trajectory *trajectory, itms *reasoner, Implicants *pis,
                  unsigned int level);
// Tests every combination of candidates that no pass of cartVec extends further.
void enumCompleteSize(Atom *target, std::vector<Atom *> *candidates, Trajectory *trajectory,
                      itms *reasoner, Implicants *pis);
// One pass: every set grows by each candidate that comes before all its
// members and is of another variable (the first grows the set itself, the
// others copies appended to the list). True when a set grew.
bool cartVec(std::vector<Implicant *> *sets, std::vector<Atom *> *candidates, unsigned int pass);
// Tests one set, which it takes unless the answer is true: false with the set
// released when it contradicts the target, false with the set added to pis
// when it entails the target, true when it does neither (it may be extended).
bool satisTms(Implicant *set, Atom *target, Trajectory *trajectory, itms *reasoner,
              Implicants *pis);
// The set holds x, a value of x's variable, or an atom already processed.
bool hasStVar(const Implicant *set, const Atom *x, const Implicant *processed);
// Tests the set followed by x unless it contains a known implicant; the
// set itself is left as it is.
bool insertAtomInVec(Atom *target, Atom *x, Implicant *set, Trajectory *trajectory,
                     itms *reasoner, Implicants *pis);
// The set contains every atom of one of the implicants.
bool inImplicants(const Implicant *set, itms *reasoner, const Implicants *pis);
// Appends, depth first, the components reachable through imports not yet in acc.
void getImportedComps(Comp *comp, std::vector<Comp *> *acc);
// A new one-state trajectory over the session's atoms, with their labels.
Trajectory *initFakeTrajectory(itms *reasoner);
// The same with every label "unknown".
Trajectory *setAtomsToUnknown(itms *reasoner);

#endif
