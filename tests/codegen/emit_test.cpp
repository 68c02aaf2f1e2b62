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

// Class text goes to the class files only while the class is being written.
TEST_F(Emit, ClassTextIsLeftOutOnceTheTypeIsGenerated) {
  emitClassf(gen, gen.classBodyFile, "%s_n_%ld->ti = (influType)%d;\n\t", "Tank", 4L, 3);
  emitClass(gen, gen.classHeaderFile, "\n\tcGraph Tank_n_4;\n\t");
  gen.typeGeneratedAlready = true;
  emitClassf(gen, gen.classBodyFile, "%s_n_%ld->ti = (influType)%d;\n\t", "Tank", 5L, 3);
  emitClass(gen, gen.classHeaderFile, "\n\tcGraph Tank_n_5;\n\t");
  EXPECT_EQ(body.text(), "Tank_n_4->ti = (influType)3;\n\t");
  EXPECT_EQ(header.text(), "\n\tcGraph Tank_n_4;\n\t");
}

}  // namespace
