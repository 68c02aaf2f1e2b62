#include <gtest/gtest.h>

#include <string>

#include "codegen/emit.h"
#include "codegen_support.h"

namespace {

using Emit = GenerationTest;

// Short lines, lines longer than any fixed buffer, and the empty text.
TEST_F(Emit, FormattedTextIsWholeAtEveryLength) {
  const std::string longName(1000, 'x');
  const struct {
    std::string expected;
    std::string made;
  } cases[] = {
      {"cG[3] = valve->Valve_n_1;\n\t", textf("cG[%ld] = %s->%s_n_%d;\n\t", 3L, "valve", "Valve", 1)},
      {"obj " + longName + " = 7;", textf("obj %s = %d;", longName.c_str(), 7)},
      {std::string(255, 'y'), textf("%s", std::string(255, 'y').c_str())},
      {std::string(256, 'y'), textf("%s", std::string(256, 'y').c_str())},
      {"", textf("%s", "")},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.made, c.expected);

  emitf(gen.runtimeSourceFile, "f_%ld->uv.var = %s;\n\t", 2L, longName.c_str());
  EXPECT_EQ(runtime.text(), "f_2->uv.var = " + longName + ";\n\t");
}

}  // namespace
