#include <gtest/gtest.h>

#include "pipeline/phases.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

// Texts are written with "\n"; the phases see "\r\n".
std::string Crlf(std::string_view s) {
  std::string out;
  for (char c : s) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class OrderSelectPhases : public ::testing::Test {
 protected:
  OrderSelectPhases() { engine.settings = &settings; }
  void Reset() { engine.TextChanged = engine.OrderSelectFixed = false; }
  // Phase 3 alone, which never counts as a change.
  void CheckSplit(std::string_view before, std::string_view after) {
    EXPECT_EQ(SplitOneLineBlocks(engine, Crlf(before)), Crlf(after)) << before;
    EXPECT_FALSE(engine.TextChanged);
  }
  void Check(std::string_view before, std::string_view after) {
    Reset();
    EXPECT_EQ(FixOrderSelectResults(engine, Crlf(before)), Crlf(after)) << before;
    EXPECT_TRUE(engine.OrderSelectFixed && engine.TextChanged) << before;
  }
  void Unchanged(std::string_view text) {
    Reset();
    EXPECT_EQ(SplitOneLineBlocks(engine, Crlf(text)), Crlf(text)) << text;
    EXPECT_EQ(FixOrderSelectResults(engine, Crlf(text)), Crlf(text)) << text;
    EXPECT_FALSE(engine.OrderSelectFixed || engine.TextChanged) << text;
  }
  testing::FakeSettings settings;
  Engine engine;
};

TEST_F(OrderSelectPhases, SplitsOneLineBlocks) {
  CheckSplit("    if (a) { b = 1; }\n", "    if (a){\n    b = 1;    \n}\n");
  CheckSplit("int a[3] = {1, 2, 3};\n", "int a[3] ={\n1, 2, 3\n};\n");
  CheckSplit("void f() { Print(1); }", "void f(){\nPrint(1);\n}\n");
  CheckSplit("  while (x) { a(); } c(); // why\n", "  while (x){\n  a();  \n}   c(); // why\n");
  CheckSplit("if (a) { Print(\"}\"); }\n", "if (a){\nPrint(\"}\");\n}\n");
}

TEST_F(OrderSelectPhases, AutoFormFollowsTheLoops) {
  for (const char* open : {"for(i = 0; i < n; i++) {", "for(i = 0; i < n; i++)\n{"}) {
    Check(
        std::string(open) +
            "\n  OrderSelect(i, SELECT_BY_POS, MODE_TRADES);\n}\nOrderSelect(0, SELECT_BY_POS);\n",
        std::string(open) +
            "\n  if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue;\n}\n"
            "if (OrderSelect(0, SELECT_BY_POS))\n");
  }
  // A loop body without braces keeps the depth at 0.
  Check("for(;;)\n  OrderSelect(i, SELECT_BY_POS);\n",
        "for(;;)\n  if (OrderSelect(i, SELECT_BY_POS))\n");
  // The braces of an if inside the loop are counted too.
  Check(
      "while (k) {\nif (a) {\n}\nOrderSelect(k, SELECT_BY_TICKET);\n}\nOrderSelect(k, "
      "SELECT_BY_TICKET);\n",
      "while (k) {\nif (a) {\n}\nif (!OrderSelect(k, SELECT_BY_TICKET)) continue;\n}\n"
      "if (OrderSelect(k, SELECT_BY_TICKET))\n");
  // The "while (x);" of a do-loop arms the tracker for the next block.
  Check("do {\nx++;\n}\nwhile (x < 3);\nif (y) {\nOrderSelect(t, SELECT_BY_TICKET);\n}\n",
        "do {\nx++;\n}\nwhile (x < 3);\nif (y) {\nif (!OrderSelect(t, SELECT_BY_TICKET)) "
        "continue;\n}\n");
}

TEST_F(OrderSelectPhases, HeadLineTakesItsBrace) {
  Check("int start()\n{\nOrderSelect(0, SELECT_BY_POS);\n}\n",
        "int start(){\n\nif (OrderSelect(0, SELECT_BY_POS))\n}\n");
  Check("int start() // main\n{\nOrderSelect(0, SELECT_BY_POS); // pick\n}\n",
        "int start() {\n// main\nif (OrderSelect(0, SELECT_BY_POS))// pick\n}\n");
}

TEST_F(OrderSelectPhases, KeepsPrefixArgumentsAndTail) {
  Check("  else OrderSelect(k, SELECT_BY_TICKET, MODE_HISTORY);",
        "  else if (OrderSelect(k, SELECT_BY_TICKET, MODE_HISTORY))\n");
  Check("OrderSelect(MathMax(a, b), SELECT_BY_POS, pool); n++;\n",
        "if (OrderSelect(MathMax(a, b), SELECT_BY_POS, pool)) n++;\n");
}

TEST_F(OrderSelectPhases, RadioButtonsChooseTheForm) {
  settings.SetRadio("rdoOrderSelectContinue");
  Check("OrderSelect(i, SELECT_BY_POS);\n", "if (!OrderSelect(i, SELECT_BY_POS)) continue;\n");
  settings.SetRadio("rdoOrderSelectIfOut");
  Check("for (;;) {\nOrderSelect(i, SELECT_BY_POS);\n}\n",
        "for (;;) {\nif (OrderSelect(i, SELECT_BY_POS))\n}\n");
}

// Switches from the automatic choice to the continue-form after its first
// read, to show that every rewritten line reads the buttons anew.
class SwitchingSettings : public testing::FakeSettings {
 public:
  bool Checked(std::string_view control) const override {
    if (control == "rdoOrderSelectAuto") return autoReads_++ == 0;
    return FakeSettings::Checked(control);
  }
  mutable int autoReads_ = 0;
};

TEST_F(OrderSelectPhases, ReadsTheButtonsForEveryLine) {
  SwitchingSettings live;
  live.SetRadio("rdoOrderSelectContinue");
  engine.settings = &live;
  Check("OrderSelect(1, SELECT_BY_POS);\nOrderSelect(2, SELECT_BY_POS);\n",
        "if (OrderSelect(1, SELECT_BY_POS))\nif (!OrderSelect(2, SELECT_BY_POS)) continue;\n");
}

TEST_F(OrderSelectPhases, Unchanged) {
  for (const char* text :
       {"} else {\n", "void f() { if (a) { b(); } }\n",
        "// if (a) { OrderSelect(i, SELECT_BY_POS); }\n", "x(); // if (a) { b(); }\n",
        "if (OrderSelect(i, SELECT_BY_POS)) x = 1;\n", "ok = OrderSelect(i, SELECT_BY_POS);\n",
        "OrderSelect(i, SELECT_BY_POS) == true;\n", "int x = f(1)\nx = 2;\n",
        // Would break: one block closes and the next opens; braces only in literals.
        "x = 1; } else {\n", "s = \"{x;}\";\n", "Print(\"a;b{\"); }\n"}) {
    Unchanged(text);
  }
  settings.Set("chkOrderSelect", false);
  Unchanged("if (a) { OrderSelect(i, SELECT_BY_POS); }\n");
}

TEST_F(OrderSelectPhases, JoiningAHeadAloneSetsNoFlag) {
  EXPECT_EQ(FixOrderSelectResults(engine, Crlf("int start()\n{\n}\n")),
            Crlf("int start(){\n\n}\n"));
  EXPECT_EQ(FixOrderSelectResults(engine, "void f(int a)"), Crlf("void f(int a)\n\n"));
  EXPECT_FALSE(engine.OrderSelectFixed || engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
