#include "rules/global_part.h"

#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

std::string FixInvalidIndexValue(Engine& engine, std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  LineCursor lines{std::string(text)};
  while (!lines.Empty()) {
    std::string line = lines.Fetch();
    line = ReplaceText(engine, 0, "[][", "[0][", line);
    line = ReplaceText(engine, 0, "[]", "[0]", line);
    out += line;
    out += "\r\n";
  }
  return out;
}

bool HasImportLine(std::string_view text) {
  // Walks views rather than a copy: the caller asks this for the rest of a
  // text at every "#import" line, and each call stops at the next one.
  while (!text.empty()) {
    const int p = PosNth(0, "\r\n", text);
    const std::string_view line = p < 1 ? text : text.substr(0, static_cast<std::size_t>(p - 1));
    text = p < 1 ? std::string_view() : text.substr(static_cast<std::size_t>(p - 1) + 2);
    if (Trim(line).starts_with("#import")) return true;
  }
  return false;
}

}  // namespace lumivex
