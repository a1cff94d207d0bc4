#include <gtest/gtest.h>

#include "pipeline/phases.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class OrderSelectPhases : public testing::EngineTest {
 protected:
  void Check(std::string_view before, std::string_view after) {
    engine.TextChanged = engine.OrderSelectFixed = false;
    EXPECT_EQ(FixOrderSelectResults(engine, Crlf(before)), Crlf(after)) << before;
    EXPECT_TRUE(engine.OrderSelectFixed && engine.TextChanged) << before;
  }
};

TEST_F(OrderSelectPhases, SplitsOneLineBlocksWithoutCountingAChange) {
  const char* cases[][2] = {
      {"  while (x) { a(); } c(); // why", "  while (x){\n  a();  \n}   c(); // why\n"},
      {"if (a) { Print(\"}\"); }\n", "if (a){\nPrint(\"}\");\n}\n"}};
  for (const auto& c : cases) EXPECT_EQ(SplitOneLineBlocks(engine, Crlf(c[0])), Crlf(c[1]));
  EXPECT_FALSE(engine.TextChanged);
}

// Loop bodies get the continue-form: a "{" on the next line counts; without
// braces the depth stays 0; a loop word in a literal is no loop; braces of an
// if inside the loop count; the "while (x);" of a do-loop arms the next block.
TEST_F(OrderSelectPhases, AutoFormFollowsTheLoops) {
  const char* cases[][2] = {
      {"for(;;)\n{\nOrderSelect(i, SELECT_BY_POS);\n}\n",
       "for(;;)\n{\nif (!OrderSelect(i, SELECT_BY_POS)) continue;\n}\n"},
      {"do\nOrderSelect(i, SELECT_BY_POS);\n", "do\nif (OrderSelect(i, SELECT_BY_POS))\n"},
      {"s = \"for\";\nif (y) {\nOrderSelect(t, SELECT_BY_POS);\n}\n",
       "s = \"for\";\nif (y) {\nif (OrderSelect(t, SELECT_BY_POS))\n}\n"},
      {"while (k) {\nif (a) {\n}\nOrderSelect(k, SELECT_BY_POS);\n}\n",
       "while (k) {\nif (a) {\n}\nif (!OrderSelect(k, SELECT_BY_POS)) continue;\n}\n"},
      {"do {\n}\nwhile (x);\nif (y) {\nOrderSelect(t, SELECT_BY_TICKET);\n}\n",
       "do {\n}\nwhile (x);\nif (y) {\nif (!OrderSelect(t, SELECT_BY_TICKET)) continue;\n}\n"}};
  for (const auto& c : cases) Check(c[0], c[1]);
}

TEST_F(OrderSelectPhases, RadioButtonsChooseTheForm) {
  settings.SetRadio("rdoOrderSelectContinue");
  Check("OrderSelect(1, SELECT_BY_POS);\n", "if (!OrderSelect(1, SELECT_BY_POS)) continue;\n");
  settings.SetRadio("rdoOrderSelectIfOut");
  Check("for (;;) {\nOrderSelect(i, SELECT_BY_POS);\n}\n",
        "for (;;) {\nif (OrderSelect(i, SELECT_BY_POS))\n}\n");
}

// Not split: "}" before "{" (one block closes, the next opens), braces only in
// literals, a head with two blocks; a head with "=" before "(" takes no line.
TEST_F(OrderSelectPhases, Unchanged) {
  for (const char* text : {"} else {\n", "x = 1; } else {\n", "Print(\"a;b{\"); }\n",
                           "void f() { if (a) { b(); } }\n", "int x = f(1)\nx = 2;\n"}) {
    EXPECT_EQ(FixOrderSelectResults(engine, SplitOneLineBlocks(engine, Crlf(text))), Crlf(text));
  }
  settings.Set("chkOrderSelect", false);
  const std::string off = Crlf("if (a) { OrderSelect(i, SELECT_BY_POS); }\n");
  EXPECT_EQ(FixOrderSelectResults(engine, SplitOneLineBlocks(engine, off)), off);
  EXPECT_FALSE(engine.OrderSelectFixed || engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
