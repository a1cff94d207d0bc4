// The per-function pass: the function-level rules run on every function body
// of a program with the declarations they need.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// Phase 9. Under chkHidesGlobalDeclaration: the globals are collected from
// globalSection and from the text between and after the functions; each
// function body then gets its locals renamed where they hide a global and
// commented out where unused, its Comment arguments cast
// (chkReplaceCommentArr), its illegal identifiers renamed
// (chkReplaceFuncVariable) and its StringConcatenate declarations split
// (chkStringConcatenate); last, globals named like reserved words are renamed
// (chkChangeGrbAlreadyReserved). A text without a function definition gets
// only the rules of the global part. With the master switch off the text
// comes back byte for byte.
std::string AnalyseFunctionBodies(Engine& engine, std::string_view text,
                                  std::string_view globalSection);

}  // namespace lumivex
