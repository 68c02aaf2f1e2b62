#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/conditions.h"
#include "continuous/expressions.h"
#include "continuous/influences.h"
#include "records_support.h"

namespace {

using Influences = ContinuousTest;

Comp *const someComp = reinterpret_cast<Comp *>(0x10);

s_influence *build(influType type, std::initializer_list<s_coef *> coefs,
                   s_variable *cause = nullptr) {
  if (cause == nullptr)
    cause = variable("cause");
  return buildInfluence(someComp, type, cause, variable("effect"), coefList(coefs));
}

s_coef *real(coefType kind, double x) { return coef(kind, newRealObjet(x)); }
s_coef *range(coefType kind, double l, double u) { return coef(kind, newRangeObjet(l, u, 1, 1)); }

TEST_F(Influences, DefaultsNumberingAndTakenCoefficients) {
  s_influence *first = nullptr;
  std::string warned = stderrOf([&] { first = build(inflStatic, {}); });
  EXPECT_EQ(warned, warningAtLine("default value 1 assumed for gain.") +
                        warningAtLine("default value 0 assumed for delay."));
  EXPECT_EQ(first->num, 1);
  EXPECT_EQ(first->comp, someComp);
  EXPECT_EQ(first->gain, objUn);
  EXPECT_EQ(first->delay, objZero);
  EXPECT_EQ(first->respTime, objZero);
  EXPECT_EQ(first->cond, nullptr);
  EXPECT_EQ(first->rangeFlag, 0);

  s_coef *gain = real(coefGain, 2), *xi = real(coefXi, 0.7), *w = range(coefPulse, 1, 2);
  s_influence *second = build(inflDynamic, {gain, real(coefDelay, 1), real(coefRespTime, 3),
                                            xi, w, real(coefN2, 4), real(coefA1, 5)});
  EXPECT_EQ(second->num, 2);
  EXPECT_EQ(second->gain, gain->val);
  EXPECT_EQ(second->xi, xi->val);
  EXPECT_EQ(second->pulse, w->val);
  EXPECT_EQ(second->n2->value->real, 4);
  EXPECT_EQ(second->a1->value->real, 5);
  EXPECT_EQ(second->n1, nullptr);
  EXPECT_EQ(second->rangeFlag, 1);
}

TEST_F(Influences, SecondDefinitionOfEachKindIsWarnedAndIgnored) {
  struct row {
    coefType kind;
    const char *message;
  };
  const std::vector<row> table = {
      {coefGain, "double definition of gain (first assumed)."},
      {coefDelay, "double definition of delay (first assumed)."},
      {coefRespTime, "double definition of response time (first assumed)."},
      {coefXi, "double definition of xi (first assumed)."},
      {coefPulse, "double definition of pulse (first assumed)."},
      {coefN1, "double definition of n1 (first assumed)."},
      {coefN2, "double definition of n2 (first assumed)."},
      {coefA0, "double definition of a0 (first assumed)."},
      {coefA1, "double definition of a1 (first assumed)."},
      {coefA2, "double definition of a2 (first assumed)."},
  };
  for (const row &r : table) {
    SCOPED_TRACE(r.message);
    s_coef *kept = real(r.kind, 2);
    s_influence *inf = nullptr;
    std::string warned = stderrOf([&] {
      inf = build(inflDynamic, {real(coefGain, 1), real(coefDelay, 1), real(coefRespTime, 1),
                                kept, range(r.kind, -9, 9)});
    });
    EXPECT_NE(warned.find(warningAtLine(r.message)), std::string::npos);
    EXPECT_EQ(inf->rangeFlag, 0);
    EXPECT_EQ(inf->cause->maxDelay, 1);  // the ignored delay range does not count
  }
}

TEST_F(Influences, DelaysRaiseTheMaximumDelays) {
  s_variable *cause = variable("c");
  build(inflStatic, {real(coefGain, 1), range(coefDelay, 1, 3)}, cause);
  EXPECT_EQ(cause->maxDelay, 3);
  build(inflStatic, {real(coefGain, 1), real(coefDelay, 2)}, cause);
  EXPECT_EQ(cause->maxDelay, 3);
  EXPECT_EQ(variable("effect")->maxDelay, 0);

  s_variable *d = variable("d");
  build(inflDynamic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 2)}, d);
  EXPECT_EQ(d->maxDelay, 1);
  EXPECT_EQ(variable("effect")->maxDelay, 1);
  s_variable *late = variable("late");
  build(inflDynamic, {real(coefGain, 1), real(coefDelay, 4), real(coefRespTime, 2)}, late);
  EXPECT_EQ(late->maxDelay, 4);

  s_variable *s = variable("s");
  build(inflSecondOrder, {}, s);
  EXPECT_EQ(s->maxDelay, 2);
  EXPECT_EQ(variable("effect")->maxDelay, 2);
  build(inflSecondOrder, {}, late);
  EXPECT_EQ(late->maxDelay, 4);
}

TEST_F(Influences, AcceptedResponseTimes) {
  EXPECT_NE(build(inflStatic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 0)}),
            nullptr);
  EXPECT_NE(build(inflIntegral, {real(coefGain, 1), real(coefDelay, 0)}), nullptr);
  EXPECT_NE(build(inflConstant, {real(coefXi, 1)}, variable("p", 1)), nullptr);
  EXPECT_NE(build(inflDynamic, {real(coefGain, 1), real(coefDelay, 0), range(coefRespTime, 1, 2)}),
            nullptr);
  EXPECT_NE(build(inflStatic, {range(coefGain, 0, 2), real(coefDelay, 0)}), nullptr);
}

TEST_F(Influences, RefusedInfluences) {
  s_coef *byVariable = coef(coefGain, nullptr);
  byVariable->var = variable("k");
  struct row {
    influType type;
    std::vector<s_coef *> coefs;
    bool parameterCause;
    std::string pattern;
  };
  const std::string full = "cause --> effect";
  const std::vector<row> table = {
      {inflConstant, {}, false, errorAtLine("constant influence should have a parameter as cause.")},
      {inflConstant, {real(coefGain, 1)}, true, errorAtLine("constant influence should have no coefficients.")},
      {inflConstant, {real(coefDelay, 0)}, true, errorAtLine("constant influence should have no coefficients.")},
      {inflConstant, {real(coefRespTime, 0)}, true, errorAtLine("constant influence should have no coefficients.")},
      {inflStatic, {range(coefGain, -1, 2)}, false, errorAtLine("gain range has not a unique sign.")},
      {inflStatic, {real(coefDelay, -1)}, false, errorAtLine("delay shouldn't be negative.")},
      {inflStatic, {range(coefDelay, -3, -1)}, false, errorAtLine("delay shouldn't be negative.")},
      {inflStatic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 2)}, false,
       errorAtLine("static influence should have no response time.")},
      {inflIntegral, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 0)}, false,
       errorAtLine("integral influence should have no response time.")},
      {inflDynamic, {real(coefGain, 1), real(coefDelay, 0)}, false,
       errorAtLine("dynamic influence shouldn't have null response time.")},
      {inflDynamic, {real(coefGain, 1), real(coefDelay, 0), real(coefRespTime, 0)}, false,
       errorAtLine("dynamic influence shouldn't have null response time.")},
      {inflStatic, {byVariable}, false, errorAtLine("invalid operator in influence coefficient.", "k")},
  };
  for (const row &r : table) {
    SCOPED_TRACE(r.pattern);
    s_listsarnCoef *coefs = nullptr;
    for (s_coef *c : r.coefs)
      coefs = catListsarnCoef(coefs, coefList({c}));
    s_variable *cause = variable("cause", r.parameterCause);
    EXPECT_EXIT(buildInfluence(someComp, r.type, cause, variable("effect"), coefs),
                testing::ExitedWithCode(1), r.pattern);
  }
}

TEST_F(Influences, SecondOrderParameters) {
  // a0/a2 - a1^2/(2*a2^2) must not be negative.
  auto secondOrder = [](std::vector<s_coef *> coefs) {
    s_listsarnCoef *list = nullptr;
    for (s_coef *c : coefs)
      list = catListsarnCoef(list, coefList({c}));
    return buildInfluence(someComp, inflSecondOrder, variable("cause"), variable("effect"), list);
  };
  s_influence *inf = secondOrder({real(coefN1, 1), real(coefA0, 1), real(coefA1, 1),
                                  real(coefA2, 1)});  // 1 - 1/2
  ASSERT_NE(inf, nullptr);
  EXPECT_EQ(inf->a0->value->real, 1);
  EXPECT_NE(secondOrder({real(coefN1, 1), real(coefA0, 2), real(coefA1, 2), real(coefA2, 1)}),
            nullptr);  // exactly 0
  // With ranges every combination of bounds counts: at worst 4/2 - 4/2.
  EXPECT_NE(secondOrder({real(coefN1, 1), real(coefA0, 4), range(coefA1, 1, 2),
                         range(coefA2, 1, 2)}),
            nullptr);
  EXPECT_NE(secondOrder({real(coefA0, -5)}), nullptr);  // without n1 nothing is checked

  const std::string refused = errorAtLine(
      "incorrect second-order influences parameters: should be broken into two first-order "
      "influences.",
      "cause --> effect");
  const std::vector<std::vector<s_coef *>> table = {
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 2), real(coefA2, 1)},  // 1 - 2
      {real(coefN1, 1), real(coefA0, 2), range(coefA1, 1, 2), range(coefA2, 1, 2)},
      {real(coefN1, 1), real(coefA1, 1), real(coefA2, 1)},                   // no a0
      {real(coefN1, 1), real(coefA0, 1), real(coefA2, 1)},                   // no a1
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 1)},                   // no a2
      {real(coefN1, 1), range(coefA0, 1, 2), real(coefA1, 0), real(coefA2, 1)},
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 0), real(coefA2, 0)},
      {real(coefN1, 1), real(coefA0, 1), real(coefA1, 0), range(coefA2, -1, 1)},
  };
  for (const std::vector<s_coef *> &coefs : table)
    EXPECT_EXIT(secondOrder(coefs), testing::ExitedWithCode(1), refused);
}

using Conditions = ContinuousTest;

s_listsarnInfl *inflList(std::initializer_list<s_influence *> infs) {
  s_listsarnInfl *list = nullptr;
  for (s_influence *inf : infs) {
    s_listsarnInfl *cell = newRecord<s_listsarnInfl>();
    cell->elt = inf;
    list = catListsarnInfl(list, cell);
  }
  return list;
}

TEST_F(Conditions, RuleBlocksNameAndGuardTheirInfluences) {
  s_influence free, guarded;
  s_cond own;
  own.num = 4;
  guarded.cond = &own;
  s_listsarnInfl *rules = inflList({&free, &guarded});
  setRulesNames(rules, "fill");
  EXPECT_EQ(free.ruleName, "fill");
  EXPECT_EQ(guarded.ruleName, "fill");

  numCond = 6;
  s_cond block;
  andRulesConds(rules, &block, "tank1");
  EXPECT_EQ(free.cond, &block);
  s_cond *both = guarded.cond;
  ASSERT_NE(both, &own);
  EXPECT_EQ(both->type, condAnd);
  EXPECT_EQ(both->op1, &block);
  EXPECT_EQ(both->op2, &own);
  EXPECT_EQ(both->num, 7);
  EXPECT_EQ(both->name, "tank1.c_7");
  EXPECT_EQ(block.parent, both);
  EXPECT_EQ(own.parent, both);
  ASSERT_EQ(conditions.size(), 1u);
  EXPECT_EQ(conditions[0], both);
  EXPECT_EQ(numCond, 7);
}

TEST_F(Conditions, ComparisonOfAnExpression) {
  s_variable *x = variable("x");
  s_expr lhs;
  lhs.tex = exprVar;
  lhs.gv = newRecord<s_gVar>();
  lhs.gv->var = x;
  s_expr *constant = mkConstLeaf(newRealObjet(2));
  s_cond *c = mkCondExpr(&lhs, opGt, constant);
  EXPECT_EQ(c->type, condExprRel);
  EXPECT_EQ(c->num, 1);
  EXPECT_EQ(c->var1, x);
  EXPECT_EQ(c->opr, opGt);
  EXPECT_EQ(c->ob, constant->gv->value);
  EXPECT_EQ(c->e, constant);

  s_cond *overVariable = mkCondExpr(&lhs, opLe, &lhs);
  EXPECT_EQ(overVariable->num, 2);
  EXPECT_EQ(overVariable->ob, nullptr);
  EXPECT_EQ(overVariable->e, &lhs);
}

}  // namespace
