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
// first order call found by priority stores its result in chk, when the call
// stands as a statement of its own ("OrderClose(...);", "if (a) OrderClose(...);",
// "case 1: OrderDelete(t);"). A call whose value is used (in a condition or an
// expression, as an argument, after "=" or "return") and a line without such
// a call come back unchanged.
std::string WrapOrderCallWithChk(std::string_view line);

// True when text declares a variable chk at file scope, of any type
// ("bool chk;", "int chk;", "bool ok, chk;", "bool chk = false;"), outside
// comments, literals and directives. A chk declared inside a function or as
// a parameter is none the other functions see.
bool HasChkDeclaration(std::string_view text);

}  // namespace lumivex
