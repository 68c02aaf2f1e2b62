// Graphviz figures: the causal graph of the application and the influences of
// one component, written as dot files in the figure directory, converted to
// PostScript with `dot` and shown with the `gv` viewer.
#ifndef MORVEL_SHELL_FIGURES_H
#define MORVEL_SHELL_FIGURES_H

#include <cstdio>
#include <string>

#include "continuous/symbols.h"

// A variable's name as a dot identifier: the part before the first ".", "_",
// and the part after it; a name without "." gives both parts whole (x_x).
std::string dotIdentifier(const std::string &name);

// Opens the graph of that name, laid out left to right with plain-text nodes.
void geneDotHeaders(FILE *stream, const std::string &graphName);
// The variable, then an edge from the cause of each of its causes, coloured
// after the variable's node type. Nothing for a variable without node.
void dotNode(FILE *stream, const s_variable *var);
// dotNode for every variable of the tree, in name order.
void dotCGraph(FILE *stream, const s_arBin *tree);

// Writes the causal graph to figDir + appliName + ".dot" and shows it. Needs
// the graph of a compiled application. Returns 0 when the file could not be
// created, else 1.
int drawCausalGraph();
// Writes the variables and influences of the registered component of that
// name to figDir + appliName + "_" + name + ".dot" and shows it. Reports an
// unknown component through the registry.
void graphComp(const char *name);

// Runs "dot -Tps fig/<name>.dot -o fig/<name>.ps". Returns 0 when the shell
// could not be started, else 1, whatever dot reports.
int qxDotPs(const std::string &name);
// Converts, then starts "gv fig/<name>.ps &" in the background. Without a
// display (DISPLAY, WAYLAND_DISPLAY) or without gv on the path, first says
// where the figure was written and that no viewer could show it.
void launchPs(const std::string &name);

#endif
