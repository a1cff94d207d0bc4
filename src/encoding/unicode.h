// Character-set detection of source files and the conversions between the
// file encodings and the internal Shift-JIS text.
//
// The internal text is code page 932 (Shift-JIS as Windows defines it). All
// conversions to and from it go through glibc iconv with "CP932", never
// "SJIS" (which turns 0x5C into the yen sign), and never touch the C locale.
// The conversions are linear in their input; the iconv handles are opened
// once per thread. A system without the "CP932" or "EUC-JP" converter makes
// the conversions throw std::runtime_error.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivex {

// Names that the detection gives. They differ in case on purpose: the file
// road compares them exactly.
namespace charset_names {
inline constexpr std::string_view ShiftJis = "shift_jis";
inline constexpr std::string_view UsAscii = "us-ascii";
inline constexpr std::string_view EucJp = "euc-jp";
inline constexpr std::string_view Utf8 = "utf-8";
inline constexpr std::string_view Utf16Le = "UTF-16LE";
inline constexpr std::string_view Utf16Be = "UTF-16BE";
inline constexpr std::string_view Unknown = "";        // any other set, or none found
inline constexpr std::string_view Unavailable = "0";   // the statistical detector failed
}  // namespace charset_names

// The detection result. name is one of charset_names. When name is "" and the
// bytes look like a legacy single- or multi-byte code page other than the
// Japanese ones, codepage holds its name as ICU gives it ("windows-1251",
// "windows-1252", "ISO-8859-1", "GB18030", "Big5", "EUC-KR", "ISO-2022-JP"
// ...), suitable for LegacyToUtf16Le; otherwise codepage is empty.
struct CharsetInfo {
  std::string name;
  std::string codepage;
};

// Detection from the bytes alone: byte-order marks (EF BB BF means "utf-8"),
// UTF-16 without a mark by its zero bytes, pure ASCII, strict UTF-8, and the
// structure of Shift-JIS against EUC-JP; ICU's detector breaks the ties and
// names the other code pages. Empty input gives "".
CharsetInfo DetectCharsetInfo(std::string_view bytes);
// The whole file's bytes. Throws std::system_error when the file cannot be
// opened or read, a folder included.
std::string ReadFileBytes(const std::string& path);
// Names the character set of the file at path; throws as ReadFileBytes does
// (the file road reports that as a read failure).
std::string DetectCharset(const std::string& path);
// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF, no sequence cut short.
bool IsStrictUtf8(std::string_view bytes);

// ---- UTF-8 and UTF-16 to the internal text --------------------------------
// The inputs end at their first zero byte / zero code unit, as the file road's
// zero-terminated data does; what follows it is ignored.

// UTF-8 to Shift-JIS: Utf16ToShiftJis(Utf8ToUtf16(utf8)).
std::string Utf8ToShiftJis(std::string_view utf8);
// UTF-8 to UTF-16 code units (see Utf8DecodePass for malformed input).
std::u16string Utf8ToUtf16(std::string_view utf8);
// One pass of the UTF-8 decoder over all of utf8 (zero bytes included).
// With out null it only counts the code units; otherwise it appends them to
// *out. Returns the number of code units. Characters above U+FFFF become a
// surrogate pair. What is not well-formed becomes one U+FFFD per broken
// fragment: a byte that starts no sequence (a stray continuation byte, C0, C1,
// F8 to FF), or a lead byte with the continuation bytes that follow it when
// one is missing or the data ends first; the byte that broke the sequence
// starts the next character, and nothing past the end of utf8 is read.
// Overlong three-byte forms also give U+FFFD.
int Utf8DecodePass(std::u16string* out, std::string_view utf8);
// UTF-16 code units to Shift-JIS. A leading U+FEFF or U+FFFE is dropped.
// Each code unit is converted alone: one without a code page 932 form (a
// surrogate half included, so a pair gives two) becomes one blank " ".
std::string Utf16ToShiftJis(std::u16string_view utf16);

// ---- what the file road needs beyond that ---------------------------------

// UTF-16 code units to code page 932 as the system conversion does it: each
// unit without a form becomes the code page's default character "?". No
// mark is dropped. Ends at the first zero code unit.
std::string Utf16ToCodePage932(std::u16string_view utf16);
// EUC-JP bytes to Shift-JIS (iconv "EUC-JP" to "CP932"). Ends at the first
// zero byte. A byte that is not EUC-JP, or a character without a code page
// 932 form, becomes one blank.
std::string EucJpToShiftJis(std::string_view euc);
// The internal text as UTF-16LE bytes (no mark), for the rewritten file.
// A byte sequence that is not code page 932 becomes U+30FB, the code page's
// default Unicode character. Converts all of sjis, zero bytes included.
std::string ShiftJisToUtf16Le(std::string_view sjis);
// Bytes in a legacy code page named by ICU (CharsetInfo::codepage) as
// UTF-16LE bytes (no mark). nullopt when the code page is unknown or a byte
// sequence is no character of it, so nothing is silently replaced.
std::optional<std::string> LegacyToUtf16Le(std::string_view bytes, std::string_view codepage);
// Raw UTF-16 bytes to code units, big- or little-endian; a final odd byte is
// ignored. No mark is removed, nothing ends at a zero unit.
std::u16string Utf16BeToUnits(std::string_view bytes);
std::u16string Utf16LeToUnits(std::string_view bytes);

}  // namespace lumivex
