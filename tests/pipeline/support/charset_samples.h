// Sample texts in the character sets that the detector and decoders meet,
// built from UTF-8 with iconv so the tests hold no hand-typed legacy bytes.
#pragma once

#include <string>
#include <string_view>

namespace lumivex::testing {

// utf8 re-encoded as charset (an iconv name: "CP932", "EUC-JP",
// "WINDOWS-1251" ...). Throws when a character has no form in charset.
std::string EncodeFromUtf8(std::string_view utf8, const char* charset);

// text repeated until it is at least minBytes long.
std::string Repeated(std::string_view text, std::size_t minBytes);

}  // namespace lumivex::testing
