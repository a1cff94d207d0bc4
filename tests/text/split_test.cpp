// Splits (head returned, tail left in the text) and the line helpers.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "text/text.h"

namespace lumivex {
namespace {

struct Split {
  std::string sep, text, head, tail;
};

void ExpectSplits(const std::function<std::string(std::string_view, std::string&)>& split,
                  std::initializer_list<Split> cases) {
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(split(c.sep, text), c.head) << "'" << c.sep << "' on '" << c.text << "'";
    EXPECT_EQ(text, c.tail) << "'" << c.sep << "' on '" << c.text << "'";
  }
}

TEST(Splits, SeparatorFoundByEachSearch) {
  ExpectSplits(Fetch, {{",", "a,b,c", "a", "b,c"}, {",", "abc", "abc", ""}, {"", "abc", "abc", ""},
                       {"\r\n", "\r\n", "", ""}, {"\\", "\x95\x5c\\x", "\x95\x5c", "x"}});
  ExpectSplits(FetchOutsideString, {{",", "\"a,b\",c", "\"a,b\"", "c"}, {",", "\"a,b", "\"a,b", ""}});
  ExpectSplits(FetchInCode, {{";", "x; // y;", "x", " // y;"}, {";", "s = \";\"; t", "s = \";\"", " t"}});
  ExpectSplits(FetchWord, {{"int", "print int x", "print ", " x"}, {"int", "print", "print", ""}});
  ExpectSplits(FetchLast, {{"\r\n", "a\r\nb\r\nc", "a\r\nb", "c"}, {"aa", "aaa", "a", ""}, {"", "abc", "abc", ""}});
  // The walk from the left does not overlap: "aa" in "aaa" is met once.
  ExpectSplits(FetchUpToLast, {{",", "a,b,c", "a,b", "c"}, {",", "a,b,", "a,b", ""}, {"aa", "aaa", "", "a"},
                               {",", "abc", "abc", ""}, {"", "abc", "abc", ""}});
  // Plain bytes, no two-byte rule; an empty separator matches at the start.
  ExpectSplits(FetchCStr, {{" (x86)", "C:\\Program Files (x86)\\x", "C:\\Program Files", "\\x"},
                           {" (x86)", "C:\\a", "C:\\a", ""}, {"", "abc", "", "abc"}, {"@", "\x81\x40", "\x81", ""}});
}

TEST(Splits, AtTopLevelReportsTheMasking) {
  Engine engine;
  ExpectSplits([&](std::string_view sep, std::string& text) { return FetchAtTopLevel(engine, sep, text); },
               {{",", "f(a,b),c", "f(a,b)", "c"}});
  EXPECT_FALSE(engine.TextChanged);
  std::string text = "f(),c";
  EXPECT_EQ(FetchAtTopLevel(engine, ",", text), "f()");
  EXPECT_TRUE(engine.TextChanged);
}

TEST(FindInCodeLine, FirstCodeLineHoldingTheKey) {
  Engine engine;
  EXPECT_TRUE(FindInCodeLine(engine, "// Print\r\n  Print(x);\r\n", "print"));
  EXPECT_EQ(engine.FoundLine, "  Print(x);");
  EXPECT_TRUE(FindInCodeLine(engine, "a\r\n  // Print", "PRINT"));  // blanks before "//" count as code
  EXPECT_EQ(engine.FoundLine, "  // Print");
  EXPECT_FALSE(FindInCodeLine(engine, "// print\r\nx", "print"));
  EXPECT_EQ(engine.FoundLine, "");
  EXPECT_FALSE(FindInCodeLine(engine, "print", ""));
}

TEST(LineCounts, CountLinesAndTailHasReturn) {
  const std::pair<std::string, int> lines[] = {{"", 0}, {"a", 1}, {"a\r\n", 1}, {"\r\n\r\n", 2}, {"a\r\nb", 2},
                                               {"a\nb\r", 1}};
  for (const auto& [text, want] : lines) EXPECT_EQ(CountLines(text), want) << text;
  const std::pair<std::string, bool> tails[] = {{"int f() {}\r\nreturn", true}, {"{ return(0); }", false},
                                                {"return", false}, {"}}\r\n returned", true}, {"", false}};
  for (const auto& [text, want] : tails) EXPECT_EQ(TailHasReturn(text), want) << text;
}

}  // namespace
}  // namespace lumivex
