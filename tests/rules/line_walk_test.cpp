#include "rules/line_walk.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

TEST(SplitCodeAndComment, CutsAtTheFirstCommentOutsideLiterals) {
  const char* cases[][3] = {{"x = 1; // one", "x = 1; ", "// one"},
                            {"s = \"http://a\"; // b // c", "s = \"http://a\"; ", "// b // c"},
                            {"s = \"//\";", "s = \"//\";", ""}};
  for (const auto& c : cases) {
    const LineParts parts = SplitCodeAndComment(c[0]);
    EXPECT_EQ(parts.code + "|" + parts.comment, std::string(c[1]) + "|" + c[2]) << c[0];
  }
}

TEST(IsHeadLine, TellsHeadCandidates) {
  for (const char* head : {"int start()", "  void f(int a)", "string s() { return(\"\"); }",
                           "bool f() { if (a) b(); }", "datetime t()"}) {
    EXPECT_TRUE(IsHeadLine(head)) << head;
  }
  for (const char* other : {"int f(int a);", "int x;", "integer(a)", "x = int (a)", "void f() }",
                            "void f() { } }", "for (int i = 0; i < n; i++)"}) {
    EXPECT_FALSE(IsHeadLine(other)) << other;
  }
}

TEST(WalkCodeLines, RewritesCodePartsAndPassesCommentLines) {
  const std::string out = WalkCodeLines("a( // x\r\n  // whole\r\nb);\r\nc;",
                                        [](std::string& code, LineCursor& unread) {
                                          if (code == "a( ") {
                                            code += unread.Fetch();
                                            code += unread.Fetch();
                                          }
                                          code = "[" + code + "]";
                                        });
  // The taken comment line is consumed; a last line without a line end gets one.
  EXPECT_EQ(out, "[a(   // wholeb);]// x\r\n[c;]\r\n");
  EXPECT_TRUE(IsCommentLine(" \t// x"));
}

}  // namespace
}  // namespace lumivex
