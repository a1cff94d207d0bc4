// The local variables of one function, read from its text.
#pragma once

#include <string_view>

#include "declarations/name_list.h"

namespace lumivex {

// Appends to `list` (which holds the function's parameters) the locals that
// the function text declares after its first "{": lines that begin with a
// type word and its blank, or with one of the "for(int " loop heads (type
// "int"). When nothing follows a first "{" the list is emptied, parameters
// included.
void CollectLocalVariables(std::string_view text, NameList& list);

}  // namespace lumivex
