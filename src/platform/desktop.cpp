#include "platform/desktop.h"

#include <unistd.h>

#include <system_error>

namespace lumivex {

namespace {

bool IsExecutableFile(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::filesystem::path> FindOnPath(std::string_view program,
                                                std::string_view searchPath) {
  if (program.empty()) return std::nullopt;
  if (program.find('/') != std::string_view::npos) {
    std::filesystem::path direct(program);
    if (IsExecutableFile(direct)) return direct;
    return std::nullopt;
  }
  std::size_t start = 0;
  while (start <= searchPath.size()) {
    std::size_t colon = searchPath.find(':', start);
    if (colon == std::string_view::npos) colon = searchPath.size();
    std::string_view dir = searchPath.substr(start, colon - start);
    // An empty entry means the current folder; a program should not start
    // whatever lies in the folder it happens to run in, so it is skipped.
    if (!dir.empty()) {
      std::filesystem::path candidate = std::filesystem::path(dir) / program;
      if (IsExecutableFile(candidate)) return candidate;
    }
    start = colon + 1;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> FindTextEditor(std::string_view searchPath) {
  for (std::string_view editor : kTextEditors) {
    if (auto found = FindOnPath(editor, searchPath)) return found;
  }
  return FindOpener(searchPath);
}

std::optional<std::filesystem::path> FindOpener(std::string_view searchPath) {
  return FindOnPath("xdg-open", searchPath);
}

}  // namespace lumivex
