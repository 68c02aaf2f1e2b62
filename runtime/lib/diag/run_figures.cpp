#include "run_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

#include "StateVar.h"

namespace {

// Assignments drawn in the probabilities figure, the most probable at
// their peak first.
const size_t kDrawnAssignments = 8;

// Below this probability an assignment is not drawn at that step.
const double kDrawnProbability = 0.001;

std::string gnuplotString(const std::string &text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string number(double value) {
  if (!std::isfinite(value))
    return "NaN";
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// For the shell, in single quotes.
std::string shellWord(const std::string &text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool isDirectory(const char *path) {
  struct stat status;
  return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::string faultsText(const DiagnosisModel &model, const RankedAssignment &assignment,
                       bool withSince) {
  if (assignment.faults.empty())
    return "nominal";
  std::string text;
  for (const Fault &fault : assignment.faults) {
    if (!text.empty())
      text += ", ";
    const ModeVariable &mode = model.modes[fault.variable];
    text += mode.var->name + " = " + mode.values[fault.value];
    if (withSince)
      text += " (since step " + std::to_string(fault.since) + ")";
  }
  return text;
}

RunFigures::RunFigures(const DiagnosisModel &model, const DiagnosisSettings &settings, runtime rt,
                       std::string run)
    : model(model), settings(settings), rt(rt), run(std::move(run)),
      measureRows(rt != NULL ? rt->nmes : 0) {}

void RunFigures::record(const StepDiagnosis &step, double time,
                        const std::vector<Comparison> *comparisons) {
  size_t index = times.size();
  times.push_back(time);
  for (size_t k = 0; k < measureRows.size(); ++k) {
    MeasureRow row{NAN, k < step.best.size() ? step.best[k] : NAN, NAN};
    for (size_t c = 0; comparisons != NULL && c < comparisons->size(); ++c)
      if ((*comparisons)[c].var == rt->mes[k]) {
        row.measured = (*comparisons)[c].measured;
        row.tolerance = (*comparisons)[c].tolerance;
      }
    measureRows[k].push_back(row);
  }

  std::string label = faultsText(model, step.ranked.front(), false);
  std::string before = changes.empty() ? "nominal" : changes.back().label;
  if (label != before)
    changes.push_back(Change{time, label});
  size_t drawn = 0;
  for (const RankedAssignment &assignment : step.ranked) {
    if (drawn == std::max<size_t>(1, settings.shown) || assignment.probability < kDrawnProbability)
      break;
    std::vector<double> &series = probabilities[faultsText(model, assignment, false)];
    series.resize(times.size(), 0);
    series[index] = assignment.probability;
    ++drawn;
  }
}

// gnuplot refuses a figure with nothing to draw: a measure never measured
// nor predicted gets none.
bool RunFigures::drawable(size_t measure) const {
  for (const MeasureRow &row : measureRows[measure])
    if (std::isfinite(row.measured) || std::isfinite(row.best))
      return true;
  return false;
}

std::string RunFigures::script() const {
  std::string text = "# The figures of the run " + run + "; gnuplot " + run + ".plots.gp redraws them.\n"
                     "set terminal svg size 900,500 dynamic background rgb 'white'\n"
                     "set xlabel \"time\"\nset key below\nset grid\n";
  std::string marks;
  for (const Change &change : changes)
    marks += "set arrow from " + number(change.time) + ", graph 0 to " + number(change.time) +
             ", graph 1 nohead dashtype 2 linecolor rgb 'gray40'\nset label " +
             gnuplotString(change.label) + " at " + number(change.time) +
             ", graph 0.03 rotate by 90 left offset 1, 0 front font ',9'\n";

  for (size_t k = 0; k < measureRows.size(); ++k) {
    if (!drawable(k))
      continue;
    std::string name = rt->mes[k]->nom;
    text += "\n$" + std::string("measure") + std::to_string(k) + " << EOD\n";
    for (size_t i = 0; i < times.size(); ++i) {
      const MeasureRow &row = measureRows[k][i];
      text += number(times[i]) + " " + number(row.measured) + " " + number(row.best) + " " +
              number(row.best - row.tolerance) + " " + number(row.best + row.tolerance) + "\n";
    }
    text += "EOD\nset output " + gnuplotString("fig/" + run + "." + name + ".svg") +
            "\nset title " + gnuplotString(name + " (" + run + ")") + "\nset ylabel " +
            gnuplotString(name) + "\n" + marks + "plot $measure" + std::to_string(k) +
            " using 1:4:5 with filledcurves fillcolor rgb '#cfe0f7' title \"band\", \\\n"
            "     '' using 1:3 with lines linewidth 2 linecolor rgb '#1f5fb4' "
            "title \"most probable assignment\", \\\n"
            "     '' using 1:2 with points pointtype 7 pointsize 0.5 linecolor rgb 'black' "
            "title \"measures\"\nunset arrow\nunset label\n";
  }

  std::vector<std::pair<double, std::string>> leading;
  for (const auto &[label, series] : probabilities)
    leading.push_back({-*std::max_element(series.begin(), series.end()), label});
  std::sort(leading.begin(), leading.end());
  if (leading.size() > kDrawnAssignments)
    leading.resize(kDrawnAssignments);
  text += "\n$probabilities << EOD\n";
  for (size_t i = 0; i < times.size(); ++i) {
    text += number(times[i]);
    for (const auto &entry : leading) {
      const std::vector<double> &series = probabilities.at(entry.second);
      text += " " + number(i < series.size() ? series[i] : 0);
    }
    text += "\n";
  }
  text += "EOD\nset output " + gnuplotString("fig/" + run + ".probabilities.svg") +
          "\nset title " + gnuplotString("probabilities of the leading assignments (" + run + ")") +
          "\nset ylabel \"probability\"\nset yrange [0:1.05]\n" + marks + "plot";
  for (size_t a = 0; a < leading.size(); ++a)
    text += std::string(a > 0 ? ", \\\n    " : " ") + "$probabilities using 1:" +
            std::to_string(a + 2) + " with steps linewidth 2 title " +
            gnuplotString(leading[a].second);
  return text + "\n";
}

void RunFigures::draw(FILE *out, FILE *warnings) const {
  if (settings.plots == 0 || times.empty())
    return;
  if (!isDirectory("fig")) {
    std::fprintf(warnings, "runtime: no directory fig/ here: no figures drawn.\n");
    return;
  }
  if (std::system("command -v gnuplot >/dev/null 2>&1") != 0) {
    std::fprintf(warnings, "runtime: gnuplot is not on the path: no figures drawn.\n");
    return;
  }
  std::string path = "fig/" + run + ".plots.gp";
  std::ofstream file(path);
  file << script();
  file.close();
  if (!file) {
    std::fprintf(warnings, "runtime: figure script \"%s\" cannot be written.\n", path.c_str());
    return;
  }
  std::fflush(out);
  if (std::system(("gnuplot " + shellWord(path)).c_str()) != 0) {
    std::fprintf(warnings, "runtime: gnuplot failed on \"%s\": no figures drawn.\n", path.c_str());
    return;
  }
  std::string drawn;
  for (size_t k = 0; k < measureRows.size(); ++k)
    if (drawable(k))
      drawn += run + "." + rt->mes[k]->nom + ".svg, ";
  std::fprintf(out, "Figures in fig/: %s%s.probabilities.svg.\n", drawn.c_str(), run.c_str());
}
