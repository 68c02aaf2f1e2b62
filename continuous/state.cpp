#include "continuous/state.h"

s_arBin *dictionary = nullptr;
s_arDef *symCons = nullptr;

s_listsarnInfl *influListsarn = nullptr;
s_listsarnGVar *gVarListsarn = nullptr;
s_listsarnExpr *globCListsarn = nullptr;
s_listsarnExpr *condCListsarn = nullptr;
s_listsarnInitVar *initListsarn = nullptr;
s_listsarnVar *inputListsarn = nullptr;
s_listsarnVar *measureListsarn = nullptr;
s_listsarnVar *displayListsarn = nullptr;
s_listsarnVar *temporalListsarn = nullptr;
s_listsarnVar *untemporalListsarn = nullptr;

long numCstVar = 0;
long nInterm = 0;
long numInflu = 0;
long numCond = 0;

std::vector<s_cond *> conditions;

void resetContinuousSession() {
  dictionary = nullptr;
  symCons = nullptr;
  influListsarn = nullptr;
  gVarListsarn = nullptr;
  globCListsarn = nullptr;
  condCListsarn = nullptr;
  initListsarn = nullptr;
  inputListsarn = nullptr;
  measureListsarn = nullptr;
  displayListsarn = nullptr;
  temporalListsarn = nullptr;
  untemporalListsarn = nullptr;
  numCstVar = 0;
  nInterm = 0;
}
