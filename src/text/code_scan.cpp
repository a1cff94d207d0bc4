#include "text/code_scan.h"

#include <algorithm>

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The reading behind MaskLiterals: a code part, whose comments are cut off
// already, with literals that run on to their closing quote.
constexpr CodeSyntax kMaskSyntax{.lineComments = false,
                                 .escapeWholeCharacter = false,
                                 .literalsEndAtLineEnd = false};

}  // namespace

CodeKinds ClassifyCode(std::string_view text, CodeSyntax syntax) {
  CodeKinds kinds(text.size(), CodeKind::Code);
  CodeReader(syntax).Read(text, [&](const CodeChar& ch) {
    kinds[ch.at] = ch.kind;
    if (ch.width == 2) kinds[ch.at + 1] = syntax.trailApart ? CodeKind::Trail : ch.kind;
  });
  return kinds;
}

bool CodeAt(std::string_view text, std::span<const CodeKind> kinds, std::size_t at,
            std::string_view needle) {
  if (at > text.size() || text.size() - at < needle.size()) return false;
  if (text.compare(at, needle.size(), needle) != 0) return false;
  return std::all_of(kinds.begin() + static_cast<std::ptrdiff_t>(at),
                     kinds.begin() + static_cast<std::ptrdiff_t>(at + needle.size()),
                     [](CodeKind k) { return k == CodeKind::Code; });
}

std::size_t FindCode(std::string_view text, std::span<const CodeKind> kinds,
                     std::string_view needle, std::size_t from, std::size_t to) {
  if (needle.empty()) return kNone;
  text = text.substr(0, std::min(to, text.size()));
  for (std::size_t p = FindMbcs(text, needle, from); p != kNone; p = FindMbcs(text, needle, p + 1)) {
    if (CodeAt(text, kinds, p, needle)) return p;
  }
  return kNone;
}

bool IsWholeWordAt(std::string_view text, std::size_t p, std::size_t length) {
  const bool before = p == 0 || IsWordDelimiter(static_cast<unsigned char>(text[p - 1]), false);
  const bool after = p + length == text.size() ||
                     IsWordDelimiter(static_cast<unsigned char>(text[p + length]), true);
  return before && after;
}

std::size_t FindCodeWord(std::string_view text, std::span<const CodeKind> kinds,
                         std::string_view word, std::size_t from) {
  for (std::size_t p = FindCode(text, kinds, word, from); p != kNone;
       p = FindCode(text, kinds, word, p + 1)) {
    if (IsWholeWordAt(text, p, word.size())) return p;
  }
  return kNone;
}

bool HasCodeByte(std::string_view text, std::span<const CodeKind> kinds, char c) {
  for (std::size_t i = text.find(c); i != kNone; i = text.find(c, i + 1))
    if (kinds[i] == CodeKind::Code) return true;
  return false;
}

CodeAndComment CutLineComment(std::string_view line, std::span<const CodeKind> kinds) {
  const auto comment = std::find(kinds.begin(), kinds.begin() + static_cast<std::ptrdiff_t>(line.size()),
                                 CodeKind::LineComment);
  const auto at = static_cast<std::size_t>(comment - kinds.begin());
  return {line.substr(0, at), line.substr(at)};
}

CodeAndComment CutLineComment(std::string_view line) {
  if (line.find("//") == kNone) return {line, {}};
  return CutLineComment(line, ClassifyCode(line));
}

int BraceBalance(std::string_view text, CodeSyntax syntax) {
  int balance = 0;
  const auto count = [&balance](char c) { balance += (c == '{') - (c == '}'); };
  CodeReader(syntax).Read(text, [&](const CodeChar& ch) {
    if (ch.kind != CodeKind::Code) return;
    count(text[ch.at]);
    if (ch.width == 2 && !syntax.trailApart) count(text[ch.at + 1]);
  });
  return balance;
}

std::string MaskLiterals(std::string_view code) {
  std::string mask(code);
  CodeReader(kMaskSyntax).Read(code, [&](const CodeChar& ch) {
    if (ch.width == 2) {
      mask[ch.at] = mask[ch.at + 1] = '_';
    } else if (ch.kind == CodeKind::Literal && !ch.quote) {
      mask[ch.at] = '_';
    }
  });
  return mask;
}

}  // namespace lumivex
