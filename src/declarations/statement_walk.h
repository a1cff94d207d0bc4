// The walk of the function rules that rewrite one statement at a time, where
// a statement may run on over several lines.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "text/code_scan.h"
#include "text/engine.h"

namespace lumivex {

// One line of a text: its offset in the text, and the line cut at its "//".
struct TextLine {
  std::size_t at;
  std::string_view text;
  CodeAndComment parts;
};

// What a rule tells the walk.
struct StatementRewrite {
  // Where a statement that this line starts begins (an offset in the text),
  // or npos when the line starts none and passes as it is.
  std::function<std::size_t(const TextLine& line)> begin;
  // Reads the code of the statement in [from, to) of the text; true once the
  // statement has ended there. Called for the first line from the
  // statement's beginning, then for each further line from the line's start.
  std::function<bool(std::size_t from, std::size_t to)> ends;
  // Written behind the code of each further line in the joined statement.
  std::string_view continuation;
  // The joined statement rewritten, or the statement itself.
  std::function<std::string(const std::string& statement)> rewrite;
};

// Walks text line by line; kinds classify the whole text. A statement is
// gathered from the line that begins it to the line that ends it: their code
// parts are joined, and their "//" parts go behind the rewritten statement,
// so no code ends up in a comment. A statement the rewrite leaves as it was
// keeps its lines byte for byte; a changed one sets engine.TextChanged. A
// last line without a line end stays without one.
std::string RewriteStatements(Engine& engine, std::string_view text,
                              std::span<const CodeKind> kinds, const StatementRewrite& rule);

}  // namespace lumivex
