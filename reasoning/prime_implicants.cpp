#include "reasoning/prime_implicants.h"

#include <algorithm>
#include <ctime>
#include <iostream>
#include <set>

#include "common/session.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "reasoning/itms.h"
#include "reasoning/propagation.h"
#include "reasoning/trajectory.h"

namespace {

bool contains(const Implicant *set, const Atom *atom) {
  return std::find(set->begin(), set->end(), atom) != set->end();
}

bool isTarget(const Atom *atom) {
  const StateVar *variable = atom->stateVar;
  if (!variable)
    return false;
  return variable->type == "Dependent" || variable->type == "Observable" ||
         (variable->type == "Command" && static_cast<const CommandVar *>(variable)->cmdOut);
}

bool isHypothesis(const StateVar *variable) {
  return variable->type == "Mode" || variable->type == "Cond" ||
         (variable->type == "Command" && !static_cast<const CommandVar *>(variable)->cmdOut);
}

// Whether the target with that label and every atom of the set true can hold,
// tested on a fresh copy of the working state.
bool consistent(const Implicant *set, Atom *target, bool targetLabel, Trajectory *trajectory,
                itms *reasoner, unsigned int wanted) {
  Trajectory copy(trajectory, 1);
  State *state = copy.getLastState();
  Proposals proposals;
  if (TrajEl *element = state->getElt(target->getId()))
    proposals.emplace(targetLabel, element);
  for (const Atom *atom : *set)
    if (TrajEl *element = state->getElt(atom->getId()))
      proposals.emplace(true, element);
  std::vector<ItmsRes *> *results = reasoner->testImplicants(
      &proposals, nullptr, state, nullptr, false, 100.0, 0.0, &copy, 0, true, wanted);
  bool found = !results->empty();
  for (ItmsRes *result : *results)
    delete result;
  delete results;
  return found;
}

}  // namespace

Trajectory *initFakeTrajectory(itms *) { return new Trajectory(DataManager::active_atoms); }

Trajectory *setAtomsToUnknown(itms *reasoner) {
  Trajectory *trajectory = initFakeTrajectory(reasoner);
  for (auto &entry : trajectory->getLastState()->elements)
    entry.second->label = "unknown";
  return trajectory;
}

void getImportedComps(Comp *comp, std::vector<Comp *> *acc) {
  if (!comp->importedComps)
    return;
  for (Comp *imported : *comp->importedComps)
    if (std::find(acc->begin(), acc->end(), imported) == acc->end()) {
      acc->push_back(imported);
      getImportedComps(imported, acc);
    }
}

bool hasStVar(const Implicant *set, const Atom *x, const Implicant *processed) {
  for (const Atom *member : *set)
    if (member == x || member->stateVar == x->stateVar || contains(processed, member))
      return true;
  return false;
}

bool inImplicants(const Implicant *set, itms *, const Implicants *pis) {
  for (const Implicant *implicant : *pis)
    if (std::all_of(implicant->begin(), implicant->end(),
                    [set](const Atom *atom) { return contains(set, atom); }))
      return true;
  return false;
}

bool satisTms(Implicant *set, Atom *target, Trajectory *trajectory, itms *reasoner,
              Implicants *pis) {
  if (!consistent(set, target, true, trajectory, reasoner, 1)) {
    delete set;
    return false;
  }
  if (consistent(set, target, false, trajectory, reasoner, 0))
    return true;
  std::cout << "\t=> ";
  for (const Atom *atom : *set)
    std::cout << atom->getId() << " /\\ ";
  std::cout << std::endl;
  pis->push_back(set);
  return false;
}

bool insertAtomInVec(Atom *target, Atom *x, Implicant *set, Trajectory *trajectory,
                     itms *reasoner, Implicants *pis) {
  auto *extended = new Implicant(*set);
  extended->push_back(x);
  if (inImplicants(extended, reasoner, pis)) {
    delete extended;
    return false;
  }
  if (!satisTms(extended, target, trajectory, reasoner, pis))
    return false;
  delete extended;
  return true;
}

std::vector<Atom *> *enumSingletons(std::vector<Comp *> *comps, SetsBySize *bySize,
                                    Atom *target, Trajectory *trajectory, itms *reasoner,
                                    Implicants *pis, int mode) {
  std::cout << "\t( " << comps->size() << " comp )\n";
  auto *candidates = new std::vector<Atom *>();
  std::set<const StateVar *> seen;
  for (Comp *comp : *comps) {
    if (!comp->stateVariables)
      continue;
    for (StateVar *variable : *comp->stateVariables) {
      if (!isHypothesis(variable) || !seen.insert(variable).second)
        continue;
      for (Atom *x : variable->atomLinks) {
        if ((mode == 2 && x->fault) || (variable->type == "Mode" && x->value == "unknown"))
          continue;
        if (mode == 3 && comps->size() > 5) {
          candidates->push_back(x);
          continue;
        }
        auto *single = new Implicant{x};
        if (satisTms(single, target, trajectory, reasoner, pis)) {
          bySize->emplace(1, single);
          candidates->push_back(x);
        }
      }
    }
  }
  return candidates;
}

bool enumNextSize(Atom *target, std::vector<Atom *> *candidates, SetsBySize *bySize,
                  unsigned int size, Trajectory *trajectory, itms *reasoner, Implicants *pis,
                  unsigned int) {
  std::vector<Implicant *> previous;
  auto range = bySize->equal_range(static_cast<int>(size) - 1);
  for (auto entry = range.first; entry != range.second; ++entry)
    previous.push_back(entry->second);
  bool kept = false;
  Implicant processed;
  for (Atom *x : *candidates) {
    processed.push_back(x);
    for (Implicant *set : previous) {
      if (hasStVar(set, x, &processed) ||
          !insertAtomInVec(target, x, set, trajectory, reasoner, pis))
        continue;
      auto *extended = new Implicant(*set);
      extended->push_back(x);
      bySize->emplace(static_cast<int>(size), extended);
      kept = true;
    }
  }
  return kept;
}

bool cartVec(std::vector<Implicant *> *sets, std::vector<Atom *> *candidates, unsigned int) {
  bool grew = false;
  std::size_t count = sets->size();
  for (std::size_t i = 0; i < count; ++i) {
    const Implicant original = *(*sets)[i];
    Implicant processed;
    bool extended = false;
    for (Atom *x : *candidates) {
      processed.push_back(x);
      if (hasStVar(&original, x, &processed))
        continue;
      if (!extended) {
        (*sets)[i]->push_back(x);
        extended = true;
      } else {
        auto *copy = new Implicant(original);
        copy->push_back(x);
        sets->push_back(copy);
      }
      grew = true;
    }
  }
  return grew;
}

void enumCompleteSize(Atom *target, std::vector<Atom *> *candidates, Trajectory *trajectory,
                      itms *reasoner, Implicants *pis) {
  std::vector<Implicant *> sets;
  for (Atom *candidate : *candidates)
    sets.push_back(new Implicant{candidate});
  std::cout << "single size: " << candidates->size() << std::endl;
  bool grew;
  unsigned int pass = 0;
  do {
    grew = cartVec(&sets, candidates, pass++);
    std::cout << "candis size: " << sets.size() << std::endl;
  } while (grew);
  std::cout << "candidates size: " << sets.size() << std::endl;
  for (std::size_t i = 0; i < sets.size(); ++i)
    if (i == 0 || satisTms(sets[i], target, trajectory, reasoner, pis))
      delete sets[i];
}

Implicants *enumPI(Atom *target, Trajectory *trajectory, itms *reasoner, int mode) {
  std::vector<Comp *> comps;
  if (Comp *own = target->getVarComp()) {
    getImportedComps(own, &comps);
    if (std::find(comps.begin(), comps.end(), own) == comps.end())
      comps.push_back(own);
  }
  auto *pis = new Implicants();
  SetsBySize bySize;
  std::vector<Atom *> *candidates =
      enumSingletons(&comps, &bySize, target, trajectory, reasoner, pis, mode);
  if (mode == 3) {
    enumCompleteSize(target, candidates, trajectory, reasoner, pis);
  } else {
    for (unsigned int size = 2; size <= candidates->size(); ++size)
      if (!enumNextSize(target, candidates, &bySize, size, trajectory, reasoner, pis, 0))
        break;
  }
  for (auto &entry : bySize)
    delete entry.second;
  delete candidates;
  if (pis->empty())
    std::cout << "Warning: no prime implicants found for " << target->getId() << std::endl;
  return pis;
}

void enumAllPI(itms *reasoner, int mode, const std::map<int, s_component *> &instancesByRank) {
  auto *table = new PiTable();
  int read = reasoner->readPI(table);
  delete reasoner->piTable;
  reasoner->piTable = table;
  if (read == 1)
    return;
  if (read == -1)
    std::cout << "error while reading prime implicants file\n";
  Trajectory *working = initFakeTrajectory(reasoner);
  std::cout << "generating prime implicants " << (mode == 2 ? "( nominal propositions only )" : "")
            << " ...";
  std::clock_t start = std::clock();
  for (const auto &ranked : instancesByRank) {
    Comp *comp = ranked.second->comp;
    if (!comp || !comp->atoms)
      continue;
    for (const auto &entry : *comp->atoms) {
      Atom *atom = entry.second;
      if ((mode == 4 && atom->transPre.empty()) || !isTarget(atom))
        continue;
      std::cout << "\nsearching " << atom->getId() << "... " << std::endl;
      table->addPIAtom(atom, enumPI(atom, working, reasoner, mode));
    }
  }
  std::cout << static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC << " seconds.\n";
  if (read == 0)
    table->writePI(appliName.c_str());
  delete working;
}
