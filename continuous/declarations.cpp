#include "continuous/declarations.h"

#include "continuous/diagnostics.h"
#include "continuous/state.h"

namespace {

bool isRange(const s_objet *o) { return o != nullptr && o->type == objRange; }

// A session list with its last cell as last seen, so that declaring the
// interface of many components appends without walking the whole list each
// time. A list that no longer starts where it did (a new load, or cells put
// in front) is walked once more.
struct SessionList {
  s_listsarnVar **list;
  const s_listsarnVar *head = nullptr;
  s_listsarnVar *last = nullptr;
};

SessionList *sessionListOf(int f) {
  static SessionList input{&inputListsarn}, display{&displayListsarn}, measure{&measureListsarn};
  switch (f) {
    case fctInput:
      return &input;
    case fctDisplay:
      return &display;
    case fctMeasure:
      return &measure;
    default:
      return nullptr;
  }
}

void appendToSession(SessionList &session, s_variable *v) {
  s_listsarnVar *cell = newRecord<s_listsarnVar>();
  cell->elt = v;
  s_listsarnVar *&list = *session.list;
  if (list == nullptr) {
    list = cell;
  } else {
    s_listsarnVar *last = session.head == list && session.last != nullptr ? session.last : list;
    while (last->next != nullptr)
      last = last->next;
    last->next = cell;
  }
  session.head = list;
  session.last = cell;
}

// A fresh value object equal to o (a range gets a record of its own).
s_objet *copyValue(const s_objet *o) {
  if (isRange(o)) {
    const s_range *r = o->value->range;
    return newRangeObjet(r->lower, r->upper, r->lowerClosed, r->upperClosed);
  }
  return newRealObjet(o->value->real);
}

}  // namespace

void setListsarnFct(s_listsarnVar *list, int f) {
  for (; list != nullptr; list = list->next) {
    s_variable *v = list->elt;
    if (v->param) {
      if (f == fctDisplay)
        semError(semWarningAtLine, nligne, 31, v->name.c_str());
      else
        semError(semErrorAtLine, nligne, 30, v->name.c_str());
      continue;
    }
    if (v->fct & f)
      continue;
    int fct = v->fct | f;
    if ((fct & fctInput) && (fct & fctMeasure))
      semError(semErrorAtLine, nligne, 52);
    v->fct = fct;
    if (SessionList *session = sessionListOf(f))
      appendToSession(*session, v);
  }
}

void setListsarnType(s_listsarnVar *list, objType t) {
  for (; list != nullptr; list = list->next) {
    s_variable *v = list->elt;
    if (v->type == objNone)
      v->type = t;
    else if (v->type != t)
      semError(semErrorAtLine, nligne, 6);
  }
}

void setListsarnConst(s_listsarnVar *list) {
  for (; list != nullptr; list = list->next) {
    if (list->elt->dom == nullptr)
      semError(semErrorAtLine, nligne, 10);
    list->elt->param = 1;
  }
}

s_variable *dom2Var(s_variable *var, int op, const s_domain *dom) {
  if (op == opIn) {
    if (!isRange(dom->val)) {
      semError(semErrorAtLine, nligne, 28);
      return nullptr;
    }
  } else if (op != opEq) {
    semError(semErrorAtLine, nligne, 21);
    return nullptr;
  } else if (dom->var == nullptr) {
    if (isRange(dom->val)) {
      semError(semErrorAtLine, nligne, 12);
      return nullptr;
    }
  } else {
    if (!dom->var->param) {
      semError(semErrorAtLine, nligne, 9);
      return nullptr;
    }
    var->dom = newRecord<s_domain>();
    if (dom->var->dom != nullptr)
      *var->dom = *dom->var->dom;
    return var;
  }
  var->dom = newRecord<s_domain>();
  *var->dom = *dom;
  return var;
}

s_coef *dom2Coef(coefType kind, int op, const s_domain *dom) {
  s_coef *coef = newRecord<s_coef>();
  coef->kind = kind;
  if (op == opIn) {
    if (!isRange(dom->val)) {
      semError(semErrorAtLine, nligne, 28);
      return nullptr;
    }
    coef->val = copyValue(dom->val);
  } else if (op != opEq) {
    semError(semErrorAtLine, nligne, 8);
    return nullptr;
  } else if (dom->var == nullptr) {
    if (isRange(dom->val)) {
      semError(semErrorAtLine, nligne, 12);
      return nullptr;
    }
    if (dom->val == nullptr || dom->val->type != objReal) {
      semError(semErrorAtLine, nligne, 8);
      return nullptr;
    }
    coef->val = copyValue(dom->val);
  } else if (!dom->var->param) {
    coef->var = dom->var;
  } else if (dom->var->dom == nullptr || dom->var->dom->val == nullptr) {
    // Without a value of its own the parameter cannot be copied; the
    // coefficient then names it, which the influence builder refuses.
    implError(7);
    coef->var = dom->var;
  } else {
    coef->val = copyValue(dom->var->dom->val);
  }
  return coef;
}

s_variable *const2Var(double x) {
  s_variable *v = newRecord<s_variable>();
  v->name = "cst_" + std::to_string(++numCstVar);
  v->type = objReal;
  v->param = 1;
  v->cstVal = newRealObjet(x);
  return v;
}

s_initVar *buildInitVar(s_variable *var, const s_domain *dom) {
  s_initVar *init = newRecord<s_initVar>();
  init->var = var;
  if (dom->var == nullptr) {
    init->val = dom->val;
    return init;
  }
  if (!dom->var->param)
    semError(semErrorAtLine, nligne, 9);
  if (dom->var->dom != nullptr)
    init->val = dom->var->dom->val;
  return init;
}

s_mapfVar *buildMapfVarExpr(s_variable *var, s_expr *expr) {
  s_mapfVar *mapf = newRecord<s_mapfVar>();
  mapf->var = var;
  mapf->expr = expr;
  return mapf;
}
