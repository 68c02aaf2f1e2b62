// Semantic values handed between the scanner, the grammar and the driver of
// the definition file language.
#ifndef MORVEL_LANGUAGES_DEFINITION_VALUES_H
#define MORVEL_LANGUAGES_DEFINITION_VALUES_H

#include <string>
#include <utility>
#include <vector>

#include "discrete/transition.h"

class StateVar;
class StateFormula;
class Formula;
struct s_cond;
struct s_expr;
struct s_domain;
struct s_variable;
struct s_listsarnVar;
struct s_coef;
struct s_listsarnCoef;
struct s_influence;
struct s_listsarnInfl;
struct s_initVar;
struct s_listsarnInitVar;
struct s_mapfVar;

// Kinds of state-variable declaration the scanner recognises.
enum class StateVarKind { Mode, Observable, Command, Dependent };

using NameList = std::vector<std::string>;
// (type name, formal name) pairs of an "others" list.
using PairList = std::vector<std::pair<std::string, std::string>>;
using CondList = std::vector<s_cond *>;
using MapFuncList = std::vector<MapFunc *>;
using AssignmentList = std::vector<s_mapfVar *>;
using ValueList = std::vector<std::string>;

// The conditions and expressions the declaration pass built for a
// component, in the order the parser reduced them.
struct BuiltElements {
  std::vector<s_cond *> conditions;
  std::vector<s_expr *> expressions;
};

// A relation between two expressions, before the construct that holds it
// decides whether it is a global constraint or a condition.
struct Equation {
  s_expr *left;
  long relation;
  s_expr *right;
};


#endif
