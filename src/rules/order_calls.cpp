#include "rules/order_calls.h"

#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

bool HoldsInCode(std::string_view text, std::string_view needle) {
  return PosInCode(0, needle, text) > 0;
}

bool ValueAlreadyUsed(std::string_view prefix) {
  const std::string_view t = Trim(prefix);
  return HoldsInCode(RightStr(6, t), "if(") || HoldsInCode(RightStr(7, t), "if (") ||
         HoldsInCode(RightStr(8, t), "while") || t.ends_with('=');
}

// 0-based place of the first call in code whose name starts a word, so that
// "MyOrderClose(" is not taken for "OrderClose("; npos when there is none.
std::size_t FindCall(std::string_view line, std::string_view call) {
  for (int n = 0;; ++n) {
    const int p = PosInCode(n, call, line);
    if (p < 1) return std::string_view::npos;
    const auto at = static_cast<std::size_t>(p - 1);
    if (at == 0 || IsWordDelimiter(static_cast<unsigned char>(line[at - 1]), false)) return at;
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsNameByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u == '_' || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z') ||
         u >= 0x80;
}

// A bool declaration that names chk with an initialiser or blanks before its
// ";" or ",": the word chk after "bool " in the same declaration (no bracket,
// brace or ";" between), followed by "=", ";" or ",", outside parentheses.
bool DeclaresChkLoosely(std::string_view code) {
  std::string lower(code);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  std::size_t from = 0;
  while (true) {
    const int p = PosWord(0, "chk", std::string_view(lower).substr(from));
    if (p < 1) return false;
    const std::size_t at = from + static_cast<std::size_t>(p - 1);
    from = at + 3;
    std::size_t next = from;
    while (next < lower.size() && IsBlank(lower[next])) ++next;
    if (next >= lower.size()) continue;
    const char c = lower[next];
    const bool ends =
        c == ';' || c == ',' || (c == '=' && (next + 1 >= lower.size() || lower[next + 1] != '='));
    if (!ends) continue;
    const std::size_t decl = lower.rfind("bool ", at);
    if (decl == std::string::npos || (decl > 0 && IsNameByte(lower[decl - 1]))) continue;
    const std::string_view between = std::string_view(lower).substr(decl, at - decl);
    if (between.find_first_of("(){};") != std::string_view::npos) continue;
    // Inside an open parenthesis it is a parameter or a loop variable, not
    // a variable the whole program sees.
    int open = 0;
    for (std::size_t i = 0; i < decl; ++i) open += (lower[i] == '(') - (lower[i] == ')');
    if (open <= 0) return true;
  }
}

}  // namespace

std::string WrapOrderCallWithChk(std::string_view line) {
  bool named = false;
  for (std::string_view call : kOrderCalls) {
    if (PosWord(0, call.substr(0, call.size() - 1), line) > 0) named = true;
  }
  if (!named) return std::string(line);
  for (std::string_view call : kOrderCalls) {
    const std::size_t at = FindCall(line, call);
    if (at == std::string_view::npos) continue;
    const std::string_view prefix = line.substr(0, at);
    if (ValueAlreadyUsed(prefix)) return std::string(line);
    return std::string(prefix) + "chk = " + std::string(line.substr(at));
  }
  // A name without its "(" (a blank before it, only in a literal, or only
  // inside a longer name): no call to wrap, so the line stays as it is.
  return std::string(line);
}

bool HasChkDeclaration(std::string_view text) {
  LineCursor lines{std::string(text)};
  while (!lines.Empty()) {
    std::string line = lines.Fetch("\r\n");
    if (Trim(line).starts_with("//")) continue;
    if (PosOutsideString(0, "//", line) > 0) line = FetchOutsideString("//", line);
    if (PosNthNoCase(0, "bool ", line) > 0 &&
        (PosNthNoCase(0, " chk;", line) > 0 || DeclaresChkLoosely(line))) {
      return true;
    }
  }
  return false;
}

}  // namespace lumivex
