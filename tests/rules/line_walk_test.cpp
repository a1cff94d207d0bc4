#include "rules/line_walk.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

TEST(IsHeadLine, TellsHeadCandidates) {
  for (const char* head :
       {"  void f(int a)", "string s() { return(\"\"); }", "bool f() { if (a) b(); }",
        "void Msg(string s = \"\x83\x7d\")", "string Join(string a, string sep = \";\")",
        "void Brace(string open = \"}\", int c = '}')"})
    EXPECT_TRUE(IsHeadLine(head)) << head;
  for (const char* other :
       {"int f(int a);", "integer(a)", "x = int (a)", "void f() }", "void f() { } }",
        "void Msg(string s = \"\x83\x7b\");"})
    EXPECT_FALSE(IsHeadLine(other)) << other;
}

}  // namespace
}  // namespace lumivex
