#include "continuous/merge_lists.h"

#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"

void mergeLists() {
  for (const auto &entry : DataManager::active_comps) {
    const Comp *comp = entry.second;
    if (comp->influences != nullptr)
      for (s_influence *influence : *comp->influences) {
        s_listsarnInfl cell{influence, nullptr};
        influListsarn = addListsarnInfl(influListsarn, &cell);
      }
    gVarListsarn = addListsarnGVar(gVarListsarn, comp->gvars);
    globCListsarn = addListsarnExpr(globCListsarn, comp->globalConstraints);
    condCListsarn = addListsarnExpr(condCListsarn, comp->condExprs);
    initListsarn = addListsarnInitVar(initListsarn, comp->initVars);
  }
}
