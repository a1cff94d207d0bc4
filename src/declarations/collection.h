// Declarations read out of source text into name and type lists: the global
// declarations of a stretch of file-scope lines, a comma-separated
// declaration list, and the parameters of a function head. None of them
// changes the text.
#pragma once

#include <string_view>

#include "declarations/name_list.h"

namespace lumivex {

// Appends to `list` one entry for every name the file-scope lines of text
// declare: variables of the fourteen type words (found anywhere in a line,
// the storage words before them dropped) and "#define " names with the type
// "". Skips comment lines, "#property" and "#include" lines, and everything
// from the first "#import" line through the last. A declaration without ";"
// takes the following lines up to the one that brings it.
void CollectDeclarations(std::string_view text, NameList& list);

// The declarations of a list such as "int a, double &b[], string s = NULL",
// split at every ",": names with default values and sizes cut off.
NameList ParseDeclarationList(std::string_view text);

// The parameters of a function head: what stands between its first "(" and
// the first ")" after it, read by ParseDeclarationList; empty without "(".
NameList ParseFunctionParams(std::string_view header);

}  // namespace lumivex
