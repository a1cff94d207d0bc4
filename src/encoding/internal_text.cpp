#include "encoding/internal_text.h"

#include "encoding/code_page_932.h"

namespace lumivex {

namespace {

constexpr unsigned char kCarrierStart = 0xF0;   // F0-F4: the top bits of the code point
constexpr unsigned char kCarrierDigit = 0xA0;   // A0-DF: six bits each
constexpr std::size_t kCarrierSize = 4;

bool IsCarrierDigit(unsigned char b) { return b >= kCarrierDigit && b < kCarrierDigit + 64; }

void AppendUnit(char16_t unit, std::string& out) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

void AppendUtf16Le(char32_t cp, std::string& out) {
  if (cp < 0x10000) {
    AppendUnit(static_cast<char16_t>(cp), out);
    return;
  }
  cp -= 0x10000;
  AppendUnit(static_cast<char16_t>(0xD800 + (cp >> 10)), out);
  AppendUnit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)), out);
}

// The code point of the carrier at text[i]; 0 when it is broken.
char32_t ReadCarrier(std::string_view text, std::size_t i) {
  if (text.size() - i < kCarrierSize) return 0;
  char32_t cp = static_cast<unsigned char>(text[i]) - kCarrierStart;
  for (std::size_t k = 1; k < kCarrierSize; ++k) {
    const unsigned char b = static_cast<unsigned char>(text[i + k]);
    if (!IsCarrierDigit(b)) return 0;
    cp = cp << 6 | (b - kCarrierDigit);
  }
  return cp > 0x10FFFF ? 0 : cp;
}

}  // namespace

bool IsCarrierStart(unsigned char b) { return b >= kCarrierStart && b <= kCarrierStart + 4; }

void AppendCharacter(char32_t cp, std::string& text) {
  char form[2];
  if (const std::size_t n = cp932::EncodeInternal(cp, form)) {
    text.append(form, n);
    return;
  }
  text.push_back(static_cast<char>(kCarrierStart + (cp >> 18)));
  for (int shift = 12; shift >= 0; shift -= 6)
    text.push_back(static_cast<char>(kCarrierDigit + ((cp >> shift) & 0x3F)));
}

std::optional<std::string> InternalToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t cp = 0;
    std::size_t step = 1;
    if (IsCarrierStart(b)) {
      cp = ReadCarrier(text, i);
      step = kCarrierSize;
    } else if (cp932::IsLead(b)) {
      if (i + 1 < text.size()) cp = cp932::DecodePair(b, static_cast<unsigned char>(text[i + 1]));
      step = 2;
    } else {
      cp = cp932::DecodeSingle(b);
      if (b == 0) {
        AppendUnit(0, out);
        ++i;
        continue;
      }
    }
    if (cp == 0) return std::nullopt;
    AppendUtf16Le(cp, out);
    i += step;
  }
  return out;
}

}  // namespace lumivex
