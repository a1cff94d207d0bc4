// Test-only writer of shortcut (.lnk) files in the Shell Link binary format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumivex::testing {

// What to put in a shortcut. Strings are UTF-8, written byte for byte as ANSI
// or as UTF-16LE when unicode is set (string data and LinkInfo paths).
struct LnkSpec {
  bool unicode = false;
  bool withIdList = true;        // a small target ID list the reader must skip
  std::string localBasePath;     // LinkInfo when not empty: "C:\Data\a.mq4" or "C:\Data\"
  std::string commonPathSuffix;  // appended to localBasePath by the reader
  std::string name, relativePath, workingDir, arguments, iconLocation;  // string data
  std::int32_t iconIndex = 0;
};

LnkSpec AnsiLink(std::string windowsPath);
LnkSpec UnicodeLink(std::string windowsPath);
// Only a relative path ("..\dir\a.mq4"), no ID list and no LinkInfo.
LnkSpec RelativeLink(std::string relativePath, bool unicode = false);

std::vector<std::uint8_t> MakeLnk(const LnkSpec& fields);
// Writes MakeLnk(fields) to file; throws std::runtime_error when it cannot.
void WriteLnk(const std::filesystem::path& file, const LnkSpec& fields);

}  // namespace lumivex::testing
