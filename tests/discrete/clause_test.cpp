#include <gtest/gtest.h>

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

TEST_F(Clauses, EmptyClausePrintsNull) {
  Clause empty(noComp);
  EXPECT_EQ(printed([&] { empty.showClause(true); }), "null\ncl size: 0\n\n");
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
