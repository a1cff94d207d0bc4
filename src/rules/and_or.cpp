#include "rules/and_or.h"

#include <array>
#include <charconv>
#include <utility>
#include <vector>

#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Lines an if-statement may be joined over while it waits for its "{" or
// ";". A statement that has not ended by then is taken as it stands, so a
// text full of unclosed if-lines is not read to its end again and again.
constexpr int kMaxJoinedLines = 64;

// An empty line before a line beginning with one of these is dropped.
constexpr std::array<std::string_view, 4> kTightWords = {"{", "continue", "return", "chk = Order"};

struct Operator {
  std::size_t at;
  bool isAnd;
};

struct Insertion {
  std::size_t at;
  std::string_view text;
};

// Parentheses around every "||" run of one comma piece [from, to) that holds
// both operators: "(" at the piece start or " (" behind the "&&" before the
// run; ") " before the "&&" after it or ")" at the piece end. The blanks that
// stood around the operators stay inside the parentheses.
void GroupPiece(const std::vector<Operator>& ops, std::size_t from, std::size_t to,
                std::vector<Insertion>& insertions) {
  bool hasAnd = false, hasOr = false;
  for (const Operator& op : ops) (op.isAnd ? hasAnd : hasOr) = true;
  if (!hasAnd || !hasOr) return;
  const std::size_t m = ops.size();
  for (std::size_t j = 0; j < m;) {
    if (ops[j].isAnd) {
      ++j;
      continue;
    }
    const std::size_t first = j;
    while (j < m && !ops[j].isAnd) ++j;
    insertions.push_back(first == 0 ? Insertion{from, "("}
                                    : Insertion{ops[first - 1].at + 2, " ("});
    insertions.push_back(j < m ? Insertion{ops[j].at, ") "} : Insertion{to, ")"});
  }
}

std::string Placeholder(std::size_t index) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  std::string p(markers::MarkOpenAt);
  p.append(digits, end).append(markers::MarkCloseAt);
  return p;
}

// The text with every group placeholder replaced by its group, groups
// expanded within groups. A group only holds placeholders of groups taken
// before it, so a placeholder naming any other index is left as text.
std::string ExpandGroups(std::string_view top, const std::vector<std::string>& groups) {
  struct Frame {
    std::string_view text;
    std::size_t pos;
    std::size_t limit;  // indices below this may be expanded here
  };
  std::string out;
  std::vector<Frame> frames{{top, 0, groups.size()}};
  while (!frames.empty()) {
    Frame& f = frames.back();
    const std::size_t p = f.text.find(markers::MarkOpenAt, f.pos);
    if (p == kNone) {
      out.append(f.text.substr(f.pos));
      frames.pop_back();
      continue;
    }
    out.append(f.text.substr(f.pos, p - f.pos));
    const std::size_t digits = p + markers::MarkOpenAt.size();
    std::size_t index = 0;
    const char* begin = f.text.data() + digits;
    const auto [ptr, ec] = std::from_chars(begin, f.text.data() + f.text.size(), index);
    const std::size_t after = static_cast<std::size_t>(ptr - f.text.data());
    if (ec == std::errc() && ptr != begin && index < f.limit &&
        f.text.substr(after).starts_with(markers::MarkCloseAt)) {
      f.pos = after + markers::MarkCloseAt.size();
      const Frame inner{groups[index], 0, index};
      frames.push_back(inner);
      continue;
    }
    out.append(markers::MarkOpenAt);
    f.pos = digits;
  }
  return out;
}

// The first whole-word "if" in code followed by "(" or " (": the 0-based
// positions of the "if" and of its "(", npos when there is none.
std::pair<std::size_t, std::size_t> FindIfOpen(std::string_view text, std::span<const CodeKind> kinds) {
  for (std::size_t p = FindCodeWord(text, kinds, "if"); p != kNone;
       p = FindCodeWord(text, kinds, "if", p + 1)) {
    if (CodeAt(text, kinds, p + 2, "(")) return {p, p + 2};
    if (CodeAt(text, kinds, p + 2, " (")) return {p, p + 3};
  }
  return {kNone, kNone};
}

// Every whole-word "if(" in code written "if (".
std::string SpaceIfParens(std::string_view text) {
  const CodeKinds kinds = ClassifyCode(text);
  std::string out;
  std::size_t from = 0;
  for (std::size_t p = FindCodeWord(text, kinds, "if"); p != kNone;
       p = FindCodeWord(text, kinds, "if", p + 1)) {
    if (!CodeAt(text, kinds, p + 2, "(")) continue;
    out.append(text.substr(from, p + 2 - from)).append(" ");
    from = p + 2;
  }
  out.append(text.substr(from));
  return out;
}

bool IsGroupingByte(char c) {
  return c == '(' || c == ')' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text without the parentheses, blanks and line ends of its code.
std::string Skeleton(std::string_view text) {
  const CodeKinds kinds = ClassifyCode(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (kinds[i] != CodeKind::Code || !IsGroupingByte(text[i])) out.push_back(text[i]);
  return out;
}

// The "(" in the code of text.
std::size_t CountOpenings(std::string_view text) {
  const CodeKinds kinds = ClassifyCode(text);
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) n += kinds[i] == CodeKind::Code && text[i] == '(';
  return n;
}

bool ParenthesesBalance(std::string_view text) {
  const CodeKinds kinds = ClassifyCode(text);
  long depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kinds[i] != CodeKind::Code) continue;
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth < 0) return false;
  }
  return depth == 0;
}

// The if-statement with its condition grouped, or the statement itself when
// the condition needs nothing or the rebuilt text would be anything but the
// statement with parentheses and blanks added.
std::string RebuildIfStatement(std::string_view stmt) {
  const CodeKinds kinds = ClassifyCode(stmt);
  const auto [ifAt, parenAt] = FindIfOpen(stmt, kinds);
  if (ifAt == kNone) return std::string(stmt);
  const std::string_view head = stmt.substr(0, ifAt);
  std::string_view cond = stmt.substr(parenAt + 1);
  // Everything from the first "return" on stays as it is.
  const std::size_t ret = FindCodeWord(cond, std::span(kinds).subspan(parenAt + 1), "return");
  const std::string_view tail = ret == kNone ? std::string_view() : cond.substr(ret);
  cond = cond.substr(0, ret == kNone ? cond.size() : ret);

  const int n = FindConditionEnd(cond);
  if (n == 0) return std::string(stmt);
  const std::size_t close = cond.substr(0, static_cast<std::size_t>(n)).rfind(')');
  const std::string_view inner = cond.substr(0, close);
  const std::string grouped = ParenthesizeIfCondition(inner);
  // Re-spacing alone is no reason to rewrite a statement.
  if (CountOpenings(grouped) == CountOpenings(inner)) return std::string(stmt);

  std::string rebuilt(head);
  rebuilt.append("if (").append(grouped).append(")");
  rebuilt.append(cond.substr(close + 1)).append(tail);
  rebuilt = SpaceIfParens(rebuilt);
  if (!ParenthesesBalance(rebuilt) || Skeleton(rebuilt) != Skeleton(stmt)) return std::string(stmt);
  return rebuilt;
}

bool HoldsCode(std::string_view text, std::span<const CodeKind> kinds, std::string_view needle) {
  return FindCode(text, kinds, needle) != kNone;
}

// What the code of the lines of an if-statement holds.
struct StatementCode {
  bool ended = false;  // a "{" or a ";"
  bool hasAnd = false;
  bool hasOr = false;

  void Add(std::string_view code) {
    const CodeKinds kinds = ClassifyCode(code);
    ended = ended || HoldsCode(code, kinds, "{") || HoldsCode(code, kinds, ";");
    hasAnd = hasAnd || HoldsCode(code, kinds, "&&");
    hasOr = hasOr || HoldsCode(code, kinds, "||");
  }
};

}  // namespace

int FindConditionEnd(std::string_view cond) {
  const CodeKinds kinds = ClassifyCode(cond);
  long depth = 0;
  std::size_t close = kNone;
  for (std::size_t i = 0; i < cond.size() && close == kNone; ++i) {
    if (kinds[i] != CodeKind::Code) continue;
    if (cond[i] == '(') {
      ++depth;
    } else if (cond[i] == ')') {
      if (depth == 0) close = i;
      --depth;
    }
  }
  if (close == kNone) return 0;
  std::size_t end = close + 1;
  std::size_t j = end;
  while (j < cond.size() && static_cast<unsigned char>(cond[j]) <= 0x20) ++j;
  if (cond.substr(j).starts_with(markers::MarkOpen)) {
    std::size_t k = j + markers::MarkOpen.size();
    const std::size_t digits = k;
    while (k < cond.size() && cond[k] >= '0' && cond[k] <= '9') ++k;
    if (k > digits && cond.substr(k).starts_with(markers::MarkClose))
      end = k + markers::MarkClose.size();
  }
  return static_cast<int>(end);
}

std::string FirstLine(std::string_view text) {
  const int p = PosNth(0, "\r\n", text);
  return std::string(p < 1 ? text : text.substr(0, static_cast<std::size_t>(p - 1)));
}

std::string ParenthesizeAndGroups(std::string_view expr) {
  const CodeKinds kinds = ClassifyCode(expr);
  std::vector<Insertion> insertions;
  std::vector<Operator> ops;
  std::size_t pieceStart = 0;
  std::size_t scopeEnd = expr.size();
  long depth = 0;
  for (std::size_t i = 0; i < expr.size(); ++i) {
    if (kinds[i] != CodeKind::Code) continue;
    const char c = expr[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0) {
        scopeEnd = i;
        break;
      }
      --depth;
    } else if (depth == 0 && c == ',') {
      GroupPiece(ops, pieceStart, i, insertions);
      ops.clear();
      pieceStart = i + 1;
    } else if (depth == 0 && (c == '&' || c == '|') &&
               CodeAt(expr, kinds, i + 1, std::string_view(&c, 1))) {
      ops.push_back({i, c == '&'});
      ++i;
    }
  }
  GroupPiece(ops, pieceStart, scopeEnd, insertions);
  if (insertions.empty()) return std::string(expr);
  std::string out;
  out.reserve(expr.size() + insertions.size() * 2);
  std::size_t from = 0;
  for (const Insertion& ins : insertions) {
    out.append(expr.substr(from, ins.at - from)).append(ins.text);
    from = ins.at;
  }
  out.append(expr.substr(from));
  return out;
}

std::string ParenthesizeIfCondition(std::string_view cond) {
  std::string prefix;
  std::string body(cond);
  if (FindIfOpen(body, ClassifyCode(body)).first != kNone) {
    body = SpaceIfParens(body);
    const std::size_t paren = FindIfOpen(body, ClassifyCode(body)).second;
    prefix = body.substr(0, paren + 1);
    body.erase(0, paren + 1);
  }
  if (body.find(markers::MarkOpenAt) != kNone || body.find(markers::MarkCloseAt) != kNone)
    return prefix + body;

  // Innermost groups first: each group's contents are grouped with its own
  // inner groups already standing as placeholders.
  const CodeKinds kinds = ClassifyCode(body);
  std::vector<std::string> open(1);
  std::vector<std::string> groups;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const bool code = kinds[i] == CodeKind::Code;
    if (code && body[i] == '(') {
      open.emplace_back();
    } else if (code && body[i] == ')' && open.size() > 1) {
      const std::string inside = std::move(open.back());
      open.pop_back();
      groups.push_back("(" + ParenthesizeAndGroups(inside) + ")");
      open.back() += Placeholder(groups.size() - 1);
    } else {
      open.back() += body[i];
    }
  }
  // A "(" never closed stays as it stood.
  while (open.size() > 1) {
    const std::string inside = std::move(open.back());
    open.pop_back();
    open.back().append("(").append(inside);
  }
  return prefix + ExpandGroups(ParenthesizeAndGroups(open.back()), groups);
}

bool WantsNoEmptyLineBefore(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  for (std::string_view word : kTightWords)
    if (trimmed.starts_with(word)) return true;
  return false;
}

std::string FixAndOrPriorityLevel(Engine& engine, std::string_view text) {
  if (!engine.Checked(kAndOrSwitch)) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  int emptyLines = 0;
  // Writes the empty lines met before line, unless line begins with a word
  // that wants no empty line before it.
  const auto settleEmptyLines = [&](std::string_view line) {
    if (!WantsNoEmptyLineBefore(line))
      for (; emptyLines > 0; --emptyLines) out.append("\r\n");
    emptyLines = 0;
  };

  LineCursor unread{std::string(text)};
  while (!unread.Empty()) {
    const std::string line = unread.Fetch("\r\n");
    if (line.empty()) {
      ++emptyLines;
      continue;
    }
    settleEmptyLines(line);
    if (line.find("if") == kNone || IsCommentLine(line)) {
      out.append(line).append("\r\n");
      continue;
    }
    const CodeAndComment parts = CutLineComment(line);
    if (FindIfOpen(parts.code, ClassifyCode(parts.code)).first == kNone) {
      out.append(line).append("\r\n");
      continue;
    }

    // The statement runs up to the line that brings its "{" or ";"; a line
    // beginning with "if" or "for" starts a statement of its own.
    std::string stmt(parts.code);
    StatementCode seen;
    seen.Add(parts.code);
    int joined = 0;
    while (!seen.ended && !unread.Empty() && joined < kMaxJoinedLines) {
      const std::string next = FirstLine(unread.Rest());
      const std::string_view trimmed = Trim(next);
      if (trimmed.starts_with("if") || trimmed.starts_with("for")) break;
      const std::string_view appended = unread.FetchView("\r\n");
      stmt.append(joined == 0 ? "\r\n" : "").append(appended).append("\r\n");
      seen.Add(CutLineComment(appended).code);
      ++joined;
    }
    const std::string_view continuation =
        joined == 0 ? std::string_view() : std::string_view(stmt).substr(parts.code.size() + 2);

    const std::string rebuilt =
        seen.hasAnd && seen.hasOr ? RebuildIfStatement(stmt) : std::string(stmt);
    if (rebuilt == stmt) {
      out.append(line).append("\r\n");
      // Lines of a statement that holds only one of the operators are taken
      // again one by one: one of them may start an if-statement of its own.
      if (seen.hasAnd && seen.hasOr)
        out.append(continuation);
      else
        unread.PutBack(continuation);
      continue;
    }
    engine.TextChanged = true;
    out.append(rebuilt).append(parts.comment);
    // A statement joined over lines ends in "\r\n": without a comment
    // behind it the line ends empty.
    if (joined > 0 && parts.comment.empty())
      ++emptyLines;
    else
      out.append("\r\n");
  }
  for (; emptyLines > 0; --emptyLines) out.append("\r\n");
  return out;
}

}  // namespace lumivex
