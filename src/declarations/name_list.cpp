#include "declarations/name_list.h"

#include <algorithm>
#include <unordered_map>

namespace lumivex {

namespace {

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

bool HoldsIllegalCharacter(std::string_view name) {
  return name.find_first_of(kIllegalIdentifierCharacters) != std::string_view::npos;
}

void InsertSorted(std::vector<std::size_t>& indices, std::size_t i) {
  indices.insert(std::lower_bound(indices.begin(), indices.end(), i), i);
}

void EraseSorted(std::vector<std::size_t>& indices, std::size_t i) {
  const auto it = std::lower_bound(indices.begin(), indices.end(), i);
  if (it != indices.end() && *it == i) indices.erase(it);
}

}  // namespace

struct NameList::Entries {
  std::vector<std::string> names;
  std::vector<std::string> types;
  std::unordered_map<std::string, std::vector<std::size_t>, StringHash, std::equal_to<>> byName;
  std::vector<std::size_t> illegal;
};

NameList::NameList() : entries_(std::make_shared<Entries>()) {}

std::size_t NameList::size() const { return entries_->names.size(); }
bool NameList::empty() const { return entries_->names.empty(); }
const std::string& NameList::Name(std::size_t i) const { return entries_->names.at(i); }
const std::string& NameList::Type(std::size_t i) const { return entries_->types.at(i); }

void NameList::Append(std::string name, std::string type) {
  Entries& e = *entries_;
  const std::size_t i = e.names.size();
  if (HoldsIllegalCharacter(name)) e.illegal.push_back(i);
  e.byName[name].push_back(i);
  e.names.push_back(std::move(name));
  e.types.push_back(std::move(type));
}

void NameList::Rename(std::size_t i, std::string name) {
  Entries& e = *entries_;
  std::string& old = e.names.at(i);
  if (old == name) return;
  if (const auto it = e.byName.find(old); it != e.byName.end()) {
    EraseSorted(it->second, i);
    if (it->second.empty()) e.byName.erase(it);
  }
  if (HoldsIllegalCharacter(old)) EraseSorted(e.illegal, i);
  if (HoldsIllegalCharacter(name)) InsertSorted(e.illegal, i);
  InsertSorted(e.byName[name], i);
  old = std::move(name);
}

void NameList::Clear() {
  Entries& e = *entries_;
  e.names.clear();
  e.types.clear();
  e.byName.clear();
  e.illegal.clear();
}

std::span<const std::size_t> NameList::Find(std::string_view name) const {
  const auto it = entries_->byName.find(name);
  if (it == entries_->byName.end()) return {};
  return it->second;
}

std::span<const std::size_t> NameList::WithIllegalCharacters() const { return entries_->illegal; }

bool IsIdentifierByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         kIllegalIdentifierCharacters.find(c) != std::string_view::npos;
}

bool IsIdentifier(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  return std::all_of(name.begin(), name.end(), IsIdentifierByte);
}

std::string_view LeadingTypeWord(std::string_view trimmed) {
  if (trimmed.starts_with("void ")) return trimmed.substr(0, 5);
  for (std::string_view word : kTypeWords)
    if (trimmed.starts_with(word)) return trimmed.substr(0, word.size());
  return {};
}

}  // namespace lumivex
