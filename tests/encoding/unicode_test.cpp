// The plain UTF-8 / UTF-16 / Shift-JIS conversions of the shell and the settings window.
#include "encoding/unicode.h"

#include <gtest/gtest.h>

#include "support/language_samples.h"

namespace lumivex {
namespace {

using testing::Iconv;

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

// A view that stops inside a sequence whose missing bytes lie right behind it.
TEST(Utf8DecodePass, ReadsNothingPastTheData) {
  const std::string buffer = "a\xF0\x9F\x98\x80\xE3\x81\x82";
  std::u16string out;
  EXPECT_EQ(Utf8DecodePass(&out, std::string_view(buffer).substr(0, 7)), 4);
  EXPECT_EQ(out, u"a\xD83D\xDE00\xFFFD");
}

// Lone surrogates and a zero unit; marks, pairs and unmapped characters are in the UTF-8 table.
TEST(Utf16AndShiftJis, LossyConversionsOfTheShell) {
  EXPECT_EQ(Utf16ToShiftJis(u"\xDE00" u"b\xD83D"), " b ");
  EXPECT_EQ(Utf16ToShiftJis(std::u16string(u"a\0b", 3)), "a");
  EXPECT_EQ(Utf16ToCodePage932(u"\uFEFF\u00E9\u3042"), "??\x82\xA0");  // the default character
  EXPECT_EQ(ShiftJisToUtf16Le(std::string("\\~\x82\xA0\xB6\x80" "a\0\x82", 10)),
            Iconv("UTF-16LE", std::string("\\~あｶ・a\0・", 17)));
}

}  // namespace
}  // namespace lumivex
