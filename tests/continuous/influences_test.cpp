#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/conditions.h"
#include "continuous/expressions.h"
#include "continuous/influences.h"
#include "records_support.h"

namespace {

using Influences = ContinuousTest;
using Conditions = ContinuousTest;

Comp *const someComp = reinterpret_cast<Comp *>(0x10);

s_influence *build(influType type, const std::vector<s_coef *> &coefs,
                   s_variable *cause = nullptr) {
  return buildInfluence(someComp, type, cause != nullptr ? cause : variable("cause"),
                        variable("effect"), coefList(coefs));
}

s_coef *real(coefType kind, double x) { return coef(kind, newRealObjet(x)); }
s_coef *range(coefType kind, double l, double u) { return coef(kind, newRangeObjet(l, u, 1, 1)); }

TEST_F(Influences, DefaultsNumberingAndTakenCoefficients) {
  s_influence *first = nullptr;
  std::string warned = printedOnStderr([&] { first = build(inflStatic, {}); });
  EXPECT_EQ(warned, warningAtLine("default value 1 assumed for gain.") +
                        warningAtLine("default value 0 assumed for delay."));
  EXPECT_EQ(first->num, 1);
  EXPECT_EQ(first->comp, someComp);
  EXPECT_TRUE(first->gain == objUn && first->delay == objZero && first->respTime == objZero);
  EXPECT_EQ(first->rangeFlag, 0);

  s_coef *gain = real(coefGain, 2), *w = range(coefPulse, 1, 2);
  s_influence *second = build(inflDynamic, {gain, real(coefDelay, 1), real(coefRespTime, 3),
                                            real(coefXi, 0.7), w, real(coefA1, 5)});
  EXPECT_EQ(second->num, 2);
  EXPECT_EQ(second->gain, gain->val);
  EXPECT_EQ(second->xi->value->real, 0.7);
  EXPECT_EQ(second->pulse, w->val);
  EXPECT_EQ(second->a1->value->real, 5);
  EXPECT_EQ(second->n1, nullptr);
  EXPECT_EQ(second->rangeFlag, 1);
}

TEST_F(Influences, SecondDefinitionOfEachKindIsWarnedAndIgnored) {
  const std::vector<std::pair<coefType, const char *>> table = {
      {coefGain, "gain"}, {coefDelay, "delay"}, {coefRespTime, "response time"},
      {coefXi, "xi"},     {coefPulse, "pulse"}, {coefN1, "n1"}, {coefN2, "n2"},
      {coefA0, "a0"},     {coefA1, "a1"},       {coefA2, "a2"}};
  for (const auto &r : table) {
    std::string message = std::string("double definition of ") + r.second + " (first assumed).";
    SCOPED_TRACE(message);
    s_influence *inf = nullptr;
    std::string warned = printedOnStderr([&] {
      inf = build(inflStatic, {real(r.first, 0), real(coefGain, 1), real(coefDelay, 1),
                               range(r.first, -9, 9)},
                  variable(message));
    });
    EXPECT_NE(warned.find(warningAtLine(message)), std::string::npos);
    EXPECT_EQ(inf->rangeFlag, 0);
    EXPECT_EQ(inf->cause->maxDelay, r.first == coefDelay ? 0 : 1);
  }
}

TEST_F(Influences, DelaysRaiseTheMaximumDelays) {
  s_variable *c = variable("c"), *d = variable("d"), *late = variable("late");
  build(inflStatic, {real(coefGain, 1), range(coefDelay, 1, 3)}, c);
  build(inflStatic, {real(coefGain, 1), real(coefDelay, 2)}, c);
  EXPECT_EQ(c->maxDelay, 3);
  EXPECT_EQ(variable("effect")->maxDelay, 0);

  build(inflDynamic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 2)}, d);
  EXPECT_EQ(d->maxDelay, 1);
  EXPECT_EQ(variable("effect")->maxDelay, 1);
  build(inflDynamic, {real(coefGain, 1), real(coefDelay, 4), real(coefRespTime, 2)}, late);
  EXPECT_EQ(late->maxDelay, 4);

  build(inflSecondOrder, {}, c);
  EXPECT_EQ(c->maxDelay, 3);
  build(inflSecondOrder, {}, d);
  EXPECT_EQ(d->maxDelay, 2);
  EXPECT_EQ(variable("effect")->maxDelay, 2);
}

TEST_F(Influences, AcceptedCoefficients) {
  // Second order: a0/a2 - a1^2/(2*a2^2) must not be negative; without n1 nothing is checked.
  const std::pair<influType, std::vector<s_coef *>> accepted[] = {
      {inflStatic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 0)}},
      {inflStatic, {range(coefGain, 0, 2), real(coefDelay, 0)}},
      {inflIntegral, {real(coefGain, 1), real(coefDelay, 0)}},
      {inflSecondOrder, {real(coefN1, 1), real(coefA0, 1), real(coefA1, 1), real(coefA2, 1)}},
      {inflSecondOrder, {real(coefN1, 1), real(coefA0, 2), real(coefA1, 2), real(coefA2, 1)}},  // exactly 0
      {inflSecondOrder,  // at worst 4/2 - 4/2
       {real(coefN1, 1), real(coefA0, 4), range(coefA1, 1, 2), range(coefA2, 1, 2)}},
      {inflSecondOrder, {real(coefA0, -5)}},
  };
  for (const auto &a : accepted)
    EXPECT_NE(build(a.first, a.second), nullptr);
  EXPECT_NE(build(inflConstant, {real(coefXi, 1)}, variable("p", 1)), nullptr);
}

// Refused influences are checked in sessions (tests/e2e/definition/refused);
// here the bounds of second-order parameters.
TEST_F(Influences, RefusedSecondOrderParameters) {
  const std::vector<std::vector<s_coef *>> table = {
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 2), real(coefA2, 1)},
      {real(coefN1, 1), real(coefA0, 2), range(coefA1, 1, 2), range(coefA2, 1, 2)},
      {real(coefN1, 1), real(coefA1, 1), real(coefA2, 1)},  // no a0
      {real(coefN1, 1), real(coefA0, 1), real(coefA2, 1)},  // no a1
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 1)},  // no a2
      {real(coefN1, 1), range(coefA0, 1, 2), real(coefA1, 0), real(coefA2, 1)},
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 0), real(coefA2, 0)},
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 0), range(coefA2, -1, 1)},
  };
  for (const std::vector<s_coef *> &coefs : table)
    EXPECT_EXIT(build(inflSecondOrder, coefs), testing::ExitedWithCode(1),
                errorAtLine("incorrect second-order influences parameters: should be broken "
                            "into two first-order influences.",
                            "cause --> effect"));
}

TEST_F(Conditions, RuleBlocksNameAndGuardTheirInfluences) {
  s_influence free, guarded;
  s_cond own, block;
  guarded.cond = &own;
  s_listsarnInfl cell2{&guarded, nullptr}, cell1{&free, &cell2};
  setRulesNames(&cell1, "fill");
  EXPECT_EQ(free.ruleName, "fill");
  EXPECT_EQ(guarded.ruleName, "fill");
  EXPECT_TRUE(isInInfluListsarn(&cell1, "fill"));

  numCond = 6;
  andRulesConds(&cell1, &block, "tank1");
  EXPECT_EQ(free.cond, &block);
  s_cond *both = guarded.cond;
  EXPECT_EQ(both->type, condAnd);
  EXPECT_EQ(both->op1, &block);
  EXPECT_EQ(both->op2, &own);
  EXPECT_EQ(both->num, 7);
  EXPECT_EQ(both->name, "tank1.c_7");
  EXPECT_EQ(block.parent, both);
  EXPECT_EQ(own.parent, both);
  EXPECT_EQ(conditions, std::vector<s_cond *>{both});
}

// Conditions are numbered as made; a constant right side is kept as the value compared.
TEST_F(Conditions, ComparisonOfAnExpression) {
  s_expr lhs;
  lhs.tex = exprVar;
  lhs.gv = newRecord<s_gVar>();
  lhs.gv->var = variable("x");
  s_expr *constant = mkConstLeaf(newRealObjet(2));
  s_cond *c = mkCondExpr(&lhs, opGt, constant);
  EXPECT_EQ(c->type, condExprRel);
  EXPECT_EQ(c->num, 1);
  EXPECT_EQ(c->ob, constant->gv->value);
  s_cond *overVariable = mkCondExpr(&lhs, opLe, &lhs);
  EXPECT_EQ(overVariable->num, 2);
  EXPECT_EQ(overVariable->ob, nullptr);
}

}  // namespace
