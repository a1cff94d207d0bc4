#include "encoding/legacy_code_pages.h"

#include <array>
#include <cstring>

#include "text/transcode.h"

namespace lumivex {

namespace {

struct Entry {
  LegacyCodePage page;
  std::array<std::string_view, 5> labels;  // further names detectors give it
};

// Names per the web's encoding rules; a single-byte ISO page whose text holds
// C1 bytes is read with the Windows page of the same script.
const Entry kPages[] = {
    {{"windows-1252", "CP1252", "", false}, {"iso-8859-1", "ascii", "us-ascii", "latin1", "cp1252"}},
    {{"windows-1250", "CP1250", "", false}, {"cp1250"}},
    {{"windows-1251", "CP1251", "", false}, {"cp1251"}},
    {{"windows-1253", "CP1253", "", false}, {"cp1253"}},
    {{"windows-1254", "CP1254", "", false}, {"iso-8859-9", "latin5", "cp1254"}},
    {{"windows-1255", "CP1255", "", false}, {"cp1255"}},
    {{"windows-1256", "CP1256", "", false}, {"cp1256"}},
    {{"windows-1257", "CP1257", "", false}, {"cp1257"}},
    {{"windows-1258", "CP1258", "", false}, {"cp1258"}},
    {{"windows-874", "CP874", "", false}, {"tis-620", "iso-8859-11", "cp874"}},
    {{"ISO-8859-2", "ISO-8859-2", "windows-1250", false}, {}},
    {{"ISO-8859-3", "ISO-8859-3", "", false}, {}},
    {{"ISO-8859-4", "ISO-8859-4", "windows-1257", false}, {}},
    {{"ISO-8859-5", "ISO-8859-5", "windows-1251", false}, {}},
    {{"ISO-8859-6", "ISO-8859-6", "windows-1256", false}, {}},
    {{"ISO-8859-7", "ISO-8859-7", "windows-1253", false}, {}},
    {{"ISO-8859-8", "ISO-8859-8", "windows-1255", false}, {"iso-8859-8-i"}},
    {{"ISO-8859-10", "ISO-8859-10", "", false}, {}},
    {{"ISO-8859-13", "ISO-8859-13", "windows-1257", false}, {}},
    {{"ISO-8859-14", "ISO-8859-14", "", false}, {}},
    {{"ISO-8859-15", "ISO-8859-15", "windows-1252", false}, {}},
    {{"ISO-8859-16", "ISO-8859-16", "windows-1250", false}, {}},
    {{"KOI8-R", "KOI8-R", "", false}, {}},
    {{"KOI8-U", "KOI8-U", "", false}, {}},
    {{"IBM866", "IBM866", "", false}, {"cp866"}},
    {{"IBM855", "IBM855", "", false}, {"cp855"}},
    {{"x-mac-cyrillic", "MAC-CYRILLIC", "", false}, {"mac-cyrillic", "maccyrillic"}},
    {{"VISCII", "VISCII", "", false}, {}},
    {{"GBK", "GB18030", "", true}, {"gb2312", "x-gbk", "cp936"}},
    {{"gb18030", "GB18030", "", true}, {}},
    {{"Big5", "BIG5-HKSCS", "", true}, {"big5-hkscs", "cn-big5", "cp950"}},
    {{"EUC-KR", "CP949", "", true}, {"uhc", "cp949", "windows-949", "ks_c_5601-1987"}},
    {{"EUC-TW", "EUC-TW", "", true}, {}},
    {{"ISO-2022-JP", "ISO-2022-JP", "", true}, {}},
    {{"ISO-2022-KR", "ISO-2022-KR", "", true}, {}},
    {{"ISO-2022-CN", "ISO-2022-CN", "", true}, {}},
};

bool SameLabel(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsC1OrZero(char32_t cp) { return cp == 0 || (cp >= 0x80 && cp <= 0x9F); }

}  // namespace

const LegacyCodePage* FindLegacyCodePage(std::string_view label) {
  if (label.empty()) return nullptr;
  for (const Entry& e : kPages) {
    if (SameLabel(label, e.page.name)) return &e.page;
    for (std::string_view alias : e.labels)
      if (!alias.empty() && SameLabel(label, alias)) return &e.page;
  }
  return nullptr;
}

std::optional<std::u32string> DecodeLegacy(std::string_view bytes, const LegacyCodePage& page) {
  const std::optional<std::string> utf32 = TranscodeStrict("UTF-32LE", page.converter, bytes);
  if (!utf32) return std::nullopt;
  std::u32string cps(utf32->size() / 4, U'\0');
  for (std::size_t i = 0; i < cps.size(); ++i) {
    const auto* b = reinterpret_cast<const unsigned char*>(utf32->data() + 4 * i);
    cps[i] = static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<char32_t>(b[3]) << 24);
    if (IsC1OrZero(cps[i])) return std::nullopt;
  }
  return cps;
}

const LegacyCodePage* PageThatReads(std::string_view bytes, const LegacyCodePage& page) {
  if (DecodeLegacy(bytes, page)) return &page;
  if (page.windows.empty()) return nullptr;
  const LegacyCodePage* sibling = FindLegacyCodePage(page.windows);
  return sibling && DecodeLegacy(bytes, *sibling) ? sibling : nullptr;
}

}  // namespace lumivex
