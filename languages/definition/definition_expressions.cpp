// Actions on conditions and expressions. The declaration pass builds every
// condition and expression node of the file, in the order the parser
// reduces them, and keeps that sequence for the component; the behaviour
// pass reduces the same nodes in the same order and takes each one from the
// sequence instead of building it twice. Only the stand-alone form, which
// has no declaration pass, builds in the behaviour pass.
#include "continuous/conditions.h"
#include "continuous/diagnostics.h"
#include "continuous/expressions.h"
#include "continuous/printers.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "languages/definition/condition_bridge.h"
#include "languages/definition/definition_driver.h"

namespace {

s_listsarnGVar *&gvarList(Comp *comp) { return comp != nullptr ? comp->gvars : gVarListsarn; }

s_listsarnExpr *&globalConstraintList(Comp *comp) {
  return comp != nullptr ? comp->globalConstraints : globCListsarn;
}

s_listsarnExpr *&conditionConstraintList(Comp *comp) {
  return comp != nullptr ? comp->condExprs : condCListsarn;
}

// The global variable standing for a variable in the component's constraints.
s_gVar *globalVariableOf(s_variable *variable, Comp *comp, ListEnds &listEnds) {
  s_listsarnGVar *&list = gvarList(comp);
  if (s_listsarnGVar *cell = isInGVarListsarn(list, variable))
    return cell->elt;
  s_gVar *gv = newRecord<s_gVar>();
  gv->var = variable;
  s_listsarnGVar *cell = newRecord<s_listsarnGVar>();
  cell->elt = gv;
  listEnds.append(list, cell);
  return gv;
}

bool isVariableLeaf(const s_expr *e) { return e->tex == exprVar && e->gv != nullptr && e->gv->var; }

// Whether every variable of the expression belongs to the component.
bool onlyOwnVariables(const s_expr *e, const std::string &varName) {
  if (e == nullptr)
    return true;
  if (e->tex == exprVar) {
    const s_variable *variable = e->gv != nullptr ? e->gv->var : nullptr;
    return variable != nullptr && variable->name.compare(0, varName.size() + 1, varName + ".") == 0;
  }
  return onlyOwnVariables(e->op1, varName) && onlyOwnVariables(e->op2, varName);
}

const char *binaryNotFound(char op) {
  switch (op) {
  case '+':
    return "error: + expression (condition) not found\n";
  case '-':
    return "error: - expression (condition) not found\n";
  case '*':
    return "error: * expression (condition) not found\n";
  case '/':
    return "error: / expression (condition) not found\n";
  default:
    return "error: e expression (condition) not found\n";
  }
}

} // namespace

void DefinitionDriver::lookupFailed(const char *message) {
  std::printf("%s", message);
  syntaxError(message);
}

template <typename T>
T *DefinitionDriver::replay(std::vector<T *> &built, size_t &next, const char *missing) {
  if (next >= built.size())
    lookupFailed(missing);
  return built[next++];
}

s_cond *DefinitionDriver::recordCondition(s_cond *condition) {
  if (pass == DefinitionPass::Declaration)
    builtElements.conditions.push_back(condition);
  return condition;
}

s_expr *DefinitionDriver::recordExpression(s_expr *expression) {
  if (pass == DefinitionPass::Declaration)
    builtElements.expressions.push_back(expression);
  return expression;
}

Equation *DefinitionDriver::equation(s_expr *left, long relation, s_expr *right) {
  return &equations.emplace_back(Equation{left, relation, right});
}

s_cond *DefinitionDriver::booleanCondition(const char *word) {
  if (!buildsContinuous())
    return replay(builtElements.conditions, nextCondition, "error: boolean condition not found\n");
  s_cond *cond = newCondition(condBool, nullptr, nullptr, comp);
  cond->val = a2Bool(word);
  return recordCondition(cond);
}

s_cond *DefinitionDriver::relationCondition(Equation *relation) {
  if (!buildsContinuous()) {
    if (nextCondition >= builtElements.conditions.size()) {
      std::printf("error : expression (condition) not found: ");
      printExpr(relation->right);
      lookupFailed("\n");
    }
    return builtElements.conditions[nextCondition++];
  }
  if (relation->relation == opEq)
    semError(semWarningAtLine, nligne, 66);
  if (!onlyOwnVariables(relation->left, varName) || !onlyOwnVariables(relation->right, varName))
    semError(semErrorAtLine, nligne, 79);
  if (!isVariableLeaf(relation->left))
    semError(semErrorAtLine, nligne, 44);
  s_cond *cond = mkCondExpr(relation->left, static_cast<opRel>(relation->relation), relation->right);
  setConditionName(cond, varName);
  conditions.push_back(cond);
  // The nodes the relation's expressions made are condition constraints.
  listEnds.append(conditionConstraintList(comp), pendingExprs);
  pendingExprs = nullptr;
  return recordCondition(cond);
}

s_cond *DefinitionDriver::combineConditions(int type, s_cond *left, s_cond *right) {
  if (!buildsContinuous()) {
    const char *missing = type == condNot  ? "error: ! bool_cond not found\n"
                          : type == condOr ? "error: or bool_cond not found\n"
                                           : "error: boolean condition not found\n";
    return replay(builtElements.conditions, nextCondition, missing);
  }
  return recordCondition(newCondition(static_cast<condType>(type), left, right, comp));
}

s_expr *DefinitionDriver::constantExpression(double value) {
  if (!buildsContinuous())
    return replay(builtElements.expressions, nextExpression,
                  "error : expression (condition) not found: \n");
  return recordExpression(mkConstLeaf(newRealObjet(value)));
}

s_expr *DefinitionDriver::booleanExpression(const char *word) {
  if (!buildsContinuous())
    return replay(builtElements.expressions, nextExpression,
                  "error : expression (condition) not found: \n");
  return recordExpression(mkConstLeaf(newBoolObjet(a2Bool(word))));
}

s_expr *DefinitionDriver::variableExpression(const char *name) {
  if (!buildsContinuous()) {
    s_expr *leaf = replay(builtElements.expressions, nextExpression,
                          "error : expression (condition) not found: \n");
    // A reference into another component is known from this pass only.
    if (leaf->tex == exprVar && leaf->gv == nullptr)
      leaf->gv = globalVariableOf(declaredVariableNamed(name, 18), comp, listEnds);
    return leaf;
  }
  s_expr *leaf = newRecord<s_expr>();
  leaf->tex = exprVar;
  if (s_variable *variable = *name != '\0' ? findVariable(dictionary, name) : nullptr)
    leaf->gv = globalVariableOf(variable, comp, listEnds);
  else if (standalone)
    semError(semErrorAtLine, nligne, 18, name);
  return recordExpression(leaf);
}

s_expr *DefinitionDriver::binaryExpression(const char *op, s_expr *left, s_expr *right) {
  if (!buildsContinuous())
    return replay(builtElements.expressions, nextExpression, binaryNotFound(*op));
  // The builder appends to lists of its own, which are then put at the end of
  // the pending ones: a long sum does not walk what it has built so far.
  s_listsarnExpr *made = nullptr;
  s_listsarnGVar *intermediates = nullptr;
  s_expr *node = buildExprBinOp(*op, left, right, made, intermediates, pendingCount);
  listEnds.append(pendingExprs, made);
  listEnds.append(gvarList(comp), intermediates);
  return recordExpression(node);
}

s_expr *DefinitionDriver::signExpression(long sign, s_expr *operand) {
  if (!buildsContinuous())
    return sign == 0 ? operand
                     : replay(builtElements.expressions, nextExpression,
                              "error: sgn expression (condition) not found\n");
  if (sign == 0)
    return operand;
  // The builder appends the sign node only to a list that is not empty: it
  // is given the pending expressions themselves.
  s_listsarnGVar *intermediates = nullptr;
  s_expr *node = buildExprSgn(1, operand, pendingExprs, intermediates, pendingCount);
  listEnds.append(gvarList(comp), intermediates);
  return recordExpression(node);
}

void DefinitionDriver::equationStatement(Equation *statement) {
  if (pass == DefinitionPass::Behaviour)
    std::printf("equation detected\n");
  if (!buildsContinuous())
    return;
  if (!isVariableLeaf(statement->left))
    semError(semErrorAtLine, nligne, 44);
  if (statement->relation == opNe || statement->relation == opIn)
    semError(semErrorAtLine, nligne, 42);
  // The constraint "left op right" is kept as the node left - right, equal
  // to 0 (with a slack range for an inequality).
  s_listsarnExpr *made = nullptr;
  s_listsarnGVar *intermediates = nullptr;
  s_expr *difference =
      buildExprBinOp('-', statement->left, statement->right, made, intermediates, pendingCount);
  if (statement->relation != opEq)
    difference = buildEgSolFunc(difference, static_cast<int>(statement->relation), made,
                                intermediates, pendingCount);
  listEnds.append(pendingExprs, made);
  listEnds.append(gvarList(comp), intermediates);
  if (difference->gv != nullptr)
    difference->gv->value = newRealObjet(0.0);
  listEnds.append(globalConstraintList(comp), pendingExprs);
  pendingExprs = nullptr;
}
