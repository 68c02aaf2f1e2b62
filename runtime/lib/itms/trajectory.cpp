#include "Trajectory.h"

Trajectory::Trajectory() : states(new std::vector<std::map<Atom *, std::string>>()) {}

Trajectory::~Trajectory() { delete states; }

void Trajectory::addState(const std::map<Atom *, std::string> &labels) {
  states->push_back(labels);
  if (twd > 0 && states->size() > static_cast<size_t>(twd))
    states->erase(states->begin());
}
