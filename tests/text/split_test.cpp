// Splits (head returned, tail left in the text), the line helpers and the
// line cursor.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {
namespace {

struct Split { std::string sep, text, head, tail; };

void ExpectSplits(const std::function<std::string(std::string_view, std::string&)>& split,
                  std::initializer_list<Split> cases) {
  for (auto c : cases) {
    SCOPED_TRACE("'" + c.sep + "' on '" + c.text + "'");
    EXPECT_EQ(split(c.sep, c.text), c.head);
    EXPECT_EQ(c.text, c.tail);
  }
}

TEST(Splits, SeparatorFoundByEachSearch) {
  ExpectSplits(Fetch, {{",", "a,b,c", "a", "b,c"}, {",", "abc", "abc", ""}, {"", "abc", "abc", ""},
                       {"\\", "\x95\x5c\\x", "\x95\x5c", "x"}});
  ExpectSplits(FetchOutsideString, {{",", "\"a,b\",c", "\"a,b\"", "c"}});
  ExpectSplits(FetchInCode, {{";", "x; // y;", "x", " // y;"}, {";", "s = \";\"; t", "s = \";\"", " t"}});
  ExpectSplits(FetchWord, {{"int", "print int x", "print ", " x"}});
  ExpectSplits(FetchLast, {{"\r\n", "a\r\nb\r\nc", "a\r\nb", "c"}, {"aa", "aaa", "a", ""}});
  // The walk from the left does not overlap: "aa" in "aaa" is met once.
  ExpectSplits(FetchUpToLast, {{",", "a,b,c", "a,b", "c"}, {"aa", "aaa", "", "a"}, {",", "abc", "abc", ""}});
  // Plain bytes, no two-byte rule; an empty separator matches at the start.
  ExpectSplits(FetchCStr, {{" (x86)", "C:\\Program Files (x86)\\x", "C:\\Program Files", "\\x"},
                           {" (x86)", "C:\\a", "C:\\a", ""}, {"", "abc", "", "abc"}, {"@", "\x81\x40", "\x81", ""}});
}

TEST(FindInCodeLine, FirstCodeLineHoldingTheKey) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"// Print\r\n  Print(x);\r\n", "print", "  Print(x);"},
      {"a\r\n  // Print", "PRINT", "  // Print"},  // blanks before "//" count as code
      {"\x83\x41\r\nb a", "a", "b a"},             // a folded second byte stays inside its character
      {"// print\r\nx", "print", ""}, {"print", "", ""},
  };
  for (const auto& [text, key, found] : cases) {
    Engine engine;
    engine.FoundLine = "stale";
    EXPECT_EQ(FindInCodeLine(engine, text, key), !found.empty()) << text;
    EXPECT_EQ(engine.FoundLine, found) << text;
  }
}

TEST(LineCounts, CountLinesAndTailHasReturn) {
  const std::pair<std::string, int> lines[] = {{"", 0}, {"a", 1}, {"a\r\n", 1}, {"\r\n\r\n", 2}, {"a\nb\r", 1}};
  for (const auto& [text, want] : lines) EXPECT_EQ(CountLines(text), want) << text;
  const std::pair<std::string, bool> tails[] = {{"int f() {}\r\nreturn", true}, {"{ return(0); }", false},
                                                {"return", false}, {"}}\r\n returned", true}};
  for (const auto& [text, want] : tails) EXPECT_EQ(TailHasReturn(text), want) << text;
}

std::vector<std::string> Walk(LineCursor& cursor) {
  std::vector<std::string> lines;
  while (!cursor.Empty()) lines.push_back(cursor.Fetch());
  return lines;
}

TEST(LineCursor, WalksLinesAndPutsBackInFront) {
  LineCursor cursor("a\r\n\r\nb\nc\r");
  EXPECT_EQ(Walk(cursor), (std::vector<std::string>{"a", "", "b\nc\r"}));
  cursor = LineCursor("a\r\nb\r\nc");
  cursor.Fetch();
  cursor.Fetch();
  cursor.PutBack("x\r\ny\r\n");  // fits the space already read
  EXPECT_EQ(Walk(cursor), (std::vector<std::string>{"x", "y", "c"}));
  cursor = LineCursor("c");
  cursor.PutBack("longer than what was read\r\n");
  EXPECT_EQ(Walk(cursor), (std::vector<std::string>{"longer than what was read", "c"}));
  cursor = LineCursor("one\r\ntwo");
  cursor.PutBack(std::string(cursor.FetchView()) + "\r\n");
  cursor.PutBack(cursor.Rest().substr(0, 3));  // a view into the cursor's own buffer
  EXPECT_EQ(cursor.TakeRest(), "oneone\r\ntwo");
  EXPECT_TRUE(cursor.Empty());
}

}  // namespace
}  // namespace lumivex
