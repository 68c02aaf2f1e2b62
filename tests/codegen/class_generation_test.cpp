#include <gtest/gtest.h>

#include "codegen/class_generation.h"
#include "codegen_support.h"

namespace {

using ClassGeneration = GenerationTest;

TEST_F(ClassGeneration, PrologueOfBothClassFiles) {
  geneClassHeaders(gen, "Valve");
  EXPECT_EQ(header.text(), "/* Generated from Valve.def */\n\n\n#ifndef VALVE_H\n#define VALVE_H\n\n"
                           "#include \"Comprt.h\"\n#include \"sarn-runt.h\"\n");
  EXPECT_EQ(body.text(), "#include \"Valve.h\"\n\n");
}

// A used type is included while it is to come; once generated, it is declared
// ahead and reached by cross-reference, as types that use each other are. (The
// class of a commanded type, which includes its commander's, is built and run
// in tests/runtime.)
TEST_F(ClassGeneration, UsedComponentsAreIncludedOrDeclaredAhead) {
  Comp *valve = component("valve", "Valve");
  Comp *tank = component("tank", "Tank");
  uses(tank, valve, "inlet");
  const std::string parameters =
      "(string na, vector<CommandVar*>* in, vector<CommandVar*>* out, Valve* inleti)";
  geneUse(gen, tank);
  EXPECT_EQ(header.text(), "#include \"Valve.h\"\n\n\nclass Tank: public Comp {\n\npublic:\n\tTank" +
                               parameters + ";\n\t~Tank();\n\tvoid init();\n\tValve* inlet;\n\n");
  EXPECT_EQ(body.text(), "Tank::Tank" + parameters + " : Comp(na) {\n\t\tcmd_in = in;\n\t\tcmd_out = out;\n\t"
                             "inlet = inleti;\n\timported_comps->push_back ( (Comp*) inleti);\n\t"
                             "init();\n}\nTank::~Tank() {\n\n}\nvoid Tank::init() {\n");
  EXPECT_EQ(gen.crossReferences, "");

  MemoryFile h, b;
  gen.classHeaderFile = h.file;
  gen.classBodyFile = b.file;
  valve->generated = true;
  geneUse(gen, tank);
  EXPECT_EQ(h.text().find("class Valve;\n\n\nclass Tank: public Comp {"), 0u);
  EXPECT_TRUE(contains(b.text(), "\tinlet = inleti;\n\tinit();\n}\n"));
  EXPECT_EQ(gen.crossReferences, "tank->imported_comps->push_back (valve);\n\t");

  Comp *pump = component("pump", "Pump");
  Comp *sump = component("sump", "Sump");
  uses(pump, sump, "drain");
  uses(sump, pump, "feeder");
  gen.crossReferences.clear();
  geneUse(gen, pump);
  geneUse(gen, sump);
  EXPECT_FALSE(contains(h.text(), "#include"));
  EXPECT_TRUE(contains(h.text(), "class Sump;\n\n\nclass Pump: public Comp {"));
  EXPECT_TRUE(contains(h.text(), "class Pump;\n\n\nclass Sump: public Comp {"));
  EXPECT_EQ(gen.crossReferences, "pump->imported_comps->push_back (sump);\n\t"
                                 "sump->imported_comps->push_back (pump);\n\t");
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
  EXPECT_EQ(classHeader.substr(classHeader.size() - 12), "\n\n};\n#endif\n");
  const std::string initBody = "init() {\n\texternal_clauses = new vector<Clause*>();\n\n}\n";
  EXPECT_EQ(classBody.substr(classBody.size() - initBody.size()), initBody);
  EXPECT_FALSE(valve->generated);
  EXPECT_TRUE(tank->generated);

  geneComp(gen, spare);
  EXPECT_EQ(header.text(), classHeader);
  EXPECT_EQ(body.text(), classBody);
  EXPECT_TRUE(spare->generated);
  EXPECT_TRUE(gen.typeGeneratedAlready);
}

}  // namespace
