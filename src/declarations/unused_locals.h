// Locals that a function never uses are taken out of their declarations and
// kept behind them as end-of-line comments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "declarations/name_list.h"
#include "text/engine.h"

namespace lumivex {

// The marks around the number of a lifted group inside a statement.
inline constexpr std::string_view kGroupOpen = "<\x7f%";
inline constexpr std::string_view kGroupClose = "%\x7f>";

// The second step of FixLocalDeclarations: every local from paramCount on
// (identifiers only) whose name stands at most once in the body outside
// comments, the declaration included, is commented out of its declaration.
// Uses are counted in one pass and counted again only after a rewrite.
std::string CommentOutUnusedLocals(Engine& engine, std::string_view body, const NameList& locals,
                                   std::size_t paramCount);

// 0 when name has at most n whole-word uses in text outside comments ("/*"
// and "*/" in literals open and close nothing; literals count), else the
// number of uses.
int FindUseOutsideComments(std::string_view text, std::string_view name, int n);

// Every declaration statement of text that declares name (a line beginning
// with a type word, gathered up to its ";") has that declarator commented
// out. The "//" parts of the statement's lines are kept behind it; a
// statement that does not declare name comes back byte for byte. A last line
// without a line end stays without one.
std::string EndCommentUnusedDeclaration(Engine& engine, std::string_view text,
                                        std::string_view name);

// One declaration statement with name's declarator moved into a "//" comment
// behind it: "int a, b, c;" without b becomes "int a,  c;//b;". Code behind
// the statement's last ";" stays behind it on a line of its own; a statement
// that does not declare name comes back as it is.
std::string RemoveDeclarator(std::string_view statement, std::string_view name);

// A commented declarator with its groups put back. When it spans several
// lines, each further line becomes a comment of its own, indented by indent
// and pad plus the width of the first line.
std::string RestoreGroups(std::string_view comment, std::string_view openMark,
                          std::string_view closeMark, const std::vector<std::string>& groups,
                          std::string_view indent, std::string pad);

}  // namespace lumivex
