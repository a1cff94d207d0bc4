#include "declarations/collection.h"

#include <string>

#include "rules/global_part.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

bool Holds(std::string_view text, std::string_view needle) { return PosNth(0, needle, text) > 0; }

// The text in front of the first code occurrence of sep, or all of it.
std::string BeforeInCode(std::string_view sep, std::string text) {
  if (PosInCode(0, sep, text) == 0) return text;
  return FetchInCode(sep, text);
}

// A name as the declarations write it: trimmed, then cut in front of "[".
std::string DeclaredName(std::string_view text) {
  return BeforeInCode("[", std::string(Trim(text)));
}

// The first type word, in the fixed order, that occurs anywhere in text.
std::string_view FindTypeWord(std::string_view text) {
  for (std::string_view word : kTypeWords)
    if (Holds(text, word)) return word;
  return {};
}

// The declarators of one statement (the text up to its ";"), appended with
// their type. An array initialiser's commas separate nothing.
void AppendDeclarators(std::string decl, std::string_view type, NameList& list) {
  if (Holds(decl, "{") && Holds(decl, "}")) decl = Fetch("{", decl);
  while (PosInCode(0, ",", decl) > 0) {
    const std::string piece = FetchInCode(",", decl);
    list.Append(DeclaredName(BeforeInCode("=", piece)), std::string(type));
  }
  list.Append(DeclaredName(BeforeInCode("=", decl)), std::string(type));
}

// One line of CollectDeclarations; a line holding several statements is read
// statement by statement. Continuation lines are taken off `unread`.
void CollectLine(std::string line, LineCursor& unread, bool& imported, NameList& list) {
  for (;;) {
    if (Trim(line).starts_with("//")) return;
    if (PosOutsideString(0, "//", line) > 0) line = FetchOutsideString("//", line);
    const std::string_view trimmed = Trim(line);
    if (trimmed.starts_with("#property ") || trimmed.starts_with("#include")) return;
    if (trimmed.starts_with("#import")) {
      imported = HasImportLine(unread.Rest());
      return;
    }
    if (imported) return;

    std::string rest = line;
    if (Holds(line, "#define ")) {
      Fetch("#define ", rest);
      const std::string name = Fetch(" ", rest);
      list.Append(DeclaredName(name), "");
    } else {
      const std::string_view word = FindTypeWord(line);
      if (word.empty()) return;
      Fetch(word, rest);
      // Only the line just added can bring the ";" the statement waits for.
      bool closed = PosInCode(0, ";", rest) > 0;
      while (!closed && !unread.Empty()) {
        const std::string next = unread.Fetch();
        closed = PosInCode(0, ";", next) > 0;
        rest += next;
        rest += "\r\n";
      }
      AppendDeclarators(FetchInCode(";", rest), word.substr(0, word.size() - 1), list);
    }
    if (rest.empty() || PosInCode(0, ";", rest) == 0) return;
    line = std::move(rest);
  }
}

}  // namespace

void CollectDeclarations(std::string_view text, NameList& list) {
  LineCursor unread{std::string(text)};
  bool imported = false;
  while (!unread.Empty()) CollectLine(unread.Fetch(), unread, imported, list);
}

NameList ParseDeclarationList(std::string_view text) {
  NameList list;
  while (!text.empty()) {
    const int comma = PosNth(0, ",", text);
    std::string piece(comma < 1 ? text : text.substr(0, static_cast<std::size_t>(comma - 1)));
    text = comma < 1 ? std::string_view() : text.substr(static_cast<std::size_t>(comma));
    if (Trim(piece).starts_with("//")) continue;
    if (PosOutsideString(0, "//", piece) > 0) piece = FetchOutsideString("//", piece);
    if (Holds(piece, "#define ")) {
      Fetch("#define ", piece);
      list.Append(DeclaredName(Fetch(" ", piece)), "");
      continue;
    }
    const std::string_view word = FindTypeWord(piece);
    if (word.empty()) continue;
    Fetch(word, piece);
    list.Append(DeclaredName(BeforeInCode("=", piece)), std::string(word.substr(0, word.size() - 1)));
  }
  return list;
}

NameList ParseFunctionParams(std::string_view header) {
  std::string head(header);
  head = Fetch(")", head);
  if (!Holds(head, "(")) return NameList();
  Fetch("(", head);
  return ParseDeclarationList(head);
}

}  // namespace lumivex
