// Value objects of the continuous model: reals, ranges with open or closed
// bounds and booleans, their shared constants, a small interval arithmetic,
// comparisons and the readable and generated-source text forms.
#ifndef MORVEL_CONTINUOUS_VALUES_H
#define MORVEL_CONTINUOUS_VALUES_H

#include <cstdio>
#include <string>

// Interval; an infinite bound is -DBL_MAX or +DBL_MAX. A flag is 1 when its
// bound belongs to the range, 0 when the bound is open.
struct s_range {
  double lower;
  double upper;
  char lowerClosed;
  char upperClosed;
};

// The numbers are written into generated source and must not change.
enum objType { objNone = 0, objReal = 1, objRange = 2, objBool = 3 };

// Value cell: which member holds the value depends on the object's type.
union s_value {
  double real;
  long boolean;  // 0 or 1
  s_range *range;
};

// Value object. Copying an object shares its range record.
struct s_objet {
  objType type;
  s_value *value;
};

// Shared constants, created by objInit and never released. They must never
// be the first operand of the in-place arithmetic.
extern s_range *maxRange;   // [-oo, +oo]
extern s_range *posRange;   // [0, +oo]
extern s_range *posRangeS;  // ]0, +oo]
extern s_range *negRange;   // [-oo, 0]
extern s_range *negRangeS;  // [-oo, 0[
extern s_value *valZero, *valUn, *valMaxDbl, *valMaxRange, *valFalse, *valTrue;
extern s_objet *objZero, *objUn, *objMaxDbl;
extern s_objet *objFalse, *objTrue;
extern s_objet *objPos, *objPosS, *objNeg, *objNegS;

// Creates the shared constants; called once at start-up, before anything else.
void objInit();

// Records made here are kept until the process ends; callers never release them.
s_range *newRange(double lower, double upper, char lowerClosed, char upperClosed);
s_objet *newObjet();  // type 0, with a cell of its own
s_objet *newRealObjet(double x);
s_objet *newRangeObjet(double lower, double upper, char lowerClosed, char upperClosed);
s_objet *newBoolObjet(long b);

// "TRUE"/"true" give 1, "FALSE"/"false" give 0; any other text reports
// implementation error 2 and gives 0.
long a2Bool(const char *text);

// Interval arithmetic, in place on the first operand, on real and range
// operands. A range result always gets a range record of its own, so records
// shared with other objects are never changed.
void qx_mulObjet(s_objet *a, const s_objet *b);
int qx_divObjet(s_objet *a, const s_objet *b);  // 0 (a unchanged) on failure
void qx_addObjet(s_objet *a, const s_objet *b);
void qx_minusObjet(s_objet *a);
int qx_geObjet(const s_objet *a, const s_objet *b);  // 1 when a >= b
void qx_putObjet(const s_objet *a, s_objet *b);      // copies a into b

int eqObj(const s_objet *a, const s_objet *b);
int eqRange(const s_range *r1, const s_range *r2);

// Readable forms.
void printReal(FILE *stream, double x);
void printRange(FILE *stream, const s_range *r);
void printObjet(FILE *stream, const s_objet *o);

// Generated-source forms; name is the object's identifier in the generated code.
void geneReal(FILE *stream, double x);
void geneObjet(FILE *stream, const s_objet *o, std::string name);

#endif
