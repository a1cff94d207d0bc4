// Renaming rules of the per-function pass: locals that hide globals,
// identifiers holding characters the newer compiler rejects, and globals
// named like reserved words. Each renames whole words outside literals and
// picks a new name not yet used as a word of the text it rewrites.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "declarations/name_list.h"
#include "text/engine.h"

namespace lumivex {

// True when the trimmed word is one of the 23 reserved words (case-sensitive).
bool IsReservedWord(std::string_view word);

// The names of the list that are reserved words; a function entry ("delete(")
// is taken without its "(".
NameList SelectReservedNames(const NameList& names);

// Every reserved-list name gets "_" appended ("x" more while that is a word of
// the text) throughout the text.
std::string RenameReservedGlobals(Engine& engine, std::string_view text, const NameList& reserved);

// A local (parameters included) named like a global becomes "_name_" ("x"
// more while that is a word of the body) throughout the body, and its entry
// in `locals` (shared with the caller) takes the new name. Then, under
// chkNotUsedVariable, the locals from paramCount on that the body never uses
// are commented out of their declarations.
std::string FixLocalDeclarations(Engine& engine, std::string_view body, NameList locals,
                                 const NameList& globals, std::size_t paramCount);

// Every global name (and, for a function body, every local name) holding ".",
// "$", "@" or "?" has them turned into "_" ("_x" more while that is a word of
// the text) throughout the text. The lists keep the old names.
std::string RenameIllegalIdentifiers(Engine& engine, bool globalPart, std::string_view text,
                                     const NameList& locals, const NameList& globals);

}  // namespace lumivex
