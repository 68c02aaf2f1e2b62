#include "Clause.h"

#include <vector>

#include "Atom.h"

Clause::Clause(Comp *comp)
    : atoms(new std::multimap<bool, Atom *>()), comp(comp), internal(false), cond(nullptr) {}

Clause::~Clause() { delete atoms; }

void Clause::addAtomRef(Atom *atom, bool sign) {
  atoms->insert({sign, atom});
  atom->clauses->push_back(this);
}

void Clause::setInternal(bool isInternal) { internal = isInternal; }

bool Clause::getInternal() const { return internal; }

void Clause::setCondition(s_Condition *condition) { cond = condition; }
