// The conversions between UTF-8, UTF-16 and Shift-JIS that the shell and the
// settings window use, through glibc iconv with "CP932", never "SJIS" (which
// turns 0x5C into the yen sign), and never through the C locale. They are
// linear in their input; a system without the "CP932" converter makes them
// throw std::runtime_error.
//
// These are the plain, lossy conversions: a character without a code page 932
// form becomes a blank or "?". Source files go through source_text.h, which
// loses nothing.
#pragma once

#include <string>
#include <string_view>

namespace lumivex {

// ---- UTF-8 and UTF-16 to Shift-JIS -----------------------------------------
// The inputs end at their first zero byte / zero code unit; what follows it
// is ignored.

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

// ---- edit fields of the settings window -------------------------------------

// UTF-16 code units to code page 932 as the system conversion does it: each
// unit without a form becomes the code page's default character "?". No
// mark is dropped. Ends at the first zero code unit.
std::string Utf16ToCodePage932(std::u16string_view utf16);
// Shift-JIS as UTF-16LE bytes (no mark). A byte sequence that is not code
// page 932 becomes U+30FB, the code page's default Unicode character.
// Converts all of sjis, zero bytes included.
std::string ShiftJisToUtf16Le(std::string_view sjis);

}  // namespace lumivex
