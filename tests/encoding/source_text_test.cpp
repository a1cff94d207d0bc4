// Decoding into the internal text, the carried characters, and the rewrite's bytes.
#include "encoding/source_text.h"

#include <gtest/gtest.h>

#include "encoding/internal_text.h"
#include "encoding/legacy_code_pages.h"
#include "support/language_samples.h"
#include "text/text.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

using testing::Iconv;

std::string Internal(std::string_view bytes) {
  const SourceReading reading = DecodeSource(bytes);
  EXPECT_TRUE(reading.source) << reading.refusal;
  return reading.source ? reading.source->text : std::string();
}

// The rewrite of the text as UTF-8, without its mark.
std::string Rewritten(std::string_view text) {
  const std::optional<std::string> bytes = EncodeRewrite(text);
  if (!bytes) return "<refused>";
  EXPECT_TRUE(bytes->starts_with("\xFF\xFE"));
  return *TranscodeStrict("UTF-8", "UTF-16LE", bytes->substr(2));
}

bool IsToolkitSafe(unsigned char b) {
  return b >= 0x80 && !(b >= 0x81 && b <= 0x9F) && !(b >= 0xE0 && b <= 0xEF);
}

// Characters code page 932 cannot hold both ways, or only with lead bytes the
// toolkit does not know, travel as carriers: no ASCII byte, no toolkit lead byte.
TEST(Carriers, CharactersWithoutAnInternalFormAreCarried) {
  for (const char* utf8 : {"¥", "‾", "¢", "£", "¬", "‖", "−", "〜", "—", "€", "é", "😀", "\uE000",
                           "\uE01C", "\uE757", "\uF8FF", "\U000F0001", "한", "㐀", "𠀀", "\u0085"}) {
    const std::string text = Internal(Iconv("UTF-16LE", std::string("\uFEFF") + utf8));
    ASSERT_EQ(text.size(), 4u) << utf8;
    for (unsigned char b : text) EXPECT_TRUE(IsToolkitSafe(b)) << utf8 << " byte " << int(b);
    EXPECT_EQ(Rewritten(text), utf8);
  }
}

// Characters with a form the toolkit reads keep it; IBM extension kanji take
// their NEC-selected twin.
TEST(Carriers, CodePage932FormsStay) {
  for (const auto& [utf8, sjis] : std::vector<std::pair<std::string, std::string>>{
           {"あ", "\x82\xA0"}, {"ｶ", "\xB6"}, {"①", "\x87\x40"}, {"～", "\x81\x60"},
           {"∵", "\x81\xE6"}, {"髙", "\xFB\xFC"}, {"﨑", "\xFA\xB1"}, {"\\", "\\"}}) {
    const std::string text = Internal("\xEF\xBB\xBF" + utf8);
    EXPECT_EQ(Rewritten(text), utf8);
    if (sjis[0] == '\xFB' || sjis[0] == '\xFA') {
      ASSERT_EQ(text.size(), 2u) << utf8;
      EXPECT_TRUE(text[0] == '\xED' || text[0] == '\xEE') << utf8;
    } else {
      EXPECT_EQ(text, sjis) << utf8;
    }
  }
}

// A carrier before a quote, a user-defined character whose trail byte is a
// backslash: the toolkit still finds every quote where it stands and no backslash.
TEST(Carriers, TheToolkitSeesNameCharacters) {
  const std::string sjis = "s = \"" + std::string("\xF0\x5C", 2) + "\"; t = \"\xF0\x7B\";";  // U+E01C, U+E03B
  const std::string text = Internal(sjis + "\r\n");
  EXPECT_EQ(text.find('\\'), std::string::npos);
  EXPECT_EQ(text.find('{'), std::string::npos);
  EXPECT_EQ(PosNth(1, "\"", text), 10);
  EXPECT_EQ(PosNth(3, "\"", text), 22);
  // Raw, the Cyrillic 0xE0 would take the backslash after it for its second byte.
  const std::string source = "// Привет мир, это тест\r\ns = \"я\"; t = \"Да\\n\";\r\n";
  const std::string raw = Iconv("CP1251", source);
  const std::string cyrillic = Internal(raw);
  EXPECT_EQ(PosNth(0, "\\", raw), 0);
  EXPECT_GT(PosNth(0, "\\", cyrillic), 0);
  EXPECT_EQ(Rewritten(cyrillic), source);
}

TEST(Carriers, TenThousandDistinctCharactersInOneFile) {
  std::u32string many;
  for (char32_t cp = 0x20000; cp < 0x20000 + 12000; ++cp) many += cp;
  const std::string utf8 = *TranscodeStrict("UTF-8", "UTF-32LE",
                                            std::string_view(reinterpret_cast<const char*>(many.data()), many.size() * 4));
  EXPECT_EQ(Rewritten(Internal("\xEF\xBB\xBF" + utf8)), utf8);
}

TEST(Carriers, BrokenSequencesAreRefusedAtTheRewrite) {
  for (const std::string text : {"\xF0\xA0", "\xF0\xA0\xA0\x41", "\x82", "\x80", "\xFD", "\xF5\xA0\xA0\xA0"})
    EXPECT_EQ(EncodeRewrite(text), std::nullopt) << text;
}

TEST(DecodeSource, RefusesWhatItCannotRead) {
  const std::string eucJp = Iconv("EUC-JP", "// 買い注文の条件をチェックする\r\n");
  const std::string utf16 = Iconv("UTF-16LE", "\uFEFFb = 1;\r\n");
  struct Case { const char* label; std::string bytes; };
  for (const Case& c : std::vector<Case>{
           {"EucJpRow14", eucJp + "s = \"\xAE\xAE\";\r\n"},
           {"ZeroByte", std::string("int a;\0", 7)},
           {"ZeroUnit", utf16 + std::string("\0\0", 2)},
           {"OddUtf16", utf16 + "x"},
           {"LoneSurrogate", utf16 + std::string("\x00\xD8" "a\0", 4)},
           {"MalformedUtf8AfterSignature", "\xEF\xBB\xBF// \xC3\x28\n"}}) {
    const SourceReading reading = DecodeSource(c.bytes);
    EXPECT_FALSE(reading.source) << c.label << " read as " << (reading.source ? reading.source->charset.name + "|" + reading.source->charset.codepage : "");
    EXPECT_FALSE(reading.refusal.empty()) << c.label;
  }
}

// glibc's windows-1255 and windows-1258 decoders give the last letter only when flushed.
TEST(DecodeSource, LegacyConversionsAreFlushed) {
  const LegacyCodePage* vietnamese = FindLegacyCodePage("windows-1258");
  const LegacyCodePage* hebrew = FindLegacyCodePage("ISO-8859-8");
  ASSERT_TRUE(vietnamese && hebrew);
  EXPECT_EQ(DecodeLegacy("Vi\xEA", *vietnamese), std::u32string(U"Vi\u00EA"));
  EXPECT_EQ(DecodeLegacy("a\xE0\x9F", *hebrew), std::nullopt);  // a C1 byte
  EXPECT_EQ(DecodeLegacy("a\xF9", *FindLegacyCodePage("windows-1255")), std::u32string(U"a\u05E9"));
}

TEST(NormaliseLineEnds, Table) {
  for (const auto& [in, out] : std::vector<std::pair<std::string, std::string>>{
           {"a\rb\r", "a\r\nb\r\n"},                  // no "\n" at all: "\r" ends lines
           {"a\r\rb", "a\r\n\r\nb"},
           {"a\nb", "a\r\nb"},
           {"a\r\nb\rc\n", "a\r\nbc\r\n"},             // a lone "\r" beside "\n" line ends goes
           {"a\r\r\nb\n\rc", "a\r\nb\r\nc"},           // "\r\r\n" and "\n\r" are one line end
           {"", ""}})
    EXPECT_EQ(NormaliseLineEnds(in), out) << in;
}

}  // namespace
}  // namespace lumivex
