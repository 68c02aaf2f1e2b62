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
      post(post), nbPosts(1), posts(nullptr), mf(nullptr) {
  for (const auto &literal : *pre->atoms)
    literal.second->transPre->push_back(this);
  for (const auto &literal : *post->atoms)
    literal.second->transPost->push_back(this);
}

Transition::Transition(StateFormula *pre, std::map<int, StateFormula *> *posts, std::string type,
                       double proba)
    : trans_id(0), type(std::move(type)), proba(proba), proba2(0.0), idle(false), pre(pre),
      post(nullptr), nbPosts(static_cast<int>(posts->size())), posts(posts), mf(nullptr) {
  for (const auto &literal : *pre->atoms)
    literal.second->transPre->push_back(this);
  for (const auto &result : *posts)
    for (const auto &literal : *result.second->atoms)
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
