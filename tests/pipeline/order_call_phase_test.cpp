#include <gtest/gtest.h>

#include "pipeline/phases.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

// Texts are written with "\n"; the phase sees "\r\n".
std::string Crlf(std::string_view s) {
  std::string out;
  for (char c : s) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class OrderCallPhase : public ::testing::Test {
 protected:
  OrderCallPhase() { engine.settings = &settings; }
  // Runs the phase with the declaration flag given; returns the flag it leaves.
  bool Run(std::string_view before, std::string_view after, bool hasChk) {
    engine.TextChanged = false;
    EXPECT_EQ(FixOrderCallResults(engine, Crlf(before), hasChk), Crlf(after)) << before;
    return hasChk;
  }
  void Check(std::string_view before, std::string_view after) {
    Run(before, after, true);
    EXPECT_TRUE(engine.TextChanged) << before;
  }
  void Unchanged(std::string_view text, bool hasChk = true) {
    EXPECT_EQ(Run(text, text, hasChk), hasChk) << text;
    EXPECT_FALSE(engine.TextChanged) << text;
  }
  testing::FakeSettings settings;
  Engine engine;
};

TEST_F(OrderCallPhase, CapturesOrderCallResults) {
  Check("   OrderSend(Symbol(), OP_BUY, 1, Ask, 3, 0, 0);\n",
        "   chk = OrderSend(Symbol(), OP_BUY, 1, Ask, 3, 0, 0);\n");
  Check("OrderClose(t, l, Bid, 3); // done", "chk = OrderClose(t, l, Bid, 3); // done\n");
  Check("chk = chk = OrderDelete(t);\n", "chk = OrderDelete(t);\n");
  Check("x = 1; chk = chk = chk = OrderModify(a);\n", "x = 1; chk = OrderModify(a);\n");
  // Lines that stay but still count as changed: the value is used, a longer
  // name, and repeats in another letter case (other variables; the removal ends).
  for (const char* same :
       {"if(!OrderClose(t, l, Bid, 3)) Print(GetLastError());\n", "MyOrderClose(t);\n",
        "CHK = chk = OrderSend(a);\n", "chk = 1; CHK = CHK = OrderSend(a);\n"}) {
    Check(same, same);
  }
}

TEST_F(OrderCallPhase, DeclaresChkBeforeTheFirstFunctionOnce) {
  EXPECT_TRUE(Run(
      "int a;\nint start()\n{\n   OrderClose(t, l, p, s);\n}\nvoid g()\n{\n}\n",
      "int a;\nbool chk;\n\nint start()\n{\n   chk = OrderClose(t, l, p, s);\n}\nvoid g()\n{\n}\n",
      false));
  EXPECT_TRUE(engine.TextChanged);
  EXPECT_TRUE(Run("void f(int a) {\n}\n", "bool chk;\n\nvoid f(int a) {\n}\n", false));
  EXPECT_TRUE(Run("double f(int a,\n   int b)\n{\n}\n",
                  "bool chk;\n\ndouble f(int a,\n   int b)\n{\n}\n", false));
}

TEST_F(OrderCallPhase, Unchanged) {
  for (const char* text : {"x = 1;\n", "// OrderClose(t, l, p, s);\n",
                           "x(); // OrderClose(t, l, p, s);\n", "Print(\"OrderSend(\");\n"}) {
    Unchanged(text);
  }
  // No function head: a prototype, "=" before "(", no "{" ahead, ";" right after ")".
  for (const char* text : {"int f(int a);\nint x;\n", "double x = g(1)\n{\n",
                           "int f(int a)\nx = 1;\ny = 2;\nz = 3;\n", "void f(int a)\n;\n{\n}\n"}) {
    Unchanged(text, false);
  }
  Unchanged("bool ok, chk;\nint start()\n{\n}\n", true);
  settings.Set("chkOrderModify", false);
  Unchanged("int start()\n{\nOrderClose(t, l, p, s);\n}\n", false);
}

}  // namespace
}  // namespace lumivex
