// Variable domains and constraint formulas into clauses.
//
// A state formula literal (s, a) is positive when s is true; a clause literal
// is negated when its sign is true. Compiling in polarity negate gives the
// clauses of the formula (false) or of its negation (true), so a formula
// literal of sign s becomes a clause literal of sign s when negating and of
// sign !s otherwise.
#include <iostream>

#include "discrete/clause.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "languages/definition/condition_bridge.h"
#include "reasoning/itms.h"

namespace {

bool clauseSign(bool formulaSign, bool negate) { return negate ? formulaSign : !formulaSign; }

bool knownOperator(const std::string &op) { return op == "and" || op == "or" || op.empty(); }

void release(std::vector<Clause *> *clauses) {
  for (Clause *clause : *clauses)
    delete clause;
  delete clauses;
}

} // namespace

// At least one value (one clause of every atom) and at most one (a clause of
// two negated atoms per pair). Every atom joins the component's table and has
// the domain clause as support.
void itms::compileDomain(StateVar *variable, Comp *comp) {
  variable->clauses.clear();
  auto *domain = new Clause(comp);
  domain->setInternal(true);
  std::vector<Atom *> &atoms = variable->getAtomLinks();
  for (std::size_t j = 0; j < atoms.size(); ++j) {
    Atom *atom = atoms[j];
    (*comp->atoms)[atom->id] = atom;
    atom->comps[comp->name] = comp;
    domain->addAtom(atom, false);
    domain->setSupport(atom);
    for (std::size_t k = j + 1; k < atoms.size(); ++k) {
      auto *exclusion = new Clause(atom, true, comp);
      exclusion->addAtom(atoms[k], true);
      exclusion->setInternal(true);
      exclusion->showClause(true);
      variable->clauses.push_back(exclusion);
      keep(exclusion);
    }
  }
  domain->showClause(true);
  variable->clauses.push_back(domain);
  keep(domain);
}

void itms::clauseCompilation(std::vector<Formula *> *constraints, int, Comp *comp) {
  // Compiled already: the clauses stay the component's.
  if (constraints == nullptr && comp->clauses != nullptr) {
    carriedClauses += static_cast<long>(comp->clauses->size());
    return;
  }
  delete comp->clauses;
  comp->clauses = new std::vector<Clause *>();
  comp->conditionClauses.clear();
  if (constraints == nullptr)
    return;
  for (Formula *formula : *constraints) {
    formula->showFormula();
    if (formula->pre != nullptr)
      if (s_cond *premise = standsForCondition(formula->pre))
        compileConditionConstraint(formula, premise, comp);
    std::vector<Clause *> *clauses = compileFormula(formula, new std::vector<Clause *>(), comp);
    for (Clause *clause : *clauses) {
      clause->showClause(true);
      comp->clauses->push_back(clause);
      for (const auto &literal : *clause->getAtoms())
        literal.second->clauses.push_back(clause);
      keep(clause);
    }
    delete clauses;
    delete formula;
  }
  delete constraints;
  comp->constraints = nullptr;
}

// The conclusion is a flat formula: one clause of its literals for an "or",
// one clause per literal for an "and" or a lone literal.
void itms::compileConditionConstraint(Formula *formula, s_cond *premise, Comp *comp) {
  StateFormula *post = formula->post;
  if (post == nullptr || (post->getStateFormulas() != nullptr && !post->getStateFormulas()->empty()))
    return;
  std::vector<Clause *> made;
  if (post->operat == "or") {
    made.push_back(new Clause(comp));
    for (const auto &literal : *post->atoms)
      made.back()->addAtom(literal.second, !literal.first);
  } else {
    for (const auto &literal : *post->atoms)
      made.push_back(new Clause(literal.second, !literal.first, comp));
  }
  for (Clause *clause : made) {
    compiled.push_back(clause);
    comp->conditionClauses.emplace_back(premise, clause);
  }
}

std::vector<Clause *> *itms::compileFormula(Formula *formula, std::vector<Clause *> *out,
                                            Comp *comp) {
  // Without a premise the implication reduces to its post side: the negated
  // premise is then the empty clause.
  std::vector<Clause *> *premise;
  if (formula->pre != nullptr) {
    premise = compileStateFormula(formula->pre, true, comp);
  } else {
    premise = new std::vector<Clause *>{new Clause(comp)};
  }
  std::vector<Clause *> *conclusion;
  if (formula->post != nullptr) {
    conclusion = compileStateFormula(formula->post, false, comp);
  } else {
    conclusion = new std::vector<Clause *>();
    if (formula->subFormulas != nullptr)
      for (Formula *sub : *formula->subFormulas)
        compileFormula(sub, conclusion, comp);
  }
  return mergeClauses(premise, conclusion, out, comp);
}

std::vector<Clause *> *itms::compileStateFormula(StateFormula *formula, bool negate, Comp *comp) {
  auto *result = new std::vector<Clause *>();
  if (formula == nullptr || !knownOperator(formula->operat))
    return result;
  const std::string &op = formula->operat;
  SignedAtoms *literals = formula->getAtoms();
  std::vector<StateFormula *> *nested = formula->getStateFormulas();

  if (nested == nullptr || nested->empty()) {
    if (op.empty()) {
      // A lone literal, taken as positive.
      if (!literals->empty())
        result->push_back(new Clause(literals->begin()->second, negate, comp));
    } else if ((op == "and") != negate) {
      // A conjunction (an "and", or the negation of an "or"): unit clauses.
      for (const auto &literal : *literals)
        result->push_back(new Clause(literal.second, clauseSign(literal.first, negate), comp));
    } else {
      // A disjunction: one clause of every literal.
      auto *clause = new Clause(comp);
      for (const auto &literal : *literals)
        clause->addAtom(literal.second, clauseSign(literal.first, negate));
      result->push_back(clause);
    }
    return result;
  }

  if (op == "and" && !negate)
    return result;
  for (StateFormula *sub : *nested) {
    auto *units = new std::vector<Clause *>();
    for (const auto &literal : *literals)
      units->push_back(new Clause(literal.second, negate, comp));
    sub->showStateFormula();
    mergeClauses(units, compileStateFormula(sub, negate, comp), result, comp);
  }
  return result;
}

std::vector<Clause *> *itms::mergeClauses(std::vector<Clause *> *a, std::vector<Clause *> *b,
                                          std::vector<Clause *> *out, Comp *) {
  if (out == nullptr)
    out = new std::vector<Clause *>();
  for (Clause *x : *a)
    for (Clause *y : *b) {
      auto *merged = new Clause(x);
      for (const auto &literal : *y->getAtoms())
        merged->addAtom(literal.second, literal.first);
      merged->showClause(true);
      out->push_back(merged);
    }
  release(a);
  release(b);
  return out;
}
