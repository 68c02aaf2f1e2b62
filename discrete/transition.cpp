#include "discrete/transition.h"

#include <iostream>
#include <memory>
#include <utility>

#include "continuous/printers.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"

MapFunc::MapFunc(std::vector<s_mapfVar *> *assignments) : MapFunc(nullptr, assignments) {}

MapFunc::MapFunc(s_cond *guard, std::vector<s_mapfVar *> *assignments)
    : cond(guard), vars(assignments != nullptr ? new std::vector<s_mapfVar *>(*assignments)
                                               : nullptr) {}

void MapFunc::showMapFunc() const {
  if (vars == nullptr)
    return;
  if (cond != nullptr)
    printCondition(cond);
  for (const s_mapfVar *assignment : *vars) {
    std::cout << "\t\t" << assignment->var->name << " = ";
    if (assignment->val != nullptr)
      printObjet(stdout, assignment->val);
    else
      printExpr(assignment->expr);
    std::cout << "\n";
  }
}

Transition::Transition(StateFormula *pre, StateFormula *post, std::string type)
    : Transition(pre, post, std::move(type), 0.0, 0.0, false) {}

Transition::Transition(StateFormula *pre, StateFormula *post, std::string type, double p)
    : Transition(pre, post, std::move(type), p, 0.0, false) {}

Transition::Transition(StateFormula *pre, StateFormula *post, std::string type, double p,
                       bool idle)
    : Transition(pre, post, std::move(type), p, 0.0, idle) {}

Transition::Transition(StateFormula *pre, StateFormula *post, std::string type, double p,
                       double p2, bool idle)
    : type(std::move(type)), proba(p), proba2(p2), pre(pre), post(post),
      formulas(new std::vector<Formula *>()), idle(idle) {
  addRefToAtoms();
}

Transition::Transition(StateFormula *pre, PostMap *posts, std::string type, double p)
    : type(std::move(type)), proba(p), pre(pre), post(nullptr),
      nbPosts(posts != nullptr ? static_cast<int>(posts->size()) : 0), posts(posts),
      formulas(new std::vector<Formula *>()) {
  addRefToAtoms();
}

Transition::~Transition() {
  delete pre;
  delete post;
  for (Formula *formula : *formulas)
    delete formula;
  delete formulas;
  if (extraFormulas != nullptr) {
    for (StateFormula *formula : *extraFormulas)
      delete formula;
    delete extraFormulas;
  }
  if (mf != nullptr) {
    for (MapFunc *function : *mf)
      delete function;
    delete mf;
  }
}

// A positive pre literal enables the transition from its atom; a negated one
// from every other value of its variable. The first positive literal on a
// mode variable names the mode the transition leaves. Post atoms learn that
// the transition leads to them, whether they are faults and which idle
// transition keeps them.
void Transition::addRefToAtoms() {
  bool isFail = type == "Fail";
  if (pre != nullptr) {
    std::unique_ptr<SignedAtoms> literals(pre->getAllSignedAtoms());
    for (const auto &literal : *literals) {
      Atom *atom = literal.second;
      if (!literal.first) {
        if (atom->stateVar != nullptr)
          for (Atom *sibling : atom->stateVar->atomLinks)
            if (sibling != atom)
              sibling->addRefTransPre(this);
        continue;
      }
      atom->addRefTransPre(this);
      if (modeVar == nullptr && atom->getVarType() == "Mode") {
        modeVar = atom->stateVar;
        preModeAtom = atom;
      }
    }
  }
  if (post != nullptr)
    linkPostAtoms(post, isFail, true);
  if (posts != nullptr)
    for (const auto &entry : *posts)
      linkPostAtoms(entry.second, isFail, false);
}

void Transition::linkPostAtoms(const StateFormula *formula, bool isFail, bool setPostModeAtom) {
  if (formula == nullptr)
    return;
  std::unique_ptr<std::vector<Atom *>> atoms(formula->getAllAtoms());
  for (Atom *atom : *atoms) {
    atom->addRefTransPost(this);
    if (!atom->fault)
      atom->fault = isFail;
    if (idle)
      atom->idleTrans = this;
    if (setPostModeAtom && atom->stateVar != nullptr && atom->stateVar == modeVar)
      postModeAtom = atom;
  }
}

void Transition::showTransition() const {
  std::cout << type << " (" << proba << ")";
  if (idle)
    std::cout << " (idle)";
  std::cout << " : ";
  if (pre != nullptr)
    pre->showStateFormula();
  std::cout << " =>O ";
  for (const Formula *formula : *formulas) {
    std::cout << " and (";
    formula->showFormula();
    std::cout << ")";
  }
  if (posts != nullptr) {
    for (const auto &entry : *posts) {
      std::cout << "\n\t\t\t\t\t" << entry.first << " : ";
      entry.second->showStateFormula();
    }
  } else {
    std::cout << " and ";
    if (post != nullptr)
      post->showStateFormula();
  }
  std::cout << " -- " << id << "\n";
  if (mf != nullptr)
    for (const MapFunc *function : *mf)
      function->showMapFunc();
}
