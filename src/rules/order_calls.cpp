#include "rules/order_calls.h"

#include <algorithm>

#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

namespace {

bool IsNameByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u == '_' || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z') ||
         u >= 0x80;
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

bool EndsWithWord(std::string_view text, std::string_view word) {
  return text.ends_with(word) &&
         (text.size() == word.size() || !IsNameByte(text[text.size() - word.size() - 1]));
}

// True when the masked text s (literals hidden, trimmed) leaves what follows
// it at the start of a statement: nothing, "else", "do", a case label, or
// the closing ")" of the condition of an if, while or for that itself
// stands where a statement starts.
bool AtStatementStart(std::string_view s) {
  for (;;) {
    s = Trim(s);
    if (s.empty() || s == "else" || s == "do") return true;
    if (s.back() == ':') {
      const std::string_view label = Trim(s.substr(0, s.size() - 1));
      return label == "default" || label.starts_with("case ") || label.starts_with("case\t");
    }
    if (s.back() != ')') return false;
    int depth = 0;
    std::size_t open = s.size();
    while (open-- > 0) {
      if (s[open] == ')') ++depth;
      if (s[open] == '(' && --depth == 0) break;
    }
    if (open == std::string_view::npos) return false;
    const std::string_view head = Trim(s.substr(0, open));
    std::string_view keyword;
    for (std::string_view word : {"if", "while", "for"}) {
      if (EndsWithWord(head, word)) keyword = word;
    }
    if (keyword.empty()) return false;
    s = head.substr(0, head.size() - keyword.size());
  }
}

// True when the call at `at` in line is a statement of its own, so its value
// is thrown away: what stands before it since the last ";", "{" or "}"
// outside parentheses starts a statement, and behind its argument list comes
// its ";" or the line end (a list that runs on to the next line counts).
bool StandsAsStatement(std::string_view line, std::size_t at, std::size_t nameSize) {
  const std::string mask = MaskLiterals(line);
  const std::string_view before = std::string_view(mask).substr(0, at);
  std::size_t start = 0;
  int depth = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const char c = before[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth <= 0 && (c == ';' || c == '{' || c == '}')) {
      start = i + 1;
      depth = 0;
    }
  }
  if (!AtStatementStart(before.substr(start))) return false;
  depth = 0;
  for (std::size_t i = at + nameSize; i < mask.size(); ++i) {
    if (mask[i] == '(') ++depth;
    if (mask[i] == ')' && --depth == 0) {
      const std::string_view after = Trim(std::string_view(mask).substr(i + 1));
      return after.empty() || after.front() == ';';
    }
  }
  return true;
}

// True when code, the text of one statement at file scope with literals and
// comments hidden, declares a variable named chk: it begins with a type word
// (after "static", "extern", "input" or "const"), and chk stands as one of
// its declared names, outside parentheses, followed by ";", ",", "=" or "[".
bool DeclaresChk(std::string_view code) {
  static constexpr std::string_view kTypes[] = {
      "bool", "datetime", "color", "char",  "uchar", "short", "ushort",
      "string", "int",    "uint",  "long",  "ulong", "float", "double"};
  std::string lower(Trim(code));
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  std::string_view rest = lower;
  const auto takeWord = [&rest](std::string_view word) {
    if (!rest.starts_with(word) || rest.size() == word.size() || IsNameByte(rest[word.size()]))
      return false;
    rest = Trim(rest.substr(word.size()));
    return true;
  };
  while (takeWord("static") || takeWord("extern") || takeWord("input") || takeWord("const")) {
  }
  bool typed = false;
  for (std::string_view type : kTypes) typed = typed || takeWord(type);
  if (!typed) return false;
  // rest is the list of declarators: names at its level start it or follow a ",".
  int depth = 0;
  bool nameExpected = true;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const char c = rest[i];
    if (c == '(' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == ']' || c == '}') --depth;
    if (depth == 0 && c == ',') {
      nameExpected = true;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (nameExpected && depth == 0 && rest.substr(i).starts_with("chk")) {
      std::size_t next = i + 3;
      if (next < rest.size() && IsNameByte(rest[next])) {
        nameExpected = false;
        continue;
      }
      while (next < rest.size() && (rest[next] == ' ' || rest[next] == '\t')) ++next;
      if (next == rest.size() || rest[next] == ',' || rest[next] == '[' ||
          (rest[next] == '=' && (next + 1 == rest.size() || rest[next + 1] != '='))) {
        return true;
      }
    }
    nameExpected = false;
  }
  return false;
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
    // A value already used (in a condition, an expression, an argument, a
    // return) stays as it is; "x || chk = OrderModify(...)" would not compile.
    if (!StandsAsStatement(line, at, call.size() - 1)) return std::string(line);
    return std::string(line.substr(0, at)) + "chk = " + std::string(line.substr(at));
  }
  // A name without its "(" (a blank before it, only in a literal, or only
  // inside a longer name): no call to wrap, so the line stays as it is.
  return std::string(line);
}

bool HasChkDeclaration(std::string_view text) {
  // One pass over the text: literals, "//" and "/* */" comments and "#"
  // lines are skipped, braces give the depth, and every statement that ends
  // with a ";" at file scope is tested. A function's parameters end at its
  // "{", so they are never taken for a declaration.
  std::string statement;
  int depth = 0;
  bool lineStart = true;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const char c = text[i];
    if (IsSjisPair(text, i)) {
      if (depth == 0) statement.append(text.substr(i, 2));
      i += 2;
      lineStart = false;
      continue;
    }
    if (c == '\n') {
      lineStart = true;
      if (depth == 0) statement += ' ';
      ++i;
      continue;
    }
    if (lineStart && c == '#') {
      // A directive, with the lines a backslash at its end splices to it.
      for (;;) {
        const std::size_t end = std::min(text.find('\n', i), n);
        const std::string_view line = Trim(text.substr(i, end - i));
        i = end;
        if (i == n || line.empty() || line.back() != '\\') break;
        ++i;
      }
      continue;
    }
    if (c != ' ' && c != '\t' && c != '\r') lineStart = false;
    if (c == '/' && i + 1 < n && text[i + 1] == '/') {
      while (i < n && text[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      const std::size_t close = text.find("*/", i + 2);
      i = close == std::string_view::npos ? n : close + 2;
      if (depth == 0) statement += ' ';
      continue;
    }
    if (c == '"' || c == '\'') {
      // The literal becomes "_" in the statement; it ends at its quote or the line end.
      for (++i; i < n && text[i] != c && text[i] != '\n'; ++i) {
        if (text[i] == '\\' || IsSjisPair(text, i)) ++i;
      }
      if (i < n && text[i] == c) ++i;
      if (depth == 0) statement += '_';
      continue;
    }
    ++i;
    if (c == '{') {
      ++depth;
      statement.clear();
    } else if (c == '}') {
      depth = depth > 0 ? depth - 1 : 0;
      statement.clear();
    } else if (depth == 0) {
      if (c == ';') {
        if (DeclaresChk(statement)) return true;
        statement.clear();
      } else {
        statement += c;
      }
    }
  }
  return false;
}

}  // namespace lumivex
