#include <gtest/gtest.h>

#include <vector>

#include "pipeline/phases.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class MissingReturnPhaseTest : public ::testing::Test {
 protected:
  void SetUp() override { engine.settings = &settings; }

  std::string Run(const std::string& text) {
    globalSection = "stale";
    globalInits = "stale";
    return FixMissingReturns(engine, text, globalSection, globalInits);
  }
  void Check(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    EXPECT_EQ(Run(Lines(before)), Lines(after)) << Lines(before);
  }
  void Unchanged(const std::vector<std::string>& text) { Check(text, text); }

  testing::FakeSettings settings;
  Engine engine;
  std::string globalSection;
  std::string globalInits;
};

// ---- the gate and texts without heads --------------------------------------

TEST_F(MissingReturnPhaseTest, SwitchOffPassesTheTextAndHandsOnNothing) {
  settings.Set("chkFixReturn", false);
  const std::string text = "double Buf[0];\r\nint Calc()\r\n{\r\n   x = 1;\r\n}";
  EXPECT_EQ(Run(text), text);
  EXPECT_EQ(globalSection, "");
  EXPECT_EQ(globalInits, "");
}

TEST_F(MissingReturnPhaseTest, TextWithoutHeadsComesOutLineForLine) {
  EXPECT_EQ(Run("double Buf[0];\r\nint f(int a);\r\ndouble d = g(1,\r\n  2);\r\n}\r\nx = 1"),
            "double Buf[0];\r\nint f(int a);\r\ndouble d = g(1,\r\n  2);\r\n}\r\nx = 1\r\n");
  EXPECT_EQ(globalSection, "");
  EXPECT_EQ(globalInits, "");
}

// ---- missing returns -------------------------------------------------------

TEST_F(MissingReturnPhaseTest, EndOfAFunctionBeforeTheNextHead) {
  Check({"int Calc()", "{", "   x = 1;", "}", "int Next()", "{", "   return(1);", "}"},
        {"int Calc(){", "", "   x = 1;", "   return(0);", "}", "int Next(){", "", "   return(1);", "}"});
  // The return ends the body: the position rule finds it past empty lines.
  Unchanged({"int Calc() {", "   return(0);", "}", "", "", "int Next() {", "   return(1);", "}"});
  // A return inside the last inner block counts while the recent lines hold it...
  Unchanged({"int Calc() {", "   if (a) {", "      return(1);", "   }", "}", "int Next() {",
             "   return(1);", "}"});
  // ...not once two empty lines pushed it out.
  Check({"int Calc() {", "   if (a) {", "      return(1);", "   }", "}", "", "", "int Next() {",
         "   return(1);", "}"},
        {"int Calc() {", "   if (a) {", "      return(1);", "   }", "   return(0);", "}", "", "",
         "int Next() {", "   return(1);", "}"});
}

TEST_F(MissingReturnPhaseTest, EndOfTheLastFunction) {
  Check({"int Last()", "{", "   x = 1;", "}"},
        {"int Last(){", "", "   x = 1;", "", "   return(0);", "}"});
  // After every statement, not behind the last inner block.
  Check({"int Last()", "{", "   if (a)", "   {", "      b();", "   }", "   c();", "}"},
        {"int Last(){", "", "   if (a)", "   {", "      b();", "   }", "   c();", "", "   return(0);",
         "}"});
  Check({"int Last() {", "   c(); }"}, {"int Last() {", "   c();", "   return(0);", "}"});
  settings.SetText("txtInt", "-1");
  Check({"int Last() {", "}"}, {"int Last() {", "", "   return(-1);", "}"});
}

TEST_F(MissingReturnPhaseTest, OneLineFunctionGetsASecondReturn) {
  Check({"int One() { return(1); }", "int Two() {", "   return(2);", "}"},
        {"int One() { return(1);    return(0);", "}", "int Two() {", "   return(2);", "}"});
}

TEST_F(MissingReturnPhaseTest, Unchanged) {
  // Void functions need no return.
  Unchanged({"void V() {", "   x = 1;", "}", "void W() {", "   y = 1;", "}"});
  // Same name, and one-byte names, leave the function before unchecked.
  Unchanged({"int Fn() {", "   x = 1;", "}", "int Fn() {", "   return(1);", "}"});
  Unchanged({"int f() {", "   x = 1;", "}", "int g() {", "   return(1);", "}"});
  // Prototypes, initialiser calls and heads without a type word are no heads.
  Unchanged({"int Proto(int a);", "int Calc() {", "   double d = MathMax(a,", "      b);",
             "   return(d);", "}", "static double Rate()", "{", "   return(1.0);", "}"});
}

// ---- return rewrites -------------------------------------------------------

TEST_F(MissingReturnPhaseTest, VoidReturnsLoseTheirValue) {
  engine.TextChanged = false;
  Check({"void V() {", "   return(0);", "   return (a+b);", "   return  (a);", "   return\t(a);",
         "   return;", "   if (a) return(1);", "   f(x); return(0); // out", "   myreturn(1);", "   Print(\"return(1);\"); return(2);",
         "   if (a) return(1); else return(2);", "   return(a +", "      b);", "}"},
        {"void V() {", "   return;", "   return ;", "   return  ;", "   return\t;", "   return;",
         "   if (a) return;", "   f(x); return; // out", "   myreturn(1);", "   Print(\"return(1);\");", "    return;",
         "   if (a) return;", "    else return;", "   return(a +", "      b);", "}"});
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(MissingReturnPhaseTest, ValueReturnsGetTheDefault) {
  Check({"double D() {", "   if (x) return;", "   return(1.5);", "}"},
        {"double D() {", "   if (x) return (0.0);", "   return(1.5);", "}"});
  Check({"string S() {", "   return;", "}"}, {"string S() {", "   return (\"\");", "}"});
  // Read each time it is used.
  settings.SetText("txtColor", "Red");
  Check({"color C() {", "   return;", "}"}, {"color C() {", "   return (Red);", "}"});
  // Before the first head a return has no type.
  Unchanged({"   return;", "int F2() {", "   return(1);", "}"});
}

TEST_F(MissingReturnPhaseTest, ReturnBehindALongStatementGetsALineOfItsOwn) {
  Check({"int F2() {", "   count = count + 1; return; // done", "}"},
        {"int F2() {", "   count = count + 1;// done", "    return (0); // done", "}"});
  Check({"int F2() {", "   x = 1; return;", "}"}, {"int F2() {", "   x = 1; return (0);", "}"});
  // Both halves are fitted.
  Check({"int F2() {", "   if (x) return; else return;", "}"},
        {"int F2() {", "   if (x) return (0);", "    else return (0);", "}"});
}

// ---- the global part -------------------------------------------------------

TEST_F(MissingReturnPhaseTest, ZeroSizeArraysInTheGlobalPartOnly) {
  Check({"double Buf[0];", "int start()", "{", "   Buf[0] = 1;", "   return(0);", "}"},
        {"double Buf[];", "int start(){", "", "   Buf[0] = 1;", "   return(0);", "}"});
  EXPECT_EQ(globalSection, "double Buf[];\r\n");
  settings.Set("chkInvalidIndexValueHeader", false);
  Unchanged({"double Buf[0];", "int start() {", "   return(0);", "}"});
  EXPECT_EQ(globalSection, "double Buf[0];\r\n");
}

TEST_F(MissingReturnPhaseTest, GlobalInitialisersHandedOnToInit) {
  Check({"// globals", "double bal = AccountBalance();", "Lots = 0.1;", "int init()", "{",
         "   return(0);", "}"},
        {"// globals", "double bal ;", "//Lots = 0.1;", "int init(){", "", "   return(0);", "}"});
  EXPECT_EQ(globalSection, "// globals\r\ndouble bal ;\r\n//Lots = 0.1;\r\n");
  EXPECT_EQ(globalInits, "    bal = AccountBalance();\r\nLots = 0.1;\r\n");
}

TEST_F(MissingReturnPhaseTest, InitialisersStayWithoutAFunctionToTakeThem) {
  Unchanged({"double bal = AccountBalance();", "Lots = 0.1;", "void initBuffers() {", "}",
             "int start() {", "   return(0);", "}"});
  EXPECT_EQ(globalInits, "");
  EXPECT_EQ(globalSection, "double bal = AccountBalance();\r\nLots = 0.1;\r\n");
}

TEST_F(MissingReturnPhaseTest, HeadsAreJoinedWithTheirBrace) {
  Check({"int start() // main", "{", "   return(0);", "}"},
        {"int start() {", "// main", "   return(0);", "}"});
  Check({"int Sum(int a,", "   int b)", "{", "   return(a + b);", "}"},
        {"int Sum(int a,   int b)", "{", "", "   return(a + b);", "}"});
  // The phase looks five lines on: a brace four lines below is found.
  Check({"int start()", "// a", "// b", "// c", "{", "   return(0);", "}"},
        {"int start()// a", "// b", "// c", "{", "", "   return(0);", "}"});
}

}  // namespace
}  // namespace lumivex
