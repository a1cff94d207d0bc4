#include "pipeline/charset.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "support/charset_samples.h"

namespace lumivex {
namespace {

using testing::EncodeFromUtf8;
using testing::Repeated;

// Japanese comment lines of the kind MQL4 sources carry, beside plain code.
constexpr std::string_view kJapanese =
    "// 買い注文の条件をチェックする\r\nint start() { return(0); }\r\n";
constexpr std::string_view kKanjiOnly = "// 売買条件\r\n";
constexpr std::string_view kCode = "int start()\r\n{\r\n   double a = 1.0; // \\ and ~\r\n}\r\n";
constexpr std::string_view kRussian =
    "// Привет мир, это советник для торговли\r\nint start() { return(0); }\r\n";
constexpr std::string_view kFrench =
    "// Stratégie de réglage élémentaire, à tester\r\nint start() { return(0); }\r\n";
constexpr std::string_view kChinese = "// 买入条件和卖出条件\r\nint start() { return(0); }\r\n";
constexpr std::string_view kKorean = "// 매수 조건과 매도 조건\r\nint start() { return(0); }\r\n";

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string s;
  for (unsigned v : values) s.push_back(static_cast<char>(v));
  return s;
}

struct DetectCase {
  std::string label;
  std::string bytes;
  std::string name;
  std::string codepage;
};

class Detection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(Detection, NamesTheSet) {
  const DetectCase& c = GetParam();
  const CharsetInfo info = DetectCharsetInfo(c.bytes);
  EXPECT_EQ(info.name, c.name);
  EXPECT_EQ(info.codepage, c.codepage);
  EXPECT_EQ(DetectCharsetOfBytes(c.bytes), c.name);
  EXPECT_EQ(DetectLegacyCodepage(c.bytes), c.codepage);
}

std::vector<DetectCase> DetectCases() {
  const std::string bomUtf8 = "\xEF\xBB\xBF";
  const std::string sjis = EncodeFromUtf8(kJapanese, "CP932");
  const std::string euc = EncodeFromUtf8(kJapanese, "EUC-JP");
  return {
      {"Empty", "", "", ""},
      {"AsciiShort", "int a;", "us-ascii", ""},
      {"AsciiLong", Repeated(kCode, 100000), "us-ascii", ""},
      {"Utf8Short", "// あ", "utf-8", ""},
      {"Utf8Long", Repeated(kJapanese, 100000), "utf-8", ""},
      {"Utf8SignatureAscii", bomUtf8 + "int a;", "utf-8", ""},
      // The signature wins even over bytes that are not UTF-8.
      {"Utf8SignatureShiftJisBody", bomUtf8 + sjis, "utf-8", ""},
      {"ShiftJisShort", EncodeFromUtf8("あ", "CP932"), "shift_jis", ""},
      {"ShiftJisKanjiOnly", EncodeFromUtf8(kKanjiOnly, "CP932"), "shift_jis", ""},
      {"ShiftJisLine", sjis, "shift_jis", ""},
      {"ShiftJisLong", Repeated(sjis, 100000), "shift_jis", ""},
      {"ShiftJisWithBackslashAndTilde", EncodeFromUtf8(std::string(kJapanese) + std::string(kCode), "CP932"),
       "shift_jis", ""},
      {"EucJpShort", EncodeFromUtf8("あ", "EUC-JP"), "euc-jp", ""},
      {"EucJpKanjiOnly", EncodeFromUtf8(kKanjiOnly, "EUC-JP"), "euc-jp", ""},
      {"EucJpLine", euc, "euc-jp", ""},
      {"EucJpLong", Repeated(euc, 100000), "euc-jp", ""},
      {"Utf16LeMark", "\xFF\xFE" + EncodeFromUtf8(kJapanese, "UTF-16LE"), "UTF-16LE", ""},
      {"Utf16BeMark", "\xFE\xFF" + EncodeFromUtf8(kJapanese, "UTF-16BE"), "UTF-16BE", ""},
      {"Utf16LeMarkOnly", "\xFF\xFE", "UTF-16LE", ""},
      {"Utf16LeNoMark", EncodeFromUtf8(kJapanese, "UTF-16LE"), "UTF-16LE", ""},
      {"Utf16BeNoMark", EncodeFromUtf8(kJapanese, "UTF-16BE"), "UTF-16BE", ""},
      {"Utf16LeNoMarkLong", Repeated(EncodeFromUtf8(kCode, "UTF-16LE"), 100000), "UTF-16LE", ""},
      {"Windows1251", EncodeFromUtf8(kRussian, "WINDOWS-1251"), "", "windows-1251"},
      {"Windows1251Long", Repeated(EncodeFromUtf8(kRussian, "WINDOWS-1251"), 100000), "",
       "windows-1251"},
      {"Latin1", EncodeFromUtf8(kFrench, "WINDOWS-1252"), "", "ISO-8859-1"},
      {"LatinCapitalsOnly", EncodeFromUtf8("// ÉÀ\r\n" + std::string(kCode), "WINDOWS-1252"), "",
       "ISO-8859-1"},
      {"Gb18030Long", Repeated(EncodeFromUtf8(kChinese, "GBK"), 20000), "", "GB18030"},
      {"EucKrLong", Repeated(EncodeFromUtf8(kKorean, "EUC-KR"), 20000), "", "EUC-KR"},
      {"Iso2022Jp", EncodeFromUtf8(kJapanese, "ISO-2022-JP"), "", "ISO-2022-JP"},
  };
}

INSTANTIATE_TEST_SUITE_P(Charset, Detection, ::testing::ValuesIn(DetectCases()),
                         [](const auto& info) { return info.param.label; });

TEST(DetectCharsetFile, ReadsTheFileOrThrows) {
  const std::string path = ::testing::TempDir() + "charset_detect_sample.mq4";
  std::ofstream(path, std::ios::binary) << EncodeFromUtf8(kJapanese, "CP932");
  EXPECT_EQ(DetectCharset(path), "shift_jis");
  std::remove(path.c_str());
  EXPECT_THROW(DetectCharset(path), std::system_error);
  EXPECT_THROW(DetectCharset(::testing::TempDir()), std::system_error);  // a folder
}

// ---- UTF-8 to Shift-JIS -----------------------------------------------------

struct ConvertCase {
  std::string label;
  std::string in;
  std::string out;
};

class Utf8ToShiftJisTable : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(Utf8ToShiftJisTable, Converts) { EXPECT_EQ(Utf8ToShiftJis(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Charset, Utf8ToShiftJisTable,
    ::testing::ValuesIn(std::vector<ConvertCase>{
        {"Ascii", "int a = 1;\r\n", "int a = 1;\r\n"},
        {"Hiragana", "\xE3\x81\x82", "\x82\xA0"},
        {"NoCodePage932FormIsBlank", "x\xC3\xA9y", "x y"},
        {"BackslashStaysBackslash", "\"a\\n\"", "\"a\\n\""},
        {"YenSignBecomesBackslashByte", "\xC2\xA5", "\x5C"},
        {"OverlineBecomesTildeByte", "\xE2\x80\xBE", "\x7E"},
        {"WaveDash", "\xE3\x80\x9C", "\x81\x60"},
        {"FullwidthTilde", "\xEF\xBD\x9E", "\x81\x60"},
        {"SignatureDropped", "\xEF\xBB\xBFint", "int"},
        {"EndsAtFirstZero", std::string("ab\0cd", 5), "ab"},
        {"SurrogatePairIsTwoBlanks", "a\xF0\x9F\x98\x80z", "a  z"},
        {"CutShortAtEnd", "a\xE3\x81", "a "},
        {"BrokenSequenceKeepsNextByte", "\xC3" "A", " A"},
        {"StrayContinuationByte", "\x80" "A", " A"},
        {"OverlongZeroDoesNotEndText", "\xC0\x80" "A", "  A"},
        {"OverlongThreeByteZero", "\xE0\x80\x80" "A", " A"},
    }),
    [](const auto& info) { return info.param.label; });

// ---- the decoder pass -------------------------------------------------------

struct PassCase {
  std::string label;
  std::string in;
  std::u16string units;
};

class DecodePass : public ::testing::TestWithParam<PassCase> {};

TEST_P(DecodePass, CountsWhatItWrites) {
  const PassCase& c = GetParam();
  std::u16string out;
  EXPECT_EQ(Utf8DecodePass(nullptr, c.in), static_cast<int>(c.units.size()));
  EXPECT_EQ(Utf8DecodePass(&out, c.in), static_cast<int>(c.units.size()));
  EXPECT_EQ(out, c.units);
}

INSTANTIATE_TEST_SUITE_P(
    Charset, DecodePass,
    ::testing::ValuesIn(std::vector<PassCase>{
        {"OneTwoThreeBytes", "a\xC3\xA9\xE3\x81\x82", u"a\u00E9\u3042"},
        {"FourBytesArePair", "\xF0\x9F\x98\x80" "b", u"\xD83D\xDE00" u"b"},
        {"AboveUnicode", "\xF4\x90\x80\x80", u"\xFFFD"},
        {"FourByteCutShort", "\xF0\x9F\x98", u"\xFFFD"},
        {"ZeroBytesAreCharacters", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"LeadThenLead", "\xE3\xE3\x81\x82", u"\xFFFD\u3042"},
        {"InvalidLeadBytes", "\xF8\xFF", u"\xFFFD\xFFFD"},
    }),
    [](const auto& info) { return info.param.label; });

TEST(DecodePassBounds, ReadsNothingPastTheData) {
  // The view stops inside a sequence whose missing bytes lie right behind it.
  const std::string buffer = "a\xE3\x81\x82";
  std::u16string out;
  EXPECT_EQ(Utf8DecodePass(&out, std::string_view(buffer).substr(0, 3)), 2);
  EXPECT_EQ(out, u"a\xFFFD");
  EXPECT_EQ(Utf8ToUtf16(std::string("\xE3\x81\x82\0x", 5)), u"\u3042");  // ends at a zero
}

// ---- UTF-16 to Shift-JIS ----------------------------------------------------

struct Utf16Case {
  std::string label;
  std::u16string in;
  std::string out;
};

class Utf16ToShiftJisTable : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16ToShiftJisTable, Converts) {
  EXPECT_EQ(Utf16ToShiftJis(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Charset, Utf16ToShiftJisTable,
    ::testing::ValuesIn(std::vector<Utf16Case>{
        {"Hiragana", u"\u3042", "\x82\xA0"},
        {"LeadingMarkDropped", u"\uFEFFab", "ab"},
        {"InnerMarkIsBlank", u"a\uFEFFb", "a b"},
        {"SurrogatePairIsTwoBlanks", u"a\xD83D\xDE00" u"b", "a  b"},
        {"LoneHighSurrogateAtEnd", u"a\xD83D", "a "},
        {"LoneLowSurrogate", u"\xDE00" u"b", " b"},
        {"UnmappedStaysAligned", u"\u00E9\u3042\u00E9x", " \x82\xA0 x"},
        {"EndsAtFirstZero", std::u16string(u"a\0b", 3), "a"},
        {"HalfwidthKatakana", u"\uFF76", "\xB6"},
    }),
    [](const auto& info) { return info.param.label; });

TEST(Utf16ToCodePage932, UsesDefaultCharacterAndKeepsMark) {
  EXPECT_EQ(Utf16ToCodePage932(u"\u00E9\u3042"), "?\x82\xA0");
  EXPECT_EQ(Utf16ToCodePage932(u"\uFEFFa"), "?a");
  EXPECT_EQ(Utf16ToCodePage932(std::u16string(u"a\0b", 3)), "a");
}

// ---- what the file road decodes and encodes ---------------------------------

TEST(EucJpToShiftJis, MatchesCodePage932Encoding) {
  const std::string text = std::string(kJapanese) + "〜";
  EXPECT_EQ(EucJpToShiftJis(EncodeFromUtf8(text, "EUC-JP")), EncodeFromUtf8(text, "CP932"));
}

TEST(EucJpToShiftJis, BrokenBytesBecomeBlanks) {
  EXPECT_EQ(EucJpToShiftJis("a\xFF" "b"), "a b");
  EXPECT_EQ(EucJpToShiftJis("a\xA4"), "a ");
  EXPECT_EQ(EucJpToShiftJis(std::string("a\0b", 3)), "a");
}

TEST(ShiftJisToUtf16Le, Table) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a\\~", Bytes({0x61, 0, 0x5C, 0, 0x7E, 0})},
      {"\x82\xA0", Bytes({0x42, 0x30})},
      {"\x81\x60", Bytes({0x5E, 0xFF})},
      {"\xB6", Bytes({0x76, 0xFF})},
      {"\x80" "a", Bytes({0xFB, 0x30, 0x61, 0})},
      {"a\x82", Bytes({0x61, 0, 0xFB, 0x30})},
      {std::string("a\0b", 3), Bytes({0x61, 0, 0, 0, 0x62, 0})},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ShiftJisToUtf16Le(in), out) << in;
}

TEST(ShiftJisToUtf16Le, RoundTripsThroughUtf16ToShiftJis) {
  const std::string sjis = EncodeFromUtf8(std::string(kJapanese) + std::string(kCode), "CP932");
  EXPECT_EQ(Utf16ToShiftJis(Utf16LeToUnits(ShiftJisToUtf16Le(sjis))), sjis);
}

TEST(LegacyToUtf16Le, DecodesNamedCodePage) {
  EXPECT_EQ(LegacyToUtf16Le("\xEF\xF0", "windows-1251"), Bytes({0x3F, 0x04, 0x40, 0x04}));
  EXPECT_EQ(LegacyToUtf16Le("\xE9", "ISO-8859-1"), Bytes({0xE9, 0}));
  const std::string gbk = EncodeFromUtf8(kChinese, "GBK");
  EXPECT_EQ(LegacyToUtf16Le(gbk, "GB18030"), EncodeFromUtf8(kChinese, "UTF-16LE"));
  EXPECT_EQ(LegacyToUtf16Le("", "windows-1251"), "");
  EXPECT_EQ(LegacyToUtf16Le("abc", "no-such-codepage"), std::nullopt);
}

TEST(Utf16Units, ByteOrders) {
  EXPECT_EQ(Utf16BeToUnits(Bytes({0xFE, 0xFF, 0x30, 0x42, 0x00})), u"\uFEFF\u3042");
  EXPECT_EQ(Utf16LeToUnits(Bytes({0xFF, 0xFE, 0x42, 0x30, 0x00})), u"\uFEFF\u3042");
  EXPECT_EQ(Utf16LeToUnits(""), u"");
}

// ---- speed ------------------------------------------------------------------

TEST(CharsetSpeed, TenThousandLinesWellUnderASecond) {
  const std::string utf8 = Repeated(std::string(kJapanese) + "   x = \"é\"; // 😀\r\n", 10000 * 40);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(DetectCharsetOfBytes(utf8), "utf-8");
  const std::string sjis = Utf8ToShiftJis(utf8);
  const std::string utf16 = ShiftJisToUtf16Le(sjis);
  const std::string euc = EncodeFromUtf8(std::string(kJapanese), "EUC-JP");
  EXPECT_EQ(EucJpToShiftJis(Repeated(euc, 10000 * 40)).empty(), false);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
  EXPECT_GT(utf16.size(), sjis.size());
}

}  // namespace
}  // namespace lumivex
