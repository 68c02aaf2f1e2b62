#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "continuous/diagnostics.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

// The only text on standard error when the load ends on a variable missing
// at line 12.
std::string notFound(const std::string &name) {
  return "^" + regexLiteral("Line 12: semantics error.\n  ...variable not found.: " + name + "\n") + "$";
}

// A model of instances whose components are kept here; the session tables
// are emptied around every test.
class Instances : public testing::Test {
 protected:
  Instances() {
    comps.clear();
    variables_disc.clear();
    nligne = 12;
  }
  ~Instances() override {
    comps.clear();
    variables_disc.clear();
  }
  Comp *declare(const std::string &type, const std::string &varName) {
    auto record = std::make_unique<s_component>();
    record->type = type;
    record->varName = varName;
    components.push_back(std::make_unique<Comp>(varName));
    record->comp = components.back().get();
    record->comp->typeName = type;
    record->comp->varName = varName;
    comps.append(std::move(record));
    return components.back().get();
  }
  StateVar *declareVariable(const std::string &name) {
    StateVar *variable = owner.variable<ModeVar>(name, std::set<std::string>{"ok", "ko"}, "ok");
    variables_disc.append(name, variable);
    return variable;
  }
  static void uses(Comp *comp, Comp *used, const std::string &localName) {
    if (comp->importedComps == nullptr) {
      comp->importedComps = new std::vector<Comp *>();
      comp->correspondences = new std::vector<std::pair<std::string, std::string>>();
    }
    comp->importedComps->push_back(used);
    comp->correspondences->emplace_back(localName, used->varName);
  }
  void commandedBy(Comp *comp, Comp *commander) {
    auto *command = owner.keep(new CommandVar(commander->varName + ".cmd", {"on"}, "on", commander));
    comp->cmdIn = new std::vector<CommandVar *>{command};
  }
  Owner owner;
  std::vector<std::unique_ptr<Comp>> components;
};

// Components by instance variable name, the first declared winning; variables
// by qualified name, or by a used component's local name; an unknown variable
// ends the load, an unknown value or component does not.
TEST_F(Instances, ComponentsVariablesAndAtomsByName) {
  Comp *valve = declare("Valve", "v1");
  valve->setName("valveA");
  Comp *pipe = declare("Pipe", "p1");
  Comp *again = declare("Valve", "v1");
  EXPECT_EQ(findComp("v1"), valve);
  EXPECT_EQ(findComp("valveA"), nullptr);
  EXPECT_EQ(findComp("v2"), nullptr);
  EXPECT_EQ(comps.size(), 3u);
  EXPECT_EQ(comps.records()[2]->comp, again);
  StateVar *valveMode = declareVariable("v1.mode");
  StateVar *pipeMode = declareVariable("p1.mode");
  StateVar *level = declareVariable("down.level");
  uses(valve, pipe, "in");
  uses(valve, declare("Tank", "t1"), "down");
  struct Case {
    Comp *from;
    std::string name;
    StateVar *found;  // none: the load ends
  } cases[] = {
      {valve, "v1.mode", valveMode},  // by its own name
      {pipe, "v1.mode", valveMode},   // any component sees qualified names
      {nullptr, "p1.mode", pipeMode},
      {valve, "in.mode", nullptr},    // local names are not qualified names
      {valve, "mode", nullptr},
      {pipe, "mode", nullptr},        // a component that uses none
      {nullptr, "p1.rate", nullptr},
      {valve, "level", level},        // through a used component's local name
      {valve, "flow", nullptr},       // reported once, not once per used component
  };
  for (const Case &c : cases)
    if (c.found)
      EXPECT_EQ(findDiscVariable(c.from, c.name), c.found) << c.name;
    else
      EXPECT_EXIT(findDiscVariable(c.from, c.name), testing::ExitedWithCode(1), notFound(c.name))
          << c.name;
  EXPECT_EQ(findAtom("v1.mode=ko", nullptr), atomOf(valveMode, "ko"));
  EXPECT_EQ(findAtom("v1.mode=up", valve), nullptr);
  EXPECT_EQ(findAtom("x9.mode=ok", valve), nullptr);
  EXPECT_EXIT(findAtom("v1.rate=ok", valve), testing::ExitedWithCode(1), notFound("v1.rate"));
  // The local names of the used components, "" for none.
  EXPECT_EQ(valve->findCorresName("down"), "t1");
  EXPECT_EQ(valve->findCorresName("p1"), "");
  EXPECT_EQ(valve->findCorresDef("x9"), "");
  EXPECT_EQ(pipe->findCorresName("in"), "");
}

TEST_F(Instances, DependenceOnATypeThroughCommandsAndUses) {
  Comp *controller = declare("Controller", "ctl");
  Comp *pump = declare("Pump", "pump");
  Comp *valve = declare("Valve", "valve");
  Comp *pipe = declare("Pipe", "pipe");
  Comp *sink = declare("Sink", "sink");
  commandedBy(pump, controller);
  uses(valve, pump, "p");
  uses(pump, pipe, "out");
  uses(pipe, sink, "s");

  struct Case {
    Comp *component;
    const char *type;
    bool depends;
  } cases[] = {
      {pump, "Controller", true},   // its own input command
      {valve, "Pump", true},        // a used component
      {valve, "Controller", true},  // a used component commanded by the type
      {valve, "Sink", true},        // at depth
      {valve, "Valve", false},
      {sink, "Sink", false},        // no used components: depends on nothing
      {controller, "Pump", false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(isIncludedInComp(c.component, c.type), c.depends)
        << c.component->varName << " on " << c.type;

  // Components that use each other depend on each other's type; the walk ends.
  uses(sink, valve, "back");
  EXPECT_TRUE(isIncludedInComp(sink, "Valve"));
  EXPECT_TRUE(isIncludedInComp(valve, "Sink"));
  EXPECT_FALSE(isIncludedInComp(sink, "Heater"));
}

} // namespace
