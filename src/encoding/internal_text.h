// The internal text and the characters it carries.
//
// The rules work on code page 932 bytes. A character without an internal
// form of its own (code_page_932.h) travels through them as a carrier: four
// bytes, F0-F4 then three bytes A0-DF, that spell its code point six bits at
// a time. None of these bytes is ASCII or a lead byte the toolkit knows, so
// the rules take a carrier for name characters: never a delimiter, quote,
// backslash or bracket, and never a lead byte that would swallow the byte
// after it. Raw F0-F9 pairs never reach the internal text, so an F0-F4 byte
// always starts a carrier. Every code point has a carrier, so a file can
// carry any number of distinct characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivex {

// Appends cp (a Unicode scalar value) to the internal text: its code page
// 932 form, else its carrier.
void AppendCharacter(char32_t cp, std::string& text);

// True when b starts a carrier.
bool IsCarrierStart(unsigned char b);

// The internal text as UTF-16LE (no mark), every carrier put back as its
// character. nullopt when a byte sequence is no character: a broken carrier,
// a lead byte without a trail byte, a pair the code page does not assign.
std::optional<std::string> InternalToUtf16Le(std::string_view text);

}  // namespace lumivex
