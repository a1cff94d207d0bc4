#include "rules/oninit.h"

#include "rules/line_walk.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

std::string InsertOnInit(std::string_view text, std::string_view key) {
  // A header quoted in a "/* */" comment is no place for the block: there
  // it would be commented out with it.
  const std::optional<std::string_view> line = FindProgramLine(text, key, false);
  std::string out;
  out.reserve(text.size() + kOnInitBlock.size() + 2);
  if (!line) {
    out.append(text);
    if (!out.empty() && !out.ends_with("\r\n")) out.append("\r\n");
    return out;
  }
  const std::size_t at = static_cast<std::size_t>(line->data() - text.data());
  out.append(text.substr(0, at)).append(kOnInitBlock).append(*line).append("\r\n");
  const std::size_t after = at + line->size() + 2;
  if (after < text.size()) out.append(text.substr(after));
  return out;
}

namespace {

// Only bytes up to the blank, none of them a held-back backslash (BsChar):
// the line pre-pass holds "\\" as two such bytes, and they stand for text.
bool IsBlankLine(std::string_view line) {
  return Trim(line).empty() && line.find(markers::BsChar) == std::string_view::npos;
}

}  // namespace

std::string CompactBlankLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  bool statementOpen = false;
  bool ifOpen = false;
  int blanks = 0;
  LineCursor lines{std::string(text)};
  while (!lines.Empty()) {
    const std::string_view line = lines.FetchView("\r\n");
    if (IsBlankLine(line)) {
      ++blanks;
      if (!statementOpen && !ifOpen && blanks <= 2) out.append(line).append("\r\n");
      continue;
    }
    out.append(line).append("\r\n");
    blanks = 0;
    // The tests look at the line as it stands: a trailing blank after "{"
    // leaves the statement closed.
    const bool hasParen = PosNth(0, ")", line) > 0;
    if ((PosNth(0, "if ", line) > 0 || PosNth(0, "if(", line) > 0) && !hasParen) ifOpen = true;
    if (ifOpen && hasParen) ifOpen = false;
    const char last = line.back();
    if (last == '{' || last == '+') {
      statementOpen = true;
    } else if (last == ';') {
      statementOpen = false;
      ifOpen = false;
    }
  }
  return out;
}

}  // namespace lumivex
