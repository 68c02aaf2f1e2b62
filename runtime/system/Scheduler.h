// The runtime's scheduler: it holds the application's components and
// clauses and runs the diagnosis step by step over the input and measure
// files. The generated start-up function fills it.
#ifndef MORVEL_RUNTIME_SCHEDULER_H
#define MORVEL_RUNTIME_SCHEDULER_H

#include <vector>

#include "Clause.h"
#include "Comprt.h"
#include "Trajectory.h"
#include "sarn-runt.h"

class Scheduler {
 public:
  Scheduler();
  ~Scheduler();

  void addComp(Comp *comp);

  std::vector<Comp *> *comps;
  std::vector<Clause *> *cls;  // every clause of every component
};

// The application's start-up function, in its generated runtime source:
// creates the components, their clauses and the runtime record.
void startinit(Scheduler *sMM);

#endif
