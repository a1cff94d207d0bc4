// The line cursor: walking, putting lines back, the last line without "\r\n".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/line_cursor.h"

namespace lumivex {
namespace {

std::vector<std::string> Walk(LineCursor& cursor) {
  std::vector<std::string> lines;
  while (!cursor.Empty()) lines.push_back(cursor.Fetch());
  return lines;
}

TEST(LineCursor, WalksLinesLikeRepeatedFetch) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"a\r\nb\r\nc", {"a", "b", "c"}}, {"a\r\nb\r\n", {"a", "b"}}, {"\r\n\r\n", {"", ""}}, {"", {}},
      {"a\nb\r", {"a\nb\r"}},           {"\x95\x5c\r\nx", {"\x95\x5c", "x"}},
  };
  for (const auto& [text, lines] : cases) {
    LineCursor cursor(text);
    EXPECT_EQ(Walk(cursor), lines) << text;
  }
  LineCursor cursor("a,b;c");
  EXPECT_EQ(cursor.FetchView(","), "a");
  EXPECT_EQ(cursor.Fetch(";"), "b");
  EXPECT_EQ(cursor.Fetch(""), "c");
  EXPECT_TRUE(cursor.Empty());
}

TEST(LineCursor, PutBackComesFirst) {
  LineCursor cursor("a\r\nb\r\nc");
  cursor.Fetch();
  cursor.Fetch();
  cursor.PutBack("x\r\ny\r\n");  // fits the space already read
  EXPECT_EQ(Walk(cursor), (std::vector<std::string>{"x", "y", "c"}));

  LineCursor fresh("c");
  fresh.PutBack("longer than what was read\r\n");
  EXPECT_EQ(Walk(fresh), (std::vector<std::string>{"longer than what was read", "c"}));

  LineCursor self("one\r\ntwo");
  self.PutBack(std::string(self.FetchView()) + "\r\n");
  self.PutBack(self.Rest().substr(0, 3));  // a view into the cursor's own buffer
  EXPECT_EQ(self.TakeRest(), "oneone\r\ntwo");
  EXPECT_TRUE(self.Empty());
}

}  // namespace
}  // namespace lumivex
