#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "codegen/class_generation.h"
#include "codegen_support.h"
#include "continuous/causal_graph.h"
#include "continuous/merge_lists.h"
#include "discrete/state_var.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/model_loader.h"
#include "shell/session.h"

namespace {

using ClassGeneration = GenerationTest;

std::string ending(const std::string &text, const std::string &suffix) {
  return text.substr(text.size() - std::min(text.size(), suffix.size()));
}

const char *const constructorArguments = "(string na, vector<CommandVar*>* in, vector<CommandVar*>* out";

TEST_F(ClassGeneration, PrologueOfBothClassFiles) {
  geneClassHeaders("Valve");
  EXPECT_EQ(header.text(), "/* Generated from Valve.def */\n\n\n#ifndef VALVE_H\n#define VALVE_H\n\n"
                           "#include \"Comprt.h\"\n#include \"sarn-runt.h\"\n");
  EXPECT_EQ(body.text(), "#include \"Valve.h\"\n\n");
}

TEST_F(ClassGeneration, UsedComponentsAreIncludedOrDeclaredAhead) {
  Comp *valve = component("valve", "Valve");
  Comp *tank = component("tank", "Tank");
  uses(tank, valve, "inlet");
  const std::string parameters = std::string(constructorArguments) + ", Valve* inleti)";
  const std::string tail = "init();\n}\nTank::~Tank() {\n\n}\nvoid Tank::init() {\n";
  for (bool generated : {false, true}) {
    MemoryFile h, b;
    defH = h.file;
    defCPP = b.file;
    cross_ref.clear();
    valve->generated = generated;
    geneUse(tank);
    EXPECT_EQ(h.text(), std::string(generated ? "class Valve;\n" : "#include \"Valve.h\"\n") +
                            "\n\nclass Tank: public Comp {\n\npublic:\n\tTank" + parameters +
                            ";\n\t~Tank();\n\tvoid init();\n\tValve* inlet;\n\n");
    EXPECT_EQ(b.text(), "Tank::Tank" + parameters + " : Comp(na) {\n\t\tcmd_in = in;\n\t\t"
                            "cmd_out = out;\n\tinlet = inleti;\n\t" +
                            (generated ? "" : "imported_comps->push_back ( (Comp*) inleti);\n\t") + tail);
    EXPECT_EQ(cross_ref, generated ? "tank->imported_comps->push_back (valve);\n\t" : "");
  }
  defH = header.file;
  defCPP = body.file;

  // Types that use each other only declare each other.
  Comp *pump = component("pump", "Pump");
  Comp *sump = component("sump", "Sump");
  uses(pump, sump, "drain");
  uses(sump, pump, "feeder");
  cross_ref.clear();
  geneUse(pump);
  geneUse(sump);
  EXPECT_EQ(header.text().find("#include"), std::string::npos);
  EXPECT_NE(header.text().find("class Sump;\n\n\nclass Pump: public Comp {"), std::string::npos);
  EXPECT_NE(header.text().find("class Pump;\n\n\nclass Sump: public Comp {"), std::string::npos);
  EXPECT_EQ(cross_ref, "pump->imported_comps->push_back (sump);\n\t"
                       "sump->imported_comps->push_back (pump);\n\t");
}

TEST_F(ClassGeneration, CommandedTypeReachesItsCommander) {
  Comp *lever = component("switch", "Switch");
  Comp *bulb = component("bulb", "Bulb");
  CommandVar power("switch.power", {"off", "on"}, "off", lever);
  bulb->commanded = true;
  bulb->cmdIn = new std::vector<CommandVar *>{&power};
  geneUse(bulb);
  EXPECT_EQ(header.text(), std::string("#include \"Switch.h\"\n\n\nclass Bulb: public Comp {\n\npublic:\n\tBulb") +
                               constructorArguments + ");\n\t~Bulb();\n\tvoid init();\n\n\tSwitch* cmpin;\n");
  EXPECT_EQ(body.text(), std::string("Bulb::Bulb") + constructorArguments +
                             ") : Comp(na) {\n\t\tcmd_in = in;\n\t\tcmpin = (Switch*) (*cmd_in)[0]->comp_lk;\n"
                             "\t\tcmd_out = out;\n\tinit();\n}\nBulb::~Bulb() {\n\n}\nvoid Bulb::init() {\n");
}

TEST_F(ClassGeneration, LaterInstancesOfATypeAddNoClassText) {
  conf_set("discrete", 1);
  Comp *valve = component("valve", "Valve");
  Comp *tank = component("tank", "Tank");
  Comp *spare = component("spare", "Tank");
  uses(tank, valve, "inlet");
  uses(spare, valve, "inlet");
  // A mark left by an earlier compile is forgotten: the valve still comes later.
  valve->generated = true;
  geneComp(tank);
  generated_types.push_back("Tank");
  const std::string classHeader = header.text();
  const std::string classBody = body.text();
  EXPECT_EQ(classHeader.substr(0, 20), "#include \"Valve.h\"\n\n");
  EXPECT_EQ(ending(classHeader, "\n\n};\n#endif\n"), "\n\n};\n#endif\n");
  const std::string initBody = "init() {\n\texternal_clauses = new vector<Clause*>();\n\n}\n";
  EXPECT_EQ(ending(classBody, initBody), initBody);
  EXPECT_FALSE(valve->generated);
  EXPECT_TRUE(tank->generated);

  geneComp(spare);
  EXPECT_EQ(header.text(), classHeader);
  EXPECT_EQ(body.text(), classBody);
  EXPECT_TRUE(spare->generated);
  EXPECT_TRUE(in_gen_types);
}

TEST_F(ClassGeneration, EveryInstanceOpensItsClauseFilesAboveTheThreshold) {
  char pattern[] = "/tmp/morvel-classes-XXXXXX";
  std::string directory = mkdtemp(pattern);
  ASSERT_EQ(std::system(("mkdir " + directory + "/runtime").c_str()), 0);
  std::string savedPath = appliPath;
  appliPath = directory + "/";
  std::vector<Clause *> *savedClauses = DataManager::cls;
  std::vector<Clause *> model(1001, nullptr);
  DataManager::cls = &model;

  geneComp(component("valve", "Valve"));
  generated_types.push_back("Valve");
  geneComp(component("spare", "Valve"));
  EXPECT_EQ(cl_files, (std::vector<std::string>{"runtime/cl_valve0", "runtime/cl_spare0"}));
  EXPECT_EQ(runtime.text(), "init_cl_valve0 (sMM);\n\tinit_cl_spare0 (sMM);\n\t");
  EXPECT_EQ(runtimeHeader.text(), "extern void init_cl_valve0 (Scheduler* sMM);\n\t"
                                  "extern void init_cl_spare0 (Scheduler* sMM);\n\t");

  DataManager::cls = savedClauses;
  appliPath = savedPath;
  std::system(("rm -rf " + directory).c_str());
}

// Loads each example as the load command does and generates its classes as
// the compile command does, into a scratch copy of the example.
class ExampleClasses : public GenerationTest {
 protected:
  void SetUp() override {
    GenerationTest::SetUp();
    char pattern[] = "/tmp/morvel-examples-XXXXXX";
    directory = mkdtemp(pattern);
    previous = getcwd(nullptr, 0);
  }
  void TearDown() override {
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    std::system(("rm -rf " + directory).c_str());
    GenerationTest::TearDown();
  }
  static std::string read(const std::string &name) {
    std::ifstream file(name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // Returns the generated types in order.
  std::vector<std::string> generate(const std::string &example, const std::string &model) {
    std::string source = __FILE__;
    source = source.substr(0, source.rfind("/tests/")) + "/examples/" + example;
    std::string work = directory + "/" + example;
    EXPECT_EQ(std::system(("cp -r " + source + " " + work + " && mkdir -p " + work + "/runtime " +
                           work + "/C").c_str()),
              0);
    EXPECT_EQ(chdir(work.c_str()), 0);
    config_init();
    resetContinuousSession();
    resetDefinitionState();
    DataManager::active_comps.clear();
    comps.clear();
    variables_disc.clear();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    FILE *input = std::fopen(model.c_str(), "r");
    EXPECT_EQ(parseModelFile(input, "runtime/" + example), 0);
    std::fclose(input);
    mergeLists();
    buildGlobCOfGv(gVarListsarn);
    buildCondCOfGv(gVarListsarn);
    EXPECT_EQ(buildUpdatingSequence(), 1);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();

    resetGenerationState();
    generated_types.clear();
    appliPath = "";
    runT = std::fopen(("runtime/" + example + "_rt.cpp").c_str(), "a");
    runH = std::fopen(("runtime/" + example + "_rt.h").c_str(), "a");
    for (const auto &entry : DataManager::active_comps) {
      Comp *comp = entry.second;
      const std::string &type = comp->typeName;
      bool first = std::find(generated_types.begin(), generated_types.end(), type) == generated_types.end();
      defH = std::fopen(("C/" + type + ".h").c_str(), first ? "w" : "a");
      defCPP = std::fopen(("C/" + type + ".cpp").c_str(), first ? "w" : "a");
      if (first)
        geneClassHeaders(type);
      geneComp(comp);
      std::fclose(defH);
      std::fclose(defCPP);
      if (first)
        generated_types.push_back(type);
    }
    std::fclose(runT);
    std::fclose(runH);
    return generated_types;
  }
  static void expectPlausibleClass(const std::string &type) {
    std::string header = read("C/" + type + ".h");
    std::string body = read("C/" + type + ".cpp");
    for (const std::string &text : {header, body})
      EXPECT_EQ(std::count(text.begin(), text.end(), '{'), std::count(text.begin(), text.end(), '}'))
          << text;
    EXPECT_NE(header.find("\n\nclass " + type + ": public Comp {\n\npublic:\n"), std::string::npos);
    EXPECT_EQ(ending(header, "\n};\n#endif\n"), "\n};\n#endif\n");
    EXPECT_NE(body.find("void " + type + "::init() {\n"), std::string::npos);
    EXPECT_EQ(ending(body, "\n}\n"), "\n}\n");
  }
  std::string directory;
  char *previous = nullptr;
};

TEST_F(ExampleClasses, TankWithItsValve) {
  EXPECT_EQ(generate("tank", "tank.mdl"), (std::vector<std::string>{"Valve", "Tank"}));
  expectPlausibleClass("Valve");
  expectPlausibleClass("Tank");
  std::string tank = read("C/Tank.h");
  // The valve is generated first: the tank reaches it at run time.
  EXPECT_NE(tank.find("class Valve;\n"), std::string::npos);
  EXPECT_NE(tank.find("\tvariable level;\n"), std::string::npos);
  EXPECT_NE(tank.find("\tCondVar* Tank_high;\n"), std::string::npos);
  EXPECT_NE(cross_ref.find("tank->imported_comps->push_back (valve);\n\t"), std::string::npos);
  EXPECT_NE(cross_ref.find("tank->i_i1->cause = valve->flow;\n\t"), std::string::npos);
  EXPECT_EQ(numInfluG, 3);
  EXPECT_EQ(numVarG, 5);
}

TEST_F(ExampleClasses, LampOfASwitchAndABulb) {
  EXPECT_EQ(generate("lamp", "lamp.mdl"), (std::vector<std::string>{"Switch", "Bulb"}));
  expectPlausibleClass("Switch");
  expectPlausibleClass("Bulb");
  std::string bulb = read("C/Bulb.h");
  EXPECT_NE(bulb.find("#include \"Switch.h\"\n"), std::string::npos);
  EXPECT_NE(bulb.find("\tSwitch* cmpin;\n"), std::string::npos);
  EXPECT_NE(read("C/Switch.h").find("\tModeVar* Switch_position;\n"), std::string::npos);
}

}  // namespace
