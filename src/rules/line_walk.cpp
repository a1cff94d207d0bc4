#include "rules/line_walk.h"

#include <array>

#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

LineParts SplitCodeAndComment(std::string_view line) {
  LineParts parts;
  const int p = PosOutsideString(0, "//", line);
  if (p < 1) {
    parts.code = std::string(line);
    return parts;
  }
  const auto at = static_cast<std::size_t>(p - 1);
  parts.code = std::string(line.substr(0, at));
  parts.comment = std::string(line.substr(at));
  return parts;
}

bool IsCommentLine(std::string_view line) { return Trim(line).starts_with("//"); }

bool IsCodeFree(std::string_view line) {
  const LineParts parts = SplitCodeAndComment(line);
  std::string_view rest = Trim(parts.code);
  while (rest.starts_with(markers::MarkOpen)) {
    const std::size_t close = rest.find(markers::MarkClose);
    if (close == std::string_view::npos) return false;
    rest = Trim(rest.substr(close + markers::MarkClose.size()));
  }
  return rest.empty();
}

bool BlockCommentOpenAfter(std::string_view line, bool open) {
  const std::string mask = MaskLiterals(line);
  for (std::size_t i = 0; i + 1 < mask.size(); ++i) {
    if (open) {
      if (mask[i] == '*' && mask[i + 1] == '/') {
        open = false;
        ++i;
      }
    } else if (mask[i] == '/' && mask[i + 1] == '/') {
      return false;
    } else if (mask[i] == '/' && mask[i + 1] == '*') {
      open = true;
      ++i;
    }
  }
  return open;
}

std::optional<std::string_view> FindProgramLine(std::string_view text, std::string_view key,
                                                bool skipLineComments) {
  bool inComment = false;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 2;
    const bool commented = InBlockComment(line, inComment);
    inComment = BlockCommentOpenAfter(line, inComment);
    if (commented || (skipLineComments && line.starts_with("//"))) continue;
    if (PosNthNoCase(0, key, line) > 0) return line;
  }
  return std::nullopt;
}

bool IsHeadLine(std::string_view code) {
  // With its blank, no type word is a prefix of another, so the order of
  // the tests does not change the answer.
  static constexpr std::array<std::string_view, 15> kTypeWords = {
      "void ",   "bool ", "datetime ", "color ", "char ",  "uchar ", "short ", "ushort ",
      "string ", "int ",  "uint ",     "long ",  "ulong ", "float ", "double "};
  const std::string_view trimmed = Trim(code);
  bool typed = false;
  for (std::string_view word : kTypeWords) {
    if (trimmed.starts_with(word)) {
      typed = true;
      break;
    }
  }
  if (!typed) return false;
  // Only code steers the test: a ";" or a brace in a default value
  // (string sep = ";") or as the second byte of a two-byte character (0x7B,
  // 0x7D) is none.
  const std::string mask = MaskLiterals(code);
  const auto holds = [&mask](char c) { return mask.find(c) != std::string::npos; };
  if (!holds('(')) return false;
  const bool brace = holds('{');
  if (holds(';') && !brace) return false;
  if (holds('}') && !(brace && (PosWord(0, "if", mask) > 0 || holds(';')))) return false;
  return true;
}

std::string WalkCodeLines(std::string_view text, const CodeRule& rule) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 16);
  LineCursor unread{std::string(text)};
  while (!unread.Empty()) {
    std::string line = unread.Fetch("\r\n");
    if (IsCommentLine(line)) {
      out += line;
      out += "\r\n";
      continue;
    }
    LineParts parts = SplitCodeAndComment(line);
    rule(parts.code, unread);
    out += parts.code;
    out += parts.comment;
    out += "\r\n";
  }
  return out;
}

}  // namespace lumivex
