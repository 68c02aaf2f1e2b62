// The figures of a run, drawn with gnuplot into fig/ at its end: per
// measured variable, the measures, the most probable assignment's
// prediction and its band, with the steps where that assignment changes
// marked and named; and the probabilities of the leading assignments.
#ifndef MORVEL_RUNTIME_RUN_FIGURES_H
#define MORVEL_RUNTIME_RUN_FIGURES_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "continuous_step.h"
#include "diagnoser.h"

class RunFigures {
 public:
  // run names the figures: fig/<run>.<measure>.svg, fig/<run>.probabilities.svg;
  // rt is NULL without continuous model.
  RunFigures(const DiagnosisModel &model, const DiagnosisSettings &settings, runtime rt,
             std::string run);

  // comparisons are the nominal run's (their measures and bands), NULL
  // without continuous model.
  void record(const StepDiagnosis &step, double time, const std::vector<Comparison> *comparisons);
  // Writes the script fig/<run>.plots.gp and runs gnuplot on it; warns on
  // warnings when it cannot.
  void draw(FILE *out, FILE *warnings) const;

 private:
  struct MeasureRow {
    double measured, best, tolerance;
  };
  struct Change {
    double time;
    std::string label;
  };

  bool drawable(size_t measure) const;
  std::string script() const;

  const DiagnosisModel &model;
  const DiagnosisSettings &settings;
  runtime rt;
  std::string run;
  std::vector<double> times;
  std::vector<std::vector<MeasureRow>> measureRows;         // per measure, per step
  std::vector<Change> changes;                              // of the most probable assignment
  std::map<std::string, std::vector<double>> probabilities; // per assignment, per step
};

// The faults of an assignment, "nominal" without; with the step each began
// when withSince.
std::string faultsText(const DiagnosisModel &model, const RankedAssignment &assignment,
                       bool withSince);

#endif
