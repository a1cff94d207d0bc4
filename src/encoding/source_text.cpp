#include "encoding/source_text.h"

#include "encoding/code_page_932.h"
#include "encoding/internal_text.h"
#include "encoding/legacy_code_pages.h"

namespace lumivex {

namespace {

constexpr LegacyCodePage kEucJp{"EUC-JP", "EUC-JP-MS", "", true};

unsigned char At(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

SourceReading Refused(std::string reason) { return {std::nullopt, std::move(reason)}; }

// Strict UTF-8 (checked beforehand) into the internal text; false on a zero.
bool AppendUtf8(std::string_view s, std::string& out) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b < 0x80) {
      if (b == 0) return false;
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    char32_t cp = b & (0x7Fu >> len);
    for (std::size_t k = 1; k < len; ++k) cp = cp << 6 | (At(s, i + k) & 0x3Fu);
    AppendCharacter(cp, out);
    i += len;
  }
  return true;
}

// UTF-16 of even length into the internal text; false on a zero unit or a
// lone surrogate.
bool AppendUtf16(std::string_view s, bool bigEndian, std::string& out) {
  const auto unit = [&](std::size_t i) -> char32_t {
    return bigEndian ? (At(s, i) << 8 | At(s, i + 1)) : (At(s, i) | At(s, i + 1) << 8);
  };
  for (std::size_t i = 0; i < s.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp == 0 || (cp >= 0xDC00 && cp <= 0xDFFF)) return false;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 2 >= s.size()) return false;
      const char32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendCharacter(cp, out);
  }
  return true;
}

// Code page 932 into the internal text. Pairs with a lead byte the toolkit
// knows stay as they are; the others (user-defined, IBM extensions) take
// their internal form. False on bytes the code page cannot read.
bool AppendShiftJis(std::string_view s, std::string& out) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const char32_t cp = i + 1 < s.size() ? cp932::DecodePair(b, At(s, i + 1)) : 0;
    if (cp == 0) return false;
    if (cp932::IsToolkitLead(b)) out.append(s, i, 2);
    else AppendCharacter(cp, out);
    i += 2;
  }
  return true;
}

bool AppendCodePoints(const std::u32string& cps, std::string& out) {
  for (char32_t cp : cps) AppendCharacter(cp, out);
  return true;
}

// The internal text of bytes without a byte-order mark, read as info says.
SourceReading DecodeUnmarked(std::string_view bytes, const CharsetInfo& info) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 8);
  const std::string& name = info.name;
  if (bytes.empty()) {
    // Nothing to read, whatever the set.
  } else if (name == charset_names::Utf8) {
    if (!IsStrictUtf8(bytes)) return Refused("malformed UTF-8");
    if (!AppendUtf8(bytes, text)) return Refused("a zero byte");
  } else if (name == charset_names::Utf16Le || name == charset_names::Utf16Be) {
    if (bytes.size() % 2 != 0 || !AppendUtf16(bytes, name == charset_names::Utf16Be, text))
      return Refused("malformed UTF-16");
  } else if (bytes.find('\0') != std::string_view::npos) {
    return Refused("a zero byte");
  } else if (name == charset_names::UsAscii || name == charset_names::ShiftJis) {
    if (!AppendShiftJis(bytes, text)) return Refused("bytes that are no Shift-JIS characters");
  } else {
    const LegacyCodePage* page = name == charset_names::EucJp ? &kEucJp : FindLegacyCodePage(info.codepage);
    if (!page) return Refused("an unknown character set");
    const std::optional<std::u32string> cps = DecodeLegacy(bytes, *page);
    if (!cps) return Refused("bytes that are no " + std::string(page->name) + " characters");
    AppendCodePoints(*cps, text);
  }
  return {DecodedSource{NormaliseLineEnds(text), info}, ""};
}

}  // namespace

SourceReading DecodeSource(std::string_view bytes) {
  // A mark decides whatever the detection says.
  if (bytes.starts_with("\xFF\xFE")) return DecodeUnmarked(bytes.substr(2), {std::string(charset_names::Utf16Le), ""});
  if (bytes.starts_with("\xFE\xFF")) return DecodeUnmarked(bytes.substr(2), {std::string(charset_names::Utf16Be), ""});
  if (bytes.starts_with("\xEF\xBB\xBF")) return DecodeUnmarked(bytes.substr(3), {std::string(charset_names::Utf8), ""});
  return DecodeUnmarked(bytes, DetectCharsetInfo(bytes));
}

std::optional<std::string> EncodeRewrite(std::string_view text) {
  std::optional<std::string> units = InternalToUtf16Le(text);
  if (!units) return std::nullopt;
  return "\xFF\xFE" + *units;
}

std::string NormaliseLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  const bool crEndsLines = text.find('\n') == std::string_view::npos;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", i), text.size());
    out.append(text, i, end - i);
    if (end == text.size()) break;
    if (text[end] == '\n' || crEndsLines) out.append("\r\n");
    i = end + 1;
  }
  return out;
}

}  // namespace lumivex
