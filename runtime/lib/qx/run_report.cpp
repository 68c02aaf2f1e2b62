#include "run_report.h"

#include "Atom.h"
#include "StateVar.h"

RunReport::RunReport(const Application &application, const Simulation &simulation,
                     const DiagnosisReport &diagnosis, FILE *out)
    : rt(application.rt), simulation(simulation), diagnosis(diagnosis), out(out) {
  for (const ConditionVariable &conditioned : application.conditionVariables)
    conditionVariables.push_back(conditioned.variable);
}

void RunReport::step(const StepOutcome &outcome, const StepDiagnosis &diagnosed) {
  std::fprintf(out, "step %ld, t = %g\n", outcome.step, outcome.time);
  for (long i = 0; i < rt->nin; ++i)
    std::fprintf(out, "  input     %s = %g\n", rt->in[i]->nom,
                 simulation.valueAt(rt->in[i], outcome.step));
  diagnosis.evidenceLines(out, diagnosed);
  std::vector<variable> outOfRange;
  for (const Comparison &comparison : outcome.comparisons) {
    std::fprintf(out, "  measure   %s = %g, predicted %g +- %g%s\n", comparison.var->nom,
                 comparison.measured, comparison.predicted, comparison.tolerance,
                 comparison.alarm < 0 ? ": LOW" : comparison.alarm > 0 ? ": HIGH" : "");
    if (comparison.alarm == 0)
      continue;
    outOfRange.push_back(comparison.var);
    if (faults.count(comparison.var) == 0) {
      faults[comparison.var] = Flagged{0, outcome.step, outcome.time};
      faultOrder.push_back(comparison.var);
    }
    ++faults[comparison.var].count;
  }
  diagnosis.diagnosisLines(out, diagnosed);
  for (long i = 0; i < rt->ndisp; ++i)
    std::fprintf(out, "  display   %s = %g\n", rt->disp[i]->nom,
                 simulation.valueAt(rt->disp[i], outcome.step));
  for (StateVar *variable : conditionVariables)
    std::fprintf(out, "  condition %s = %s\n", variable->getName(),
                 variable->getCurrentState().c_str());
  if (!outOfRange.empty()) {
    std::fprintf(out, "  out of range:");
    for (variable v : outOfRange)
      std::fprintf(out, " %s", v->nom);
    std::fprintf(out, "\n");
  }
}

void RunReport::summary(const RunTotals &totals) const {
  std::fprintf(out, "Summary: %ld steps, %ld measures compared, ", totals.steps, totals.compared);
  if (totals.outOfRange == 0) {
    std::fprintf(out, "none out of range.\n");
  } else {
    std::fprintf(out, "%ld out of range.\n", totals.outOfRange);
    for (variable v : faultOrder) {
      const Flagged &flagged = faults.at(v);
      std::fprintf(out, "  %s: %ld out of range, first at step %ld (t = %g).\n", v->nom,
                   flagged.count, flagged.firstStep, flagged.firstTime);
    }
  }
  diagnosis.summary(out);
}

DisplayFile::DisplayFile(runtime rt, const Simulation &simulation, FILE *out)
    : rt(rt), simulation(simulation), out(out) {
  std::fprintf(out, "time");
  for (long i = 0; i < rt->ndisp; ++i)
    std::fprintf(out, " %s", rt->disp[i]->nom);
  std::fprintf(out, "\n");
}

void DisplayFile::step(const StepOutcome &outcome) {
  std::fprintf(out, "%g", outcome.time);
  for (long i = 0; i < rt->ndisp; ++i) {
    double value = simulation.valueAt(rt->disp[i], outcome.step);
    std::fprintf(out, " %g", value);
    if (outcome.step == 0 || value < rt->dispinfval[i])
      rt->dispinfval[i] = value;
    if (outcome.step == 0 || value > rt->dispsupval[i])
      rt->dispsupval[i] = value;
  }
  std::fprintf(out, "\n");
}
