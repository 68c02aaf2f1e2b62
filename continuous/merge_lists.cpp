#include "continuous/merge_lists.h"

#include <vector>

#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"

namespace {

// Puts copies of the cells of list in front of rest: walking only the copy
// keeps the whole merge linear in the number of elements.
template <typename Cell>
Cell *prependCopy(const Cell *list, Cell *rest) {
  Cell *copy = nullptr;
  Cell **end = &copy;
  for (; list != nullptr; list = list->next) {
    *end = newRecord<Cell>();
    (*end)->elt = list->elt;
    end = &(*end)->next;
  }
  *end = rest;
  return copy;
}

} // namespace

void mergeLists() {
  std::vector<const Comp *> registered;
  for (const auto &entry : DataManager::active_comps)
    registered.push_back(entry.second);

  // From the last component to the first, each one's lists go in front of
  // those of the components after it.
  s_listsarnInfl *influences = nullptr;
  s_listsarnGVar *gvars = nullptr;
  s_listsarnExpr *globals = nullptr, *conds = nullptr;
  s_listsarnInitVar *inits = nullptr;
  for (auto comp = registered.rbegin(); comp != registered.rend(); ++comp) {
    if ((*comp)->influences != nullptr)
      for (auto influence = (*comp)->influences->rbegin(); influence != (*comp)->influences->rend();
           ++influence) {
        s_listsarnInfl *cell = newRecord<s_listsarnInfl>();
        cell->elt = *influence;
        cell->next = influences;
        influences = cell;
      }
    gvars = prependCopy((*comp)->gvars, gvars);
    globals = prependCopy((*comp)->globalConstraints, globals);
    conds = prependCopy((*comp)->condExprs, conds);
    inits = prependCopy((*comp)->initVars, inits);
  }
  influListsarn = catListsarnInfl(influListsarn, influences);
  gVarListsarn = catListsarnGVar(gVarListsarn, gvars);
  globCListsarn = catListsarnExpr(globCListsarn, globals);
  condCListsarn = catListsarnExpr(condCListsarn, conds);
  initListsarn = catListsarnInitVar(initListsarn, inits);
}
