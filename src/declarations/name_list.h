// Name and type lists: the declarations the per-function pass works from.
//
// Entry i holds a declared name as it was cut from the text and its type word
// without the blank ("int", "string" ...), or "" for a "#define " name. A list
// is a handle: copies share their entries, so a rule that renames an entry of
// a list it was given renames it for its caller too. Names are indexed, so a
// lookup costs the same however long the list grows.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumivex {

class NameList {
 public:
  NameList();

  std::size_t size() const;
  bool empty() const;
  const std::string& Name(std::size_t i) const;
  const std::string& Type(std::size_t i) const;

  void Append(std::string name, std::string type = {});
  void Rename(std::size_t i, std::string name);
  // Empties the entries, for every copy.
  void Clear();

  // Indices of the entries named exactly `name`, ascending.
  std::span<const std::size_t> Find(std::string_view name) const;
  bool Contains(std::string_view name) const { return !Find(name).empty(); }
  // Indices of the entries whose names hold ".", "$", "@" or "?", ascending.
  std::span<const std::size_t> WithIllegalCharacters() const;

 private:
  struct Entries;
  std::shared_ptr<Entries> entries_;
};

// The characters old sources allowed in identifiers and the newer compiler
// does not.
inline constexpr std::string_view kIllegalIdentifierCharacters = ".$@?";

// Letters, digits, "_" and the four illegal characters, not starting with a
// digit. List entries that are no identifier (the text a declaration rule cut
// from an expression, a name followed by a blank) are never renamed or
// commented out.
bool IsIdentifier(std::string_view name);
bool IsIdentifierByte(char c);

// Type words with their blank, in the order the collection rules try them.
inline constexpr std::array<std::string_view, 14> kTypeWords = {
    "string ", "bool ", "datetime ", "color ", "char ",  "uchar ", "short ",
    "ushort ", "int ",  "uint ",     "long ",  "ulong ", "float ", "double "};

// The type word with its blank that begins trimmed, "void " included; empty
// when none does.
std::string_view LeadingTypeWord(std::string_view trimmed);

}  // namespace lumivex
