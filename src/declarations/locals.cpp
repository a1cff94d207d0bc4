#include "declarations/locals.h"

#include <array>
#include <string>

#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

bool Holds(std::string_view text, std::string_view needle) { return PosNth(0, needle, text) > 0; }

// Loop heads that declare their counter, recorded as "int".
constexpr std::array<std::string_view, 4> kLoopHeads = {"for(int ", "for (int ", "for( int ",
                                                        "for ( int "};

// The text in front of the first sep, or all of it.
std::string Before(std::string_view sep, std::string text) {
  return Holds(text, sep) ? Fetch(sep, text) : text;
}

std::string LocalName(std::string_view text) { return Before("[", std::string(Trim(text))); }

// The type word (with its blank) a declaration line is cut after, and the
// type it records; empty when the trimmed line begins with no head.
struct Head {
  std::string_view cutAfter;
  std::string_view type;
};
Head FindHead(std::string_view trimmed) {
  for (std::string_view word : kTypeWords)
    if (trimmed.starts_with(word)) return {word, word.substr(0, word.size() - 1)};
  for (std::string_view loop : kLoopHeads)
    if (trimmed.starts_with(loop)) return {"int ", "int"};
  return {};
}

void AppendDeclarators(std::string decl, std::string_view type, NameList& list) {
  if (Holds(decl, "=") && Holds(decl, "(") && Holds(decl, ",")) decl = Fetch("=", decl);
  while (PosOutsideString(0, ",", decl) > 0) {
    const std::string piece = FetchOutsideString(",", decl);
    list.Append(LocalName(Before("=", piece)), std::string(type));
  }
  list.Append(LocalName(Before("=", decl)), std::string(type));
}

void CollectLine(std::string line, LineCursor& unread, NameList& list) {
  for (;;) {
    if (Trim(line).starts_with("//")) return;
    if (PosOutsideString(0, "//", line) > 0) line = FetchOutsideString("//", line);
    // An array initialiser is dropped with its "=", and its further lines
    // are not taken: they hold values, not declarations.
    const bool initialiser = Holds(line, "]") && Holds(line, "=") && Holds(line, "{");
    if (initialiser) {
      line = Fetch("{", line);
      line = FetchLast("=", line);
    }
    if (Trim(line).starts_with("{")) Fetch("{", line);
    if (Trim(line).starts_with(";")) Fetch(";", line);
    const Head head = FindHead(Trim(line));
    if (head.type.empty()) return;
    Fetch(head.cutAfter, line);
    if (!initialiser) {
      bool closed = Holds(line, ";");
      while (!closed && !unread.Empty()) {
        const std::string next = unread.Fetch();
        closed = Holds(next, ";");
        line += "\r\n";
        line += next;
      }
    }
    AppendDeclarators(Fetch(";", line), head.type, list);
    if (line.empty() || !Holds(line, ";")) return;
  }
}

}  // namespace

void CollectLocalVariables(std::string_view text, NameList& list) {
  const int brace = PosNth(0, "{", text);
  if (brace < 1 || static_cast<std::size_t>(brace) == text.size()) {
    list.Clear();
    return;
  }
  LineCursor unread{std::string(text.substr(static_cast<std::size_t>(brace)))};
  while (!unread.Empty()) CollectLine(unread.Fetch(), unread, list);
}

}  // namespace lumivex
