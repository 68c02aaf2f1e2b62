// A session of a loaded application named tank, restored after each test,
// for the tests of the print and graph commands.
#ifndef MORVEL_TESTS_SHELL_CAUSAL_MODEL_SUPPORT_H
#define MORVEL_TESTS_SHELL_CAUSAL_MODEL_SUPPORT_H

#include <string>

#include "../continuous/records_support.h"
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
};

#endif
