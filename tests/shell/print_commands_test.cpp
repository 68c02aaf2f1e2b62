#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "causal_model_support.h"
#include "continuous/printers.h"
#include "shell/print_commands.h"

namespace {

using PrintCommand = ShellSession;

std::string shown(std::string argument) {
  return printed([&] { qxPrint(argument.data()); });
}

// The sessions show the views one keyword at a time; here a keyword inside
// another word, and two keywords, of which the first in the table wins.
TEST_F(PrintCommand, KeywordsAreFoundAnywhereInTheArgumentInTableOrder) {
  struct row {
    int compiled;
    const char *argument;
    std::string text;
  };
  const std::vector<row> table = {
      {0, "", "Missing argument for print.\n"},
      {0, "rinfo", "Influences (0):\n"},
      {0, "graph", "Please compile application first !\n"},
      {1, "updgra", "Causal graph:\n"},
  };
  for (const row &r : table) {
    compiled = r.compiled;
    EXPECT_EQ(shown(r.argument), r.text) << r.argument;
  }
}

TEST_F(PrintCommand, ComponentsByTheWordAfterTheKeyword) {
  Comp pump("pump1");
  pump.varName = "pump";
  DataManager::addComp(&pump);
  EXPECT_EQ(shown("co"), "pump1 -- pump1 ( pump )\n\n");
  EXPECT_NE(shown("co   pump1").find("\nComp : pump1\n"), std::string::npos);
  std::string warning = printedOnStderr([] { EXPECT_EQ(shown("co pump2 pump1"), ""); });
  EXPECT_EQ(warning, "Warning.\n  ...component doesn't exist.\n");
}

TEST_F(PrintCommand, CompiledViewsOfTheCausalGraph) {
  ASSERT_EQ(buildModel(), 1);
  compiled = 1;
  EXPECT_EQ(shown("upd"),
            "Updating sequence:\n Temporal listsarn: t.a:0, t.d:0, x:0, y:0;"
            "\n Untemporal listsarn: t.b:1, t.c:2;\n");
  EXPECT_EQ(shown("gra"),
            "Causal graph:\n"
            "  t.a:\n    causes (dynamic): t.p; \n    effects: t.b; \n    depth: 0;\n"
            "  t.b:\n    causes (static): t.a; \n    effects: t.c; \n    depth: 1;\n"
            "  t.c:\n    causes (static): t.b; t.in; \n    no effects;\n    depth: 2;\n"
            "  t.d:\n    causes (integral): t.in; \n    no effects;\n    depth: 0;\n"
            "  t.in:\n    no causes;\n    effects: t.c; t.d; \n    depth: 0;\n"
            "  t.p:\n    no causes;\n    effects: t.a; \n    depth: 0;\n"
            "  x:\n    no causes;\n    effects: y; \n    depth: 0;\n"
            "  y:\n    causes (): x; \n    no effects;\n    depth: 0;\n");
  // Only the temporal list: no untemporal line.
  untemporalListsarn = nullptr;
  EXPECT_EQ(printed(printUpdatingSequence),
            "Updating sequence:\n Temporal listsarn: t.a:0, t.d:0, x:0, y:0;\n");
}

}  // namespace
