#include "declarations/code_regions.h"

#include <algorithm>

#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool StartsAt(std::string_view s, std::size_t i, std::string_view what) {
  return s.size() - i >= what.size() && s.compare(i, what.size(), what) == 0;
}

bool IsLineEnd(std::string_view s, std::size_t i) { return StartsAt(s, i, "\r\n"); }

void Mark(std::vector<Region>& regions, std::size_t from, std::size_t to, Region r) {
  for (std::size_t k = from; k < to; ++k) regions[k] = r;
}

// Delimiters of a whole word, the line ends on both sides included.
bool IsWordBreak(unsigned char b) { return b == '\r' || b == '\n' || IsWordDelimiter(b, false); }

}  // namespace

std::vector<Region> ClassifyRegions(std::string_view text) {
  std::vector<Region> regions(text.size(), Region::Code);
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsSjisPair(text, i)) {
      i += 2;
      continue;
    }
    const char c = text[i];
    if (c == '/' && StartsAt(text, i, "//")) {
      std::size_t end = text.find("\r\n", i);
      if (end == kNone) end = text.size();
      Mark(regions, i, end, Region::LineComment);
      i = end;
      continue;
    }
    if (c == '/' && StartsAt(text, i, "/*")) {
      const std::size_t close = text.find("*/", i + 2);
      const std::size_t end = close == kNone ? text.size() : close + 2;
      Mark(regions, i, end, Region::BlockComment);
      i = end;
      continue;
    }
    if (c != '"' && c != '\'') {
      ++i;
      continue;
    }
    const std::size_t start = i++;
    while (i < text.size() && !IsLineEnd(text, i)) {
      if (IsSjisPair(text, i)) {
        i += 2;
        continue;
      }
      const char b = text[i++];
      if (b == c) break;
      if (b == '\\' && i < text.size() && !IsLineEnd(text, i)) ++i;
    }
    Mark(regions, start, i, Region::Literal);
  }
  return regions;
}

std::size_t FindInCode(std::string_view text, const std::vector<Region>& regions,
                       std::string_view needle, std::size_t from, std::size_t to) {
  text = text.substr(0, std::min(to, text.size()));
  for (std::size_t p = FindMbcs(text, needle, from); p != kNone; p = FindMbcs(text, needle, p + 1)) {
    if (regions[p] == Region::Code) return p;
  }
  return kNone;
}

LineSplit SplitLine(std::string_view line, const std::vector<Region>& regions, std::size_t at) {
  for (std::size_t k = 0; k < line.size(); ++k)
    if (regions[at + k] == Region::LineComment) return {line.substr(0, k), line.substr(k)};
  return {line, {}};
}

bool HasCodeByte(std::string_view line, const std::vector<Region>& regions, std::size_t at, char c) {
  for (std::size_t k = 0; k < line.size(); ++k)
    if (line[k] == c && regions[at + k] == Region::Code) return true;
  return false;
}

bool IsWholeWordAt(std::string_view text, std::size_t p, std::size_t length) {
  const bool before = p == 0 || IsWordDelimiter(static_cast<unsigned char>(text[p - 1]), false);
  const bool after = p + length == text.size() ||
                     IsWordDelimiter(static_cast<unsigned char>(text[p + length]), true);
  return before && after;
}

std::string ReplaceWordOutsideLiterals(std::string_view newWord, std::string_view oldWord,
                                       std::string_view text, int& replaced) {
  replaced = 0;
  std::size_t p = FindMbcs(text, oldWord, 0);
  if (p == kNone) return std::string(text);
  const std::vector<Region> regions = ClassifyRegions(text);
  std::string out;
  out.reserve(text.size());
  std::size_t rest = 0;
  for (; p != kNone; p = FindMbcs(text, oldWord, p + oldWord.size())) {
    if (regions[p] == Region::Literal || !IsWholeWordAt(text, p, oldWord.size())) continue;
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
  const std::vector<Region> regions = ClassifyRegions(text);
  const auto outsideComments = [&](std::size_t p) {
    return regions[p] == Region::Code || regions[p] == Region::Literal;
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

int BraceBalance(std::string_view text) {
  const std::vector<Region> regions = ClassifyRegions(text);
  int balance = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (regions[i] != Region::Code) continue;
    if (text[i] == '{') ++balance;
    if (text[i] == '}') --balance;
  }
  return balance;
}

std::size_t ClosingBraceEnd(std::string_view text, int depth) {
  const std::vector<Region> regions = ClassifyRegions(text);
  bool opened = depth > 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (regions[i] != Region::Code) continue;
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
