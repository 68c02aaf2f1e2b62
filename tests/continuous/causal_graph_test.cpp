#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/causal_graph.h"
#include "continuous/declarations.h"
#include "continuous/expressions.h"
#include "records_support.h"

namespace {

// An influence of a test model. Names starting with "p" are parameters, with
// "in" inputs, with "m" measures; a name ending in "!" is also initialised.
struct edge {
  std::string cause;
  influType type;
  std::string effect;
  double delay = 0;
  double respTime = 0;
};

class CausalGraph : public ContinuousTest {
 protected:
  s_variable *var(std::string name) {
    bool initialised = name.back() == '!';
    if (initialised)
      name.pop_back();
    s_variable *v = variable(name, name[0] == 'p');
    if (v->fresh && (name.rfind("in", 0) == 0 || name[0] == 'm'))
      setListsarnFct(varList({v}), name[0] == 'm' ? fctMeasure : fctInput);
    if (v->fresh && initialised) {
      s_listsarnInitVar *cell = newRecord<s_listsarnInitVar>();
      cell->elt = buildInitVar(v, domain(objZero));
      cell->next = initListsarn;
      initListsarn = cell;
    }
    v->fresh = 0;
    return v;
  }

  // Appends the influences in order; returns them.
  std::vector<s_influence *> model(const std::vector<edge> &edges) {
    std::vector<s_influence *> made;
    for (const edge &e : edges) {
      s_influence *inf = newRecord<s_influence>();
      inf->num = ++numInflu;
      inf->type = e.type;
      inf->cause = var(e.cause);
      inf->effect = var(e.effect);
      inf->gain = objUn;
      inf->delay = newRealObjet(e.delay);
      inf->respTime = newRealObjet(e.respTime);
      s_listsarnInfl *cell = newRecord<s_listsarnInfl>();
      cell->elt = inf;
      influListsarn = catListsarnInfl(influListsarn, cell);
      made.push_back(inf);
    }
    return made;
  }
};

std::string names(const s_listsarnVar *list) {
  std::string text;
  for (; list != nullptr; list = list->next)
    text += (text.empty() ? "" : " ") + list->elt->name;
  return text;
}

std::vector<long> numbers(const std::vector<s_influence *> &influences) {
  std::vector<long> result;
  for (const s_influence *inf : influences)
    result.push_back(inf->num);
  return result;
}

std::vector<long> positions(const s_listsarnLong *list) {
  std::vector<long> result;
  for (; list != nullptr; list = list->next)
    result.push_back(list->elt);
  return result;
}

const influType D = inflDynamic, I = inflIntegral, S = inflStatic, C = inflConstant,
                D2 = inflSecondOrder;

// Compiled twice: the second compile starts from fresh nodes and gives the same sequence.
TEST_F(CausalGraph, DelayedVariablesComeFirstAndInstantaneousOnesAfter) {
  model({{"z!", D, "y!", 0, 2}, {"y", S, "x"}, {"a!", S, "b", 1}, {"b", S, "c"}, {"u", S, "w"},
         {"w", S, "u"}, {"in", I, "k!"}, {"a", D, "m", 0, 1}, {"p", C, "x"}, {"in", D2, "o!"},
         {"k", I, "o"}, {"in", D, "y", 0, 2}});
  std::string warnings = printedOnStderr([] {
    ASSERT_EQ(buildUpdatingSequence(), 1);
    ASSERT_EQ(buildUpdatingSequence(), 1);
  });
  const std::string warning = "Warning.\n  ...variable should be initialized or measured.: \n  b\n";
  EXPECT_EQ(warnings, warning + warning);
  EXPECT_EQ(names(temporalListsarn), "a b k m o y z");  // a delay of 1 makes both ends roots
  EXPECT_EQ(names(untemporalListsarn), "c x");
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(var("u")->depth, -1);  // a loop no root reaches is left alone
  EXPECT_EQ(var("in")->depth, 0);  // inputs have a depth but update nothing
  // Causes and effects in the order of the influences, not of the names.
  EXPECT_EQ(numbers(var("y")->node->causes), (std::vector<long>{1, 12}));
  EXPECT_EQ(numbers(var("in")->node->effects), (std::vector<long>{7, 10, 12}));
  const std::pair<const char *, int> types[] = {
      {"y", D}, {"x", S}, {"k", I}, {"o", D2}, {"z", 0}};  // second order over integral
  for (const auto &t : types)
    EXPECT_EQ(var(t.first)->node->type, t.second) << t.first;
}

// The reports on the graph are checked in sessions (tests/e2e/definition/refused);
// here the pairs of influence kinds and the loop those do not show.
TEST_F(CausalGraph, FatalReportsOnTheGraph) {
  auto noLine = [](const std::string &message, const std::string &name) {
    return "^" + regexLiteral("Semantics error.\n  ..." + message + ": \n  " + name + "\n") + "$";
  };
  const std::string incompatible = "incompatible types in influences to the same variable:";
  struct {
    std::vector<edge> edges;
    std::string stderrPattern;
  } cases[] = {
      {{{"a", I, "x"}, {"b", D, "x", 0, 1}}, noLine(incompatible, "x")},
      {{{"p", C, "x"}, {"b", I, "x"}}, noLine(incompatible, "x")},
      // The descent into c ends a tree; the loop is closed on the next one.
      {{{"r", S, "a"}, {"a", S, "b"}, {"b", S, "c"}, {"b", S, "a"}},
       noLine("closed loop in causal graph around variable:", "b")},
  };
  for (const auto &c : cases) {
    auto compile = [this, &c] {
      model(c.edges);
      buildUpdatingSequence();
    };
    EXPECT_EXIT(compile(), testing::ExitedWithCode(1), c.stderrPattern);
  }
}

TEST_F(CausalGraph, ConditionHistoryCountsStepsBackFromMeasures) {
  std::vector<s_influence *> made =
      model({{"u", D, "m", 2, 1}, {"w", S, "u"}, {"u", I, "u"}, {"v", D, "w", 0, 1},
             {"q", S, "v"}, {"in", D, "w", 5, 1}, {"w", D, "m", 0, 1}, {"m2", S, "w"},
             {"r", S, "m2"}});
  made[3]->delay = newRangeObjet(1, 4.7, 1, 1);
  buildCGraph(dictionary);
  actCondArrayLength();
  std::vector<long> lengths;
  for (const s_influence *inf : made)
    lengths.push_back(inf->condHistoLn);
  // 0 + 2 + 1 for w -> u; u is on the path already; v -> w is reached through
  // u, which is longer than from m; 3 + 4 (truncated range) + 1 for q -> v; an
  // input or a measure ends the walk; a measure starts its own.
  EXPECT_EQ(lengths, (std::vector<long>{0, 3, 3, 3, 8, 3, 0, 3, 0}));
}

TEST_F(CausalGraph, DepthOneHundredIsRefused) {
  for (int length : {99, 100}) {
    SetUp();
    std::vector<edge> edges;
    for (int i = 0; i < length; i++)
      edges.push_back({"m" + std::to_string(1000 + i), S, "m" + std::to_string(1001 + i)});
    model(edges);
    int result = -1;
    std::string out = printed([&result] { result = buildUpdatingSequence(); });
    EXPECT_EQ(result, length == 99 ? 1 : 0);
    EXPECT_EQ(out, length == 99 ? "" : "Implementation error.\n ...too deep causal graph.\n");
    EXPECT_EQ(listsarnVarLn(untemporalListsarn), length == 99 ? 99 : 0);
  }
}

// Constraints a+b and b-b, each solved for its variables, at positions 0-2
// and 3-5; the condition constraints start at 2. A constraint lists a
// variable once however often it uses it.
TEST_F(CausalGraph, GlobalVariablesListTheConstraintsThatUseThem) {
  s_listsarnExpr *exprs = nullptr;
  s_listsarnGVar *gvars = nullptr;
  long count = 0;
  s_expr *a = leaf(var("a")), *b = leaf(var("b"));
  buildExprBinOp('+', a, b, exprs, gvars, count);
  buildExprBinOp('-', b, b, exprs, gvars, count);
  for (s_gVar *gv : {b->gv, a->gv}) {
    s_listsarnGVar *cell = newRecord<s_listsarnGVar>();
    cell->elt = gv;
    cell->next = gvars;
    gvars = cell;
  }
  globCListsarn = exprs;
  condCListsarn = exprs->next->next;
  buildGlobCOfGv(gvars);
  buildCondCOfGv(gvars);
  // a, b, then the intermediates of both constraints.
  const std::vector<std::vector<long>> global = {{0, 1, 2}, {0, 1, 2, 3, 4, 5}, {0, 1, 2}, {3, 4, 5}};
  const std::vector<std::vector<long>> condition = {{0}, {0, 1, 2, 3}, {0}, {1, 2, 3}};
  ASSERT_EQ(listsarnGVarLn(gvars), 4);
  size_t i = 0;
  for (s_listsarnGVar *g = gvars; g != nullptr; g = g->next, i++) {
    EXPECT_EQ(positions(g->elt->globC), global[i]) << i;
    EXPECT_EQ(positions(g->elt->condC), condition[i]) << i;
  }
}

}  // namespace
