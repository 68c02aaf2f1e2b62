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

s_coef *coef(coefType kind, s_objet *value) {
  s_coef *c = newRecord<s_coef>();
  c->kind = kind;
  c->val = value;
  return c;
}
s_coef *real(coefType kind, double x) { return coef(kind, newRealObjet(x)); }
s_coef *range(coefType kind, double l, double u) { return coef(kind, newRangeObjet(l, u, 1, 1)); }

s_influence *build(influType type, const std::vector<s_coef *> &coefs,
                   s_variable *cause = nullptr) {
  s_listsarnCoef *list = nullptr;
  for (s_coef *c : coefs) {
    s_listsarnCoef *cell = newRecord<s_listsarnCoef>();
    cell->elt = c;
    list = catListsarnCoef(list, cell);
  }
  return buildInfluence(someComp, type, cause != nullptr ? cause : variable("cause"),
                        variable("effect"), list);
}

// What a session shows of influences (numbers, coefficients taken, the
// warnings of defaults and second definitions) is checked in
// tests/e2e/shell/continuous_views.case. A second value changes nothing:
// neither the range flag nor the maximum delay.
TEST_F(Influences, SecondDefinitionIsIgnored) {
  for (coefType kind : {coefGain, coefDelay, coefXi}) {
    s_influence *inf = nullptr;
    printedOnStderr([&] {
      inf = build(inflStatic, {real(kind, 0), real(coefGain, 1), real(coefDelay, 1), range(kind, -9, 9)},
                  variable("cause" + std::to_string(kind)));
    });
    EXPECT_EQ(inf->rangeFlag, 0) << kind;
    EXPECT_EQ(inf->cause->maxDelay, kind == coefDelay ? 0 : 1) << kind;
  }
  s_coef *w = range(coefPulse, 1, 2);
  EXPECT_EQ(build(inflDynamic, {real(coefGain, 2), real(coefDelay, 1), real(coefRespTime, 3), w})->rangeFlag, 1);
}

// The maximum delays of most influences are shown by a session
// (tests/e2e/shell/continuous_views.case).
TEST_F(Influences, DelaysRaiseTheMaximumDelays) {
  s_variable *c = variable("c"), *d = variable("d"), *late = variable("late");
  build(inflStatic, {real(coefGain, 1), range(coefDelay, 1, 3)}, c);
  build(inflStatic, {real(coefGain, 1), real(coefDelay, 2)}, c);
  build(inflDynamic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 2)}, d);
  build(inflDynamic, {real(coefGain, 1), real(coefDelay, 4), real(coefRespTime, 2)}, late);
  build(inflSecondOrder, {}, c);
  EXPECT_EQ(c->maxDelay, 3);
  EXPECT_EQ(d->maxDelay, 1);
  EXPECT_EQ(late->maxDelay, 4);
}

// Refused influences are checked in sessions (tests/e2e/definition/refused);
// here the bounds of second-order parameters: a0/a2 - a1^2/(2*a2^2) must not
// be negative; without n1 nothing is checked.
TEST_F(Influences, AcceptedAndRefusedCoefficients) {
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

  const std::vector<std::vector<s_coef *>> refused = {
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 2), real(coefA2, 1)},
      {real(coefN1, 1), real(coefA0, 2), range(coefA1, 1, 2), range(coefA2, 1, 2)},
      {real(coefN1, 1), real(coefA1, 1), real(coefA2, 1)},  // no a0
      {real(coefN1, 1), real(coefA0, 1), real(coefA2, 1)},  // no a1
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 1)},  // no a2
      {real(coefN1, 1), range(coefA0, 1, 2), real(coefA1, 0), real(coefA2, 1)},
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 0), real(coefA2, 0)},
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 0), range(coefA2, -1, 1)},
  };
  for (const std::vector<s_coef *> &coefs : refused)
    EXPECT_EXIT(build(inflSecondOrder, coefs), testing::ExitedWithCode(1),
                errorAtLine("incorrect second-order influences parameters: should be broken "
                            "into two first-order influences.",
                            "cause --> effect"));
}

// Conditions are numbered as made; a constant right side is kept as the value compared.
TEST_F(Conditions, ComparisonOfAnExpression) {
  s_expr *lhs = leaf(variable("x")), *constant = mkConstLeaf(newRealObjet(2));
  s_cond *c = mkCondExpr(lhs, opGt, constant), *overVariable = mkCondExpr(lhs, opLe, lhs);
  EXPECT_EQ(c->type, condExprRel);
  EXPECT_EQ(c->num, 1);
  EXPECT_EQ(c->ob, constant->gv->value);
  EXPECT_EQ(overVariable->num, 2);
  EXPECT_EQ(overVariable->ob, nullptr);
}

}  // namespace
