// Explicit grouping of "&&" and "||" in if-conditions.
//
// The old language level gave "&&" and "||" the same priority; the newer
// compiler binds "&&" tighter and warns. In every if-condition that mixes
// the two, each run of operands joined by "||" that stands next to an "&&"
// is put in parentheses, so it stays one operand of the "&&":
// a || b && c becomes (a || b ) && c, and a && b || c becomes a && ( b || c).
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

inline constexpr std::string_view kAndOrSwitch = "chkAndOrPriorityLevel";

// Phase 7: every if-statement whose code holds both operators (joined over
// the lines up to its "{" or ";") gets its condition grouped. A statement is
// rewritten only when groups were added, nothing but parentheses and blanks
// changed and its parentheses balance; then TextChanged is set. An empty
// line before a line beginning with "{", "continue", "return" or
// "chk = Order" is dropped. With the switch off the text comes back as it is.
std::string FixAndOrPriorityLevel(Engine& engine, std::string_view text);

// True when the trimmed line begins with "{", "continue", "return" or
// "chk = Order": the grouping drops any empty line in front of such a line.
bool WantsNoEmptyLineBefore(std::string_view line);

// Length of cond (the text behind the "(" of an if) up to and including the
// ")" that closes the condition, and a folded-comment marker right behind
// it; 0 when the condition is not closed. Literals and comments are skipped.
int FindConditionEnd(std::string_view cond);

// The text before the first "\r\n"; the whole text when there is none.
std::string FirstLine(std::string_view text);

// Groups every parenthesised level of cond, innermost first, then the
// condition itself. A text that already holds a group placeholder comes
// back unchanged.
std::string ParenthesizeIfCondition(std::string_view cond);

// Groups one level of an expression: each "||" run next to an "&&" is put
// in parentheses. Only operators in code and outside parentheses count; an
// unmatched ")" ends the expression and what follows it is kept, and the
// pieces between top-level commas (the arguments of a call) are grouped
// each on its own.
std::string ParenthesizeAndGroups(std::string_view expr);

}  // namespace lumivex
