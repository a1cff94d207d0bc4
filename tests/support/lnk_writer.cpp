#include "support/lnk_writer.h"

#include <fstream>
#include <stdexcept>

#include "text/transcode.h"

namespace lumivex::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian integer of n bytes.
void Put(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Set(Bytes& b, std::size_t at, std::size_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

std::string Utf16(const std::string& s) { return Transcode("UTF-16LE", "UTF-8", s, ""); }

// A NUL-terminated string whose offset from `start` goes into the field at start + field.
void PutAt(Bytes& b, std::size_t start, std::size_t field, const std::string& s, bool wide) {
  Set(b, start + field, b.size() - start);
  Put(b, wide ? Utf16(s) : s);
  b.insert(b.end(), wide ? 2 : 1, 0);
}

void PutLinkInfo(Bytes& b, const LnkSpec& fields) {
  const std::size_t start = b.size(), headerSize = fields.unicode ? 0x24 : 0x1C;
  b.resize(start + headerSize, 0);
  Set(b, start + 4, headerSize);
  Set(b, start + 8, 0x1);  // VolumeIDAndLocalBasePath
  Set(b, start + 12, headerSize);  // VolumeID: fixed drive, no label
  for (std::uint32_t v : {0x11u, 3u, 0x12345678u, 0x10u}) Put(b, v, 4);
  b.push_back(0);
  PutAt(b, start, 16, fields.localBasePath, false);
  PutAt(b, start, 24, fields.commonPathSuffix, false);
  if (fields.unicode) {
    PutAt(b, start, 28, fields.localBasePath, true);
    PutAt(b, start, 32, fields.commonPathSuffix, true);
  }
  Set(b, start, b.size() - start);
}

}  // namespace

LnkSpec AnsiLink(std::string windowsPath) {
  LnkSpec fields;
  fields.localBasePath = std::move(windowsPath);
  return fields;
}

LnkSpec UnicodeLink(std::string windowsPath) {
  LnkSpec fields = AnsiLink(std::move(windowsPath));
  fields.unicode = true;
  return fields;
}

LnkSpec RelativeLink(std::string relativePath, bool unicode) {
  LnkSpec fields;
  fields.unicode = unicode;
  fields.withIdList = false;
  fields.relativePath = std::move(relativePath);
  return fields;
}

std::vector<std::uint8_t> MakeLnk(const LnkSpec& fields) {
  const bool hasLinkInfo = !fields.localBasePath.empty();
  const std::string* strings[] = {&fields.name, &fields.relativePath, &fields.workingDir, &fields.arguments,
                                  &fields.iconLocation};
  std::uint32_t flags = (fields.withIdList ? 0x1u : 0u) | (hasLinkInfo ? 0x2u : 0u) |
                        (fields.unicode ? 0x80u : 0u);
  for (std::size_t i = 0; i < 5; ++i) {
    if (!strings[i]->empty()) flags |= 0x4u << i;
  }
  Bytes b;
  Put(b, 0x4C, 4);
  Put(b, std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
  Put(b, flags, 4);
  Put(b, 0x20, 4);             // FileAttributes: archive
  b.resize(b.size() + 28, 0);  // three times, FileSize
  Put(b, static_cast<std::uint32_t>(fields.iconIndex), 4);
  Put(b, 1, 4);                // ShowCommand: normal
  b.resize(b.size() + 12, 0);  // HotKey, reserved
  if (fields.withIdList) {
    // One item of junk and the empty terminating item: only the size counts.
    Put(b, 12, 2);
    Put(b, std::string("\x0A\x00\x1F\x50\xE0\x4F\xD0\x20\xEA\x3A\x00\x00", 12));
  }
  if (hasLinkInfo) PutLinkInfo(b, fields);
  for (const std::string* s : strings) {
    if (s->empty()) continue;
    const std::string data = fields.unicode ? Utf16(*s) : *s;
    Put(b, static_cast<std::uint32_t>(fields.unicode ? data.size() / 2 : data.size()), 2);
    Put(b, data);
  }
  Put(b, 0, 4);  // ExtraData terminal block
  return b;
}

void WriteLnk(const std::filesystem::path& file, const LnkSpec& fields) {
  const Bytes bytes = MakeLnk(fields);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace lumivex::testing
