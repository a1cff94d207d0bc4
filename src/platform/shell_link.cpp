#include "platform/shell_link.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <set>
#include <system_error>
#include <vector>

#include "text/transcode.h"

namespace lumivex {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlag : std::uint32_t {
  HasLinkTargetIDList = 0x1,
  HasLinkInfo = 0x2,
  HasName = 0x4,
  HasRelativePath = 0x8,
  HasWorkingDir = 0x10,
  HasArguments = 0x20,
  HasIconLocation = 0x40,
  IsUnicode = 0x80,
  ForceNoLinkInfo = 0x100,
};

// LinkInfo flag: a local path is given. A network share alone is of no use
// here, so it is not read.
constexpr std::uint32_t VolumeIDAndLocalBasePath = 0x1;

// Shortcut files are a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxLinkFileSize = 4u << 20;

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::span<const std::uint8_t> utf16le) {
  return Transcode("UTF-8", "UTF-16LE",
                   std::string_view(reinterpret_cast<const char*>(utf16le.data()), utf16le.size()),
                   "\xEF\xBF\xBD", 2);
}

// ANSI strings of a shortcut are in the code page of the system that made
// it; for this program's users that is CP932. Text that is not valid CP932
// is kept byte for byte.
std::string AnsiToUtf8(std::string_view s) {
  return TranscodeStrict("UTF-8", "CP932", s).value_or(std::string(s));
}

// Bounds-checked little-endian reads over a byte span. Every read reports
// failure instead of running past the end.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool U16(std::size_t at, std::uint32_t& out) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) return false;
    out = bytes_[at] | (static_cast<std::uint32_t>(bytes_[at + 1]) << 8);
    return true;
  }
  bool U32(std::size_t at, std::uint32_t& out) const {
    if (at > bytes_.size() || bytes_.size() - at < 4) return false;
    out = 0;
    for (int i = 3; i >= 0; --i) out = (out << 8) | bytes_[at + static_cast<std::size_t>(i)];
    return true;
  }
  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> Sub(std::size_t at, std::size_t n) const { return bytes_.subspan(at, n); }

  // NUL-terminated ANSI string starting at `at`, as UTF-8.
  bool CString(std::size_t at, std::string& out) const {
    for (std::size_t i = at; i < bytes_.size(); ++i) {
      if (bytes_[i] == 0) {
        out = AnsiToUtf8({reinterpret_cast<const char*>(bytes_.data()) + at, i - at});
        return true;
      }
    }
    return false;
  }
  // NUL-terminated UTF-16LE string starting at `at`, as UTF-8.
  bool WString(std::size_t at, std::string& out) const {
    for (std::size_t i = at;; i += 2) {
      std::uint32_t unit;
      if (!U16(i, unit)) return false;
      if (unit == 0) {
        out = Utf16ToUtf8(Sub(at, i - at));
        return true;
      }
    }
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

bool ReadLinkInfo(const Reader& r, std::size_t start, ShellLinkData& data, std::size_t& size) {
  std::uint32_t total, headerSize, flags;
  if (!r.U32(start, total) || !r.U32(start + 4, headerSize) || !r.U32(start + 8, flags)) return false;
  if (total < 0x1C || headerSize < 0x1C || headerSize > total || total > r.size() - start) return false;
  size = total;
  const Reader info(r.Sub(start, total));

  std::uint32_t localOffset = 0, suffixOffset = 0, localOffsetW = 0, suffixOffsetW = 0;
  if (!info.U32(16, localOffset) || !info.U32(24, suffixOffset)) return false;
  if (headerSize >= 0x24 && (!info.U32(28, localOffsetW) || !info.U32(32, suffixOffsetW))) return false;

  if (flags & VolumeIDAndLocalBasePath) {
    if (localOffsetW != 0) {
      if (!info.WString(localOffsetW, data.localBasePath)) return false;
    } else {
      if (!info.CString(localOffset, data.localBasePath)) return false;
    }
  }
  // The common path suffix follows the local base path (or the network share).
  if (suffixOffsetW != 0) {
    if (!info.WString(suffixOffsetW, data.commonPathSuffix)) return false;
  } else if (suffixOffset != 0) {
    if (!info.CString(suffixOffset, data.commonPathSuffix)) return false;
  }
  return true;
}

bool ReadCountedString(const Reader& r, std::size_t& at, bool unicode, std::string& out) {
  std::uint32_t count;
  if (!r.U16(at, count)) return false;
  at += 2;
  const std::size_t bytes = unicode ? count * 2u : count;
  if (bytes > r.size() - at) return false;
  const std::span<const std::uint8_t> raw = r.Sub(at, bytes);
  out = unicode ? Utf16ToUtf8(raw)
                : AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
  at += bytes;
  return true;
}

std::string ForwardSlashes(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

std::string JoinWindowsPath(std::string_view base, std::string_view suffix) {
  std::string joined(base);
  if (!suffix.empty() && !joined.empty() && joined.back() != '\\') joined += '\\';
  joined += suffix;
  return joined;
}

bool Exists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

}  // namespace

std::optional<ShellLinkData> ParseShellLink(std::span<const std::uint8_t> bytes) {
  const Reader r(bytes);
  std::uint32_t headerSize, flags, iconIndex;
  if (!r.U32(0, headerSize) || headerSize != kHeaderSize || bytes.size() < kHeaderSize) return std::nullopt;
  for (std::size_t i = 0; i < kLinkClsid.size(); ++i) {
    if (bytes[4 + i] != kLinkClsid[i]) return std::nullopt;
  }
  if (!r.U32(20, flags) || !r.U32(56, iconIndex)) return std::nullopt;

  ShellLinkData data;
  data.isUnicode = (flags & IsUnicode) != 0;
  data.iconIndex = static_cast<std::int32_t>(iconIndex);
  std::size_t at = kHeaderSize;

  if (flags & HasLinkTargetIDList) {
    std::uint32_t idListSize;
    if (!r.U16(at, idListSize) || idListSize > r.size() - at - 2) return std::nullopt;
    at += 2 + idListSize;
  }
  if (flags & HasLinkInfo) {
    ShellLinkData info;
    std::size_t size = 0;
    if (!ReadLinkInfo(r, at, info, size)) return std::nullopt;
    if (!(flags & ForceNoLinkInfo)) {
      data.localBasePath = std::move(info.localBasePath);
      data.commonPathSuffix = std::move(info.commonPathSuffix);
    }
    at += size;
  }
  const std::pair<LinkFlag, std::string*> strings[] = {
      {HasName, &data.name},
      {HasRelativePath, &data.relativePath},
      {HasWorkingDir, &data.workingDir},
      {HasArguments, &data.arguments},
      {HasIconLocation, &data.iconLocation},
  };
  for (const auto& [flag, field] : strings) {
    if ((flags & flag) && !ReadCountedString(r, at, data.isUnicode, *field)) return std::nullopt;
  }
  return data;
}

DriveMap DriveMap::FromEnvironment() {
  // Without a home folder only Z: maps; a relative guess would depend on the
  // folder the program happens to run in.
  const char* home = std::getenv("HOME");
  if (!home || !*home) return DriveMap{};
  return DriveMap{std::filesystem::path(home) / ".wine" / "dosdevices"};
}

std::optional<std::filesystem::path> MapDrivePath(std::string_view windowsPath, const DriveMap& drives) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
  char letter = windowsPath[0];
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  if (letter < 'a' || letter > 'z') return std::nullopt;
  std::string_view rest = windowsPath.substr(2);
  while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.remove_prefix(1);

  std::filesystem::path root;
  if (letter == 'z') {
    root = "/";
  } else {
    if (drives.dosDevices.empty()) return std::nullopt;
    const std::filesystem::path device = drives.dosDevices / std::string{letter, ':'};
    std::error_code ec;
    if (std::filesystem::is_symlink(device, ec)) {
      std::filesystem::path target = std::filesystem::read_symlink(device, ec);
      if (ec) return std::nullopt;
      root = (drives.dosDevices / target).lexically_normal();
    } else if (std::filesystem::is_directory(device, ec)) {
      root = device;
    } else {
      return std::nullopt;
    }
  }
  if (rest.empty()) return root;
  return root / ForwardSlashes(rest);
}

std::optional<ShortcutTarget> ResolveShortcut(const std::filesystem::path& link, const DriveMap& drives) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(link, ec)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(link, ec);
  if (ec || size > kMaxLinkFileSize) return std::nullopt;
  std::ifstream in(link, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    return std::nullopt;
  }
  const std::optional<ShellLinkData> data = ParseShellLink(bytes);
  if (!data) return std::nullopt;

  std::vector<std::filesystem::path> candidates;
  if (!data->localBasePath.empty()) {
    if (auto mapped = MapDrivePath(JoinWindowsPath(data->localBasePath, data->commonPathSuffix), drives)) {
      candidates.push_back(*mapped);
    }
  }
  if (!data->relativePath.empty()) {
    const std::string rel = ForwardSlashes(data->relativePath);
    if (auto mapped = MapDrivePath(data->relativePath, drives)) {
      candidates.push_back(*mapped);
    } else if (!rel.empty() && rel.front() != '/') {
      // "//server/share" or "/x" is not relative to anything here.
      candidates.push_back((link.parent_path() / rel).lexically_normal());
    }
  }
  if (candidates.empty()) return std::nullopt;

  ShortcutTarget target{candidates.front(), data->arguments, data->iconLocation, data->iconIndex};
  for (const auto& c : candidates) {
    if (Exists(c)) {
      target.path = c;
      break;
    }
  }
  return target;
}

bool IsShortcutName(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".lnk";
}

std::optional<std::filesystem::path> ResolveLinkOnce(const std::filesystem::path& path, const DriveMap& drives) {
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
    if (ec) return std::nullopt;
    if (target.is_absolute()) return target.lexically_normal();
    // The kernel takes a relative target from the folder the symlink really
    // lies in, so that folder's own links are resolved first.
    const std::filesystem::path folder = std::filesystem::weakly_canonical(
        path.has_parent_path() ? path.parent_path() : std::filesystem::path("."), ec);
    if (ec) return std::nullopt;
    return (folder / target).lexically_normal();
  }
  if (!IsShortcutName(path)) return std::nullopt;
  std::optional<ShortcutTarget> target = ResolveShortcut(path, drives);
  if (!target) return std::nullopt;
  return target->path;
}

std::optional<std::filesystem::path> FollowLinks(const std::filesystem::path& path, const DriveMap& drives) {
  // A chain longer than any real one is treated like a cycle.
  constexpr int kMaxHops = 64;
  std::set<std::filesystem::path> followed;
  std::filesystem::path current = path;
  for (int hop = 0; hop <= kMaxHops; ++hop) {
    std::error_code ec;
    const bool isLink = std::filesystem::is_symlink(current, ec) || IsShortcutName(current);
    if (!isLink) return current;
    const std::filesystem::path key = std::filesystem::absolute(current, ec).lexically_normal();
    if (!followed.insert(key).second) return std::nullopt;
    std::optional<std::filesystem::path> next = ResolveLinkOnce(current, drives);
    if (!next) return std::nullopt;
    current = *next;
  }
  return std::nullopt;
}

}  // namespace lumivex
