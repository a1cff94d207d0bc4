#include "rules/array_refs.h"

#include <array>
#include <vector>

#include "rules/function_heads.h"
#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

constexpr std::array<std::string_view, 14> kTypeNames = {
    "bool", "datetime", "color", "char",  "uchar", "short", "ushort",
    "string", "int",    "uint",  "long",  "ulong", "float", "double"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The parameter with "&" before its name, or "" when it takes no mark: it
// must hold "[" and no "&" in code, a type name, and white space before the
// name that stands in front of its first "[". The mark takes the place of
// the first blank of that white space, behind every word of the type. The
// parameter is written trimmed, but for a line end behind it, which ends a
// comment.
std::string MarkedParameter(std::string_view param) {
  const std::string_view t = Trim(param);
  const std::size_t lead = static_cast<std::size_t>(t.data() - param.data());
  const std::string_view behind = param.substr(lead + t.size());
  const CodeKinds kinds = ClassifyCode(t);
  const std::size_t bracket = FindCode(t, kinds, "[");
  if (bracket == kNone || FindCode(t, kinds, "&") != kNone || !ContainsTypeName(t)) return {};
  std::size_t nameEnd = bracket;
  while (nameEnd > 0 && IsBlank(t[nameEnd - 1])) --nameEnd;
  std::size_t nameStart = nameEnd;
  while (nameStart > 0 && !IsBlank(t[nameStart - 1])) --nameStart;
  if (nameStart == 0) return {};
  std::size_t blanks = nameStart;
  while (blanks > 0 && IsBlank(t[blanks - 1])) --blanks;
  std::string marked(t.substr(0, blanks));
  marked.append(" &").append(t.substr(blanks + 1));
  if (behind.find('\n') != kNone) marked.append(behind);
  return marked;
}

// The piece with its parameter list rebuilt when a parameter takes a mark;
// the piece itself otherwise.
std::string RebuildPiece(std::string_view piece, bool& marked) {
  const std::string keep(piece);
  if (HeadType(piece).empty()) return keep;
  const CodeKinds kinds = ClassifyCode(piece);
  const std::size_t open = FindCode(piece, kinds, "(");
  if (open == kNone) return keep;
  std::size_t close = kNone;
  std::vector<std::size_t> commas;
  long depth = 0;
  for (std::size_t i = open + 1; i < piece.size() && close == kNone; ++i) {
    if (kinds[i] != CodeKind::Code) continue;
    if (piece[i] == '(') ++depth;
    if (piece[i] == ')' && depth-- == 0) close = i;
    if (piece[i] == ',' && depth == 0) commas.push_back(i);
  }
  if (close == kNone) return keep;
  commas.push_back(close);

  std::string list;
  bool any = false;
  std::size_t from = open + 1;
  for (std::size_t end : commas) {
    const std::string_view param = piece.substr(from, end - from);
    const std::string mark = MarkedParameter(param);
    if (from != open + 1) list.append(", ");
    list.append(mark.empty() ? std::string(param) : mark);
    any = any || !mark.empty();
    from = end + 1;
  }
  if (!any) return keep;
  marked = true;
  std::string rebuilt(piece.substr(0, open + 1));
  rebuilt.append(list).append(piece.substr(close));
  return rebuilt;
}

// A line the head walker does not take that is still a prototype or a head:
// a head word, "(", no "}", no word "if", no "=" before the "(".
bool IsPrototypeLike(std::string_view code) {
  return !HeadType(code).empty() && PosNth(0, "(", code) > 0 && PosNthNoCase(0, "}", code) == 0 &&
         PosWord(0, "if", code) == 0 && !HasInitialiserBeforeParen(code);
}

}  // namespace

bool ContainsTypeName(std::string_view text) {
  for (std::string_view name : kTypeNames)
    if (PosNth(0, name, text) > 0) return true;
  return false;
}

std::string FixArrayParamsInHead(std::string_view head) {
  const CodeKinds kinds = ClassifyCode(head);
  bool marked = false;
  std::string out;
  std::size_t from = 0;
  for (std::size_t semi = FindCode(head, kinds, ";"); semi != kNone;
       semi = FindCode(head, kinds, ";", semi + 1)) {
    out.append(RebuildPiece(head.substr(from, semi - from), marked)).append(";");
    from = semi + 1;
  }
  // A joined head is one piece; behind the last ";" stands body text.
  if (from == 0)
    out = RebuildPiece(head, marked);
  else
    out.append(head.substr(from));
  return marked ? out : std::string(head);
}

std::string FixArraysByReference(Engine& engine, std::string_view text) {
  if (!engine.Checked(kArraysByReferenceSwitch)) return std::string(text);
  return WalkCodeLines(text, [&engine](std::string& code, LineCursor& unread) {
    const HeadKind kind = JudgeHead(code, unread);
    if (kind == HeadKind::Head) {
      const std::size_t own = code.size();
      JoinHead(code, unread);
      std::string fixed = FixArrayParamsInHead(code);
      if (fixed == code) {
        // Nothing to mark: the head keeps its lines.
        unread.PutBack(std::string_view(code).substr(own));
        code.resize(own);
        return;
      }
      code = std::move(fixed);
      engine.TextChanged = true;
    } else if (kind == HeadKind::NotHeadLike && IsPrototypeLike(code)) {
      std::string fixed = FixArrayParamsInHead(code);
      if (fixed == code) return;
      code = std::move(fixed);
      engine.TextChanged = true;
    }
  });
}

}  // namespace lumivex
