#include "shell/figures.h"

#include <cstdlib>
#include <unistd.h>

#include "common/session.h"
#include "continuous/causal_graph.h"
#include "continuous/state.h"
#include "discrete/data_manager.h"

namespace {

// Edge colours by node type, which numbers update kinds as influences do.
const char *edgeColour(int type) {
  switch (type) {
    case inflDynamic:
      return "green4";
    case inflIntegral:
      return "violetred";
    case inflStatic:
      return "orange";
    case inflConstant:
      return "black";
    case inflSecondOrder:
      return "red";
  }
  return "black";
}

void dotEdge(FILE *stream, const s_influence *inf, int type) {
  std::fprintf(stream, "%s -> %s [label = \"%s\",color=%s ];\n",
               dotIdentifier(inf->cause->name).c_str(), dotIdentifier(inf->effect->name).c_str(),
               inf->ruleName.c_str(), edgeColour(type));
}

// Writes a figure file through draw, closing it with "}"; then shows it.
template <typename Draw>
bool writeFigure(const std::string &figureName, Draw &&draw) {
  std::string path = figDir + figureName + ".dot";
  FILE *stream = std::fopen(path.c_str(), "w");
  if (stream == nullptr) {
    std::printf("Can't create figure file %s\n", path.c_str());
    return false;
  }
  geneDotHeaders(stream, figureName);
  draw(stream);
  std::fputc('}', stream);
  std::fclose(stream);
  launchPs(figureName);
  return true;
}

bool onPath(const std::string &program) {
  const char *path = std::getenv("PATH");
  std::string directories = path != nullptr ? path : "";
  size_t start = 0;
  while (start <= directories.size()) {
    size_t end = directories.find(':', start);
    if (end == std::string::npos)
      end = directories.size();
    std::string directory = directories.substr(start, end - start);
    if (access(((directory.empty() ? "." : directory) + "/" + program).c_str(), X_OK) == 0)
      return true;
    start = end + 1;
  }
  return false;
}

bool isSet(const char *variable) {
  const char *value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Why the viewer cannot show a figure, or "" when nothing stands in its way.
std::string viewerObstacle() {
  if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
    return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  if (!onPath("gv"))
    return "gv is not on the path";
  return "";
}

}  // namespace

std::string dotIdentifier(const std::string &name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos)
    return name + "_" + name;
  return name.substr(0, dot) + "_" + name.substr(dot + 1);
}

void geneDotHeaders(FILE *stream, const std::string &graphName) {
  std::fprintf(stream,
               "digraph %s {\n\trankdir=LR;\n\tsize=\"8,5\";\n\tnode [shape = plaintext];\n\t",
               graphName.c_str());
}

void dotNode(FILE *stream, const s_variable *var) {
  if (var->node == nullptr)
    return;
  std::fprintf(stream, "%s;\n", dotIdentifier(var->name).c_str());
  for (const s_influence *inf : var->node->causes)
    dotEdge(stream, inf, var->node->type);
}

void dotCGraph(FILE *stream, const s_arBin *tree) {
  forEachVariable(tree, [stream](const s_variable *var) { dotNode(stream, var); });
}

int drawCausalGraph() {
  return writeFigure(appliName, [](FILE *stream) { dotCGraph(stream, dictionary); }) ? 1 : 0;
}

// A component's figure does not need the causal graph: its edges are
// coloured after the kind of each influence.
void graphComp(const char *name) {
  const Comp *comp = DataManager::getComp(name);
  if (comp == nullptr) {
    DataManager::dataError(1, 1);
    return;
  }
  writeFigure(appliName + "_" + name, [comp](FILE *stream) {
    if (comp->variables != nullptr)
      for (const s_variable *var : *comp->variables)
        std::fprintf(stream, "%s;\n", dotIdentifier(var->name).c_str());
    if (comp->influences != nullptr)
      for (const s_influence *inf : *comp->influences)
        dotEdge(stream, inf, inf->type);
  });
}

int qxDotPs(const std::string &name) {
  std::string command = "dot -Tps fig/" + name + ".dot -o fig/" + name + ".ps";
  std::fflush(stdout);
  if (std::system(command.c_str()) == -1) {
    std::fprintf(stderr, "Fail to convert dot file to ps.\n");
    return 0;
  }
  return 1;
}

void launchPs(const std::string &name) {
  if (qxDotPs(name) != 1)
    return;
  // The viewer runs in the background, where a failure would go unnoticed:
  // say at once when it cannot show the figure, and where the figure is.
  std::string obstacle = viewerObstacle();
  if (!obstacle.empty()) {
    std::string written = "fig/" + name + ".dot";
    if (access(("fig/" + name + ".ps").c_str(), F_OK) == 0)
      written += " and fig/" + name + ".ps";
    std::printf("Figure written to %s; no viewer could show it: %s.\n", written.c_str(),
                obstacle.c_str());
  }
  std::string command = "gv fig/" + name + ".ps &";
  if (std::system(command.c_str()) == -1)
    std::fprintf(stderr, "Fail to view ps file.\n");
}
