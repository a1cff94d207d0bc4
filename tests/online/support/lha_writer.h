// Test-only writer of LHA archives with stored (-lh0-) data, in header
// levels 0 and 2, including the entries an extractor must refuse (absolute
// names, symbolic links, wrong CRCs, unknown methods).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumivex::testing {

struct LhaEntry {
  enum class Kind { File, Folder, Symlink };

  // "/"-separated name as stored ("sub/file.txt", "/etc/x", "../up").
  std::string name;
  std::string data;
  Kind kind = Kind::File;
  // Unix mode bits stored with the entry (level 2: extended header 0x50;
  // level 0: the Unix extension). None: no mode stored.
  std::optional<unsigned> mode;
  std::string linkTarget;              // Symlink only (level 2)
  std::optional<std::uint16_t> crc;    // stored CRC; default: the data's
  std::string method = "-lh0-";        // stored as given; the data is never compressed
  char osId = 'U';                     // level 2
};

LhaEntry LhaFile(std::string name, std::string data, std::optional<unsigned> mode = std::nullopt);
LhaEntry LhaFolder(std::string name);
LhaEntry LhaSymlink(std::string name, std::string target);

// The CRC-16 LHA stores (polynomial 0xA001 reflected, start 0).
std::uint16_t LhaCrc16(std::string_view data);

// The archive bytes: each entry's header and data, then the end mark.
std::string MakeLhaArchive(const std::vector<LhaEntry>& entries, int level);
// Writes MakeLhaArchive to file; throws std::runtime_error when it cannot.
void WriteLhaArchive(const std::filesystem::path& file, const std::vector<LhaEntry>& entries,
                     int level);

}  // namespace lumivex::testing
