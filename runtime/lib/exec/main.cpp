// The diagnosis runtime's entry point: starts the application, reads its
// input and measure files, runs it step by step and prints its report.
//
//   <application>_xe [input-file] [measure-file] [display-file] [fit=parameter]
//
// The input file is expected when the application has inputs, the measure
// file when it has measures; a display file receives the displayed variables
// row by row; fit=parameter first fits that parameter to the measures.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Scheduler.h"
#include "application.h"
#include "data_files.h"
#include "optim.h"
#include "run_report.h"
#include "simulation.h"

namespace {

// Exit statuses: bad command line, unreadable or malformed file.
const int kUsage = 2;
const int kBadFile = 3;

struct Arguments {
  const char *inputs = NULL;
  const char *measures = NULL;
  const char *display = NULL;
  const char *fit = NULL;  // name of the parameter to fit
};

// Takes the words as execute passes them: input file, measure file, then
// the display file and the fit request, told apart by "fit=".
bool takeArguments(runtime rt, int argc, char **argv, Arguments &arguments) {
  int next = 1;
  if (rt->nin > 0 && next < argc)
    arguments.inputs = argv[next++];
  if (rt->nmes > 0 && next < argc)
    arguments.measures = argv[next++];
  if ((rt->nin > 0 && arguments.inputs == NULL) || (rt->nmes > 0 && arguments.measures == NULL)) {
    std::fprintf(stderr, "usage: %s%s%s [display-file] [fit=parameter]\n", argv[0],
                 rt->nin > 0 ? " input-file" : "", rt->nmes > 0 ? " measure-file" : "");
    return false;
  }
  for (; next < argc; ++next) {
    if (std::strncmp(argv[next], "fit=", 4) == 0)
      arguments.fit = argv[next] + 4;
    else if (rt->ndisp > 0 && arguments.display == NULL)
      arguments.display = argv[next];
    else
      std::printf("Ignoring \"%s\".\n", argv[next]);
  }
  return true;
}

bool readFile(const char *kind, const char *path, variable *table, long count, bool partial,
              DataFile &file) {
  std::string error;
  if (readDataFile(kind, path, table, count, partial, file, error))
    return true;
  std::fprintf(stderr, "runtime: %s\n", error.c_str());
  return false;
}

variable findParameter(runtime rt, const char *name) {
  for (long i = 0; i < rt->nvar; ++i)
    if (rt->dico[i]->cst && std::strcmp(rt->dico[i]->nom, name) == 0)
      return rt->dico[i];
  return NULL;
}

// Runs longer than this many steps are refused: a time far in the input or
// measure files would otherwise make the runtime step, print and keep
// values for as long as it takes.
const long kMaxSteps = 1000000;

bool checkTimeStep(runtime rt) {
  if (rt->ts > 0 && std::isfinite(rt->ts))
    return true;
  std::fprintf(stderr, "runtime: the time step must be positive; the application was compiled "
                       "with a time step of %g.\n", rt->ts);
  return false;
}

// The last time of a file must not make more steps than the limit.
bool checkRunLength(runtime rt, const DataFile &file) {
  if (file.rows.empty())
    return true;
  const DataRow &last = file.rows.back();
  if (last.time / rt->ts < kMaxSteps)
    return true;
  std::fprintf(stderr, "runtime: %s:%ld: time %g makes more than %ld steps of %g.\n",
               file.path.c_str(), last.line, last.time, kMaxSteps, rt->ts);
  return false;
}

} // namespace

int main(int argc, char **argv) {
  Scheduler scheduler;
  startinit(&scheduler);
  runtime rt = morvel_rt;
  Application application = prepareApplication(scheduler, rt);
  if (argc == 2 && std::strcmp(argv[1], "--model") == 0) {
    describeApplication(stdout, application);
    return 0;
  }
  if (rt == NULL) {
    std::printf("Application \"%s\": %zu components, %zu clauses; no continuous model to run.\n",
                model_name.c_str(), scheduler.comps->size(), scheduler.cls->size());
    return 0;
  }

  Arguments arguments;
  if (!takeArguments(rt, argc, argv, arguments) || !checkTimeStep(rt))
    return kUsage;
  DataFile inputs, measures;
  if ((arguments.inputs != NULL &&
       !readFile("input", arguments.inputs, rt->in, rt->nin, false, inputs)) ||
      (arguments.measures != NULL &&
       !readFile("measure", arguments.measures, rt->mes, rt->nmes, true, measures)))
    return kBadFile;
  if ((arguments.inputs != NULL && !checkRunLength(rt, inputs)) ||
      (arguments.measures != NULL && !checkRunLength(rt, measures)))
    return kBadFile;
  rt->inval = static_cast<double *>(new_malloc((rt->nin + 1) * sizeof(double)));
  rt->mesval = static_cast<double *>(new_malloc((rt->nmes + 1) * sizeof(double)));

  ContinuousModel model(rt, 0.02, 100);
  Simulation simulation(application, model, arguments.inputs != NULL ? &inputs : NULL,
                        arguments.measures != NULL ? &measures : NULL);
  std::printf("Running \"%s\": time step %g, %ld steps.\n", rt->appli, rt->ts,
              simulation.stepCount());

  if (arguments.fit != NULL) {
    variable parameter = findParameter(rt, arguments.fit);
    if (parameter == NULL) {
      std::fprintf(stderr, "runtime: \"%s\" is not a parameter of the application.\n",
                   arguments.fit);
      return kUsage;
    }
    Fit fit = fitParameter(parameter, [&] { return simulation.run(StepObserver()).squaredResidual; });
    std::printf("Fitted %s: %g (was %g); squared differences %g (were %g); %d runs%s.\n",
                parameter->nom, fit.after, fit.before, fit.residualAfter, fit.residualBefore,
                fit.evaluations, fit.converged ? "" : ", not converged");
  }

  FILE *displayOut = NULL;
  if (arguments.display != NULL && (displayOut = std::fopen(arguments.display, "w")) == NULL) {
    std::fprintf(stderr, "runtime: display file \"%s\" cannot be written.\n", arguments.display);
    return kBadFile;
  }
  RunReport report(application, simulation, stdout);
  std::unique_ptr<DisplayFile> display;
  if (displayOut != NULL)
    display.reset(new DisplayFile(rt, simulation, displayOut));
  RunTotals totals = simulation.run([&](const StepOutcome &outcome) {
    report.step(outcome);
    if (display)
      display->step(outcome);
  });
  report.summary(totals);
  if (displayOut != NULL)
    std::fclose(displayOut);
  return 0;
}
