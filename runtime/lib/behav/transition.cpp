#include "Transition.h"

#include <map>

#include "Atom.h"
#include "StateFormula.h"

MapFunc::MapFunc() : cond(nullptr), mvs(new std::vector<mapfVar>()) {}

MapFunc::MapFunc(condition guard) : cond(guard), mvs(new std::vector<mapfVar>()) {}

MapFunc::~MapFunc() { delete mvs; }

Transition::Transition(StateFormula *pre, StateFormula *post, std::string type, double proba,
                       double proba2, bool idle)
    : trans_id(0), type(std::move(type)), proba(proba), proba2(proba2), idle(idle), pre(pre),
      post(post), mf(nullptr) {
  for (const auto &literal : *pre->atoms)
    literal.second->transPre->push_back(this);
  for (const auto &literal : *post->atoms)
    literal.second->transPost->push_back(this);
}

Transition::~Transition() { delete mf; }

void Transition::refAtomPre(bool sign, Atom *atom) {
  pre->addAtom(atom, sign);
  atom->transPre->push_back(this);
}

void Transition::refAtomPost(Atom *atom) {
  post->addAtom(atom, true);
  atom->transPost->push_back(this);
}
