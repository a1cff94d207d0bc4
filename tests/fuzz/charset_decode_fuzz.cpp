// Character-set detection and decoding of a source file's bytes, followed by
// the encoding of its rewrite: either the file is refused, or every character
// the bytes hold (read in the set that the detection names) comes back from
// the rewrite, in order, with only the line ends made "\r\n". Nothing is
// dropped, added or moved.
//
// The calls into the character-set code are the few lines under "the road's
// decoding" below; the allowances after them name what the decoders still
// lose today, each to be dropped when the decoding carries those characters.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz/support/fuzz_check.h"
#include "pipeline/charset.h"
#include "pipeline/file_road.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

using fuzz::Require;

// ---- the road's decoding ---------------------------------------------------

// The internal text and the code page its rewrite uses; nothing when refused.
std::optional<DecodedSource> Decode(std::string_view bytes) { return DecodeSourceBytes(bytes); }

// The rewritten file's bytes; nothing when refused.
std::optional<std::string> Rewrite(const DecodedSource& source) {
  return EncodeForRewrite(source.text, source.codepage);
}

// The iconv name of the set the road reads bytes in, and where the text
// starts (behind a mark).
struct Reading {
  std::string charset;
  std::size_t start = 0;
};

Reading ReadingOf(std::string_view bytes, const DecodedSource& decoded) {
  if (bytes.starts_with("\xFF\xFE")) return {"UTF-16LE", 2};
  if (bytes.starts_with("\xFE\xFF")) return {"UTF-16BE", 2};
  if (bytes.starts_with("\xEF\xBB\xBF")) return {"UTF-8", 3};
  const std::string name = DetectCharsetInfo(bytes).name;
  if (name == charset_names::Utf8) return {"UTF-8", 0};
  if (name == charset_names::Utf16Le) return {"UTF-16LE", 0};
  if (name == charset_names::Utf16Be) return {"UTF-16BE", 0};
  if (name == charset_names::EucJp) return {"EUC-JP", 0};
  return {decoded.codepage.empty() ? "CP932" : decoded.codepage, 0};
}

// ---- what the decoders still lose today -----------------------------------

// A character without a code page 932 form comes back as a blank or "?", one
// that code page 932 holds one way only as its round-trip image.
constexpr bool kUnmappedCharactersLost = true;
// EUC-JP bytes that are no character come back as blanks.
constexpr bool kUnreadableEucJpBlanked = true;
// A U+FEFF or U+FFFE that starts the text (behind a mark) may vanish.
constexpr bool kLeadingMarkDropped = true;

// ---- the check -------------------------------------------------------------

std::u16string Units(std::string_view utf16le) {
  std::u16string units(utf16le.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                     static_cast<unsigned char>(utf16le[2 * i + 1]) << 8);
  return units;
}

std::string Le(char16_t unit) { return {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)}; }

// The unit after a trip through code page 932 and back; nothing without a form.
std::optional<char16_t> ThroughCodePage932(char16_t unit) {
  const auto sjis = TranscodeStrict("CP932", "UTF-16LE", Le(unit));
  if (!sjis) return std::nullopt;
  const auto back = TranscodeStrict("UTF-16LE", "CP932", *sjis);
  if (!back || back->size() != 2) return std::nullopt;
  return Units(*back)[0];
}

bool Carried(char16_t source, char16_t rewritten) {
  if (source == rewritten) return true;
  if (!kUnmappedCharactersLost) return false;
  const std::optional<char16_t> image = ThroughCodePage932(source);
  return image ? rewritten == *image : (rewritten == u' ' || rewritten == u'?');
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

  std::u16string from = WithoutLineEnds(source);
  const std::u16string to = WithoutLineEnds(rewritten);
  if (kLeadingMarkDropped && !from.empty() && (from[0] == 0xFEFF || from[0] == 0xFFFE) &&
      to.size() + 1 == from.size())
    from.erase(0, 1);
  Require(from.size() == to.size(), "as many characters come back as the source holds", bytes);
  for (std::size_t i = 0; i < from.size(); ++i)
    Require(Carried(from[i], to[i]), "each character comes back in its place", bytes);
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
  } else {
    source = TranscodeStrict("UTF-16LE", reading.charset.c_str(), body);
    if (!source && kUnreadableEucJpBlanked && reading.charset == "EUC-JP")
      source = Transcode("UTF-16LE", "EUC-JP", body, Le(u' '));
  }
  fuzz::Require(source.has_value(), "bytes that are no text in their set are refused, not replaced", bytes);
  CheckRewrite(bytes, Units(*source), Units(std::string_view(*rewrite).substr(2)));
  return 0;
}
