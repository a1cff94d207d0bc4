// StringConcatenate declarations split from their assignment.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// A string declaration initialised with a StringConcatenate call whose first
// argument is the declared name ("string s = StringConcatenate(s, x);") is
// split into the declaration and the assignment on the same line
// ("string s ;s = StringConcatenate(s , x);"). Only calls in code are read;
// every other call, and a call without ");" behind it, stays as it was.
std::string FixStringConcatenate(Engine& engine, std::string_view body);

}  // namespace lumivex
