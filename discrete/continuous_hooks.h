// The few services of the continuous model that the discrete model needs:
// printers for the continuous records that components, condition variables
// and mapping functions refer to, and the report of a discrete variable that
// cannot be found. The continuous model installs them in continuousHooks;
// until then the printers print nothing, the lists count as empty and the
// report is silent.
#ifndef MORVEL_DISCRETE_CONTINUOUS_HOOKS_H
#define MORVEL_DISCRETE_CONTINUOUS_HOOKS_H

#include <string>
#include <vector>

struct s_variable;
struct s_influence;
struct s_cond;
struct s_expr;
struct s_gVar;
struct s_mapfVar;
struct s_listsarnGVar;
struct s_listsarnExpr;
struct s_listsarnInitVar;

struct ContinuousHooks {
  // Record printers, each writing one record to standard output.
  void (*printCondition)(const s_cond *condition);
  void (*printInfluence)(const s_influence *influence);
  void (*printGVar)(const s_gVar *globalVariable);
  void (*printExpr)(const s_expr *expression);
  // The assigned variable's name, and its new value (or its expression when
  // it has no value), of a mapping-function assignment.
  std::string (*mapfVarName)(const s_mapfVar *assignment);
  void (*printMapfVarValue)(const s_mapfVar *assignment);
  // The elements of the linked lists a component holds, in list order.
  std::vector<const s_gVar *> (*gVarsOf)(const s_listsarnGVar *list);
  std::vector<const s_expr *> (*exprsOf)(const s_listsarnExpr *list);
  long (*initVarCount)(const s_listsarnInitVar *list);
  // Reports "variable not found." naming the variable (an error that ends
  // the load).
  void (*variableNotFound)(const std::string &name);
};

extern ContinuousHooks continuousHooks;

#endif
