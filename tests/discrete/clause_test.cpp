#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discrete/clause.h"
#include "discrete/comp.h"
#include "discrete/signed_atoms.h"
#include "discrete/state_var.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

// Literals written as "+id" (sign true) or "-id" (sign false), in order.
std::string orderOf(const SignedAtoms &literals) {
  std::string text;
  for (const auto &literal : literals)
    text += std::string(literal.first ? "+" : "-") + literal.second->getId() + " ";
  return text;
}

// Clauses and formulas over the six values of x, in literal order.
class LiteralOrder : public testing::Test {
 protected:
  LiteralOrder() {
    StateVar *letters =
        owner.variable<StateVar>("x", std::set<std::string>{"a", "b", "c", "d", "e", "f"}, "a");
    for (Atom *atom : letters->atomLinks)
      atoms.push_back(atom);
  }
  // Inserts atoms a, b, c, ... in that order with the given signs ('+' true).
  SignedAtoms built(const std::string &signs) {
    SignedAtoms literals;
    for (size_t i = 0; i < signs.size(); ++i)
      literals.insert(signs[i] == '+', atoms[i]);
    return literals;
  }
  Owner owner;
  std::vector<Atom *> atoms;
};

TEST_F(LiteralOrder, FollowsTheTreeOfTheSignPredicate) {
  // One sign: reverse order of insertion. Mixed signs: the in-order walk of
  // the balanced tree, where a literal descends left past its own sign and
  // right past the other.
  struct Case {
    std::string signs, order;
  } cases[] = {
      {"", ""},
      {"++++", "+x=d +x=c +x=b +x=a "},
      {"----", "-x=d -x=c -x=b -x=a "},
      {"+-", "+x=a -x=b "},
      {"-+", "-x=a +x=b "},
      {"+--+", "+x=a -x=c -x=b +x=d "},
      {"+-+-", "+x=c +x=a -x=d -x=b "},
      {"++-++-", "+x=e +x=d +x=b +x=a -x=f -x=c "},
      {"--+-+", "-x=d -x=b -x=a +x=e +x=c "},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.signs);
    SignedAtoms literals = built(c.signs);
    EXPECT_EQ(orderOf(literals), c.order);
    EXPECT_EQ(literals.size(), c.signs.size());
  }
}

// A copy keeps the tree's shape and colours: the same insertion lands in the
// same place.
TEST_F(LiteralOrder, CopiesKeepTheOrderAndTheShape) {
  SignedAtoms original = built("+--");
  SignedAtoms copy(original);
  original.insert(true, atoms[3]);
  copy.insert(true, atoms[3]);
  EXPECT_EQ(orderOf(copy), "+x=a -x=c -x=b +x=d ");
  EXPECT_EQ(orderOf(copy), orderOf(original));
  // An assigned copy takes more literals too.
  copy = built("+");
  copy.insert(false, atoms[1]);
  EXPECT_EQ(orderOf(copy), "+x=a -x=b ");
}

TEST_F(LiteralOrder, ClausesPrintInLiteralOrder) {
  struct Case {
    std::string signs, text;
  } cases[] = {
      {"", "null\ncl size: 0\n\n"},
      {"+-", "cl size: 2\nnon - x=a \\/ x=b\n"},
      {"++", "cl size: 2\nnon - x=b \\/ non - x=a\n"},
      {"---", "cl size: 3\nx=c \\/ x=b \\/ x=a\n"},
      {"+--+", "cl size: 4\nnon - x=a \\/ x=c \\/ x=b \\/ non - x=d\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.signs);
    Comp component("x");
    Clause clause(&component);
    clause.setInternal(true);
    for (size_t i = 0; i < c.signs.size(); ++i)
      clause.addAtom(atoms[i], c.signs[i] == '+');
    EXPECT_EQ(printed([&] { clause.showClause(true); }), c.text);
    Clause copy(&clause);
    EXPECT_EQ(printed([&] { copy.showClause(false); }), c.text);
    EXPECT_EQ(copy.getComp(), &component);
    EXPECT_FALSE(copy.getInternal());
  }
}

} // namespace
