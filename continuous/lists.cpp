#include "continuous/lists.h"

namespace {

template <typename Cell>
long length(const Cell *l) {
  long n = 0;
  for (; l != nullptr; l = l->next)
    ++n;
  return n;
}

template <typename Cell>
Cell *lastCell(Cell *l) {
  while (l->next != nullptr)
    l = l->next;
  return l;
}

template <typename Cell>
Cell *concat(Cell *a, Cell *b) {
  if (a == nullptr)
    return b;
  lastCell(a)->next = b;
  return a;
}

// Counts b first, so that appending a list to itself copies it once.
template <typename Cell>
Cell *appendCopy(Cell *a, const Cell *b) {
  Cell *head = a;
  Cell *tail = a == nullptr ? nullptr : lastCell(a);
  for (long n = length(b); n > 0; --n, b = b->next) {
    Cell *cell = newRecord<Cell>();
    cell->elt = b->elt;
    if (tail == nullptr)
      head = cell;
    else
      tail->next = cell;
    tail = cell;
  }
  return head;
}

}  // namespace

long listsarnLongLn(const s_listsarnLong *l) { return length(l); }
s_listsarnLong *catListsarnLong(s_listsarnLong *a, s_listsarnLong *b) { return concat(a, b); }

long listsarnVarLn(const s_listsarnVar *l) { return length(l); }

s_listsarnVar *appVariable(s_listsarnVar *l, s_variable *v) {
  if (v == nullptr)
    return l;
  s_listsarnVar *cell = newRecord<s_listsarnVar>();
  cell->elt = v;
  return concat(l, cell);
}

s_listsarnVar *catListsarnVar(s_listsarnVar *a, s_listsarnVar *b) { return concat(a, b); }

int inListsarnVar(const s_listsarnVar *l, const s_variable *v) {
  for (; l != nullptr; l = l->next)
    if (l->elt == v)
      return 1;
  return 0;
}

s_listsarnParFor *catListsarnParFor(s_listsarnParFor *a, s_listsarnParFor *b) {
  return concat(a, b);
}
s_listsarnParEff *catListsarnParEff(s_listsarnParEff *a, s_listsarnParEff *b) {
  return concat(a, b);
}
s_listsarnCoef *catListsarnCoef(s_listsarnCoef *a, s_listsarnCoef *b) { return concat(a, b); }

long listsarnInflLn(const s_listsarnInfl *l) { return length(l); }
s_listsarnInfl *addListsarnInfl(s_listsarnInfl *a, const s_listsarnInfl *b) {
  return appendCopy(a, b);
}
s_listsarnInfl *catListsarnInfl(s_listsarnInfl *a, s_listsarnInfl *b) { return concat(a, b); }

int isInInfluListsarn(const s_listsarnInfl *l, const std::string &ruleName) {
  for (; l != nullptr; l = l->next)
    if (l->elt->ruleName == ruleName)
      return 1;
  return 0;
}

long listsarnGVarLn(const s_listsarnGVar *l) { return length(l); }
s_listsarnGVar *addListsarnGVar(s_listsarnGVar *a, const s_listsarnGVar *b) {
  return appendCopy(a, b);
}
s_listsarnGVar *catListsarnGVar(s_listsarnGVar *a, s_listsarnGVar *b) { return concat(a, b); }

s_listsarnGVar *isInGVarListsarn(s_listsarnGVar *l, const s_variable *v) {
  for (; l != nullptr; l = l->next)
    if (l->elt->var == v)
      return l;
  return nullptr;
}

s_listsarnGVar *removeGVar(s_listsarnGVar *l, const s_gVar *gv) {
  if (l == nullptr)
    return nullptr;
  if (l->elt == gv)
    return l->next;
  for (s_listsarnGVar *prev = l; prev->next != nullptr; prev = prev->next)
    if (prev->next->elt == gv) {
      prev->next = prev->next->next;
      break;
    }
  return l;
}

long listsarnExprLn(const s_listsarnExpr *l) { return length(l); }
s_listsarnExpr *addListsarnExpr(s_listsarnExpr *a, const s_listsarnExpr *b) {
  return appendCopy(a, b);
}
s_listsarnExpr *catListsarnExpr(s_listsarnExpr *a, s_listsarnExpr *b) { return concat(a, b); }

long listsarnInitVarLn(const s_listsarnInitVar *l) { return length(l); }
s_listsarnInitVar *addListsarnInitVar(s_listsarnInitVar *a, const s_listsarnInitVar *b) {
  return appendCopy(a, b);
}
s_listsarnInitVar *catListsarnInitVar(s_listsarnInitVar *a, s_listsarnInitVar *b) {
  return concat(a, b);
}

s_listsarnInitVar *isInInitListsarn(s_listsarnInitVar *l, const s_variable *v) {
  for (; l != nullptr; l = l->next)
    if (l->elt->var == v)
      return l;
  return nullptr;
}
