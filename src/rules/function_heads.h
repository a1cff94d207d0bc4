// Function heads: telling a definition from a prototype, a call or a
// declaration by looking at the lines that follow a head-like line, and
// joining a head with the lines up to its opening brace.
//
// The code passed in is a line's code part (its trailing "//" comment cut off,
// see SplitCodeAndComment); the lines that follow are read from the cursor.
#pragma once

#include <string>
#include <string_view>

#include "text/line_cursor.h"

namespace lumivex {

// Lines that the statement rules look at once the window holds the ")" that
// closes the parameter list.
inline constexpr int kHeadLookAhead = 3;

enum class HeadKind {
  NotHeadLike,  // fails the head-line test (IsHeadLine)
  Initialiser,  // "=" before the first "(": a declaration whose call goes on
  NotHead,      // a prototype, a call, or no "{" in the window
  Head,         // a function definition
};

// True when the code before its first "(" holds "=".
bool HasInitialiserBeforeParen(std::string_view code);

// The look-ahead decision for a head-like line. The window is the code with
// the following lines appended, each followed by "\r\n"; lines are added
// until `countedLines` of them were added while the window held ")", or the
// text ends. With c, s and b the 1-based positions of the first ")", ";" and
// "{" in the window (0 when absent), the line is no head when c < s < c + 5
// (a prototype), when 0 < s < b (a ";" before the body) or when b is 0.
// A window still without ")" after 64 lines ends there, and a line that
// opens or closes a "/* */" comment before the "{" makes it no head. Nothing
// is consumed: the lines read are put back.
bool WindowShowsBody(std::string_view code, LineCursor& unread, int countedLines);

// The whole judgement: head-line test, initialiser exclusion, look-ahead.
HeadKind JudgeHead(std::string_view code, LineCursor& unread,
                   int countedLines = kHeadLookAhead);
inline bool IsFunctionHead(std::string_view code, LineCursor& unread,
                           int countedLines = kHeadLookAhead) {
  return JudgeHead(code, unread, countedLines) == HeadKind::Head;
}

// Joins the code of the following lines to code, up to and including the
// line that brings the "{", and ends it with "\r\n": "int f()" and "{" give
// "int f(){" + "\r\n"; "int f(int a," / "   int b)" / "{" give
// "int f(int a,   int b){" + "\r\n". Lines without code on the way and the
// "//" comments of the joined lines are put back in front of the unread text,
// in their order, so they follow the head as lines of their own and a second
// run finds nothing to join. Two code bytes of names are never joined into
// one name: a blank goes between them. When no "{" comes before a line whose
// code holds a ";" (a statement is no part of a head) or before the text
// ends, or before a line that opens or closes a "/* */" comment, nothing is
// joined: code and the unread text stay as they were. A code part that
// already holds "{" is left as it is.
void JoinHead(std::string& code, LineCursor& unread);

// The type word (without its blank) that begins the trimmed head, "" if none.
std::string_view HeadType(std::string_view code);

// The name as the head writes it: the text between the type word with its
// blank and the next "(", blanks kept ("double  Lot (" gives " Lot ").
std::string_view HeadName(std::string_view code);

}  // namespace lumivex
