#include "rules/escapes.h"

#include "text/code_scan.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The escapes that keep their backslash (an escaped backslash never shows:
// the pre-pass holds the pair as a placeholder).
bool IsKeptEscape(char c) { return c == 'n' || c == 'r' || c == 't' || c == '"' || c == '\''; }

// 0-based opening quote of the first "..." literal of code, npos when none.
std::size_t FirstStringLiteral(std::string_view code) {
  std::size_t open = kNone;
  CodeReader().Read(code, [&](const CodeChar& ch) {
    if (!ch.quote || code[ch.at] != '"') return true;
    open = ch.at;
    return false;
  });
  return open;
}

// The line with the unrecognised escapes of its first "..." literal taken
// out: the literal's first backslash goes when it is no kept escape and at
// least two bytes of the literal follow it, and the test is made again on
// the backslash that is first then, so a converted line has nothing left to
// take out. False when nothing went.
bool RemoveUnrecognizedBackslashes(std::string_view line, std::string& out) {
  if (line.find('\\') == kNone) return false;
  const std::string_view trimmed = Trim(line);
  if (trimmed.starts_with("//") || trimmed.starts_with("#include") ||
      trimmed.starts_with("#import"))
    return false;
  const std::string_view code = CutLineComment(line).code;
  const std::size_t open = FirstStringLiteral(code);
  if (open == kNone) return false;
  // The literal ends at the next double quote, a backslash before it or not.
  const std::string_view after = code.substr(open + 1);
  const int close = PosNth(0, "\"", after);
  if (close < 1) return false;
  std::string literal(after.substr(0, static_cast<std::size_t>(close - 1)));
  bool removed = false;
  std::size_t from = 0;
  for (;;) {
    const int slash = PosNth(0, "\\", std::string_view(literal).substr(from));
    if (slash < 1) break;
    const std::size_t at = from + static_cast<std::size_t>(slash - 1);
    if (literal.size() - at - 1 < 2) break;
    // A two-byte character after the backslash never forms an escape.
    if (!IsSjisPair(literal, at + 1) && IsKeptEscape(literal[at + 1])) break;
    literal.erase(at, 1);
    removed = true;
    from = at;  // the byte the backslash stood before begins the rest
  }
  if (!removed) return false;
  out.append(line.substr(0, open + 1)).append(literal).append(line.substr(open + 1 + close - 1));
  return true;
}

}  // namespace

std::string FixUnrecognizedEscape(Engine& engine, std::string_view text) {
  if (!engine.Checked(kEscapeSwitch)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 2);
  LineCursor lines{std::string(text)};
  while (!lines.Empty()) {
    const std::string_view line = lines.FetchView("\r\n");
    if (RemoveUnrecognizedBackslashes(line, out))
      engine.TextChanged = true;
    else
      out.append(line);
    out.append("\r\n");
  }
  return out;
}

}  // namespace lumivex
