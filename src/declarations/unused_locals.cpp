#include "declarations/unused_locals.h"

#include <charconv>
#include <unordered_set>

#include "declarations/code_regions.h"
#include "declarations/statement_walk.h"
#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::string Placeholder(std::string_view open, std::size_t index, std::string_view close) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  std::string p(open);
  p.append(digits, end).append(close);
  return p;
}

// Every well-formed placeholder naming a group is replaced by the group's
// text; groups hold the text exactly as it stood, so one pass restores all.
std::string PutGroupsBack(std::string_view text, std::string_view open, std::string_view close,
                          const std::vector<std::string>& groups) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t p = text.find(open, i);
    if (p == kNone) break;
    out.append(text, i, p - i);
    const std::size_t digits = p + open.size();
    std::size_t index = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + digits, text.data() + text.size(), index);
    const std::size_t after = static_cast<std::size_t>(ptr - text.data());
    if (ec == std::errc() && after > digits && index < groups.size() &&
        text.substr(after, close.size()) == close) {
      out.append(groups[index]);
      i = after + close.size();
    } else {
      out.append(open);
      i = digits;
    }
  }
  out.append(text, i, kNone);
  return out;
}

// The statement with its literals and comments, and every bracket pair of
// its code that is closed within it ("(...)" and "{...}", outermost), lifted
// into groups and replaced by placeholders. What remains of the statement
// holds only top-level code: each "," and ";" in it separates declarators
// or statements.
std::string LiftGroups(std::string_view statement, std::vector<std::string>& groups) {
  const CodeKinds kinds = ClassifyCode(statement, kDeclarationSyntax);
  std::vector<std::size_t> match(statement.size(), kNone);
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < statement.size(); ++i) {
    if (IsSjisPair(statement, i)) {
      ++i;
      continue;
    }
    if (kinds[i] != CodeKind::Code) continue;
    const char c = statement[i];
    if (c == '(' || c == '{') {
      open.push_back(i);
    } else if ((c == ')' || c == '}') && !open.empty() &&
               statement[open.back()] == (c == ')' ? '(' : '{')) {
      match[open.back()] = i;
      open.pop_back();
    }
  }
  std::string out;
  out.reserve(statement.size());
  const auto lift = [&](std::size_t from, std::size_t to) {
    out += Placeholder(kGroupOpen, groups.size(), kGroupClose);
    groups.emplace_back(statement.substr(from, to - from));
  };
  std::size_t i = 0;
  while (i < statement.size()) {
    if (kinds[i] != CodeKind::Code) {
      std::size_t end = i;
      while (end < statement.size() && kinds[end] == kinds[i]) ++end;
      lift(i, end);
      i = end;
    } else if (match[i] != kNone) {
      lift(i, match[i] + 1);
      i = match[i] + 1;
    } else {
      const std::size_t width = IsSjisPair(statement, i) ? 2 : 1;
      out.append(statement, i, width);
      i += width;
    }
  }
  return out;
}

// True when the trimmed piece is a declaration whose first whole-word
// occurrence of name is one of its declarators: right after the type word,
// or after a ",".
bool DeclaresAtFirstUse(std::string_view piece, std::string_view name) {
  const std::string_view trimmed = Trim(piece);
  const std::string_view type = LeadingTypeWord(trimmed);
  const int use = PosWord(0, name, trimmed);
  if (type.empty() || use < 1) return false;
  const std::size_t at = static_cast<std::size_t>(use - 1);
  std::size_t start = type.size();
  for (;;) {
    while (start < trimmed.size() && static_cast<unsigned char>(trimmed[start]) <= 0x20) ++start;
    if (start == at) return true;
    if (start > at) return false;
    const std::size_t comma = trimmed.find(',', start);
    if (comma == kNone) return false;
    start = comma + 1;
  }
}

// True when the initialiser of name's declarator in the (lifted) piece
// calls a function: a name right in front of a parenthesised group. The call
// may do what the program needs (OrderSend, FileOpen, ObjectCreate ...), so
// such a declarator is never taken out of the code.
bool InitialiserCalls(std::string_view piece, std::string_view name,
                      const std::vector<std::string>& groups) {
  std::string after(piece);
  FetchWord(name, after);
  const std::string_view trimmed = Trim(after);
  if (!trimmed.starts_with('=')) return false;
  const std::string_view init = trimmed.substr(0, trimmed.find(','));
  const std::string code = MaskLiterals(PutGroupsBack(init, kGroupOpen, kGroupClose, groups));
  for (std::size_t p = code.find('('); p != kNone; p = code.find('(', p + 1)) {
    std::size_t q = p;
    while (q > 0 && (code[q - 1] == ' ' || code[q - 1] == '\t')) --q;
    if (q > 0 && IsIdentifierByte(code[q - 1])) return true;
  }
  return false;
}

std::string_view LastLine(std::string_view text) {
  const std::size_t p = text.rfind("\r\n");
  return p == kNone ? text : text.substr(p + 2);
}

// The text in front of the first sep and the text behind it.
std::pair<std::string, std::string> SplitFirst(std::string_view text, char sep) {
  const std::size_t p = text.find(sep);
  return {std::string(text.substr(0, p)), std::string(text.substr(p + 1))};
}

// A line that may start a declaration statement: its trimmed code begins
// with a type word and holds no ")" or holds "=", and it begins in code, not
// inside a comment that an earlier line opened.
bool IsDeclarationLine(std::string_view code, std::span<const CodeKind> kinds, std::size_t at) {
  const std::string_view trimmed = Trim(code);
  if (LeadingTypeWord(trimmed).empty()) return false;
  if (kinds[at + static_cast<std::size_t>(trimmed.data() - code.data())] != CodeKind::Code)
    return false;
  return code.find(')') == kNone || code.find('=') != kNone;
}

// An initialiser call that goes on over the next lines: "=" in front of the
// first "(", and text without ";" behind it.
bool IsOpenInitialiserCall(std::string_view code) {
  const std::size_t paren = code.find('(');
  if (paren == kNone || code.substr(0, paren).find('=') == kNone) return false;
  const std::string_view after = code.substr(paren + 1);
  return !after.empty() && after.find(';') == kNone;
}

}  // namespace

int FindUseOutsideComments(std::string_view text, std::string_view name, int n) {
  const int uses = CountUsesOutsideComments(text, {std::string(name)})[std::string(name)];
  return uses > n ? uses : 0;
}

std::string RestoreGroups(std::string_view comment, std::string_view openMark,
                          std::string_view closeMark, const std::vector<std::string>& groups,
                          std::string_view indent, std::string pad) {
  std::string text = PutGroupsBack(comment, openMark, closeMark, groups);
  if (text.find("\r\n") == kNone) return text;
  std::string out;
  std::string_view rest = text;
  std::size_t p = rest.find("\r\n");
  const std::string_view first = rest.substr(0, p);
  out.append(first).append("\r\n");
  pad += SpaceString(static_cast<int>(first.size()));
  rest = rest.substr(p + 2);
  for (;;) {
    p = rest.find("\r\n");
    out.append(indent).append(pad).append("//").append(rest.substr(0, p));
    if (p == kNone) break;
    out.append("\r\n");
    rest = rest.substr(p + 2);
  }
  return out;
}

std::string RemoveDeclarator(std::string_view statement, std::string_view name) {
  // A statement already holding the group marks cannot be lifted safely.
  if (statement.find(kGroupOpen) != kNone || !IsIdentifier(name)) return std::string(statement);
  std::vector<std::string> groups;
  const std::string lifted = LiftGroups(statement, groups);
  const auto width = [&](std::string_view s) {
    return static_cast<int>(PutGroupsBack(s, kGroupOpen, kGroupClose, groups).size());
  };

  std::string out;
  std::string indent;
  bool rewrote = false;
  std::size_t pos = 0;
  for (std::size_t semi; (semi = lifted.find(';', pos)) != kNone;) {
    std::string piece = lifted.substr(pos, semi - pos);
    pos = semi + 1;
    // An opening brace (a block or a body that goes on), a folded comment
    // and a line break in front of the declaration go out as they are.
    if (const std::size_t brace = FindMbcs(piece, "{"); brace != kNone) {
      out.append(piece, 0, brace + 1);
      piece.erase(0, brace + 1);
    }
    if (const std::size_t mark = piece.find(markers::MarkOpen); mark != kNone && mark < 4) {
      const std::size_t close = piece.find(markers::MarkClose, mark);
      if (close != kNone) {
        out.append(piece, 0, close + markers::MarkClose.size());
        piece.erase(0, close + markers::MarkClose.size());
      }
    }
    if (const std::size_t lineEnd = piece.find("\r\n"); lineEnd != kNone && lineEnd < 3) {
      out.append(piece, 0, lineEnd + 2);
      piece.erase(0, lineEnd + 2);
    }

    bool lineBreak = false;
    if (DeclaresAtFirstUse(piece, name) && !InitialiserCalls(piece, name, groups)) {
      rewrote = true;
      if (indent.empty()) indent = SplitIndent(piece);
      std::string after = piece;
      std::string before = FetchWord(name, after);
      std::string comment(name);
      const std::string_view trimmedBefore = Trim(before);
      const bool first = !trimmedBefore.ends_with(',');
      if (!first) before = FetchUpToLast(",", before);
      bool last = false;
      const std::string_view trimmedAfter = Trim(after);
      const char next = trimmedAfter.empty() ? '\0' : trimmedAfter.front();
      if (next == '=' || next == '[') {
        if (after.find(',') != kNone) {
          auto [value, behind] = SplitFirst(after, ',');
          if (next == '=') comment += ' ';
          comment += value;
          after = std::move(behind);
        } else {
          comment += after;
          after.clear();
          last = true;
        }
      } else if (next == ',') {
        auto [value, behind] = SplitFirst(after, ',');
        comment += value;
        after = std::move(behind);
      } else {
        after.clear();
        last = true;
      }
      if (comment.find("\r\n") != kNone || comment.find(kGroupOpen) != kNone) {
        const int column = static_cast<int>(LastLine(PutGroupsBack(out + before, kGroupOpen,
                                                                   kGroupClose, groups)).size());
        comment = RestoreGroups(comment, kGroupOpen, kGroupClose, groups, indent,
                                SpaceString(column));
      }
      if (first && last)
        piece = "// " + comment;
      else if (first || last)
        piece = before + " " + after + ";//" + comment;
      else
        piece = before + ", " + after + ";//" + comment;
      // What follows on the line moves to the next one, where the comment no
      // longer hides it.
      lineBreak = pos < lifted.size();
    }
    out += piece;
    out += ';';
    if (lineBreak) out += "\r\n" + indent + SpaceString(width(piece));
  }
  if (!rewrote) return std::string(statement);
  const std::string_view rest = std::string_view(lifted).substr(pos);
  if (!Trim(rest).empty()) {
    out += rest;
  } else {
    out.erase(out.rfind(';') + 1);
  }
  return PutGroupsBack(out, kGroupOpen, kGroupClose, groups);
}

std::string EndCommentUnusedDeclaration(Engine& engine, std::string_view text,
                                        std::string_view name) {
  const CodeKinds kinds = ClassifyCode(text, kDeclarationSyntax);
  // The statement's lines are joined without their "//" parts; a line end
  // follows the code of each further line.
  StatementRewrite rule;
  rule.begin = [&](const TextLine& line) {
    const std::string_view code = line.parts.code;
    const bool declares = !IsCommentLine(line.text) && IsDeclarationLine(code, kinds, line.at) &&
                          !IsOpenInitialiserCall(code);
    return declares ? line.at : kNone;
  };
  rule.ends = [&](std::size_t from, std::size_t to) {
    return HasCodeByte(text.substr(from, to - from), std::span(kinds).subspan(from, to - from), ';');
  };
  rule.continuation = "\r\n";
  rule.rewrite = [name](const std::string& statement) { return RemoveDeclarator(statement, name); };
  return RewriteStatements(engine, text, kinds, rule);
}

std::string CommentOutUnusedLocals(Engine& engine, std::string_view body, const NameList& locals,
                                   std::size_t paramCount) {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (std::size_t i = paramCount; i < locals.size(); ++i) {
    const std::string& name = locals.Name(i);
    if (IsIdentifier(name) && seen.insert(name).second) names.push_back(name);
  }
  if (names.empty()) return std::string(body);
  // The function head, up to its "{", declares nothing of the body: a head
  // whose default parameter value holds "=" would otherwise read as a
  // declaration statement and swallow the body's first line.
  const std::size_t brace = FindCode(body, ClassifyCode(body, kDeclarationSyntax), "{");
  const std::size_t headEnd = brace == kNone ? 0 : brace + 1;
  const std::string head(body.substr(0, headEnd));
  std::string out(body.substr(headEnd));
  auto uses = CountUsesOutsideComments(head + out, names);
  for (std::size_t i = paramCount; i < locals.size(); ++i) {
    const std::string name = locals.Name(i);
    if (!IsIdentifier(name) || uses[name] > 1) continue;
    std::string rewritten = EndCommentUnusedDeclaration(engine, out, name);
    if (rewritten == out) continue;
    // A declarator moved into a comment takes the uses in its initialiser with it.
    out = std::move(rewritten);
    uses = CountUsesOutsideComments(head + out, names);
  }
  return head + out;
}

}  // namespace lumivex
