// Replaces and the occurrence counts that share their substring search.
#include <algorithm>
#include <string>
#include <string_view>

#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

}  // namespace

std::string ReplaceText(Engine& engine, int maxCount, std::string_view newStr,
                        std::string_view oldStr, std::string_view text) {
  std::size_t p = FindMbcs(text, oldStr, 0);
  if (p == kNone) return std::string(text);
  // Set on every occurrence, also when newStr equals oldStr.
  engine.TextChanged = true;
  std::string out;
  out.reserve(text.size());
  std::size_t rest = 0;
  int replaced = 0;
  do {
    out.append(text.substr(rest, p - rest));
    out.append(newStr);
    rest = p + oldStr.size();
    ++replaced;
    p = FindMbcs(text, oldStr, rest);
  } while ((maxCount < 1 || replaced < maxCount) && p != kNone);
  out.append(text.substr(rest));
  return out;
}

std::string ReplaceWholeWord(Engine& engine, int maxCount, std::string_view newWord,
                             std::string_view oldWord, std::string_view text) {
  std::size_t p = FindMbcs(text, oldWord, 0);
  if (p == kNone) return std::string(text);
  // Set whenever the word occurs at all, whole or not.
  engine.TextChanged = true;
  const std::size_t m = oldWord.size();
  std::string out;
  out.reserve(text.size());
  std::size_t rest = 0;
  int replaced = 0;
  while (p != kNone) {
    // Judged on the whole text, so "i" in "ii" and "a" in "a.aa" behind an
    // earlier occurrence are not mistaken for words.
    const bool before = p == 0 || IsWordDelimiter(static_cast<unsigned char>(text[p - 1]), false);
    const bool after =
        p + m == text.size() || IsWordDelimiter(static_cast<unsigned char>(text[p + m]), true);
    out.append(text.substr(rest, p - rest));
    if (before && after) {
      out.append(newWord);
      ++replaced;
    } else {
      out.append(oldWord);
    }
    rest = p + m;
    if (maxCount >= 1 && replaced >= maxCount) break;
    p = FindMbcs(text, oldWord, rest);
  }
  out.append(text.substr(rest));
  return out;
}

std::string ReplaceNth(Engine& engine, int nth, std::string_view newStr, std::string_view oldStr,
                       std::string_view text) {
  if (nth < 1) return ReplaceText(engine, 0, newStr, oldStr, text);
  const int p = PosNth(nth - 1, oldStr, text);
  if (p < 1) return std::string(text);
  const std::size_t at = static_cast<std::size_t>(p - 1);
  std::string out;
  out.reserve(text.size() + newStr.size());
  out.append(text.substr(0, at));
  out.append(newStr);
  out.append(text.substr(at + oldStr.size()));
  return out;
}

int IndentWidth(Engine& engine, std::string_view line) {
  const std::string_view body = Trim(line);
  // Every leading byte is 0x20 or below, so the trimmed text first occurs
  // right behind the indent.
  const std::string_view indent =
      body.empty() ? line : line.substr(0, static_cast<std::size_t>(body.data() - line.data()));
  return static_cast<int>(ReplaceText(engine, 0, "    ", "\t", indent).size());
}

int CountChar(std::string_view ch, std::string_view text) {
  if (ch.size() != 1) return 0;
  return static_cast<int>(std::count(text.begin(), text.end(), ch[0]));
}

int CountSubstring(std::string_view needle, std::string_view text) {
  int count = 0;
  for (std::size_t p = FindMbcs(text, needle, 0); p != kNone;
       p = FindMbcs(text, needle, p + needle.size())) {
    ++count;
  }
  return count;
}

}  // namespace lumivex
