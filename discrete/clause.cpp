#include "discrete/clause.h"

#include <iostream>

#include "discrete/state_var.h"

Clause::Clause(Comp *comp) : atoms(new SignedAtoms()), comp(comp) {}

Clause::Clause(Atom *atom, bool sign, Comp *comp) : Clause(comp) { addAtom(atom, sign); }

Clause::Clause(const Clause *other) : atoms(new SignedAtoms(*other->atoms)), comp(other->comp) {}

void Clause::addAtomRef(Atom *atom, bool sign) {
  addAtom(atom, sign);
  atom->clauses.push_back(this);
}

bool Clause::getSign(const Atom *atom) const {
  for (const auto &literal : *atoms)
    if (literal.second == atom)
      return literal.first;
  return false;
}

Atom *Clause::getUnknown() const {
  for (const auto &literal : *atoms)
    if (literal.second->label == "unknown")
      return literal.second;
  return nullptr;
}

SignedAtoms *Clause::literalsWhere(bool (*keep)(const std::string &label)) const {
  auto *kept = new SignedAtoms();
  for (const auto &literal : *atoms)
    if (keep(literal.second->label))
      kept->insert(literal);
  return kept;
}

SignedAtoms *Clause::getNotUnknown() const {
  return literalsWhere([](const std::string &label) { return label != "unknown"; });
}

SignedAtoms *Clause::getTrueAtoms() const {
  return literalsWhere([](const std::string &label) { return label == "true"; });
}

SignedAtoms *Clause::getFalseAtoms() const {
  return literalsWhere([](const std::string &label) { return label == "false"; });
}

std::string Clause::evalAtom(SignedAtoms::iterator literal) const {
  bool holds = literal->second->evalAtom();
  bool negated = literal->first;
  return holds != negated ? "true" : "false";
}

std::vector<Atom *> *Clause::getOpposites(const Atom *atom) const {
  auto *opposites = new std::vector<Atom *>();
  bool sign = getSign(atom);
  for (const auto &literal : *atoms) {
    if (literal.first != sign) {
      opposites->push_back(literal.second);
    } else if (literal.second != atom) {
      opposites->clear();
      break;
    }
  }
  return opposites;
}

void Clause::setSupport(Atom *atom) {
  atom->support = this;
  for (const auto &literal : *atoms)
    if (literal.second != atom)
      literal.second->dependents.push_back(atom);
}

void Clause::showClause(bool) const {
  if (atoms->empty())
    std::cout << "null\n";
  std::cout << "cl size: " << atoms->size() << "\n";
  const char *separator = "";
  for (const auto &literal : *atoms) {
    std::cout << separator;
    if (literal.first)
      std::cout << "non - ";
    std::cout << literal.second->id;
    separator = " \\/ ";
  }
  std::cout << "\n";
}
