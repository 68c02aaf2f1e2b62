#include "StateFormula.h"

StateFormula::StateFormula() : atoms(new std::multimap<bool, Atom *>()) {}

StateFormula::~StateFormula() { delete atoms; }

void StateFormula::addAtom(Atom *atom, bool sign) { atoms->insert({sign, atom}); }

void StateFormula::setOperat(std::string newOperat) {
  if (newOperat == "and" || newOperat == "or")
    operat = newOperat;
}
