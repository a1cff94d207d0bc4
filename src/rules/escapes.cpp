#include "rules/escapes.h"

#include "rules/code_bytes.h"
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
  std::size_t i = 0;
  while (i < code.size()) {
    if (IsSjisPair(code, i)) {
      i += 2;
    } else if (code[i] == '\'') {
      i = LiteralEnd(code, i);
    } else if (code[i] == '"') {
      return i;
    } else {
      ++i;
    }
  }
  return kNone;
}

// 0-based position in line of the backslash to remove, npos when none.
std::size_t UnrecognizedBackslash(std::string_view line) {
  if (line.find('\\') == kNone) return kNone;
  const std::string_view trimmed = Trim(line);
  if (trimmed.starts_with("//") || trimmed.starts_with("#include") ||
      trimmed.starts_with("#import"))
    return kNone;
  const std::string_view code = CutLineComment(line).code;
  const std::size_t open = FirstStringLiteral(code);
  if (open == kNone) return kNone;
  // The literal ends at the next double quote, a backslash before it or not.
  const std::string_view after = code.substr(open + 1);
  const int close = PosNth(0, "\"", after);
  if (close < 1) return kNone;
  const std::string_view literal = after.substr(0, static_cast<std::size_t>(close - 1));
  const int slash = PosNth(0, "\\", literal);
  if (slash < 1) return kNone;
  const auto at = static_cast<std::size_t>(slash - 1);
  if (literal.size() - at - 1 < 2) return kNone;
  // A two-byte character after the backslash never forms an escape.
  if (!IsSjisPair(literal, at + 1) && IsKeptEscape(literal[at + 1])) return kNone;
  return open + 1 + at;
}

}  // namespace

std::string FixUnrecognizedEscape(Engine& engine, std::string_view text) {
  if (!engine.Checked(kEscapeSwitch)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 2);
  LineCursor lines{std::string(text)};
  while (!lines.Empty()) {
    const std::string_view line = lines.FetchView("\r\n");
    const std::size_t cut = UnrecognizedBackslash(line);
    if (cut == kNone) {
      out.append(line);
    } else {
      out.append(line.substr(0, cut)).append(line.substr(cut + 1));
      engine.TextChanged = true;
    }
    out.append("\r\n");
  }
  return out;
}

}  // namespace lumivex
