// What the report says of the diagnosis, step by step and at the end, and
// the result file: one JSON object per step.
#ifndef MORVEL_RUNTIME_DIAGNOSIS_REPORT_H
#define MORVEL_RUNTIME_DIAGNOSIS_REPORT_H

#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "continuous_step.h"
#include "diagnoser.h"

class DiagnosisReport {
 public:
  // results may be NULL; rt is NULL without continuous model.
  DiagnosisReport(const DiagnosisModel &model, const DiagnosisSettings &settings, runtime rt,
                  FILE *results);

  // The commands in force and the observations of the step.
  void evidenceLines(FILE *out, const StepDiagnosis &step) const;
  // The most probable assignments, and what the step could not do.
  void diagnosisLines(FILE *out, const StepDiagnosis &step) const;
  // Writes the step's object to the result file and notes what the summary needs.
  // comparisons are the nominal run's, NULL without continuous model.
  void record(const StepDiagnosis &step, double time, const std::vector<Comparison> *comparisons,
              const std::vector<double> &inputs);
  void summary(FILE *out) const;

 private:
  const DiagnosisModel &model;
  const DiagnosisSettings &settings;
  runtime rt;
  FILE *results;
  std::vector<long> detected;                         // steps with a symptom
  std::map<std::pair<int, int>, long> isolated;       // fault: first step isolated
  std::vector<RankedAssignment> last;                 // the kept assignments at the end
};

#endif
