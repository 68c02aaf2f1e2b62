// The plant simulated with modes forced at given steps: the measures and
// observations it would show, written as a measure file that the runtime
// reads back. Forced modes come from a file of rows "time instance.modevar
// value": a row at time t gives the mode its value from step t on.
#ifndef MORVEL_RUNTIME_FORCING_H
#define MORVEL_RUNTIME_FORCING_H

#include <cstdio>
#include <string>
#include <vector>

#include "diagnoser.h"

struct ForcedMode {
  double time;
  int variable;
  int value;
};

// false, with a message naming the file and the line, for a bad row.
bool readForcing(const std::string &path, const DiagnosisModel &model,
                 std::vector<ForcedMode> &forced, std::string &error);

// Steps the plant over `steps` steps with the forced modes (the others at
// their defaults) and writes a header row, then one row per step: the
// commands when the measure file holds them, the measured variables (with
// Gaussian noise of deviation settings.simNoise times the domain's width)
// and the observations the clauses entail ("-" when they entail none).
void simulatePlant(const DiagnosisModel &model, const ContinuousModel *continuous,
                   const DiagnosisSettings &settings, const DiagnosisEvidence &evidence,
                   long steps, const std::vector<ForcedMode> &forced, FILE *out);

#endif
