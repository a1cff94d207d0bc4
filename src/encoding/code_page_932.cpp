#include "encoding/code_page_932.h"

#include <array>
#include <cstdint>
#include <memory>

#include "text/transcode.h"

namespace lumivex::cp932 {

namespace {

constexpr char32_t kUserDefinedBase = 0xE000;

// The user-defined area: 188 characters per lead byte F0-F9, trails 40-7E
// then 80-FC, numbered from U+E000 as Windows numbers them.
char32_t UserDefined(unsigned char lead, unsigned char trail) {
  return kUserDefinedBase + static_cast<char32_t>((lead - 0xF0) * 188 + (trail - 0x40) - (trail > 0x7F));
}

bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

struct Tables {
  // Character of every lead (80-FF) and trail byte, 0 for none.
  std::array<char16_t, 0x80 * 0x100> pairs{};
  // Internal form of every BMP character: a byte, or lead << 8 | trail; 0 for none.
  std::array<std::uint16_t, 0x10000> forms{};

  Tables() {
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrail(static_cast<unsigned char>(trail))) continue;
        char32_t cp = 0;
        if (lead >= 0xF0 && lead <= 0xF9) {
          cp = UserDefined(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        } else {
          const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
          const auto unit = TranscodeStrict("UTF-16LE", "CP932", std::string_view(bytes, 2));
          if (unit && unit->size() == 2)
            cp = static_cast<unsigned char>((*unit)[0]) | static_cast<unsigned char>((*unit)[1]) << 8;
        }
        pairs[(lead - 0x80) * 0x100 + trail] = static_cast<char16_t>(cp);
        // Pairs are met in rising byte order, so the first form found is kept.
        if (cp != 0 && IsToolkitLead(static_cast<unsigned char>(lead)) && forms[cp] == 0)
          forms[cp] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
    for (unsigned b = 0xA1; b <= 0xDF; ++b) forms[0xFF61 + (b - 0xA1)] = static_cast<std::uint16_t>(b);
  }
};

const Tables& Get() {
  static const auto tables = std::make_unique<const Tables>();
  return *tables;
}

}  // namespace

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsToolkitLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }

char32_t DecodePair(unsigned char lead, unsigned char trail) {
  if (!IsLead(lead) || !IsTrail(trail)) return 0;
  return Get().pairs[(lead - 0x80) * 0x100 + trail];
}

char32_t DecodeSingle(unsigned char b) {
  if (b < 0x80) return b;
  if (b >= 0xA1 && b <= 0xDF) return 0xFF61 + (b - 0xA1);
  return 0;
}

std::size_t EncodeInternal(char32_t cp, char out[2]) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp > 0xFFFF) return 0;
  const std::uint16_t form = Get().forms[cp];
  if (form == 0) return 0;
  if (form < 0x100) {
    out[0] = static_cast<char>(form);
    return 1;
  }
  out[0] = static_cast<char>(form >> 8);
  out[1] = static_cast<char>(form & 0xFF);
  return 2;
}

}  // namespace lumivex::cp932
