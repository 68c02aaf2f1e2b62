#include "diagnosis_report.h"

#include <cmath>
#include <string>

#include "StateVar.h"
#include "run_figures.h"

namespace {

std::string quoted(const std::string &text) {
  std::string json = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      json += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      json += escaped;
      continue;
    }
    json += c;
  }
  return json + "\"";
}

std::string number(double value) {
  if (!std::isfinite(value))
    return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// The probability of each fault over the kept assignments.
double faultProbability(const std::vector<RankedAssignment> &ranked, int variable, int value) {
  double sum = 0;
  for (const RankedAssignment &assignment : ranked)
    if (assignment.modes[variable] == value)
      sum += assignment.probability;
  return sum;
}

std::string stepText(long step) { return step < 0 ? "-" : std::to_string(step); }

} // namespace

DiagnosisReport::DiagnosisReport(const DiagnosisModel &model, const DiagnosisSettings &settings,
                                 runtime rt, FILE *results)
    : model(model), settings(settings), rt(rt), results(results) {}

void DiagnosisReport::evidenceLines(FILE *out, const StepDiagnosis &step) const {
  for (size_t c = 0; c < step.commands.size(); ++c)
    if (step.commands[c] >= 0)
      std::fprintf(out, "  command   %s = %s\n", model.commands[c].var->name.c_str(),
                   model.commands[c].values[step.commands[c]].c_str());
  for (size_t o = 0; o < step.observations.size(); ++o)
    if (step.observations[o] >= 0)
      std::fprintf(out, "  observed  %s = %s\n", model.observations[o].var->name.c_str(),
                   model.observations[o].values[step.observations[o]].c_str());
}

void DiagnosisReport::diagnosisLines(FILE *out, const StepDiagnosis &step) const {
  long shown = 0;
  for (size_t i = 0; i < step.ranked.size() && shown < settings.shown; ++i) {
    const RankedAssignment &assignment = step.ranked[i];
    if (assignment.probability < 0.001 || (i > 0 && assignment.faults.empty()))
      continue;
    std::fprintf(out, "  diagnosis %s p = %.3g\n", faultsText(model, assignment, true).c_str(),
                 assignment.probability);
    ++shown;
  }
  if (!step.explained)
    std::fprintf(out, "  unexplained: no assignment explains this step\n");
  if (step.kept < 0.99)
    std::fprintf(out, "  belief: %zu assignments kept of %ld weighed%s, holding %.3g\n",
                 step.ranked.size(), step.weighed, step.more ? " (more possible)" : "", step.kept);
}

void DiagnosisReport::record(const StepDiagnosis &step, double time,
                             const std::vector<Comparison> *comparisons,
                             const std::vector<double> &inputs) {
  if (step.detected)
    detected.push_back(step.step);
  const RankedAssignment &top = step.ranked.front();
  for (const Fault &fault : top.faults)
    if (isolated.count({fault.variable, fault.value}) == 0 &&
        faultProbability(step.ranked, fault.variable, fault.value) >= settings.isolation)
      isolated[{fault.variable, fault.value}] = step.step;
  last = step.ranked;
  if (results == NULL)
    return;

  std::string line = "{\"step\": " + std::to_string(step.step) + ", \"time\": " + number(time) +
                     ", \"inputs\": {";
  for (long i = 0; rt != NULL && i < rt->nin; ++i)
    line += std::string(i > 0 ? ", " : "") + quoted(rt->in[i]->nom) + ": " + number(inputs[i]);
  auto symbols = [&](const std::vector<SymbolVariable> &variables, const std::vector<int> &values) {
    std::string text;
    for (size_t k = 0; k < values.size(); ++k)
      if (values[k] >= 0)
        text += std::string(text.empty() ? "" : ", ") + quoted(variables[k].var->name) + ": " +
                quoted(variables[k].values[values[k]]);
    return text;
  };
  line += "}, \"commands\": {" + symbols(model.commands, step.commands) + "}, \"observations\": {" +
          symbols(model.observations, step.observations) + "}, \"measures\": [";
  for (size_t i = 0; comparisons != NULL && i < comparisons->size(); ++i) {
    const Comparison &c = (*comparisons)[i];
    long column = -1;
    for (long k = 0; k < rt->nmes; ++k)
      if (rt->mes[k] == c.var)
        column = k;
    double best = column >= 0 && column < static_cast<long>(step.best.size()) ? step.best[column] : NAN;
    line += std::string(i > 0 ? ", " : "") + "{\"name\": " + quoted(c.var->nom) +
            ", \"value\": " + number(c.measured) + ", \"predicted\": " + number(c.predicted) +
            ", \"tolerance\": " + number(c.tolerance) + ", \"flag\": " +
            quoted(c.alarm < 0 ? "LOW" : c.alarm > 0 ? "HIGH" : "") + ", \"best\": " + number(best) +
            "}";
  }
  line += "], \"assignments\": [";
  for (size_t i = 0; i < step.ranked.size(); ++i) {
    const RankedAssignment &assignment = step.ranked[i];
    line += std::string(i > 0 ? ", " : "") + "{\"p\": " + number(assignment.probability) +
            ", \"faults\": [";
    for (size_t f = 0; f < assignment.faults.size(); ++f) {
      const Fault &fault = assignment.faults[f];
      const ModeVariable &mode = model.modes[fault.variable];
      line += std::string(f > 0 ? ", " : "") + "{\"variable\": " + quoted(mode.var->name) +
              ", \"value\": " + quoted(mode.values[fault.value]) +
              ", \"since\": " + std::to_string(fault.since) + "}";
    }
    line += "]}";
  }
  line += "], \"weighed\": " + std::to_string(step.weighed) +
          ", \"more\": " + (step.more ? "true" : "false") + ", \"kept\": " + number(step.kept) +
          ", \"explained\": " + (step.explained ? "true" : "false") +
          ", \"detected\": " + (step.detected ? "true" : "false") +
          ", \"cpu\": " + number(step.cpu) + "}\n";
  std::fputs(line.c_str(), results);
}

void DiagnosisReport::summary(FILE *out) const {
  if (last.empty() || last.front().faults.empty()) {
    std::fprintf(out, "Diagnosis: no fault.\n");
    return;
  }
  for (const Fault &fault : last.front().faults) {
    long detection = -1;
    for (long step : detected)
      if (step >= fault.since) {
        detection = step;
        break;
      }
    auto isolation = isolated.find({fault.variable, fault.value});
    const ModeVariable &mode = model.modes[fault.variable];
    std::fprintf(out, "Diagnosis: %s = %s since step %ld: detected at step %s, isolated at step %s, "
                      "p = %.4g at the end.\n",
                 mode.var->name.c_str(), mode.values[fault.value].c_str(), fault.since,
                 stepText(detection).c_str(),
                 stepText(isolation != isolated.end() ? isolation->second : -1).c_str(),
                 faultProbability(last, fault.variable, fault.value));
  }
}
