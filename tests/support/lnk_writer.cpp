#include "support/lnk_writer.h"

#include <fstream>
#include <stdexcept>

namespace lumivex::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void SetU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::uint32_t cp;
    std::size_t n;
    if (c < 0x80) {
      cp = c, n = 1;
    } else if ((c >> 5) == 0x6) {
      cp = c & 0x1F, n = 2;
    } else if ((c >> 4) == 0xE) {
      cp = c & 0x0F, n = 3;
    } else {
      cp = c & 0x07, n = 4;
    }
    for (std::size_t k = 1; k < n && i + k < s.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

void PutCString(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
}

void PutWString(Bytes& b, const std::string& s) {
  for (char16_t u : Utf8ToUtf16(s)) PutU16(b, u);
  PutU16(b, 0);
}

void PutCounted(Bytes& b, const std::string& s, bool unicode) {
  if (unicode) {
    const std::u16string w = Utf8ToUtf16(s);
    PutU16(b, static_cast<std::uint32_t>(w.size()));
    for (char16_t u : w) PutU16(b, u);
  } else {
    PutU16(b, static_cast<std::uint32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
  }
}

Bytes LinkInfo(const LnkSpec& spec) {
  const bool local = !spec.localBasePath.empty();
  const bool network = !spec.networkShare.empty();
  const std::uint32_t headerSize = spec.unicodeLinkInfo ? 0x24 : 0x1C;
  Bytes b(headerSize, 0);
  SetU32(b, 4, headerSize);
  SetU32(b, 8, (local ? 0x1u : 0u) | (network ? 0x2u : 0u));
  if (local) {
    SetU32(b, 12, static_cast<std::uint32_t>(b.size()));  // VolumeID: fixed drive, no label
    PutU32(b, 0x11);
    PutU32(b, 3);
    PutU32(b, 0x12345678);
    PutU32(b, 0x10);
    b.push_back(0);
    SetU32(b, 16, static_cast<std::uint32_t>(b.size()));
    PutCString(b, spec.localBasePath);
  }
  if (network) {
    SetU32(b, 20, static_cast<std::uint32_t>(b.size()));
    const std::size_t start = b.size();
    PutU32(b, 0);  // size, set below
    PutU32(b, 0);  // flags
    PutU32(b, 0x14);
    PutU32(b, 0);
    PutU32(b, 0x00020000);
    PutCString(b, spec.networkShare);
    SetU32(b, start, static_cast<std::uint32_t>(b.size() - start));
  }
  SetU32(b, 24, static_cast<std::uint32_t>(b.size()));
  PutCString(b, spec.commonPathSuffix);
  if (spec.unicodeLinkInfo) {
    if (local) {
      SetU32(b, 28, static_cast<std::uint32_t>(b.size()));
      PutWString(b, spec.localBasePath);
    }
    SetU32(b, 32, static_cast<std::uint32_t>(b.size()));
    PutWString(b, spec.commonPathSuffix);
  }
  SetU32(b, 0, static_cast<std::uint32_t>(b.size()));
  return b;
}

}  // namespace

LnkSpec AnsiLink(std::string windowsPath) {
  LnkSpec spec;
  spec.localBasePath = std::move(windowsPath);
  return spec;
}

LnkSpec UnicodeLink(std::string windowsPath) {
  LnkSpec spec;
  spec.unicode = true;
  spec.unicodeLinkInfo = true;
  spec.localBasePath = std::move(windowsPath);
  return spec;
}

LnkSpec RelativeLink(std::string relativePath, bool unicode) {
  LnkSpec spec;
  spec.unicode = unicode;
  spec.withIdList = false;
  spec.relativePath = std::move(relativePath);
  return spec;
}

std::vector<std::uint8_t> MakeLnk(const LnkSpec& spec) {
  const bool hasLinkInfo = !spec.localBasePath.empty() || !spec.networkShare.empty();
  std::uint32_t flags = 0;
  if (spec.withIdList) flags |= 0x1;
  if (hasLinkInfo) flags |= 0x2;
  if (!spec.name.empty()) flags |= 0x4;
  if (!spec.relativePath.empty()) flags |= 0x8;
  if (!spec.workingDir.empty()) flags |= 0x10;
  if (!spec.arguments.empty()) flags |= 0x20;
  if (!spec.iconLocation.empty()) flags |= 0x40;
  if (spec.unicode) flags |= 0x80;

  Bytes b;
  PutU32(b, 0x4C);
  for (std::uint8_t byte : {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x46}) {
    b.push_back(byte);
  }
  PutU32(b, flags);
  PutU32(b, 0x20);               // FileAttributes: archive
  b.resize(b.size() + 24, 0);    // creation, access and write times
  PutU32(b, 0);                  // FileSize
  PutU32(b, static_cast<std::uint32_t>(spec.iconIndex));
  PutU32(b, 1);                  // ShowCommand: normal
  PutU16(b, 0);                  // HotKey
  b.resize(b.size() + 10, 0);    // reserved
  if (spec.withIdList) {
    // One item of junk bytes and the terminating empty item: the reader must
    // skip the list by its size without looking inside.
    const Bytes item = {0x0A, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A};
    PutU16(b, static_cast<std::uint32_t>(item.size() + 2));
    b.insert(b.end(), item.begin(), item.end());
    PutU16(b, 0);
  }
  if (hasLinkInfo) {
    const Bytes info = LinkInfo(spec);
    b.insert(b.end(), info.begin(), info.end());
  }
  for (const std::string* s : {&spec.name, &spec.relativePath, &spec.workingDir, &spec.arguments,
                               &spec.iconLocation}) {
    if (!s->empty()) PutCounted(b, *s, spec.unicode);
  }
  PutU32(b, 0);  // ExtraData terminal block
  return b;
}

void WriteLnk(const std::filesystem::path& file, const LnkSpec& spec) {
  const Bytes bytes = MakeLnk(spec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace lumivex::testing
