// Actions on discrete behaviour: state formulas, constraints, transitions
// and their mapping functions. Only the behaviour pass builds them.
#include "continuous/declarations.h"
#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/formula.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "languages/definition/condition_bridge.h"
#include "languages/definition/definition_driver.h"

namespace {

bool builds(const DefinitionDriver &driver) {
  return driver.pass == DefinitionPass::Behaviour && !driver.standalone;
}

// The literals of a formula in the order they were added: literals of one
// sign iterate in reverse insertion order.
std::vector<std::pair<bool, Atom *>> literalsInInsertionOrder(const StateFormula *formula) {
  std::vector<std::pair<bool, Atom *>> literals(formula->atoms->begin(), formula->atoms->end());
  return {literals.rbegin(), literals.rend()};
}

// Whether a formula can take the operator op and be extended: it has that
// operator, or it is a lone literal whose operator is not set yet.
bool extensible(const StateFormula *formula, const std::string &op) {
  return !formula->negated && formula->tag < 0 &&
         (formula->getOperat() == op || formula->getOperat().empty());
}

// Moves the content of from into into, which has the operator op.
void absorb(StateFormula *into, StateFormula *from) {
  for (const auto &[sign, atom] : literalsInInsertionOrder(from))
    into->addAtom(atom, sign);
  if (from->stateFormulas != nullptr) {
    for (StateFormula *nested : *from->stateFormulas)
      into->addStateFormula(nested);
    from->stateFormulas->clear();
  }
  delete from;
}

} // namespace

void DefinitionDriver::addConstraint(Formula *constraint) {
  if (constraint != nullptr)
    comp->addFormulaToCS(constraint);
}

Formula *DefinitionDriver::implication(StateFormula *pre, StateFormula *post) {
  if (!builds(*this) || pre == nullptr)
    return nullptr;
  // An assignment written as conclusion builds no constraint.
  if (post == nullptr) {
    delete pre;
    return nullptr;
  }
  return new Formula(pre, post, nullptr);
}

Formula *DefinitionDriver::combineConstraints(const char *op, Formula *left, Formula *right) {
  if (left == nullptr || right == nullptr)
    return left != nullptr ? left : right;
  if (left->getOperat() == op) {
    left->addFormula(right);
    return left;
  }
  if (right->getOperat() == op && right->subFormulas != nullptr) {
    right->subFormulas->insert(right->subFormulas->begin(), left);
    return right;
  }
  auto *combined = new Formula(nullptr, nullptr, new std::vector<Formula *>{left, right});
  combined->setOperat(op);
  return combined;
}

StateFormula *DefinitionDriver::atomFormula(const char *variable, long relation, const char *value) {
  if (!builds(*this))
    return nullptr;
  if (relation != 1 && relation != 2)
    semError(semErrorAtLine, nligne, 42);
  // Instance-relative values: "%s" reads as name_s, "p%s" as p_name_s.
  std::string written = value, resolved = value;
  size_t percent = written.find('%');
  if (percent != std::string::npos) {
    std::string prefix = written.substr(0, percent), suffix = written.substr(percent + 1);
    resolved = (prefix.empty() ? "" : prefix + "_") + comp->getName() + "_" + suffix;
  }
  std::string atomName = std::string(variable) + "=" + resolved;
  Atom *atom = findAtom(atomName, comp);
  if (atom == nullptr)
    semError(semErrorAtLine, nligne, 74, atomName.c_str());
  if (percent != std::string::npos) {
    if (atom->attributes == nullptr)
      atom->attributes = new std::map<std::string, std::string>();
    (*atom->attributes)[comp->getName()] = written;
  }
  return new StateFormula(atom, relation == 1);
}

StateFormula *DefinitionDriver::conditionFormula(s_cond *condition) {
  if (!builds(*this))
    return nullptr;
  return conditionStateFormula(condition);
}

StateFormula *DefinitionDriver::combineFormulas(const char *op, StateFormula *left,
                                                StateFormula *right) {
  if (left == nullptr || right == nullptr)
    return left != nullptr ? left : right;
  if (extensible(left, op)) {
    left->setOperat(op);
    if (extensible(right, op))
      absorb(left, right);
    else
      left->addStateFormula(right);
    return left;
  }
  if (extensible(right, op)) {
    right->setOperat(op);
    right->addStateFormula(left);
    return right;
  }
  auto *combined = new StateFormula();
  combined->setOperat(op);
  combined->addStateFormula(left);
  combined->addStateFormula(right);
  return combined;
}

Transition *DefinitionDriver::transition(const char *kind, StateFormula *pre, StateFormula *post,
                                         double probability, double secondProbability, bool idle,
                                         MapFuncList *mappings) {
  if (!builds(*this))
    return nullptr;
  auto *built = new Transition(pre, post, kind, probability, secondProbability, idle);
  if (mappings != nullptr && !mappings->empty())
    built->mf = new std::vector<MapFunc *>(*mappings);
  return built;
}

Transition *DefinitionDriver::multiPostTransition(StateFormula *pre, PostMap *posts,
                                                  double probability, MapFuncList *mappings) {
  if (!builds(*this))
    return nullptr;
  auto *built = new Transition(pre, posts, "Nominal", probability);
  if (mappings != nullptr && !mappings->empty())
    built->mf = new std::vector<MapFunc *>(*mappings);
  return built;
}

PostMap *DefinitionDriver::nextPost(PostMap *posts, StateFormula *post) {
  if (!builds(*this))
    return nullptr;
  // The transition keeps the map for as long as the model lives.
  if (posts == nullptr)
    posts = new PostMap();
  (*posts)[static_cast<int>(posts->size()) + 1] = post;
  return posts;
}

void DefinitionDriver::addTransition(Transition *built) {
  if (built != nullptr)
    comp->addTransitionToC(built);
}

// The condition a guard stands for. The guard formula itself is not kept.
s_cond *DefinitionDriver::ruleCondition(StateFormula *guard) {
  s_cond *condition = mkCondStf(guard, comp);
  delete guard;
  return condition;
}

MapFuncList *DefinitionDriver::mapping(MapFuncList *list, StateFormula *guard,
                                       AssignmentList *assignments) {
  pendingExprs = nullptr;
  if (!builds(*this))
    return nullptr;
  if (list == nullptr)
    list = &mapFuncLists.emplace_back();
  if (guard != nullptr)
    list->push_back(new MapFunc(ruleCondition(guard), assignments));
  else
    list->push_back(new MapFunc(assignments));
  return list;
}

AssignmentList *DefinitionDriver::appendAssignment(AssignmentList *list, s_mapfVar *assigned) {
  if (list == nullptr)
    list = &assignmentLists.emplace_back();
  if (assigned != nullptr)
    list->push_back(assigned);
  return list;
}

s_mapfVar *DefinitionDriver::assignment(const char *name, long, s_expr *value) {
  if (!builds(*this))
    return nullptr;
  return buildMapfVarExpr(declaredVariableNamed(name, 18), value);
}

void DefinitionDriver::instantiation(const char *, const char *, ValueList *) {
  if (inModel)
    semError(semErrorAtLine, nligne, 51);
}

ValueList *DefinitionDriver::appendValue(ValueList *list, const char *value) {
  if (list == nullptr)
    list = &valueLists.emplace_back();
  list->push_back(value);
  return list;
}

void DefinitionDriver::modelBegin(const char *) {
  if (inModel)
    semError(semErrorAtLine, nligne, 50);
  inModel = true;
}

void DefinitionDriver::modelEnd() { inModel = false; }

void DefinitionDriver::formalVariable(const char *, long, s_domain *) {}

void DefinitionDriver::formalParameter(const char *) {}
