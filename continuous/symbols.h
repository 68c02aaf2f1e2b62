// Name-ordered symbol trees: the dictionary of continuous variables and the
// table of symbolic constants. Both are binary search trees ordered by the
// byte order of the names (smaller names to the left), kept height-balanced so
// that a model with many instances loads in n log n.
#ifndef MORVEL_CONTINUOUS_SYMBOLS_H
#define MORVEL_CONTINUOUS_SYMBOLS_H

#include <string>

#include "continuous/records.h"

struct s_arBin {
  s_arBin *left = nullptr;
  s_arBin *right = nullptr;
  s_variable *var = nullptr;
  int height = 1;
};

struct s_arDef {
  s_arDef *left = nullptr;
  s_arDef *right = nullptr;
  std::string name;
  std::string text;  // definition text of the constant
  int height = 1;
};

// The variable of that name. A name seen for the first time gets a new
// variable with its fresh flag set; a later lookup clears the flag.
s_variable *name2Var(s_arBin *&tree, const std::string &name);

// Visits every variable of the tree in increasing name order.
template <typename Visit>
void forEachVariable(const s_arBin *tree, Visit &&visit) {
  if (tree == nullptr)
    return;
  forEachVariable(tree->left, visit);
  visit(tree->var);
  forEachVariable(tree->right, visit);
}

// The variable of that name, or null; its fresh flag is left as it is.
s_variable *findVariable(const s_arBin *tree, const std::string &name);

// The node of that name, or null.
s_arDef *searchDef(s_arDef *tree, const std::string &name);
// Adds the name with its text when it is absent and returns 1; returns 0
// and changes nothing when the name is already there.
int storeDef(s_arDef *&tree, const std::string &name, const std::string &text);
// Removes the name when it is there.
void delDef(s_arDef *&tree, const std::string &name);

#endif
