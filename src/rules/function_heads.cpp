#include "rules/function_heads.h"

#include <algorithm>
#include <array>

#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::array<std::string_view, 15> kHeadTypes = {
    "void", "bool", "datetime", "color", "char",  "uchar", "short", "ushort",
    "string", "int", "uint",    "long",  "ulong", "float", "double"};

// The type word of a trimmed head, with the blank that must follow it.
std::string_view TypeWithBlank(std::string_view trimmed) {
  for (std::string_view type : kHeadTypes) {
    if (trimmed.size() > type.size() && trimmed.starts_with(type) && trimmed[type.size()] == ' ')
      return trimmed.substr(0, type.size() + 1);
  }
  return {};
}

bool IsNameByte(char ch) {
  const auto b = static_cast<unsigned char>(ch);
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}

// True when the code of a line opens or closes a "/* */" comment. Comments
// that are not folded away stand in the text as they are, and a head is
// never read, nor joined, across their edges: a header quoted in a comment
// would take in the code after it.
bool HoldsBlockCommentEdge(std::string_view line) {
  std::string mask = MaskLiterals(line);
  mask.resize(std::min(mask.size(), mask.find("//")));
  return mask.find("/*") != std::string::npos || mask.find("*/") != std::string::npos;
}

// Lines a window reads while it waits for the ")", and a join while it waits
// for the "{".
constexpr int kMaxOpenLines = 64;

}  // namespace

bool HasInitialiserBeforeParen(std::string_view code) {
  const int paren = PosNth(0, "(", code);
  const std::string_view before =
      paren < 1 ? code : code.substr(0, static_cast<std::size_t>(paren - 1));
  return PosNth(0, "=", before) > 0;
}

bool WindowShowsBody(std::string_view code, LineCursor& unread, int countedLines) {
  // Only the first ")", ";" and "{" of code decide, so the window is never
  // built: each line is searched once, at its offset in the window. Those in
  // literals (a default value such as sep = ";") steer nothing.
  const auto note = [](std::size_t& first, char needle, std::string_view mask,
                       std::size_t offset) {
    if (first != 0) return;
    const std::size_t p = mask.find(needle);
    if (p != std::string_view::npos) first = offset + p + 1;
  };
  std::size_t close = 0, semi = 0, brace = 0;
  {
    const std::string mask = MaskLiterals(code);
    note(close, ')', mask, 0);
    note(semi, ';', mask, 0);
    note(brace, '{', mask, 0);
  }
  const std::string_view before = unread.Rest();
  std::size_t offset = code.size();
  int counted = 0;
  // Once ";" and "{" are found more lines cannot change the answer: a ")"
  // still to come stands behind the ";" (which is never among the first four
  // bytes of a head). A ")" that has not come within kMaxOpenLines lines
  // closes no parameter list; stopping there keeps a text full of unclosed
  // head-like lines from being read to its end again and again.
  int lines = 0;
  bool crossesComment = false;
  const auto decided = [&] { return semi != 0 && brace != 0 && (close != 0 || semi > 4); };
  while (counted < countedLines && !unread.Empty() && !decided() &&
         (close != 0 || lines < kMaxOpenLines)) {
    ++lines;
    const std::string_view line = unread.FetchView();
    if (brace == 0 && HoldsBlockCommentEdge(line)) {
      crossesComment = true;
      break;
    }
    const std::string mask = MaskLiterals(line);
    note(close, ')', mask, offset);
    note(semi, ';', mask, offset);
    note(brace, '{', mask, offset);
    offset += line.size() + 2;
    if (close != 0) ++counted;
  }
  unread.PutBack(before.substr(0, before.size() - unread.Rest().size()));

  if (crossesComment) return false;
  if (close < semi && semi < close + 5) return false;
  if (semi > 0 && semi < brace) return false;
  return brace != 0;
}

HeadKind JudgeHead(std::string_view code, LineCursor& unread, int countedLines) {
  if (!IsHeadLine(code)) return HeadKind::NotHeadLike;
  if (HasInitialiserBeforeParen(code)) return HeadKind::Initialiser;
  return WindowShowsBody(code, unread, countedLines) ? HeadKind::Head : HeadKind::NotHead;
}

void JoinHead(std::string& code, LineCursor& unread) {
  const auto opens = [](std::string_view c) {
    return MaskLiterals(c).find('{') != std::string::npos;
  };
  if (opens(code)) return;
  const std::string_view before = unread.Rest();
  std::string joined = code;
  std::string moved;
  bool braced = false;
  // A brace that has not come within kMaxOpenLines lines opens no body of
  // this head; stopping there keeps a text full of head-like lines linear.
  for (int lines = 0; !braced && !unread.Empty() && lines < kMaxOpenLines; ++lines) {
    const std::string_view line = unread.FetchView();
    if (IsCodeFree(line)) {
      moved += line;
      moved += "\r\n";
      continue;
    }
    if (HoldsBlockCommentEdge(line)) break;
    const LineParts parts = SplitCodeAndComment(line);
    braced = opens(parts.code);
    if (!braced && PosOutsideString(0, ";", parts.code) > 0) break;
    if (!joined.empty() && !parts.code.empty() && IsNameByte(joined.back()) &&
        IsNameByte(parts.code.front())) {
      joined += ' ';
    }
    joined += parts.code;
    if (!parts.comment.empty()) {
      moved += parts.comment;
      moved += "\r\n";
    }
  }
  if (!braced) {
    // No body follows: nothing is joined and every line read is read again.
    unread.PutBack(before.substr(0, before.size() - unread.Rest().size()));
    return;
  }
  code = std::move(joined);
  code += "\r\n";
  // What was read but not joined is read again, directly behind the head.
  unread.PutBack(moved);
}

std::string_view HeadType(std::string_view code) {
  const std::string_view word = TypeWithBlank(Trim(code));
  return word.empty() ? word : word.substr(0, word.size() - 1);
}

std::string_view HeadName(std::string_view code) {
  const std::string_view word = TypeWithBlank(Trim(code));
  if (word.empty()) return {};
  const int at = PosNth(0, word, code);
  if (at < 1) return {};
  const std::string_view after = code.substr(static_cast<std::size_t>(at - 1) + word.size());
  const int paren = PosNth(0, "(", after);
  return paren < 1 ? after : after.substr(0, static_cast<std::size_t>(paren - 1));
}

}  // namespace lumivex
