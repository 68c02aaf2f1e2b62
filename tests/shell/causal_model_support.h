// A small continuous model with its causal graph built, and a session that is
// restored after each test, for the tests of the print and graph commands.
#ifndef MORVEL_TESTS_SHELL_CAUSAL_MODEL_SUPPORT_H
#define MORVEL_TESTS_SHELL_CAUSAL_MODEL_SUPPORT_H

#include <string>

#include "../continuous/records_support.h"
#include "continuous/causal_graph.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "common/session.h"

class ShellSession : public ContinuousTest {
 protected:
  void SetUp() override {
    ContinuousTest::SetUp();
    DataManager::active_comps.clear();
    variables_disc.clear();
    loaded = 1;
    compiled = 0;
    appliName = "tank";
    figDir = "fig/";
  }
  void TearDown() override {
    DataManager::active_comps.clear();
    loaded = 0;
    compiled = 0;
  }

  s_influence *influence(const char *rule, const std::string &cause, influType type,
                         const std::string &effect, s_objet *delay) {
    s_influence *inf = newRecord<s_influence>();
    inf->num = ++numInflu;
    inf->ruleName = rule;
    inf->type = type;
    inf->cause = variable(cause, cause == "t.p");
    inf->effect = variable(effect);
    inf->gain = objUn;
    inf->delay = delay;
    inf->respTime = objZero;
    s_listsarnInfl *cell = newRecord<s_listsarnInfl>();
    cell->elt = inf;
    influListsarn = catListsarnInfl(influListsarn, cell);
    return inf;
  }

  // t.p drives t.a, which drives t.b and t.c within the time step; the input
  // t.in feeds t.c at once and t.d through an integral; x drives y through
  // an influence without rule name. Returns the updating sequence's result.
  int buildModel() {
    influence("r1", "t.p", inflDynamic, "t.a", objZero);
    influence("r2", "t.a", inflStatic, "t.b", objZero);
    influence("r3", "t.b", inflStatic, "t.c", objZero);
    influence("r4", "t.in", inflConstant, "t.c", objZero);
    influence("r5", "t.in", inflIntegral, "t.d", objUn);
    influence("", "x", inflSecondOrder, "y", objUn);
    variable("t.in")->fct = fctInput;
    variable("t.c")->fct = fctMeasure;
    int built = 0;
    printedOnStderr([&built] { built = buildUpdatingSequence(); });  // uninitialised variables
    return built;
  }
};

#endif
