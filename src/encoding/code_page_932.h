// Code page 932 as Windows reads it: glibc's "CP932" table, plus the
// user-defined area F040-F9FC as U+E000-U+E757, which glibc lacks.
//
// The internal text is code page 932, but only in the forms the text toolkit
// reads correctly: ASCII, half-width katakana A1-DF, and two-byte characters
// whose lead byte is one the toolkit knows (81-9F, E0-EF). A character whose
// only forms start with F0-FC (user-defined, some IBM extensions), or that
// the code page cannot hold both ways (U+00A5 goes to 0x5C but 0x5C comes
// back as U+005C), has no internal form of its own; it is carried (see
// internal_text.h).
#pragma once

#include <cstddef>

namespace lumivex::cp932 {

// A byte that starts a two-byte character of the code page: 81-9F, E0-FC.
bool IsLead(unsigned char b);
// A lead byte the text toolkit steps over as the first of two bytes.
bool IsToolkitLead(unsigned char b);

// The character of a two-byte sequence; 0 when the pair is none.
char32_t DecodePair(unsigned char lead, unsigned char trail);
// The character of a single byte: ASCII and half-width katakana; 0 otherwise.
char32_t DecodeSingle(unsigned char b);

// Writes the internal form of cp (one byte, or two with a toolkit lead byte)
// to out and returns its length; 0 when cp has none and must be carried.
// Of several forms the one with the lowest bytes is taken (so ED/EE pairs
// stand for the IBM extension kanji, and 81xx for the NEC row 13 symbols
// that repeat ones of row 2).
std::size_t EncodeInternal(char32_t cp, char out[2]);

}  // namespace lumivex::cp932
