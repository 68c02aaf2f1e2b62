// The diagnosis runtime's entry point: starts the application, reads its
// files, runs the nominal prediction and the diagnosis step by step, prints
// the report and writes the result file.
//
//   <application>_xe [input-file] [measure-file] [display-file] [fit=parameter] [name=value ...]
//   <application>_xe [events-file] [name=value ...]       (no inputs, no measures)
//   <application>_xe --model
//
// The input file is expected when the application has inputs, the measure
// file when it has measures; an application with neither takes one file of
// commands and observations. A display file receives the displayed
// variables row by row; fit=parameter first fits that parameter to the
// measures; name=value changes a setting of the diagnosis. A bad argument
// or setting ends with status 2, an unreadable or malformed file with 3;
// both with 0 when the workbench started the runtime.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "Scheduler.h"
#include "application.h"
#include "data_files.h"
#include "diagnoser.h"
#include "diagnosis_report.h"
#include "forcing.h"
#include "optim.h"
#include "run_figures.h"
#include "run_report.h"
#include "settings.h"
#include "simulation.h"

namespace {

// Exit statuses: bad command line or setting, unreadable or malformed file.
// Started by the workbench's execute (MORVEL_WORKBENCH in the environment),
// the runtime reports these problems the same way but ends with status 0, so
// that a mistyped file name does not end the session.
const int kUsage = 2;
const int kBadFile = 3;
const char *const kWorkbenchVariable = "MORVEL_WORKBENCH";

// Writes a problem on standard error after what the report has printed so
// far, so that a transcript of both streams keeps its order.
void complain(const char *format, ...) {
  std::fflush(stdout);
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
}

// Two names of the same file: the same text, or the same existing file.
bool sameFile(const char *first, const char *second) {
  if (std::strcmp(first, second) == 0)
    return true;
  struct stat one, other;
  return stat(first, &one) == 0 && stat(second, &other) == 0 && one.st_dev == other.st_dev &&
         one.st_ino == other.st_ino;
}

// Runs longer than this many steps are refused: a time far in the files
// would otherwise make the runtime step, print and keep values for as long
// as it takes.
const long kMaxSteps = 1000000;

struct Arguments {
  const char *inputs = NULL;
  const char *measures = NULL;
  const char *events = NULL;  // commands and observations, without inputs and measures
  const char *display = NULL;
  const char *fit = NULL;     // name of the parameter to fit
  std::vector<std::string> settings;
};

// Takes the words as execute passes them: input file, measure file (or the
// one file of events), then the display file, the fit request and the
// settings, told apart by "fit=" and "=".
bool takeArguments(runtime rt, int argc, char **argv, Arguments &arguments) {
  bool withInputs = rt != NULL && rt->nin > 0, withMeasures = rt != NULL && rt->nmes > 0;
  std::vector<const char *> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "fit=", 4) == 0)
      arguments.fit = argv[i] + 4;
    else if (std::strchr(argv[i], '=') != NULL)
      arguments.settings.push_back(argv[i]);
    else
      files.push_back(argv[i]);
  }
  size_t next = 0;
  if (withInputs && next < files.size())
    arguments.inputs = files[next++];
  if (withMeasures && next < files.size())
    arguments.measures = files[next++];
  if (!withInputs && !withMeasures && next < files.size())
    arguments.events = files[next++];
  if ((withInputs && arguments.inputs == NULL) || (withMeasures && arguments.measures == NULL)) {
    complain("usage: %s%s%s [display-file] [fit=parameter] [setting=value ...]\n", argv[0],
             withInputs ? " input-file" : "", withMeasures ? " measure-file" : "");
    return false;
  }
  if (rt != NULL && rt->ndisp > 0 && next < files.size())
    arguments.display = files[next++];
  // The display file is written: it must not be one the run reads.
  for (const char *read : {arguments.inputs, arguments.measures})
    if (arguments.display != NULL && read != NULL && sameFile(arguments.display, read)) {
      complain("runtime: display file \"%s\" is also the %s file \"%s\"; it would be "
               "overwritten.\n", arguments.display, read == arguments.inputs ? "input" : "measure",
               read);
      return false;
    }
  for (; next < files.size(); ++next)
    std::printf("Ignoring \"%s\".\n", files[next]);
  return true;
}

variable findParameter(runtime rt, const char *name) {
  for (long i = 0; i < rt->nvar; ++i)
    if (rt->dico[i]->cst && std::strcmp(rt->dico[i]->nom, name) == 0)
      return rt->dico[i];
  return NULL;
}

bool checkTimeStep(runtime rt) {
  if (rt->ts > 0 && std::isfinite(rt->ts))
    return true;
  complain("runtime: the time step must be positive; the application was compiled "
           "with a time step of %g.\n", rt->ts);
  return false;
}

// The files of a run, and where the commands and the observations are read.
struct RunFiles {
  DataFile inputs, measures, events;
  DiagnosisEvidence evidence;
};

// Commands go with the inputs, else with the measures; observations with
// the measures, else with the inputs; else both are in the one file.
bool readRunFiles(runtime rt, const DiagnosisModel &model, const Arguments &arguments,
                  RunFiles &files) {
  struct Source {
    const char *path;
    const char *kind;
    DataFile *file;
    variable *table;
    long count;
    bool partial;
  } sources[] = {{arguments.inputs, "input", &files.inputs, rt != NULL ? rt->in : NULL,
                  rt != NULL ? rt->nin : 0, false},
                 {arguments.measures, "measure", &files.measures, rt != NULL ? rt->mes : NULL,
                  rt != NULL ? rt->nmes : 0, true},
                 {arguments.events, "event", &files.events, NULL, 0, true}};
  DataFile *commands = arguments.inputs != NULL     ? &files.inputs
                       : arguments.measures != NULL ? &files.measures
                                                    : &files.events;
  DataFile *observations = arguments.measures != NULL ? &files.measures
                           : arguments.inputs != NULL ? &files.inputs
                                                      : &files.events;
  for (const Source &source : sources) {
    if (source.path == NULL)
      continue;
    std::vector<SymbolColumn> symbols;
    if (source.file == commands) {
      files.evidence.commands = SymbolSource{source.file, symbols.size()};
      for (const SymbolColumn &column : model.commandColumns())
        symbols.push_back(column);
    }
    if (source.file == observations) {
      files.evidence.observations = SymbolSource{source.file, symbols.size()};
      for (const SymbolColumn &column : model.observationColumns())
        symbols.push_back(column);
    }
    std::string error;
    if (!readDataFile(source.kind, source.path, source.table, source.count, source.partial, symbols,
                      *source.file, error)) {
      complain("runtime: %s\n", error.c_str());
      return false;
    }
    double step = rt != NULL ? rt->ts : 1;
    const DataRow &last = source.file->rows.back();
    if (!(last.time / step < kMaxSteps)) {
      complain("runtime: %s:%ld: time %g makes more than %ld steps of %g.\n",
               source.file->path.c_str(), last.line, last.time, kMaxSteps, step);
      return false;
    }
  }
  if (arguments.inputs != NULL)
    files.evidence.inputs = &files.inputs;
  if (arguments.measures != NULL)
    files.evidence.measures = &files.measures;
  return true;
}

// From time 0 to the last time of the files, one step per time step; the
// continuous window (or one step) without files.
long stepCount(runtime rt, const RunFiles &files) {
  double last = -1, step = rt != NULL ? rt->ts : 1;
  for (const DataFile *file : {&files.inputs, &files.measures, &files.events})
    if (!file->rows.empty())
      last = std::max(last, file->rows.back().time);
  if (last < 0)
    return rt != NULL && rt->twc > 0 ? rt->twc : 1;
  return static_cast<long>(std::floor(last / step + 1e-9)) + 1;
}

// What names the figures of a run: the measure file without its folder
// and extension, else the file of events, else the input file, else the
// application.
std::string runName(const Arguments &arguments) {
  const char *path = arguments.measures != NULL ? arguments.measures
                     : arguments.events != NULL ? arguments.events
                                                : arguments.inputs;
  if (path == NULL)
    return model_name;
  std::string name = path;
  name = name.substr(name.find_last_of('/') + 1);
  size_t dot = name.find_last_of('.');
  return dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
}

bool takeSettings(const Arguments &arguments, DiagnosisSettings &settings) {
  settings.results = model_name + ".results.jsonl";
  std::string error;
  bool taken = readSettingsFile(settings, model_name + ".settings", error);
  for (size_t i = 0; taken && i < arguments.settings.size(); ++i)
    taken = applySetting(settings, arguments.settings[i], error);
  if (!taken)
    complain("runtime: %s\n", error.c_str());
  return taken;
}

// Writes the measures and observations of the plant with its forced modes.
int simulate(const DiagnosisModel &model, const ContinuousModel *continuous,
             const DiagnosisSettings &settings, const DiagnosisEvidence &evidence, long steps) {
  std::vector<ForcedMode> forced;
  std::string error;
  if (!readForcing(settings.force, model, forced, error)) {
    complain("runtime: %s\n", error.c_str());
    return kBadFile;
  }
  if (settings.simulate.empty()) {
    complain("runtime: force= needs simulate=, the measure file to write.\n");
    return kUsage;
  }
  FILE *out = std::fopen(settings.simulate.c_str(), "w");
  if (out == NULL) {
    complain("runtime: simulated file \"%s\" cannot be written.\n", settings.simulate.c_str());
    return kBadFile;
  }
  simulatePlant(model, continuous, settings, evidence, steps, forced, out);
  std::fclose(out);
  std::printf("Simulated %ld steps into %s.\n", steps, settings.simulate.c_str());
  return 0;
}

int run(int argc, char **argv) {
  Scheduler scheduler;
  startinit(&scheduler);
  runtime rt = morvel_rt;
  Application application = prepareApplication(scheduler, rt);
  if (argc == 2 && std::strcmp(argv[1], "--model") == 0) {
    describeApplication(stdout, application);
    return 0;
  }

  Arguments arguments;
  DiagnosisSettings settings;
  if (!takeArguments(rt, argc, argv, arguments) || (rt != NULL && !checkTimeStep(rt)) ||
      !takeSettings(arguments, settings))
    return kUsage;
  DiagnosisModel model(application);
  RunFiles files;
  if (!readRunFiles(rt, model, arguments, files))
    return kBadFile;
  long steps = stepCount(rt, files);
  std::unique_ptr<ContinuousModel> continuous;
  if (rt != NULL)
    continuous.reset(new ContinuousModel(rt, settings.noise, settings.freeWidth));
  if (!settings.force.empty())
    return simulate(model, continuous.get(), settings, files.evidence, steps);
  FILE *results = std::fopen(settings.results.c_str(), "w");
  if (results == NULL) {
    complain("runtime: result file \"%s\" cannot be written.\n", settings.results.c_str());
    return kBadFile;
  }
  if (rt != NULL) {
    rt->inval = static_cast<double *>(new_malloc((rt->nin + 1) * sizeof(double)));
    rt->mesval = static_cast<double *>(new_malloc((rt->nmes + 1) * sizeof(double)));
  }
  Diagnoser diagnoser(model, continuous.get(), settings, files.evidence);
  DiagnosisReport diagnosis(model, settings, rt, results);
  RunFigures figures(model, settings, rt, runName(arguments));
  std::printf("Running \"%s\": time step %g, %ld steps.\n", model_name.c_str(),
              rt != NULL ? rt->ts : 1.0, steps);

  if (rt == NULL) {
    for (long step = 0; step < steps; ++step) {
      const StepDiagnosis &diagnosed = diagnoser.step(step);
      std::printf("step %ld, t = %ld\n", step, step);
      diagnosis.evidenceLines(stdout, diagnosed);
      diagnosis.diagnosisLines(stdout, diagnosed);
      diagnosis.record(diagnosed, static_cast<double>(step), NULL, {});
      figures.record(diagnosed, static_cast<double>(step), NULL);
    }
    std::printf("Summary: %ld steps.\n", steps);
    diagnosis.summary(stdout);
    figures.draw(stdout, stderr);
    std::fclose(results);
    return 0;
  }

  Simulation simulation(application, *continuous, files.evidence.inputs, files.evidence.measures);
  if (arguments.fit != NULL) {
    variable parameter = findParameter(rt, arguments.fit);
    if (parameter == NULL) {
      complain("runtime: \"%s\" is not a parameter of the application.\n", arguments.fit);
      return kUsage;
    }
    Fit fit = fitParameter(parameter,
                           [&] { return simulation.run(StepObserver(), steps).squaredResidual; });
    std::printf("Fitted %s: %g (was %g); squared differences %g (were %g); %d runs%s.\n",
                parameter->nom, fit.after, fit.before, fit.residualAfter, fit.residualBefore,
                fit.evaluations, fit.converged ? "" : ", not converged");
  }

  FILE *displayOut = NULL;
  if (arguments.display != NULL && (displayOut = std::fopen(arguments.display, "w")) == NULL) {
    complain("runtime: display file \"%s\" cannot be written.\n", arguments.display);
    return kBadFile;
  }
  RunReport report(application, simulation, diagnosis, stdout);
  std::unique_ptr<DisplayFile> display;
  if (displayOut != NULL)
    display.reset(new DisplayFile(rt, simulation, displayOut));
  RunTotals totals = simulation.run(
      [&](const StepOutcome &outcome) {
        const StepDiagnosis &diagnosed = diagnoser.step(outcome.step);
        report.step(outcome, diagnosed);
        if (display)
          display->step(outcome);
        std::vector<double> inputs;
        for (long i = 0; i < rt->nin; ++i)
          inputs.push_back(simulation.valueAt(rt->in[i], outcome.step));
        diagnosis.record(diagnosed, outcome.time, &outcome.comparisons, inputs);
        figures.record(diagnosed, outcome.time, &outcome.comparisons);
      },
      steps);
  report.summary(totals);
  figures.draw(stdout, stderr);
  if (displayOut != NULL)
    std::fclose(displayOut);
  std::fclose(results);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  int status = run(argc, argv);
  if ((status == kUsage || status == kBadFile) && std::getenv(kWorkbenchVariable) != NULL)
    return 0;
  return status;
}
