// Singly linked lists of the continuous model. A list is its first cell; the
// empty list is the null pointer. Concatenations (cat...) link the second
// chain behind the first and share its cells; copying appends (add...) make
// new cells for the elements of the second list.
#ifndef MORVEL_CONTINUOUS_LISTS_H
#define MORVEL_CONTINUOUS_LISTS_H

#include <unordered_map>

#include "continuous/records.h"

struct s_parFor;  // formal parameter of a model block, owned by the definition parser
struct s_parEff;  // actual parameter of an instance, owned by the definition parser

struct s_listsarnLong {
  long elt = 0;
  s_listsarnLong *next = nullptr;
};
struct s_listsarnVar {
  s_variable *elt = nullptr;
  s_listsarnVar *next = nullptr;
};
struct s_listsarnParFor {
  s_parFor *elt = nullptr;
  s_listsarnParFor *next = nullptr;
};
struct s_listsarnParEff {
  s_parEff *elt = nullptr;
  s_listsarnParEff *next = nullptr;
};
struct s_listsarnCoef {
  s_coef *elt = nullptr;
  s_listsarnCoef *next = nullptr;
};
struct s_listsarnInfl {
  s_influence *elt = nullptr;
  s_listsarnInfl *next = nullptr;
};
struct s_listsarnGVar {
  s_gVar *elt = nullptr;
  s_listsarnGVar *next = nullptr;
};
struct s_listsarnExpr {
  s_expr *elt = nullptr;
  s_listsarnExpr *next = nullptr;
};
struct s_listsarnInitVar {
  s_initVar *elt = nullptr;
  s_listsarnInitVar *next = nullptr;
};

long listsarnLongLn(const s_listsarnLong *l);
s_listsarnLong *catListsarnLong(s_listsarnLong *a, s_listsarnLong *b);

long listsarnVarLn(const s_listsarnVar *l);
// Appends v in a new cell; a null v leaves the list as it is.
s_listsarnVar *appVariable(s_listsarnVar *l, s_variable *v);
s_listsarnVar *catListsarnVar(s_listsarnVar *a, s_listsarnVar *b);
int inListsarnVar(const s_listsarnVar *l, const s_variable *v);  // by identity

s_listsarnParFor *catListsarnParFor(s_listsarnParFor *a, s_listsarnParFor *b);
s_listsarnParEff *catListsarnParEff(s_listsarnParEff *a, s_listsarnParEff *b);
s_listsarnCoef *catListsarnCoef(s_listsarnCoef *a, s_listsarnCoef *b);

long listsarnInflLn(const s_listsarnInfl *l);
s_listsarnInfl *addListsarnInfl(s_listsarnInfl *a, const s_listsarnInfl *b);
s_listsarnInfl *catListsarnInfl(s_listsarnInfl *a, s_listsarnInfl *b);
// 1 when an influence of the list carries that rule name.
int isInInfluListsarn(const s_listsarnInfl *l, const std::string &ruleName);

long listsarnGVarLn(const s_listsarnGVar *l);
s_listsarnGVar *addListsarnGVar(s_listsarnGVar *a, const s_listsarnGVar *b);
s_listsarnGVar *catListsarnGVar(s_listsarnGVar *a, s_listsarnGVar *b);
// The cell whose global variable stands for v, or null.
s_listsarnGVar *isInGVarListsarn(s_listsarnGVar *l, const s_variable *v);
// Unlinks the first cell holding gv and returns the head of what remains.
s_listsarnGVar *removeGVar(s_listsarnGVar *l, const s_gVar *gv);

long listsarnExprLn(const s_listsarnExpr *l);
s_listsarnExpr *addListsarnExpr(s_listsarnExpr *a, const s_listsarnExpr *b);
s_listsarnExpr *catListsarnExpr(s_listsarnExpr *a, s_listsarnExpr *b);

long listsarnInitVarLn(const s_listsarnInitVar *l);
s_listsarnInitVar *addListsarnInitVar(s_listsarnInitVar *a, const s_listsarnInitVar *b);
s_listsarnInitVar *catListsarnInitVar(s_listsarnInitVar *a, s_listsarnInitVar *b);
// The cell whose initialisation concerns v, or null.
s_listsarnInitVar *isInInitListsarn(s_listsarnInitVar *l, const s_variable *v);

// Appends chains of cells to lists while remembering where each list ends, so
// that a list grows at the same cost per cell however long it is: only the
// appended cells are walked (and, once, a list met for the first time). The
// lists must not lose cells by other means while they are appended to.
class ListEnds {
 public:
  template <typename Cell>
  void append(Cell *&list, Cell *chain) {
    if (chain == nullptr)
      return;
    if (list == nullptr) {
      list = chain;
    } else {
      Cell *last = static_cast<Cell *>(lastCells[list]);
      if (last == nullptr)
        last = list;
      // Cells appended behind the remembered end by other means are walked over.
      while (last->next != nullptr)
        last = last->next;
      last->next = chain;
    }
    Cell *end = chain;
    while (end->next != nullptr)
      end = end->next;
    lastCells[list] = end;
  }

 private:
  std::unordered_map<const void *, void *> lastCells;  // last cell, by first cell
};

#endif
