#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <string>
#include <vector>

#include "continuous/values.h"
#include "tests/test_support.h"

namespace {

const double oo = DBL_MAX;

// A range written as it prints: '[' or ']' before the lower bound, ']' or '['
// after the upper one.
s_objet *iv(char open, double lower, double upper, char close) {
  return newRangeObjet(lower, upper, open == '[', close == ']');
}

s_objet *re(double x) { return newRealObjet(x); }

template <typename Write> std::string written(Write write) {
  MemoryFile out;
  write(out.file);
  return out.text();
}

std::string shown(const s_objet *o) {
  return written([o](FILE *f) { printObjet(f, o); });
}

class Values : public testing::Test {
protected:
  void SetUp() override { objInit(); }
};

// Multiplication and addition, in place on the first operand.
TEST_F(Values, MultiplicationAndAddition) {
  const auto mul = qx_mulObjet, add = qx_addObjet;
  struct {
    void (*op)(s_objet *, const s_objet *);
    s_objet *a;
    const s_objet *b;
    const char *expected;
  } cases[] = {
      {mul, re(0), iv('[', 1, 2, ']'), " =0"},
      {mul, iv('[', 1, 2, ']'), re(0), " =0"},
      {mul, re(2), re(-3), " =-6"},
      {mul, re(-2), iv('[', 1, 3, '['), " in [-6, -2["},  // b's flags stay where they are
      {mul, iv(']', 1, 2, ']'), re(-1), " in ]-2, -1]"},  // a keeps its flags
      {mul, iv('[', 1, 2, ']'), iv('[', -3, 4, ']'), " in [-6, 8]"},
      {mul, iv('[', 0, oo, ']'), re(0.5), " in [0, +oo]"},
      {mul, iv('[', 1, oo, '['), iv('[', -oo, -1, ']'), " in [-oo, -1["},
      {mul, iv('[', 0, 1, ']'), objMaxDbl, " in [0, +oo]"},
      {mul, re(-1e308), re(10), " =-oo"},
      {add, re(1), re(2), " =3"},
      {add, re(1), iv(']', 0, 1, ']'), " in ]1, 2]"},
      {add, iv('[', 0, 1, '['), re(-1), " in [-1, 0["},
      {add, iv('[', 0, 1, ']'), iv(']', 2, 3, '['), " in [2, 4]"},
      {add, iv('[', -oo, 0, ']'), iv('[', 1, oo, ']'), " in [-oo, +oo]"},
      {add, iv('[', -oo, 5, ']'), re(1e308), " in [-oo, 1e+308]"},
  };
  for (const auto &c : cases) {
    c.op(c.a, c.b);
    EXPECT_EQ(shown(c.a), c.expected) << (c.op == mul ? "product" : "sum");
  }
}

TEST_F(Values, Division) {
  struct divCase {
    s_objet *a;
    const s_objet *b;
    int ok;
    const char *expected;
  };
  std::vector<divCase> cases = {
      {iv('[', 1, 2, ']'), iv('[', -1, 1, ']'), 0, " in [1, 2]"},
      {re(1), re(0), 0, " =1"},
      {re(1), iv(']', 0, 2, ']'), 0, " =1"},
      {re(1), iv('[', -2, 0, '['), 0, " =1"},
      {re(6), re(-3), 1, " =-2"},
      {re(1), iv(']', 2, 4, ']'), 1, " in ]0.25, 0.5]"},
      {iv('[', 2, 4, '['), re(-2), 1, " in [-2, -1["},
      {iv('[', 1, 2, ']'), iv('[', 2, 4, ']'), 1, " in [0.25, 1]"},
      {iv('[', 1, oo, ']'), iv(']', 1, oo, ']'), 1, " in [0, +oo]"},
      {re(1), iv('[', 1, oo, ']'), 1, " in [0, 1]"},
  };
  for (const divCase &c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(qx_divObjet(c.a, c.b), c.ok);
    EXPECT_EQ(shown(c.a), c.expected);
  }
  s_objet *infinite = re(oo);
  EXPECT_EQ(printed([infinite] { EXPECT_EQ(qx_divObjet(infinite, objMaxDbl), 0); }),
            "Implementation error.\n ...undefined operation on infinite values.\n");
  EXPECT_EQ(shown(infinite), " =+oo");
}

TEST_F(Values, Negation) {
  const std::pair<s_objet *, const char *> negations[] = {
      {iv('[', 0, 5, '['), " in ]-5, 0]"}, {iv(']', -oo, 1, ']'), " in [-1, +oo["},
      {re(0), " =0"}, {re(2.5), " =-2.5"}};
  for (const auto &n : negations) {
    qx_minusObjet(n.first);
    EXPECT_EQ(shown(n.first), n.second);
  }
}

TEST_F(Values, GreaterOrEqual) {
  struct geCase {
    const s_objet *a, *b;
    int expected;
  };
  std::vector<geCase> cases = {
      {iv('[', 0, 1, ']'), re(0), 1},       {iv(']', 0, 1, ']'), re(0), 0},
      {iv('[', 0.5, 1, ']'), re(0), 1},     {re(1), re(1), 1},
      {re(0.5), re(1), 0},                  {re(2), iv('[', 0, 2, ']'), 1},
      {re(2), iv('[', 0, 2, '['), 0},       {re(3), iv('[', 0, 2, '['), 1},
      {iv('[', 2, 3, ']'), iv('[', 0, 2, ']'), 1},
      {iv('[', 2, 3, ']'), iv('[', 0, 2, '['), 0},
      {iv(']', 2, 3, ']'), iv('[', 0, 2, ']'), 1},  // only b's upper flag decides
      {iv('[', 1, 3, ']'), iv('[', 0, 2, ']'), 0},
      {objMaxDbl, objPos, 1},               {objZero, objNegS, 0},
      {objZero, objNeg, 1},                 {objZero, objPos, 0},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(qx_geObjet(cases[i].a, cases[i].b), cases[i].expected);
  }
}

TEST_F(Values, CopySharesRangesButArithmeticNeverChangesASharedRecord) {
  s_objet *copy = newObjet();
  qx_putObjet(objPos, copy);
  EXPECT_EQ(copy->type, objRange);
  EXPECT_EQ(copy->value->range, posRange);
  qx_mulObjet(copy, re(2));
  qx_minusObjet(copy);
  EXPECT_EQ(shown(copy), " in [-oo, 0]");
  EXPECT_EQ(shown(objPos), " in [0, +oo]");

  s_objet *real = re(3);
  qx_addObjet(real, objNeg);
  EXPECT_NE(real->value->range, negRange);
  EXPECT_EQ(shown(objNeg), " in [-oo, 0]");

  qx_putObjet(objTrue, copy);
  EXPECT_EQ(copy->type, objBool);
  EXPECT_EQ(copy->value->boolean, 1);
  qx_putObjet(newObjet(), copy);
  EXPECT_EQ(copy->type, objNone);
}

TEST_F(Values, EqualityAndReadableForms) {
  EXPECT_TRUE(eqObj(re(2), re(2)));
  EXPECT_FALSE(eqObj(re(2), re(3)));
  EXPECT_FALSE(eqObj(re(0), iv('[', 0, 0, ']')));
  EXPECT_TRUE(eqObj(iv('[', 0, 1, ']'), iv(']', 0, 1, '[')));  // flags are not compared
  EXPECT_FALSE(eqObj(iv('[', 0, 1, ']'), iv('[', 0, 2, ']')));
  EXPECT_FALSE(eqObj(objTrue, objTrue));
  EXPECT_TRUE(eqRange(posRange, posRangeS));
  EXPECT_FALSE(eqRange(posRange, negRange));
  EXPECT_EQ(written([](FILE *f) { printRange(f, negRangeS); }), "[-oo, 0[");
  EXPECT_EQ(written([](FILE *f) { printReal(f, 1e-7); }), "1e-07");
  EXPECT_EQ(shown(objMaxDbl), " =+oo");
  EXPECT_EQ(shown(objTrue), "");
  EXPECT_NE(objZero->value, valZero);  // each constant object has a cell of its own
  for (auto text : {"TRUE", "true"})
    EXPECT_EQ(a2Bool(text), 1);
  for (auto text : {"FALSE", "false"})
    EXPECT_EQ(a2Bool(text), 0);
  EXPECT_EQ(printed([] { EXPECT_EQ(a2Bool("True"), 0); }),
            "Implementation error.\n ...wrong booleean constant.\n");
}

TEST_F(Values, GeneratedSourceForms) {
  auto generated = [](const s_objet *o, const char *name) {
    return written([o, name](FILE *f) { geneObjet(f, o, name); });
  };
  EXPECT_EQ(generated(iv('[', 1, oo, '['), "g_3"),
            "setObjType(g_3, (objType)2);\n\trange r_g_3 = {1,1.79769e+308, 1, 0};\n\t"
            "setObjRangeVal(g_3, r_g_3);\n\t");
  EXPECT_EQ(generated(re(2.5), "b_1"),
            "setObjType(b_1, (objType)1);\n\trange r_b_1 = {2.5,0};\n\tsetObjRangeVal(b_1, r_b_1);\n\t");
  EXPECT_EQ(generated(re(-oo), "a_2"),
            "setObjType(a_2, (objType)1);\n\trange r_a_2 = {-DBL_MAX,0};\n\t"
            "setObjRangeVal(a_2, r_a_2);\n\t");
  std::string text;
  EXPECT_EQ(printed([&] { text = generated(objTrue, "c_1"); }),
            "Implementation error.\n ...booleean object in code generation.\n");
  EXPECT_EQ(text, "");
  EXPECT_EQ(written([](FILE *f) { geneReal(f, oo); }), "DBL_MAX");
  EXPECT_EQ(written([](FILE *f) { geneReal(f, 0.25); }), "0.25");
}

TEST_F(Values, OperationsOutsideRealsAndRangesAreReported) {
  s_objet *flag = newBoolObjet(1);
  std::string expected = "Implementation error.\n ...arithmetic on a value object that is neither real nor range.\n";
  EXPECT_EQ(printed([flag] { qx_mulObjet(flag, objUn); }), expected);
  EXPECT_EQ(printed([flag] { EXPECT_EQ(qx_divObjet(objUn, flag), 0); }), expected);
  EXPECT_EQ(printed([flag] { EXPECT_EQ(qx_geObjet(flag, objZero), 0); }), expected);
  EXPECT_EQ(flag->value->boolean, 1);
  EXPECT_EQ(printed([] { qx_addObjet(re(oo), re(-oo)); }),
            "Implementation error.\n ...undefined operation on infinite values.\n");
}

}  // namespace
