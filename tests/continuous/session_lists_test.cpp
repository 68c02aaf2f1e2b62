#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "continuous/declarations.h"
#include "records_support.h"

namespace {

using SessionLists = ContinuousTest;

std::vector<std::string> namesOf(const s_listsarnVar *list) {
  std::vector<std::string> names;
  for (; list != nullptr; list = list->next)
    names.push_back(list->elt->name);
  return names;
}

// Declarations append to the session lists in declaration order, keeping
// cells other code put in front of or behind the list; a new load starts empty.
TEST_F(SessionLists, DeclarationsAppendInOrder) {
  std::vector<std::string> expected;
  auto declare = [&expected](const std::string &name) {
    setListsarnFct(varList({variable(name)}), fctMeasure);
    expected.push_back(name);
  };
  for (int i = 0; i < 200; ++i)
    declare("c" + std::to_string(i) + ".level");
  s_listsarnVar *front = varList({variable("front")});
  front->next = measureListsarn;
  measureListsarn = front;
  expected.insert(expected.begin(), "front");
  declare("after.front");
  catListsarnVar(measureListsarn, varList({variable("behind")}));
  expected.push_back("behind");
  declare("after.behind");
  EXPECT_EQ(namesOf(measureListsarn), expected);

  resetContinuousSession();
  setListsarnFct(varList({variable("x"), variable("y")}), fctMeasure);
  setListsarnFct(varList({variable("z")}), fctInput);
  EXPECT_EQ(namesOf(measureListsarn), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(namesOf(inputListsarn), (std::vector<std::string>{"z"}));
}

} // namespace
