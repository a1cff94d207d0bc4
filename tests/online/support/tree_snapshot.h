// Everything below a folder, to show that an operation left it untouched.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace lumivex::testing {

// Relative path -> kind, mode bits and content (a link's target for links).
inline std::map<std::string, std::string> TreeSnapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> tree;
  for (auto it = std::filesystem::recursive_directory_iterator(root);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    struct stat st {};
    ::lstat(it->path().c_str(), &st);
    std::string value = std::to_string(st.st_mode) + ":";
    if (it->is_symlink()) {
      value += "-> " + std::filesystem::read_symlink(it->path()).string();
    } else if (it->is_regular_file()) {
      std::ifstream in(it->path(), std::ios::binary);
      std::ostringstream s;
      s << in.rdbuf();
      value += s.str();
    }
    tree[std::filesystem::relative(it->path(), root).string()] = value;
  }
  return tree;
}

inline std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline unsigned ModeOf(const std::filesystem::path& file) {
  struct stat st {};
  ::lstat(file.c_str(), &st);
  return st.st_mode & 07777;
}

}  // namespace lumivex::testing
