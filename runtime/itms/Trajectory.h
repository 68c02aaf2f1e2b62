// A trajectory of the runtime's reasoner: the discrete states of the last
// steps, one label per atom and step.
#ifndef MORVEL_RUNTIME_TRAJECTORY_H
#define MORVEL_RUNTIME_TRAJECTORY_H

#include <map>
#include <string>
#include <vector>

class Atom;

class Trajectory {
 public:
  Trajectory();
  ~Trajectory();

  // Appends a state; the oldest is dropped beyond the discrete window.
  void addState(const std::map<Atom *, std::string> &labels);

  // Discrete time window in steps; defined by the generated runtime source.
  static int twd;

  std::vector<std::map<Atom *, std::string>> *states;
};

#endif
