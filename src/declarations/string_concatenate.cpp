#include "declarations/string_concatenate.h"

#include <algorithm>
#include <optional>

#include "declarations/code_regions.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kCall = "StringConcatenate(";

bool Holds(std::string_view text, std::string_view needle) { return PosNth(0, needle, text) > 0; }

// The next call in code at or after from, the name standing as a word of its own.
std::size_t FindCall(std::string_view body, std::span<const CodeKind> kinds, std::size_t from) {
  for (std::size_t p = FindCode(body, kinds, kCall, from); p != kNone;
       p = FindCode(body, kinds, kCall, p + 1)) {
    if (IsWholeWordAt(body, p, kCall.size() - 1)) return p;
  }
  return kNone;
}

// The split statement for the text in front of a call on its line (head) and
// the call's arguments; nothing when the statement is no string declaration
// with "=" in front of the call, or declares another name than the call's
// first argument.
std::optional<std::string> Split(std::string_view head, std::string_view args) {
  if (!Holds(head, "string")) return std::nullopt;
  std::string assigned(head);
  const std::string lead = FetchUpToLast("string", assigned);
  if (Holds(assigned, ";") || !Holds(assigned, "=")) return std::nullopt;
  std::string more(args);
  const std::string first = Fetch(",", more);
  std::string decl = FetchUpToLast("=", assigned);
  // Of several declarators the last is the one assigned.
  std::string name = decl;
  if (Holds(decl, ",")) {
    const std::string front = FetchUpToLast(",", name);
    decl = front + ", " + name;
  }
  if (Trim(first) != Trim(name)) return std::nullopt;
  std::string piece = lead + "string" + decl + ";" + name + "=" + assigned + std::string(kCall) + name;
  // A call with one argument takes no separator.
  if (Holds(args, ",")) piece += ", " + more;
  piece += ");";
  return piece;
}

}  // namespace

std::string FixStringConcatenate(Engine& engine, std::string_view body) {
  const CodeKinds kinds = ClassifyCode(body, kDeclarationSyntax);
  std::size_t call = FindCall(body, kinds, 0);
  if (call == kNone) return std::string(body);
  std::string out;
  out.reserve(body.size() + 16);
  std::size_t done = 0;
  for (; call != kNone; call = FindCall(body, kinds, done)) {
    const std::size_t argsFrom = call + kCall.size();
    const std::size_t close = FindCode(body, kinds, ");", argsFrom);
    if (close == kNone) break;
    // The statement starts at its line, or behind the call before it there.
    const std::size_t lineEnd = body.rfind("\r\n", call);
    const std::size_t start = std::max(done, lineEnd == kNone ? 0 : lineEnd + 2);
    out.append(body, done, start - done);
    const std::optional<std::string> split =
        Split(body.substr(start, call - start), body.substr(argsFrom, close - argsFrom));
    if (split) {
      out += *split;
      engine.TextChanged = true;
    } else {
      out.append(body, start, close + 2 - start);
    }
    done = close + 2;
  }
  out.append(body, done, kNone);
  return out;
}

}  // namespace lumivex
