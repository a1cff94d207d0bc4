// Capture of the results of order calls into chk.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// The four order calls whose result the rule captures, in the order of
// priority in which a line is searched for them.
inline constexpr std::string_view kOrderCalls[] = {"OrderClose(", "OrderModify(", "OrderSend(",
                                                   "OrderDelete("};

// Rewrites one code line (no line end, no trailing "//" comment) so that the
// first order call found by priority stores its result in chk, unless the
// line already uses that result (after "if(", "if (", "while" or "=").
// A line without such a call comes back unchanged.
std::string WrapOrderCallWithChk(std::string_view line);

// True when text already declares a bool chk ("bool chk;", "bool ok, chk;",
// "bool chk = false;", "bool chk ;"), outside "//" comments.
bool HasChkDeclaration(std::string_view text);

}  // namespace lumivex
