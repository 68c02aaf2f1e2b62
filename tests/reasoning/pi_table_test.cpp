#include <gtest/gtest.h>

#include <set>
#include <string>

#include "discrete/state_var.h"
#include "reasoning/pi_table.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class PrimeImplicantFile : public testing::Test {
 protected:
  PrimeImplicantFile() {
    m = owner.variable<ModeVar>("m", std::set<std::string>{"off", "on"}, "off");
    c = owner.variable<CommandVar>("c", std::set<std::string>{"closed", "open"}, "closed");
    o = owner.variable<ObsVar>("o", std::set<std::string>{"high", "low"}, "low");
    for (StateVar *variable : {m, c, o})
      for (Atom *atom : variable->atomLinks)
        atoms[atom->id] = atom;
  }
  Atom *at(StateVar *variable, const char *value) { return atomOf(variable, value); }
  Implicants *implicants(std::vector<Implicant> sets) {
    auto *made = new Implicants();
    for (Implicant &set : sets)
      made->push_back(new Implicant(set));
    return made;
  }
  Owner owner;
  StateVar *m, *c, *o;
  AtomTable atoms;
  ScratchDirectory directory;
};

// One line per entry in entry order, a replaced entry in its first place;
// the file reads back to the same table.
TEST_F(PrimeImplicantFile, WritesOneLinePerEntryAndReadsItBack) {
  PiTable table;
  table.addPIAtom(at(o, "high"), implicants({{at(c, "closed")}}));
  table.addPIAtom(at(o, "low"), implicants({}));
  table.addPIAtom(at(c, "open"), implicants({{at(m, "off")}}));
  table.addPIAtom(at(o, "high"), implicants({{at(m, "on")}, {at(m, "off"), at(c, "open")}}));
  EXPECT_EQ(printed([&] { table.writePI("appli"); }), "writing file appli.pi\n");
  EXPECT_EQ(fileText("appli.pi"), "o=high:m=on,m=off c=open\no=low:\nc=open:m=off\n");

  PiTable reread;
  EXPECT_EQ(readPIText(fileText("appli.pi"), atoms, &reread), 1);
  ASSERT_NE(reread.getPIs(at(o, "high")), nullptr);
  EXPECT_EQ(reread.getPIs(at(o, "high"))->size(), 2u);
  EXPECT_EQ(*(*reread.getPIs(at(o, "high")))[1], (Implicant{at(m, "off"), at(c, "open")}));
  EXPECT_EQ(reread.getPIs(at(o, "low")), nullptr);
  EXPECT_EQ(*(*reread.getPIs(at(c, "open")))[0], (Implicant{at(m, "off")}));
}

TEST_F(PrimeImplicantFile, ReadingStopsAtTheFirstUnknownAtom) {
  struct Case {
    const char *text;
    int result;
    const char *error;
    std::size_t entries;
  };
  const Case cases[] = {
      {"o=high:m=on\nc=open:m=off", 1, "", 1},            // last line without newline is lost
      {"o=high:m=on\nx=1:m=off\nc=open:m=on\n", -1, "Atom not found: x=1\n", 1},
      {"o=high:m=on\nc=open:m=off z=2\n", -1, "Atom not found: z=2\n", 1},
      {"o=high:\no=low:,m=on\n", 1, "", 0},                // empty first piece adds nothing
      {"", 1, "", 0},
      {"\n", -1, "Atom not found: \n", 0},
  };
  for (const Case &test : cases) {
    PiTable table;
    int result = 0;
    std::string error =
        printedOnStderr([&] { result = readPIText(test.text, atoms, &table); });
    EXPECT_EQ(result, test.result) << test.text;
    EXPECT_EQ(error, test.error) << test.text;
    EXPECT_EQ(table.size(), test.entries) << test.text;
  }
}

}  // namespace
