// The diagnosis: the most probable assignments of modes kept from step to
// step, each with its probability, its own continuous state and the steps at
// which its faults began. A step takes the successors of every kept
// assignment in decreasing prior, weighs each (discrete consistency, then
// the likelihood of the measures under its own prediction), merges those of
// the same modes, normalises and keeps the best.
#ifndef MORVEL_RUNTIME_DIAGNOSER_H
#define MORVEL_RUNTIME_DIAGNOSER_H

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "continuous_step.h"
#include "diagnosis_model.h"
#include "settings.h"
#include "solver.h"
#include "transitions.h"

// A measure this many deviations from its prediction is a discrepancy.
const double kDiscrepancy = 2;

struct Fault {
  int variable;  // mode variable, by rank
  int value;
  long since;    // the step it began
};

struct RankedAssignment {
  double probability;
  std::vector<int> modes;
  std::vector<Fault> faults;
};

// Where the symbolic columns of a kind are read: a file and the rank of the
// kind's first column among its symbolic columns.
struct SymbolSource {
  const DataFile *file = NULL;
  size_t offset = 0;
};

// The commands in force at a time: the row in force, the first row before
// it; -1 for a command without column.
std::vector<int> commandsAt(const DiagnosisModel &model, const SymbolSource &source, double time);

// What the diagnosis reads of a run.
struct DiagnosisEvidence {
  const DataFile *inputs = NULL;
  const DataFile *measures = NULL;
  SymbolSource commands;
  SymbolSource observations;
};

// What one step found.
struct StepDiagnosis {
  long step = 0;
  std::vector<RankedAssignment> ranked;  // the kept assignments, most probable first
  long weighed = 0;                      // successors weighed
  bool more = false;                     // more successors or assignments were possible
  double kept = 1;                       // probability the kept assignments hold
  bool explained = true;                 // some assignment explained the step's evidence
  bool detected = false;                 // the evidence contradicts the expected successor
  std::vector<double> best;              // per measure: the most probable assignment's prediction
  std::vector<int> commands;             // in force at the step, -1 when not known
  std::vector<int> observations;         // of the step, -1 when not observed
  double cpu = 0;                        // processor seconds of the step
};

class Diagnoser {
 public:
  // continuous is NULL for an application without continuous model.
  Diagnoser(const DiagnosisModel &model, const ContinuousModel *continuous,
            const DiagnosisSettings &settings, const DiagnosisEvidence &evidence);
  ~Diagnoser();

  // Steps the belief to `step` (0 first, then one after the other).
  const StepDiagnosis &step(long step);

 private:
  struct Candidate {
    std::vector<int> modes;
    double logp = 0;
    std::vector<long> since;
    ContinuousState state;
    std::vector<int> modeHistory;   // the modes of the last steps, a row per step
    std::vector<double> predicted;  // per measure: this step's prediction (NAN when none)
    bool flagged = false;           // a measure of the step is out of the prediction's band
  };
  // Modes told apart by two independent hashes of their values.
  struct ModesKey {
    uint64_t first, second;
    bool operator==(const ModesKey &other) const {
      return first == other.first && second == other.second;
    }
  };
  struct ModesKeyHash {
    size_t operator()(const ModesKey &key) const { return key.first; }
  };
  // A kept assignment's most probable successor, weighed in full; its other
  // successors are weighed as deviations from it.
  struct Base {
    const Candidate *parent = NULL;
    Candidate candidate;
    OptionTable options;                              // of each mode variable
    std::vector<std::vector<ModeOption>> ownOptions;  // those that depend on the assignment
    double parentLogp = 0;
    double logPrior = 0;
    double logLikelihood = 0;        // of the step's measures, with the evidence
    bool consistent = false;
    std::vector<long> freeReach;       // its free variables and what reads them at the step, sorted
    std::vector<long> freeAtStep;      // with free variables: those computed from them, sorted
    std::vector<double> measureLog;    // per measure: log density of its measure, 0 when none
    std::vector<int> alarm;            // per measure: out of the band
    std::vector<double> residual;      // per measure: |measure - prediction| in deviations
    long alarms = 0;
    std::vector<int> assumptions;      // its discrete assumptions, in the order of `slots`
    std::vector<std::pair<int, int>> byIsland;  // the nonzero ones with their islands, sorted
    std::vector<int> failing;          // the clause islands its assumptions contradict
    std::vector<int> newFaults;        // the mode variables where it takes a new fault
    ModesKey key{0, 0};
  };
  // A successor weighed, as its parent and its deviations from the parent's base.
  struct Weighed {
    double logp = -INFINITY;
    bool consistent = false;
    bool flagged = false;
  };
  struct Merged {
    double logp;  // summed over its contributors
    double best;  // weight of the contributor of largest weight
    size_t parent;
    std::vector<Deviation> deviations;  // of that contributor
    ModesKey key;
  };
  // What a discrete assumption reads: a mode variable's value, or a
  // condition on the continuous values.
  struct Slot {
    condition cond = NULL;  // NULL: a mode, command or observation
    int holds = 0, fails = 0;  // the literals of the condition holding and failing
  };

  // What re-stepping a successor's deviations changed.
  struct DeviationStep {
    std::vector<long> freed;    // the variables of the components made unknown
    StepEvidence evidence{NULL, NULL};
    std::vector<long> reached;  // the variables stepped again, in the updating order
    std::vector<long> columns;  // the measure columns among them
    Restep restep;
    bool anyFree = false;
    StepWeighing weighing;  // with free variables: which values were computed from them
  };

  void start();
  void optionsOf(const Candidate &parent, Base &base);
  bool limitBinds(const Base &base) const;
  void advance(long step);
  void stepSuccessor(const Candidate &parent, const OptionTable &options,
                     const std::vector<int> &choice, double logPrior, long step, bool withEvidence,
                     Candidate &successor, StepWeighing &weighing);
  ModeReader modesOf(const Candidate &candidate) const;
  std::vector<int> observationsAt(long step) const;

  // successor_weighing.cpp
  void weighBase(const Candidate &parent, bool withEvidence, Base &base);
  Weighed weighDeviations(Base &base, const std::vector<Deviation> &deviations,
                          double logPrior, bool withEvidence);
  bool reachOf(const Base &base, const std::vector<Deviation> &deviations, bool withEvidence,
               DeviationStep &stepped);
  void restepDeviations(Candidate &candidate, DeviationStep &stepped);
  Candidate materialize(const Base &base, const std::vector<Deviation> &deviations,
                        bool withEvidence);
  std::vector<int> assumptionsOf(const Candidate &candidate, const StepWeighing *weighing,
                                 long step, bool withEvidence);
  std::vector<std::pair<int, int>> byIsland(const std::vector<int> &assumptions) const;
  std::vector<double> suspicion(const Base &base, const std::vector<char> *columns = NULL) const;
  std::vector<int> suspects(const Base &base) const;
  long restepAlarms(const Base &base, const DeviationStep &stepped) const;
  // late_faults.cpp
  void addLateFaults(std::vector<Base> &bases, long step);
  Candidate lateFault(const Candidate &parent, int variable, const ModeOption &fault,
                      const ModeOption &stay, long step);
  const std::vector<char> &fresh(const Candidate &parent, long step);
  ModesKey keyOf(const std::vector<int> &modes) const;
  ModesKey keyWith(const Base &base, const std::vector<Deviation> &deviations) const;
  bool modesBefore(const Merged &a, const Merged &b, const std::vector<Base> &bases,
                   const std::vector<std::vector<std::vector<int>>> &differences) const;
  void rank(std::vector<Merged> &merged, const std::vector<Base> &bases, bool withEvidence);

  const DiagnosisModel &model;
  const ContinuousModel *continuous;
  DiagnosisSettings settings;
  DiagnosisEvidence evidence;
  std::unique_ptr<ClauseTest> clauses;
  std::vector<condition> clauseConditions;  // the conditions some clauses hold under
  long window;
  std::vector<Candidate> belief;
  StepDiagnosis current;
  std::vector<int> commandsBefore;  // in force at the step before
  // The discrete assumptions: one slot per mode variable, then one per
  // command, observation, condition variable's value and clause condition.
  std::vector<Slot> slots;
  size_t conditionSlots = 0;  // the first slot of a condition
  std::vector<std::vector<size_t>> slotsReadingVariable;  // per continuous variable
  std::vector<std::vector<size_t>> slotsReadingMode;      // per mode variable
  // Per continuous variable: the mode variables its computation reads, and
  // those of the component computing it.
  std::vector<std::vector<int>> modesOfVariable;
  std::vector<std::vector<int>> modesOfIsland;  // per clause island: its mode variables
  // Per mode variable and value: two hashes, their exclusive or over an
  // assignment's modes telling it apart.
  std::vector<std::vector<std::pair<uint64_t, uint64_t>>> modeHashes;
  std::vector<char> mapped;  // per mode variable: some transition of it has a mapping function
  // Per mode variable: its results depend on its value alone (its guards
  // read it alone); then, per value, those results once computed.
  std::vector<char> ownGuards;
  std::vector<std::vector<std::vector<ModeOption>>> sharedOptions;
  std::vector<char> freeScratch;  // per continuous variable, all 0 between uses
  std::vector<char> freshScratch;  // per measure, what fresh() found
};

#endif
