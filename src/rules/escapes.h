// Unrecognised escape sequences in string literals.
//
// The newer compiler rejects a backslash before a character that forms no
// escape it knows. The backslash goes; the character after it stays.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

inline constexpr std::string_view kEscapeSwitch = "chkUnrecognizedEscape";

// Phase 8: in each line, the first backslash of the first "..." literal of
// the code is removed unless "n", "r", "t", a double or a single quote
// follows it, or fewer than two bytes of the literal follow it. One
// backslash per line. Comment lines and "#include"/"#import" lines (their
// paths use backslashes) are left alone, and so are literals in '...' and in
// "//" comments. Escaped backslash pairs arrive as placeholders from the
// line pre-pass and are never touched. A removal sets TextChanged. Every
// line is written back with "\r\n". With the switch off the text comes back
// as it is.
std::string FixUnrecognizedEscape(Engine& engine, std::string_view text);

}  // namespace lumivex
