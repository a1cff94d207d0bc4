#include <gtest/gtest.h>

#include "pipeline/phases.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class OrderCallPhase : public testing::EngineTest {
 protected:
  // Runs the phase with the declaration flag given; returns the flag it leaves.
  bool Run(std::string_view before, std::string_view after, bool hasChk = true) {
    engine.TextChanged = false;
    EXPECT_EQ(FixOrderCallResults(engine, Crlf(before), hasChk), Crlf(after)) << before;
    return hasChk;
  }
};

// Every line with an order call counts as changed, also when it stays. Repeats
// of chk in another letter case name other variables: the removal ends there.
TEST_F(OrderCallPhase, CapturesOrderCallResults) {
  Run("OrderClose(t, \"http://a\"); // done", "chk = OrderClose(t, \"http://a\"); // done\n");
  Run("chk = chk = OrderDelete(t);\n", "chk = OrderDelete(t);\n");
  for (const char* same : {"CHK = chk = OrderSend(a);\n", "chk = 1; CHK = CHK = OrderSend(a);\n",
                           "if(!OrderClose(t)) Print(1);\n"}) {
    Run(same, same);
    EXPECT_TRUE(engine.TextChanged) << same;
  }
}

// Also before a head whose ")" stands on a later line.
TEST_F(OrderCallPhase, DeclaresChkBeforeTheFirstFunction) {
  EXPECT_TRUE(Run("double f(int a,\n   int b)\n{\n}\nvoid g()\n{\n}\n",
                  "bool chk;\n\ndouble f(int a,\n   int b)\n{\n}\nvoid g()\n{\n}\n", false));
  EXPECT_TRUE(engine.TextChanged);
}

// No function head: a prototype, "=" before "(", no "{" ahead, ";" right
// after ")"; then a source with its own chk, and the switch off.
TEST_F(OrderCallPhase, Unchanged) {
  for (const char* text : {"// OrderClose(t);\nx(); // OrderClose(t);\nPrint(\"OrderSend(\");\n",
                           "int f(int a);\nint x;\n", "double x = g(1)\n{\n",
                           "int f(int a)\nx = 1;\ny = 2;\nz = 3;\n", "void f(int a)\n;\n{\n}\n"}) {
    EXPECT_FALSE(Run(text, text, false) || engine.TextChanged) << text;
  }
  EXPECT_TRUE(Run("int start()\n{\n}\n", "int start()\n{\n}\n", true) && !engine.TextChanged);
  settings.Set("chkOrderModify", false);
  const char* off = "void f()\n{\nOrderClose(t);\n}\n";
  EXPECT_FALSE(Run(off, off, false) || engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
