// The toolkit members that walk a text position by position, against plain
// transcriptions of their cut-and-search loops: the searches, the splits, the
// replaces (with their Text-changed rule), the line helpers and the line
// cursor. The real members skip ahead with memchr and keep offsets; any text,
// needle and occurrence number must give the same answer.
//
// Input: byte 0 chooses the occurrence number (-1 to 2), bytes 1 and 2 the
// lengths (0 to 7) of the needle and of a second string (the new text of the
// replaces, and the line cursor's moves), which follow; the rest is the text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_check.h"
#include "support/search_model.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {
namespace {

namespace model = testing::model;
using fuzz::Require;

// ---- plain transcriptions of the members not in the shared model --------

namespace ref {

constexpr std::string_view kBefore = " \t\n;:+-*/?<>!\"#$%&')(=~|\\^{}@,.";
constexpr std::string_view kAfter = " \t\r;:+-*/?<>!\"#$%&')(=~|\\^{}@,.";

bool In(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

int PosWord(int n, const std::string& word, const std::string& text) {
  if (n < 0 || word.empty()) return 0;
  int hits = 0;
  const std::size_t m = word.size();
  for (std::size_t i = 0; i < text.size(); i += IsSjisPair(text, i) ? 2 : 1) {
    const bool before = i == 0 || In(kBefore, text[i - 1]) || text[i - 1] == '[' || text[i - 1] == ']';
    const bool after = i + m == text.size() ||
                       (i + m < text.size() && (In(kAfter, text[i + m]) || text[i + m] == '[' || text[i + m] == ']'));
    if (before && after && text.compare(i, m, word) == 0 && hits++ == n) return static_cast<int>(i + 1);
  }
  return 0;
}

int PosInCode(int n, const std::string& needle, const std::string& text) {
  const int a = model::OutsideString(n, needle, text);
  const int b = model::OutsideNest(n, needle, text, "//", "\r\n");
  if (a == 0 && b == 0) return 0;
  if (a >= 1) {
    const int c = model::OutsideString(0, "//", text);
    const bool commentFirst = c >= 1 && c < a;
    if (b >= 1) return commentFirst ? b : a;
    return commentFirst ? (needle == "\r\n" ? a : 0) : a;
  }
  const int q = model::PosNth(0, "\"", text);
  return q >= 1 && q < b ? 0 : b;
}

int LastPos(const std::string& needle, const std::string& text) {
  const std::size_t l = text.size(), m = needle.size();
  if (m == 0 || m > l) return 0;
  for (std::size_t i = l; i >= m;) {  // i: 1-based candidate end
    const bool pair = i >= 2 && IsSjisPair(text.substr(i - 2, 2), 0);
    if (text.compare(i - m, m, needle) == 0) return static_cast<int>(i - m + 1);
    const std::size_t step = pair ? 2 : 1;
    if (i < step) break;
    i -= step;
  }
  return 0;
}

// The platform search of the replaces: characters recognised from the start
// of s; 1-based, 0 when none.
int Find(const std::string& needle, const std::string& s) { return model::PosNth(0, needle, s); }

// Split rule shared by every Fetch member.
std::string Split(int p, std::size_t sepLength, std::string& text) {
  if (p < 1) {
    std::string head = std::move(text);
    text.clear();
    return head;
  }
  std::string head = text.substr(0, static_cast<std::size_t>(p - 1));
  text.erase(0, static_cast<std::size_t>(p - 1) + sepLength);
  return head;
}

std::string FetchModel(const std::string& sep, std::string& text) {
  return Split(model::PosNth(0, sep, text), sep.size(), text);
}

std::string FetchUpToLast(const std::string& sep, std::string& text) {
  std::string head;
  for (;;) {
    head += FetchModel(sep, text);
    if (model::PosNth(0, sep, text) < 1) return head;
    head += sep;
  }
}

std::string ReplaceText(bool& changed, int maxCount, const std::string& newStr, const std::string& oldStr,
                        const std::string& text) {
  std::string out, rest = text;
  int p = Find(oldStr, rest);
  if (p == 0) return text;
  changed = true;
  for (int k = 0;;) {
    out += rest.substr(0, static_cast<std::size_t>(p - 1)) + newStr;
    rest.erase(0, static_cast<std::size_t>(p - 1) + oldStr.size());
    p = Find(oldStr, rest);
    ++k;
    if (!((maxCount < 1 || k < maxCount) && p > 0)) break;
  }
  return out + rest;
}

// Occurrences are found in the rest behind the last one, but judged as words
// by their neighbours in the whole text, "[" and "]" included, so "i" in "ii"
// is no word and "arr[i]" holds one.
std::string ReplaceWholeWord(bool& changed, int maxCount, const std::string& newWord, const std::string& oldWord,
                             const std::string& text) {
  std::string out, rest = text;
  int p = Find(oldWord, rest);
  if (p == 0) return text;
  changed = true;
  const std::size_t m = oldWord.size();
  std::size_t base = 0;  // where rest starts in text
  int k = 0;
  while (p > 0) {
    const std::size_t at = static_cast<std::size_t>(p - 1), where = base + at;
    const auto delimiter = [](std::string_view set, char c) { return In(set, c) || c == '[' || c == ']'; };
    const bool whole = (where == 0 || delimiter(kBefore, text[where - 1])) &&
                       (where + m == text.size() || delimiter(kAfter, text[where + m]));
    out += whole ? rest.substr(0, at) + newWord : rest.substr(0, at + m);
    k += whole;
    rest.erase(0, at + m);
    base += at + m;
    p = Find(oldWord, rest);
    if (maxCount >= 1 && k >= maxCount) break;
  }
  return out + rest;
}

int CountNonOverlapping(const std::string& needle, std::string rest) {
  int count = 0;
  for (int p; !needle.empty() && (p = Find(needle, rest)) > 0; ++count)
    rest.erase(0, static_cast<std::size_t>(p - 1) + needle.size());
  return count;
}

std::string LeadingBlank(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && static_cast<unsigned char>(line[i]) <= 0x20) ++i;
  return line.substr(0, i);
}

}  // namespace ref

// ---- the checks -----------------------------------------------------------

struct Args {
  int n = 0;
  std::string needle, other, text;
};

Args Read(std::string_view bytes) {
  Args a;
  if (bytes.size() < 3) {
    a.text = bytes;
    return a;
  }
  a.n = static_cast<unsigned char>(bytes[0]) % 4 - 1;
  const std::size_t l1 = static_cast<unsigned char>(bytes[1]) % 8, l2 = static_cast<unsigned char>(bytes[2]) % 8;
  bytes.remove_prefix(3);
  a.needle = bytes.substr(0, l1);
  bytes.remove_prefix(std::min(l1, bytes.size()));
  a.other = bytes.substr(0, l2);
  bytes.remove_prefix(std::min(l2, bytes.size()));
  a.text = bytes;
  return a;
}

void Same(int got, int want, std::string_view member, const Args& a) {
  if (got == want) return;
  fuzz::Fail(std::string(member) + ": " + std::to_string(got) + " instead of " + std::to_string(want),
             "n " + std::to_string(a.n) + " needle '" + a.needle + "' text '" + a.text + "'");
}

void Same(const std::string& got, const std::string& want, std::string_view member, const Args& a) {
  if (got == want) return;
  fuzz::Fail(std::string(member) + " differs",
             "n " + std::to_string(a.n) + " needle '" + a.needle + "' other '" + a.other + "' text '" + a.text +
                 "'\ngot '" + got + "'\nwant '" + want + "'");
}

void CheckSearches(const Args& a) {
  const auto& [n, needle, other, text] = a;
  Same(PosNth(n, needle, text), model::PosNth(n, needle, text), "PosNth", a);
  Same(PosNthNoCase(n, needle, text), model::PosNth(n, ref::Lower(needle), ref::Lower(text)), "PosNthNoCase", a);
  Same(PosWord(n, needle, text), ref::PosWord(n, needle, text), "PosWord", a);
  Same(PosOutsideString(n, needle, text), model::OutsideString(n, needle, text), "PosOutsideString", a);
  Same(PosOutsideLineComment(n, needle, text), model::OutsideNest(n, needle, text, "//", "\r\n"),
       "PosOutsideLineComment", a);
  Same(PosInCode(n, needle, text), ref::PosInCode(n, needle, text), "PosInCode", a);
  Same(LastPosMbcs(needle, text), ref::LastPos(needle, text), "LastPosMbcs", a);

  Engine engine;
  const std::string masked = model::MaskEmptyParens(text);
  Same(PosAtTopLevel(engine, n, needle, text), model::OutsideNest(n, needle, masked, "(", ")"), "PosAtTopLevel", a);
  Require(engine.TextChanged == (masked != text), "PosAtTopLevel marks the text changed only for \"()\"", text);

  const std::size_t from = text.size() / 2;
  const int tail = ref::Find(needle, text.substr(from));
  Same(static_cast<int>(FindMbcs(text, needle, from) + 1), tail == 0 ? 0 : tail + static_cast<int>(from),
       "FindMbcs", a);
  Same(CountSubstring(needle, text), ref::CountNonOverlapping(needle, text), "CountSubstring", a);
  Same(CountChar(needle, text),
       needle.size() == 1 ? static_cast<int>(std::count(text.begin(), text.end(), needle[0])) : 0, "CountChar", a);
}

void CheckSplits(const Args& a) {
  const std::string& sep = a.needle;
  Engine engine;
  // whole: the separator found stands in the text, so head, separator and
  // rest make it up again. Not so for FetchAtTopLevel with a backquote in the
  // separator: its search runs on the text with "()" masked as "``".
  const auto check = [&](std::string_view member, auto split, int p, bool whole = true) {
    std::string rest = a.text, want = a.text;
    const std::string head = split(sep, rest);
    Same(head, ref::Split(p, sep.size(), want), member, a);
    Same(rest, want, member, a);
    if (p >= 1 && whole) Same(head + sep + rest, a.text, member, a);
  };
  check("Fetch", Fetch, model::PosNth(0, sep, a.text));
  check("FetchOutsideString", FetchOutsideString, model::OutsideString(0, sep, a.text));
  check("FetchInCode", FetchInCode, ref::PosInCode(0, sep, a.text));
  check("FetchWord", FetchWord, ref::PosWord(0, sep, a.text));
  check("FetchLast", FetchLast, ref::LastPos(sep, a.text));
  check("FetchAtTopLevel", [&](std::string_view s, std::string& t) { return FetchAtTopLevel(engine, s, t); },
        model::OutsideNest(0, sep, model::MaskEmptyParens(a.text), "(", ")"), sep.find('`') == std::string::npos);

  std::string rest = a.text, want = a.text;
  Same(FetchUpToLast(sep, rest), ref::FetchUpToLast(sep, want), "FetchUpToLast", a);
  Same(rest, want, "FetchUpToLast", a);

  rest = a.text;
  const std::size_t plain = sep.empty() ? 0 : a.text.find(sep);
  Same(FetchCStr(sep, rest), plain == std::string::npos ? a.text : a.text.substr(0, plain), "FetchCStr", a);
  Same(rest, plain == std::string::npos ? "" : a.text.substr(plain + sep.size()), "FetchCStr", a);
}

void CheckReplaces(const Args& a) {
  const auto& [n, oldStr, newStr, text] = a;
  for (const int count : {n, n + 1}) {
    Engine engine;
    bool changed = false;
    Same(ReplaceText(engine, count, newStr, oldStr, text), ref::ReplaceText(changed, count, newStr, oldStr, text),
         "ReplaceText", a);
    Require(engine.TextChanged == changed, "ReplaceText marks the text changed when the old text occurs", text);

    engine.TextChanged = changed = false;
    Same(ReplaceWholeWord(engine, count, newStr, oldStr, text),
         ref::ReplaceWholeWord(changed, count, newStr, oldStr, text), "ReplaceWholeWord", a);
    Require(engine.TextChanged == changed, "ReplaceWholeWord marks the text changed when the old word occurs", text);

    engine.TextChanged = changed = false;
    std::string want = text;
    if (count < 1) {
      want = ref::ReplaceText(changed, 0, newStr, oldStr, text);
    } else if (const int p = model::PosNth(count - 1, oldStr, text); p > 0) {
      want = text.substr(0, static_cast<std::size_t>(p - 1)) + newStr + text.substr(p - 1 + oldStr.size());
    }
    Same(ReplaceNth(engine, count, newStr, oldStr, text), want, "ReplaceNth", a);
    Require(engine.TextChanged == changed, "ReplaceNth marks the text changed only when it replaces all", text);
  }
}

void CheckLineHelpers(const Args& a) {
  std::string rest = a.text;
  int lines = 0;
  std::string found;
  std::string joined;
  while (!rest.empty()) {
    const std::string line = ref::FetchModel("\r\n", rest);
    ++lines;
    if (found.empty() && model::PosNth(0, ref::Lower(a.needle), ref::Lower(line)) >= 1 && line.compare(0, 2, "//") != 0)
      found = line;
    joined += Trim(line);
  }
  Same(CountLines(a.text), lines, "CountLines", a);
  Same(JoinTrimmedLines(a.text), joined, "JoinTrimmedLines", a);

  Engine engine;
  engine.FoundLine = "stale";
  const bool hit = FindInCodeLine(engine, a.text, a.needle);
  Same(engine.FoundLine, hit ? found : "", "FindInCodeLine", a);
  Require(hit == !found.empty(), "FindInCodeLine reports whether a line holds the key", a.text);

  std::string tail = a.text;
  const bool hasBrace = model::PosNth(0, "}", tail) >= 1;
  ref::FetchUpToLast("}", tail);
  Require(TailHasReturn(a.text) == (hasBrace && model::PosNth(0, "return", tail) >= 1),
          "TailHasReturn looks behind the last \"}\"", a.text);

  const std::string blank = ref::LeadingBlank(a.text);
  const std::string trimmed(Trim(a.text));
  std::string line = a.text;
  Same(SplitIndent(line), trimmed.empty() ? "" : blank, "SplitIndent", a);
  Same(line, trimmed.empty() ? a.text : trimmed, "SplitIndent", a);

  engine.TextChanged = false;
  const int tabs = static_cast<int>(std::count(blank.begin(), blank.end(), '\t'));
  Same(IndentWidth(engine, a.text), static_cast<int>(blank.size()) + 3 * tabs, "IndentWidth", a);
  Require(engine.TextChanged == (tabs > 0), "IndentWidth marks the text changed for a tab", a.text);
}

// A walk of cuts, put-backs and looks, the same moves on a plain string.
void CheckLineCursor(const Args& a) {
  LineCursor cursor{a.text};
  std::string rest = a.text, last;
  const std::string seps[] = {a.needle, "\r\n"};
  for (std::size_t step = 0; step < 48; ++step) {
    const unsigned char move = a.other.empty() ? 0 : static_cast<unsigned char>(a.other[step % a.other.size()]);
    const std::string& sep = seps[(move >> 2) & 1];
    switch (move & 3) {
      case 0:
        last = cursor.Fetch(sep);
        Same(last, ref::FetchModel(sep, rest), "LineCursor::Fetch", a);
        break;
      case 1:
        last = std::string(cursor.FetchView(sep));
        Same(last, ref::FetchModel(sep, rest), "LineCursor::FetchView", a);
        break;
      case 2:
        last += sep;
        cursor.PutBack(last);
        rest = last + rest;
        break;
      default:
        cursor.PutBack(a.other);
        rest = a.other + rest;
        break;
    }
    Same(std::string(cursor.Rest()), rest, "LineCursor::Rest", a);
    Require(cursor.Empty() == rest.empty(), "LineCursor::Empty", a.text);
  }
  Same(cursor.TakeRest(), rest, "LineCursor::TakeRest", a);
  Require(cursor.Empty(), "LineCursor::TakeRest leaves the cursor empty", a.text);
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumivex;
  const Args args = Read(fuzz::Bytes(data, size));
  CheckSearches(args);
  CheckSplits(args);
  CheckReplaces(args);
  CheckLineHelpers(args);
  CheckLineCursor(args);
  return 0;
}
