#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "continuous/declarations.h"
#include "continuous/lists.h"
#include "continuous/symbols.h"
#include "records_support.h"

namespace {

int heightOf(const s_arBin *tree) {
  return tree == nullptr ? 0 : 1 + std::max(heightOf(tree->left), heightOf(tree->right));
}

std::vector<std::string> namesOf(const s_listsarnVar *list) {
  std::vector<std::string> names;
  for (; list != nullptr; list = list->next)
    names.push_back(list->elt->name);
  return names;
}

using Lists = ContinuousTest;
using Symbols = ContinuousTest;
using SessionLists = ContinuousTest;

TEST_F(Lists, CopyingAppendLeavesItsSourceAloneEvenAppendedToItself) {
  s_influence i1, i2;
  i1.ruleName = "fill";
  s_listsarnInfl cell2{&i2, nullptr}, cell1{&i1, &cell2};
  s_listsarnInfl *copy = addListsarnInfl(addListsarnInfl(nullptr, &cell1), &cell2);
  EXPECT_EQ(listsarnInflLn(copy), 3);
  EXPECT_EQ(listsarnInflLn(&cell1), 2);
  EXPECT_TRUE(isInInfluListsarn(copy, "fill"));
  EXPECT_FALSE(isInInfluListsarn(copy, "drain"));
  EXPECT_EQ(listsarnInflLn(addListsarnInfl(copy, copy)), 6);

  // Removing a global variable unlinks its cell only; an absent one changes nothing.
  s_gVar gx, gy, gi;
  s_listsarnGVar c3{&gi, nullptr}, c2{&gy, &c3}, c1{&gx, &c2};
  EXPECT_EQ(removeGVar(&c1, &gy), &c1);
  EXPECT_EQ(c1.next, &c3);
  EXPECT_EQ(removeGVar(&c1, &gx), &c3);
  EXPECT_EQ(removeGVar(&c3, &gy), &c3);
  EXPECT_EQ(removeGVar(&c3, &gi), nullptr);
}

TEST_F(Symbols, ManyInstancesStayShallow) {
  const int count = 20000;
  for (int i = 0; i < count; ++i)  // sorted insertion, the worst case of a plain tree
    name2Var(dictionary, "c" + std::to_string(100000 + i) + ".x");
  EXPECT_LE(heightOf(dictionary), 21);
  std::vector<std::string> order;
  forEachVariable(dictionary, [&order](const s_variable *v) { order.push_back(v->name); });
  EXPECT_EQ(order.size(), static_cast<size_t>(count));
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

// A new load starts numbering constants and intermediates afresh; influence
// numbers run for the whole process.
TEST_F(Symbols, ResetForgetsTheDictionaryAndNumbering) {
  name2Var(dictionary, "x");
  numCstVar = nInterm = numInflu = 3;
  resetContinuousSession();
  EXPECT_EQ(dictionary, nullptr);
  EXPECT_EQ(numCstVar + nInterm, 0);
  EXPECT_EQ(numInflu, 3);
}

// Declarations append to the session lists in declaration order, once per
// variable, keeping cells other code put in front of or behind the list; a
// new load starts empty.
TEST_F(SessionLists, DeclarationsAppendInOrder) {
  std::vector<std::string> expected;
  auto declare = [&expected](const std::string &name) {
    setListsarnFct(varList({variable(name)}), fctMeasure);
    expected.push_back(name);
  };
  for (int i = 0; i < 200; ++i)
    declare("c" + std::to_string(i) + ".level");
  s_listsarnVar *front = varList({variable("front")});
  front->next = measureListsarn;
  measureListsarn = front;
  expected.insert(expected.begin(), "front");
  declare("after.front");
  catListsarnVar(measureListsarn, varList({variable("behind")}));
  expected.push_back("behind");
  declare("after.behind");
  setListsarnFct(varList({variable("c7.level"), variable("after.front")}), fctMeasure);
  EXPECT_EQ(namesOf(measureListsarn), expected);

  resetContinuousSession();
  setListsarnFct(varList({variable("x"), variable("y")}), fctMeasure);
  setListsarnFct(varList({variable("z")}), fctInput);
  EXPECT_EQ(namesOf(measureListsarn), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(namesOf(inputListsarn), (std::vector<std::string>{"z"}));
}

}  // namespace
