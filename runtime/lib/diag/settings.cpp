#include "settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace {

bool number(const std::string &text, double &value) {
  char *end = NULL;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(value);
}

std::string trimmed(const std::string &text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

bool applySetting(DiagnosisSettings &settings, const std::string &word, std::string &error) {
  size_t equals = word.find('=');
  std::string name = trimmed(word.substr(0, equals));
  std::string text = equals == std::string::npos ? "" : trimmed(word.substr(equals + 1));
  for (auto [known, path] : {std::make_pair("results", &settings.results),
                              std::make_pair("force", &settings.force),
                              std::make_pair("simulate", &settings.simulate)})
    if (name == known && !text.empty()) {
      *path = text;
      return true;
    }
  double value;
  bool read = number(text, value);
  struct Bounded {
    const char *name;
    double *real;
    long *whole;
    double low, high;
  } known[] = {{"candidates", NULL, &settings.candidates, 1, 1e9},
               {"successors", NULL, &settings.successors, 1, 1e9},
               {"noise", &settings.noise, NULL, 1e-12, 1e6},
               {"unknown", &settings.unknown, NULL, 0, 0.5},
               {"free_width", &settings.freeWidth, NULL, 1e-12, 1e300},
               {"isolation", &settings.isolation, NULL, 0, 1},
               {"shown", NULL, &settings.shown, 0, 1e9},
               {"plots", NULL, &settings.plots, 0, 1},
               {"sim_noise", &settings.simNoise, NULL, 0, 1e6},
               {"seed", NULL, &settings.seed, 0, 1e9}};
  for (const Bounded &setting : known) {
    if (name != setting.name)
      continue;
    if (!read || value < setting.low || value > setting.high ||
        (setting.whole != NULL && value != std::floor(value))) {
      char range[160];
      std::snprintf(range, sizeof range, "the setting %s takes %s from %g to %g, not \"%s\".",
                    setting.name, setting.whole != NULL ? "a whole number" : "a number",
                    setting.low, setting.high, text.c_str());
      error = range;
      return false;
    }
    if (setting.real != NULL)
      *setting.real = value;
    else
      *setting.whole = static_cast<long>(value);
    return true;
  }
  error = "\"" + name + "\" is not a setting of the diagnosis.";
  return false;
}

bool readSettingsFile(DiagnosisSettings &settings, const std::string &path, std::string &error) {
  std::ifstream in(path);
  std::string text;
  for (long line = 1; in && std::getline(in, text); ++line) {
    size_t comment = text.find('#');
    if (comment != std::string::npos)
      text.erase(comment);
    if (trimmed(text).empty())
      continue;
    if (!applySetting(settings, text, error)) {
      error = path + ":" + std::to_string(line) + ": " + error;
      return false;
    }
  }
  return true;
}
