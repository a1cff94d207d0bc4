#include "rules/global_initialisers.h"

#include <vector>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Lines;
using Text = std::vector<std::string>;

class MoveGlobalInitialisersTest : public testing::EngineTest {
 protected:
  void Check(const Text& before, const Text& after, const Text& inits) {
    std::string collected = "left over";
    engine.TextChanged = false;
    EXPECT_EQ(MoveGlobalInitialisers(engine, Lines(before), collected), Lines(after))
        << Lines(before);
    EXPECT_EQ(collected, Lines(inits)) << Lines(before);
  }
  void Unchanged(const Text& text) {
    Check(text, text, {});
    EXPECT_FALSE(engine.TextChanged) << Lines(text);
  }
};

TEST_F(MoveGlobalInitialisersTest, MovesInitialisersThatCallRunTimeFunctions) {
  Check({"double bal = AccountBalance();"}, {"double bal ;"}, {"    bal = AccountBalance();"});
  Check({"   int a = 1, b = Period(), c;"}, {"int a = 1,  b ,  c;"}, {"    b = Period();"});
  Check({"string sym = MySymbol(); // own"}, {"string sym ; // own"}, {"    sym = MySymbol();"});
  Check({"int\tn=Period();"}, {"int    n;"}, {"    n=Period();"});
  // Gathered up to the ";", the first two lines joined with nothing between.
  Check({"double x = MarketInfo(Symbol(),", "   MODE_POINT);", "int y;"},
        {"double x ;", "", "int y;"}, {"    x = MarketInfo(Symbol(),   MODE_POINT);"});
  // Declarators end only at commas outside calls, literals and lists.
  Check({"string s = StringConcatenate(a, Symbol()), t = \"a,b\";"}, {"string s ,  t = \"a,b\";"},
        {"    s = StringConcatenate(a, Symbol());"});
  Check({"int a[3] = {1,", "2, 3};"}, {"int a[3] = {1,2, 3};", ""}, {});
  // Every leading word stays; what is collected is an assignment.
  Check({"static int x = AccountBalance();", "extern double Lots = Symbol();"},
        {"static int x ;", "extern double Lots ;"}, {"    x = AccountBalance();", "    Lots = Symbol();"});
}

TEST_F(MoveGlobalInitialisersTest, CommentsOutStatementsAtFileScope) {
  Check({"Lots = 0.1;", "  i++;"}, {"//Lots = 0.1;", "//  i++;"}, {"Lots = 0.1;", "  i++;"});
  Check({"Print(\"a;b\"); // say"}, {"//Print(\"a;b\");// say"}, {"Print(\"a;b\");"});
  // What follows the ";" goes through the rules again.
  Check({"a = 1; int b = Period();"}, {"//a = 1;", "int b ;"}, {"a = 1;", "    b = Period();"});
  Check({"int a = Period(); b = 2;"}, {"int a ;", "// b = 2;"}, {"    a = Period();", " b = 2;"});
  Check({"}; x = 1; // one"}, {"// x = 1;// one"}, {" x = 1;"});
  // A stray brace goes; its comment stays.
  Check({"}", "} // end"}, {"// end"}, {});
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(MoveGlobalInitialisersTest, Unchanged) {
  Unchanged({"// x = AccountBalance();", "#property strict", "#define LOTS 5", "#ifdef DEBUG",
             "#endif", "", "int a = 1; // one", "double arr[2] = {AccountBalance(), 0};",
             std::string(markers::MarkOpen) + "0" + std::string(markers::MarkClose)});
  // Everything from the first "#import" line to the last passes.
  Unchanged({"#import \"lib.dll\"", "double g = AccountBalance();", "x = 1;", "#import",
             "#import \"other.ex4\"", "  y = 2;", "#import"});
  // Functions and blocks in the global part keep their bodies and braces.
  Unchanged({"static int Helper()", "{", "   x = AccountBalance();", "   if (x) { y = 1; }", "}",
             "static int Proto(int a,", "  int b);", "enum Mode {", "  Fast,", "};"});
  settings.Set("chkExpressionsNotAllowedGlobalScope", false);
  Unchanged({"double bal = AccountBalance();", "Lots = 0.1;", "}"});
}

class InsertGlobalInitsTest : public testing::EngineTest {
 protected:
  void Check(const Text& before, const Text& after, std::string_view inits = kInits) {
    EXPECT_EQ(InsertGlobalInitsIntoInit(engine, Lines(before), inits), Lines(after)) << Lines(before);
    EXPECT_FALSE(engine.TextChanged);
  }
  static constexpr std::string_view kInits = "    b = Period();\r\n";
};

TEST_F(InsertGlobalInitsTest, WritesTheStatementsAtTheStartOfInitOnly) {
  Check({"int OnInit() { // start", "   x = 1;", "}"},
        {"int OnInit() { ", "    b = Period();", "// start", "   x = 1;", "}"});
  // A body on the head's line: the statements go in behind the "{".
  Check({"int init() { x = 1; return(0); }"}, {"int init() {", "    b = Period();", " x = 1; return(0); }"});
  // Only the function named init, once; prototypes and initialiser calls are no heads.
  Check({"void initBuffers()", "{", "}", "void Setup(int init)", "{", "}", "int init();",
         "double d = init(a,", "  b);", "int init()", "{", "}", "int OnInit()", "{", "}"},
        {"void initBuffers(){", "", "}", "void Setup(int init){", "", "}", "int init();",
         "double d = init(a,", "  b);", "int init(){", "    b = Period();", "", "}", "int OnInit(){",
         "", "}"});
}

TEST_F(InsertGlobalInitsTest, CollectedStatementsGoInWhateverTheSwitch) {
  Check({"int init()", "{", "}"}, {"int init(){", "", "}"}, "");
  settings.Set("chkExpressionsNotAllowedGlobalScope", false);
  Check({"int init()", "{", "}"}, {"int init(){", "    b = Period();", "", "}"});
  // Nothing collected and the switch off: not even the heads are joined.
  Check({"int init()", "{", "}"}, {"int init()", "{", "}"}, "");
}

}  // namespace
}  // namespace lumivex
