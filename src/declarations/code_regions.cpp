#include "declarations/code_regions.h"

#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Delimiters of a whole word, the line ends on both sides included.
bool IsWordBreak(unsigned char b) { return b == '\r' || b == '\n' || IsWordDelimiter(b, false); }

}  // namespace

std::string ReplaceWordOutsideLiterals(std::string_view newWord, std::string_view oldWord,
                                       std::string_view text, int& replaced) {
  replaced = 0;
  std::size_t p = FindMbcs(text, oldWord, 0);
  if (p == kNone) return std::string(text);
  const CodeKinds kinds = ClassifyCode(text, kDeclarationSyntax);
  std::string out;
  out.reserve(text.size());
  std::size_t rest = 0;
  for (; p != kNone; p = FindMbcs(text, oldWord, p + oldWord.size())) {
    if (kinds[p] == CodeKind::Literal || !IsWholeWordAt(text, p, oldWord.size())) continue;
    out.append(text, rest, p - rest);
    out.append(newWord);
    rest = p + oldWord.size();
    ++replaced;
  }
  out.append(text, rest, kNone);
  return out;
}

std::unordered_map<std::string, int> CountUsesOutsideComments(
    std::string_view text, const std::vector<std::string>& names) {
  std::unordered_map<std::string, int> counts;
  if (names.empty()) return counts;
  const CodeKinds kinds = ClassifyCode(text, kDeclarationSyntax);
  const auto outsideComments = [&](std::size_t p) {
    return kinds[p] == CodeKind::Code || kinds[p] == CodeKind::Literal;
  };
  // A name made of word bytes only is a whole word exactly where a run of
  // word bytes equals it, so one walk over the runs counts them all. A name
  // holding a delimiter ("my.lot") is searched for on its own.
  std::unordered_map<std::string_view, int*> plain;
  for (const std::string& name : names) {
    int& count = counts[name];
    if (name.empty()) continue;
    bool wordBytes = true;
    for (char c : name) wordBytes = wordBytes && !IsWordBreak(static_cast<unsigned char>(c));
    if (wordBytes) {
      plain[name] = &count;
      continue;
    }
    count = 0;
    for (std::size_t p = FindMbcs(text, name, 0); p != kNone; p = FindMbcs(text, name, p + name.size()))
      if (outsideComments(p) && IsWholeWordAt(text, p, name.size())) ++count;
  }
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsWordBreak(static_cast<unsigned char>(text[i])) || !outsideComments(i)) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsWordBreak(static_cast<unsigned char>(text[end])) &&
           outsideComments(end))
      ++end;
    // A run cut short by a comment is bounded by "/" on both sides anyway.
    if (const auto it = plain.find(text.substr(i, end - i)); it != plain.end()) ++*it->second;
    i = end;
  }
  return counts;
}

std::size_t ClosingBraceEnd(std::string_view text, int depth) {
  const CodeKinds kinds = ClassifyCode(text, kDeclarationSyntax);
  bool opened = depth > 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kinds[i] != CodeKind::Code) continue;
    if (text[i] == '{') {
      ++depth;
      opened = true;
    } else if (text[i] == '}' && --depth == 0 && opened) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

}  // namespace lumivex
