// The Shift-JIS text toolkit: searches, splits, replaces and small helpers
// over byte strings, with the names the rules know them by.
//
// Texts are Shift-JIS bytes with "\r\n" line ends. Positions are 1-based and
// 0 means "not found". Forward searches step over two-byte characters as
// wholes and never start a match on a second byte.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// True when text[i], text[i+1] (0-based i) form one two-byte Shift-JIS character.
bool IsSjisPair(std::string_view text, std::size_t i);
// The bytes that delimit a whole word: the same set before and after a word,
// except that a line feed may stand before it and a carriage return after it.
bool IsWordDelimiter(unsigned char b, bool after);

// ---- searches: (n+1)-th qualifying occurrence, 1-based, 0 when none -------

int PosNth(int n, std::string_view needle, std::string_view text);
int PosNthNoCase(int n, std::string_view needle, std::string_view text);
int PosWord(int n, std::string_view word, std::string_view text);
int PosOutsideString(int n, std::string_view needle, std::string_view text);
int PosOutsideLineComment(int n, std::string_view needle, std::string_view text);
// Sets engine.TextChanged when text holds "()" (the search masks them first).
int PosAtTopLevel(Engine& engine, int n, std::string_view needle, std::string_view text);
int PosInCode(int n, std::string_view needle, std::string_view text);
int LastPosMbcs(std::string_view needle, std::string_view text);
// The multibyte-aware substring search of the replaces: 0-based start of the
// first occurrence at or after from that does not start on a second byte,
// characters recognised from from on; npos when none or needle is empty.
// Resuming behind each hit gives non-overlapping occurrences.
std::size_t FindMbcs(std::string_view text, std::string_view needle, std::size_t from = 0);

// ---- splits: return the head, leave the tail in text ---------------------
// Separator absent or empty: the head is the whole text and text becomes empty.

std::string Fetch(std::string_view sep, std::string& text);
std::string FetchOutsideString(std::string_view sep, std::string& text);
std::string FetchInCode(std::string_view sep, std::string& text);
std::string FetchWord(std::string_view word, std::string& text);
std::string FetchAtTopLevel(Engine& engine, std::string_view sep, std::string& text);
std::string FetchLast(std::string_view sep, std::string& text);
std::string FetchUpToLast(std::string_view sep, std::string& text);
// Plain byte search without the two-byte rule; an empty separator matches at
// the start (head empty, text unchanged).
std::string FetchCStr(std::string_view sep, std::string& text);

// ---- line helpers ---------------------------------------------------------

// First line holding key (ASCII case folded) whose first two bytes are not
// "//"; stored in engine.FoundLine (cleared first).
bool FindInCodeLine(Engine& engine, std::string_view text, std::string_view key);
int CountLines(std::string_view text);
bool TailHasReturn(std::string_view text);

// ---- replaces: count first, then new, then old, then text ----------------

std::string ReplaceText(Engine& engine, int maxCount, std::string_view newStr,
                        std::string_view oldStr, std::string_view text);
std::string ReplaceWholeWord(Engine& engine, int maxCount, std::string_view newWord,
                             std::string_view oldWord, std::string_view text);
std::string ReplaceNth(Engine& engine, int nth, std::string_view newStr,
                       std::string_view oldStr, std::string_view text);

// ---- small string and number helpers -------------------------------------

std::string LeftStr(int n, std::string_view s);
std::string RightStr(int n, std::string_view s);
std::string ChrStr(unsigned char c);
std::string SpaceString(int n);
std::string DigitsOnly(std::string_view s);
std::string DigitsAndPoints(std::string_view s);
// Integer reader: leading white space, optional sign, digits; saturates at
// the int limits.
int IntVal(std::string_view s);
int AtoiCStr(const char* s);
// Longest leading decimal number with "." as the point; 0.0 when none.
double FloatVal(std::string_view s);
std::string FormatNumber(std::string_view pattern, std::string_view value);
std::string JoinTrimmedLines(std::string_view text);
// Returns the leading white space of line and leaves line trimmed.
std::string SplitIndent(std::string& line);
// Bytes 0x00-0x20 removed from both ends.
std::string_view Trim(std::string_view s);

}  // namespace lumivex

namespace lumivex {

// ---- measures used by the driver and its phases --------------------------

// Width of the leading white space of line, a tab counting four columns.
// Measures through ReplaceText, so a tab in the indent sets TextChanged.
int IndentWidth(Engine& engine, std::string_view line);
// Number of bytes of text equal to ch (0 unless ch is exactly one byte).
int CountChar(std::string_view ch, std::string_view text);
// Non-overlapping occurrences of needle, two-byte characters stepped over.
int CountSubstring(std::string_view needle, std::string_view text);

}  // namespace lumivex
