#include "continuous/values.h"

s_range *maxRange, *posRange, *posRangeS, *negRange, *negRangeS;
s_value *valZero, *valUn, *valMaxDbl, *valMaxRange, *valFalse, *valTrue;
s_objet *objZero, *objUn, *objMaxDbl, *objFalse, *objTrue;
s_objet *objPos, *objPosS, *objNeg, *objNegS;

void objInit() {}

s_range *newRange(double, double, char, char) { return nullptr; }
s_objet *newObjet() { return nullptr; }
s_objet *newRealObjet(double) { return nullptr; }
s_objet *newRangeObjet(double, double, char, char) { return nullptr; }
s_objet *newBoolObjet(long) { return nullptr; }
long a2Bool(const char *) { return 0; }
void qx_mulObjet(s_objet *, const s_objet *) {}
int qx_divObjet(s_objet *, const s_objet *) { return 0; }
void qx_addObjet(s_objet *, const s_objet *) {}
void qx_minusObjet(s_objet *) {}
int qx_geObjet(const s_objet *, const s_objet *) { return 0; }
void qx_putObjet(const s_objet *, s_objet *) {}
int eqObj(const s_objet *, const s_objet *) { return 0; }
int eqRange(const s_range *, const s_range *) { return 0; }
void printReal(FILE *, double) {}
void printRange(FILE *, const s_range *) {}
void printObjet(FILE *, const s_objet *) {}
void geneReal(FILE *, double) {}
void geneObjet(FILE *, const s_objet *, std::string) {}
