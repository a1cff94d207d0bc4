// Character-set detection: structure first, then the Japanese sets against
// the rest, then uchardet, then ICU.
#include "encoding/detect.h"

#include <gtest/gtest.h>

#include "support/language_samples.h"

namespace lumivex {
namespace {

using namespace lumivex::testing;

std::string Detected(std::string_view bytes) {
  const CharsetInfo info = DetectCharsetInfo(bytes);
  return info.name + "|" + info.codepage;
}

// utf8 in charset, repeated to at least minBytes.
std::string In(const char* charset, std::string_view utf8, std::size_t minBytes = 0) {
  std::string out, once = EncodeAs(charset, utf8);
  do out += once; while (out.size() < minBytes);
  return out;
}

TEST(DetectCharset, EveryLanguageSample) {
  for (const LanguageSample& sample : LanguageSamples())
    EXPECT_EQ(Detected(SampleBytes(sample)), sample.detected) << sample.Label();
}

constexpr std::string_view kJapanese = "// 買い注文の条件をチェックする\r\nint start() { return(0); }\r\n";

TEST(DetectCharset, Structure) {
  struct Case { std::string label, bytes, expected; };
  const std::vector<Case> cases = {
      {"Empty", "", "|"},
      {"Ascii", "int a;", "us-ascii|"},
      {"Utf8", "// あ", "utf-8|"},
      {"Utf8SignatureWinsOverShiftJisBody", "\xEF\xBB\xBF" + In("CP932", kJapanese), "utf-8|"},
      {"Utf16LeNoMark", In("UTF-16LE", kJapanese), "UTF-16LE|"},
      {"Utf16BeNoMark", In("UTF-16BE", kJapanese), "UTF-16BE|"},
      {"Iso2022Jp", In("ISO-2022-JP", kJapanese), "|ISO-2022-JP"},
  };
  for (const Case& c : cases) EXPECT_EQ(Detected(c.bytes), c.expected) << c.label;
}

// Short texts, where the statistics have little to go on.
TEST(DetectCharset, ShortTexts) {
  struct Case { std::string label, bytes, expected; };
  const std::vector<Case> cases = {
      {"ShiftJisHiragana", In("CP932", "あ"), "shift_jis|"},
      {"ShiftJisKanjiOnly", In("CP932", "// 売買条件\r\n"), "shift_jis|"},
      {"ShiftJisLong", In("CP932", kJapanese, 1000000), "shift_jis|"},
      {"ShiftJisHalfWidthKatakanaOnly", In("CP932", "// ｼｽﾃﾑ ﾄﾚｰﾄﾞ\r\n"), "shift_jis|"},
      {"ShiftJisNecAndIbmExtensionsOnly", In("CP932", "// ①Ⅰ㈱髙﨑\r\n"), "shift_jis|"},
      {"ShiftJisUserDefinedOnly", In("CP932", "// \uE000\uE001\r\n"), "shift_jis|"},
      {"EucJpHiragana", In("EUC-JP", "// あいう\r\n"), "euc-jp|"},
      {"EucJpWithKana", In("EUC-JP", kJapanese), "euc-jp|"},
      {"Cyrillic", In("CP1251", "// Привет мир\r\n"), "|windows-1251"},
      {"CyrillicShiftJisShaped", In("CP1251", "void ЗакрытьУбыточные()\r\n"), "|windows-1251"},
      {"Western", In("CP1252", "// Größe prüfen\r\n"), "|windows-1252"},
      {"WesternCapitalsAndC1", In("CP1252", "// ÉÀ™ Ÿ\r\nint start()\r\n"), "|windows-1252"},
      {"CentralEuropean", In("CP1250", "// Żółć gęślą jaźń\r\n"), "|windows-1250"},
      {"ChineseGbkIsNoEucJp", In("GBK", "// 这是一个测试指标\r\nint start() { return(0); }\r\n"), "|gb18030"},
      {"Gb18030Long", In("GBK", "// 买入条件和卖出条件\r\n", 200000), "|gb18030"},
  };
  for (const Case& c : cases) EXPECT_EQ(Detected(c.bytes), c.expected) << c.label;
}

// Japanese or UTF-8 text with a byte sequence that breaks it is read by no
// page at all: read as KOI8-R or windows-1252 it would come back as nonsense
// and be written so.
TEST(DetectCharset, DamagedJapaneseIsReadByNoPage) {
  const std::string sjis = In("CP932", "// 移動平均線の交差で売買する\r\nPrint(\"注文を送信しました\");\r\n");
  const std::string euc = In("EUC-JP", "// 移動平均線の交差で売買する\r\nPrint(\"注文を送信しました\");\r\n");
  for (const auto& [label, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"ShiftJisStrayPair", sjis + "\x85\x20" + sjis},
           {"ShiftJisCutAtTheEnd", sjis + "\x82"},
           {"EucJpStrayPair", euc + "\xA4\x20" + euc},
           {"Utf8StrayLatinByte", "// caf\xE9\r\n" + EncodeAs("UTF-8", "// Советник: размер лота\r\n")},
           {"Utf8CutAtTheEnd", EncodeAs("UTF-8", "// 注文を送信しました") + "\xE3\x81"}})
    EXPECT_EQ(Detected(bytes), "|") << label;
}

TEST(IsStrictUtf8, RefusesWhatIsNotWellFormed) {
  EXPECT_TRUE(IsStrictUtf8("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"));
  for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "a\xE3\x81"})
    EXPECT_FALSE(IsStrictUtf8(bad)) << bad;
}

}  // namespace
}  // namespace lumivex
