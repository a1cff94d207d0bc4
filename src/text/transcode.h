// Conversion between character sets through glibc iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivex {

// Converts in from the character set `from` to `to` (iconv names; code page
// 932 is "CP932", never "SJIS"). Where a sequence cannot be read, or has no
// form in the target, replacement is appended and skipUnit input bytes are
// stepped over, so each failing unit costs one replacement and what follows
// is read afresh. Throws std::runtime_error when iconv knows no such route.
std::string Transcode(const char* to, const char* from, std::string_view in,
                      std::string_view replacement, std::size_t skipUnit = 1);

// As Transcode, but any sequence that cannot be converted (or an unknown
// route) gives nullopt.
std::optional<std::string> TranscodeStrict(const char* to, const char* from, std::string_view in);

}  // namespace lumivex
