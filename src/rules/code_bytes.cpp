#include "rules/code_bytes.h"

#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::size_t LiteralEnd(std::string_view text, std::size_t open) {
  const char quote = text[open];
  std::size_t i = open + 1;
  while (i < text.size()) {
    if (IsSjisPair(text, i)) {
      i += 2;
      continue;
    }
    const char c = text[i];
    if (IsLineEnd(c)) return i;
    ++i;
    if (c == quote) return i;
    if (c == '\\' && i < text.size() && !IsLineEnd(text[i])) {
      i += IsSjisPair(text, i) ? 2 : 1;
    }
  }
  return text.size();
}

std::string ClassifyBytes(std::string_view text) {
  std::string kinds(text.size(), kCodeByte);
  std::size_t i = 0;
  // Marks [from, to) as kind, second bytes of two-byte characters as such.
  const auto mark = [&](std::size_t from, std::size_t to, ByteKind kind) {
    for (std::size_t j = from; j < to; ++j) {
      kinds[j] = kind;
      if (IsSjisPair(text, j) && j + 1 < to) kinds[++j] = kTrailByte;
    }
  };
  while (i < text.size()) {
    if (IsSjisPair(text, i)) {
      kinds[i + 1] = kTrailByte;
      i += 2;
      continue;
    }
    const char c = text[i];
    if (c == '"' || c == '\'') {
      const std::size_t end = LiteralEnd(text, i);
      mark(i, end, kLiteralByte);
      i = end;
      continue;
    }
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      std::size_t end = i;
      while (end < text.size() && !IsLineEnd(text[end])) end += IsSjisPair(text, end) ? 2 : 1;
      end = std::min(end, text.size());
      mark(i, end, kCommentByte);
      i = end;
      continue;
    }
    ++i;
  }
  return kinds;
}

bool CodeAt(std::string_view text, std::string_view kinds, std::size_t at,
            std::string_view needle) {
  if (at > text.size() || text.size() - at < needle.size()) return false;
  if (text.compare(at, needle.size(), needle) != 0) return false;
  for (std::size_t j = at; j < at + needle.size(); ++j)
    if (kinds[j] != kCodeByte) return false;
  return true;
}

std::size_t FindCode(std::string_view text, std::string_view kinds, std::string_view needle,
                     std::size_t from) {
  if (needle.empty()) return kNone;
  for (std::size_t p = text.find(needle, from); p != kNone; p = text.find(needle, p + 1)) {
    if (CodeAt(text, kinds, p, needle)) return p;
  }
  return kNone;
}

std::size_t FindCodeWord(std::string_view text, std::string_view kinds, std::string_view word,
                         std::size_t from) {
  for (std::size_t p = FindCode(text, kinds, word, from); p != kNone;
       p = FindCode(text, kinds, word, p + 1)) {
    const std::size_t end = p + word.size();
    const bool before = p == 0 || IsWordDelimiter(static_cast<unsigned char>(text[p - 1]), false);
    const bool after =
        end == text.size() || IsWordDelimiter(static_cast<unsigned char>(text[end]), true);
    if (before && after) return p;
  }
  return kNone;
}

CodeAndComment CutLineComment(std::string_view line) {
  const std::size_t p = line.find("//");
  if (p == kNone) return {line, {}};
  const std::string kinds = ClassifyBytes(line);
  for (std::size_t at = p; at != kNone; at = line.find("//", at + 1)) {
    if (kinds[at] == kCommentByte) return {line.substr(0, at), line.substr(at)};
  }
  return {line, {}};
}

}  // namespace lumivex
