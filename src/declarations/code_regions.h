// Which bytes of a text are code, literal text or comment, for the
// declaration rules that must rename, count or split in code only.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumivex {

enum class Region : char {
  Code = 'c',
  Literal = 's',       // a "..." string or a '...' constant, quotes included
  LineComment = 'l',   // from "//" to the line end
  BlockComment = 'b',  // from "/*" to the next "*/", across lines
};

// One Region per byte of text (lines ended by "\r\n"). A literal ends at its
// closing quote or at the line end, a backslash escaping the byte after it;
// two-byte characters are read as wholes.
std::vector<Region> ClassifyRegions(std::string_view text);

// 0-based start of the first occurrence of needle within [from, to) whose
// first byte is code; npos when none.
std::size_t FindInCode(std::string_view text, const std::vector<Region>& regions,
                       std::string_view needle, std::size_t from = 0,
                       std::size_t to = std::string_view::npos);

// Braces opened minus braces closed in the code of text.
int BraceBalance(std::string_view text);

// Offset just past the "}" of text's code that brings the brace depth, which
// is `depth` at the start of text, down to 0 after it has been above 0;
// npos when no such "}" comes (braces that do not balance).
std::size_t ClosingBraceEnd(std::string_view text, int depth);

// A line of a text cut at its "//" comment; `at` is the line's offset in the
// text the regions were classified from.
struct LineSplit {
  std::string_view code;
  std::string_view comment;
};
LineSplit SplitLine(std::string_view line, const std::vector<Region>& regions, std::size_t at);

// True when byte c stands in the code of the line at offset `at`.
bool HasCodeByte(std::string_view line, const std::vector<Region>& regions, std::size_t at, char c);

// True when an occurrence of word at p stands as a whole word (the toolkit's
// word delimiters, "[" and "]" included).
bool IsWholeWordAt(std::string_view text, std::size_t p, std::size_t length);

// Every whole-word occurrence of oldWord outside literals becomes newWord;
// `replaced` receives how many did.
std::string ReplaceWordOutsideLiterals(std::string_view newWord, std::string_view oldWord,
                                       std::string_view text, int& replaced);

// Whole-word occurrences of each name outside comments (literals count),
// counted in one pass over the text.
std::unordered_map<std::string, int> CountUsesOutsideComments(
    std::string_view text, const std::vector<std::string>& names);

}  // namespace lumivex
