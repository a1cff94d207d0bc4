// Array parameters passed by reference.
//
// The newer compiler takes an array parameter only by reference: in the
// parameter lists of function heads and prototypes, a parameter written as
// type, blank, name with brackets gets "&" in front of its name.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

inline constexpr std::string_view kArraysByReferenceSwitch = "chkArraysPassedByReferenceOnly";

// Phase 11: every function head (joined with its lines up to the "{", as
// the head walker joins it) and every prototype-like line (a head word,
// "(", no "}", no "if", no "=" before the "(") goes through
// FixArrayParamsInHead. A head that needs no mark keeps its lines as they
// were. A mark sets TextChanged. With the switch off the text comes back as
// it is.
std::string FixArraysByReference(Engine& engine, std::string_view text);

// The head with "&" put before the name of every array parameter that holds
// a type name, no "&" and white space before its name. The text is taken
// apart at the ";" in code; only a piece that begins with a head word and
// holds "(" and its ")" has its parameter list rebuilt: the parameters
// (split at commas in code outside parentheses) are written trimmed when
// marked and as they were otherwise, joined by ", ". Every other piece and
// the text after the last ";" are kept byte for byte, and a head without a
// mark comes back unchanged.
std::string FixArrayParamsInHead(std::string_view head);

// True when text holds one of the 14 type names anywhere, even inside a
// longer word ("Point" holds "int").
bool ContainsTypeName(std::string_view text);

}  // namespace lumivex
