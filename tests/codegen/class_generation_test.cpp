#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "codegen/class_generation.h"
#include "codegen_support.h"
#include "common/session.h"
#include "discrete/state_var.h"

namespace {

using ClassGeneration = GenerationTest;

std::string ending(const std::string &text, const std::string &suffix) {
  return text.substr(text.size() - std::min(text.size(), suffix.size()));
}

const char *const constructorArguments = "(string na, vector<CommandVar*>* in, vector<CommandVar*>* out";

TEST_F(ClassGeneration, PrologueOfBothClassFiles) {
  geneClassHeaders(gen, "Valve");
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
    gen.classHeaderFile = h.file;
    gen.classBodyFile = b.file;
    gen.crossReferences.clear();
    valve->generated = generated;
    geneUse(gen, tank);
    EXPECT_EQ(h.text(), std::string(generated ? "class Valve;\n" : "#include \"Valve.h\"\n") +
                            "\n\nclass Tank: public Comp {\n\npublic:\n\tTank" + parameters +
                            ";\n\t~Tank();\n\tvoid init();\n\tValve* inlet;\n\n");
    EXPECT_EQ(b.text(), "Tank::Tank" + parameters + " : Comp(na) {\n\t\tcmd_in = in;\n\t\t"
                            "cmd_out = out;\n\tinlet = inleti;\n\t" +
                            (generated ? "" : "imported_comps->push_back ( (Comp*) inleti);\n\t") + tail);
    EXPECT_EQ(gen.crossReferences, generated ? "tank->imported_comps->push_back (valve);\n\t" : "");
  }
  gen.classHeaderFile = header.file;
  gen.classBodyFile = body.file;

  // Types that use each other only declare each other.
  Comp *pump = component("pump", "Pump");
  Comp *sump = component("sump", "Sump");
  uses(pump, sump, "drain");
  uses(sump, pump, "feeder");
  gen.crossReferences.clear();
  geneUse(gen, pump);
  geneUse(gen, sump);
  EXPECT_EQ(header.text().find("#include"), std::string::npos);
  EXPECT_NE(header.text().find("class Sump;\n\n\nclass Pump: public Comp {"), std::string::npos);
  EXPECT_NE(header.text().find("class Pump;\n\n\nclass Sump: public Comp {"), std::string::npos);
  EXPECT_EQ(gen.crossReferences, "pump->imported_comps->push_back (sump);\n\t"
                                 "sump->imported_comps->push_back (pump);\n\t");
}

TEST_F(ClassGeneration, CommandedTypeReachesItsCommander) {
  Comp *lever = component("switch", "Switch");
  Comp *bulb = component("bulb", "Bulb");
  CommandVar power("switch.power", {"off", "on"}, "off", lever);
  bulb->commanded = true;
  bulb->cmdIn = new std::vector<CommandVar *>{&power};
  geneUse(gen, bulb);
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
  geneComp(gen, tank);
  gen.generatedTypes.push_back("Tank");
  const std::string classHeader = header.text();
  const std::string classBody = body.text();
  EXPECT_EQ(classHeader.substr(0, 20), "#include \"Valve.h\"\n\n");
  EXPECT_EQ(ending(classHeader, "\n\n};\n#endif\n"), "\n\n};\n#endif\n");
  const std::string initBody = "init() {\n\texternal_clauses = new vector<Clause*>();\n\n}\n";
  EXPECT_EQ(ending(classBody, initBody), initBody);
  EXPECT_FALSE(valve->generated);
  EXPECT_TRUE(tank->generated);

  geneComp(gen, spare);
  EXPECT_EQ(header.text(), classHeader);
  EXPECT_EQ(body.text(), classBody);
  EXPECT_TRUE(spare->generated);
  EXPECT_TRUE(gen.typeGeneratedAlready);
}

TEST_F(ClassGeneration, EveryInstanceOpensItsClauseFilesAboveTheThreshold) {
  ScratchDirectory directory;
  ASSERT_EQ(std::system("mkdir runtime"), 0);
  std::vector<Clause *> *savedClauses = DataManager::cls;
  std::vector<Clause *> model(1001, nullptr);
  DataManager::cls = &model;

  geneComp(gen, component("valve", "Valve"));
  gen.generatedTypes.push_back("Valve");
  geneComp(gen, component("spare", "Valve"));
  EXPECT_EQ(gen.clauseFiles, (std::vector<std::string>{"runtime/cl_valve0", "runtime/cl_spare0"}));
  // The later instance starts its conditions where the first one's ended.
  EXPECT_EQ(runtime.text(),
            "init_cl_valve0 (sMM);\n\t\tspare->condition_offset = 0;\n\tinit_cl_spare0 (sMM);\n\t");
  EXPECT_EQ(runtimeHeader.text(), "extern void init_cl_valve0 (Scheduler* sMM);\n\t"
                                  "extern void init_cl_spare0 (Scheduler* sMM);\n\t");

  DataManager::cls = savedClauses;
}

}  // namespace
