// The legacy code pages other than the Japanese ones: how a detector's name
// for one maps to the name the web's encoding rules give it, and how its
// bytes are read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivex {

struct LegacyCodePage {
  std::string_view name;     // as the web names it: "windows-1251", "GBK", "Big5" ...
  const char* converter;     // the iconv converter that reads it
  std::string_view windows;  // the Windows code page of the same script that reads
                             // the bytes a text shows when it holds C1 controls here
  bool multiByte;
};

// The code page a detector's label stands for, case ignored: "ISO-8859-1"
// and "ASCII" are windows-1252, "ISO-8859-9" windows-1254, "UHC" EUC-KR ...
// Null for a label that names no legacy code page (the Japanese and Unicode
// sets included).
const LegacyCodePage* FindLegacyCodePage(std::string_view label);

// The code points of bytes read as page, every conversion flushed. nullopt
// when a byte sequence is no character of the page, or reads as a zero or as
// a C1 control (a source never holds those).
std::optional<std::u32string> DecodeLegacy(std::string_view bytes, const LegacyCodePage& page);

// The page that reads bytes: page itself, or, when page reads them as C1
// controls, its Windows sibling. Null when neither reads them.
const LegacyCodePage* PageThatReads(std::string_view bytes, const LegacyCodePage& page);

}  // namespace lumivex
