// "(string)" casts for the numbers a Comment(...) call prints.
#pragma once

#include <string>
#include <string_view>

#include "declarations/name_list.h"
#include "text/engine.h"

namespace lumivex {

// Every Comment call of the body (the word Comment and "(" in code, the call
// gathered up to its closing ")") has its bare non-string variables cast:
// each argument that is one, and in a "+" chain the ones that are joined to
// a string. A call spread over several lines that gets a cast comes out on
// one line, its "//" parts behind it; a call that gets none stays as it was.
std::string FixCommentConversion(Engine& engine, std::string_view body, const NameList& locals,
                                 const NameList& globals);

// One statement holding a Comment call, with the call's arguments cast.
std::string CastCommentArguments(std::string_view statement, const NameList& locals,
                                 const NameList& globals);

// One argument that may be a "+" chain. A chain that holds no string stays a
// sum; from its first string operand on, every bare variable is cast, and the
// operand before it too when that string is the second operand. Parenthesised
// operands are read the same way, as chains of their own.
std::string CastConcatenatedArguments(std::string_view text, const NameList& locals,
                                      const NameList& globals);

}  // namespace lumivex
