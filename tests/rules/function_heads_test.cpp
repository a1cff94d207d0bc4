#include "rules/function_heads.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumivex {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct HeadCase {
  std::string code;
  std::vector<std::string> following;
  HeadKind kind;
};

void ExpectKinds(const std::vector<HeadCase>& cases, int lookAhead) {
  for (const HeadCase& c : cases) {
    const std::string following = Lines(c.following);
    LineCursor unread{following};
    EXPECT_EQ(JudgeHead(c.code, unread, lookAhead), c.kind) << c.code << " / " << following;
    EXPECT_EQ(unread.Rest(), following) << "the look-ahead consumes nothing: " << c.code;
  }
}

TEST(JudgeHead, DefinitionsAreHeads) {
  ExpectKinds({{"int init()", {"{", "x = 1;"}, HeadKind::Head},
               {"int init() {", {}, HeadKind::Head},
               {"  double Lot(double a) // size", {"{"}, HeadKind::Head},
               {"int Sum(int a,", {"   int b)", "{"}, HeadKind::Head},
               {"int One() { return(1); }", {}, HeadKind::Head},
               {"void f() { if (a) { b(); } }", {}, HeadKind::Head},
               // ")" two lines on: the window reaches two lines behind it.
               {"int f(int a,", {"int b,", "int c)", "", "{"}, HeadKind::Head}},
              kHeadLookAhead);
}

TEST(JudgeHead, PrototypesCallsAndDeclarationsAreNot) {
  ExpectKinds({{"int f();", {"{"}, HeadKind::NotHeadLike},
               {"static double Rate()", {"{"}, HeadKind::NotHeadLike},
               {"double d = MathMax(a,", {"b);", "{"}, HeadKind::Initialiser},
               {"int n = f(x)", {"{"}, HeadKind::Initialiser},
               // A ";" close behind ")": a prototype over two lines.
               {"int f(int a)", {";", "{"}, HeadKind::NotHead},
               {"int f()", {"x = 1;", "{"}, HeadKind::NotHead},
               {"int f()", {"int g()", "int h()"}, HeadKind::NotHead},
               {"int f(int a,", {"int b,", "int c)", "", "", "{"}, HeadKind::NotHead}},
              kHeadLookAhead);
}

TEST(JudgeHead, WindowLengthIsTheCallersChoice) {
  const HeadCase late{"int start()", {"", "", "", "", "{"}, HeadKind::NotHead};
  ExpectKinds({late}, kHeadLookAhead);
  ExpectKinds({{late.code, late.following, HeadKind::Head}}, 5);
}

TEST(JoinHead, TakesLinesUpToTheOpeningBrace) {
  struct Case {
    std::string code;
    std::vector<std::string> following;
    std::string joined;
    std::string rest;
  };
  const std::vector<Case> cases = {
      {"int f()", {"{", "x = 1;"}, "int f(){\r\n", "x = 1;\r\n"},
      {"int Sum(int a,", {"   int b)", "{", "}"}, "int Sum(int a,   int b)\r\n{\r\n", "}\r\n"},
      {"int f() {", {"x = 1;"}, "int f() {", "x = 1;\r\n"},
      {"int f()", {"x"}, "int f()x\r\n", ""},
  };
  for (const Case& c : cases) {
    LineCursor unread{Lines(c.following)};
    std::string code = c.code;
    JoinHead(code, unread);
    EXPECT_EQ(code, c.joined) << c.code;
    EXPECT_EQ(unread.Rest(), c.rest) << c.code;
  }
}

TEST(HeadTypeAndName, AsTheHeadWritesThem) {
  struct Case {
    std::string code, type, name;
  };
  for (const Case& c : std::vector<Case>{{"double  Lot (int a)", "double", " Lot "},
                                         {"   int f()", "int", "f"},
                                         {"static int f()", "", ""},
                                         {"integer f()", "", ""}}) {
    EXPECT_EQ(HeadType(c.code), c.type) << c.code;
    EXPECT_EQ(HeadName(c.code), c.name) << c.code;
  }
}

}  // namespace
}  // namespace lumivex
