#include "Atom.h"

#include <utility>
#include <vector>

#include "StateVar.h"

Atom::Atom(StateVar *variable, std::string value, std::string id)
    : stateVar(variable), value(std::move(value)), id(std::move(id)), label("unknown"), cond(0),
      transPre(new std::vector<Transition *>()), transPost(new std::vector<Transition *>()),
      clauses(new std::vector<Clause *>()) {
  if (variable != nullptr)
    variable->atomLinks->push_back(this);
}

Atom::~Atom() {
  delete transPre;
  delete transPost;
  delete clauses;
}

const char *Atom::getId() const { return id.c_str(); }

StateVar *Atom::getStateVar() const { return stateVar; }

const std::string &Atom::getLabel() const { return label; }

void Atom::setLabel(const std::string &newLabel) { label = newLabel; }
