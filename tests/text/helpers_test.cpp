// String and number helpers.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "text/text.h"

namespace lumivex {
namespace {

TEST(StringHelpers, Table) {
  const std::tuple<int, std::string, std::string, std::string> parts[] = {
      {0, "abc", "", ""}, {-1, "abc", "", ""}, {5, "abc", "abc", "abc"}, {2, "abc", "ab", "bc"}};
  for (const auto& [n, s, left, right] : parts) {
    EXPECT_EQ(LeftStr(n, s), left) << n;
    EXPECT_EQ(RightStr(n, s), right) << n;
  }
  EXPECT_EQ(ChrStr(0), "");
  EXPECT_EQ(ChrStr(127), "\x7f");
  EXPECT_EQ(SpaceString(-1), "");
  EXPECT_EQ(SpaceString(3), "   ");
  EXPECT_EQ(DigitsOnly("ver1.2"), "12");
  const std::pair<std::string, std::string> points[] = {
      {".5", "5"}, {"Ver. 2.013", "2.013"}, {"1a2", "12"}, {"1.2.3", "1.2.3"}};
  for (const auto& [s, want] : points) EXPECT_EQ(DigitsAndPoints(s), want) << s;
  EXPECT_EQ(Trim(std::string("\0\t a b \r\n", 9)), "a b");
  EXPECT_EQ(Trim("\x81\x40"), "\x81\x40");
}

TEST(IntVal, ReadsLeadingIntegerAndSaturates) {
  const std::pair<std::string, int> cases[] = {
      {"", 0}, {"12ab", 12}, {"ab", 0}, {"  -42", -42}, {"\t+7", 7}, {"- 1", 0}, {std::string("1\0" "2", 3), 1},
      {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX}, {"99999999999999999999999", INT_MAX}, {"-99999999999999999999999", INT_MIN},
  };
  for (const auto& [s, want] : cases) EXPECT_EQ(IntVal(s), want) << s;
  EXPECT_EQ(AtoiCStr(" 15x"), 15);
  EXPECT_EQ(AtoiCStr(nullptr), 0);
}

TEST(FloatVal, LeadingDecimalNumberWithAPoint) {
  const std::pair<std::string, double> cases[] = {
      {"", 0.0}, {"2.013x", 2.013}, {"abc", 0.0}, {" -1.5", -1.5}, {".5", 0.5}, {"3.", 3.0},
      {"1,5", 1.0},  // the point is always "."
      {"inf", 0.0}, {"nan", 0.0}, {"1e3", 1000.0},
  };
  for (const auto& [s, want] : cases) EXPECT_DOUBLE_EQ(FloatVal(s), want) << s;
}

TEST(FormatNumber, TruncatesNeverRounds) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"##.###", "2.01", "2.01"}, {"##.#", "1.25", "1.2"}, {"##.#", "1.99", "1.9"}, {"##.###", "3", "3"},
      {"##.##", "123.4", "23.4"}, {"#.00", "1.5", "1.50"}, {"##", "1.5", "1"},      {"#,###", "1234", "1,234"},
      {"#,###", "12", "12"},      {"##", "-5", "-5"},
  };
  for (const auto& [pattern, value, want] : cases) EXPECT_EQ(FormatNumber(pattern, value), want) << pattern << " " << value;
}

TEST(LineTrimming, JoinTrimmedLinesAndSplitIndent) {
  const std::pair<std::string, std::string> joins[] = {
      {"a\r\n  b\r\n", "ab"}, {"a\r\n\r\n b ", "ab"}, {"", ""}, {"a\nb", "a\nb"}};
  for (const auto& [text, want] : joins) EXPECT_EQ(JoinTrimmedLines(text), want) << text;
  const std::tuple<std::string, std::string, std::string> indents[] = {
      {"\t  x = 1; ", "\t  ", "x = 1;"}, {"x", "", "x"},
      {"   ", "", "   "},  // white space only: the line stays as it was
  };
  for (const auto& [before, indent, after] : indents) {
    std::string line = before;
    EXPECT_EQ(SplitIndent(line), indent) << before;
    EXPECT_EQ(line, after) << before;
  }
}

}  // namespace
}  // namespace lumivex
