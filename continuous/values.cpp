#include "continuous/values.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <deque>
#include <initializer_list>

#include "continuous/diagnostics.h"

s_range *maxRange, *posRange, *posRangeS, *negRange, *negRangeS;
s_value *valZero, *valUn, *valMaxDbl, *valMaxRange, *valFalse, *valTrue;
s_objet *objZero, *objUn, *objMaxDbl, *objFalse, *objTrue;
s_objet *objPos, *objPosS, *objNeg, *objNegS;

namespace {

// Every record made here is kept until the process ends, as the model that
// refers to it is; a deque keeps the addresses stable as it grows.
template <typename T>
T *keep(const T &record) {
  static std::deque<T> store;
  store.push_back(record);
  return &store.back();
}

s_value *newValue() { return keep(s_value{0.0}); }

s_objet *newObjetWith(objType type, s_value *value) { return keep(s_objet{type, value}); }

// Reported for operations the value arithmetic and generation do not define.
void reportUndefined(const char *what) {
  std::printf("Implementation error.\n ...%s\n", what);
}

bool isNumeric(const s_objet *o) {
  return o != nullptr && o->value != nullptr && (o->type == objReal || o->type == objRange);
}

bool checkOperands(const s_objet *a, const s_objet *b) {
  if (isNumeric(a) && (b == nullptr || isNumeric(b)))
    return true;
  reportUndefined("arithmetic on a value object that is neither real nor range.");
  return false;
}

// Bounds of ±DBL_MAX stand for the infinities; the arithmetic keeps them
// infinite instead of letting them overflow or shrink to large finite values.
bool isInfinite(double x) { return x >= DBL_MAX || x <= -DBL_MAX; }

double infinity(bool negative) { return negative ? -DBL_MAX : DBL_MAX; }

// Keeps a finite result inside the encoding: an overflow becomes an infinite
// bound, and -0 becomes 0 so that it prints as 0.
double bound(double x) {
  if (isInfinite(x))
    return infinity(x < 0);
  return x == 0.0 ? 0.0 : x;
}

// The least and greatest value that the result of an operation on two bounds
// stands for. They differ only for the forms an infinity leaves open
// (infinity over infinity, infinities of opposite signs added).
struct span {
  double low;
  double high;
};

span point(double x) { return {x, x}; }

span mulBound(double x, double y) {
  if (x == 0.0 || y == 0.0)
    return point(0.0);
  if (isInfinite(x) || isInfinite(y))
    return point(infinity((x < 0) != (y < 0)));
  return point(bound(x * y));
}

// y is never 0: division checks its divisor first.
span divBound(double x, double y) {
  bool negative = (x < 0) != (y < 0);
  if (isInfinite(x) && isInfinite(y))
    return negative ? span{-DBL_MAX, 0.0} : span{0.0, DBL_MAX};
  if (isInfinite(x))
    return point(infinity(negative));
  if (isInfinite(y))
    return point(0.0);
  return point(bound(x / y));
}

span addBound(double x, double y) {
  if (isInfinite(x) && isInfinite(y) && (x < 0) != (y < 0))
    return {-DBL_MAX, DBL_MAX};
  if (isInfinite(x))
    return point(x < 0 ? -DBL_MAX : DBL_MAX);
  if (isInfinite(y))
    return point(y < 0 ? -DBL_MAX : DBL_MAX);
  return point(bound(x + y));
}

double lowest(std::initializer_list<span> spans) {
  double low = DBL_MAX;
  for (const span &s : spans)
    low = std::min(low, s.low);
  return low;
}

double highest(std::initializer_list<span> spans) {
  double high = -DBL_MAX;
  for (const span &s : spans)
    high = std::max(high, s.high);
  return high;
}

void setReal(s_objet *a, double x) {
  a->type = objReal;
  a->value->real = x;
}

// A range result always gets a record of its own: the previous one may be
// shared with other objects or be a shared constant.
void setRange(s_objet *a, double lower, double upper, char lowerClosed, char upperClosed) {
  a->type = objRange;
  a->value->range = newRange(lower, upper, lowerClosed, upperClosed);
}

// Real results of two reals: an open form has no single value.
bool setRealResult(s_objet *a, span result) {
  if (result.low != result.high) {
    reportUndefined("undefined operation on infinite values.");
    return false;
  }
  setReal(a, result.low);
  return true;
}

bool excludesZero(const s_range *r) {
  return (r->lower > 0 && r->upper > 0) || (r->lower < 0 && r->upper < 0);
}

}  // namespace

void objInit() {
  if (maxRange != nullptr)
    return;
  maxRange = newRange(-DBL_MAX, DBL_MAX, 1, 1);
  posRange = newRange(0.0, DBL_MAX, 1, 1);
  posRangeS = newRange(0.0, DBL_MAX, 0, 1);
  negRange = newRange(-DBL_MAX, 0.0, 1, 1);
  negRangeS = newRange(-DBL_MAX, 0.0, 1, 0);

  valZero = keep(s_value{0.0});
  valUn = keep(s_value{1.0});
  valMaxDbl = keep(s_value{DBL_MAX});
  valMaxRange = newValue();
  valMaxRange->range = maxRange;
  valFalse = newValue();
  valFalse->boolean = 0;
  valTrue = newValue();
  valTrue->boolean = 1;

  objZero = newRealObjet(0.0);
  objUn = newRealObjet(1.0);
  objMaxDbl = newRealObjet(DBL_MAX);
  objFalse = newBoolObjet(0);
  objTrue = newBoolObjet(1);
  objPos = newObjetWith(objRange, newValue());
  objPos->value->range = posRange;
  objPosS = newObjetWith(objRange, newValue());
  objPosS->value->range = posRangeS;
  objNeg = newObjetWith(objRange, newValue());
  objNeg->value->range = negRange;
  objNegS = newObjetWith(objRange, newValue());
  objNegS->value->range = negRangeS;
}

s_range *newRange(double lower, double upper, char lowerClosed, char upperClosed) {
  return keep(s_range{lower, upper, lowerClosed, upperClosed});
}

s_objet *newObjet() { return newObjetWith(objNone, newValue()); }

s_objet *newRealObjet(double x) {
  s_objet *o = newObjetWith(objReal, newValue());
  o->value->real = x;
  return o;
}

s_objet *newRangeObjet(double lower, double upper, char lowerClosed, char upperClosed) {
  s_objet *o = newObjetWith(objRange, newValue());
  o->value->range = newRange(lower, upper, lowerClosed, upperClosed);
  return o;
}

s_objet *newBoolObjet(long b) {
  s_objet *o = newObjetWith(objBool, newValue());
  o->value->boolean = b;
  return o;
}

long a2Bool(const char *text) {
  if (text != nullptr) {
    if (std::strcmp(text, "TRUE") == 0 || std::strcmp(text, "true") == 0)
      return 1;
    if (std::strcmp(text, "FALSE") == 0 || std::strcmp(text, "false") == 0)
      return 0;
  }
  implError(2);
  return 0;
}

void qx_mulObjet(s_objet *a, const s_objet *b) {
  if (!checkOperands(a, b))
    return;
  if (a->type == objReal) {
    double x = a->value->real;
    if (x == 0.0) {
      setReal(a, 0.0);
    } else if (b->type == objReal) {
      setRealResult(a, mulBound(x, b->value->real));
    } else {
      const s_range *r = b->value->range;
      span l = mulBound(x, r->lower), u = mulBound(x, r->upper);
      setRange(a, lowest({l, u}), highest({l, u}), r->lowerClosed, r->upperClosed);
    }
    return;
  }
  const s_range *r = a->value->range;
  if (b->type == objReal) {
    double y = b->value->real;
    if (y == 0.0) {
      setReal(a, 0.0);
      return;
    }
    span l = mulBound(r->lower, y), u = mulBound(r->upper, y);
    setRange(a, lowest({l, u}), highest({l, u}), r->lowerClosed, r->upperClosed);
    return;
  }
  const s_range *r2 = b->value->range;
  span ll = mulBound(r->lower, r2->lower), lu = mulBound(r->lower, r2->upper);
  span ul = mulBound(r->upper, r2->lower), uu = mulBound(r->upper, r2->upper);
  setRange(a, lowest({ll, lu, ul, uu}), highest({ll, lu, ul, uu}), r->lowerClosed,
           r->upperClosed);
}

int qx_divObjet(s_objet *a, const s_objet *b) {
  if (!checkOperands(a, b))
    return 0;
  if (b->type == objReal ? b->value->real == 0.0 : !excludesZero(b->value->range))
    return 0;
  if (a->type == objReal) {
    double x = a->value->real;
    if (b->type == objReal)
      return setRealResult(a, divBound(x, b->value->real)) ? 1 : 0;
    const s_range *r2 = b->value->range;
    span l = divBound(x, r2->lower), u = divBound(x, r2->upper);
    setRange(a, lowest({l, u}), highest({l, u}), r2->lowerClosed, r2->upperClosed);
    return 1;
  }
  const s_range *r = a->value->range;
  if (b->type == objReal) {
    double y = b->value->real;
    span l = divBound(r->lower, y), u = divBound(r->upper, y);
    setRange(a, lowest({l, u}), highest({l, u}), r->lowerClosed, r->upperClosed);
    return 1;
  }
  const s_range *r2 = b->value->range;
  span ll = divBound(r->lower, r2->lower), lu = divBound(r->lower, r2->upper);
  span ul = divBound(r->upper, r2->lower), uu = divBound(r->upper, r2->upper);
  setRange(a, lowest({ll, lu, ul, uu}), highest({ll, lu, ul, uu}), r->lowerClosed,
           r->upperClosed);
  return 1;
}

void qx_addObjet(s_objet *a, const s_objet *b) {
  if (!checkOperands(a, b))
    return;
  if (a->type == objReal) {
    double x = a->value->real;
    if (b->type == objReal) {
      setRealResult(a, addBound(x, b->value->real));
      return;
    }
    const s_range *r2 = b->value->range;
    setRange(a, addBound(x, r2->lower).low, addBound(x, r2->upper).high, r2->lowerClosed,
             r2->upperClosed);
    return;
  }
  const s_range *r = a->value->range;
  double lower2 = b->type == objReal ? b->value->real : b->value->range->lower;
  double upper2 = b->type == objReal ? b->value->real : b->value->range->upper;
  setRange(a, addBound(r->lower, lower2).low, addBound(r->upper, upper2).high, r->lowerClosed,
           r->upperClosed);
}

void qx_minusObjet(s_objet *a) {
  if (!checkOperands(a, nullptr))
    return;
  if (a->type == objReal) {
    setReal(a, bound(-a->value->real));
    return;
  }
  const s_range *r = a->value->range;
  setRange(a, bound(-r->upper), bound(-r->lower), r->upperClosed, r->lowerClosed);
}

int qx_geObjet(const s_objet *a, const s_objet *b) {
  if (!checkOperands(a, b))
    return 0;
  // a's least value against b's greatest; an equality counts only when the
  // bound that decides it is closed.
  if (a->type == objReal) {
    double x = a->value->real;
    if (b->type == objReal)
      return x >= b->value->real ? 1 : 0;
    const s_range *r2 = b->value->range;
    return x > r2->upper || (x == r2->upper && r2->upperClosed) ? 1 : 0;
  }
  const s_range *r = a->value->range;
  if (b->type == objReal) {
    double y = b->value->real;
    return r->lower > y || (r->lower == y && r->lowerClosed) ? 1 : 0;
  }
  const s_range *r2 = b->value->range;
  return r->lower > r2->upper || (r->lower == r2->upper && r2->upperClosed) ? 1 : 0;
}

void qx_putObjet(const s_objet *a, s_objet *b) {
  if (b->value == nullptr)
    b->value = newValue();
  b->type = a->type;
  switch (a->type) {
  case objReal:
    b->value->real = a->value->real;
    break;
  case objRange:
    b->value->range = a->value->range;
    break;
  case objBool:
    b->value->boolean = a->value->boolean;
    break;
  case objNone:
    break;
  }
}

int eqObj(const s_objet *a, const s_objet *b) {
  if (a == nullptr || b == nullptr || a->type != b->type)
    return 0;
  if (a->type == objReal)
    return a->value->real == b->value->real ? 1 : 0;
  if (a->type == objRange)
    return eqRange(a->value->range, b->value->range);
  return 0;
}

int eqRange(const s_range *r1, const s_range *r2) {
  return r1->lower == r2->lower && r1->upper == r2->upper ? 1 : 0;
}

void printReal(FILE *stream, double x) {
  if (x <= -DBL_MAX)
    std::fprintf(stream, "-oo");
  else if (x >= DBL_MAX)
    std::fprintf(stream, "+oo");
  else
    std::fprintf(stream, "%g", x);
}

void printRange(FILE *stream, const s_range *r) {
  std::fprintf(stream, r->lowerClosed ? "[" : "]");
  printReal(stream, r->lower);
  std::fprintf(stream, ", ");
  printReal(stream, r->upper);
  std::fprintf(stream, r->upperClosed ? "]" : "[");
}

void printObjet(FILE *stream, const s_objet *o) {
  if (o == nullptr)
    return;
  if (o->type == objReal) {
    std::fprintf(stream, " =");
    printReal(stream, o->value->real);
  } else if (o->type == objRange) {
    std::fprintf(stream, " in ");
    printRange(stream, o->value->range);
  }
}

void geneReal(FILE *stream, double x) {
  if (x <= -DBL_MAX)
    std::fprintf(stream, "-DBL_MAX");
  else if (x >= DBL_MAX)
    std::fprintf(stream, "DBL_MAX");
  else
    std::fprintf(stream, "%g", x);
}

void geneObjet(FILE *stream, const s_objet *o, std::string name) {
  const char *id = name.c_str();
  objType type = o != nullptr ? o->type : objNone;
  switch (type) {
  case objRange: {
    const s_range *r = o->value->range;
    std::fprintf(stream, "setObjType(%s, (objType)%d);\n\t", id, objRange);
    std::fprintf(stream, "range r_%s = {%g,%g, %i, %i};\n\t", id, r->lower, r->upper,
                 r->lowerClosed, r->upperClosed);
    std::fprintf(stream, "setObjRangeVal(%s, r_%s);\n\t", id, id);
    break;
  }
  case objReal:
    std::fprintf(stream, "setObjType(%s, (objType)%d);\n\t", id, objReal);
    std::fprintf(stream, "range r_%s = {", id);
    geneReal(stream, o->value->real);
    std::fprintf(stream, ",%g};\n\tsetObjRangeVal(%s, r_%s);\n\t", 0.0, id, id);
    break;
  case objBool:
    implError(5);
    break;
  case objNone:
    reportUndefined("value object without value in code generation.");
    break;
  }
}
