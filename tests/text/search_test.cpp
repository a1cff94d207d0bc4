// Searches: 1-based positions, 0 for "not found", two-byte characters whole.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/search_model.h"
#include "text/text.h"

namespace lumivex {
namespace {

struct Search { int n; std::string needle, text; int want; };

// 0x95 0x5C is one character whose second byte is "\"; 0x81 0x40 one whose second byte is "@".
const std::string kHyou = "\x95\x5c";
const std::string kSpace = "\x81\x40";

template <typename Fn>
void ExpectPositions(Fn pos, std::initializer_list<Search> cases) {
  for (const auto& c : cases) EXPECT_EQ(pos(c.n, c.needle, c.text), c.want) << c.needle << " in " << c.text;
}

TEST(PosNth, TableWithAndWithoutCase) {
  ExpectPositions(PosNth, {
      {0, "ab", "xxab", 3}, {1, "aa", "aaa", 2}, {-1, "a", "aaa", 0}, {0, "", "abc", 0}, {0, "@", kSpace, 0},
      {0, "\x81", "a\x81", 2},        // a lead byte as the last byte is no pair
      {0, "a\x81", "a" + kSpace, 1},  // a match may end inside a character
  });
  ExpectPositions(PosNthNoCase, {
      {0, "print", "x PRINT", 3}, {1, "PRINT", "print Print", 7}, {0, "\xc4", "\xe4", 0}, {0, "@", kSpace + "@", 3},
      {0, "a", "\x83\x41", 0},  // a folded second byte stays inside its character
  });
}

TEST(PosWord, Table) {
  ExpectPositions(PosWord, {
      {0, "int", "print int", 7}, {0, "int", "int_x", 0}, {0, "a", "x[a]", 3}, {0, "Ask", "Ask\r\n", 1},
      {0, "a", "x\ra", 0}, {0, "a", "x\na", 3}, {0, "a", "a\n", 0}, {1, "a", "a a", 3}, {0, "a", "`a", 0},
      {0, "a", kHyou + "a", 3},  // a second byte "\" counts as a delimiter
      // A word running past the end is none (heap-sized texts: the sanitizers see such reads).
      {0, "abc", "a text on the heap ab", 0}, {0, "ab", "a text on the heap a", 0}, {0, "ab", "x ab", 3},
  });
}

// The random texts below cover the cut-and-count rules of these in depth.
TEST(ConditionalSearches, Table) {
  ExpectPositions(PosOutsideString, {{0, "x", "\"x\" x", 5}, {0, "x", "\"x", 0}, {0, "\"", "a\"b", 2}});
  ExpectPositions(PosOutsideLineComment, {{0, "x", "a // x", 0}, {0, "x", "a // b\r\nx", 9}});
  ExpectPositions(PosInCode, {
      {0, "x", "\"//\" x", 6},  // "//" inside a literal starts no comment
      {0, "x", "// x", 0}, {0, "x", "\"x", 0}, {0, "x", "a // \"x\"\r\nx", 11},
      {0, "\r\n", "// a\r\nb", 5},  // a line end ends the comment it is in
      {0, ";", "// a;\r\n", 0},
  });
  for (const auto& [text, want, changed] : {std::tuple{"f(a,b),c", 7, false}, {"f(),c", 4, true}}) {
    Engine engine;
    EXPECT_EQ(PosAtTopLevel(engine, 0, ",", text), want) << text;
    EXPECT_EQ(engine.TextChanged, changed) << text;  // masking "()" counts as a change
  }
}

TEST(LastPosMbcs, Table) {
  ExpectPositions([](int, std::string_view needle, std::string_view text) { return LastPosMbcs(needle, text); }, {
      {0, "ab", "abab", 3}, {0, "ba", "aaaaaaaaaaaaaaaa", 0}, {0, "", "a", 0}, {0, "abc", "ab", 0}, {0, "aa", "aaa", 2},
      {0, "@", kSpace, 2},           // the last byte is compared even as a second byte
      {0, "\x81", kSpace + "x", 0},  // the step back skips the lead byte
  });
}

// The random texts agree with the plain scans and cut loops of the model.
namespace model = testing::model;

TEST(Searches, AgreeWithPlainScansOnRandomTexts) {
  std::mt19937 random(20261206);
  const std::string bytes[] = {"a", "x", "\"", "/", "\r", "\n", "(", ")", " ", "\x81", "@", "\x95", "\\", "M"};
  const std::string needles[] = {"x", "xa", "a\x81", "\x81", "\"", "//", "\r\n", ")", "a", "@", "\\", "\x81@"};
  for (int round = 0; round < 6000; ++round) {
    std::string text;
    for (int i = static_cast<int>(random() % 24); i > 0; --i) text += bytes[random() % std::size(bytes)];
    const std::string& needle = needles[random() % std::size(needles)];
    const int n = static_cast<int>(random() % 3);
    SCOPED_TRACE(std::to_string(n) + " '" + needle + "' in '" + text + "'");
    const std::string masked = model::MaskEmptyParens(text);
    Engine engine;
    ASSERT_EQ(PosNth(n, needle, text), model::PosNth(n, needle, text));
    ASSERT_EQ(PosOutsideString(n, needle, text), model::OutsideString(n, needle, text));
    ASSERT_EQ(PosOutsideLineComment(n, needle, text), model::OutsideNest(n, needle, text, "//", "\r\n"));
    ASSERT_EQ(PosAtTopLevel(engine, n, needle, text), model::OutsideNest(n, needle, masked, "(", ")"));
  }
}

}  // namespace
}  // namespace lumivex
