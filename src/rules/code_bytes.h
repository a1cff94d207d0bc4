// Telling the code of a statement from its literals and comments.
//
// The statement rules search operators, parentheses, commas and semicolons
// in code only: what stands in a "..." string, in a '...' literal (a
// character, a C'r,g,b' colour or a D'...' date) or in a "//" comment must
// neither steer a rule nor be rewritten by it.
#pragma once

#include <string>
#include <string_view>

namespace lumivex {

// What one byte of a text belongs to.
enum ByteKind : char {
  kCodeByte = 'c',
  kLiteralByte = 's',  // a literal, its quotes included
  kCommentByte = 'm',  // from a "//" in code to the line end
  kTrailByte = 't',    // second byte of a two-byte character
};

// One ByteKind per byte of text. A backslash in a literal escapes the byte
// after it; a literal or a comment ends at the end of its line at the latest,
// so each line of a text is classified as it would be on its own.
std::string ClassifyBytes(std::string_view text);

// 0-based end (one past the closing quote) of the literal whose opening
// quote stands at `open`; the line end or the text end when it is not closed.
std::size_t LiteralEnd(std::string_view text, std::size_t open);

// True when needle stands at `at` and every byte of it is code.
bool CodeAt(std::string_view text, std::string_view kinds, std::size_t at,
            std::string_view needle);

// 0-based position of the first occurrence of needle in code at or after
// from, npos when there is none.
std::size_t FindCode(std::string_view text, std::string_view kinds, std::string_view needle,
                     std::size_t from = 0);

// 0-based position of the first whole word in code at or after from (the
// word delimiters of the toolkit before and after it), npos when none.
std::size_t FindCodeWord(std::string_view text, std::string_view kinds, std::string_view word,
                         std::size_t from = 0);

// The code part of a line and its "//" comment, cut at the first "//" that
// stands in code.
struct CodeAndComment {
  std::string_view code;
  std::string_view comment;
};
CodeAndComment CutLineComment(std::string_view line);

}  // namespace lumivex
