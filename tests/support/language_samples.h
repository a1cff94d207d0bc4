// Sources in many languages and character sets, written as UTF-8 masters in
// tests/encoding/samples/ and encoded here the way a user's file holds them.
#pragma once

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_files.h"
#include "text/transcode.h"

namespace lumivex::testing {

struct LanguageSample {
  const char* master;    // file name in tests/encoding/samples/, without ".txt"
  const char* charset;   // iconv name the file is written in
  bool mark = false;     // starts with a byte-order mark
  bool crlf = true;      // "\r\n" line ends, else "\n"
  const char* detected;  // what the detection says: "name|codepage"

  std::string Label() const {
    std::string label = std::string(master) + "_" + charset + (mark ? "_mark" : "") + (crlf ? "" : "_lf");
    for (char& c : label)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return label;
  }
};

inline void PrintTo(const LanguageSample& sample, std::ostream* os) { *os << sample.Label(); }

inline const std::vector<LanguageSample>& LanguageSamples() {
  static const std::vector<LanguageSample> samples = {
      {"ru_windows1251_short", "CP1251", false, true, "|windows-1251"},
      {"ru_windows1251_long", "CP1251", false, false, "|windows-1251"},
      {"de_windows1252", "CP1252", false, true, "|windows-1252"},
      {"fr_windows1252", "CP1252", false, true, "|windows-1252"},
      {"pl_windows1250", "CP1250", false, true, "|windows-1250"},
      {"el_windows1253", "CP1253", false, true, "|windows-1253"},
      {"tr_windows1254", "CP1254", false, true, "|windows-1254"},
      {"zh_gbk", "GBK", false, true, "|gb18030"},
      {"zh_gb18030", "GB18030", false, true, "|gb18030"},
      {"zh_big5", "BIG5", false, true, "|Big5"},
      {"ko_euckr", "EUC-KR", false, true, "|EUC-KR"},
      {"ja_shiftjis_halfkana", "CP932", false, true, "shift_jis|"},
      {"ja_shiftjis_extensions", "CP932", false, true, "shift_jis|"},
      {"ja_shiftjis_userdefined", "CP932", false, true, "shift_jis|"},
      {"ja_eucjp_row13", "EUC-JP-MS", false, true, "euc-jp|"},
      {"unicode_mixed", "UTF-8", false, false, "utf-8|"},
      {"unicode_mixed", "UTF-8", true, true, "utf-8|"},
      {"unicode_mixed", "UTF-16LE", true, true, "UTF-16LE|"},
      {"unicode_mixed", "UTF-16LE", false, true, "UTF-16LE|"},
      {"unicode_mixed", "UTF-16BE", true, true, "UTF-16BE|"},
      {"unicode_mixed", "UTF-16BE", false, false, "UTF-16BE|"},
  };
  return samples;
}

// The master text of a sample (UTF-8, "\n" line ends).
inline std::string SampleMaster(const char* master) {
  const char* top = std::getenv("LUMIVEX_SOURCE_DIR");
  const std::filesystem::path path =
      std::filesystem::path(top ? top : ".") / "tests" / "encoding" / "samples" / (std::string(master) + ".txt");
  std::string text = ReadBytes(path);
  if (text.empty()) throw std::runtime_error("missing sample " + path.string());
  return text;
}

inline std::string WithCrlf(std::string_view lf) {
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// utf8 in charset. Code page 932's user-defined area (U+E000-U+E757), which
// iconv does not know, is written as Windows writes it: 188 characters per
// lead byte F0-F9, trail bytes 40-7E then 80-FC.
inline std::string Iconv(const char* charset, std::string_view utf8) {
  auto bytes = TranscodeStrict(charset, "UTF-8", utf8);
  if (!bytes) throw std::runtime_error(std::string("cannot write the sample in ") + charset);
  return *bytes;
}

inline std::string EncodeAs(const char* charset, std::string_view utf8) {
  if (std::string_view(charset) != "CP932") return Iconv(charset, utf8);
  std::string out;
  std::size_t done = 0;
  for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
    const unsigned char b0 = utf8[i], b1 = utf8[i + 1], b2 = utf8[i + 2];
    if (b0 != 0xEE) continue;
    const unsigned cp = (b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
    if (cp < 0xE000 || cp > 0xE757) continue;
    out += Iconv("CP932", utf8.substr(done, i - done));
    const unsigned n = cp - 0xE000, trail = n % 188;
    out += static_cast<char>(0xF0 + n / 188);
    out += static_cast<char>(0x40 + trail + (trail >= 0x3F ? 1 : 0));
    done = i + 3;
  }
  return out + Iconv("CP932", utf8.substr(done));
}

// The sample as its file holds it.
inline std::string SampleBytes(const LanguageSample& sample) {
  std::string text = SampleMaster(sample.master);
  if (sample.crlf) text = WithCrlf(text);
  if (sample.mark) text = "\xEF\xBB\xBF" + text;  // U+FEFF, in every Unicode form its mark
  return EncodeAs(sample.charset, text);
}

}  // namespace lumivex::testing
