// Character-set detection and decoding of a source file's bytes, followed by
// the encoding of its rewrite: either the file is refused, or every character
// the bytes hold (read in the set that the detection names) comes back from
// the rewrite, in order, with only the line ends made "\r\n". Nothing is
// dropped, added or moved.
//
// The calls into the character-set code are the few lines under "the road's
// decoding" below. The reference reading of the bytes is iconv's, with code
// page 932's user-defined area added as the decoders read it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "encoding/legacy_code_pages.h"
#include "encoding/source_text.h"
#include "fuzz/support/fuzz_check.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

using fuzz::Require;

// ---- the road's decoding ---------------------------------------------------

std::optional<DecodedSource> Decode(std::string_view bytes) { return DecodeSource(bytes).source; }

std::optional<std::string> Rewrite(const DecodedSource& source) { return EncodeRewrite(source.text); }

// The iconv name of the set the road read the bytes in, and where the text
// starts (behind a mark).
struct Reading {
  std::string charset;
  std::size_t start = 0;
};

Reading ReadingOf(std::string_view bytes, const DecodedSource& decoded) {
  if (bytes.starts_with("\xFF\xFE")) return {"UTF-16LE", 2};
  if (bytes.starts_with("\xFE\xFF")) return {"UTF-16BE", 2};
  if (bytes.starts_with("\xEF\xBB\xBF")) return {"UTF-8", 3};
  const std::string& name = decoded.charset.name;
  if (name == charset_names::Utf8) return {"UTF-8", 0};
  if (name == charset_names::Utf16Le) return {"UTF-16LE", 0};
  if (name == charset_names::Utf16Be) return {"UTF-16BE", 0};
  if (name == charset_names::EucJp) return {"EUC-JP-MS", 0};
  if (name == charset_names::ShiftJis || name == charset_names::UsAscii) return {"CP932", 0};
  const LegacyCodePage* page = FindLegacyCodePage(decoded.charset.codepage);
  return {page ? page->converter : decoded.charset.codepage, 0};
}

// Code page 932 as Windows reads it: glibc's table, and the user-defined
// area F040-F9FC as U+E000-U+E757, which glibc lacks.
std::optional<std::string> CodePage932ToUtf16Le(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const bool pair = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    const std::size_t length = pair && i + 1 < bytes.size() ? 2 : 1;
    const auto trail = length == 2 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if (length == 2 && lead >= 0xF0 && lead <= 0xF9 && trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
      const int index = (lead - 0xF0) * 188 + trail - 0x40 - (trail > 0x7F ? 1 : 0);
      const auto unit = static_cast<char16_t>(0xE000 + index);
      out += static_cast<char>(unit & 0xFF);
      out += static_cast<char>(unit >> 8);
    } else {
      const auto one = TranscodeStrict("UTF-16LE", "CP932", bytes.substr(i, length));
      if (!one) return std::nullopt;
      out += *one;
    }
    i += length;
  }
  return out;
}

// ---- the check -------------------------------------------------------------

std::u16string Units(std::string_view utf16le) {
  std::u16string units(utf16le.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                     static_cast<unsigned char>(utf16le[2 * i + 1]) << 8);
  return units;
}

bool IsLineEnd(char16_t u) { return u == u'\r' || u == u'\n'; }

std::u16string WithoutLineEnds(const std::u16string& units) {
  std::u16string out;
  for (const char16_t u : units)
    if (!IsLineEnd(u)) out += u;
  return out;
}

void CheckRewrite(std::string_view bytes, const std::u16string& source, const std::u16string& rewritten) {
  // Line ends: "\r\n" only, at least one per "\n" of the source and at most
  // one per "\r" or "\n".
  std::size_t cr = 0, lf = 0, ends = 0;
  for (const char16_t u : source) {
    cr += u == u'\r';
    lf += u == u'\n';
  }
  for (std::size_t i = 0; i < rewritten.size(); ++i) {
    if (rewritten[i] == u'\r') Require(i + 1 < rewritten.size() && rewritten[i + 1] == u'\n', "no lone \"\\r\"", bytes);
    if (rewritten[i] == u'\n') Require(i > 0 && rewritten[i - 1] == u'\r', "no lone \"\\n\"", bytes);
    ends += rewritten[i] == u'\n';
  }
  Require(ends >= lf && ends <= cr + lf, "every line end is kept, none is made up", bytes);
  Require(lf > 0 || ends == cr, "without \"\\n\" every \"\\r\" ends a line", bytes);

  Require(WithoutLineEnds(source) == WithoutLineEnds(rewritten),
          "every character comes back in its place, nothing added", bytes);
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumivex;
  const std::string_view bytes = fuzz::Bytes(data, size);
  const CharsetInfo info = DetectCharsetInfo(bytes);
  fuzz::Require(info.codepage.empty() || info.name.empty(), "a legacy code page comes only without a name", bytes);

  const std::optional<DecodedSource> decoded = Decode(bytes);
  if (!decoded) return 0;
  const std::optional<std::string> rewrite = Rewrite(*decoded);
  if (!rewrite) return 0;
  fuzz::Require(rewrite->starts_with("\xFF\xFE") && rewrite->size() % 2 == 0, "the rewrite is marked UTF-16LE",
                *rewrite);

  const Reading reading = ReadingOf(bytes, *decoded);
  const std::string_view body = bytes.substr(reading.start);
  std::optional<std::string> source;
  const bool utf16 = reading.charset.starts_with("UTF-16");
  fuzz::Require(!utf16 || body.size() % 2 == 0, "UTF-16 of odd length is refused", bytes);
  if (reading.charset == "UTF-16LE") {
    source = std::string(body);  // unit by unit, unpaired surrogates included
  } else if (reading.charset == "UTF-16BE") {
    source = std::string(body);
    for (std::size_t i = 0; i + 1 < source->size(); i += 2) std::swap((*source)[i], (*source)[i + 1]);
  } else if (reading.charset == "CP932") {
    source = CodePage932ToUtf16Le(body);
  } else {
    source = TranscodeStrict("UTF-16LE", reading.charset.c_str(), body);
  }
  fuzz::Require(source.has_value(), "bytes that are no text in their set are refused, not replaced", bytes);
  CheckRewrite(bytes, Units(*source), Units(std::string_view(*rewrite).substr(2)));
  return 0;
}
