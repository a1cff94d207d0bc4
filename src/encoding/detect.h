// Which character set a source file is written in.
#pragma once

#include <string>
#include <string_view>

namespace lumivex {

// Names that the detection gives. They differ in case on purpose: callers
// compare them exactly.
namespace charset_names {
inline constexpr std::string_view ShiftJis = "shift_jis";
inline constexpr std::string_view UsAscii = "us-ascii";
inline constexpr std::string_view EucJp = "euc-jp";
inline constexpr std::string_view Utf8 = "utf-8";
inline constexpr std::string_view Utf16Le = "UTF-16LE";
inline constexpr std::string_view Utf16Be = "UTF-16BE";
inline constexpr std::string_view Unknown = "";        // any other set, or none found
inline constexpr std::string_view Unavailable = "0";   // the statistical detectors failed
}  // namespace charset_names

// The detection result. name is one of charset_names. When name is "" and the
// bytes are a legacy code page other than the Japanese ones, codepage holds
// its name as the web names it ("windows-1251", "windows-1252", "GBK",
// "gb18030", "Big5", "EUC-KR", "ISO-2022-JP" ...; see legacy_code_pages.h),
// and the page reads every byte of them; otherwise codepage is empty.
struct CharsetInfo {
  std::string name;
  std::string codepage;
};

// Detection from the bytes alone. First the structure: byte-order marks
// (EF BB BF means "utf-8"), UTF-16 without a mark by its zero bytes, pure
// ASCII, strict UTF-8. Then the Japanese sets against the rest: uchardet's
// verdict when it names a Japanese, Chinese or Korean set whose structure the
// bytes have; Shift-JIS on kana or NEC row 13 characters; EUC-JP on EUC-JP
// kana; Shift-JIS on any other Shift-JIS character unless uchardet names a
// single-byte page that reads the bytes as words of an alphabet. Then the
// page uchardet names, or, when it names none that reads the bytes, ICU's
// best candidate that does. Empty input gives "".
CharsetInfo DetectCharsetInfo(std::string_view bytes);
// The whole file's bytes. Throws std::system_error when the file cannot be
// opened or read, a folder included.
std::string ReadFileBytes(const std::string& path);
// Names the character set of the file at path; throws as ReadFileBytes does.
std::string DetectCharset(const std::string& path);
// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF, no sequence cut short.
bool IsStrictUtf8(std::string_view bytes);
// UTF-8 with a few bytes that break it: more well-formed multi-byte
// sequences than stray bytes. No page reads such a text without garbling it.
bool IsDamagedUtf8(std::string_view bytes);

}  // namespace lumivex
