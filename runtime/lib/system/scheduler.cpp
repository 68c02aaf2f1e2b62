#include "Scheduler.h"

Scheduler::Scheduler() : comps(new std::vector<Comp *>()), cls(new std::vector<Clause *>()) {}

Scheduler::~Scheduler() {
  delete comps;
  delete cls;
}

void Scheduler::addComp(Comp *comp) { comps->push_back(comp); }
