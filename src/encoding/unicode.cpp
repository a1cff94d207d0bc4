#include "pipeline/charset.h"

#include "text/transcode.h"

#include <fcntl.h>
#include <unistd.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace lumivex {

namespace {

constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string_view AsBytes(std::u16string_view units) {
  return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
}

std::u16string UnitsFromNativeBytes(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  if (!units.empty()) std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

std::u16string_view UpToZero(std::u16string_view units) {
  const std::size_t end = units.find(u'\0');
  return end == std::u16string_view::npos ? units : units.substr(0, end);
}

std::string_view UpToZero(std::string_view bytes) {
  const std::size_t end = bytes.find('\0');
  return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

// ---- structural detection ----------------------------------------------------

unsigned char At(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

bool IsContinuation(std::string_view s, std::size_t i) {
  return i < s.size() && (At(s, i) & 0xC0) == 0x80;
}

struct MultiByteScan {
  bool valid = true;
  int pairs = 0;   // multi-byte characters
  int kana = 0;    // of which hiragana or katakana
  int common = 0;  // Shift-JIS: of which symbols, kana or first-level kanji (leads 81-9F)
};

// Code page 932 structure: two-byte characters only on lead bytes that hold
// assigned characters, half-width katakana A1-DF as single bytes.
MultiByteScan ScanShiftJis(std::string_view s) {
  MultiByteScan scan;
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      ++i;
      continue;
    }
    const bool lead = (b >= 0x81 && b <= 0x84) || (b >= 0x87 && b <= 0x9F) ||
                      (b >= 0xE0 && b <= 0xEA) || b == 0xED || b == 0xEE ||
                      (b >= 0xFA && b <= 0xFC);
    if (!lead || i + 1 >= s.size()) {
      scan.valid = false;
      return scan;
    }
    const unsigned char t = At(s, i + 1);
    if (t < 0x40 || t == 0x7F || t > 0xFC) {
      scan.valid = false;
      return scan;
    }
    ++scan.pairs;
    if (b <= 0x9F) ++scan.common;
    if ((b == 0x82 && t >= 0x9F && t <= 0xF1) || (b == 0x83 && t >= 0x40 && t <= 0x96))
      ++scan.kana;
    i += 2;
  }
  return scan;
}

MultiByteScan ScanEucJp(std::string_view s) {
  MultiByteScan scan;
  auto inRange = [&](std::size_t j, unsigned lo, unsigned hi) {
    return j < s.size() && At(s, j) >= lo && At(s, j) <= hi;
  };
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b < 0x80) {
      ++i;
    } else if (b == 0x8E && inRange(i + 1, 0xA1, 0xDF)) {
      ++scan.pairs;
      ++scan.kana;
      i += 2;
    } else if (b == 0x8F && inRange(i + 1, 0xA1, 0xFE) && inRange(i + 2, 0xA1, 0xFE)) {
      ++scan.pairs;
      i += 3;
    } else if (b >= 0xA1 && b <= 0xFE && inRange(i + 1, 0xA1, 0xFE)) {
      ++scan.pairs;
      if (b == 0xA4 || b == 0xA5) ++scan.kana;
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

// ---- ICU's statistical detector ---------------------------------------------

struct IcuMatch {
  std::string name;
  int confidence = 0;
};

struct IcuDetectorDeleter {
  void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
};

// All of ICU's candidates, best first; nullopt when the detector cannot be
// created or fails.
std::optional<std::vector<IcuMatch>> IcuDetectAll(std::string_view bytes) {
  // The statistics settle long before this; it keeps huge files cheap.
  constexpr std::size_t kSample = 256 * 1024;
  const std::string_view sample = bytes.substr(0, std::min(bytes.size(), kSample));
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, IcuDetectorDeleter> detector(ucsdet_open(&status));
  if (U_FAILURE(status) || !detector) return std::nullopt;
  ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
  if (U_FAILURE(status)) return std::nullopt;
  std::vector<IcuMatch> result;
  for (int32_t i = 0; i < count; ++i) {
    UErrorCode s = U_ZERO_ERROR;
    const char* name = ucsdet_getName(matches[i], &s);
    const int32_t confidence = ucsdet_getConfidence(matches[i], &s);
    if (U_SUCCESS(s) && name) result.push_back({name, confidence});
  }
  return result;
}

int ConfidenceOf(const std::vector<IcuMatch>& matches, std::string_view name) {
  for (const IcuMatch& m : matches)
    if (m.name == name) return m.confidence;
  return 0;
}

bool IsJapaneseOrUnicode(std::string_view icuName) {
  return icuName == "Shift_JIS" || icuName == "EUC-JP" || icuName.starts_with("UTF-");
}

// ICU names its candidates as IANA does; the table names differ in case.
CharsetInfo FromIcuName(const std::string& icuName) {
  if (icuName == "Shift_JIS") return {std::string(charset_names::ShiftJis), ""};
  if (icuName == "EUC-JP") return {std::string(charset_names::EucJp), ""};
  if (icuName == "UTF-8") return {std::string(charset_names::Utf8), ""};
  if (icuName == "UTF-16LE") return {std::string(charset_names::Utf16Le), ""};
  if (icuName == "UTF-16BE") return {std::string(charset_names::Utf16Be), ""};
  if (icuName.starts_with("UTF-")) return {"", ""};  // UTF-32 has no name here
  return {"", icuName};
}

CharsetInfo Named(std::string_view name) { return {std::string(name), ""}; }

// ICU's verdict, asked for at most once per detection and only when needed.
class LazyIcu {
 public:
  explicit LazyIcu(std::string_view bytes) : bytes_(bytes) {}
  // Null when the detector cannot be created or fails.
  const std::vector<IcuMatch>* Matches() {
    if (!asked_) {
      result_ = IcuDetectAll(bytes_);
      asked_ = true;
    }
    return result_ ? &*result_ : nullptr;
  }

 private:
  std::string_view bytes_;
  bool asked_ = false;
  std::optional<std::vector<IcuMatch>> result_;
};

// ICU's confidence (0-100) from which its verdict overrules a structural reading.
constexpr int kSure = 50;

bool IsCjkMultiByte(std::string_view icuName) {
  return icuName == "GB18030" || icuName == "EUC-KR" || icuName == "Big5";
}

// A Shift-JIS reading without a single kana, symbol or first-level kanji is
// more likely Latin or Cyrillic text whose accented letters happen to pair
// up; it gives way to any other code page that ICU rates above Shift_JIS.
CharsetInfo CheckShiftJis(LazyIcu& icu, const MultiByteScan& scan) {
  if (scan.common > 0) return Named(charset_names::ShiftJis);
  const auto* matches = icu.Matches();
  if (!matches || matches->empty()) return Named(charset_names::ShiftJis);
  const IcuMatch& best = matches->front();
  if (!IsJapaneseOrUnicode(best.name) && best.confidence > ConfidenceOf(*matches, "Shift_JIS"))
    return {"", best.name};
  return Named(charset_names::ShiftJis);
}

// EUC-JP without kana has the very structure of EUC-KR and GB2312; it gives
// way only to a Chinese or Korean set that ICU is sure of. ICU's verdicts on
// single-byte sets mean little for such bytes: a short run of kanji scores
// high as Arabic or Latin.
CharsetInfo CheckEucJp(LazyIcu& icu, const MultiByteScan& scan) {
  if (scan.kana > 0) return Named(charset_names::EucJp);
  const auto* matches = icu.Matches();
  if (!matches) return Named(charset_names::EucJp);
  const int euc = ConfidenceOf(*matches, "EUC-JP");
  for (const IcuMatch& m : *matches)
    if (IsCjkMultiByte(m.name) && m.confidence >= kSure && m.confidence > euc) return {"", m.name};
  return Named(charset_names::EucJp);
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
      const auto matches = IcuDetectAll(bytes);
      if (matches && !matches->empty() && matches->front().name.starts_with("ISO-2022"))
        return {"", matches->front().name};
    }
    return Named(charset_names::UsAscii);
  }
  if (IsStrictUtf8(bytes)) return Named(charset_names::Utf8);

  const MultiByteScan sjis = ScanShiftJis(bytes);
  const MultiByteScan euc = ScanEucJp(bytes);
  LazyIcu icu(bytes);
  if (sjis.valid && euc.valid) {
    // Shift-JIS kana never read as EUC-JP, so kana here are EUC-JP's. Without
    // them, ICU's frequency statistics decide when they clearly lean one
    // way, then the reading that finds more two-byte characters.
    constexpr int kClearLead = 20;
    bool preferEuc = false;
    const auto* matches = icu.Matches();
    const int sjisConfidence = matches ? ConfidenceOf(*matches, "Shift_JIS") : 0;
    const int eucConfidence = matches ? ConfidenceOf(*matches, "EUC-JP") : 0;
    // No kana and not one two-byte Shift-JIS character: the high bytes are
    // as likely accented capitals of a Latin text, if ICU is sure of one.
    if (euc.kana == 0 && sjis.pairs == 0 && matches && !matches->empty()) {
      const IcuMatch& best = matches->front();
      if (!IsJapaneseOrUnicode(best.name) && best.confidence >= kSure) return {"", best.name};
    }
    if (euc.kana != sjis.kana) preferEuc = euc.kana > sjis.kana;
    else if (std::abs(sjisConfidence - eucConfidence) >= kClearLead)
      preferEuc = eucConfidence > sjisConfidence;
    else preferEuc = euc.pairs > sjis.pairs;
    return preferEuc ? CheckEucJp(icu, euc) : CheckShiftJis(icu, sjis);
  }
  if (sjis.valid) return CheckShiftJis(icu, sjis);
  if (euc.valid) return CheckEucJp(icu, euc);

  const auto* matches = icu.Matches();
  if (!matches) return Named(charset_names::Unavailable);
  if (matches->empty()) return Named(charset_names::Unknown);
  return FromIcuName(matches->front().name);
}

bool IsStrictUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = At(s, i);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int len = 0;
    if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b >= 0xE0 && b <= 0xEF) len = 3;
    else if (b >= 0xF0 && b <= 0xF4) len = 4;
    else return false;
    for (int k = 1; k < len; ++k)
      if (!IsContinuation(s, i + k)) return false;
    const unsigned char b1 = At(s, i + 1);
    if (b == 0xE0 && b1 < 0xA0) return false;
    if (b == 0xED && b1 >= 0xA0) return false;
    if (b == 0xF0 && b1 < 0x90) return false;
    if (b == 0xF4 && b1 >= 0x90) return false;
    i += len;
  }
  return true;
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

// ---- decoders -------------------------------------------------------------------

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

std::string EucJpToShiftJis(std::string_view euc) {
  // Two steps, so that a byte that is not EUC-JP costs one blank and a
  // character without a code page 932 form costs one blank as well, and the
  // bytes after either are read afresh.
  const std::string units = Transcode(kNativeUtf16, "EUC-JP", UpToZero(euc), AsBytes(u"\uFFFD"));
  const std::u16string u16 = UnitsFromNativeBytes(units);
  return Transcode("CP932", kNativeUtf16, AsBytes(u16), " ", sizeof(char16_t));
}

std::string ShiftJisToUtf16Le(std::string_view sjis) {
  static const std::string kDefault("\xFB\x30", 2);  // U+30FB little-endian
  return Transcode("UTF-16LE", "CP932", sjis, kDefault);
}

std::optional<std::string> LegacyToUtf16Le(std::string_view bytes, std::string_view codepage) {
  return TranscodeStrict("UTF-16LE", std::string(codepage).c_str(), bytes);
}

std::u16string Utf16BeToUnits(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>((At(bytes, 2 * i) << 8) | At(bytes, 2 * i + 1));
  return units;
}

std::u16string Utf16LeToUnits(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(At(bytes, 2 * i) | (At(bytes, 2 * i + 1) << 8));
  return units;
}

}  // namespace lumivex
