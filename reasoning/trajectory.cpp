#include "reasoning/trajectory.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <utility>

#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"

unsigned long TrajEl::trajel_created = 0;
unsigned long TrajEl::trajel_del = 0;
unsigned long State::state_created = 0;
unsigned long State::state_del = 0;
unsigned long Trajectory::traj_created = 0;
unsigned long Trajectory::traj_del = 0;

TrajEl::TrajEl() { ++trajel_created; }

TrajEl::TrajEl(Atom *atom, Transition *trans, const TransitionsById *next, std::string label)
    : atom(atom), trans(trans), label(std::move(label)) {
  ++trajel_created;
  if (next)
    for (const auto &entry : *next)
      if (entry.second)
        nextTrans.insert(entry);
}

TrajEl::TrajEl(const TrajEl *other)
    : atom(other->atom), mark(other->mark), trans(other->trans), rank(other->rank),
      nextTrans(other->nextTrans), nextTransNeg(other->nextTransNeg), label(other->label),
      count(other->count), links(other->links), lock(other->lock), kind(other->kind),
      proba(other->proba) {
  ++trajel_created;
}

void TrajEl::addTo(TransitionsById &into, Transition *transition) {
  for (auto entry = into.begin(); entry != into.end();)
    entry = entry->second->modeVar == transition->modeVar ? into.erase(entry) : std::next(entry);
  into[transition->id] = transition;
}

const char *TrajEl::getId() const { return atom ? atom->getId() : ""; }

StateVar *TrajEl::getStateVar() const { return atom ? atom->stateVar : nullptr; }

std::string TrajEl::getVarType() const { return atom ? atom->getVarType() : ""; }

Atom *TrajEl::getAtomLink(const std::string &id) const {
  return atom ? atom->getAtomLink(id) : nullptr;
}

void TrajEl::showAtom(bool full) const {
  if (atom)
    atom->showAtom(full);
}

void TrajEl::showTrajEl(bool full) const {
  std::cout << getId() << " : " << label << "\n";
  if (!full)
    return;
  std::cout << "\ttransition : " << (trans ? std::to_string(trans->id) : "none")
            << "\n\tnext transitions :";
  for (const auto &entry : nextTrans)
    std::cout << " " << entry.first;
  std::cout << "\n\tnext transitions (negated) :";
  for (const auto &entry : nextTransNeg)
    std::cout << " " << entry.first;
  std::cout << "\n\tproba : " << proba << "\n";
}

State::State() { ++state_created; }

State::State(const AtomTable *atoms) {
  ++state_created;
  elements.reserve(atoms->size());
  for (const auto &entry : *atoms) {
    Atom *atom = entry.second;
    elements[atom->getId()] = new TrajEl(atom, nullptr, nullptr, atom->label);
    if (atom->fault && atom->label == "true")
      ++rank;
  }
  for (const auto &entry : elements) {
    Atom *atom = entry.second->atom;
    Transition *idle = atom->idleTrans;
    if (!idle || !evalStateFormula(idle->pre, nullptr))
      continue;
    ++idleCount;
    if (Comp *comp = atom->getVarComp())
      idleComps[comp->name] = comp;
  }
  computePrevTransProb();
}

State::State(const State *other, bool keep)
    : idleCount(other->idleCount), postProbs(other->postProbs), candidates(other->candidates),
      compTransProbs(other->compTransProbs), idleComps(other->idleComps), atoms(other->atoms),
      proba(other->proba), cover(other->cover), rank(other->rank) {
  ++state_created;
  poolSize = other->elements.size();
  pool = static_cast<TrajEl *>(::operator new(poolSize * sizeof(TrajEl)));
  elements.reserve(poolSize);
  TrajEl *next = pool;
  for (const auto &entry : other->elements) {
    TrajEl *copy = new (next++) TrajEl(entry.second);
    if (!keep) {
      copy->kind = 2;
      copy->trans = nullptr;
    }
    elements.emplace(copy->getId(), copy);
  }
}

State::~State() {
  clear();
  ++state_del;
}

void State::release(TrajEl *element) {
  if (pooled(element))
    element->~TrajEl();
  else
    delete element;
}

void State::clear() {
  for (auto &entry : elements)
    release(entry.second);
  elements.clear();
  ::operator delete(pool);
  pool = nullptr;
  poolSize = 0;
}

void State::addElt(const TrajEl *element, bool keep) {
  TrajEl *copy = new TrajEl(element);
  if (!keep) {
    copy->kind = 2;
    copy->trans = nullptr;
  }
  auto placed = elements.emplace(copy->getId(), copy);
  if (!placed.second) {
    release(placed.first->second);
    placed.first->second = copy;
  }
}

TrajEl *State::getElt(const char *id) const {
  auto found = elements.find(id);
  return found != elements.end() ? found->second : nullptr;
}

bool State::literalHolds(const Atom *atom, bool positive, const State *fallback) const {
  const TrajEl *element = getElt(atom->getId());
  if (!element && fallback)
    element = fallback->getElt(atom->getId());
  if (!element || element->label == "unknown")
    return false;
  return (element->label == "true") == positive;
}

bool State::evalStateFormula(const StateFormula *formula, const State *fallback) const {
  if (!formula)
    return true;
  bool conjunction = formula->operat != "or";
  bool result = conjunction;
  for (const auto &literal : *formula->atoms) {
    bool holds = literalHolds(literal.second, literal.first, fallback);
    result = conjunction ? result && holds : result || holds;
  }
  if (formula->stateFormulas)
    for (const StateFormula *nested : *formula->stateFormulas) {
      bool holds = evalStateFormula(nested, fallback);
      result = conjunction ? result && holds : result || holds;
    }
  return formula->negated ? !result : result;
}

void State::computePrevTransProb() {
  postProbs.clear();
  for (const auto &entry : elements) {
    const TrajEl *element = entry.second;
    if (element->label != "true")
      continue;
    for (Transition *transition : element->atom->transPost)
      if (transition->post && evalStateFormula(transition->post, nullptr))
        postProbs[transition->id] = transition->proba;
  }
}

double State::getTransitionPostProb(const Transition *transition) const {
  auto found = postProbs.find(transition->id);
  return found != postProbs.end() ? found->second : 0.0;
}

std::vector<const TrajEl *> State::sortedElements() const {
  std::vector<const TrajEl *> sorted;
  sorted.reserve(elements.size());
  for (const auto &entry : elements)
    sorted.push_back(entry.second);
  std::sort(sorted.begin(), sorted.end(), [](const TrajEl *first, const TrajEl *second) {
    return std::strcmp(first->getId(), second->getId()) < 0;
  });
  return sorted;
}

void State::showState() const {
  for (const TrajEl *element : sortedElements())
    element->showTrajEl(false);
}

void State::showFullState() const {
  for (const TrajEl *element : sortedElements())
    element->showTrajEl(true);
  std::cout << "idle transitions : " << idleCount << "\nproba : " << proba
            << "\ncover : " << cover << "\nrank : " << rank << "\n";
}

Trajectory::Trajectory() { ++traj_created; }

Trajectory::Trajectory(const AtomTable *atoms) {
  ++traj_created;
  addState(0, new State(atoms));
}

Trajectory::Trajectory(const Trajectory *other, int n) : currentTime(n - 1), stepCount(n - 1) {
  ++traj_created;
  for (const auto &entry : other->states) {
    if (entry.first >= n)
      break;
    states[entry.first] = new State(entry.second, true);
    rankSum += getStateRank(entry.second);
  }
}

Trajectory::~Trajectory() {
  for (auto &entry : states)
    delete entry.second;
  ++traj_del;
}

void Trajectory::addState(int step, State *state) {
  if (step == currentTime + 1) {
    ++currentTime;
    ++stepCount;
  }
  State *&slot = states[step];
  if (slot != state)
    delete slot;
  slot = state;
  rankSum += getStateRank(state);
}

void Trajectory::addCopyState(int step, const State *state, bool keep) {
  addState(step, new State(state, keep));
}

State *Trajectory::getState(int step) const {
  auto found = states.find(step);
  return found != states.end() ? found->second : nullptr;
}

TrajEl *Trajectory::getElt(int step, const char *id) const {
  State *state = getState(step);
  return state ? state->getElt(id) : nullptr;
}

void Trajectory::insertElt(int step, const TrajEl *element, bool keep) {
  if (State *state = getState(step))
    state->addElt(element, keep);
}

void Trajectory::showTrajectory() const {
  for (const auto &entry : states) {
    std::cout << "--- step " << entry.first << " ---\n";
    entry.second->showState();
  }
}

void Trajectory::showTrajectoryLight() const {
  for (const auto &entry : states) {
    std::cout << entry.first << " :";
    std::vector<std::string> trueIds;
    for (const auto &element : entry.second->elements)
      if (element.second->evalTrajEl())
        trueIds.push_back(element.second->getId());
    std::sort(trueIds.begin(), trueIds.end());
    for (const std::string &id : trueIds)
      std::cout << " " << id;
    std::cout << "\n";
  }
}
