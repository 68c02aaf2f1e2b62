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

// The compiled views are checked in sessions (tests/e2e/shell/compiled_views.case);
// here the sequence without instantaneous variables, which prints no second line.
TEST_F(PrintCommand, UpdatingSequenceWithoutUntemporalVariables) {
  compiled = 1;
  temporalListsarn = varList({variable("t.a"), variable("t.d")});
  temporalListsarn->elt->depth = temporalListsarn->next->elt->depth = 0;
  untemporalListsarn = nullptr;
  EXPECT_EQ(shown("upd"), "Updating sequence:\n Temporal listsarn: t.a:0, t.d:0;\n");
}

}  // namespace
