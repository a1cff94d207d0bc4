// The line pre-pass followed at once by the restore, as a run whose rule
// phases change nothing. The round trip gives back the source exactly, up to
// these changes and no others:
// - every line ends in "\r\n" (the text is cut at "\n", "\r" bytes vanish,
//   and a last line without a line end gets one; in a text without any "\n"
//   each "\r" ends a line instead);
// - a whole-word "TRUE" may have become "true", but not inside a string
//   literal;
// - an "if" after ")" or "{" may stand on a line of its own, with blanks
//   before it, and ")if" / "{ if" may have gained or lost the blank between.
// In between, the prepared text must be what the rules rely on: "\r\n" line
// ends only, no "://" and no backslash pair left outside the placeholders, no
// backquote that the source did not hold (the top-level searches mask "()"
// with them), and one marker per folded comment, numbered in order.
//
// Options line: byte 0 is chkCommentCompression.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/fuzz_check.h"
#include "pipeline/line_prepass.h"
#include "support/fake_settings.h"
#include "text/text.h"

namespace lumivex {
namespace {

using fuzz::Require;

// The source with the line ends the pre-pass gives every line.
std::string WithCrlfLines(std::string_view text) {
  const char ending = text.find('\n') == std::string_view::npos ? '\r' : '\n';
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(ending, start);
    if (end == std::string_view::npos) end = text.size();
    for (std::size_t i = start; i < end; ++i)
      if (text[i] != '\r') out += text[i];
    out += "\r\n";
    start = end + 1;
  }
  return out;
}

bool WholeWordAt(std::string_view s, std::size_t i, std::size_t length) {
  const bool before = i == 0 || IsWordDelimiter(static_cast<unsigned char>(s[i - 1]), false);
  const bool after = i + length == s.size() || IsWordDelimiter(static_cast<unsigned char>(s[i + length]), true);
  return before && after;
}

// A line whose string literals anyone can see: no character literal, no
// escape, no comment, no two-byte character. In such a line the quotes pair
// up from the left, and "TRUE" between a pair is literal text.
bool PlainLine(std::string_view line) {
  for (const char c : line)
    if (c == '\'' || c == '\\' || c == '/' || c == '*' || static_cast<unsigned char>(c) >= 0x7f || c == '\x08')
      return false;
  return true;
}

// The allowed changes made on both sides. First the blanks and line breaks
// between ")" or "{" and a following "if" go, so the lines of both sides
// match; then every whole-word "TRUE" is lowered, but never inside a literal
// of a plain line. A line break dropped there ends a literal as any line end
// does (the pre-pass splits a line only outside literals).
std::string Canonical(std::string_view s) {
  std::string joined;
  std::vector<bool> lineStart;  // per byte of joined
  joined.reserve(s.size());
  bool broken = true;
  for (std::size_t i = 0; i < s.size(); ++i) {
    joined += s[i];
    lineStart.push_back(broken);
    broken = s[i] == '\n';
    if (s[i] != ')' && s[i] != '{') continue;
    std::size_t j = i + 1;
    while (j < s.size() && (s[j] == ' ' || s[j] == '\r' || s[j] == '\n')) ++j;
    if (s.compare(j, 2, "if") != 0) continue;
    broken = s.substr(i + 1, j - i - 1).find('\n') != std::string_view::npos;
    i = j - 1;
  }
  std::string out;
  out.reserve(joined.size());
  bool plain = false, inLiteral = false;
  for (std::size_t i = 0; i < joined.size();) {
    if (i == 0 || joined[i - 1] == '\n') plain = PlainLine(std::string_view(joined).substr(i, joined.find('\n', i) - i));
    if (lineStart[i]) inLiteral = false;
    if (joined.compare(i, 4, "TRUE") == 0 && WholeWordAt(joined, i, 4) && !(plain && inLiteral)) {
      out += "true";
      i += 4;
      continue;
    }
    inLiteral ^= joined[i] == '"';
    out += joined[i++];
  }
  return out;
}

void CheckLineEnds(std::string_view text, std::string_view what) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') Require(i + 1 < text.size() && text[i + 1] == '\n', what, text);
    if (text[i] == '\n') Require(i > 0 && text[i - 1] == '\r', what, text);
  }
  Require(text.empty() || text.ends_with("\r\n"), what, text);
}

void CheckPrepared(const Engine& engine, std::string_view source, std::string_view prepared, bool fold) {
  CheckLineEnds(prepared, "prepared lines end in \"\\r\\n\"");
  // The placeholder's own colon may stand before a "//" that followed a "://".
  for (std::size_t at = prepared.find("://"); at != std::string_view::npos; at = prepared.find("://", at + 1))
    Require(at > 0 && prepared[at - 1] == '\x7f', "\"://\" is held by its placeholder", prepared);
  // Backslash pairs, read as the rules read them: two-byte characters whole.
  for (std::size_t i = 0; i < prepared.size(); i += IsSjisPair(prepared, i) ? 2 : 1) {
    if (prepared[i] == '\n') continue;
    Require(!(prepared[i] == '\\' && i + 1 < prepared.size() && prepared[i + 1] == '\\'),
            "backslash pairs are held by their placeholder", prepared);
  }
  const auto backquotes = [](std::string_view s) { return CountChar("`", s); };
  Require(backquotes(prepared) <= backquotes(source), "no backquote is added", prepared);

  // Markers: exactly one per folded entry, in order. Source bytes that look
  // like a marker are held, so every marker found here is the pre-pass's own.
  const std::string open(markers::MarkOpen), close(markers::MarkClose);
  std::size_t expected = 0;
  for (std::size_t at = prepared.find(open); at != std::string_view::npos;
       at = prepared.find(open, at + open.size())) {
    const std::string marker = open + std::to_string(expected) + close;
    Require(prepared.compare(at, marker.size(), marker) == 0, "markers are numbered in order", prepared);
    ++expected;
  }
  Require(expected == engine.FoldedComments.size(), "one marker per folded comment", prepared);
  Require(fold || expected == 0, "nothing is folded with folding off", prepared);
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumivex;
  const fuzz::Input input = fuzz::SplitOptions(fuzz::Bytes(data, size));
  const bool fold = fuzz::Option(input.options, 0);
  testing::FakeSettings settings;
  settings.Set("chkCommentCompression", fold);
  Engine engine;
  engine.settings = &settings;

  const std::string prepared = PrepareLines(engine, input.body);
  CheckPrepared(engine, input.body, prepared, fold);

  const std::string restored = RestoreLines(engine, prepared);
  CheckLineEnds(restored, "restored lines end in \"\\r\\n\"");
  const std::string expected = WithCrlfLines(input.body);
  fuzz::Require(Canonical(restored) == Canonical(expected), "the round trip gives back the source",
                "source:\n" + expected + "\nrestored:\n" + restored);
  return 0;
}
