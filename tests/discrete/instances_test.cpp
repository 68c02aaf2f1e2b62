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
  StateVar *declareVariable(Comp *comp, const std::string &name) {
    StateVar *variable = owner.variable<ModeVar>(comp->varName + "." + name,
                                                 std::set<std::string>{"ok", "ko"}, "ok");
    comp->addStateVar(variable);
    variables_disc.append(variable->getName(), variable);
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
  static void commandedBy(Comp *comp, Comp *commander) {
    auto *command = new CommandVar(commander->varName + ".cmd", {"on"}, "on", commander);
    comp->cmdIn = new std::vector<CommandVar *>{command};
  }
  Owner owner;
  std::vector<std::unique_ptr<Comp>> components;
};

TEST_F(Instances, ComponentsByInstanceVariableNameFirstDeclaredWins) {
  Comp *first = declare("Valve", "v1");
  first->setName("valveA");
  Comp *second = declare("Valve", "v1");
  EXPECT_NE(first, second);
  EXPECT_EQ(findComp("v1"), first);
  EXPECT_EQ(findComp("valveA"), nullptr);
  EXPECT_EQ(findComp("v2"), nullptr);
  EXPECT_EQ(comps.size(), 2u);
  EXPECT_EQ(comps.records()[1]->comp, second);
}

TEST_F(Instances, VariablesAndAtomsByName) {
  Comp *valve = declare("Valve", "v1");
  Comp *pipe = declare("Pipe", "p1");
  StateVar *valveMode = declareVariable(valve, "mode");
  StateVar *pipeMode = declareVariable(pipe, "mode");
  uses(valve, pipe, "in");
  struct Case {
    Comp *from;
    std::string name;
    StateVar *found;
  } cases[] = {
      {valve, "v1.mode", valveMode},  // by its own name
      {pipe, "v1.mode", valveMode},   // any component sees qualified names
      {nullptr, "p1.mode", pipeMode},
  };
  for (const Case &c : cases)
    EXPECT_EQ(findDiscVariable(c.from, c.name), c.found) << c.name;
  struct Miss {
    Comp *from;
    std::string name;
  } misses[] = {
      {valve, "in.mode"},  // local names are not qualified names
      {valve, "mode"},
      {pipe, "mode"},      // a component that uses none
      {nullptr, "p1.rate"},
  };
  for (const Miss &m : misses)
    EXPECT_EXIT(findDiscVariable(m.from, m.name), testing::ExitedWithCode(1), notFound(m.name))
        << m.name;

  // An unknown value or component is no error; an unknown variable is.
  EXPECT_EQ(findAtom("v1.mode=ko", nullptr), atomOf(valveMode, "ko"));
  EXPECT_EQ(findAtom("v1.mode=up", valve), nullptr);
  EXPECT_EQ(findAtom("x9.mode=ok", valve), nullptr);
  EXPECT_EXIT(findAtom("v1.rate=ok", valve), testing::ExitedWithCode(1), notFound("v1.rate"));
}

TEST_F(Instances, UsedComponentsResolveThroughTheirLocalNames) {
  Comp *valve = declare("Valve", "v1");
  Comp *pipe = declare("Pipe", "p1");
  Comp *tank = declare("Tank", "t1");
  uses(valve, pipe, "up");
  uses(valve, tank, "down");
  StateVar *level = owner.variable<StateVar>("down.level", std::set<std::string>{"hi"}, "hi");
  variables_disc.append("down.level", level);
  EXPECT_EQ(findDiscVariable(valve, "level"), level);
  // Reported once, not once per used component.
  EXPECT_EXIT(findDiscVariable(valve, "flow"), testing::ExitedWithCode(1), notFound("flow"));
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

  EXPECT_TRUE(isCommandComp(pump, "Controller"));
  EXPECT_FALSE(isCommandComp(valve, "Controller"));
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
  delete (*pump->cmdIn)[0];
}

} // namespace
