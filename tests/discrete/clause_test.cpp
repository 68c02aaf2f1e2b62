#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "discrete/clause.h"
#include "discrete/state_var.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class Clauses : public testing::Test {
 protected:
  Clauses() {
    StateVar *x = owner.variable<StateVar>("x", std::set<std::string>{"a", "b", "c"}, "a");
    a = atomOf(x, "a");
    b = atomOf(x, "b");
    c = atomOf(x, "c");
  }
  Owner owner;
  Atom *a, *b, *c;
};

TEST_F(Clauses, EmptyClausePrintsNullAndSignsOfAbsentAtomsAreFalse) {
  Clause empty(noComp);
  EXPECT_EQ(printed([&] { empty.showClause(true); }), "null\ncl size: 0\n\n");
  Clause clause(a, true, nullptr);
  clause.addAtom(b, false);
  EXPECT_TRUE(clause.getSign(a));
  EXPECT_FALSE(clause.getSign(b));
  EXPECT_FALSE(clause.getSign(c));
}

TEST_F(Clauses, OppositesOnlyForTheSoleLiteralOfItsSign) {
  struct Case {
    std::vector<std::pair<Atom *, bool>> literals;
    Atom *asked;
    std::vector<Atom *> opposites;
  } cases[] = {
      {{{a, true}, {b, true}}, a, {}},
      {{{a, true}, {b, false}}, a, {b}},
      {{{a, true}, {b, false}}, b, {a}},
      {{{a, true}, {b, false}, {c, false}}, a, {c, b}},
      {{{a, true}, {b, false}, {c, false}}, b, {}},
      {{{a, false}}, a, {}},
  };
  for (const Case &test : cases) {
    Clause clause(noComp);
    for (const auto &literal : test.literals)
      clause.addAtom(literal.first, literal.second);
    std::unique_ptr<std::vector<Atom *>> opposites(clause.getOpposites(test.asked));
    EXPECT_EQ(*opposites, test.opposites);
  }
}

TEST_F(Clauses, LabelFiltersAndEvaluation) {
  Clause clause(a, true, nullptr);
  clause.addAtomRef(b, false);
  clause.addAtomRef(c, false);
  EXPECT_EQ(b->clauses, std::vector<Clause *>{&clause});
  EXPECT_TRUE(a->clauses.empty());
  EXPECT_EQ(clause.getUnknown(), a);
  a->setLabel("true");
  b->setLabel("false");
  EXPECT_EQ(clause.getUnknown(), c);
  std::unique_ptr<SignedAtoms> known(clause.getNotUnknown());
  std::unique_ptr<SignedAtoms> truths(clause.getTrueAtoms());
  std::unique_ptr<SignedAtoms> falsities(clause.getFalseAtoms());
  EXPECT_EQ(known->size(), 2u);
  EXPECT_EQ(truths->begin()->second, a);
  EXPECT_EQ(falsities->begin()->second, b);
  c->setLabel("true");
  EXPECT_EQ(clause.getUnknown(), nullptr);

  // x = a: the literal "not a" is false, "b" is false, "c" is false.
  std::string values;
  for (auto literal = clause.atoms->begin(); literal != clause.atoms->end(); ++literal)
    values += std::string(literal->second->getId()) + ":" + clause.evalAtom(literal) + " ";
  EXPECT_EQ(values, "x=a:false x=c:false x=b:false ");
  b->set();
  values.clear();
  for (auto literal = clause.atoms->begin(); literal != clause.atoms->end(); ++literal)
    values += clause.evalAtom(literal) + " ";
  EXPECT_EQ(values, "true false true ");
}

TEST_F(Clauses, SupportMakesTheAtomDependOnTheOthers) {
  Clause clause(a, false, nullptr);
  clause.addAtom(b, true);
  clause.addAtom(b, false);
  clause.addAtom(c, false);
  clause.setSupport(a);
  EXPECT_EQ(a->support, &clause);
  EXPECT_TRUE(a->dependents.empty());
  EXPECT_EQ(b->dependents, (std::vector<Atom *>{a, a}));
  EXPECT_EQ(c->dependents, std::vector<Atom *>{a});
}

} // namespace
