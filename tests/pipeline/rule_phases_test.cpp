// Phases 3 to 6: one-line blocks, OrderSelect checks, order-call results, missing returns.
#include <gtest/gtest.h>

#include "pipeline/phases.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;
using testing::Lines;
using Text = std::vector<std::string>;

class RulePhases : public testing::EngineTest {
 protected:
  void CheckSelect(std::string_view before, std::string_view after) {
    engine.TextChanged = engine.OrderSelectFixed = false;
    EXPECT_EQ(FixOrderSelectResults(engine, Crlf(before)), Crlf(after)) << before;
    EXPECT_TRUE(engine.OrderSelectFixed && engine.TextChanged) << before;
  }
  std::string SelectPhases(const std::string& text) {
    return FixOrderSelectResults(engine, SplitOneLineBlocks(engine, Crlf(text)));
  }
  // Runs phase 5 with the declaration flag given; returns the flag it leaves.
  bool CheckCalls(std::string_view before, std::string_view after, bool hasChk = true) {
    engine.TextChanged = false;
    EXPECT_EQ(FixOrderCallResults(engine, Crlf(before), hasChk), Crlf(after)) << before;
    return hasChk;
  }
  // Phase 6, with the global part it hands on.
  std::string Run(const std::string& text) {
    globalSection = globalInits = "stale";
    return FixMissingReturns(engine, text, globalSection, globalInits);
  }
  void Check(const Text& before, const Text& after) { EXPECT_EQ(Run(Lines(before)), Lines(after)); }
  void Unchanged(const Text& text) { Check(text, text); }

  std::string globalSection, globalInits;
};

TEST_F(RulePhases, SplitsOneLineBlocksWithoutCountingAChange) {
  const char* cases[][2] = {
      {"  while (x) { a(); } c(); // why", "  while (x){\n  a();  \n}   c(); // why\n"},
      {"if (a) { Print(\"}\"); }\n", "if (a){\nPrint(\"}\");\n}\n"}};
  for (const auto& c : cases) EXPECT_EQ(SplitOneLineBlocks(engine, Crlf(c[0])), Crlf(c[1]));
  EXPECT_FALSE(engine.TextChanged);
}

// For-loop bodies get the continue-form: a "{" on the next line counts; a
// loop word in a literal is no loop; braces of an if inside the loop count.
// A while- or do-loop's body gets a check with an empty body: "continue"
// would skip the step the body makes, and the if-form could take that step
// as its body; either way the loop could select the same order forever.
// Every block that no loop opened gets the if-form: one-line loops, a body
// without braces and the "while (x);" that closes a do-loop open none
// ("continue" outside a loop does not compile). The innermost loop decides.
TEST_F(RulePhases, AutoFormFollowsTheLoops) {
  const char* cases[][2] = {
      {"for(;;)\n{\nOrderSelect(i, SELECT_BY_POS);\n}\n",
       "for(;;)\n{\nif (!OrderSelect(i, SELECT_BY_POS)) continue;\n}\n"},
      {"s = \"for\";\nif (y) {\nOrderSelect(t, SELECT_BY_POS);\nn++;\n}\n",
       "s = \"for\";\nif (y) {\nif (OrderSelect(t, SELECT_BY_POS))\nn++;\n}\n"},
      {"for (;;) {\nif (a) {\n}\nOrderSelect(k, SELECT_BY_POS);\nn++;\n}\n",
       "for (;;) {\nif (a) {\n}\nif (!OrderSelect(k, SELECT_BY_POS)) continue;\nn++;\n}\n"},
      {"while (k < n)\n{\nOrderSelect(k, SELECT_BY_POS);\nk++;\n}\n",
       "while (k < n)\n{\nif (OrderSelect(k, SELECT_BY_POS)) {}\nk++;\n}\n"},
      {"do {\nOrderSelect(k, SELECT_BY_POS);\nk--;\n} while (k > 0);\n"
       "if (y) {\nOrderSelect(t, SELECT_BY_TICKET);\nn++;\n}\n",
       "do {\nif (OrderSelect(k, SELECT_BY_POS)) {}\nk--;\n} while (k > 0);\n"
       "if (y) {\nif (OrderSelect(t, SELECT_BY_TICKET))\nn++;\n}\n"},
      {"do {\n}\nwhile (x);\nif (y) {\nOrderSelect(t, SELECT_BY_TICKET);\nn++;\n}\n",
       "do {\n}\nwhile (x);\nif (y) {\nif (OrderSelect(t, SELECT_BY_TICKET))\nn++;\n}\n"},
      {"for (i = 0; i < 9; i++) s += i;\nif (s > 0)\n{\nOrderSelect(t, SELECT_BY_TICKET);\nn++;\n}\n",
       "for (i = 0; i < 9; i++) s += i;\nif (s > 0)\n{\n"
       "if (OrderSelect(t, SELECT_BY_TICKET))\nn++;\n}\n"},
      {"while (k > 0) {\nfor (i = 0; i < k; i++) {\nOrderSelect(i, SELECT_BY_POS);\n}\n"
       "OrderSelect(k, SELECT_BY_POS);\nk--;\n}\n",
       "while (k > 0) {\nfor (i = 0; i < k; i++) {\nif (!OrderSelect(i, SELECT_BY_POS)) continue;\n}\n"
       "if (OrderSelect(k, SELECT_BY_POS)) {}\nk--;\n}\n"}};
  for (const auto& c : cases) CheckSelect(c[0], c[1]);
}

// A call that is itself the whole body of an if, else, loop or do without
// braces keeps the statement after it out of that body: its check gets an
// empty body, and code behind the call on its line stays behind it.
TEST_F(RulePhases, IfFormNeverWidensAControlStatement) {
  const char* cases[][2] = {
      {"if (x)\nOrderSelect(t, SELECT_BY_TICKET);\nPrint(1);\n",
       "if (x)\nif (OrderSelect(t, SELECT_BY_TICKET)) {}\nPrint(1);\n"},
      {"if (x) Print(0);\nelse OrderSelect(t, SELECT_BY_TICKET);\nPrint(1);\n",
       "if (x) Print(0);\nelse if (OrderSelect(t, SELECT_BY_TICKET)) {}\nPrint(1);\n"},
      {"else\n   OrderSelect(t, SELECT_BY_TICKET); // why\nPrint(1);\n",
       "else\n   if (OrderSelect(t, SELECT_BY_TICKET)) {}// why\nPrint(1);\n"},
      {"for (i = 0; i < n; i++) OrderSelect(i, SELECT_BY_POS); n++;\nPrint(1);\n",
       "for (i = 0; i < n; i++) if (OrderSelect(i, SELECT_BY_POS)) {} n++;\nPrint(1);\n"},
      {"if (a &&\n    b)\n\nOrderSelect(t, SELECT_BY_TICKET);\nPrint(1);\n",
       "if (a &&\n    b)\n\nif (OrderSelect(t, SELECT_BY_TICKET)) {}\nPrint(1);\n"}};
  for (const auto& c : cases) CheckSelect(c[0], c[1]);
}

// The continue-form everywhere in a loop, the body of a loop without braces
// included; outside every loop "continue" would not compile, so the check
// takes the if-form there.
TEST_F(RulePhases, RadioButtonsChooseTheForm) {
  settings.SetRadio("rdoOrderSelectContinue");
  const char* cases[][2] = {
      {"while (k < n) {\nOrderSelect(k, SELECT_BY_POS);\nk++;\n}\n",
       "while (k < n) {\nif (!OrderSelect(k, SELECT_BY_POS)) continue;\nk++;\n}\n"},
      {"for (;;)\n   OrderSelect(k, SELECT_BY_POS);\nx = 1;\n",
       "for (;;)\n   if (!OrderSelect(k, SELECT_BY_POS)) continue;\nx = 1;\n"},
      {"while (k) OrderSelect(k, SELECT_BY_POS);\n",
       "while (k) if (!OrderSelect(k, SELECT_BY_POS)) continue;\n"},
      {"OrderSelect(1, SELECT_BY_POS);\nx = 1;\n", "if (OrderSelect(1, SELECT_BY_POS))\nx = 1;\n"},
      {"if (a)\n   OrderSelect(1, SELECT_BY_POS);\nx = 1;\n",
       "if (a)\n   if (OrderSelect(1, SELECT_BY_POS)) {}\nx = 1;\n"}};
  for (const auto& c : cases) CheckSelect(c[0], c[1]);
  settings.SetRadio("rdoOrderSelectIfOut");
  CheckSelect("for (;;) {\nOrderSelect(i, SELECT_BY_POS);\nn++;\n}\n",
              "for (;;) {\nif (OrderSelect(i, SELECT_BY_POS))\nn++;\n}\n");
}

// Where the next line of code cannot be the if's body (a declaration, a
// closing brace, none at all), the check gets an empty body of its own.
TEST_F(RulePhases, IfFormNeverTakesWhatCannotBeItsBody) {
  const std::string m = std::string(markers::MarkOpen) + "0" + std::string(markers::MarkClose);
  const char* cases[][2] = {
      {"OrderSelect(t, SELECT_BY_TICKET);\nbool done = false;\n",
       "if (OrderSelect(t, SELECT_BY_TICKET)) {}\nbool done = false;\n"},
      {"OrderSelect(t, SELECT_BY_POS); // pick\n\n// why\n}\n",
       "if (OrderSelect(t, SELECT_BY_POS)) {}// pick\n\n// why\n}\n"},
      {"OrderSelect(t, SELECT_BY_POS);\n", "if (OrderSelect(t, SELECT_BY_POS)) {}\n"},
      {"OrderSelect(t, SELECT_BY_POS);\n  static int n = 0;\n", "if (OrderSelect(t, SELECT_BY_POS)) {}\n  static int n = 0;\n"},
      {"OrderSelect(t, SELECT_BY_POS);\nconst int k = 1;\n", "if (OrderSelect(t, SELECT_BY_POS)) {}\nconst int k = 1;\n"},
      {"OrderSelect(t, SELECT_BY_POS);\n} else {\n", "if (OrderSelect(t, SELECT_BY_POS)) {}\n} else {\n"},
      // A jump made the body would fall through into the next case, run on
      // in the loop or into code after the return.
      {"OrderSelect(t, SELECT_BY_TICKET);\nreturn(OrderProfit());\n",
       "if (OrderSelect(t, SELECT_BY_TICKET)) {}\nreturn(OrderProfit());\n"},
      {"Print(1); OrderSelect(0, SELECT_BY_POS); return (0);\n",
       "Print(1); if (OrderSelect(0, SELECT_BY_POS)) {} return (0);\n"},
      {"case 1: OrderSelect(t, SELECT_BY_TICKET); break;\n",
       "case 1: if (OrderSelect(t, SELECT_BY_TICKET)) {} break;\n"},
      {"case 2:\nOrderSelect(t, SELECT_BY_TICKET);\n   break;\n",
       "case 2:\nif (OrderSelect(t, SELECT_BY_TICKET)) {}\n   break;\n"},
      {"OrderSelect(t, SELECT_BY_TICKET);\ncontinue;\n",
       "if (OrderSelect(t, SELECT_BY_TICKET)) {}\ncontinue;\n"}};
  for (const auto& c : cases) CheckSelect(c[0], c[1]);
  CheckSelect("OrderSelect(t, SELECT_BY_POS);\n" + m + "\n}\n",
              "if (OrderSelect(t, SELECT_BY_POS)) {}\n" + m + "\n}\n");
}

// A statement, a block or the code behind the call is the body; the continue-form has none.
TEST_F(RulePhases, IfFormKeepsItsBody) {
  const char* cases[][2] = {
      {"OrderSelect(t, SELECT_BY_POS);\n// why\nPrint(OrderLots());\n",
       "if (OrderSelect(t, SELECT_BY_POS))\n// why\nPrint(OrderLots());\n"},
      {"OrderSelect(t, SELECT_BY_POS);\n{\nn++;\n}\n", "if (OrderSelect(t, SELECT_BY_POS))\n{\nn++;\n}\n"},
      {"OrderSelect(t, SELECT_BY_POS); n++;\n}\n", "if (OrderSelect(t, SELECT_BY_POS)) n++;\n}\n"},
      {"OrderSelect(t, SELECT_BY_POS);\ninterval = 1;\n", "if (OrderSelect(t, SELECT_BY_POS))\ninterval = 1;\n"},
      {"OrderSelect(t, SELECT_BY_POS);\nbreaks++;\n", "if (OrderSelect(t, SELECT_BY_POS))\nbreaks++;\n"},
      {"OrderSelect(t, SELECT_BY_POS);\nreturnCode = 1;\n",
       "if (OrderSelect(t, SELECT_BY_POS))\nreturnCode = 1;\n"},
      {"for (;;) {\nOrderSelect(t, SELECT_BY_POS);\n}\n",
       "for (;;) {\nif (!OrderSelect(t, SELECT_BY_POS)) continue;\n}\n"}};
  for (const auto& c : cases) CheckSelect(c[0], c[1]);
}

// Not split: "}" before "{", braces in literals, a head with two blocks; "=" before "(" is no head.
TEST_F(RulePhases, SelectUnchanged) {
  for (const char* text : {"} else {\n", "x = 1; } else {\n", "Print(\"a;b{\"); }\n",
                           "void f() { if (a) { b(); } }\n", "int x = f(1)\nx = 2;\n"})
    EXPECT_EQ(SelectPhases(text), Crlf(text));
  settings.Set("chkOrderSelect", false);
  const char* off = "if (a) { OrderSelect(i, SELECT_BY_POS); }\n";
  EXPECT_EQ(SelectPhases(off), Crlf(off));
  EXPECT_FALSE(engine.OrderSelectFixed || engine.TextChanged);
}

// Every order-call line counts as changed; a repeat of chk in another case is another variable.
TEST_F(RulePhases, CapturesOrderCallResults) {
  CheckCalls("OrderClose(t, \"http://a\"); // done", "chk = OrderClose(t, \"http://a\"); // done\n");
  CheckCalls("chk = chk = OrderDelete(t);\n", "chk = OrderDelete(t);\n");
  for (const char* same : {"CHK = chk = OrderSend(a);\n", "chk = 1; CHK = CHK = OrderSend(a);\n",
                           "if(!OrderClose(t)) Print(1);\n"}) {
    CheckCalls(same, same);
    EXPECT_TRUE(engine.TextChanged) << same;
  }
}

// Also before a head whose ")" stands on a later line.
TEST_F(RulePhases, DeclaresChkBeforeTheFirstFunction) {
  EXPECT_TRUE(CheckCalls("double f(int a,\n   int b)\n{\n}\nvoid g()\n{\n}\n",
                         "bool chk;\n\ndouble f(int a,\n   int b)\n{\n}\nvoid g()\n{\n}\n", false));
  EXPECT_TRUE(engine.TextChanged);
  // A function commented out with "/* */" (comments not folded) is no place for it.
  for (const char* comment : {"/*\nint old()\n{\n}\n*/\n", "/* old:\nint old() { }\n */\n",
                              "x = 1; /* a */ /*\nint old()\n{\n}\n*/\n"}) {
    const std::string rest = "int start()\n{\n}\n";
    EXPECT_TRUE(CheckCalls(comment + rest, comment + ("bool chk;\n\n" + rest), false));
  }
}

// Calls in comments and literals, no head (see the head walker's cases), own chk, switch off.
TEST_F(RulePhases, CallsUnchanged) {
  for (const char* text : {"// OrderClose(t);\nx(); // OrderClose(t);\nPrint(\"OrderSend(\");\n",
                           "int f(int a);\nint x;\n", "void f(int a)\n;\n{\n}\n"})
    EXPECT_FALSE(CheckCalls(text, text, false) || engine.TextChanged) << text;
  EXPECT_TRUE(CheckCalls("int start()\n{\n}\n", "int start()\n{\n}\n", true) && !engine.TextChanged);
  settings.Set("chkOrderModify", false);
  const char* off = "void f()\n{\nOrderClose(t);\n}\n";
  EXPECT_FALSE(CheckCalls(off, off, false) || engine.TextChanged);
}

TEST_F(RulePhases, SwitchOffOrNoHeadPassesTheTextAndHandsOnNothing) {
  EXPECT_EQ(Run("double Buf[0];\r\nint f(int a);\r\ndouble d = g(1,\r\n  2);\r\n}\r\nx = 1"),
            "double Buf[0];\r\nint f(int a);\r\ndouble d = g(1,\r\n  2);\r\n}\r\nx = 1\r\n");
  EXPECT_EQ(globalSection + globalInits, "");
  settings.Set("chkFixReturn", false);
  EXPECT_EQ(Run("double Buf[0];\r\nint Calc()\r\n{\r\n}"), "double Buf[0];\r\nint Calc()\r\n{\r\n}");
  EXPECT_EQ(globalSection + globalInits, "");
}

TEST_F(RulePhases, ReturnInsertedWhereAValueFunctionEnds) {
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
  // An inner block closing on the line before the last "}": one return, at the end.
  Check({"int Last() {", "   if (a) {", "      return(1);", "   }", "}"},
        {"int Last() {", "   if (a) {", "      return(1);", "   }", "", "   return(0);", "}"});
}

// A function ends at its own closing brace: what follows it (a global
// array's list, between functions or after the last) is none of its body.
TEST_F(RulePhases, ReturnsGoWhereTheyBelong) {
  Check({"int Calc() {", "   x = 1;", "}", "int arr[2] = {1, 2};", "int Next() {", "   return(1);", "}"},
        {"int Calc() {", "   x = 1;", "   return(0);", "}", "int arr[2] = {1, 2};", "int Next() {",
         "   return(1);", "}"});
  Check({"int Last() {", "   x = 1;", "}", "int arr[2] = {1,", "   2};"},
        {"int Last() {", "   x = 1;", "", "   return(0);", "}", "int arr[2] = {1,", "   2};"});
  Check({"int Last() {", "   return(x);", "}", "int arr[2] = {1, 2};"},
        {"int Last() {", "   return(x);", "}", "int arr[2] = {1, 2};"});
  // Code before the closing "}" stays on its line; the return gets one of its own.
  Check({"int Two(int a) {", "   if (a > 0) { a--; } }", "int Next() {", "   return(1);", "}"},
        {"int Two(int a) {", "   if (a > 0) { a--; }", "   return(0);", "}", "int Next() {",
         "   return(1);", "}"});
  Unchanged({"int Two(int a) {", "   if (a > 0) { a--; }", "   return(0);", "}", "int Next() {",
             "   return(1);", "}"});
  // A static function is a function of its own.
  Check({"int A() {", "   return(1);", "}", "static void B() {", "   if (x) return(2);", "   x = 1;", "}"},
        {"int A() {", "   return(1);", "}", "static void B() {", "   if (x) return;", "   x = 1;", "}"});
  Check({"static  int C() {", "   x = 1;", "   return;", "}"},
        {"static  int C() {", "   x = 1;", "   return (0);", "}"});
  // A one-line function that returns gets no second return.
  Unchanged({"int One(int a[]) { return(a[0]); }", "int Two() {", "   return(2);", "}"});
  Unchanged({"int Two() {", "   return(2);", "}", "int One(int a[]) { return(a[0]); }", "int arr[1] = {1};"});
  Unchanged({"int One() { return(1); }", "int arr[2] = {1,", "   2};", "int Two() {", "   return(2);", "}"});
  // A ";" in a default value leaves a head a head, so the function's returns
  // are fitted to its own type, not to the void function before it.
  Unchanged({"void Hello() {", "   Print(\"x\");", "}",
             "string Join(string a, string sep = \";\") {", "   return(a + sep);", "}"});
  // "return;" in a literal is text.
  Unchanged({"int S() {", "   Print(\"return;\");", "   x = myreturn;", "   return(1);", "}"});
}

TEST_F(RulePhases, ReturnsUnchanged) {
  Unchanged({"int Calc() {", "   return(0);", "}", "", "", "int Next() {", "   return(1);", "}"});
  Unchanged({"int Calc() {", "   if (a) {", "      return(1);", "   }", "}", "int Next() {",
             "   return(1);", "}"});
  Unchanged({"void V() {", "   x = 1;", "}", "void W() {", "}"});
  // Same name, and one-byte names, leave the function before unchecked.
  Unchanged({"int Fn() {", "   x = 1;", "}", "int Fn() {", "   return(1);", "}"});
  Unchanged({"int f() {", "   x = 1;", "}", "int g() {", "   return(1);", "}"});
  Unchanged({"int Proto(int a);", "int Calc() {", "   double d = MathMax(a,", "      b);",
             "   return(d);", "}", "static double Rate() {", "   return(1.0);", "}"});
  Unchanged({"   return;", "int F2() {", "   return(1);", "}"});  // no type yet
}

TEST_F(RulePhases, ReturnsFittedToTheFunctionType) {
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
  // Bare returns with blanks or comments before their ";".
  const std::string m = std::string(markers::MarkOpen) + "0" + std::string(markers::MarkClose);
  Check({"int F() {", "   return ;", "   if (a) return /* note */;", "   if (b) return\t" + m + " ;", "}"},
        {"int F() {", "   return (0);", "   if (a) return /* note */ (0);", "   if (b) return " + m + " (0);",
         "}"});
  // A return behind a statement of more than 10 bytes gets a line of its own.
  Check({"int F2() {", "   count = count + 1; return; // done", "   x = 1; return;",
         "   if (x) return; else return;", "}"},
        {"int F2() {", "   count = count + 1;// done", "    return (0); // done", "   x = 1; return (0);",
         "   if (x) return (0);", "    else return (0);", "}"});
  // Cut as often as it takes, so the result is cut no further when converted
  // again: three statements, and a rest that the indent in front makes long.
  Check({"int F3(double v) {", "   if (v > 0) return (1); if (v < 0) return (-1); return (0); }"},
        {"int F3(double v) {", "   if (v > 0) return (1);", " if (v < 0) return (-1);",
         " return (0); }"});
  Check({"int F4() {", "        if (a) return(1); x = 1; return;", "}"},
        {"int F4() {", "        if (a) return(1);", "         x = 1;", " return (0);", "}"});
  for (const char* again : {" if (v < 0) return (-1);", " return (0); }", "         x = 1;"})
    Unchanged({"int F5() {", again, "   return(1);", "}"});
}

TEST_F(RulePhases, GlobalPartTreatedAtTheFirstHead) {
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

TEST_F(RulePhases, HeadsAreJoinedWithTheirBrace) {
  // The phase looks five lines on: a brace four lines below is found. The
  // comments on the way follow the joined head in their order.
  Check({"int start() // main", "// a", "// b", "// c", "{", "   return(0);", "}"},
        {"int start() {", "// main", "// a", "// b", "// c", "   return(0);", "}"});
  Check({"double Sum(double a,", "           double b) // second", "{", "   return(a + b);", "}"},
        {"double Sum(double a,           double b) {", "", "// second", "   return(a + b);", "}"});
}

}  // namespace
}  // namespace lumivex
