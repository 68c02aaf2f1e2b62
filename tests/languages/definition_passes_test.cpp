#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/model_loader.h"
#include "shell/options.h"
#include "tests/test_support.h"

namespace {

// Loads a model from files written into a fresh directory, as the load
// command does after its checks.
class DefinitionPasses : public testing::Test {
 protected:
  DefinitionPasses() {
    std::system("mkdir runtime");
    config_init();
    resetContinuousSession();
    resetDefinitionState();
    DataManager::active_comps.clear();
  }
  static void write(const std::string &name, const std::string &text) { std::ofstream(name) << text; }
  // Loads the model text and returns what the load printed.
  static std::string load(const std::string &model) {
    write("m.mdl", model);
    return printed([] {
      FILE *input = std::fopen("m.mdl", "r");
      LoadedModel loaded;
      EXPECT_EQ(parseModelFile(input, "m.mdl", "runtime/m", loaded), 0);
      std::fclose(input);
    });
  }
  ScratchDirectory directory;
};

const char *const pumpDefinition = R"(/* every construct of the component form */
Component "Pump"
{
  cin : CommandVar order(stop, run);
  cin exo : CommandVar manual(off, on);
  cout : CommandVar feed(none, some);
}
vardef
{
  ModeVar motor(off, on, unknown);
  ObsVar noise(quiet, loud);
  DependentVar heat(cold, warm);
  VARIABLE speed IN [0, 100], flow;
  PARAMETER rate = 2;
  MEASURE flow;
  INPUT speed;
}
constraints
{
  (motor = "on") & ((order = "run") & (manual = "on")) => (noise = "loud");
  (motor = "off") => (noise = "quiet") ;
  ((motor = "on") => (heat = "warm")) & ((motor = "off") => (heat = "cold"))
}
pumping : (motor = "on") speed -S-> flow : GAIN = 0.5, DELAY = 0;
INIT flow = 0;
transitions
{
  starting : { Nominal (motor = "off") & (order = "run") Next (motor = "on") 0.9 0.05 ; }
  stopping : { Nominal (motor = "on") & (order = "stop") Next (motor = "off") 0.9 ; flow = 0 ; }
  Idle (motor = "on") Next (motor = "on") 1.0 ;
  burning : { Fail (motor = "on") Next (motor = "off") 0.01 ; }
  cycling : { Nominal (motor = "off") Next (motor = "on") ; Next (motor = "off") ; 0.5 ; }
}
)";

TEST_F(DefinitionPasses, EveryConstructOfAComponentIsBuiltInTheFixedOrders) {
  write("Pump.def", pumpDefinition);
  EXPECT_EQ(load("uses Pump;\n<Pump> pump;\npump(p1, 0, 0);\n"),
            "Pump.def ---pump \t\t\t-----> [OK]\n");
  Comp *pump = DataManager::getComp("p1");
  ASSERT_NE(pump, nullptr);

  // Commands join as they are read; the vardef body is added from its end.
  std::vector<std::string> names;
  for (StateVar *variable : *pump->getStateVariables())
    names.push_back(variable->getName());
  EXPECT_EQ(names, (std::vector<std::string>{"pump.order", "pump.manual", "pump.feed",
                                             "pump.heat", "pump.noise", "pump.motor"}));
  // Of several input commands the first written remains; exo and cout are marked.
  ASSERT_EQ(pump->cmdIn->size(), 1u);
  EXPECT_EQ(pump->cmdIn->front()->getName(), "pump.order");
  EXPECT_TRUE(static_cast<CommandVar *>((*pump->getStateVariables())[1])->exo);
  EXPECT_TRUE(static_cast<CommandVar *>((*pump->getStateVariables())[2])->cmdOut);

  // Constraints are added last written first; atoms joined by "&" make one
  // formula however grouped, listed last written first.
  std::string constraints;
  for (const Formula *constraint : *pump->getConstraints())
    constraints += printed([&] { constraint->showFormula(); });
  EXPECT_EQ(constraints,
            "(pump.motor=on  ) => (pump.heat=warm  )\n\t\t(pump.motor=off  ) => (pump.heat=cold  )\n"
            "(pump.motor=off  ) => (pump.noise=quiet  )\n"
            "(pump.manual=on and pump.order=run and pump.motor=on and ) => (pump.noise=loud  )\n");

  // Transitions too; a second probability defaults to 0; several Next parts
  // make one transition with numbered post-conditions.
  std::string transitions;
  for (const Transition *transition : *pump->getCompTransitions())
    transitions += printed([&] { transition->showTransition(); });
  EXPECT_EQ(transitions,
            "Nominal (0.5) : (pump.motor=off  ) =>O \n\t\t\t\t\t1 : (pump.motor=on  )"
            "\n\t\t\t\t\t2 : (pump.motor=off  ) -- 0\n"
            "Fail (0.01) : (pump.motor=on  ) =>O  and (pump.motor=off  ) -- 0\n"
            "Nominal (1) (idle) : (pump.motor=on  ) =>O  and (pump.motor=on  ) -- 0\n"
            "Nominal (0.9) : (pump.order=stop and pump.motor=on and ) =>O  and (pump.motor=off  ) -- 0\n"
            "\t\tpump.flow = 0\n"
            "Nominal (0.9) : (pump.order=run and pump.motor=off and ) =>O  and (pump.motor=on  ) -- 0\n");
  EXPECT_DOUBLE_EQ(pump->getCompTransitions()->back()->proba2, 0.05);
  EXPECT_DOUBLE_EQ((*pump->getCompTransitions())[3]->proba2, 0.0);

  // The continuous content of a component is shown by a session
  // (tests/e2e/shell/continuous_views.case).
}

// Constructor arguments follow the connection convention: a command
// connection is the commanding instance's cmd_out, a member of an instance
// is left out, and connections left out are none.
TEST_F(DefinitionPasses, InstancesGetTheirOwnNamesRelativeValuesAndArguments) {
  write("Gate.def", R"(Component "Gate"
{
}
vardef
{
  ModeVar mode(ok, g1_shut, g2_shut, x_g1_jam, x_g2_jam, unknown);
  ObsVar lamp(off, on);
}
constraints
{
  (mode = "%shut") | (mode = "x%jam") => (lamp = "on");
}
transitions { }
)");
  load("uses Gate;\n<Gate> ga;\n<Gate> gb;\nga(g1, a, b.cmdout, c.x, d);\ngb(g2);\n");
  for (const char *name : {"g1", "g2"}) {
    const Formula *constraint = DataManager::getComp(name)->getConstraints()->front();
    std::string values;
    for (const auto &literal : *constraint->pre->getAtoms())
      values += literal.second->getValue() + " " + literal.second->attributes->at(name) + " ";
    EXPECT_EQ(values, "x_" + std::string(name) + "_jam x%jam " + name + "_shut %shut ");
  }
  std::string source = fileText("runtime/m_rt.cpp");
  EXPECT_NE(source.find("\tga = new Gate(\"g1\", a, b->cmd_out, d);\n"), std::string::npos) << source;
  EXPECT_NE(source.find("\tgb = new Gate(\"g2\", 0, 0);\n"), std::string::npos) << source;
}

TEST_F(DefinitionPasses, ImportsAndCommandsConnectInstances) {
  write("Source.def", R"(Component "Source"
{
  cout : CommandVar power(off, on);
}
vardef
{
  ModeVar mode(ok, unknown);
  VARIABLE out;
  DISPLAY out;
}
constraints { INIT out = 1; }
transitions { }
)");
  write("Sink.def", R"(uses Source;
Component "Sink"
{
  cin : shared(power) c- ;
}
vardef
{
  ModeVar mode(ok, unknown);
  ObsVar lamp(off, on);
}
constraints
{
  (cmdin = "on") => (lamp = "on");
}
transitions { }
)");
  write("User.def", R"(Component "User"
{
  others: Source from;
}
vardef
{
  ModeVar mode(ok, unknown);
  VARIABLE intake;
}
constraints
{
  take : from.out -S-> intake : GAIN = 1, DELAY = 0;
}
transitions { }
)");
  load(
      "uses Source, Sink, User;\n<Source> src;\n<Sink> snk;\n<User> usr;\n"
      "src(s1, 0, 0);\nsnk(k1, src.power, 0);\nusr(u1, 0, 0, src);\n");
  Comp *sink = DataManager::getComp("k1");
  ASSERT_EQ(sink->cmdIn->size(), 1u);
  EXPECT_EQ(sink->cmdIn->front()->getName(), "src.power");
  EXPECT_TRUE(sink->commanded);
  Comp *user = DataManager::getComp("u1");
  EXPECT_EQ(user->findCorresName("from"), "src");
  EXPECT_EQ(user->influences->front()->cause->name, "src.out");
  // The runtime source builds every instance with its connections.
  EXPECT_EQ(fileText("runtime/m_rt.cpp"),
            "#include \"m_rt.h\"\n\nusing namespace std;\n\nvoid startinit (Scheduler* sMM) {\n\n"
            "\tsrc = new Source(\"s1\", 0, 0);\n\tsrc->type = \"Source\";\n\tsrc->var_name = \"src\";\n"
            "\tsnk = new Sink(\"k1\", 0);\n\tsnk->type = \"Sink\";\n\tsnk->var_name = \"snk\";\n"
            "\tusr = new User(\"u1\", 0, 0, src);\n\tusr->type = \"User\";\n\tusr->var_name = \"usr\";\n"
            "\tsMM->addComp(src);\n\tsMM->addComp(snk);\n\tsMM->addComp(usr);\n");
}

} // namespace
