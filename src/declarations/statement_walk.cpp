#include "declarations/statement_walk.h"

#include "text/line_cursor.h"

namespace lumivex {

std::string RewriteStatements(Engine& engine, std::string_view text,
                              std::span<const CodeKind> kinds, const StatementRewrite& rule) {
  const bool endsWithLineEnd = text.ends_with("\r\n");
  std::string out;
  out.reserve(text.size() + 64);
  LineCursor unread{std::string(text)};
  // The cursor is never put back, so what it has left is always the text's tail.
  const auto fetch = [&] {
    const std::size_t at = text.size() - unread.Rest().size();
    const std::string_view line = unread.FetchView();
    return TextLine{at, line, CutLineComment(line, kinds.subspan(at, line.size()))};
  };
  const auto lineEnd = [&] { return !unread.Empty() || endsWithLineEnd ? "\r\n" : ""; };
  while (!unread.Empty()) {
    const TextLine first = fetch();
    const std::size_t begin = rule.begin(first);
    if (begin == std::string_view::npos) {
      out.append(first.text).append(lineEnd());
      continue;
    }
    std::string original(first.text);
    std::string statement(first.parts.code);
    std::string comments(first.parts.comment);
    bool ended = rule.ends(begin, first.at + first.parts.code.size());
    while (!ended && !unread.Empty()) {
      const TextLine line = fetch();
      original.append("\r\n").append(line.text);
      statement.append(line.parts.code).append(rule.continuation);
      comments += line.parts.comment;
      ended = rule.ends(line.at, line.at + line.parts.code.size());
    }
    const std::string rewritten = rule.rewrite(statement);
    if (rewritten == statement) {
      out.append(original).append(lineEnd());
      continue;
    }
    engine.TextChanged = true;
    out.append(rewritten).append(comments).append(lineEnd());
  }
  return out;
}

}  // namespace lumivex
