// OnInit insertion and blank-line compaction, the two whole-text rules the
// conversion driver runs first and last.
#pragma once

#include <string>
#include <string_view>

namespace lumivex {

// The empty initialisation function put before the entry function's header.
inline constexpr std::string_view kOnInitBlock =
    "\r\nint OnInit()\r\n{\r\n\r\n\r\n\r\nreturn(0);\r\n}\r\n\r\n";

// Puts kOnInitBlock before the first line holding key (ASCII case folded)
// that is not commented out by "/* */"; every line before it gets "\r\n",
// the text after it stays as it is. When no line holds key, the text comes
// back with "\r\n" after every line.
std::string InsertOnInit(std::string_view text, std::string_view key);

// Drops blank lines inside statements that continue over several lines
// (after a line ending in "{" or "+" up to one ending in ";", and inside an
// if-condition left open) and keeps at most two blank lines in a row elsewhere.
// A line holding held-back backslashes is never blank.
std::string CompactBlankLines(std::string_view text);

}  // namespace lumivex
