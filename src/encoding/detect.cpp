#include "encoding/detect.h"

#include <fcntl.h>
#include <uchardet/uchardet.h>
#include <unicode/uchar.h>
#include <unicode/ucsdet.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "encoding/code_page_932.h"
#include "encoding/legacy_code_pages.h"

namespace lumivex {

namespace {

// The statistical detectors settle long before this; it keeps huge files cheap.
constexpr std::size_t kSample = 64 * 1024;
// Hiragana and katakana pairs that make a text Japanese even though a later
// byte breaks its Shift-JIS structure; no single-byte text makes them.
constexpr int kDamagedShiftJisKana = 3;

unsigned char At(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

bool IsContinuation(std::string_view s, std::size_t i) {
  return i < s.size() && (At(s, i) & 0xC0) == 0x80;
}

CharsetInfo Named(std::string_view name) { return {std::string(name), ""}; }
CharsetInfo Legacy(const LegacyCodePage& page) { return {"", std::string(page.name)}; }

// ---- structure ---------------------------------------------------------------

struct ShiftJisScan {
  bool valid = true;
  int kana = 0;   // hiragana, katakana and NEC row 13 pairs: no single-byte text makes them
  int units = 0;  // any two-byte character, and half-width katakana standing two or more in a row
};

// Code page 932 with every lead byte it has: kanji and symbols, the NEC and
// IBM extension rows, the user-defined area; half-width katakana A1-DF as
// single bytes. Pairs must be characters of the code page.
ShiftJisScan ScanShiftJis(std::string_view s) {
  ShiftJisScan scan;
  int kanaRun = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b >= 0xA1 && b <= 0xDF) {
      if (++kanaRun == 2) scan.units += 2;
      else if (kanaRun > 2) ++scan.units;
      ++i;
      continue;
    }
    kanaRun = 0;
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (i + 1 >= s.size() || cp932::DecodePair(b, At(s, i + 1)) == 0) {
      scan.valid = false;
      return scan;
    }
    const unsigned char t = At(s, i + 1);
    ++scan.units;
    if ((b == 0x82 && t >= 0x9F && t <= 0xF1) || (b == 0x83 && t <= 0x96) || (b == 0x87 && t <= 0x9C))
      ++scan.kana;
    i += 2;
  }
  return scan;
}

struct EucJpScan {
  bool valid = true;
  int kana = 0;  // hiragana and katakana rows, half-width katakana
};

EucJpScan ScanEucJp(std::string_view s) {
  EucJpScan scan;
  auto inRange = [&](std::size_t j, unsigned lo, unsigned hi) {
    return j < s.size() && At(s, j) >= lo && At(s, j) <= hi;
  };
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b < 0x80) {
      ++i;
    } else if (b == 0x8E && inRange(i + 1, 0xA1, 0xDF)) {
      ++scan.kana;
      i += 2;
    } else if (b == 0x8F && inRange(i + 1, 0xA1, 0xFE) && inRange(i + 2, 0xA1, 0xFE)) {
      i += 3;
    } else if (b >= 0xA1 && b <= 0xFE && inRange(i + 1, 0xA1, 0xFE)) {
      if ((b == 0xA4 && At(s, i + 1) <= 0xF3) || (b == 0xA5 && At(s, i + 1) <= 0xF6)) ++scan.kana;
      i += 2;
    } else {
      scan.valid = false;
      return scan;
    }
  }
  return scan;
}

enum class Utf16Guess { None, Le, Be };

// UTF-16 without a mark shows itself by the zero high bytes of its ASCII
// characters: many zeros on one side of each byte pair, almost none on the other.
Utf16Guess GuessUtf16ByZeros(std::string_view s) {
  const std::size_t pairs = s.size() / 2;
  if (pairs == 0) return Utf16Guess::None;
  std::size_t zeroEven = 0, zeroOdd = 0;
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    zeroEven += s[i] == '\0';
    zeroOdd += s[i + 1] == '\0';
  }
  if (zeroOdd * 10 >= pairs * 3 && zeroEven * 10 <= pairs) return Utf16Guess::Le;
  if (zeroEven * 10 >= pairs * 3 && zeroOdd * 10 <= pairs) return Utf16Guess::Be;
  return Utf16Guess::None;
}

// ---- statistical detectors ----------------------------------------------------

struct UchardetDeleter {
  void operator()(uchardet* d) const { uchardet_delete(d); }
};

// uchardet's verdict ("" when it has none); nullopt when it cannot be created.
std::optional<std::string> UchardetVerdict(std::string_view bytes) {
  std::unique_ptr<uchardet, UchardetDeleter> detector(uchardet_new());
  if (!detector) return std::nullopt;
  const std::string_view sample = bytes.substr(0, std::min(bytes.size(), kSample));
  if (uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0) return std::nullopt;
  uchardet_data_end(detector.get());
  const char* name = uchardet_get_charset(detector.get());
  return std::string(name ? name : "");
}

struct IcuDetectorDeleter {
  void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
};

// ICU's candidate names, best first; nullopt when the detector cannot be
// created or fails.
std::optional<std::vector<std::string>> IcuCandidates(std::string_view bytes) {
  const std::string_view sample = bytes.substr(0, std::min(bytes.size(), kSample));
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, IcuDetectorDeleter> detector(ucsdet_open(&status));
  if (U_FAILURE(status) || !detector) return std::nullopt;
  ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
  if (U_FAILURE(status)) return std::nullopt;
  std::vector<std::string> names;
  for (int32_t i = 0; i < count; ++i) {
    UErrorCode s = U_ZERO_ERROR;
    const char* name = ucsdet_getName(matches[i], &s);
    if (U_SUCCESS(s) && name) names.emplace_back(name);
  }
  return names;
}

// True when page reads the bytes as an alphabet's words: most of its letters
// beyond ASCII stand beside another letter, and more of them are small than
// capital. Kana and kanji read as a single-byte page give capitals, symbols
// and letters standing alone among punctuation.
bool ReadsAsAlphabet(std::string_view bytes, const LegacyCodePage& page) {
  const std::optional<std::u32string> cps = DecodeLegacy(bytes, page);
  if (!cps) return false;
  const auto isLetter = [&](std::size_t i) { return i < cps->size() && u_isalpha(static_cast<UChar32>((*cps)[i])); };
  int letters = 0, smallInWords = 0, capitals = 0;
  for (std::size_t i = 0; i < cps->size(); ++i) {
    const auto cp = static_cast<UChar32>((*cps)[i]);
    if (cp < 0x80 || !u_isalpha(cp)) continue;
    ++letters;
    capitals += u_isupper(cp) ? 1 : 0;
    if (u_islower(cp) && ((i > 0 && isLetter(i - 1)) || isLetter(i + 1))) ++smallInWords;
  }
  return smallInWords > capitals && smallInWords * 2 > letters;
}

// Text with bytes above 0x7F that is neither UTF-8 nor UTF-16.
CharsetInfo DetectEightBit(std::string_view bytes) {
  const ShiftJisScan sjis = ScanShiftJis(bytes);
  const EucJpScan euc = ScanEucJp(bytes);
  const std::optional<std::string> verdict = UchardetVerdict(bytes);
  const std::string label = verdict.value_or("");
  const LegacyCodePage* named = FindLegacyCodePage(label);
  const LegacyCodePage* reading = named ? PageThatReads(bytes, *named) : nullptr;

  // uchardet's multi-byte probers judge by structure and character
  // frequencies together, so their verdicts hold where the bytes fit.
  if (label == "SHIFT_JIS" && sjis.valid) return Named(charset_names::ShiftJis);
  if (label == "EUC-JP" && euc.valid) return Named(charset_names::EucJp);
  if (reading && reading->multiByte) return Legacy(*reading);
  // Japanese text with a byte sequence that is no character of its code
  // page is damaged: any other page that reads all of it would turn the
  // Japanese into nonsense, so it is read by none.
  if ((label == "SHIFT_JIS" && !sjis.valid) || (label == "EUC-JP" && !euc.valid) ||
      (!sjis.valid && sjis.kana >= kDamagedShiftJisKana))
    return Named(charset_names::Unknown);

  if (sjis.valid && sjis.kana > 0) return Named(charset_names::ShiftJis);
  if (euc.valid && euc.kana > 0) return Named(charset_names::EucJp);
  if (sjis.valid && sjis.units > 0 && !(reading && ReadsAsAlphabet(bytes, *reading)))
    return Named(charset_names::ShiftJis);
  if (reading) return Legacy(*reading);

  // uchardet gave nothing that reads the bytes; ICU's candidates, best first.
  const std::optional<std::vector<std::string>> candidates = IcuCandidates(bytes);
  if (!candidates && !verdict) return Named(charset_names::Unavailable);
  for (const std::string& candidate : candidates.value_or(std::vector<std::string>{})) {
    const LegacyCodePage* page = FindLegacyCodePage(candidate);
    if (const LegacyCodePage* read = page ? PageThatReads(bytes, *page) : nullptr) return Legacy(*read);
  }
  return Named(charset_names::Unknown);
}

}  // namespace

CharsetInfo DetectCharsetInfo(std::string_view bytes) {
  if (bytes.empty()) return Named(charset_names::Unknown);
  if (bytes.starts_with("\xEF\xBB\xBF")) return Named(charset_names::Utf8);
  if (bytes.starts_with("\xFF\xFE")) return Named(charset_names::Utf16Le);
  if (bytes.starts_with("\xFE\xFF")) return Named(charset_names::Utf16Be);
  switch (GuessUtf16ByZeros(bytes)) {
    case Utf16Guess::Le: return Named(charset_names::Utf16Le);
    case Utf16Guess::Be: return Named(charset_names::Utf16Be);
    case Utf16Guess::None: break;
  }

  bool ascii = true;
  bool escape = false;
  for (char c : bytes) {
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    escape = escape || c == '\x1B';
  }
  if (ascii) {
    // ISO-2022 texts are seven-bit too; only their escape sequences tell.
    if (escape) {
      const auto candidates = IcuCandidates(bytes);
      const LegacyCodePage* page =
          candidates && !candidates->empty() ? FindLegacyCodePage(candidates->front()) : nullptr;
      if (page && page->name.starts_with("ISO-2022") && DecodeLegacy(bytes, *page)) return Legacy(*page);
    }
    return Named(charset_names::UsAscii);
  }
  if (IsStrictUtf8(bytes)) return Named(charset_names::Utf8);
  if (IsDamagedUtf8(bytes)) return Named(charset_names::Unknown);
  return DetectEightBit(bytes);
}

namespace {

// Length of the well-formed UTF-8 sequence of two or more bytes at i; 0
// when none starts there.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i) {
  const unsigned char b = At(s, i);
  std::size_t len = 0;
  if (b >= 0xC2 && b <= 0xDF) len = 2;
  else if (b >= 0xE0 && b <= 0xEF) len = 3;
  else if (b >= 0xF0 && b <= 0xF4) len = 4;
  else return 0;
  for (std::size_t k = 1; k < len; ++k)
    if (!IsContinuation(s, i + k)) return 0;
  const unsigned char b1 = At(s, i + 1);
  if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0) || (b == 0xF0 && b1 < 0x90) ||
      (b == 0xF4 && b1 >= 0x90))
    return 0;
  return len;
}

}  // namespace

bool IsStrictUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    if (At(s, i) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t len = Utf8SequenceAt(s, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

bool IsDamagedUtf8(std::string_view s) {
  std::size_t sequences = 0, strays = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (At(s, i) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t len = Utf8SequenceAt(s, i);
    if (len == 0) {
      ++strays;
      ++i;
    } else {
      ++sequences;
      i += len;
    }
  }
  // Legacy single-byte text almost never forms such sequences by chance.
  return strays > 0 && sequences >= 2 && sequences >= strays;
}

std::string ReadFileBytes(const std::string& path) {
  auto fail = [&](const char* what) {
    throw std::system_error(errno ? errno : EIO, std::generic_category(),
                            std::string(what) + " " + path);
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("open");
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      errno = err;
      fail("read");
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

std::string DetectCharset(const std::string& path) { return DetectCharsetInfo(ReadFileBytes(path)).name; }

}  // namespace lumivex
