// The diagnosis runtime's entry point: starts the application, reads its
// input and measure files, runs it step by step and prints its report.
//
//   <application>_xe [input-file] [measure-file] [display-file] [fit=parameter]
//
// The input file is expected when the application has inputs, the measure
// file when it has measures; a display file receives the displayed variables
// row by row; fit=parameter first fits that parameter to the measures.
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "Scheduler.h"
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

// The generated code names variables after the instance names of the model
// file ("heater1.temp"); the workbench prints them after the instance
// variables ("heater.temp"), and so do the report and the files.
void useWorkbenchNames(Scheduler &scheduler, runtime rt) {
  std::map<std::string, std::string> variableOf;
  for (Comp *comp : *scheduler.comps)
    variableOf[comp->name] = comp->var_name;
  auto renamed = [&](const std::string &name) {
    size_t dot = name.find('.');
    auto found = dot == std::string::npos ? variableOf.end() : variableOf.find(name.substr(0, dot));
    return found == variableOf.end() ? name : found->second + name.substr(dot);
  };
  for (long i = 0; rt != NULL && i < rt->nvar; ++i)
    rt->dico[i]->nom = mkString(renamed(rt->dico[i]->nom).c_str());
  for (Comp *comp : *scheduler.comps)
    for (StateVar *variable : *comp->state_vars)
      variable->name = renamed(variable->name);
}

} // namespace

int main(int argc, char **argv) {
  Scheduler scheduler;
  startinit(&scheduler);
  runtime rt = morvel_rt;
  useWorkbenchNames(scheduler, rt);
  if (rt == NULL) {
    std::printf("Application \"%s\": %zu components, %zu clauses; no continuous model to run.\n",
                model_name.c_str(), scheduler.comps->size(), scheduler.cls->size());
    return 0;
  }

  Arguments arguments;
  if (!takeArguments(rt, argc, argv, arguments))
    return kUsage;
  DataFile inputs, measures;
  if ((arguments.inputs != NULL &&
       !readFile("input", arguments.inputs, rt->in, rt->nin, false, inputs)) ||
      (arguments.measures != NULL &&
       !readFile("measure", arguments.measures, rt->mes, rt->nmes, true, measures)))
    return kBadFile;
  rt->inval = static_cast<double *>(new_malloc((rt->nin + 1) * sizeof(double)));
  rt->mesval = static_cast<double *>(new_malloc((rt->nmes + 1) * sizeof(double)));

  Simulation simulation(rt, arguments.inputs != NULL ? &inputs : NULL,
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
  RunReport report(rt, simulation, stdout);
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
