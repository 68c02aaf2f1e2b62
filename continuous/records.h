// Records of the continuous model: variables and their domains, influence
// coefficients, influences, conditions, expression nodes, global variables,
// initialisations and mapping-function assignments.
#ifndef MORVEL_CONTINUOUS_RECORDS_H
#define MORVEL_CONTINUOUS_RECORDS_H

#include <deque>
#include <string>

#include "continuous/values.h"

class Atom;      // discrete proposition a condition may be tied to
class Comp;      // component type that owns an influence
struct s_cNode;  // causal node, made when the causal graph is built

// The id of a discrete atom, as the printers show it; the discrete layer,
// which defines atoms, defines it.
const char *atomId(const Atom *atom);

struct s_variable;
struct s_expr;
struct s_listsarnLong;

// Every record of the continuous model lives until the process ends, as the
// model that refers to it does; a deque keeps the addresses stable as it grows.
template <typename T>
T *newRecord() {
  static std::deque<T> store;
  return &store.emplace_back();
}

// Interface functions of a variable, combined as bits.
enum fctBits : int { fctInput = 1, fctDisplay = 2, fctMeasure = 4 };

// Relation codes; the numbers are written into generated source.
enum opRel : int { opNone = 0, opEq = 1, opNe = 2, opLe = 3, opLt = 4, opGe = 5, opGt = 6, opIn = 7 };

// Kinds of influence coefficient, in the order of the coefficient keywords.
enum coefType : int {
  coefGain = 0,
  coefDelay = 1,
  coefRespTime = 2,
  coefXi = 3,
  coefPulse = 4,
  coefN1 = 5,
  coefN2 = 6,
  coefA0 = 7,
  coefA1 = 8,
  coefA2 = 9
};
const int coefKinds = 10;

// Kinds of influence; the numbers are written into generated source.
enum influType : int {
  inflDynamic = 1,
  inflIntegral = 2,
  inflStatic = 3,
  inflConstant = 4,
  inflSecondOrder = 5
};

// Kinds of condition.
enum condType : int {
  condBool = 1,     // boolean constant
  condVar = 2,      // comparison of a variable
  condOr = 3,
  condAnd = 4,
  condNot = 5,
  condAtom = 6,     // discrete atom
  condExprRel = 7   // comparison of an expression
};

// Kinds of expression node.
enum exprType : int {
  exprConst = 0,
  exprVar = 1,
  exprAdd = 2,
  exprSub = 3,
  exprMul = 4,
  exprDiv = 5,
  exprPow = 6,
  exprSign = 7,
  exprUnset = 8
};

// A declared value, or the parameter a declaration refers to.
struct s_domain {
  s_objet *val = nullptr;
  s_variable *var = nullptr;
};

struct s_variable {
  std::string name;
  std::string geneName;  // generated-source name, set by code generation
  int fresh = 1;         // 1 only until the name is looked up again
  objType type = objNone;
  int param = 0;         // 1 for a parameter
  int fct = 0;           // fctBits
  s_domain *dom = nullptr;
  s_objet *cstVal = nullptr;  // value of a literal constant
  s_cNode *node = nullptr;
  long depth = -1;
  long treeMark = 0;
  double maxDelay = 0.0;  // sizes the history the runtime keeps
};

struct s_coef {
  coefType kind = coefGain;
  s_objet *val = nullptr;      // absent when a variable gives the coefficient
  s_variable *var = nullptr;
};

struct s_cond;

struct s_influence {
  long num = 0;
  std::string ruleName;   // empty when none
  std::string blockName;  // empty when none
  influType type = inflDynamic;
  s_variable *cause = nullptr;
  s_variable *effect = nullptr;
  s_cond *cond = nullptr;  // absent: always active
  long condHistoLn = 0;
  s_objet *gain = nullptr;
  s_objet *delay = nullptr;
  s_objet *respTime = nullptr;
  s_objet *xi = nullptr;
  s_objet *pulse = nullptr;
  s_objet *a0 = nullptr;
  s_objet *a1 = nullptr;
  s_objet *a2 = nullptr;
  s_objet *n1 = nullptr;
  s_objet *n2 = nullptr;
  Comp *comp = nullptr;
  char rangeFlag = 0;  // 1 when a given coefficient is a range
};

struct s_cond {
  std::string name;
  long num = 0;
  int generated = 0;
  condType type = condBool;
  s_cond *parent = nullptr;
  s_cond *op1 = nullptr;
  s_cond *op2 = nullptr;
  s_variable *var1 = nullptr;
  opRel opr = opNone;
  s_objet *ob = nullptr;
  s_variable *var2 = nullptr;
  long val = 0;
  Atom *at = nullptr;
  s_expr *e = nullptr;
  s_listsarnLong *le = nullptr;
};

// A variable, a constant or an intermediate result of the global constraints.
struct s_gVar {
  long geneNum = 0;
  long generated = 0;
  s_variable *var = nullptr;  // absent for constants and intermediates
  long nInterm = 0;           // 0 unless an intermediate
  s_objet *value = nullptr;   // value of a constant
  s_listsarnLong *globC = nullptr;  // positions of the global constraints using it
  s_listsarnLong *condC = nullptr;  // positions of the condition constraints using it
};

struct s_expr {
  long geneNum = 0;
  s_gVar *gv = nullptr;
  exprType tex = exprUnset;
  s_expr *op1 = nullptr;
  s_expr *op2 = nullptr;
};

struct s_initVar {
  s_variable *var = nullptr;
  s_objet *val = nullptr;
};

// Continuous reset attached to a transition.
struct s_mapfVar {
  s_variable *var = nullptr;
  s_objet *val = nullptr;  // absent when an expression is given
  s_expr *expr = nullptr;
};

#endif
