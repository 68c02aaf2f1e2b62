#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "continuous/lists.h"
#include "continuous/symbols.h"
#include "records_support.h"

namespace {

std::vector<std::string> names(const s_listsarnVar *l) {
  std::vector<std::string> out;
  for (; l != nullptr; l = l->next)
    out.push_back(l->elt->name);
  return out;
}

std::vector<std::string> dictionaryOrder(const s_arBin *tree) {
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
  s_listsarnVar *first = varList({a, b});
  s_listsarnVar *second = varList({c});
  EXPECT_EQ(catListsarnVar(nullptr, second), second);
  EXPECT_EQ(catListsarnVar(first, second), first);
  EXPECT_EQ(names(first), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(first->next->next, second);
  EXPECT_EQ(listsarnVarLn(first), 3);
  EXPECT_EQ(listsarnVarLn(nullptr), 0);
  EXPECT_EQ(appVariable(first, nullptr), first);
  EXPECT_TRUE(inListsarnVar(first, c));
  EXPECT_FALSE(inListsarnVar(first, variable("d")));

  s_influence i1, i2;
  i1.ruleName = "fill";
  s_listsarnInfl cell2{&i2, nullptr}, cell1{&i1, &cell2};
  s_listsarnInfl *copy = addListsarnInfl(nullptr, &cell1);
  ASSERT_EQ(listsarnInflLn(copy), 2);
  EXPECT_NE(copy, &cell1);
  EXPECT_EQ(copy->elt, &i1);
  copy = addListsarnInfl(copy, &cell2);
  EXPECT_EQ(listsarnInflLn(copy), 3);
  EXPECT_EQ(listsarnInflLn(&cell1), 2);  // the source is left alone
  EXPECT_TRUE(isInInfluListsarn(copy, "fill"));
  EXPECT_FALSE(isInInfluListsarn(copy, "drain"));

  s_listsarnLong l2{2, nullptr}, l1{1, nullptr};
  EXPECT_EQ(listsarnLongLn(catListsarnLong(&l1, &l2)), 2);
}

TEST_F(Lists, SearchesAndRemovalOfGlobalVariables) {
  s_variable *x = variable("x"), *y = variable("y");
  s_gVar gx, gy, gi;
  gx.var = x;
  gy.var = y;
  gi.nInterm = 1;
  s_listsarnGVar c3{&gi, nullptr}, c2{&gy, &c3}, c1{&gx, &c2};
  EXPECT_EQ(isInGVarListsarn(&c1, y), &c2);
  EXPECT_EQ(isInGVarListsarn(&c1, variable("z")), nullptr);
  EXPECT_EQ(listsarnGVarLn(addListsarnGVar(nullptr, &c1)), 3);

  s_listsarnGVar *l = removeGVar(&c1, &gy);
  EXPECT_EQ(l, &c1);
  EXPECT_EQ(c1.next, &c3);
  l = removeGVar(l, &gx);
  EXPECT_EQ(l, &c3);
  EXPECT_EQ(removeGVar(l, &gy), &c3);  // absent: nothing changes
  EXPECT_EQ(removeGVar(l, &gi), nullptr);

  s_initVar ix{x, objUn}, iy{y, objZero};
  s_listsarnInitVar d2{&iy, nullptr}, d1{&ix, nullptr};
  s_listsarnInitVar *inits = catListsarnInitVar(&d1, &d2);
  EXPECT_EQ(isInInitListsarn(inits, y), &d2);
  EXPECT_EQ(isInInitListsarn(inits, variable("z")), nullptr);
  EXPECT_EQ(listsarnInitVarLn(addListsarnInitVar(nullptr, inits)), 2);

  s_expr e1, e2;
  s_listsarnExpr x2{&e2, nullptr}, x1{&e1, nullptr};
  s_listsarnExpr *both = catListsarnExpr(&x1, &x2);
  EXPECT_EQ(listsarnExprLn(addListsarnExpr(both, both)), 4);  // a list appended to itself
}

TEST_F(Symbols, DictionaryIsOrderedByNameAndFlagsFirstLookups) {
  const std::vector<std::string> inserted = {"tank.level", "Pump.q", "tank.in", "a", "tank",
                                             "b.x", "_z", "tank.level2"};
  for (const std::string &name : inserted) {
    s_variable *v = name2Var(dictionary, name);
    EXPECT_EQ(v->name, name);
    EXPECT_EQ(v->fresh, 1) << name;
    EXPECT_EQ(v->depth, -1);
    EXPECT_EQ(v->maxDelay, 0.0);
  }
  s_variable *again = name2Var(dictionary, "tank.in");
  EXPECT_EQ(again->fresh, 0);
  EXPECT_EQ(name2Var(dictionary, "tank.in"), again);
  EXPECT_EQ(dictionaryOrder(dictionary),
            (std::vector<std::string>{"Pump.q", "_z", "a", "b.x", "tank", "tank.in",
                                      "tank.level", "tank.level2"}));
}

TEST_F(Symbols, ManyInstancesStayShallow) {
  const int count = 20000;
  for (int i = 0; i < count; ++i)  // sorted insertion, the worst case of a plain tree
    name2Var(dictionary, "c" + std::to_string(100000 + i) + ".x");
  EXPECT_LE(heightOf(dictionary), 21);
  std::vector<std::string> order = dictionaryOrder(dictionary);
  ASSERT_EQ(order.size(), static_cast<size_t>(count));
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST_F(Symbols, ConstantTableStoresSearchesAndDeletes) {
  EXPECT_EQ(searchDef(symCons, "pi"), nullptr);
  for (const char *name : {"m", "c", "t", "a", "e", "pi", "z", "b"})
    EXPECT_EQ(storeDef(symCons, name, std::string(name) + "-text"), 1);
  EXPECT_EQ(storeDef(symCons, "pi", "3"), 0);
  ASSERT_NE(searchDef(symCons, "pi"), nullptr);
  EXPECT_EQ(searchDef(symCons, "pi")->text, "pi-text");

  for (const char *name : {"m", "a", "nothing", "z"}) {
    delDef(symCons, name);
    EXPECT_EQ(searchDef(symCons, name), nullptr);
  }
  for (const char *name : {"c", "t", "e", "pi", "b"})
    EXPECT_NE(searchDef(symCons, name), nullptr) << name;
  for (const char *name : {"c", "t", "e", "pi", "b"})
    delDef(symCons, name);
  EXPECT_EQ(symCons, nullptr);
}

TEST_F(Symbols, ResetEmptiesTheSession) {
  name2Var(dictionary, "x");
  storeDef(symCons, "k", "1");
  inputListsarn = varList({variable("y")});
  numCstVar = 3;
  nInterm = 4;
  numInflu = 5;
  resetContinuousSession();
  EXPECT_EQ(dictionary, nullptr);
  EXPECT_EQ(symCons, nullptr);
  EXPECT_EQ(inputListsarn, nullptr);
  EXPECT_EQ(numCstVar, 0);
  EXPECT_EQ(nInterm, 0);
  EXPECT_EQ(numInflu, 5);  // influence numbers run for the whole process
}

}  // namespace
