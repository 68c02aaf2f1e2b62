#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "tests/reasoning/reasoning_test_support.h"

namespace {

// Three variables A, B, C over {ko, ok, on}.
class FormulaCompilation : public ReasonerTest {
 protected:
  FormulaCompilation() {
    for (const char *name : {"A", "B", "C"})
      for (Atom *made :
           owner.variable<StateVar>(name, std::set<std::string>{"on", "ok", "ko"}, "on")->atomLinks)
        atoms[made->id] = made;
  }
  // The literals are written "A=on !B=ok"; "!" marks a negated one.
  StateFormula *formula(const std::string &op, const std::string &literals) {
    auto *made = new StateFormula();
    made->setOperat(op);
    std::istringstream words(literals);
    for (std::string word; words >> word;)
      made->addAtom(atoms.at(word.substr(word[0] == '!')), word[0] != '!');
    return made;
  }
  Formula *implies(StateFormula *pre, StateFormula *post) { return new Formula(pre, post, nullptr); }
  // The clauses of one constraint; everything is released.
  std::vector<Literals> compiled(Formula *constraint) {
    std::unique_ptr<Formula> owned(constraint);
    std::vector<Clause *> out;
    printed([&] { reasoning->compileFormula(constraint, &out, nullptr); });
    std::vector<Literals> clauses = literalsOf(out);
    for (Clause *clause : out)
      delete clause;
    return clauses;
  }
  std::map<std::string, Atom *> atoms;
};

// The shapes the random constraints below do not take.
TEST_F(FormulaCompilation, LoneLiteralIsPositiveAndAFormulaWithoutAtomsGivesNothing) {
  EXPECT_EQ(compiled(implies(formula("", "!A=on"), formula("", "!B=ok"))),
            (std::vector<Literals>{{"!A=on", "B=ok"}}));
  EXPECT_TRUE(compiled(implies(new StateFormula(), formula("and", "C=on"))).empty());
}

TEST_F(FormulaCompilation, NestedFormulasJoinTheirOwnLiteralsToEachNestedOne) {
  // not (C=on and (A=on or B=ok)) = (not C=on or not A=on) and (not C=on or not B=ok)
  StateFormula *premise = formula("and", "C=on");
  premise->addStateFormula(formula("or", "A=on B=ok"));
  EXPECT_EQ(compiled(implies(premise, formula("and", "A=ko"))),
            (std::vector<Literals>{{"!C=on", "!B=ok", "A=ko"}, {"!C=on", "!A=on", "A=ko"}}));
  // Every nested formula gets its own unit clauses.
  StateFormula *twice = formula("or", "C=on");
  twice->addStateFormula(formula("and", "A=on"));
  twice->addStateFormula(formula("and", "B=ok"));
  EXPECT_EQ(compiled(implies(twice, formula("and", "A=ko"))),
            (std::vector<Literals>{{"!C=on", "!A=on", "A=ko"}, {"!C=on", "!B=ok", "A=ko"}}));
  // A nested "and" conclusion compiles to nothing; so does an unknown operator.
  StateFormula *conclusion = formula("and", "C=on");
  conclusion->addStateFormula(formula("or", "A=on"));
  EXPECT_TRUE(compiled(implies(formula("and", "B=ok"), conclusion)).empty());
  StateFormula *odd = formula("and", "C=on");
  odd->operat = "xor";
  EXPECT_TRUE(compiled(implies(formula("and", "B=ok"), odd)).empty());
}

using Truth = std::map<const Atom *, bool>;

bool holds(const StateFormula *formula, const Truth &truth) {
  bool conjunction = formula->operat == "and";
  for (const auto &literal : *formula->atoms)
    if ((truth.at(literal.second) == literal.first) != conjunction)
      return !conjunction;
  return conjunction;
}

bool holds(const Formula *constraint, const Truth &truth) {
  if (constraint->pre != nullptr)
    return !holds(constraint->pre, truth) || holds(constraint->post, truth);
  for (const Formula *sub : *constraint->subFormulas)
    if (!holds(sub, truth))
      return false;
  return true;
}

// Random implications between flat conjunctions or disjunctions of 1 to 3
// literals, some of them paired in a conjunction of constraints, compile
// to clauses with exactly the models of the constraint.
TEST_F(FormulaCompilation, ClausesHaveTheModelsOfTheConstraint) {
  std::vector<Atom *> all;
  for (const auto &entry : atoms)
    all.push_back(entry.second);
  std::mt19937 random(20240611);
  auto pick = [&](unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random); };
  auto side = [&] {
    auto *made = new StateFormula();
    made->setOperat(pick(2) == 0 ? "and" : "or");
    for (unsigned count = 1 + pick(3); count > 0; --count)
      made->addAtom(all[pick(static_cast<unsigned>(all.size()))], pick(2) == 0);
    return made;
  };
  for (int round = 0; round < 300; ++round) {
    std::unique_ptr<Formula> constraint(implies(side(), side()));
    if (pick(3) == 0)
      constraint.reset(new Formula(nullptr, nullptr,
                                   new std::vector<Formula *>{constraint.release(),
                                                              implies(side(), side())}));
    std::vector<Clause *> out;
    printed([&] { reasoning->compileFormula(constraint.get(), &out, nullptr); });
    std::vector<const Atom *> atomsInOrder(all.begin(), all.end());
    BruteForceModels satisfying(atomsInOrder, out), everything(atomsInOrder, {});
    for (const std::vector<bool> &values : everything.all) {
      Truth truth;
      for (std::size_t i = 0; i < all.size(); ++i)
        truth[all[i]] = values[i];
      bool clausesHold = std::find(satisfying.all.begin(), satisfying.all.end(), values) !=
                         satisfying.all.end();
      ASSERT_EQ(clausesHold, holds(constraint.get(), truth)) << "round " << round;
    }
    for (Clause *clause : out)
      delete clause;
  }
}

} // namespace
