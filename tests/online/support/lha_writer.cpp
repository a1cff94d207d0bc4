#include "online/support/lha_writer.h"

#include <fstream>
#include <stdexcept>

namespace lumivex::testing {

namespace {

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void Set16(std::string& out, std::size_t at, unsigned value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

std::string FolderPart(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

std::string BasePart(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string Level0(const LhaEntry& e) {
  if (e.kind != LhaEntry::Kind::File) throw std::invalid_argument("level 0 holds files only");
  std::string name = e.name;
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  std::string body = e.method.substr(0, 5);
  Put32(body, static_cast<std::uint32_t>(e.data.size()));
  Put32(body, static_cast<std::uint32_t>(e.data.size()));
  Put32(body, 0);  // DOS time and date
  body += '\x20';  // attribute: archive
  body += '\0';    // level
  body += static_cast<char>(name.size());
  body += name;
  Put16(body, e.crc.value_or(LhaCrc16(e.data)));
  if (e.mode) {
    body += 'U';
    body += '\0';  // minor version
    Put32(body, 0);  // time
    Put16(body, *e.mode);
    Put16(body, 1000);  // uid
    Put16(body, 1000);  // gid
  }
  unsigned sum = 0;
  for (unsigned char c : body) sum += c;
  std::string header;
  header += static_cast<char>(body.size());
  header += static_cast<char>(sum & 0xFF);
  return header + body + e.data;
}

std::string Level2(const LhaEntry& e) {
  std::vector<std::pair<unsigned char, std::string>> extended;
  extended.emplace_back(0x00, std::string(2, '\0'));  // header CRC, filled in below
  std::string folder = e.kind == LhaEntry::Kind::Folder ? e.name : FolderPart(e.name);
  if (e.kind != LhaEntry::Kind::Folder) {
    std::string file = BasePart(e.name);
    if (e.kind == LhaEntry::Kind::Symlink) file += "|" + e.linkTarget;
    extended.emplace_back(0x01, file);
  }
  if (!folder.empty()) {
    for (char& c : folder) {
      if (c == '/') c = '\xFF';
    }
    extended.emplace_back(0x02, folder + '\xFF');
  }
  std::optional<unsigned> mode = e.mode;
  if (e.kind == LhaEntry::Kind::Symlink && !mode) mode = 0120777;
  if (e.kind == LhaEntry::Kind::Folder && !mode) mode = 040755;
  if (mode) {
    std::string bits;
    Put16(bits, *mode & 0xFFFF);
    extended.emplace_back(0x50, bits);
  }

  const bool stored = e.kind != LhaEntry::Kind::File;
  const std::string method = stored ? "-lhd-" : e.method.substr(0, 5);
  std::string header;
  Put16(header, 0);  // total size, filled in below
  header += method;
  Put32(header, static_cast<std::uint32_t>(e.data.size()));
  Put32(header, static_cast<std::uint32_t>(e.data.size()));
  Put32(header, 0);  // Unix time
  header += '\x20';
  header += '\x02';  // level
  Put16(header, e.crc.value_or(LhaCrc16(e.data)));
  header += e.osId;
  Put16(header, static_cast<unsigned>(1 + extended.front().second.size() + 2));
  const std::size_t crcAt = header.size() + 1;
  for (std::size_t i = 0; i < extended.size(); ++i) {
    header += static_cast<char>(extended[i].first);
    header += extended[i].second;
    Put16(header, i + 1 < extended.size() ? static_cast<unsigned>(1 + extended[i + 1].second.size() + 2) : 0);
  }
  // A size whose low byte is 0 would read as the end mark: pad by one byte.
  if ((header.size() & 0xFF) == 0) header += '\0';
  Set16(header, 0, static_cast<unsigned>(header.size()));
  Set16(header, crcAt, LhaCrc16(header));
  return header + e.data;
}

}  // namespace

LhaEntry LhaFile(std::string name, std::string data, std::optional<unsigned> mode) {
  LhaEntry e;
  e.name = std::move(name);
  e.data = std::move(data);
  e.mode = mode;
  return e;
}

LhaEntry LhaFolder(std::string name) {
  LhaEntry e;
  e.name = std::move(name);
  e.kind = LhaEntry::Kind::Folder;
  return e;
}

LhaEntry LhaSymlink(std::string name, std::string target) {
  LhaEntry e;
  e.name = std::move(name);
  e.kind = LhaEntry::Kind::Symlink;
  e.linkTarget = std::move(target);
  return e;
}

std::uint16_t LhaCrc16(std::string_view data) {
  unsigned crc = 0;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return static_cast<std::uint16_t>(crc);
}

std::string MakeLhaArchive(const std::vector<LhaEntry>& entries, int level) {
  if (level != 0 && level != 2) throw std::invalid_argument("levels 0 and 2 only");
  std::string archive;
  for (const LhaEntry& e : entries) archive += level == 0 ? Level0(e) : Level2(e);
  archive += '\0';
  return archive;
}

void WriteLhaArchive(const std::filesystem::path& file, const std::vector<LhaEntry>& entries,
                     int level) {
  const std::string bytes = MakeLhaArchive(entries, level);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace lumivex::testing
