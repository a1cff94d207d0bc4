// The line walk and head-line test shared by the statement phases.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/engine.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

// A line cut into its code part and its comment part: the comment starts at
// the first "//" outside "..." literals and runs to the line end.
struct LineParts {
  std::string code;
  std::string comment;
};
LineParts SplitCodeAndComment(std::string_view line);

// True when the trimmed line begins with "//".
bool IsCommentLine(std::string_view line);

// True when the line holds no code: it is blank, a "//" line, or holds only
// folded comment markers and blanks.
bool IsCodeFree(std::string_view line);

// Whether a "/* ... */" comment is still open after this line, given whether
// one was open at its start. Literals are looked through, not into, and a
// "//" outside a block ends the line's code.
bool BlockCommentOpenAfter(std::string_view line, bool open);

// True when the line's code is commented out by "/* */": it begins inside a
// block left open by the lines before it, or its trimmed text begins with "/*".
inline bool InBlockComment(std::string_view line, bool openBefore) {
  return openBefore || Trim(line).starts_with("/*");
}

// The first line of text (lines cut at "\r\n") that holds key, letter case
// ignored, and is not commented out by "/* */"; with skipLineComments, lines
// whose first two bytes are "//" are passed over too. Empty when none.
std::optional<std::string_view> FindProgramLine(std::string_view text, std::string_view key,
                                                bool skipLineComments);

// Function-head candidate: begins with a type word and its blank, holds "(",
// holds no ";" or holds "{", and holds no "}" or holds "{" with the word "if"
// or a ";".
bool IsHeadLine(std::string_view code);

// Walks text line by line: "//" lines pass unchanged; every other line is cut
// into code and comment, rule rewrites the code part (it may take further
// lines off `unread`), and code + comment + "\r\n" is appended to the result.
// A last line without "\r\n" gets one.
using CodeRule = std::function<void(std::string& code, LineCursor& unread)>;
std::string WalkCodeLines(std::string_view text, const CodeRule& rule);

}  // namespace lumivex
