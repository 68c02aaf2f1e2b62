#include "discrete/continuous_hooks.h"

ContinuousHooks continuousHooks = {
    [](const s_cond *) {},
    [](const s_influence *) {},
    [](const s_gVar *) {},
    [](const s_expr *) {},
    [](const s_mapfVar *) { return std::string(); },
    [](const s_mapfVar *) {},
    [](const s_listsarnGVar *) { return std::vector<const s_gVar *>(); },
    [](const s_listsarnExpr *) { return std::vector<const s_expr *>(); },
    [](const s_listsarnInitVar *) { return 0L; },
    [](const std::string &) {},
};
