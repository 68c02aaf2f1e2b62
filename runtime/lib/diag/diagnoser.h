// The diagnosis: the most probable assignments of modes kept from step to
// step, each with its probability, its own continuous state and the steps at
// which its faults began. A step takes the successors of every kept
// assignment in decreasing prior, weighs each (discrete consistency, then
// the likelihood of the measures under its own prediction), merges those of
// the same modes, normalises and keeps the best.
#ifndef MORVEL_RUNTIME_DIAGNOSER_H
#define MORVEL_RUNTIME_DIAGNOSER_H

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "continuous_step.h"
#include "diagnosis_model.h"
#include "settings.h"
#include "solver.h"
#include "transitions.h"

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

  void start();
  void advance(long step);
  bool weigh(const Candidate &parent, const std::vector<std::vector<ModeOption>> &options,
             const std::vector<int> &choice, double logPrior, long step, bool withEvidence,
             Candidate &successor);
  bool consistent(const Candidate &candidate, const StepWeighing *weighing, long step,
                  bool withEvidence);
  ModeReader modesOf(const Candidate &candidate) const;
  std::vector<int> observationsAt(long step) const;
  void rank(std::vector<Candidate> &merged, long step);

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
  std::unordered_map<std::string, bool> satisfiableUnder;  // this step's tests, by assumptions
};

#endif
