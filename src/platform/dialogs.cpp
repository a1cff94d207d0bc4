#include "platform/dialogs.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace lumivex {

namespace {

std::vector<std::string_view> Split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t at = s.find(sep, start);
    parts.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

void AddPatterns(std::string_view list, char sep, std::vector<std::string>& patterns) {
  for (std::string_view p : Split(list, sep)) {
    p = Trim(p);
    if (p.empty()) continue;
    bool seen = false;
    for (const std::string& q : patterns) seen = seen || q == p;
    if (!seen) patterns.emplace_back(p);
  }
}

}  // namespace

std::optional<std::string> FindTypedFile(const std::string& path, std::string_view defaultExt) {
  namespace fs = std::filesystem;
  auto isFile = [](const std::string& p) {
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
  };
  if (isFile(path)) return path;
  std::error_code ec;
  if (defaultExt.empty() || path.empty() || fs::exists(path, ec)) return std::nullopt;
  const std::string name = fs::path(path).filename().string();
  if (name.empty() || name.find('.') != std::string::npos) return std::nullopt;

  std::string lower(defaultExt), upper(defaultExt);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  for (const std::string& ext : {std::string(defaultExt), lower, upper}) {
    const std::string candidate = path + "." + ext;
    if (isFile(candidate)) return candidate;
  }
  return std::nullopt;
}

std::string QtFilterFromWindows(std::string_view filter) {
  const std::vector<std::string_view> fields = Split(filter, '|');
  std::string out;
  for (std::size_t i = 0; i < fields.size(); i += 2) {
    std::string_view description = Trim(fields[i]);
    std::string_view patternField = i + 1 < fields.size() ? fields[i + 1] : std::string_view();
    if (description.empty() && Trim(patternField).empty()) continue;

    // Qt reads the patterns from the description's trailing parentheses, so
    // those already written there are merged with the pair's own patterns.
    std::vector<std::string> patterns;
    if (!description.empty() && description.back() == ')') {
      if (std::size_t open = description.rfind('('); open != std::string_view::npos) {
        AddPatterns(description.substr(open + 1, description.size() - open - 2), ' ', patterns);
        description = Trim(description.substr(0, open));
      }
    }
    for (std::string_view group : Split(patternField, ';')) AddPatterns(group, ' ', patterns);
    if (patterns.empty()) patterns.emplace_back("*");

    if (!out.empty()) out += ";;";
    out += description;
    if (!description.empty()) out += ' ';
    out += '(';
    for (std::size_t k = 0; k < patterns.size(); ++k) {
      if (k) out += ' ';
      out += patterns[k];
    }
    out += ')';
  }
  return out;
}

}  // namespace lumivex
