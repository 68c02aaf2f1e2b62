// Continuous part of the diagnosis runtime: the records the generated code
// builds for every variable, influence, causal node, condition, global
// variable, expression and initialisation of the application, the
// application's runtime record, and the functions that create and set them.
// Record types are reached through pointer types (`variable` points to an
// s_Variable, and so on), which is how the generated code names them.
#ifndef MORVEL_RUNTIME_SARN_RUNT_H
#define MORVEL_RUNTIME_SARN_RUNT_H

#include <cfloat>    // DBL_MAX: infinite bounds are written as +-DBL_MAX
#include <cstddef>   // NULL, size_t
#include <cstdio>
#include <stdlib.h>  // calloc and realloc, called unqualified by the generated code
#include <string>
#include <vector>

class Atom;
class Transition;

// ---- Values

// Kinds of value object; the generated code writes them as numbers.
enum objType { objNone = 0, objReal = 1, objRange = 2, objBool = 3 };

// An interval; a real is carried as a range whose lower bound is the value.
// The generated code fills it with an aggregate initialiser in field order.
struct range {
  double low;
  double up;
  int lowClosed;  // 1 when the bound belongs to the interval
  int upClosed;
};

struct s_Objet {
  objType type;
  range val;
};
typedef s_Objet *objet;

void setObjType(objet object, objType type);
void setObjRangeVal(objet object, range value);

// Truth of an influence's activation condition at one past step.
enum boolVal { boolFalse = 0, boolTrue = 1 };

// ---- Records

// Kinds of influence, and of a causal node's update (0: no cause).
enum influType {
  influNone = 0,
  influDynamic = 1,
  influIntegral = 2,
  influStatic = 3,
  influConstant = 4,
  influSecondOrder = 5
};

// What a global variable stands for: a value (constant or intermediate
// result) or a continuous variable.
enum gVarType { gvValue = 0, gvVariable = 1 };

// Relations of a comparison: 1 =, 2 !=, 3 <=, 4 <, 5 >=, 6 >, 7 in.
enum opRel { opNone = 0, opEq = 1, opNe = 2, opLe = 3, opLt = 4, opGe = 5, opGt = 6, opIn = 7 };

// Kinds of expression node.
enum exprType {
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

typedef struct s_Variable *variable;
typedef struct s_Influence *influence;
typedef struct s_CGraph *cGraph;
typedef struct s_Condition *condition;
typedef struct s_GVar *gVar;
typedef struct s_Expr *expr;
typedef struct s_InitVar *initVar;

struct s_Variable {
  char *nom;             // instance name, ".", member name
  int cst;               // 1 for a parameter
  objet dom;             // domain of a variable; NULL for a parameter
  int deter;             // value determined in the current step
  objet oldVal;          // current value, or the value of a parameter
  objet newVal;          // value being computed; NULL for a parameter
  objet mesVal;          // measured value; NULL unless measured
  long lowAlrm;          // alarms of the current step
  long highAlrm;
  long *histoMisb;       // misbehaviour flags of the past steps
  cGraph node;           // NULL when the variable takes part in no influence
  long histoLn;          // number of past steps kept, 0 without history
  objet *histo;          // past values, most recent first
  objet *histoMes;       // past measures
  long *histoLowAlrm;
  long *histoHighAlrm;
  long ncd;              // conditions that read the variable
  long *relCd;           // their positions in the runtime's condition table
};

struct s_Influence {
  char *name;                  // rule name, "" when none
  influType it;
  variable cause;
  variable effet;
  condition cd;                // activation condition; NULL: always active
  long length_act_cond_hist;   // past steps of the condition that are kept
  boolVal *act_cond_array;     // their truth, length_act_cond_hist + 1 entries
  objet gain;
  long delinf;                 // delay bounds in time steps
  long delsup;
  objet tRep;                  // response time
  objet a;                     // working values of the update
  objet b;
  objet a2;
  objet b2;
  objet xi;                    // second-order damping, NULL when not given
  objet w;                     // second-order pulse
  objet n1;
  objet n2;
  objet d0;
  objet d1;
  objet d2;
  bool inf_fct;                // computed through the envelope functions
};

struct s_CGraph {
  long ncause;
  influence *vcause;   // influences whose effect is the variable
  influType ti;        // how the variable is updated
  long neffet;
  influence *veffet;   // influences whose cause is the variable
};

struct s_Condition {
  int type;        // 1 constant, 2 variable comparison, 3 or, 4 and, 5 not,
                   // 6 discrete atom, 7 expression comparison
  long cte;        // value of a constant condition
  condition op1;   // operands of or, and, not
  condition op2;
  variable var1;   // compared variable
  int opr;         // relation of a comparison (opRel)
  objet ob;        // compared constant
  variable var2;   // compared variable on the right
  long val;
  Atom *at;        // discrete atom tied to the condition, or NULL
  long num;
  long nle;        // positions of the constraints the condition uses
  long *le;
  expr e;          // compared expression
};

// A global variable of the global and condition constraints.
struct s_GVar {
  gVarType tgv;
  union {
    variable var;   // gvVariable
    long interm;    // gvValue: intermediate result number, 0 for a constant
  } uv;
  objet ob;         // current value
  long nex;         // global constraints that use it
  long *ex;         // (first entry: their count, then their positions)
  long ncex;        // condition constraints that use it
  long *cex;
};

struct s_Expr {
  exprType tex;
  gVar gv;     // holds the node's value, or NULL
  expr op1;
  expr op2;    // NULL for a sign change and for leaves
};

struct s_InitVar {
  variable var;
  objet val;
};

// One continuous reset of a mapping function: the variable, by its runtime
// name, and the position of its expression in the runtime's expression table.
struct s_MapfVar {
  const char *var;
  long mfc;
};
typedef s_MapfVar *mapfVar;

// ---- Diagnosis state

// Leaves of the hitting-set tree and sets of conflicting variables.
typedef struct s_LeafList *leafList;
typedef struct s_ConflictSet *conflictSet;

void createLeafListsarn(leafList *leaves);
void createConflictSet(conflictSet *conflicts);

// ---- The application's runtime record

typedef struct s_runtime *runtime;

struct s_runtime {
  const char *appli;   // application name
  long num;            // current step
  double ts;           // time step
  double dts;
  long twc;            // continuous time window, in steps
  long nvar;
  variable *dico;      // every variable
  long nin;
  variable *in;        // inputs and their values
  double *inval;
  long ndisp;
  variable *disp;      // displayed variables and their bounds
  double *dispinfval;
  double *dispsupval;
  long ndispall;
  variable *dispall;
  long nmes;
  variable *mes;       // measured variables, their values and alarms
  double *mesval;
  long *lowalarm;
  long *highalarm;
  long *lowmisb;
  long *highmisb;
  long *misb;
  long ntemp;
  variable *temp;      // updating sequence: temporal variables first,
  long nuntemp;
  variable *untemp;    // then the others by increasing depth
  long nifl;
  influence *infl;
  long *condin;
  long *condout;
  long ncg;
  cGraph *cg;
  long maxDepth;
  long nit;
  initVar *iv;
  long ngv;
  gVar *vgv;
  long ngc;
  expr *glc;           // global constraints
  long *inag;
  long ncdc;
  expr *cdc;           // condition constraints
  long *valSpc;
  long *inac;
  long nmfc;
  expr *mfc;           // mapping-function expressions
  int inited;
  int runGC;
  double cumTime;
  double prec;
  int onlyFaultIso;
  long numMisb;
  long numOk;
  variable *mbVA;      // misbehaving, correct and suspect variables
  variable *okVA;
  variable *sfVA;
  long oldNumMisb;
  variable *oldMisbVarArray;
  long numNodesHST;
  long ncondi;
  condition *condi;
  std::vector<Atom *> *bridgeEvents;        // discrete events raised by conditions
  std::vector<condition> *bridgeConds;
  std::vector<Transition *> *bridgeTransitions;
  std::vector<conflictSet> *bridgeConflicts;
  leafList HSTree;
  conflictSet softConflictListsarn;
  FILE *diagOut;
};

// ---- Construction helpers the generated code calls

// Allocates size bytes; ends the runtime when memory is exhausted.
void *new_malloc(size_t size);
// A copy of the text that the runtime owns.
char *mkString(const char *text);
const char *getVarName(variable v);
void resetVarAlarms(variable v);
// Gives the variable no history.
void resetVarHisto(variable v);
// Enters the influence in the runtime's influence graph.
void addInfluence(influence i);
condition mkCond();
void setCondType(condition c, int type);
void setCondCTE(condition c, long value);
// Ties the condition to a discrete atom.
void setCondAtom(condition c, Atom *atom);
mapfVar mkMapfVar(const char *variableName, long expression);

// ---- Globals

// The application's record, set at the end of its start-up function.
extern runtime morvel_rt;
// The runtime's condition table. The generated runtime header defines it
// when the model has conditions; the runtime library holds a default
// definition, alone in its archive member, for the models without any.
extern condition *condi;

// Defined by the generated runtime source from the model and the options.
extern long guards_int;   // the model declares a condition variable
extern long h_pi;         // prime implicants are in use
extern bool env_opti;     // influences use the envelope functions
extern std::string model_name;

#endif
