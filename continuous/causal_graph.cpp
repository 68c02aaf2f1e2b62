#include "continuous/causal_graph.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <unordered_map>
#include <unordered_set>

#include "continuous/diagnostics.h"
#include "continuous/expressions.h"
#include "continuous/state.h"

s_listsarnVar *depthListsarn[depthTableSize];
long maxDepth = 0;
long numTree = 0;
std::vector<std::string> tempDefs;

namespace {

bool isParameter(const s_variable *var) { return var->param != 0; }
bool isInput(const s_variable *var) { return (var->fct & fctInput) != 0; }
bool isMeasured(const s_variable *var) { return (var->fct & fctMeasure) != 0; }

bool isRealZero(const s_objet *o) {
  return o != nullptr && o->type == objReal && o->value->real == 0.0;
}

// A static or constant influence with no delay ties its effect to its cause
// within the same time step.
bool isInstantaneous(const s_influence *inf) {
  return (inf->type == inflStatic || inf->type == inflConstant) && isRealZero(inf->delay);
}

// The delay in whole time steps: the real, or a range's upper bound,
// truncated. An unbounded delay counts as the largest int, so that lengths
// added along a path stay representable.
long delaySteps(const s_objet *delay) {
  double steps = 0.0;
  if (delay != nullptr && delay->type == objReal)
    steps = delay->value->real;
  else if (delay != nullptr && delay->type == objRange)
    steps = delay->value->range->upper;
  return static_cast<long>(std::min(steps, static_cast<double>(INT_MAX)));
}

s_cNode *nodeOf(s_variable *var, const std::unordered_set<const s_variable *> &inTree) {
  if (inTree.count(var) == 0)
    return nullptr;
  if (var->node == nullptr)
    var->node = newRecord<s_cNode>();
  return var->node;
}

// Gives the variable its node type after the kinds of its causes.
void typeNode(s_variable *var) {
  s_cNode *node = var->node;
  bool dynamic = false, integral = false, stat = false, secondOrder = false;
  bool unequalTimes = false;
  for (const s_influence *inf : node->causes) {
    switch (inf->type) {
    case inflDynamic:
      dynamic = true;
      if (!eqObj(inf->respTime, node->causes.front()->respTime))
        unequalTimes = true;
      break;
    case inflIntegral:
      integral = true;
      break;
    case inflStatic:
    case inflConstant:
      stat = true;
      break;
    case inflSecondOrder:
      secondOrder = true;
      break;
    }
  }
  if (dynamic && (integral || stat)) {
    semErrorNaming(semErrorNoLine, nligne, 40, var->name);
  } else if (dynamic) {
    node->type = inflDynamic;
    if (unequalTimes)
      semError(semErrorNoLine, nligne, 41);
  } else if (secondOrder) {
    node->type = inflSecondOrder;
  } else if (integral && stat) {
    semErrorNaming(semErrorNoLine, nligne, 40, var->name);
  } else if (integral) {
    node->type = inflIntegral;
  } else if (stat) {
    node->type = inflStatic;
  }
}

bool hasInstantaneousCause(const s_variable *var) {
  for (const s_influence *inf : var->node->causes)
    if (isInstantaneous(inf))
      return true;
  return false;
}

// Raises the depth of var to d and carries the rise along its instantaneous
// effects. A variable met again while its own descent is under way closes a
// loop. Descents stop at the end of the depth table: the graph is refused
// there, and stopping keeps the walk short.
bool compTreeDepths(s_variable *var, long d) {
  if (var->treeMark == numTree) {
    semErrorNaming(semErrorNoLine, nligne, 53, var->name);
    return false;
  }
  if (var->depth >= d)
    return true;
  var->depth = d;
  if (d > maxDepth)
    maxDepth = d;
  if (d >= depthTableSize)
    return true;
  for (s_influence *inf : var->node->effects) {
    if (!isInstantaneous(inf))
      continue;
    var->treeMark = numTree;
    if (!compTreeDepths(inf->effect, d + 1))
      return false;
    numTree++;
  }
  return true;
}

// Walks back from a measured variable through every simple path of causes
// that are neither measured nor inputs. The path is the set of variables on
// the current walk; a frame remembers the next cause to try.
void traversePath(s_variable *measured) {
  struct frame {
    s_variable *var;
    long length;
    size_t next;
  };
  std::unordered_set<const s_variable *> path;
  std::vector<frame> walk;
  auto enter = [&](s_variable *var, long length) {
    if (var->node == nullptr || !path.insert(var).second)
      return;
    walk.push_back({var, length, 0});
  };
  enter(measured, 0);
  while (!walk.empty()) {
    frame &top = walk.back();
    if (top.next == top.var->node->causes.size()) {
      path.erase(top.var);
      walk.pop_back();
      continue;
    }
    s_influence *inf = top.var->node->causes[top.next++];
    long length = top.length;
    if (inf->condHistoLn < length)
      inf->condHistoLn = length;
    s_variable *cause = inf->cause;
    if (isMeasured(cause) || isInput(cause))
      continue;
    length += delaySteps(inf->delay);
    if (inf->type != inflStatic)
      length++;
    enter(cause, length);
  }
}

// Fills each global variable of the list with the positions of the
// constraints of exprs that use it. Only an expression's own global variable
// and its operands' can qualify, so each expression is looked at once.
void linkConstraints(s_listsarnGVar *gvars, const s_listsarnExpr *exprs,
                     s_listsarnLong *s_gVar::*positions) {
  std::unordered_map<const s_gVar *, s_listsarnLong *> last;  // last cell, null when empty
  for (s_listsarnGVar *cell = gvars; cell != nullptr; cell = cell->next) {
    cell->elt->*positions = nullptr;
    last[cell->elt] = nullptr;
  }
  long position = 0;
  for (; exprs != nullptr; exprs = exprs->next, position++) {
    const s_expr *e = exprs->elt;
    for (const s_expr *candidate : std::initializer_list<const s_expr *>{e, e->op1, e->op2}) {
      if (candidate == nullptr)
        continue;
      s_gVar *gv = candidate->gv;
      auto found = last.find(gv);
      if (found == last.end() || !hasGvAsArg(e, gv))
        continue;
      s_listsarnLong *&tail = found->second;
      if (tail != nullptr && tail->elt == position)
        continue;
      s_listsarnLong *added = newRecord<s_listsarnLong>();
      added->elt = position;
      if (tail == nullptr)
        gv->*positions = added;
      else
        tail->next = added;
      tail = added;
    }
  }
}

}  // namespace

void buildCGraph(s_arBin *tree) {
  std::unordered_set<const s_variable *> inTree;
  forEachVariable(tree, [&inTree](s_variable *var) {
    var->node = nullptr;
    var->depth = -1;
    var->treeMark = 0;
    inTree.insert(var);
  });
  for (s_listsarnInfl *cell = influListsarn; cell != nullptr; cell = cell->next) {
    s_influence *inf = cell->elt;
    if (s_cNode *node = nodeOf(inf->cause, inTree))
      node->effects.push_back(inf);
    if (s_cNode *node = nodeOf(inf->effect, inTree))
      node->causes.push_back(inf);
  }
  forEachVariable(tree, [](s_variable *var) {
    if (var->node == nullptr || var->node->causes.empty())
      return;
    if (isParameter(var))
      semError(semErrorAtLine, nligne, 39);
    else if (isInput(var))
      semError(semErrorAtLine, nligne, 54);
  });
}

int compCGraphDepths(s_arBin *tree) {
  bool ok = true;
  forEachVariable(tree, [&ok](s_variable *var) {
    if (!ok || var->node == nullptr)
      return;
    typeNode(var);
    if (hasInstantaneousCause(var))
      return;
    numTree++;
    ok = compTreeDepths(var, 0);
  });
  return ok ? 1 : 0;
}

void sortCGraph(s_arBin *tree) {
  s_listsarnVar *tails[depthTableSize];
  for (long d = 0; d < depthTableSize; d++) {
    tails[d] = depthListsarn[d];
    while (tails[d] != nullptr && tails[d]->next != nullptr)
      tails[d] = tails[d]->next;
  }
  forEachVariable(tree, [&tails](s_variable *var) {
    if (isParameter(var) || isInput(var) || var->depth < 0 || var->depth >= depthTableSize)
      return;
    s_listsarnVar *cell = newRecord<s_listsarnVar>();
    cell->elt = var;
    s_listsarnVar *&tail = tails[var->depth];
    if (tail == nullptr)
      depthListsarn[var->depth] = cell;
    else
      tail->next = cell;
    tail = cell;
  });
}

void actCondArrayLength() {
  for (s_listsarnVar *cell = measureListsarn; cell != nullptr; cell = cell->next)
    traversePath(cell->elt);
}

void checkInits(const s_listsarnVar *list) {
  std::unordered_set<const s_variable *> initialised;
  for (const s_listsarnInitVar *cell = initListsarn; cell != nullptr; cell = cell->next)
    initialised.insert(cell->elt->var);
  for (; list != nullptr; list = list->next) {
    const s_variable *var = list->elt;
    if (initialised.count(var) == 0 && !isMeasured(var))
      semErrorNaming(semWarningNoLine, nligne, 46, var->name);
  }
}

void buildGlobCOfGv(s_listsarnGVar *gvars) { linkConstraints(gvars, globCListsarn, &s_gVar::globC); }

void buildCondCOfGv(s_listsarnGVar *gvars) { linkConstraints(gvars, condCListsarn, &s_gVar::condC); }

void cleanDefs() {
  for (const std::string &name : tempDefs)
    delDef(symCons, name);
  tempDefs.clear();
}

int buildUpdatingSequence() {
  buildCGraph(dictionary);
  numTree = 0;
  maxDepth = 0;
  if (!compCGraphDepths(dictionary))
    return 0;
  if (maxDepth >= depthTableSize) {
    implError(3);
    return 0;
  }
  for (long d = 0; d <= maxDepth; d++)
    depthListsarn[d] = nullptr;
  sortCGraph(dictionary);
  actCondArrayLength();
  temporalListsarn = depthListsarn[0];
  untemporalListsarn = nullptr;
  for (long d = maxDepth; d >= 1; d--)
    untemporalListsarn = catListsarnVar(depthListsarn[d], untemporalListsarn);
  checkInits(temporalListsarn);
  return 1;
}
