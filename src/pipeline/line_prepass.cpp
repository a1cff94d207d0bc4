#include "pipeline/line_prepass.h"

#include <algorithm>
#include <charconv>

#include "text/code_scan.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr char kDel = '\x7f';
constexpr char kBs = '\x08';

// How the pre-pass reads a line: "/* */" comments are not folded yet, so a
// single quote in their prose opens no literal unless it closes a character
// ('x' or '\x') right away; a backslash in a literal escapes one byte.
constexpr CodeSyntax kPrepassSyntax{.escapeWholeCharacter = false, .shortCharLiterals = true};

// Position of the first "/*" in code, read from the start of s in code state;
// kNone when a "//" or the end comes first. Stops at that "/*", so the scans
// over the comments of one line add up to the line's length.
std::size_t FindBlockOpen(std::string_view s) {
  std::size_t open = kNone;
  CodeReader(kPrepassSyntax).Read(s, [&](const CodeChar& ch) {
    if (ch.kind == CodeKind::LineComment) return false;
    if (ch.kind != CodeKind::Code || s[ch.at] != '/' || ch.at + 1 == s.size() || s[ch.at + 1] != '*')
      return true;
    open = ch.at;
    return false;
  });
  return open;
}

bool StartsAt(std::string_view s, std::size_t i, std::string_view what) {
  return s.size() - i >= what.size() && s.compare(i, what.size(), what) == 0;
}

// The first touch of every line: "\r" removed, source DelChar and BsChar bytes held,
// "://" and backslash pairs replaced by their placeholders. Finding either
// sequence counts as a change of the text.
std::string HideSequences(Engine& engine, std::string_view raw) {
  std::string noCr;
  if (raw.find('\r') != kNone) {
    noCr.reserve(raw.size());
    for (const char c : raw)
      if (c != '\r') noCr.push_back(c);
    raw = noCr;
  }
  // Most lines hold none of the bytes that need a look.
  if (raw.find_first_of(":\\\x7f\x08") == kNone) return std::string(raw);
  std::string out;
  out.reserve(raw.size() + 8);
  std::size_t i = 0;
  while (i < raw.size()) {
    if (IsSjisPair(raw, i)) {
      out.append(raw, i, 2);
      i += 2;
      continue;
    }
    const char c = raw[i];
    if (c == kDel) {
      out.append(placeholders::HeldDel);
    } else if (c == kBs) {
      out.append(placeholders::HeldBs);
    } else if (c == ':' && StartsAt(raw, i, "://")) {
      out.append(placeholders::Url);
      engine.TextChanged = true;
      i += 3;
      continue;
    } else if (c == '\\' && StartsAt(raw, i, "\\\\")) {
      out.append(placeholders::Escape);
      engine.TextChanged = true;
      i += 2;
      continue;
    } else {
      out.push_back(c);
    }
    ++i;
  }
  return out;
}

// Every whole-word "TRUE" outside string literals becomes "true";
// comments are no exception.
void LowerTrueWords(Engine& engine, std::string& line) {
  if (line.find("TRUE") == kNone) return;
  const CodeKinds kinds = ClassifyCode(line, kPrepassSyntax);
  for (std::size_t i = line.find("TRUE"); i != kNone; i = line.find("TRUE", i + 4)) {
    if (kinds[i] == CodeKind::Literal || kinds[i] == CodeKind::Trail) continue;
    const bool before = i == 0 || IsWordDelimiter(static_cast<unsigned char>(line[i - 1]), false);
    const bool after =
        i + 4 == line.size() || IsWordDelimiter(static_cast<unsigned char>(line[i + 4]), true);
    if (!before || !after) continue;
    line.replace(i, 4, "true");
    engine.TextChanged = true;
  }
}

std::string Marker(std::size_t index) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  std::string m(markers::MarkOpen);
  m.append(digits, end).append(markers::MarkClose);
  return m;
}

// A block comment opening in the code of line is folded,
// together with the further lines it spans and any block comments that follow
// it on its closing line (with the code between them), into one entry; its
// marker takes its place in line. A block still open when the text ends is not
// folded: line keeps the code before it and openBlock receives the rest,
// untouched but for the placeholders.
void FoldBlockComments(Engine& engine, std::string& line, LineCursor& unread,
                       std::string_view lineEnd, std::string& openBlock) {
  const std::size_t open = FindBlockOpen(line);
  if (open == kNone) return;
  std::string block = line.substr(open);
  line.resize(open);
  std::size_t from = 2;  // behind the "/*" just met
  std::size_t end = 0;   // behind the last "*/" of the fold
  for (;;) {
    const std::size_t close = block.find("*/", from);
    if (close == kNone) {
      if (unread.Empty()) {
        openBlock = std::move(block);
        return;
      }
      from = block.size();
      block.append("\r\n").append(HideSequences(engine, unread.FetchView(lineEnd)));
      continue;
    }
    end = close + 2;
    const std::size_t next = FindBlockOpen(std::string_view(block).substr(end));
    if (next == kNone) break;
    from = end + next + 2;
  }
  line.append(Marker(engine.FoldedComments.size())).append(block, end);
  block.resize(end);
  engine.FoldedComments.push_back(std::move(block));
}

// The first ")if" or ") if" in the code of the line (else the first
// "{if" or "{ if") starts a line of its own, indented 4 (16 after "{")
// columns beyond the line. Every ")if" of the code gains its blank and every
// "{ if" loses it, as the split text shows them.
void SplitIf(Engine& engine, std::string& line) {
  if (line.find("if") == kNone) return;
  const CodeKinds kinds = ClassifyCode(line, kPrepassSyntax);
  const auto splitAt = [&](std::string_view tight, std::string_view loose, bool toLoose,
                           int extraIndent) {
    std::string out;
    out.reserve(line.size() + 1);
    std::size_t first = kNone;
    bool replaced = false;
    for (std::size_t i = 0; i < line.size();) {
      if (kinds[i] == CodeKind::Code && (StartsAt(line, i, tight) || StartsAt(line, i, loose))) {
        const bool isTight = StartsAt(line, i, tight);
        if (first == kNone) first = out.size();
        replaced |= (isTight == toLoose);
        out.append(toLoose ? loose : tight);
        i += isTight ? tight.size() : loose.size();
        continue;
      }
      out.push_back(line[i++]);
    }
    if (first == kNone) return false;
    if (replaced) engine.TextChanged = true;
    const std::string head = out.substr(0, first);
    std::string rebuilt = head;
    rebuilt.push_back(out[first]);
    rebuilt.append("\r\n").append(SpaceString(IndentWidth(engine, head) + extraIndent));
    rebuilt.append("if").append(out, first + (toLoose ? loose.size() : tight.size()));
    line = std::move(rebuilt);
    return true;
  };
  if (splitAt(")if", ") if", true, 4)) return;
  splitAt("{if", "{ if", false, 16);
}

// Appends s with its placeholders turned back into their bytes. With entries,
// each well-formed marker naming one of them is replaced by it; returns true
// when s ended with such a marker whose entry ends with "\r\n".
bool AppendRestored(std::string& out, std::string_view s, const std::vector<std::string>* entries) {
  bool endsWithBreak = false;
  std::size_t i = 0;
  while (i < s.size()) {
    // Plain text up to the next byte that may start a marker or placeholder.
    const std::size_t plain = std::min(s.find_first_of("<\x7f\x08", i), s.size());
    if (plain > i) {
      out.append(s, i, plain - i);
      i = plain;
      endsWithBreak = false;
      continue;
    }
    const char c = s[i];
    if (entries && c == '<' && StartsAt(s, i, markers::MarkOpen)) {
      const std::size_t digits = i + markers::MarkOpen.size();
      std::size_t index = 0;
      const auto [ptr, ec] = std::from_chars(s.data() + digits, s.data() + s.size(), index);
      const std::size_t after = static_cast<std::size_t>(ptr - s.data());
      if (ec == std::errc() && after > digits && index < entries->size() &&
          StartsAt(s, after, markers::MarkClose)) {
        const std::string& entry = (*entries)[index];
        AppendRestored(out, entry, nullptr);
        i = after + markers::MarkClose.size();
        endsWithBreak = i == s.size() && entry.ends_with("\r\n");
        continue;
      }
    }
    endsWithBreak = false;
    if (c == kDel && i + 1 < s.size()) {
      const char next = s[i + 1];
      if (next == ':' || next == kDel || next == kBs) {
        out.append(next == ':' ? std::string_view("://") : std::string_view(&s[i + 1], 1));
        i += 2;
        continue;
      }
    } else if (c == kBs && i + 1 < s.size() && s[i + 1] == kBs) {
      out.append("\\\\");
      i += 2;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return endsWithBreak;
}

}  // namespace

std::string PrepareLines(Engine& engine, std::string_view text) {
  const bool fold = engine.Checked("chkCommentCompression");
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  std::string run;  // "//" lines waiting to be folded, each with "\r\n"
  // A text without any "\n" ends its lines with "\r" alone.
  const bool crOnly = text.find('\n') == kNone && text.find('\r') != kNone;
  const std::string_view lineEnd = crOnly ? "\r" : "\n";
  LineCursor unread{std::string(text)};
  while (!unread.Empty()) {
    std::string line = HideSequences(engine, unread.FetchView(lineEnd));
    LowerTrueWords(engine, line);
    std::string openBlock;
    if (fold) {
      if (Trim(line).starts_with("//")) {
        run.append(line).append("\r\n");
        continue;
      }
      if (!run.empty()) {
        out.append(Marker(engine.FoldedComments.size())).append("\r\n");
        engine.FoldedComments.push_back(std::move(run));
        run.clear();
      }
      FoldBlockComments(engine, line, unread, lineEnd, openBlock);
    }
    SplitIf(engine, line);
    out.append(line).append(openBlock).append("\r\n");
  }
  // A run at the end of the text has no line after it to close it.
  out.append(run);
  return out;
}

std::string RestoreLines(Engine& engine, std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4 + 2);
  LineCursor lines{std::string(text)};
  while (!lines.Empty()) {
    if (!AppendRestored(out, lines.FetchView("\r\n"), &engine.FoldedComments)) out.append("\r\n");
  }
  return out;
}

}  // namespace lumivex
