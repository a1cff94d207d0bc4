#include "rules/function_heads.h"

#include <vector>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Lines;

struct HeadCase {
  std::string code;
  std::vector<std::string> following;
  HeadKind kind;
  int lookAhead = kHeadLookAhead;
};

TEST(JudgeHead, TellsDefinitionsFromPrototypesCallsAndDeclarations) {
  const std::vector<HeadCase> cases = {
      {"int init()", {"{", "x = 1;"}, HeadKind::Head},
      {"int Sum(int a,", {"   int b)", "{"}, HeadKind::Head},
      {"int One() { return(1); }", {}, HeadKind::Head},
      // ")" two lines on: the window reaches two lines behind it, no further.
      {"int f(int a,", {"int b,", "int c)", "", "{"}, HeadKind::Head},
      {"int f(int a,", {"int b,", "int c)", "", "", "{"}, HeadKind::NotHead},
      {"int start()", {"", "", "", "", "{"}, HeadKind::Head, 5},
      {"int f();", {"{"}, HeadKind::NotHeadLike},
      {"static double Rate()", {"{"}, HeadKind::NotHeadLike},
      {"double d = MathMax(a,", {"b);", "{"}, HeadKind::Initialiser},
      {"int f(int a)", {";", "{"}, HeadKind::NotHead},   // prototype over two lines
      {"int f()", {"x = 1;", "{"}, HeadKind::NotHead},   // ";" before "{"
      {"int f()", {"int g()", "int h()"}, HeadKind::NotHead},
      // A header quoted in a comment that is not folded away: the window
      // stops at the comment's edge.
      {"int start() is the entry", {"*/", "{"}, HeadKind::NotHead},
      {"int f() /* x */", {"{"}, HeadKind::Head},
      // Literals of default values steer nothing.
      {"string Join(string a,", {"   string sep = \";\")", "{"}, HeadKind::Head},
      {"void Log(string s = \")\";", {"{"}, HeadKind::NotHeadLike},
      {"void Log(string s = \"{\");", {"{"}, HeadKind::NotHeadLike},
  };
  for (const HeadCase& c : cases) {
    const std::string following = Lines(c.following);
    LineCursor unread{following};
    EXPECT_EQ(JudgeHead(c.code, unread, c.lookAhead), c.kind) << c.code << " / " << following;
    EXPECT_EQ(unread.Rest(), following) << "the look-ahead consumes nothing: " << c.code;
  }
}

struct JoinCase {
  std::string code;
  std::vector<std::string> following;
  std::string joined;
  std::vector<std::string> left;  // the unread lines afterwards
};

// The head and its code up to the "{" become one line; comments and blank
// lines met on the way follow it in their order, so a head once joined is
// never joined again. A brace as a second byte is no brace.
TEST(JoinHead, JoinsTheCodeUpToTheBraceAndKeepsTheRestAsLines) {
  const std::vector<JoinCase> cases = {
      {"int f()", {"{", "}"}, "int f(){\r\n", {"}"}},
      {"int Sum(int a,", {"   int b)", "{", "}"}, "int Sum(int a,   int b){\r\n", {"}"}},
      {"int f(int a,", {"   int b) // second", "{ // open", "}"}, "int f(int a,   int b) { \r\n",
       {"// second", "// open", "}"}},
      {"int start()", {"// a", "", "// b", "{", "}"}, "int start(){\r\n", {"// a", "", "// b", "}"}},
      {"double", {"Rate()", "{"}, "double Rate(){\r\n", {}},  // two names stay two
      // No body follows: a statement comes first, or the text ends.
      {"int f()", {"// a", "x = 1;", "{"}, "int f()", {"// a", "x = 1;", "{"}},
      {"int f(int a,", {"int b)", "// c", "}"}, "int f(int a,", {"int b)", "// c", "}"}},
      {"int f() {", {"}"}, "int f() {", {"}"}},
      {"void Msg(string s = \"\x83\x7d\")", {"{", "}"}, "void Msg(string s = \"\x83\x7d\"){\r\n", {"}"}},
      // Never across the edge of a "/* */" comment left in the text.
      {"int start() is it", {"*/", "int OnInit()", "{"}, "int start() is it",
       {"*/", "int OnInit()", "{"}},
      {"int f()", {"/* old", "*/", "{"}, "int f()", {"/* old", "*/", "{"}},
  };
  for (const JoinCase& c : cases) {
    LineCursor unread{Lines(c.following)};
    std::string code = c.code;
    JoinHead(code, unread);
    EXPECT_EQ(code, c.joined) << c.code;
    EXPECT_EQ(unread.Rest(), Lines(c.left)) << c.code;
  }
}

TEST(HeadTypeAndName, AsTheHeadWritesThem) {
  EXPECT_EQ(HeadType("double  Lot (int a)"), "double");
  EXPECT_EQ(HeadName("double  Lot (int a)"), " Lot ");
}

}  // namespace
}  // namespace lumivex
