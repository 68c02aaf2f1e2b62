#include "continuous/influences.h"

#include <algorithm>

#include "continuous/diagnostics.h"
#include "continuous/state.h"

namespace {

// Warning numbers for a coefficient given twice, by coefficient kind.
const int doubleDefinition[coefKinds] = {34, 35, 36, 60, 61, 82, 83, 84, 85, 86};

// Influence field of each coefficient kind.
s_objet *s_influence::*const coefField[coefKinds] = {
    &s_influence::gain, &s_influence::delay, &s_influence::respTime, &s_influence::xi,
    &s_influence::pulse, &s_influence::n1, &s_influence::n2, &s_influence::a0,
    &s_influence::a1, &s_influence::a2};

bool isNumber(const s_objet *o) {
  return o != nullptr && (o->type == objReal || o->type == objRange);
}

bool isZero(const s_objet *o) {
  return o != nullptr && o->type == objReal && o->value->real == 0.0;
}

// The largest value of a delay: the real, or the upper bound of a range.
double delayOf(const s_objet *o) {
  if (o->type == objRange)
    return o->value->range->upper;
  return o->type == objReal ? o->value->real : 0.0;
}

void raiseMaxDelay(s_variable *v, double d) { v->maxDelay = std::max(v->maxDelay, d); }

// A second-order influence with n1 needs a0/a2 - a1^2/(2*a2^2) >= 0, computed
// with the interval arithmetic. The check needs a single a0 value and both
// a1 and a2; parameters that cannot be checked are refused as well.
bool secondOrderParametersHold(const s_influence *inf) {
  if (inf->a0 == nullptr || inf->a0->type != objReal || !isNumber(inf->a1) ||
      !isNumber(inf->a2))
    return false;
  s_objet *result = newRangeObjet(0.5, 0.5, 1, 1);
  qx_mulObjet(result, inf->a1);
  qx_mulObjet(result, inf->a1);
  if (!qx_divObjet(result, inf->a2) || !qx_divObjet(result, inf->a2))
    return false;
  qx_minusObjet(result);
  double a0 = inf->a0->value->real;
  s_objet *term = newRangeObjet(a0, a0, 1, 1);
  if (!qx_divObjet(term, inf->a2))
    return false;
  qx_addObjet(result, term);
  return qx_geObjet(result, objZero) != 0;
}

// Takes the first coefficient of each kind; returns false when a coefficient
// has no value of its own (it names a variable, which an influence cannot hold).
bool takeCoefficients(s_influence *inf, const s_listsarnCoef *coefs,
                      bool (&given)[coefKinds]) {
  for (; coefs != nullptr; coefs = coefs->next) {
    const s_coef *coef = coefs->elt;
    if (given[coef->kind]) {
      semError(semWarningAtLine, nligne, doubleDefinition[coef->kind]);
      continue;
    }
    given[coef->kind] = true;
    if (coef->val == nullptr) {
      semError(semErrorAtLine, nligne, 8, coef->var != nullptr ? coef->var->name.c_str() : "");
      return false;
    }
    inf->*coefField[coef->kind] = coef->val;
    bool range = coef->val->type == objRange;
    if (range)
      inf->rangeFlag = 1;
    if (coef->kind == coefGain && range &&
        coef->val->value->range->lower * coef->val->value->range->upper < 0)
      semError(semErrorAtLine, nligne, 43);
    if (coef->kind == coefDelay) {
      double d = delayOf(coef->val);
      if (d < 0)
        semError(semErrorAtLine, nligne, 38);
      raiseMaxDelay(inf->cause, d);
    }
  }
  return true;
}

}  // namespace

s_influence *buildInfluence(Comp *comp, influType type, s_variable *cause,
                            s_variable *effect, const s_listsarnCoef *coefs) {
  if (type == inflConstant && !cause->param)
    semError(semErrorAtLine, nligne, 7);

  s_influence *inf = newRecord<s_influence>();
  inf->type = type;
  inf->cause = cause;
  inf->effect = effect;
  inf->gain = objUn;
  inf->delay = objZero;
  inf->respTime = objZero;

  bool given[coefKinds] = {};
  if (!takeCoefficients(inf, coefs, given))
    return nullptr;

  switch (type) {
    case inflSecondOrder:
      raiseMaxDelay(cause, 2.0);
      raiseMaxDelay(effect, 2.0);
      if (given[coefN1] && !secondOrderParametersHold(inf)) {
        std::string detail = cause->name + " --> " + effect->name;
        semError(semErrorAtLine, nligne, 87, detail.c_str());
        return nullptr;
      }
      break;
    case inflConstant:
      if (given[coefGain] || given[coefDelay] || given[coefRespTime])
        semError(semErrorAtLine, nligne, 33);
      break;
    case inflDynamic:
    case inflIntegral:
    case inflStatic:
      if (!given[coefGain])
        semError(semWarningAtLine, nligne, 24);
      if (!given[coefDelay])
        semError(semWarningAtLine, nligne, 25);
      if (type == inflIntegral && given[coefRespTime])
        semError(semErrorAtLine, nligne, 32);
      if (type == inflStatic && given[coefRespTime] && !isZero(inf->respTime))
        semError(semErrorAtLine, nligne, 22);
      if (type == inflDynamic) {
        if (isZero(inf->respTime))
          semError(semErrorAtLine, nligne, 23);
        if (cause->maxDelay == 0.0)
          cause->maxDelay = 1.0;
        if (effect->maxDelay == 0.0)
          effect->maxDelay = 1.0;
      }
      break;
  }

  inf->comp = comp;
  inf->num = ++numInflu;
  return inf;
}

void setRulesNames(s_listsarnInfl *list, const std::string &name) {
  for (; list != nullptr; list = list->next)
    list->elt->ruleName = name;
}
