#include "pipeline/charset.h"

#include <gtest/gtest.h>

#include <system_error>

#include "pipeline/support/road_fakes.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

// utf8 in the iconv character set charset, repeated to at least minBytes.
std::string In(const char* charset, std::string_view utf8, std::size_t minBytes = 0) {
  const std::string once = *TranscodeStrict(charset, "UTF-8", utf8);
  std::string out = once;
  while (out.size() < minBytes) out += once;
  return out;
}

constexpr std::string_view kJapanese = "// 買い注文の条件をチェックする\r\nint start() { return(0); }\r\n";
constexpr std::string_view kKanjiOnly = "// 売買条件\r\n";
constexpr std::string_view kRussian = "// Привет мир, это советник для торговли\r\nint start() { return(0); }\r\n";

TEST(DetectCharset, NamesTheSetAndTheLegacyCodePage) {
  struct Case { std::string label, bytes, name, codepage; };
  const std::vector<Case> cases = {
      {"Empty", "", "", ""},
      {"Ascii", "int a;", "us-ascii", ""},
      {"Utf8", "// あ", "utf-8", ""},
      {"Utf8SignatureWinsOverShiftJisBody", "\xEF\xBB\xBF" + In("CP932", kJapanese), "utf-8", ""},
      {"ShiftJisShort", In("CP932", "あ"), "shift_jis", ""},
      {"ShiftJisKanjiOnly", In("CP932", kKanjiOnly), "shift_jis", ""},
      {"ShiftJisLong", In("CP932", kJapanese, 1000000), "shift_jis", ""},
      {"EucJpShort", In("EUC-JP", "あ"), "euc-jp", ""},
      {"EucJpKanjiOnly", In("EUC-JP", kKanjiOnly), "euc-jp", ""},
      {"Utf16BeMark", "\xFE\xFF" + In("UTF-16BE", kJapanese), "UTF-16BE", ""},
      {"Utf16LeNoMark", In("UTF-16LE", kJapanese), "UTF-16LE", ""},
      {"Utf16BeNoMark", In("UTF-16BE", kJapanese), "UTF-16BE", ""},
      {"Windows1251", In("WINDOWS-1251", kRussian), "", "windows-1251"},
      {"LatinCapitalsOnly", In("WINDOWS-1252", "// ÉÀ\r\nint start()\r\n{\r\n   double a = 1.0; // \\ and ~\r\n}\r\n"), "", "ISO-8859-1"},
      {"Gb18030", In("GBK", "// 买入条件和卖出条件\r\n", 200000), "", "GB18030"},
      {"EucKr", In("EUC-KR", "// 매수 조건과 매도 조건\r\n", 200000), "", "EUC-KR"},
      {"Iso2022Jp", In("ISO-2022-JP", kJapanese), "", "ISO-2022-JP"},
  };
  for (const Case& c : cases) {
    const CharsetInfo info = DetectCharsetInfo(c.bytes);
    EXPECT_EQ(info.name, c.name) << c.label;
    EXPECT_EQ(info.codepage, c.codepage) << c.label;
  }
}

TEST(DetectCharset, ReadsTheFileOrThrows) {
  const testing::RoadTempDir dir;
  EXPECT_EQ(DetectCharset(dir.Write("a.mq4", In("CP932", kJapanese))), "shift_jis");
  EXPECT_THROW(DetectCharset((dir.path() / "missing").string()), std::system_error);
  EXPECT_THROW(DetectCharset(dir.path().string()), std::system_error);  // a folder
}

TEST(IsStrictUtf8, RefusesWhatIsNotWellFormed) {
  EXPECT_TRUE(IsStrictUtf8("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"));
  for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "a\xE3\x81"})
    EXPECT_FALSE(IsStrictUtf8(bad)) << bad;
}

TEST(Utf8ToShiftJis, Table) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xE3\x81\x82", "\x82\xA0"},
      {"x\xC3\xA9y", "x y"},                // no code page 932 form: a blank
      {"\"a\\n\"", "\"a\\n\""},             // 0x5C stays a backslash, not a yen sign
      {"\xE3\x80\x9C", "\x81\x60"},
      {"\xEF\xBB\xBFint", "int"},           // the signature is dropped
      {"a\xF0\x9F\x98\x80z", "a  z"},       // a surrogate pair: two blanks
      {"a\xE3\x81", "a "},                  // cut short at the end
      {"\xC3" "A", " A"},                   // the byte that broke a sequence is kept
      {"\xC0\x80" "A", "  A"},              // an overlong zero does not end the text
      {"\xE0\x80\x80" "A", " A"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Utf8ToShiftJis(in), out) << in;
}

TEST(Utf8DecodePass, CountsWhatItWritesAndReadsNothingPastTheData) {
  const std::string buffer = "a\xF0\x9F\x98\x80\xE3\x81\x82";
  std::u16string out;
  EXPECT_EQ(Utf8DecodePass(nullptr, buffer), 4);
  EXPECT_EQ(Utf8DecodePass(&out, buffer), 4);
  EXPECT_EQ(out, u"a\xD83D\xDE00\u3042");
  // The view stops inside a sequence whose missing bytes lie right behind it.
  out.clear();
  EXPECT_EQ(Utf8DecodePass(&out, std::string_view(buffer).substr(0, 7)), 4);
  EXPECT_EQ(out, u"a\xD83D\xDE00\xFFFD");
}

TEST(Utf16ToShiftJis, Table) {
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {u"\uFEFFab", "ab"},
      {u"a\xD83D\xDE00" u"b", "a  b"},
      {u"\xDE00" u"b\xD83D", " b "},
      {u"\u00E9\u3042\u00E9x", " \x82\xA0 x"},
      {std::u16string(u"a\0b", 3), "a"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Utf16ToShiftJis(in), out) << out;
  EXPECT_EQ(Utf16ToCodePage932(u"\uFEFF\u00E9\u3042"), "??\x82\xA0");  // the default character
}

TEST(FileRoadConversions, EucJpShiftJisAndLegacyCodePages) {
  const std::string text = std::string(kJapanese) + "〜";
  EXPECT_EQ(EucJpToShiftJis(In("EUC-JP", text)), In("CP932", text));
  EXPECT_EQ(EucJpToShiftJis(std::string("a\xFF" "b\xA4\0c", 6)), "a b ");
  EXPECT_EQ(ShiftJisToUtf16Le(std::string("\\~\x82\xA0\xB6\x80" "a\0\x82", 10)),
            In("UTF-16LE", std::string("\\~あｶ・a\0・", 17)));
  const std::string sjis = In("CP932", kJapanese);
  EXPECT_EQ(Utf16ToShiftJis(Utf16LeToUnits(ShiftJisToUtf16Le(sjis))), sjis);
  EXPECT_EQ(LegacyToUtf16Le(In("WINDOWS-1251", kRussian), "windows-1251"), In("UTF-16LE", kRussian));
  EXPECT_EQ(LegacyToUtf16Le(In("GBK", "买入") + "\x81\x20", "GB18030"), std::nullopt);  // not all GB18030
  EXPECT_EQ(LegacyToUtf16Le("abc", "no-such-codepage"), std::nullopt);
}

}  // namespace
}  // namespace lumivex
