#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

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

using Operation = int (*)(s_objet *, const s_objet *);
const Operation mul = [](s_objet *a, const s_objet *b) { qx_mulObjet(a, b); return 1; };
const Operation add = [](s_objet *a, const s_objet *b) { qx_addObjet(a, b); return 1; };
const Operation neg = [](s_objet *a, const s_objet *) { qx_minusObjet(a); return 1; };
const Operation quo = qx_divObjet;

// The operations, in place on the first operand; a division by what may be
// zero is refused and leaves it as it was.
TEST_F(Values, Arithmetic) {
  struct {
    Operation op;
    s_objet *a;
    const s_objet *b;
    const char *expected;
    int result = 1;
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
      {neg, iv('[', 0, 5, '['), nullptr, " in ]-5, 0]"},
      {neg, iv(']', -oo, 1, ']'), nullptr, " in [-1, +oo["},
      {neg, re(0), nullptr, " =0"},
      {neg, re(2.5), nullptr, " =-2.5"},
      {quo, iv('[', 1, 2, ']'), iv('[', -1, 1, ']'), " in [1, 2]", 0},
      {quo, re(1), re(0), " =1", 0},
      {quo, re(1), iv(']', 0, 2, ']'), " =1", 0},
      {quo, re(1), iv('[', -2, 0, '['), " =1", 0},
      {quo, re(6), re(-3), " =-2"},
      {quo, re(1), iv(']', 2, 4, ']'), " in ]0.25, 0.5]"},
      {quo, iv('[', 2, 4, '['), re(-2), " in [-2, -1["},
      {quo, iv('[', 1, 2, ']'), iv('[', 2, 4, ']'), " in [0.25, 1]"},
      {quo, iv('[', 1, oo, ']'), iv(']', 1, oo, ']'), " in [0, +oo]"},
      {quo, iv('[', -oo, -1, ']'), iv(']', 1, oo, ']'), " in [-oo, 0]"},
      {quo, re(1), iv('[', 1, oo, ']'), " in [0, 1]"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(c.op(c.a, c.b), c.result);
    EXPECT_EQ(shown(c.a), c.expected);
  }
}

TEST_F(Values, GreaterOrEqual) {
  struct {
    const s_objet *a, *b;
    int expected;
  } cases[] = {
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
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    EXPECT_EQ(qx_geObjet(cases[i].a, cases[i].b), cases[i].expected) << i;
}

TEST_F(Values, CopySharesRangesButArithmeticNeverChangesASharedRecord) {
  s_objet *copy = newObjet(), *real = re(3);
  qx_putObjet(objPos, copy);
  qx_mulObjet(copy, re(2));
  qx_minusObjet(copy);
  qx_addObjet(real, objNeg);
  EXPECT_EQ(shown(copy) + shown(objPos), " in [-oo, 0] in [0, +oo]");
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
  EXPECT_EQ(written([](FILE *f) { printReal(f, 1e-7); }), "1e-07");
  EXPECT_EQ(shown(objTrue), "");
  for (auto text : {"TRUE", "true", "FALSE", "false"})
    EXPECT_EQ(a2Bool(text), text[0] == 'T' || text[0] == 't') << text;
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
  EXPECT_EQ(written([](FILE *f) { geneReal(f, -oo); geneReal(f, oo); }), "-DBL_MAXDBL_MAX");
}

// What the arithmetic and the generation do not define is reported and
// changes nothing.
TEST_F(Values, UndefinedOperationsAreReported) {
  s_objet *flag = newBoolObjet(1), *infinite = re(oo);
  const std::string neither = "arithmetic on a value object that is neither real nor range.";
  const std::string infinities = "undefined operation on infinite values.";
  std::string text = "unchanged";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[flag] { qx_mulObjet(flag, objUn); }, neither},
      {[flag] { EXPECT_EQ(qx_divObjet(objUn, flag), 0); }, neither},
      {[flag] { EXPECT_EQ(qx_geObjet(flag, objZero), 0); }, neither},
      {[infinite] { EXPECT_EQ(qx_divObjet(infinite, objMaxDbl), 0); }, infinities},
      {[infinite] { qx_addObjet(infinite, re(-oo)); }, infinities},
      {[] { EXPECT_EQ(a2Bool("True"), 0); }, "wrong booleean constant."},
      {[&text] { text = written([](FILE *f) { geneObjet(f, objTrue, "c_1"); }); },
       "booleean object in code generation."},
  };
  for (const auto &c : cases)
    EXPECT_EQ(printed(c.first), "Implementation error.\n ..." + c.second + "\n");
  EXPECT_EQ(flag->value->boolean, 1);
  EXPECT_EQ(shown(infinite), " =+oo");
  EXPECT_EQ(text, "");
}

}  // namespace
