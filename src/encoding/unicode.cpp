#include "encoding/unicode.h"

#include <bit>

#include "text/transcode.h"

namespace lumivex {

namespace {

constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string_view AsBytes(std::u16string_view units) {
  return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
}

std::u16string_view UpToZero(std::u16string_view units) {
  const std::size_t end = units.find(u'\0');
  return end == std::u16string_view::npos ? units : units.substr(0, end);
}

std::string_view UpToZero(std::string_view bytes) {
  const std::size_t end = bytes.find('\0');
  return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

unsigned char At(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

bool IsContinuation(std::string_view s, std::size_t i) {
  return i < s.size() && (At(s, i) & 0xC0) == 0x80;
}

}  // namespace

int Utf8DecodePass(std::u16string* out, std::string_view utf8) {
  int k = 0;
  auto emit = [&](char32_t unit) {
    if (out) out->push_back(static_cast<char16_t>(unit));
    ++k;
  };
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    const unsigned char b = At(utf8, i);
    if (b < 0x80) {
      emit(b);
      ++i;
      continue;
    }
    std::size_t len = 0;
    if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b >= 0xE0 && b <= 0xEF) len = 3;
    else if (b >= 0xF0 && b <= 0xF7) len = 4;
    // The continuation bytes that are there, never past the end of the data.
    std::size_t have = 1;
    while (len != 0 && have < len && IsContinuation(utf8, i + have)) ++have;
    if (len == 0 || have < len) {
      // A stray continuation byte, a byte that starts no sequence, or a
      // sequence broken off: one U+FFFD for the bytes that belong to it, and
      // the byte that broke it starts the next character.
      emit(0xFFFD);
      i += have;
      continue;
    }
    char32_t cp = b & (0x7Fu >> len);
    for (std::size_t j = 1; j < len; ++j) cp = (cp << 6) | (At(utf8, i + j) & 0x3Fu);
    i += len;
    if (len == 4) {
      if (cp < 0x10000 || cp > 0x10FFFF) {
        emit(0xFFFD);
      } else {
        emit(0xD800 + ((cp - 0x10000) >> 10));
        emit(0xDC00 + ((cp - 0x10000) & 0x3FF));
      }
    } else {
      // An overlong three-byte form could smuggle in a zero that would end the text.
      emit(len == 3 && cp < 0x800 ? U'\xFFFD' : cp);
    }
  }
  return k;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  const std::string_view data = UpToZero(utf8);
  std::u16string units;
  units.reserve(static_cast<std::size_t>(Utf8DecodePass(nullptr, data)));
  Utf8DecodePass(&units, data);
  return units;
}

std::string Utf16ToShiftJis(std::u16string_view utf16) {
  std::u16string_view units = UpToZero(utf16);
  if (!units.empty() && (units.front() == 0xFEFF || units.front() == 0xFFFE))
    units.remove_prefix(1);
  return Transcode("CP932", kNativeUtf16, AsBytes(units), " ", sizeof(char16_t));
}

std::string Utf8ToShiftJis(std::string_view utf8) { return Utf16ToShiftJis(Utf8ToUtf16(utf8)); }

std::string Utf16ToCodePage932(std::u16string_view utf16) {
  return Transcode("CP932", kNativeUtf16, AsBytes(UpToZero(utf16)), "?", sizeof(char16_t));
}

std::string ShiftJisToUtf16Le(std::string_view sjis) {
  static const std::string kDefault("\xFB\x30", 2);  // U+30FB little-endian
  return Transcode("UTF-16LE", "CP932", sjis, kDefault);
}

}  // namespace lumivex
