#include "rules/global_initialisers.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/fake_settings.h"

namespace lumivex {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class GlobalInitialisersTest : public ::testing::Test {
 protected:
  void SetUp() override { engine.settings = &settings; }
  testing::FakeSettings settings;
  Engine engine;
};

// ---- MoveGlobalInitialisers ------------------------------------------------

class MoveGlobalInitialisersTest : public GlobalInitialisersTest {
 protected:
  void Check(const std::vector<std::string>& before, const std::vector<std::string>& after,
             const std::vector<std::string>& inits) {
    std::string collected = "left over";
    EXPECT_EQ(MoveGlobalInitialisers(engine, Lines(before), collected), Lines(after))
        << Lines(before);
    EXPECT_EQ(collected, Lines(inits)) << Lines(before);
  }
  void Unchanged(const std::vector<std::string>& text) { Check(text, text, {}); }
};

TEST_F(MoveGlobalInitialisersTest, MovesInitialisersThatCallRunTimeFunctions) {
  Check({"double bal = AccountBalance();"}, {"double bal ;"}, {"    bal = AccountBalance();"});
  Check({"int a = 1, b = Period(), c;"}, {"int a = 1,  b ,  c;"}, {"    b = Period();"});
  Check({"string sym = MySymbol(); // own"}, {"string sym ; // own"}, {"    sym = MySymbol();"});
  Check({"int\tn=Period();"}, {"int    n;"}, {"    n=Period();"});
  // Gathered up to the ";": the lines join with nothing between the first two.
  Check({"double x = MarketInfo(Symbol(),", "   MODE_POINT);", "int y;"},
        {"double x ;", "", "int y;"}, {"    x = MarketInfo(Symbol(),   MODE_POINT);"});
  // Only the indent of the line is dropped.
  Check({"   int a = 1;"}, {"int a = 1;"}, {});
}

TEST_F(MoveGlobalInitialisersTest, SplitsDeclaratorsOnlyAtTopLevelCommas) {
  Check({"double pt = MarketInfo(Symbol(), MODE_POINT);"}, {"double pt ;"},
        {"    pt = MarketInfo(Symbol(), MODE_POINT);"});
  Check({"string s = StringConcatenate(a, Symbol()), t = \"a,b\";"}, {"string s ,  t = \"a,b\";"},
        {"    s = StringConcatenate(a, Symbol());"});
  Check({"int a[3] = {1,", "2, 3};"}, {"int a[3] = {1,2, 3};", ""}, {});
}

TEST_F(MoveGlobalInitialisersTest, KeepsEveryLeadingWordAndCollectsAnAssignment) {
  Check({"static int x = AccountBalance();"}, {"static int x ;"}, {"    x = AccountBalance();"});
  Check({"extern double Lots = AccountBalance();"}, {"extern double Lots ;"},
        {"    Lots = AccountBalance();"});
  Check({"input  string  Sym  =  Symbol(), Other = Symbol();"}, {"input  string  Sym  ,  Other ;"},
        {"    Sym  =  Symbol();", "    Other = Symbol();"});
}

TEST_F(MoveGlobalInitialisersTest, MovesStatementsAtFileScope) {
  Check({"Lots = 0.1;"}, {"//Lots = 0.1;"}, {"Lots = 0.1;"});
  // Short statements hold code too.
  Check({"x=1;", "  i++;"}, {"//x=1;", "//  i++;"}, {"x=1;", "  i++;"});
  Check({"Print(\"a;b\"); // say"}, {"//Print(\"a;b\");// say"}, {"Print(\"a;b\");"});
  // What follows the ";" goes through the rules again.
  Check({"a = 1; int b = Period();"}, {"//a = 1;", "int b ;"}, {"a = 1;", "    b = Period();"});
  Check({"int a = Period(); b = 2;"}, {"int a ;", "// b = 2;"}, {"    a = Period();", " b = 2;"});
  Check({"x = 1; y"}, {"//x = 1;", "// y;"}, {"x = 1;", " y;"});
  // A stray brace goes, its comment stays.
  Check({"}", "int a;", "} // end"}, {"int a;", "// end"}, {});
}

TEST_F(MoveGlobalInitialisersTest, TextChangedByWhatChangesTheCode) {
  for (const auto& [line, changed] : std::vector<std::pair<std::string, bool>>{
           {"}\r\n", true}, {"x = 1;\r\n", true}, {"int\ta;\r\n", true},
           {"double bal = AccountBalance();\r\n", true}, {"   int a = 1, b;\r\n", false}}) {
    engine.TextChanged = false;
    std::string inits;
    MoveGlobalInitialisers(engine, line, inits);
    EXPECT_EQ(engine.TextChanged, changed) << line;
  }
}

TEST_F(MoveGlobalInitialisersTest, Unchanged) {
  Unchanged({"// x = AccountBalance();", "#property strict", "#include <stdlib.mqh>",
             "#define LOTS 5", "", "   ", "int a = 1;", "double b = 2.0; // two", "int c[3] = {1, 2, 3};",
             std::string(markers::MarkOpen) + "0" + std::string(markers::MarkClose)});
  // An array's list cannot become an assignment.
  Unchanged({"double arr[2] = {AccountBalance(), 0};"});
  // Everything from the first "#import" line to the last passes.
  Unchanged({"#import \"lib.dll\"", "int f(int a);", "double g = AccountBalance();", "x = 1;",
             "#import", "#import \"other.ex4\"", "  y = 2;", "#import"});
  // A function in the global part keeps its body and its closing brace.
  Unchanged({"static int Helper()", "{", "   x = AccountBalance();", "   if (x) { y = 1; }", "}",
             "void Later(int a) {", "   z = 1;", "}"});
  Unchanged({"static int Proto(int a,", "  int b);", "int n = 1;"});
  Unchanged({"#ifdef DEBUG", "#resource \"a.bmp\"", "#endif", "enum Mode {", "  Fast,", "  Slow", "};"});
}

TEST_F(MoveGlobalInitialisersTest, SwitchOffLeavesTheGlobalPart) {
  settings.Set("chkExpressionsNotAllowedGlobalScope", false);
  Unchanged({"double bal = AccountBalance();", "Lots = 0.1;", "}"});
}

// ---- InsertGlobalInitsIntoInit --------------------------------------------

class InsertGlobalInitsTest : public GlobalInitialisersTest {
 protected:
  void Check(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    engine.TextChanged = false;
    EXPECT_EQ(InsertGlobalInitsIntoInit(engine, Lines(before), kInits), Lines(after))
        << Lines(before);
    EXPECT_FALSE(engine.TextChanged);
  }
  void Unchanged(const std::vector<std::string>& text) { Check(text, text); }
  static constexpr std::string_view kInits = "    b = Period();\r\n";
};

TEST_F(InsertGlobalInitsTest, WritesTheStatementsAtTheStartOfInit) {
  Check({"int init()", "{", "   x = 1;", "}"},
        {"int init(){", "    b = Period();", "", "   x = 1;", "}"});
  Check({"int OnInit() { // start", "   x = 1;", "}"},
        {"int OnInit() { ", "    b = Period();", "// start", "   x = 1;", "}"});
  // The body goes on on the head's line: the statements go in behind the "{".
  Check({"int init() { x = 1; return(0); }"},
        {"int init() {", "    b = Period();", " x = 1; return(0); }"});
}

TEST_F(InsertGlobalInitsTest, OnlyTheFunctionNamedInitAndOnlyOnce) {
  Check({"void initBuffers()", "{", "}", "void Setup(int init)", "{", "}", "int init()", "{", "}",
         "int OnInit()", "{", "}"},
        {"void initBuffers(){", "", "}", "void Setup(int init){", "", "}", "int init(){",
         "    b = Period();", "", "}", "int OnInit(){", "", "}"});
  // Prototypes and initialiser calls are no heads.
  Check({"int init();", "double d = init(a,", "  b);", "{", "}"},
        {"int init();", "double d = init(a,", "  b);", "{", "}"});
}

TEST_F(InsertGlobalInitsTest, CollectedStatementsGoInWhateverTheSwitch) {
  settings.Set("chkExpressionsNotAllowedGlobalScope", false);
  Check({"int init()", "{", "}"}, {"int init(){", "    b = Period();", "", "}"});
  // Nothing collected and the switch off: not even the heads are joined.
  EXPECT_EQ(InsertGlobalInitsIntoInit(engine, Lines({"int init()", "{", "}"}), ""),
            Lines({"int init()", "{", "}"}));
}

TEST_F(InsertGlobalInitsTest, NothingCollectedStillJoinsHeads) {
  EXPECT_EQ(InsertGlobalInitsIntoInit(engine, Lines({"int init()", "{", "}", "// int f()", "{"}), ""),
            Lines({"int init(){", "", "}", "// int f()", "{"}));
}

TEST(HasInitFunction, LooksForAHeadNamedExactlyInitOrOnInit) {
  for (const char* text : {"int init()\r\n{\r\n}\r\n", "int a;\r\nint  OnInit ( ) {\r\n}",
                           "void f(int init)\r\n{\r\n}\r\nint init()\r\n{\r\n}\r\n"}) {
    EXPECT_TRUE(HasInitFunction(text)) << text;
  }
  for (const char* text : {"", "int initBuffers()\r\n{\r\n}\r\n", "void f(int init)\r\n{\r\n}\r\n",
                           "int init();\r\n{\r\n", "// int init()\r\n{\r\n}\r\n",
                           "static int init()\r\n{\r\n}\r\n"}) {
    EXPECT_FALSE(HasInitFunction(text)) << text;
  }
}

}  // namespace
}  // namespace lumivex
