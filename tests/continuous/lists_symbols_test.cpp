#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "continuous/lists.h"
#include "continuous/symbols.h"
#include "records_support.h"

namespace {

std::vector<std::string> inOrder(const s_arBin *tree) {
  std::vector<std::string> out;
  forEachVariable(tree, [&out](const s_variable *v) { out.push_back(v->name); });
  return out;
}

int heightOf(const s_arBin *tree) {
  return tree == nullptr ? 0 : 1 + std::max(heightOf(tree->left), heightOf(tree->right));
}

using Lists = ContinuousTest;
using Symbols = ContinuousTest;

TEST_F(Lists, ConcatenationSharesCellsAndCopyingAppendDoesNot) {
  s_variable *a = variable("a"), *b = variable("b"), *c = variable("c");
  s_listsarnVar *first = varList({a, b}), *second = varList({c});
  EXPECT_EQ(catListsarnVar(nullptr, second), second);
  EXPECT_EQ(catListsarnVar(first, second), first);
  EXPECT_EQ(first->next->next, second);
  EXPECT_EQ(listsarnVarLn(first), 3);
  EXPECT_EQ(appVariable(first, nullptr), first);
  EXPECT_TRUE(inListsarnVar(first, c));
  EXPECT_FALSE(inListsarnVar(first, variable("d")));

  s_influence i1, i2;
  i1.ruleName = "fill";
  s_listsarnInfl cell2{&i2, nullptr}, cell1{&i1, &cell2};
  s_listsarnInfl *copy = addListsarnInfl(addListsarnInfl(nullptr, &cell1), &cell2);
  EXPECT_EQ(listsarnInflLn(copy), 3);
  EXPECT_NE(copy, &cell1);
  EXPECT_EQ(listsarnInflLn(&cell1), 2);  // the source is left alone
  EXPECT_TRUE(isInInfluListsarn(copy, "fill"));
  EXPECT_FALSE(isInInfluListsarn(copy, "drain"));
  EXPECT_EQ(listsarnInflLn(addListsarnInfl(copy, copy)), 6);  // a list appended to itself
}

TEST_F(Lists, SearchesAndRemovalOfGlobalVariables) {
  s_variable *x = variable("x"), *y = variable("y");
  s_gVar gx, gy, gi;
  gx.var = x;
  gy.var = y;
  s_listsarnGVar c3{&gi, nullptr}, c2{&gy, &c3}, c1{&gx, &c2};
  EXPECT_EQ(isInGVarListsarn(&c1, y), &c2);
  EXPECT_EQ(isInGVarListsarn(&c1, variable("z")), nullptr);
  EXPECT_EQ(removeGVar(&c1, &gy), &c1);
  EXPECT_EQ(c1.next, &c3);
  EXPECT_EQ(removeGVar(&c1, &gx), &c3);
  EXPECT_EQ(removeGVar(&c3, &gy), &c3);  // absent: nothing changes
  EXPECT_EQ(removeGVar(&c3, &gi), nullptr);

  s_initVar ix{x, objUn}, iy{y, objZero};
  s_listsarnInitVar d2{&iy, nullptr}, d1{&ix, &d2};
  EXPECT_EQ(isInInitListsarn(&d1, y), &d2);
  EXPECT_EQ(isInInitListsarn(&d1, variable("z")), nullptr);
}

TEST_F(Symbols, DictionaryIsOrderedByNameAndFlagsFirstLookups) {
  for (const char *name : {"tank.level", "Pump.q", "tank.in", "a", "tank", "_z", "tank.level2"}) {
    s_variable *v = name2Var(dictionary, name);
    EXPECT_EQ(v->name, name);
    EXPECT_EQ(v->fresh, 1) << name;
    EXPECT_EQ(v->depth, -1);
  }
  s_variable *again = name2Var(dictionary, "tank.in");
  EXPECT_EQ(again->fresh, 0);
  EXPECT_EQ(name2Var(dictionary, "tank.in"), again);
  EXPECT_EQ(inOrder(dictionary), (std::vector<std::string>{"Pump.q", "_z", "a", "tank",
                                                           "tank.in", "tank.level",
                                                           "tank.level2"}));
}

TEST_F(Symbols, ManyInstancesStayShallow) {
  const int count = 20000;
  for (int i = 0; i < count; ++i)  // sorted insertion, the worst case of a plain tree
    name2Var(dictionary, "c" + std::to_string(100000 + i) + ".x");
  EXPECT_LE(heightOf(dictionary), 21);
  std::vector<std::string> order = inOrder(dictionary);
  EXPECT_EQ(order.size(), static_cast<size_t>(count));
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST_F(Symbols, ConstantTableStoresSearchesAndDeletes) {
  for (const char *name : {"m", "c", "t", "a", "e", "pi", "z", "b"})
    EXPECT_EQ(storeDef(symCons, name, std::string(name) + "-text"), 1);
  EXPECT_EQ(storeDef(symCons, "pi", "3"), 0);
  ASSERT_NE(searchDef(symCons, "pi"), nullptr);
  EXPECT_EQ(searchDef(symCons, "pi")->text, "pi-text");
  for (const char *name : {"m", "a", "nothing", "z"}) {
    delDef(symCons, name);
    EXPECT_EQ(searchDef(symCons, name), nullptr);
  }
  for (const char *name : {"c", "t", "e", "pi", "b"}) {
    EXPECT_NE(searchDef(symCons, name), nullptr) << name;
    delDef(symCons, name);
  }
  EXPECT_EQ(symCons, nullptr);

  name2Var(dictionary, "x");
  numCstVar = nInterm = numInflu = 3;
  resetContinuousSession();
  EXPECT_EQ(dictionary, nullptr);
  EXPECT_EQ(numCstVar + nInterm, 0);
  EXPECT_EQ(numInflu, 3);  // influence numbers run for the whole process
}

}  // namespace
