// Replaces, their Text-changed rules, and the measures built on them.
#include <gtest/gtest.h>

#include <string>

#include "text/text.h"

namespace lumivex {
namespace {

struct Replace { int count; std::string newStr, oldStr, text, want; bool changed; };

using ReplaceFn = std::string (*)(Engine&, int, std::string_view, std::string_view, std::string_view);

void ExpectReplaces(ReplaceFn replace, std::initializer_list<Replace> cases) {
  for (const auto& c : cases) {
    Engine engine;
    SCOPED_TRACE(std::to_string(c.count) + " '" + c.oldStr + "' in '" + c.text + "'");
    EXPECT_EQ(replace(engine, c.count, c.newStr, c.oldStr, c.text), c.want);
    EXPECT_EQ(engine.TextChanged, c.changed);
  }
}

TEST(ReplaceText, Table) {
  ExpectReplaces(ReplaceText, {
      {0, "b", "a", "banana", "bbnbnb", true}, {2, "b", "a", "banana", "bbnbna", true}, {0, "", "a", "aba", "b", true},
      {0, "a", "a", "banana", "banana", true},  // same text, still flagged
      {0, "b", "x", "banana", "banana", false}, {0, "b", "", "banana", "banana", false},
      {0, "aa", "a", "aba", "aabaa", true},  // inserted text is not searched again
      {0, "b", "aa", "aaa", "ba", true},     // occurrences do not overlap
      {0, "/", "\\", "\x95\x5c\\", "\x95\x5c/", true},
  });
}

TEST(ReplaceWholeWord, Table) {
  ExpectReplaces(ReplaceWholeWord, {
      {0, "y", "x", "x+x1", "y+x1", true}, {0, "y", "x", "x\r", "y\r", true}, {0, "y", "x", "\nx", "\ny", true},
      {0, "y", "x", "x\n", "x\n", true},  {0, "y", "x", "a", "a", false},     {0, "y", "", "a", "a", false},
      {0, "y", "x", "ax", "ax", true},     // occurs, though not as a word: still flagged
      {1, "y", "x", "x1 x x", "x1 y x", true},  // non-words do not count towards the maximum
      // The byte before an occurrence comes from the whole text, and "[" and
      // "]" delimit words: renaming neither reaches into longer names nor skips arrays.
      {0, "X", "a", "a.aa", "X.aa", true}, {0, "j", "i", "i+ii+i", "j+ii+j", true},
      {0, "b", "arr", "arr[i]", "b[i]", true}, {0, "k", "i", "arr[i]", "arr[k]", true},
  });
}

TEST(ReplaceNth, Table) {
  ExpectReplaces(ReplaceNth, {
      {2, "X", "ab", "ab ab ab", "ab X ab", false},  // a number of 1 or more never flags
      {4, "X", "ab", "ab ab ab", "ab ab ab", false}, {0, "X", "ab", "ab ab ab", "X X X", true},
      {2, "X", "aa", "aaa", "aX", false},  // counted with overlap
  });
}

TEST(Measures, IndentWidthCountCharCountSubstring) {
  for (const auto& [line, want, changed] :
       {std::tuple{"\t  a", 6, true}, {"", 0, false}, {"   ", 3, false}, {"a\t", 0, false}}) {
    Engine engine;
    EXPECT_EQ(IndentWidth(engine, line), want) << line;
    EXPECT_EQ(engine.TextChanged, changed) << line;  // measured through ReplaceText
  }
  EXPECT_EQ(CountChar("\\", "\x95\x5c\\"), 2);  // second bytes count too
  EXPECT_EQ(CountChar("an", "banana"), 0);
  EXPECT_EQ(CountSubstring("\\", "\x95\x5c\\"), 1);
  EXPECT_EQ(CountSubstring("aa", "aaaa"), 2);
}

}  // namespace
}  // namespace lumivex
