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
  };
  for (const HeadCase& c : cases) {
    const std::string following = Lines(c.following);
    LineCursor unread{following};
    EXPECT_EQ(JudgeHead(c.code, unread, c.lookAhead), c.kind) << c.code << " / " << following;
    EXPECT_EQ(unread.Rest(), following) << "the look-ahead consumes nothing: " << c.code;
  }
}

TEST(JoinHead, TakesLinesUpToTheOpeningBrace) {
  LineCursor unread{"   int b)\r\n{\r\n}\r\n"};
  std::string code = "int Sum(int a,";
  JoinHead(code, unread);
  EXPECT_EQ(code, "int Sum(int a,   int b)\r\n{\r\n");
  EXPECT_EQ(unread.Rest(), "}\r\n");
  JoinHead(code = "int f()", unread);  // the text ends first
  EXPECT_EQ(code, "int f()}\r\n");
}

TEST(HeadTypeAndName, AsTheHeadWritesThem) {
  EXPECT_EQ(HeadType("double  Lot (int a)"), "double");
  EXPECT_EQ(HeadName("double  Lot (int a)"), " Lot ");
}

}  // namespace
}  // namespace lumivex
