#include <vector>

#include "pipeline/phases.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Lines;
using Text = std::vector<std::string>;

class MissingReturnPhaseTest : public testing::EngineTest {
 protected:
  std::string Run(const std::string& text) {
    globalSection = globalInits = "stale";
    return FixMissingReturns(engine, text, globalSection, globalInits);
  }
  void Check(const Text& before, const Text& after) {
    EXPECT_EQ(Run(Lines(before)), Lines(after)) << Lines(before);
  }
  void Unchanged(const Text& text) { Check(text, text); }

  std::string globalSection, globalInits;
};

TEST_F(MissingReturnPhaseTest, SwitchOffOrNoHeadPassesTheTextAndHandsOnNothing) {
  EXPECT_EQ(Run("double Buf[0];\r\nint f(int a);\r\ndouble d = g(1,\r\n  2);\r\n}\r\nx = 1"),
            "double Buf[0];\r\nint f(int a);\r\ndouble d = g(1,\r\n  2);\r\n}\r\nx = 1\r\n");
  EXPECT_EQ(globalSection + globalInits, "");
  settings.Set("chkFixReturn", false);
  EXPECT_EQ(Run("double Buf[0];\r\nint Calc()\r\n{\r\n}"), "double Buf[0];\r\nint Calc()\r\n{\r\n}");
  EXPECT_EQ(globalSection + globalInits, "");
}

TEST_F(MissingReturnPhaseTest, ReturnInsertedWhereAValueFunctionEnds) {
  Check({"int Calc()", "{", "   x = 1;", "}", "int Next()", "{", "   return(1);", "}"},
        {"int Calc(){", "", "   x = 1;", "   return(0);", "}", "int Next(){", "", "   return(1);", "}"});
  // A return in the last inner block counts only while the recent lines hold it.
  Check({"int Calc() {", "   if (a) {", "      return(1);", "   }", "}", "", "", "int Next() {", "}"},
        {"int Calc() {", "   if (a) {", "      return(1);", "   }", "   return(0);", "}", "", "",
         "int Next() {", "", "   return(0);", "}"});
  // The last function's return goes after all of its statements.
  Check({"int Last()", "{", "   if (a)", "   {", "      b();", "   }", "   c();", "}"},
        {"int Last(){", "", "   if (a)", "   {", "      b();", "   }", "   c();", "", "   return(0);", "}"});
  Check({"int Last() {", "   c(); }"}, {"int Last() {", "   c();", "   return(0);", "}"});
  Check({"int One() { return(1); }", "int Two() {", "   return(2);", "}"},
        {"int One() { return(1);    return(0);", "}", "int Two() {", "   return(2);", "}"});
}

TEST_F(MissingReturnPhaseTest, Unchanged) {
  Unchanged({"int Calc() {", "   return(0);", "}", "", "", "int Next() {", "   return(1);", "}"});
  Unchanged({"int Calc() {", "   if (a) {", "      return(1);", "   }", "}", "int Next() {",
             "   return(1);", "}"});
  Unchanged({"void V() {", "   x = 1;", "}", "void W() {", "}"});
  // Same name, and one-byte names, leave the function before unchecked.
  Unchanged({"int Fn() {", "   x = 1;", "}", "int Fn() {", "   return(1);", "}"});
  Unchanged({"int f() {", "   x = 1;", "}", "int g() {", "   return(1);", "}"});
  Unchanged({"int Proto(int a);", "int Calc() {", "   double d = MathMax(a,", "      b);",
             "   return(d);", "}", "static double Rate()", "{", "   return(1.0);", "}"});
  Unchanged({"   return;", "int F2() {", "   return(1);", "}"});  // no type yet
}

TEST_F(MissingReturnPhaseTest, ReturnsFittedToTheFunctionType) {
  engine.TextChanged = false;
  Check({"void V() {", "   return(0);", "   return (a+b);", "   return\t(a);", "   return;",
         "   if (a) return(1);", "   f(x); return(0); // out", "   myreturn(1);",
         "   Print(\"return(1);\"); return(2);", "   return(a +", "      b);", "}"},
        {"void V() {", "   return;", "   return ;", "   return\t;", "   return;", "   if (a) return;",
         "   f(x); return; // out", "   myreturn(1);", "   Print(\"return(1);\");", "    return;",
         "   return(a +", "      b);", "}"});
  EXPECT_TRUE(engine.TextChanged);
  settings.SetText("txtColor", "Red");
  Check({"double D() {", "   if (x) return;", "   return(1.5);", "}", "color C() {", "   return;", "}"},
        {"double D() {", "   if (x) return (0.0);", "   return(1.5);", "}", "color C() {",
         "   return (Red);", "}"});
  // A return behind a statement of more than 10 bytes gets a line of its own.
  Check({"int F2() {", "   count = count + 1; return; // done", "   x = 1; return;",
         "   if (x) return; else return;", "}"},
        {"int F2() {", "   count = count + 1;// done", "    return (0); // done", "   x = 1; return (0);",
         "   if (x) return (0);", "    else return (0);", "}"});
}

TEST_F(MissingReturnPhaseTest, GlobalPartTreatedAtTheFirstHead) {
  Check({"// globals", "double bal = AccountBalance();", "Lots = 0.1;", "double Buf[0];", "int init()",
         "{", "   Buf[0] = 1;", "   return(0);", "}"},
        {"// globals", "double bal ;", "//Lots = 0.1;", "double Buf[];", "int init(){", "",
         "   Buf[0] = 1;", "   return(0);", "}"});
  EXPECT_EQ(globalSection, "// globals\r\ndouble bal ;\r\n//Lots = 0.1;\r\ndouble Buf[];\r\n");
  EXPECT_EQ(globalInits, "    bal = AccountBalance();\r\nLots = 0.1;\r\n");
  // Without a function named init the initialisers stay where they are.
  settings.Set("chkInvalidIndexValueHeader", false);
  Unchanged({"double bal = AccountBalance();", "double Buf[0];", "void initBuffers() {", "}"});
  EXPECT_EQ(globalInits, "");
  EXPECT_EQ(globalSection, "double bal = AccountBalance();\r\ndouble Buf[0];\r\n");
}

TEST_F(MissingReturnPhaseTest, HeadsAreJoinedWithTheirBrace) {
  Check({"int start() // main", "{", "   return(0);", "}"},
        {"int start() {", "// main", "   return(0);", "}"});
  // The phase looks five lines on: a brace four lines below is found.
  Check({"int start()", "// a", "// b", "// c", "{", "   return(0);", "}"},
        {"int start()// a", "// b", "// c", "{", "", "   return(0);", "}"});
}

}  // namespace
}  // namespace lumivex
