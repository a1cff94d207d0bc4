#include "declarations/renames.h"

#include <algorithm>
#include <array>

#include "declarations/code_regions.h"
#include "declarations/unused_locals.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::array<std::string_view, 23> kReservedWords = {
    "bool",  "break", "case", "color",  "continue", "datetime", "default", "delete",
    "do",    "double", "else", "extern", "false",    "for",      "if",      "int",
    "return", "static", "string", "switch", "true",   "void",     "while"};

// The candidate, extended by suffix for as long as it is a whole word of text.
std::string FreeName(std::string candidate, std::string_view suffix, std::string_view text) {
  while (PosWord(0, candidate, text) > 0) candidate += suffix;
  return candidate;
}

// Renames every whole word oldName of text outside literals; a rename that
// replaced something marks the text as changed.
std::string Rename(Engine& engine, std::string_view newName, std::string_view oldName,
                   std::string_view text) {
  int replaced = 0;
  std::string out = ReplaceWordOutsideLiterals(newName, oldName, text, replaced);
  if (replaced > 0) engine.TextChanged = true;
  return out;
}

std::string WithoutIllegalCharacters(std::string name) {
  std::replace_if(
      name.begin(), name.end(),
      [](char c) { return kIllegalIdentifierCharacters.find(c) != std::string_view::npos; }, '_');
  return name;
}

std::string RenameIllegalNames(Engine& engine, std::string text, const NameList& list) {
  for (const std::size_t i : list.WithIllegalCharacters()) {
    const std::string name = list.Name(i);
    // A name that is not in the text leaves it as it is; skipping it early
    // keeps the rule cheap on bodies that never use the global.
    if (!IsIdentifier(name) || FindMbcs(text, name) == std::string::npos) continue;
    const std::string candidate = FreeName(WithoutIllegalCharacters(name), "_x", text);
    text = Rename(engine, candidate, name, text);
  }
  return text;
}

}  // namespace

bool IsReservedWord(std::string_view word) {
  const std::string_view trimmed = Trim(word);
  return std::find(kReservedWords.begin(), kReservedWords.end(), trimmed) != kReservedWords.end();
}

NameList SelectReservedNames(const NameList& names) {
  NameList reserved;
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string_view name = names.Name(i);
    if (name.ends_with("(")) name.remove_suffix(1);
    if (IsReservedWord(name)) reserved.Append(std::string(name));
  }
  return reserved;
}

std::string RenameReservedGlobals(Engine& engine, std::string_view text, const NameList& reserved) {
  std::string out(text);
  for (std::size_t i = 0; i < reserved.size(); ++i) {
    std::string_view name = reserved.Name(i);
    if (name.ends_with("(")) name.remove_suffix(1);
    if (!IsIdentifier(name)) continue;
    const std::string candidate = FreeName(std::string(name) + "_", "x", out);
    out = Rename(engine, candidate, name, out);
  }
  return out;
}

std::string FixLocalDeclarations(Engine& engine, std::string_view body, NameList locals,
                                 const NameList& globals, std::size_t paramCount) {
  std::string out(body);
  for (std::size_t i = 0; i < locals.size(); ++i) {
    std::string name = locals.Name(i);
    if (!IsIdentifier(name)) continue;
    std::span<const std::size_t> hits = globals.Find(name);
    if (hits.empty()) continue;
    // The new name is compared with the globals after the one it was
    // renamed for, and renamed again when one of them bears it.
    std::size_t global = hits.front();
    for (;;) {
      const std::string candidate = FreeName("_" + name + "_", "x", out);
      out = Rename(engine, candidate, name, out);
      locals.Rename(i, candidate);
      name = candidate;
      hits = globals.Find(name);
      const auto later = std::upper_bound(hits.begin(), hits.end(), global);
      if (later == hits.end()) break;
      global = *later;
    }
  }
  if (!engine.Checked("chkNotUsedVariable")) return out;
  return CommentOutUnusedLocals(engine, out, locals, paramCount);
}

std::string RenameIllegalIdentifiers(Engine& engine, bool globalPart, std::string_view text,
                                     const NameList& locals, const NameList& globals) {
  std::string out = RenameIllegalNames(engine, std::string(text), globals);
  if (!globalPart) out = RenameIllegalNames(engine, std::move(out), locals);
  return out;
}

}  // namespace lumivex
