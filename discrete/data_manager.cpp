#include "discrete/data_manager.h"

#include <cstdio>
#include <iostream>

#include "discrete/state_var.h"
#include "discrete/transition.h"

void CompTable::put(const std::string &name, Comp *comp) {
  auto found = positions.find(name);
  if (found != positions.end()) {
    entries[found->second].second = comp;
    return;
  }
  positions.emplace(name, entries.size());
  entries.emplace_back(name, comp);
}

Comp *CompTable::find(const std::string &name) const {
  auto found = positions.find(name);
  return found != positions.end() ? entries[found->second].second : nullptr;
}

void CompTable::clear() {
  entries.clear();
  positions.clear();
}

// Never destroyed: the model lives until the process ends, reachable to the last.
CompTable &DataManager::active_comps = *new CompTable();
AtomTable *DataManager::active_atoms = new AtomTable();
std::map<int, Transition *> DataManager::active_trans;
std::vector<Clause *> *DataManager::cls = new std::vector<Clause *>();
std::map<int, double> DataManager::states_cover;
double DataManager::traj_cover = 0.0;
std::string DataManager::model_name;
std::ofstream DataManager::benchmk_stream;
std::ofstream DataManager::itms_stream;
unsigned int DataManager::itms_calls = 0;

void DataManager::init() {
  nbClauses = 0;
  states_cover[0] = 0.0;
}

void DataManager::addComp(Comp *comp) { active_comps.put(comp->name, comp); }

Comp *DataManager::getComp(const char *name) { return active_comps.find(name); }

void DataManager::addAtom(Atom *atom) { (*active_atoms)[atom->id] = atom; }

Atom *DataManager::getAtom(const char *id) {
  auto found = active_atoms->find(id);
  return found != active_atoms->end() ? found->second : nullptr;
}

void DataManager::showComps() {
  for (const auto &entry : active_comps)
    std::cout << entry.first << " -- " << entry.second->name << " ( " << entry.second->varName
              << " )\n";
  std::cout << "\n";
}

void DataManager::showComp(const char *name) {
  Comp *comp = getComp(name);
  if (comp == nullptr)
    dataError(1, 1);
  else
    comp->showComp();
}

void DataManager::showAtoms() {
  for (const auto &entry : *active_atoms)
    std::cout << entry.second->id << " ";
  std::cout << "\n";
}

void DataManager::graphComp(const char *) {}

void DataManager::openBenchmarkFiles() {
  benchmk_stream.open("bench1.bmk", std::ios::out | std::ios::trunc);
  itms_stream.open("itmsbench.bmk", std::ios::out | std::ios::trunc);
}

// Each line is flushed at once: a restart replaces the program image without
// running the stream destructors.
void DataManager::addBmkEntry(int k, double x, bool b, unsigned int n) {
  benchmk_stream << k << " " << x << " " << (b ? 1 : 0) << " " << n << std::endl;
  std::cout << "[DataManager] --> added to benchmark_file : " << k << " " << x << " "
            << (b ? 1 : 0) << " " << n << "\n";
}

void DataManager::addItmsBmkEntry(double seconds, unsigned int solutions,
                                  std::vector<const char *> *names) {
  itms_stream << itms_calls++ << " " << seconds << " " << solutions << " ";
  if (names != nullptr)
    for (const char *name : *names)
      itms_stream << name << " ";
  itms_stream << std::endl;
}

void DataManager::dataError(long kind, long message) {
  const char *text = message == 1 ? "component doesn't exist." : "";
  if (kind == 0)
    std::fprintf(stderr, "Request error.\n ...%s\n", text);
  else if (kind == 1)
    std::fprintf(stderr, "Warning.\n  ...%s\n", text);
}

void DataManager::updateStatesCover(int step, const Transition *transition) {
  if (active_comps.empty())
    return;
  states_cover[step] += transition->computedProba / static_cast<double>(active_comps.size());
}

void DataManager::updateTrajectoriesCover() {
  if (states_cover.empty())
    return;
  for (const auto &entry : states_cover)
    traj_cover += entry.second;
  traj_cover /= static_cast<double>(states_cover.size());
}
