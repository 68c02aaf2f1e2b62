// The settings of the diagnosis, changeable without recompiling: read from
// the file <name>.settings of the working directory, then from the words
// name=value of the command line.
#ifndef MORVEL_RUNTIME_SETTINGS_H
#define MORVEL_RUNTIME_SETTINGS_H

#include <string>

struct DiagnosisSettings {
  long candidates = 10;   // assignments kept from step to step
  long successors = 100;  // successors taken of each kept assignment
  double noise = 0.02;    // measure deviation, as a fraction of the domain's width
  double unknown = 1e-5;  // probability of moving to "unknown", per step and mode variable
  double freeWidth = 100; // width of the prior of a free variable of unbounded domain
  double isolation = 0.9; // probability at which a fault counts as isolated
  long shown = 3;         // assignments the report shows per step
  long plots = 1;         // draw the figures of the run into fig/
  std::string results;    // path of the result file
  // Simulation of the plant with forced modes, instead of a diagnosis:
  std::string force;      // the file of forced modes
  std::string simulate;   // the measure file to write
  double simNoise = 0;    // deviation of the noise on the written measures, as `noise`
  long seed = 1;          // of the noise
};

// Sets one setting from "name=value"; false, with a message naming it, for
// an unknown name or a value out of its range.
bool applySetting(DiagnosisSettings &settings, const std::string &word, std::string &error);

// The settings file of the application, when there is one; false, with a
// message naming the file and the line, when it holds a bad line.
bool readSettingsFile(DiagnosisSettings &settings, const std::string &path, std::string &error);

#endif
