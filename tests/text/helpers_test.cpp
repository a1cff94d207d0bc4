// String and number helpers, and character conversion.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <stdexcept>
#include <string>

#include "text/text.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

TEST(StringHelpers, Table) {
  EXPECT_EQ(LeftStr(0, "abc") + RightStr(-1, "abc") + ChrStr(0) + SpaceString(-1), "");
  EXPECT_EQ(LeftStr(5, "abc") + "|" + RightStr(5, "abc") + "|" + RightStr(2, "abc"), "abc|abc|bc");
  const std::pair<std::string, std::string> points[] = {{".5", "5"}, {"Ver. 2.013", "2.013"}, {"1a2.3.", "12.3."}};
  for (const auto& [s, want] : points) EXPECT_EQ(DigitsAndPoints(s), want) << s;
  EXPECT_EQ(Trim(std::string("\0\t a b \r\n", 9)), "a b");
}

TEST(NumberReaders, IntegerSaturatesFloatTakesOnlyADecimalNumber) {
  const std::pair<std::string, int> ints[] = {
      {"", 0}, {"12ab", 12}, {"ab", 0}, {"  -42", -42}, {"- 1", 0}, {std::string("1\0" "2", 3), 1},
      {"-2147483648", INT_MIN}, {"2147483648", INT_MAX}, {"-99999999999999999999999", INT_MIN}};
  for (const auto& [s, want] : ints) EXPECT_EQ(IntVal(s), want) << s;
  EXPECT_EQ(AtoiCStr(nullptr), 0);
  const std::pair<std::string, double> floats[] = {
      {"", 0.0}, {"2.013x", 2.013}, {"abc", 0.0}, {" -1.5", -1.5}, {".5", 0.5}, {"1,5", 1.0}, {"inf", 0}, {"nan", 0}};
  for (const auto& [s, want] : floats) EXPECT_DOUBLE_EQ(FloatVal(s), want) << s;
}

// A number beyond the range of a double reads as 0 or as infinity by its own
// size, whatever follows it.
TEST(NumberReaders, OutOfRangeByTheNumberRead) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const std::pair<std::string, double> cases[] = {
      {"0." + std::string(324, '0') + "1", 0.0},
      {"0." + std::string(324, '0') + "1 e9", 0.0},
      {"1" + std::string(309, '0') + "e-0", kInf},
      {"1" + std::string(309, '0') + " e-5", kInf},
      {"-1" + std::string(309, '0'), -kInf},
      {"1e400", kInf},
      {"1e-400", 0.0},
      {"12.5e-99999999999999999999", 0.0},
      {"0.01e99999999999999999999", kInf}};
  for (const auto& [s, want] : cases) EXPECT_EQ(FloatVal(s), want) << s.substr(0, 12);
}

TEST(FormatNumber, TruncatesNeverRounds) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"##.###", "2.01", "2.01"}, {"##.#", "1.99", "1.9"}, {"##.###", "3", "3"}, {"##.##", "123.4", "23.4"},
      {"#.00", "1.5", "1.50"},    {"##", "1.5", "1"},     {"#,###", "1234", "1,234"}, {"#,###", "12", "12"}};
  for (const auto& [pattern, value, want] : cases) EXPECT_EQ(FormatNumber(pattern, value), want) << pattern << value;
}

TEST(LineTrimming, JoinTrimmedLinesAndSplitIndent) {
  const std::pair<std::string, std::string> joins[] = {{"a\r\n  b\r\n", "ab"}, {"a\r\n\r\n b", "ab"}, {"a\nb", "a\nb"}};
  for (const auto& [text, want] : joins) EXPECT_EQ(JoinTrimmedLines(text), want) << text;
  std::string line = "\t  x = 1; ";
  EXPECT_EQ(SplitIndent(line), "\t  ");
  EXPECT_EQ(line, "x = 1;");
  line = "   ";  // white space only: the line stays as it was
  EXPECT_EQ(SplitIndent(line), "");
  EXPECT_EQ(line, "   ");
}

TEST(Transcode, ReplacesEachFailingUnitAndReadsOnAfresh) {
  EXPECT_EQ(Transcode("UTF-8", "CP932", "\x82\xa0\\", "?"), "\xe3\x81\x82\\");  // 0x5C stays a backslash
  EXPECT_EQ(Transcode("CP932", "UTF-8", "a\xff" "b\xe3", "?"), "a?b?");         // bad byte, cut-off end
  EXPECT_EQ(Transcode("CP932", "UTF-16LE", std::string("\x00\xd8" "A\x00", 4), " ", 2), " A");  // lone surrogate
  EXPECT_EQ(Transcode("UTF-32LE", "UTF-8", std::string(1000, 'a'), "?").size(), 4000u);  // output grows
  EXPECT_EQ(TranscodeStrict("CP932", "UTF-8", "a\xff"), std::nullopt);
  EXPECT_EQ(TranscodeStrict("CP932", "UTF-8", "a"), "a");
  EXPECT_EQ(TranscodeStrict("NO-SUCH-SET", "UTF-8", "a"), std::nullopt);
  EXPECT_THROW(Transcode("NO-SUCH-SET", "UTF-8", "a", "?"), std::runtime_error);
}

}  // namespace
}  // namespace lumivex
