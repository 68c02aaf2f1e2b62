// The construction helpers the generated start-up code calls to build the
// continuous records of an application.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sarn-runt.h"

// The hitting-set tree and conflict sets of a diagnosis: this runtime keeps
// them empty.
struct s_LeafList {
  long count;
};
struct s_ConflictSet {
  long count;
};

void *new_malloc(size_t size) {
  void *memory = calloc(1, size > 0 ? size : 1);
  if (memory == NULL) {
    fprintf(stderr, "runtime: out of memory\n");
    exit(3);
  }
  return memory;
}

char *mkString(const char *text) {
  char *copy = static_cast<char *>(new_malloc(strlen(text) + 1));
  strcpy(copy, text);
  return copy;
}

void setObjType(objet object, objType type) { object->type = type; }

void setObjRangeVal(objet object, range value) { object->val = value; }

const char *getVarName(variable v) { return v->nom; }

void resetVarAlarms(variable v) {
  v->lowAlrm = 0;
  v->highAlrm = 0;
}

void resetVarHisto(variable v) {
  v->histoLn = 0;
  v->histo = NULL;
  v->histoMes = NULL;
  v->histoLowAlrm = NULL;
  v->histoHighAlrm = NULL;
}

// Influences reach the runtime through its influence table and the causal
// nodes; nothing more is needed when one is created.
void addInfluence(influence) {}

condition mkCond() { return static_cast<condition>(new_malloc(sizeof(s_Condition))); }

void setCondType(condition c, int type) { c->type = type; }

void setCondCTE(condition c, long value) { c->cte = value; }

void setCondAtom(condition c, Atom *atom) { c->at = atom; }

mapfVar mkMapfVar(const char *variableName, long expression) {
  mapfVar reset = static_cast<mapfVar>(new_malloc(sizeof(s_MapfVar)));
  reset->var = mkString(variableName);
  reset->mfc = expression;
  return reset;
}

void createLeafListsarn(leafList *leaves) {
  *leaves = static_cast<leafList>(new_malloc(sizeof(s_LeafList)));
}

void createConflictSet(conflictSet *conflicts) {
  *conflicts = static_cast<conflictSet>(new_malloc(sizeof(s_ConflictSet)));
}
