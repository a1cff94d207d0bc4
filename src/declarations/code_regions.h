// The searches over code that the declaration rules rename, count and cut by.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/code_scan.h"

namespace lumivex {

// How the declaration rules read a text: function bodies, where "/* */"
// comments stand unless the line pre-pass folded them away. A backslash in a
// literal escapes one byte, and the second byte of a two-byte character is
// read as its character's kind.
inline constexpr CodeSyntax kDeclarationSyntax{
    .blockComments = true, .trailApart = false, .escapeWholeCharacter = false};

// Offset just past the "}" of text's code that brings the brace depth, which
// is `depth` at the start of text, down to 0 after it has been above 0;
// npos when no such "}" comes (braces that do not balance).
std::size_t ClosingBraceEnd(std::string_view text, int depth);

// Every whole-word occurrence of oldWord outside literals becomes newWord;
// `replaced` receives how many did.
std::string ReplaceWordOutsideLiterals(std::string_view newWord, std::string_view oldWord,
                                       std::string_view text, int& replaced);

// Whole-word occurrences of each name outside comments (literals count),
// counted in one pass over the text.
std::unordered_map<std::string, int> CountUsesOutsideComments(
    std::string_view text, const std::vector<std::string>& names);

}  // namespace lumivex
