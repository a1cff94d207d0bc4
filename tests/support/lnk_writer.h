// Test-only writer of shortcut (.lnk) files in the Shell Link binary format.
// Standard C++ only, so every test program can link it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumivex::testing {

// What to put in a shortcut. Strings are UTF-8; ANSI fields are written byte
// for byte, Unicode fields as UTF-16LE.
struct LnkSpec {
  bool unicode = false;           // string data in UTF-16 (IsUnicode flag)
  bool withIdList = true;         // a small target ID list the reader must skip
  // LinkInfo (written when localBasePath or networkShare is not empty).
  std::string localBasePath;      // "C:\Data\a.mq4" or "C:\Data\"
  std::string commonPathSuffix;   // appended to localBasePath by the reader
  bool unicodeLinkInfo = false;   // also write the Unicode forms (header size 0x24)
  std::string networkShare;       // "\\server\share": a network link
  // String data, in the order the format gives.
  std::string name;
  std::string relativePath;       // ".\a.mq4"
  std::string workingDir;
  std::string arguments;
  std::string iconLocation;
  std::int32_t iconIndex = 0;
};

// A shortcut to a local Windows path, strings in ANSI.
LnkSpec AnsiLink(std::string windowsPath);
// The same with Unicode string data and Unicode LinkInfo paths.
LnkSpec UnicodeLink(std::string windowsPath);
// A shortcut with only a relative path ("..\dir\a.mq4" or "a.mq4").
LnkSpec RelativeLink(std::string relativePath, bool unicode = false);

std::vector<std::uint8_t> MakeLnk(const LnkSpec& spec);
// Writes MakeLnk(spec) to file; throws std::runtime_error when it cannot.
void WriteLnk(const std::filesystem::path& file, const LnkSpec& spec);

}  // namespace lumivex::testing
