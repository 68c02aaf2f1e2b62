#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "causal_model_support.h"
#include "continuous/printers.h"
#include "discrete/state_var.h"
#include "shell/print_commands.h"

namespace {

using PrintCommand = ShellSession;

std::string printed(const char *argument) {
  std::string text = argument != nullptr ? argument : "";
  return stdoutOf([&] { qxPrint(argument != nullptr ? text.data() : nullptr); });
}

TEST_F(PrintCommand, KeywordsAreFoundAnywhereInTheArgumentInTableOrder) {
  AtomTable noAtoms;
  AtomTable *atoms = DataManager::active_atoms;
  DataManager::active_atoms = &noAtoms;
  struct row {
    int loaded, compiled;
    const char *argument;
    std::string text;
  };
  const std::vector<row> table = {
      {0, 1, "dic", "Please load application first !\n"},
      {1, 0, nullptr, "Missing argument for print.\n"},
      {1, 0, "", "Missing argument for print.\n"},
      {1, 0, "xyz", "Can't print xyz\n"},
      {1, 0, "dic", ""},
      {1, 0, "rinfo", "Influences (0):\n"},
      {1, 0, "conditions", "Conditions (0):\n"},
      {1, 0, "components", "\n"},
      {1, 0, "cdc", "Conditions constraints variables:\nConditions constraints:\n"},
      {1, 0, "glo", "Global constraints variables:\nGlobal constraints:\n"},
      {1, 0, "init", "No initializations.\n"},
      {1, 0, "allvar", "Discrete variables:\n\nContinuous variables:\n\n"},
      {1, 0, "toms", "Please compile application first !\n"},
      {1, 0, "graph", "Please compile application first !\n"},
      {1, 0, "upd", "Please compile application first !\n"},
      {1, 1, "toms", "Boolean propositions:\n\n"},
      {1, 1, "gra", "Causal graph:\n"},
      {1, 1, "upd", "Updating sequence:\n"},
      {1, 1, "updgra", "Causal graph:\n"},
  };
  for (const row &r : table) {
    loaded = r.loaded;
    compiled = r.compiled;
    EXPECT_EQ(printed(r.argument), r.text) << (r.argument != nullptr ? r.argument : "(none)");
  }
  DataManager::active_atoms = atoms;
}

TEST_F(PrintCommand, ComponentsByTheWordAfterTheKeyword) {
  Comp pump("pump1");
  pump.varName = "pump";
  DataManager::addComp(&pump);
  EXPECT_EQ(printed("co"), "pump1 -- pump1 ( pump )\n\n");
  EXPECT_NE(printed("co   pump1").find("\nComp : pump1\n"), std::string::npos);
  std::string warning = stderrOf([] { EXPECT_EQ(printed("co pump2 pump1"), ""); });
  EXPECT_EQ(warning, "Warning.\n  ...component doesn't exist.\n");
}

TEST_F(PrintCommand, CompiledViewsOfTheCausalGraph) {
  ASSERT_EQ(buildModel(), 1);
  compiled = 1;
  EXPECT_EQ(printed("upd"),
            "Updating sequence:\n Temporal listsarn: t.a:0, t.d:0, x:0, y:0;"
            "\n Untemporal listsarn: t.b:1, t.c:2;\n");
  EXPECT_EQ(printed("gra"),
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
  EXPECT_EQ(stdoutOf(printUpdatingSequence),
            "Updating sequence:\n Temporal listsarn: t.a:0, t.d:0, x:0, y:0;\n");
}

TEST_F(PrintCommand, InitializationsAndAllVariables) {
  s_variable *level = variable("t.level");
  s_listsarnInitVar *cell = newRecord<s_listsarnInitVar>();
  cell->elt = newRecord<s_initVar>();
  cell->elt->var = level;
  cell->elt->val = objUn;
  initListsarn = cell;
  EXPECT_EQ(printed("init"), "Initializations:\n  t.level:  =1;\n");

  StateVar pos("t.pos", {"open", "shut"});
  pos.type = "Mode";
  variables_disc.append("t.pos", &pos);
  EXPECT_EQ(printed("allvar"),
            "Discrete variables:\n\t\tt.pos\n\t\tType: Mode\n\t\tValues: \n\t\t{ open  shut  }\n\n"
            "\nContinuous variables:\n  t.level: variable; max delay = 0\n\n\n");
  variables_disc.clear();
}

}  // namespace
