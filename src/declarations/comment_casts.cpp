#include "declarations/comment_casts.h"

#include <vector>

#include "declarations/code_regions.h"
#include "declarations/statement_walk.h"
#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsOpener(char c) { return c == '(' || c == '[' || c == '{'; }
bool IsCloser(char c) { return c == ')' || c == ']' || c == '}'; }

// The pieces of text between its separators that stand in code outside any
// brackets. A "+" next to another "+" or before "=" joins nothing.
std::vector<std::string_view> SplitTopLevel(std::string_view text, char sep) {
  const CodeKinds kinds = ClassifyCode(text, kDeclarationSyntax);
  std::vector<std::string_view> pieces;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsSjisPair(text, i)) {
      ++i;
      continue;
    }
    if (kinds[i] != CodeKind::Code) continue;
    const char c = text[i];
    if (IsOpener(c)) {
      ++depth;
    } else if (IsCloser(c)) {
      --depth;
    } else if (c == sep && depth == 0) {
      if (sep == '+' && ((i > 0 && text[i - 1] == '+') ||
                         (i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '=')))) {
        continue;
      }
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::string Join(const std::vector<std::string>& pieces, char sep) {
  std::string out;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (k > 0) out += sep;
    out += pieces[k];
  }
  return out;
}

// 0-based position of the ")" that closes the "(" at open, in code; npos when
// the text ends first.
std::size_t MatchingClose(std::string_view text, std::span<const CodeKind> kinds, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    if (kinds[i] != CodeKind::Code) continue;
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i;
  }
  return kNone;
}

// The "(" of the first Comment call in the code of text: the whole word
// Comment followed, blanks aside, by "(".
std::size_t FindCommentCall(std::string_view text, std::span<const CodeKind> kinds,
                            std::size_t from = 0, std::size_t to = kNone) {
  static constexpr std::string_view kWord = "Comment";
  to = std::min(to, text.size());
  for (std::size_t p = FindCode(text, kinds, kWord, from, to); p != kNone;
       p = FindCode(text, kinds, kWord, p + 1, to)) {
    if (!IsWholeWordAt(text, p, kWord.size())) continue;
    std::size_t q = p + kWord.size();
    while (q < to && (text[q] == ' ' || text[q] == '\t')) ++q;
    if (q < to && text[q] == '(' && kinds[q] == CodeKind::Code) return q;
  }
  return kNone;
}

// The operand with its lines trimmed and joined: what a name is compared with.
std::string Core(std::string_view operand) { return JoinTrimmedLines(operand); }

// Where an operand that is one parenthesised group opens and closes; npos
// for any other operand.
struct Parenthesised {
  std::size_t open = kNone;
  std::size_t close = kNone;
};
Parenthesised FindParenthesised(std::string_view operand) {
  const std::string_view trimmed = Trim(operand);
  if (!trimmed.starts_with('(')) return {};
  const std::size_t open = static_cast<std::size_t>(trimmed.data() - operand.data());
  const std::size_t close =
      MatchingClose(operand, ClassifyCode(operand, kDeclarationSyntax), open);
  if (close != open + trimmed.size() - 1) return {};
  return {open, close};
}

class Caster {
 public:
  Caster(const NameList& locals, const NameList& globals) : locals_(locals), globals_(globals) {}

  // A string operand is a literal or a variable of type "string". A lone
  // operand is cast when `cast` says so: always for a whole argument, and
  // inside parentheses when the group is joined to a string.
  std::string Chain(std::string_view text, bool cast) const {
    const std::vector<std::string_view> operands = SplitTopLevel(text, '+');
    if (operands.size() == 1) return Operand(text, cast);
    std::size_t firstString = kNone;
    for (std::size_t k = 0; k < operands.size() && firstString == kNone; ++k)
      if (IsString(operands[k])) firstString = k;
    std::vector<std::string> out;
    for (std::size_t k = 0; k < operands.size(); ++k) {
      const bool joinedToString =
          firstString != kNone && (k >= firstString || (k == 0 && firstString == 1));
      out.push_back(Operand(operands[k], joinedToString));
    }
    return Join(out, '+');
  }

 private:
  // A parenthesised operand is a chain of its own; a bare variable that is
  // no string gets its cast when `cast` says so; a literal stays.
  std::string Operand(std::string_view operand, bool cast) const {
    if (const Parenthesised group = FindParenthesised(operand); group.open != kNone) {
      std::string out(operand.substr(0, group.open + 1));
      out += Chain(operand.substr(group.open + 1, group.close - group.open - 1), cast);
      out += operand.substr(group.close);
      return out;
    }
    if (!cast || operand.find('"') != kNone) return std::string(operand);
    const std::string core = Core(operand);
    if (!IsNonStringVariable(core)) return std::string(operand);
    // The cast goes right in front of the name; the blanks around it stay.
    const std::size_t at = operand.find(core);
    // A name split by a line break ("x" and "n" read as "xn") is no variable.
    if (at == kNone) return std::string(operand);
    std::string out(operand.substr(0, at));
    out += "(string)";
    out += operand.substr(at);
    return out;
  }

  bool IsString(std::string_view operand) const {
    if (const Parenthesised group = FindParenthesised(operand); group.open != kNone) {
      for (std::string_view inner :
           SplitTopLevel(operand.substr(group.open + 1, group.close - group.open - 1), '+'))
        if (IsString(inner)) return true;
      return false;
    }
    const std::string core = Core(operand);
    return core.starts_with('"') || HasType(locals_, core, true) || HasType(globals_, core, true);
  }

  bool IsNonStringVariable(std::string_view core) const {
    return HasType(globals_, core, false) || HasType(locals_, core, false);
  }

  // True when an entry named core is (string) or is not (!string) of type "string".
  static bool HasType(const NameList& list, std::string_view core, bool string) {
    for (const std::size_t i : list.Find(core))
      if ((list.Type(i) == "string") == string) return true;
    return false;
  }

  const NameList& locals_;
  const NameList& globals_;
};

}  // namespace

std::string CastConcatenatedArguments(std::string_view text, const NameList& locals,
                                      const NameList& globals) {
  return Caster(locals, globals).Chain(text, true);
}

std::string CastCommentArguments(std::string_view statement, const NameList& locals,
                                 const NameList& globals) {
  const CodeKinds kinds = ClassifyCode(statement, kDeclarationSyntax);
  const std::size_t open = FindCommentCall(statement, kinds);
  if (open == kNone) return std::string(statement);
  const std::size_t close = MatchingClose(statement, kinds, open);
  if (close == kNone) return std::string(statement);
  const Caster caster(locals, globals);
  std::vector<std::string> arguments;
  for (std::string_view argument :
       SplitTopLevel(statement.substr(open + 1, close - open - 1), ','))
    arguments.push_back(caster.Chain(argument, true));
  std::string out(statement.substr(0, open + 1));
  out += Join(arguments, ',');
  out += statement.substr(close);
  return out;
}

std::string FixCommentConversion(Engine& engine, std::string_view body, const NameList& locals,
                                 const NameList& globals) {
  const CodeKinds kinds = ClassifyCode(body, kDeclarationSyntax);
  // The call is gathered up to its ")", or up to a ";" that comes first. It
  // is rewritten on one line: a line end kept inside it would leave an empty
  // line behind it that the next conversion takes away.
  int depth = 0;
  StatementRewrite rule;
  rule.begin = [&](const TextLine& line) {
    depth = 0;
    if (IsCommentLine(line.text)) return kNone;
    return FindCommentCall(body, kinds, line.at, line.at + line.parts.code.size());
  };
  rule.ends = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      if (kinds[i] != CodeKind::Code) continue;
      const char c = body[i];
      if (c == '(') ++depth;
      if ((c == ')' && --depth == 0) || c == ';') return true;
    }
    return false;
  };
  rule.rewrite = [&](const std::string& statement) {
    return CastCommentArguments(statement, locals, globals);
  };
  return RewriteStatements(engine, body, kinds, rule);
}

}  // namespace lumivex
