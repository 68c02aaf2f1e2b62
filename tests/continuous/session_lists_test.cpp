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

// The interface declarations of many components append to the session lists
// in declaration order, whatever happens to the lists in between.
TEST_F(SessionLists, DeclarationsAppendInOrder) {
  std::vector<std::string> expected;
  for (int i = 0; i < 200; ++i) {
    std::string name = "c" + std::to_string(i) + ".level";
    setListsarnFct(varList({variable(name)}), fctMeasure);
    expected.push_back(name);
  }
  EXPECT_EQ(namesOf(measureListsarn), expected);

  // A cell put in front by other code is kept; appending still goes last.
  s_listsarnVar *front = newRecord<s_listsarnVar>();
  front->elt = variable("front");
  front->next = measureListsarn;
  measureListsarn = front;
  setListsarnFct(varList({variable("after.front")}), fctMeasure);
  expected.insert(expected.begin(), "front");
  expected.push_back("after.front");
  EXPECT_EQ(namesOf(measureListsarn), expected);

  // Cells appended by other code behind the last one are kept too.
  s_listsarnVar *behind = newRecord<s_listsarnVar>();
  behind->elt = variable("behind");
  catListsarnVar(measureListsarn, behind);
  setListsarnFct(varList({variable("after.behind")}), fctMeasure);
  expected.insert(expected.end(), {"behind", "after.behind"});
  EXPECT_EQ(namesOf(measureListsarn), expected);

  // A new load starts from empty lists.
  resetContinuousSession();
  setListsarnFct(varList({variable("x"), variable("y")}), fctMeasure);
  setListsarnFct(varList({variable("z")}), fctInput);
  EXPECT_EQ(namesOf(measureListsarn), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(namesOf(inputListsarn), (std::vector<std::string>{"z"}));
}

} // namespace
