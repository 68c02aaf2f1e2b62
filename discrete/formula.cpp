#include "discrete/formula.h"

#include <iostream>
#include <set>
#include <utility>

#include "discrete/state_var.h"

namespace {

bool isOperator(const std::string &op) { return op == "and" || op == "or"; }

} // namespace

StateFormula::StateFormula() : atoms(new SignedAtoms()) {}

StateFormula::StateFormula(Atom *atom) : StateFormula(atom, true) {}

StateFormula::StateFormula(Atom *atom, bool sign) : StateFormula() { addAtom(atom, sign); }

StateFormula::~StateFormula() {
  if (stateFormulas != nullptr) {
    for (StateFormula *nested : *stateFormulas)
      delete nested;
    delete stateFormulas;
  }
  delete atoms;
}

void StateFormula::setOperat(std::string op) {
  if (isOperator(op))
    operat = std::move(op);
}

void StateFormula::addStateFormula(StateFormula *formula) {
  if (stateFormulas == nullptr)
    stateFormulas = new std::vector<StateFormula *>();
  stateFormulas->push_back(formula);
}

void StateFormula::collectAtoms(std::vector<Atom *> &into) const {
  for (const auto &literal : *atoms)
    into.push_back(literal.second);
  if (stateFormulas != nullptr)
    for (const StateFormula *nested : *stateFormulas)
      nested->collectAtoms(into);
}

void StateFormula::collectSignedAtoms(SignedAtoms &into) const {
  for (const auto &literal : *atoms)
    into.insert(literal);
  if (stateFormulas != nullptr)
    for (const StateFormula *nested : *stateFormulas)
      nested->collectSignedAtoms(into);
}

std::vector<Atom *> *StateFormula::getAllAtoms() const {
  auto *all = new std::vector<Atom *>();
  collectAtoms(*all);
  return all;
}

SignedAtoms *StateFormula::getAllSignedAtoms() const {
  auto *all = new SignedAtoms();
  collectSignedAtoms(*all);
  return all;
}

void StateFormula::copyAtoms(const std::vector<Atom *> *from) {
  for (Atom *atom : *from)
    addAtom(atom, true);
}

void StateFormula::copyAtoms(const SignedAtoms *from) {
  for (const auto &literal : *from)
    atoms->insert(literal);
}

bool StateFormula::eq(const StateFormula *other) const {
  SignedAtoms mine;
  collectSignedAtoms(mine);
  SignedAtoms theirs;
  other->collectSignedAtoms(theirs);
  std::set<std::pair<bool, const Atom *>> available;
  for (const auto &literal : theirs)
    available.emplace(literal.first, literal.second);
  for (const auto &literal : mine)
    if (available.count({literal.first, literal.second}) == 0)
      return false;
  return true;
}

void StateFormula::showStateFormula() const {
  if (negated)
    std::cout << "non - ";
  bool hasNested = stateFormulas != nullptr && !stateFormulas->empty();
  if (hasNested)
    for (const StateFormula *nested : *stateFormulas) {
      nested->showStateFormula();
      std::cout << " " << operat << " ";
    }
  if (atoms->empty())
    return;
  std::cout << "(";
  for (const auto &literal : *atoms) {
    if (!literal.first)
      std::cout << "!";
    std::cout << literal.second->id;
    // Beside nested formulas the atoms are written one after the other.
    if (!hasNested)
      std::cout << " " << operat << " ";
  }
  std::cout << ")";
}

Formula::Formula(StateFormula *pre, StateFormula *post, std::vector<Formula *> *subs)
    : pre(pre), post(post), subFormulas(subs) {}

Formula::Formula(StateFormula *pre, StateFormula *post, std::vector<Formula *> *subs, bool)
    : Formula(pre, post, subs) {}

Formula::~Formula() {
  delete pre;
  delete post;
  if (subFormulas != nullptr) {
    for (Formula *sub : *subFormulas)
      delete sub;
    delete subFormulas;
  }
}

void Formula::addFormula(Formula *sub) {
  if (subFormulas == nullptr)
    subFormulas = new std::vector<Formula *>();
  subFormulas->push_back(sub);
}

void Formula::setOperat(std::string op) {
  if (isOperator(op))
    operat = std::move(op);
}

void Formula::showFormula() const {
  if (pre != nullptr) {
    pre->showStateFormula();
    std::cout << " => ";
  }
  if (post != nullptr)
    post->showStateFormula();
  if (subFormulas == nullptr || subFormulas->empty()) {
    std::cout << "\n";
    return;
  }
  const char *separator = "";
  for (const Formula *sub : *subFormulas) {
    std::cout << separator;
    sub->showFormula();
    separator = "\t\t";
  }
}
