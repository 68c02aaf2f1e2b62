// Shared helpers of the tests of the continuous records and builders.
#ifndef MORVEL_TESTS_CONTINUOUS_RECORDS_SUPPORT_H
#define MORVEL_TESTS_CONTINUOUS_RECORDS_SUPPORT_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "continuous/diagnostics.h"
#include "continuous/lists.h"
#include "continuous/state.h"
#include "continuous/values.h"
#include "tests/test_support.h"

// Every test starts from an empty session at source line 7.
class ContinuousTest : public testing::Test {
 protected:
  void SetUp() override {
    objInit();
    resetContinuousSession();
    conditions.clear();
    numInflu = 0;
    numCond = 0;
    nligne = 7;
  }
};

inline s_variable *variable(const std::string &name, int param = 0) {
  s_variable *v = name2Var(dictionary, name);
  v->param = param;
  return v;
}

inline s_domain *domain(s_objet *value, s_variable *var = nullptr) {
  s_domain *dom = newRecord<s_domain>();
  dom->val = value;
  dom->var = var;
  return dom;
}

inline s_listsarnVar *varList(std::initializer_list<s_variable *> vars) {
  s_listsarnVar *list = nullptr;
  for (s_variable *v : vars)
    list = appVariable(list, v);
  return list;
}

inline s_expr *leaf(s_variable *v) {
  s_expr *e = newRecord<s_expr>();
  e->tex = exprVar;
  e->gv = newRecord<s_gVar>();
  e->gv->var = v;
  return e;
}

// The report of an error at the current test line, as a death-test pattern.
inline std::string errorAtLine(const std::string &message, const std::string &detail = "") {
  return "^" + regexLiteral("Line 7: semantics error.\n  ..." + message + ": " + detail + "\n") + "$";
}

#endif
