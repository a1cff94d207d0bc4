// Shortcut files (.lnk, the Shell Link binary format) and symbolic links:
// what a dropped link points at.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumivex {

// The fields of a shortcut file this program reads. Strings are UTF-8:
// Unicode strings are converted from UTF-16LE, ANSI strings from CP932
// (plain ASCII passes through).
struct ShellLinkData {
  bool isUnicode = false;
  std::string localBasePath;     // LinkInfo, "C:\Data\" (empty when absent)
  std::string commonPathSuffix;  // LinkInfo, "a.mq4" (empty when absent)
  std::string name;
  std::string relativePath;      // relative to the link's folder, "\" separated
  std::string workingDir;
  std::string arguments;
  std::string iconLocation;
  int iconIndex = 0;
};

// Parses the bytes of a shortcut file. Nothing when the header size or the
// class id is wrong, or any structure runs past the end of the data.
std::optional<ShellLinkData> ParseShellLink(std::span<const std::uint8_t> bytes);

// Where drive letters lead, Wine-style: "Z:" is "/", any other drive the
// target of the symlink <dosDevices>/<letter>: (lower-case letter).
struct DriveMap {
  std::filesystem::path dosDevices;  // default: $HOME/.wine/dosdevices
  static DriveMap FromEnvironment();
};

// A Windows path "X:\dir\file" as a local path through the drive map;
// nothing for a path without a drive letter or a drive that does not map.
std::optional<std::filesystem::path> MapDrivePath(std::string_view windowsPath,
                                                  const DriveMap& drives);

struct ShortcutTarget {
  std::filesystem::path path;
  std::string arguments;
  std::string iconLocation;
  int iconIndex = 0;
};

// Reads a shortcut file and finds its target: the LinkInfo drive path mapped
// through the drive map, else the relative path resolved against the link's
// folder (the first of these that exists; else the first that could be
// formed). Nothing for an unreadable or malformed file, a network-only target
// or a link with no usable path. Resolves one level only.
std::optional<ShortcutTarget> ResolveShortcut(const std::filesystem::path& link,
                                              const DriveMap& drives = DriveMap::FromEnvironment());

// True when the last four characters of the name, lower-cased, are ".lnk".
bool IsShortcutName(const std::filesystem::path& path);

// One level of a link: a symlink's target (relative targets taken against the
// symlink's folder) or a shortcut's target. Nothing when path is neither a
// symlink nor a ".lnk" name, or the link cannot be resolved.
std::optional<std::filesystem::path> ResolveLinkOnce(const std::filesystem::path& path,
                                                     const DriveMap& drives = DriveMap::FromEnvironment());

// Follows symlinks and shortcuts until a name that is neither. The path itself
// when it is not a link; nothing when a link cannot be resolved or the chain
// comes back to a link already followed (a cycle).
std::optional<std::filesystem::path> FollowLinks(const std::filesystem::path& path,
                                                 const DriveMap& drives = DriveMap::FromEnvironment());

}  // namespace lumivex
