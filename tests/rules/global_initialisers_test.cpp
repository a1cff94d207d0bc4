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
  // The declarators keep their own separators: rebuilt again, nothing changes.
  Check({"   int a = 1, b = Period(), c;"}, {"int a = 1, b , c;"}, {"    b = Period();"});
  Check({"string sym = MySymbol(); // own"}, {"string sym ; // own"}, {"    sym = MySymbol();"});
  Check({"int\tn=Period();"}, {"int    n;"}, {"    n=Period();"});
  // Gathered up to the ";" with the line ends and comments it has.
  Check({"double x = MarketInfo(Symbol(), // pair", "   MODE_POINT);", "int y;"},
        {"double x ;", "int y;"}, {"    x = MarketInfo(Symbol(), // pair", "   MODE_POINT);"});
  // Declarators end only at commas outside calls, literals and lists.
  Check({"string s = StringConcatenate(a, Symbol()), t = \"a,b\";"}, {"string s , t = \"a,b\";"},
        {"    s = StringConcatenate(a, Symbol());"});
  // Every leading word stays; what is collected is an assignment.
  Check({"static int x = AccountBalance();", "extern double Lots = Symbol();"},
        {"static int x ;", "extern double Lots ;"}, {"    x = AccountBalance();", "    Lots = Symbol();"});
  // A comment between the name and "=" stays with the declaration.
  const std::string m = std::string(markers::MarkOpen) + "3" + std::string(markers::MarkClose);
  Check({"double bal /* start */ = AccountBalance();", "double eq " + m + " = AccountEquity();",
         "/* lead */ string sym = Symbol();"},
        {"double bal /* start */ ;", "double eq " + m + " ;", "/* lead */ string sym ;"},
        {"    bal = AccountBalance();", "    eq = AccountEquity();", "    sym = Symbol();"});
}

TEST_F(MoveGlobalInitialisersTest, CommentsOutStatementsAtFileScope) {
  Check({"Lots = 0.1;", "  i++;"}, {"//Lots = 0.1;", "//  i++;"}, {"Lots = 0.1;", "  i++;"});
  Check({"Print(\"a;b\"); // say"}, {"//Print(\"a;b\");// say"}, {"Print(\"a;b\");"});
  // What follows the ";" goes through the rules again.
  Check({"a = 1; int b = Period();"}, {"//a = 1;", "int b ;"}, {"a = 1;", "    b = Period();"});
  Check({"int a = Period(); b = 2;"}, {"int a ;", "// b = 2;"}, {"    a = Period();", " b = 2;"});
  Check({"}; x = 1; // one"}, {"// x = 1;// one"}, {" x = 1;"});
  Check({"x = f(/* a; b */ 1);"}, {"//x = f(/* a; b */ 1);"}, {"x = f(/* a; b */ 1);"});
  // A stray brace goes; its comment stays.
  Check({"}", "} // end"}, {"// end"}, {});
  EXPECT_TRUE(engine.TextChanged);
}

// Comment text never becomes code: a ";" in a comment or a literal of a
// declaration that spans lines cuts nothing.
TEST_F(MoveGlobalInitialisersTest, CommentsOfDeclarationsStayComments) {
  Unchanged({"extern color TrendUP = Blue,", "             TrendDN = Crimson; //Red; //Magenta;"});
  Unchanged({"extern double Lots = 0.1,   // was: Lots = 0.5; Risk = 2;",
             "              Risk = 1;     // was: Risk = 3;"});
  Unchanged({"string Names = \"a;\"", "   \"b;\";"});
  Check({"double Lots = 0.1,", "       Bal = AccountBalance(); // was: Bal = 2; Lots = 1;"},
        {"double Lots = 0.1,", "       Bal ; // was: Bal = 2; Lots = 1;"}, {"    Bal = AccountBalance();"});
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
  // Lists over several lines keep their lines; rebuilt declarations come out the same.
  Unchanged({"int a[3] = {1,", "   2,", "   3};", "int b = 1, c , d;", "double bal ;"});
  // A spliced directive passes with its continuation lines.
  Unchanged({"#define PIPS(x) \\", "   ((x) * Point * 10)", "#define TWO \\  ", "   Lots = 2; \\",
             "   Risk = 3;", "int k;"});
  // A constant is a declaration whose value stays where it is.
  Unchanged({"const int MaxTrades = 5;", "const string Sym = Symbol();",
             "static const double Step = MarketInfo(Symbol(), MODE_POINT);"});
  settings.Set("chkExpressionsNotAllowedGlobalScope", false);
  Unchanged({"double bal = AccountBalance();", "Lots = 0.1;", "}"});
}

// With comment folding off the lines of a block comment reach the rule as they stand.
TEST_F(MoveGlobalInitialisersTest, BlockCommentsPassWhole) {
  Unchanged({"/* settings", "   Lots = 0.5; Risk = 2;", "*/", "/* one line; */", "  /* a */ /* b */",
             "x = 1; /* opened", "   y = 2;", "   closed */ z = 3;", "int k;"});
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
