#include "forcing.h"

#include <algorithm>
#include <fstream>
#include <random>

#include "Atom.h"
#include "StateVar.h"
#include "transitions.h"

bool readForcing(const std::string &path, const DiagnosisModel &model,
                 std::vector<ForcedMode> &forced, std::string &error) {
  std::ifstream in(path);
  if (!in) {
    error = "forcing file \"" + path + "\" cannot be opened.";
    return false;
  }
  std::string text;
  for (long line = 1; std::getline(in, text); ++line) {
    std::vector<std::string> words = rowWords(text);
    if (words.empty())
      continue;
    std::string at = path + ":" + std::to_string(line) + ": ";
    char *end = NULL;
    double time = words.size() == 3 ? std::strtod(words[0].c_str(), &end) : 0;
    if (words.size() != 3 || *end != '\0') {
      error = at + "a time, a mode variable and a value expected.";
      return false;
    }
    if (!forced.empty() && time < forced.back().time) {
      error = at + "times must not decrease from row to row.";
      return false;
    }
    auto mode = std::find_if(model.modes.begin(), model.modes.end(),
                             [&](const ModeVariable &m) { return m.var->name == words[1]; });
    if (mode == model.modes.end()) {
      error = at + "\"" + words[1] + "\" is not a mode variable of the application.";
      return false;
    }
    auto value = std::find(mode->values.begin(), mode->values.end(), words[2]);
    if (value == mode->values.end()) {
      error = at + "\"" + words[2] + "\" is not a value of " + words[1] + ".";
      return false;
    }
    forced.push_back(ForcedMode{time, static_cast<int>(mode - model.modes.begin()),
                                static_cast<int>(value - mode->values.begin())});
  }
  return true;
}

void simulatePlant(const DiagnosisModel &model, const ContinuousModel *continuous,
                   const DiagnosisSettings &settings, const DiagnosisEvidence &evidence,
                   long steps, const std::vector<ForcedMode> &forced, FILE *out) {
  runtime rt = continuous != NULL ? continuous->rt : NULL;
  double timeStep = rt != NULL ? rt->ts : 1;
  bool commandsHere = evidence.commands.file != NULL && evidence.commands.file != evidence.inputs;
  ClauseTest clauses(*model.application.scheduler->cls);
  // The modes of every step: each variable takes its most probable result
  // that is no fault (the nominal transitions on the commands of the step
  // before), unless a row forces it from its step on.
  std::vector<std::vector<int>> modes(steps);
  std::vector<std::vector<int>> commands(steps);
  std::vector<int> now;
  for (const ModeVariable &mode : model.modes)
    now.push_back(mode.defaultValue);
  size_t next = 0;
  for (long step = 0; step < steps; ++step) {
    commands[step] = commandsAt(model, evidence.commands, step * timeStep);
    if (step > 0) {
      std::unordered_map<int, bool> entailed;
      std::vector<int> before = now;
      for (size_t m = 0; m < model.modes.size(); ++m)
        for (const ModeOption &option : modeOptions(
                 model.modes[m], before[m],
                 [&](const GuardLiteral &literal) {
                   return guardLiteralHolds(literal, model, before, commands[step - 1], clauses,
                                            entailed);
                 },
                 0))
          if (!model.modes[m].fault[option.value] || option.value == before[m]) {
            now[m] = option.value;
            break;
          }
    }
    for (; next < forced.size() && forced[next].time <= step * timeStep + 1e-9; ++next)
      now[forced[next].variable] = forced[next].value;
    modes[step] = now;
  }
  long latest = 0;
  ModeReader reader = [&](const Atom *atom, long step) {
    int variable, value;
    if (!model.modeAtom(atom, variable, value))
      return atom->getStateVar()->getCurrentState() == atom->value;
    return modes[std::min(std::max(step, 0L), latest)][variable] == value;
  };

  std::fprintf(out, "time");
  if (commandsHere)
    for (const SymbolVariable &command : model.commands)
      std::fprintf(out, " %s", command.var->name.c_str());
  for (long i = 0; rt != NULL && i < rt->nmes; ++i)
    std::fprintf(out, " %s", rt->mes[i]->nom);
  for (const SymbolVariable &observation : model.observations)
    std::fprintf(out, " %s", observation.var->name.c_str());
  std::fprintf(out, "\n");

  std::mt19937 random(static_cast<unsigned>(settings.seed));
  std::normal_distribution<double> gauss(0.0, 1.0);
  ContinuousState state;
  for (long step = 0; step < steps; ++step) {
    latest = step;
    double time = step * timeStep;
    std::fprintf(out, "%g", time);
    std::vector<int> assumptions =
        modeAndCommandAssumptions(model, modes[step], commands[step], clauses);
    for (size_t c = 0; commandsHere && c < model.commands.size(); ++c) {
      int value = commands[step][c];
      std::fprintf(out, " %s", value >= 0 ? model.commands[c].values[value].c_str() : "-");
    }
    if (rt != NULL) {
      StepWeighing weighing;
      StepEvidence stepEvidence = evidenceAt(evidence.inputs, NULL, time);
      if (step == 0)
        startState(*continuous, state, stepEvidence, weighing);
      else
        advanceState(*continuous, state, step, reader, NULL, stepEvidence, weighing);
      for (long i = 0; i < rt->nmes; ++i) {
        variable v = rt->mes[i];
        double value = state.value(*continuous, continuous->position(v), step);
        if (settings.simNoise > 0)
          value += gauss(random) * settings.simNoise * continuous->width(v);
        std::fprintf(out, " %.6g", value);
      }
    }
    for (const SymbolVariable &observation : model.observations) {
      const char *seen = "-";
      for (size_t v = 0; v < observation.atoms.size(); ++v)
        if (clauses.entails(assumptions, clauses.literal(observation.atoms[v], true)))
          seen = observation.values[v].c_str();
      std::fprintf(out, " %s", seen);
    }
    std::fprintf(out, "\n");
  }
}
