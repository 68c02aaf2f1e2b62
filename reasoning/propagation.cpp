// The consistency test of proposed labels: labels are propagated through the
// clauses of the elements they touch, conflicts with withdrawable beliefs are
// resolved by withdrawing them, and a conflict among firm labels refutes the
// proposals. When propagation has nothing left to do, the satisfiability core
// completes the labelling, which makes the test complete.
#include "reasoning/propagation.h"

#include <algorithm>
#include <ctime>
#include <iostream>

#include "discrete/clause.h"
#include "discrete/state_var.h"
#include "reasoning/itms.h"

namespace {

const char *const trueLabel = "true";
const char *const falseLabel = "false";
const char *const unknownLabel = "unknown";

bool isUnknown(const TrajEl *element) { return !element || element->label == unknownLabel; }

// One look at a clause on labels; an element missing from the state counts
// as unknown. The look stops at the first literal that holds.
struct ClauseLook {
  bool holds = false;
  int open = 0;
  TrajEl *openElement = nullptr;  // the last open literal's element
  bool openSign = false;
};

ClauseLook look(Clause *clause, State *state) {
  ClauseLook seen;
  for (const auto &literal : *clause->atoms) {
    TrajEl *element = state->getElt(literal.second->getId());
    if (isUnknown(element)) {
      ++seen.open;
      seen.openElement = element;
      seen.openSign = literal.first;
    } else if ((element->label == trueLabel) != literal.first) {
      seen.holds = true;
      break;
    }
  }
  return seen;
}

}  // namespace

TrajEl *itms::getElt(Atom *atom, State *state) { return state->getElt(atom->getId()); }

bool itms::testClause(Clause *clause, State *state, Trajectory *, int) {
  return look(clause, state).holds;
}

TrajEl *itms::unitClause(Clause *clause, State *state, Trajectory *, int) {
  TrajEl *unit = nullptr;
  int unknowns = 0;
  for (const auto &literal : *clause->atoms) {
    TrajEl *element = getElt(literal.second, state);
    if (isUnknown(element)) {
      ++unknowns;
      unit = element;
    }
  }
  return unknowns == 1 ? unit : nullptr;
}

TrajEl *itms::getUnknown(Clause *clause, State *state) {
  for (const auto &literal : *clause->atoms) {
    TrajEl *element = getElt(literal.second, state);
    if (element && element->label == unknownLabel)
      return element;
  }
  return nullptr;
}

bool itms::isUnit(Clause *clause, State *state) {
  ClauseLook seen = look(clause, state);
  return !seen.holds && seen.open == 1 && seen.openElement;
}

Clause *itms::getFirstUnitClause(State *state, Trajectory *, int) {
  for (Clause *clause : *cls) {
    clause->showClause(false);
    if (isUnit(clause, state)) {
      std::cout << "found unit clause: \n";
      clause->showClause(false);
      return clause;
    }
  }
  return nullptr;
}

Clause *itms::getFirstUnitClause(Atom *atom, State *state, Trajectory *, int) {
  for (Clause *clause : solver.occurrences(atom))
    if (isUnit(clause, state))
      return clause;
  return nullptr;
}

Clause *itms::getFirstUnitClause(std::vector<TrajEl *> *elements, State *state,
                                 Trajectory *trajectory, int step) {
  for (TrajEl *element : *elements)
    if (Clause *clause = getFirstUnitClause(element->atom, state, trajectory, step))
      return clause;
  return nullptr;
}

void itms::propagateClause(Clause *clause, ItmsRes *solution, Trajectory *, int) {
  if (TrajEl *element = getUnknown(clause, solution->state)) {
    std::cout << "[propagateClause] --> propagating:\n";
    element->showTrajEl(false);
  }
  solution->agenda->push(clause);
  solution->lastUnit = clause;
}

bool itms::isResupportable(const TrajEl *element) const {
  return element->lock == 0 && element->label != unknownLabel;
}

void itms::setSupport(TrajEl *element, Clause *clause, ItmsRes *solution) {
  element->mark = 1;
  element->links.clear();
  element->lock = 1;
  for (const auto &literal : *clause->atoms) {
    TrajEl *other = getElt(literal.second, solution->state);
    if (other == element || !other)
      continue;
    element->links.push_back(other);
    if (other->lock == 0)
      element->lock = 0;
  }
  solution->derived.push_back(element);
  solution->changed[element->getId()] = element;
  solution->pending.push_back(element);
}

void itms::withdrawDependents(TrajEl *element, ItmsRes *solution) {
  for (std::size_t i = 0; i < solution->derived.size(); ++i) {
    TrajEl *dependent = solution->derived[i];
    if (dependent->mark == 1 && isResupportable(dependent) &&
        std::find(dependent->links.begin(), dependent->links.end(), element) !=
            dependent->links.end())
      withdraw(dependent, solution);
  }
}

void itms::withdraw(TrajEl *element, ItmsRes *solution) {
  if (!isResupportable(element))
    return;
  element->label = unknownLabel;
  solution->withdrawn[element->getId()] = element;
  solution->pending.push_back(element);
  std::vector<TrajEl *> antecedents;
  if (element->mark == 1) {
    antecedents.swap(element->links);
    element->mark = 0;
  }
  withdrawDependents(element, solution);
  // Only withdrawing its beliefs keeps the clause from deriving it again.
  for (TrajEl *antecedent : antecedents)
    withdraw(antecedent, solution);
}

void itms::resupportDependence(TrajEl *element, ItmsRes *solution) {
  std::cout << "[resupportDependency] --> resupporting :\n";
  element->showTrajEl(false);
  if (isResupportable(element))
    withdraw(element, solution);
  else
    withdrawDependents(element, solution);
}

int itms::queueViolated(const std::vector<Clause *> &clauses, bool internal,
                        ItmsRes *solution) {
  int found = 0;
  for (Clause *clause : clauses) {
    if (clause->getInternal() != internal)
      continue;
    ClauseLook seen = look(clause, solution->state);
    if (!seen.holds && seen.open == 0) {
      solution->agenda->push(clause);
      ++found;
    }
  }
  if (found)
    std::cout << "*** detected conflicts ***\n";
  return found;
}

int itms::checkForConflicts(ItmsRes *solution, Trajectory *, int) {
  return queueViolated(*cls, false, solution);
}

int itms::checkForInternalConflicts(ItmsRes *solution, Trajectory *, int) {
  return queueViolated(*cls, true, solution);
}

int itms::checkForFocusedConflicts(std::vector<TrajEl *> *elements, ItmsRes *solution,
                                   Trajectory *, int) {
  int found = 0;
  for (TrajEl *element : *elements)
    found += queueViolated(solver.occurrences(element->atom), false, solution);
  return found;
}

int itms::checkForFocusedInternalConflicts(std::vector<TrajEl *> *elements, ItmsRes *solution,
                                           Trajectory *, int) {
  int found = 0;
  for (TrajEl *element : *elements)
    found += queueViolated(solver.occurrences(element->atom), true, solution);
  return found;
}

void itms::checkConflictsOf(std::vector<TrajEl *> *elements, ItmsRes *solution,
                            Trajectory *trajectory, int step) {
  if (pending) {
    checkForFocusedInternalConflicts(elements, solution, trajectory, step);
    checkForFocusedConflicts(elements, solution, trajectory, step);
  } else {
    checkForInternalConflicts(solution, trajectory, step);
    checkForConflicts(solution, trajectory, step);
  }
}

ItmsRes *itms::propagateThroughConflict(Clause *clause, ItmsRes *solution,
                                        Trajectory *trajectory, int step) {
  std::cout << "[propagateThroughConflict] --> beginning\n";
  State *state = solution->state;
  ClauseLook seen = look(clause, state);
  if (seen.holds)
    return solution;
  if (seen.open == 1 && seen.openElement) {
    // The only open literal must hold.
    TrajEl *unit = seen.openElement;
    unit->label = seen.openSign ? falseLabel : trueLabel;
    setSupport(unit, clause, solution);
    std::vector<TrajEl *> derived{unit};
    checkForFocusedInternalConflicts(&derived, solution, trajectory, step);
    checkForFocusedConflicts(&derived, solution, trajectory, step);
    return solution;
  }
  if (seen.open > 0)
    return solution;
  // Every literal is false: withdraw the beliefs among them, or give up when
  // all of them follow from the proposals.
  std::vector<TrajEl *> beliefs;
  for (const auto &literal : *clause->atoms) {
    TrajEl *element = getElt(literal.second, state);
    if (element && isResupportable(element))
      beliefs.push_back(element);
  }
  if (beliefs.empty())
    return nullptr;
  for (TrajEl *belief : beliefs)
    resupportDependence(belief, solution);
  std::cout << "\n[propagateThroughConflict] --> adding a new clause. ";
  solution->agenda->push(clause);
  return solution;
}

Clause *itms::nextUnitClause(ItmsRes *solution, Trajectory *trajectory, int step) {
  while (!solution->pending.empty()) {
    std::vector<TrajEl *> last{solution->pending.back()};
    if (Clause *clause = getFirstUnitClause(&last, solution->state, trajectory, step))
      return clause;
    solution->pending.pop_back();
  }
  return nullptr;
}

bool itms::propagate(ItmsRes *solution, Trajectory *trajectory, int step) {
  for (;;) {
    if (solution->agenda->empty()) {
      Clause *unit = nextUnitClause(solution, trajectory, step);
      if (!unit)
        return true;
      propagateClause(unit, solution, trajectory, step);
    }
    Clause *clause = solution->agenda->front();
    solution->agenda->pop();
    bool handle =
        clause == solution->lastUnit || !testClause(clause, solution->state, trajectory, step);
    if (handle && !propagateThroughConflict(clause, solution, trajectory, step))
      return false;
  }
}

bool itms::labelFromSolver(ClauseSolver &with, ItmsRes *solution) {
  std::vector<int> assumptions;
  for (const auto &entry : solution->changed) {
    const TrajEl *element = entry.second;
    int variable = with.variable(element->atom);
    if (variable && element->lock == 1 && !isUnknown(element))
      assumptions.push_back(element->label == trueLabel ? variable : -variable);
  }
  if (!with.solve(assumptions))
    return false;
  for (auto &entry : solution->state->elements) {
    TrajEl *element = entry.second;
    int variable = with.variable(element->atom);
    const char *label = variable ? (with.value(variable) ? trueLabel : falseLabel)
                                 : (isUnknown(element) ? falseLabel : nullptr);
    if (label && element->label != label) {
      element->label = label;
      solution->changed[entry.first] = element;
    }
  }
  return true;
}

std::vector<ItmsRes *> *itms::unitPropagate(ItmsRes *solution, std::vector<ItmsRes *> *results,
                                            bool, double, Trajectory *trajectory, int step,
                                            unsigned int) {
  if (!results)
    results = new std::vector<ItmsRes *>();
  std::vector<TrajEl *> proposed;
  for (const auto &entry : solution->changed)
    proposed.push_back(entry.second);
  for (TrajEl *element : proposed)
    resupportDependence(element, solution);
  solution->pending.insert(solution->pending.end(), proposed.begin(), proposed.end());
  checkConflictsOf(&proposed, solution, trajectory, step);

  std::vector<ItmsRes *> agenda{solution};
  while (!agenda.empty()) {
    ItmsRes *current = agenda.back();
    agenda.pop_back();
    if (propagate(current, trajectory, step) && labelFromSolver(solver, current)) {
      results->push_back(current);
      std::cout << "sol added !\n" << "agenda's size : " << agenda.size() << "\n";
    } else {
      delete current;
      std::cout << "a sol has been discarded...\n" << "agenda's size: " << agenda.size() << "\n";
    }
  }
  return results;
}

std::vector<ItmsRes *> *itms::testImplicants(Proposals *proposals, TrajElTable *changed,
                                             State *state, std::vector<ItmsRes *> *results,
                                             bool keep, double bound, double threshold,
                                             Trajectory *trajectory, int step, bool focus,
                                             unsigned int wanted) {
  std::clock_t start = std::clock();
  std::vector<const char *> ids;
  TrajElTable ownChanged;
  if (!changed)
    changed = &ownChanged;
  if (!results)
    results = new std::vector<ItmsRes *>();
  if (focus)
    pending = 1;
  auto *solution = new ItmsRes(state);
  double faultBound = 1.0;
  if (trajectory)
    faultBound += (trajectory->rankSum - trajectory->getStateRank(state)) + state->rank;
  bool contradictory = false;
  for (const auto &proposal : *proposals) {
    TrajEl *element = proposal.second;
    ids.push_back(element->getId());
    const char *label = proposal.first ? trueLabel : falseLabel;
    if (proposal.first && element->label == falseLabel && element->atom->fault &&
        bound < faultBound) {
      delete solution;
      if (focus)
        pending = 0;
      return results;
    }
    if (solution->changed.count(element->getId()) && element->label != label)
      contradictory = true;
    element->label = label;
    element->lock = 1;
    element->mark = 0;
    element->links.clear();
    (*changed)[element->getId()] = element;
    solution->changed[element->getId()] = element;
  }
  solver.load(*cls);
  if (contradictory) {
    delete solution;
  } else if (checkFromScratch) {
    ClauseSolver fresh;
    fresh.load(*cls);
    if (labelFromSolver(fresh, solution))
      results->push_back(solution);
    else
      delete solution;
  } else {
    unitPropagate(solution, results, keep, threshold, trajectory, step, wanted);
  }
  addItmsBmkEntry(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC,
                  static_cast<unsigned int>(results->size()), &ids);
  if (focus)
    pending = 0;
  return results;
}

std::vector<ItmsRes *> *itms::addPropositions(Proposals *proposals, TrajElTable *changed,
                                              State *state, std::vector<ItmsRes *> *results,
                                              bool keep, double bound, double threshold,
                                              Trajectory *trajectory, int step, bool focus,
                                              unsigned int wanted) {
  return testImplicants(proposals, changed, state, results, keep, bound, threshold, trajectory,
                        step, focus, wanted);
}
