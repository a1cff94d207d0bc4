// Searches and splits over Shift-JIS byte strings.
//
// The conditional searches (outside literals, outside line comments, at top
// level) are defined as loops that cut the front off a working copy and search
// it again. Done literally that rescans the text once per cut. Here the working
// copy is an offset into the text, and every needle, opener, closer or quote
// is found by a forward stream that remembers how far it has scanned, so each
// search stays linear in the text size.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }
inline bool IsFollowerByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Bytes the scan moves on from position i: a two-byte character is one step.
inline std::size_t StepAt(std::string_view text, std::size_t i) { return IsSjisPair(text, i) ? 2 : 1; }

inline bool MatchesAt(std::string_view text, std::size_t i, std::string_view needle) {
  return text.size() - i >= needle.size() &&
         std::memcmp(text.data() + i, needle.data(), needle.size()) == 0;
}

// A byte below 0x40 is neither a lead byte nor a second byte, so every copy
// of it starts a character whatever the scan's alignment: a needle beginning
// with one ("\r\n", quotes, "//", parentheses) can be found with memchr.
inline bool StartsEveryCopy(unsigned char first) { return first < 0x40; }

// Position of the next byte b in text[from, end), kNone when there is none.
inline std::size_t NextByte(std::string_view text, std::size_t from, std::size_t end, unsigned char b) {
  if (from >= end) return kNone;
  const void* hit = std::memchr(text.data() + from, b, end - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : kNone;
}

// Next position at or after from (a position the scan visits) where the scan
// meets byte b, kNone when there is none before end. memchr finds the byte;
// the walk that confirms it starts a character begins behind the nearest byte
// below 0x40 (or at from), so each byte is looked at a bounded number of times.
std::size_t NextVisited(std::string_view text, std::size_t from, std::size_t end, unsigned char b) {
  if (StartsEveryCopy(b)) return NextByte(text, from, end, b);
  for (std::size_t i = from;;) {
    const std::size_t p = NextByte(text, i, end, b);
    if (p == kNone) return kNone;
    std::size_t q = p;
    while (q > i && !StartsEveryCopy(static_cast<unsigned char>(text[q - 1]))) --q;
    while (q < p) q += StepAt(text, q);
    if (q == p) return p;
    i = q;  // p was a second byte; the scan goes on behind its character
  }
}

// 0-based start of the (n+1)-th hit of needle in text, scanning from `from`
// with the two-byte rule applied afresh from there; kNone when there is none.
std::size_t ScanNth(int n, std::string_view needle, std::string_view text, std::size_t from = 0) {
  if (n < 0 || needle.empty()) return kNone;
  const unsigned char first = static_cast<unsigned char>(needle[0]);
  int hits = 0;
  for (std::size_t i = from; (i = NextVisited(text, i, text.size(), first)) != kNone; i += StepAt(text, i)) {
    if (MatchesAt(text, i, needle)) {
      if (hits == n) return i;
      ++hits;
    }
  }
  return kNone;
}

// Hits of one needle in a text, found lazily from left to right. The working
// copy of the conditional searches is text[base..]; as long as base is a
// position the scan visits, the hits of the copy are exactly the stream's hits
// at or after base.
class HitStream {
 public:
  HitStream(std::string_view text, std::string_view needle) : text_(text), needle_(needle) {}

  // Starts over with the two-byte rule applied from origin.
  void Realign(std::size_t origin) {
    scan_ = origin;
    hits_.clear();
    first_ = 0;
  }

  // 0-based start of the (n+1)-th hit at or after base that starts before
  // limit; kNone when there is none.
  std::size_t Find(int n, std::size_t base, std::size_t limit) {
    if (n < 0 || needle_.empty()) return kNone;
    while (first_ < hits_.size() && hits_[first_] < base) ++first_;
    if (first_ > 4096 && first_ * 2 > hits_.size()) {
      hits_.erase(hits_.begin(), hits_.begin() + static_cast<std::ptrdiff_t>(first_));
      first_ = 0;
    }
    if (scan_ < base) scan_ = base;
    const std::size_t want = static_cast<std::size_t>(n) + 1;
    const unsigned char lead = static_cast<unsigned char>(needle_[0]);
    const std::size_t stop = std::min(limit, text_.size());
    while (hits_.size() - first_ < want && scan_ < stop) {
      const std::size_t p = NextVisited(text_, scan_, stop, lead);
      if (p == kNone) {
        // Nothing before stop; a later call goes on from there.
        scan_ = ResumePoint(scan_, stop);
        break;
      }
      if (MatchesAt(text_, p, needle_)) hits_.push_back(p);
      scan_ = p + StepAt(text_, p);
    }
    if (hits_.size() - first_ < want) return kNone;
    const std::size_t hit = hits_[first_ + want - 1];
    return hit < limit ? hit : kNone;
  }

 private:
  // A position at or just behind stop where a character starts, found by
  // walking up from the nearest earlier byte below 0x40 (or from from).
  std::size_t ResumePoint(std::size_t from, std::size_t stop) const {
    if (StartsEveryCopy(static_cast<unsigned char>(needle_[0]))) return stop;
    std::size_t q = stop;
    while (q > from && !StartsEveryCopy(static_cast<unsigned char>(text_[q - 1]))) --q;
    while (q < stop) q += StepAt(text_, q);
    return q;
  }

  std::string_view text_;
  std::string_view needle_;
  std::size_t scan_ = 0;
  std::vector<std::size_t> hits_;
  std::size_t first_ = 0;
};

// Tells whether a position is one the scan from origin visits (the start of a
// character rather than the second byte of one). Positions asked must grow.
class Alignment {
 public:
  explicit Alignment(std::string_view text) : text_(text) {}
  void Reset(std::size_t origin) { pos_ = origin; }
  bool Visits(std::size_t p) {
    while (pos_ < p) pos_ += StepAt(text_, pos_);
    return pos_ == p;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The counter search behind PosOutsideLineComment and PosAtTopLevel: a hit
// counts when fewer openers than closers, or as many, stand before it. The
// counter is kept over the whole text, never reset at a line end and never
// held at zero.
int PosOutsideNest(int n, std::string_view needle, std::string_view text, std::string_view opener,
                   std::string_view closer) {
  if (n < 0 || needle.empty()) return 0;
  const std::size_t end = text.size();
  HitStream hay(text, needle), open(text, opener), close(text, closer);
  Alignment aligned(text);
  std::size_t base = 0;
  long long depth = 0;
  // Moves the working copy's start; a start inside a two-byte character (a
  // needle ending on a lead byte) restarts the scans there, as a fresh copy would.
  auto cut = [&](std::size_t next) {
    base = next;
    // Behind a byte below 0x40 a character always starts; only other cuts
    // need the walk that tells.
    if (StartsEveryCopy(static_cast<unsigned char>(text[base - 1]))) {
      aligned.Reset(base);
    } else if (!aligned.Visits(base)) {
      aligned.Reset(base);
      hay.Realign(base);
      open.Realign(base);
      close.Realign(base);
    }
  };
  for (;;) {
    const std::size_t h = hay.Find(n, base, end);
    if (h == kNone) return 0;
    const std::size_t o = open.Find(n, base, h);
    const std::size_t e = close.Find(n, base, h);
    const bool opened = o != kNone, closed = e != kNone;
    if (opened && (!closed || o < e)) {
      cut(open.Find(0, base, h) + opener.size());
      ++depth;
    } else if (closed && (!opened || e < o)) {
      cut(close.Find(0, base, h) + closer.size());
      --depth;
    } else if (depth > 0) {
      cut(hay.Find(0, base, end) + needle.size());
    } else {
      return static_cast<int>(h + 1);
    }
  }
}

std::string SplitAt(std::size_t p, std::size_t sepLen, std::string& text) {
  if (p == 0) {
    std::string head = std::move(text);
    text.clear();
    return head;
  }
  std::string head = text.substr(0, p - 1);
  text.erase(0, p - 1 + sepLen);
  return head;
}

inline std::size_t ToPos(std::size_t i) { return i == kNone ? 0 : i + 1; }

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// ScanNth with "A"-"Z" folded in text, for a needle already lowered. Folding
// never changes which bytes pair up (lead bytes lie above "Z", and a folded
// second byte is still a second byte), so the text is scanned as it is,
// without a lowered copy.
std::size_t ScanNthNoCase(int n, std::string_view lowNeedle, std::string_view text) {
  if (n < 0 || lowNeedle.empty()) return kNone;
  const std::size_t m = lowNeedle.size();
  const unsigned char first = static_cast<unsigned char>(lowNeedle[0]);
  // Only a letter has a copy in the other case; any other first byte folds
  // to itself alone and is found with memchr.
  const bool letter = first >= 'a' && first <= 'z';
  int hits = 0;
  for (std::size_t i = 0; i < text.size(); i += StepAt(text, i)) {
    if (!letter && (i = NextVisited(text, i, text.size(), first)) == kNone) break;
    if (text.size() - i < m) break;
    std::size_t k = 0;
    while (k < m && LowerAscii(text[i + k]) == lowNeedle[k]) ++k;
    if (k == m && hits++ == n) return i;
  }
  return kNone;
}

// 0-based start of the last separator met by a non-overlapping walk from the
// left, each search starting afresh behind the previous separator.
std::size_t LastByWalk(std::string_view sep, std::string_view text) {
  std::size_t last = kNone;
  std::size_t from = 0;
  for (;;) {
    const std::size_t p = ScanNth(0, sep, text.substr(from));
    if (p == kNone) return last;
    last = from + p;
    from = last + sep.size();
  }
}

}  // namespace

bool IsWordDelimiter(unsigned char b, bool after) {
  static constexpr std::string_view kCommon = " \t;:+-*/?<>!\"#$%&')(=~|\\^{}@,.[]";
  if (b == (after ? '\r' : '\n')) return true;
  return kCommon.find(static_cast<char>(b)) != kNone;
}

bool IsSjisPair(std::string_view text, std::size_t i) {
  return i + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[i])) &&
         IsFollowerByte(static_cast<unsigned char>(text[i + 1]));
}

int PosNth(int n, std::string_view needle, std::string_view text) {
  return static_cast<int>(ToPos(ScanNth(n, needle, text)));
}

int PosNthNoCase(int n, std::string_view needle, std::string_view text) {
  return static_cast<int>(ToPos(ScanNthNoCase(n, LowerAscii(needle), text)));
}

int PosWord(int n, std::string_view word, std::string_view text) {
  if (n < 0 || word.empty()) return 0;
  const std::size_t m = word.size();
  const unsigned char first = static_cast<unsigned char>(word[0]);
  int hits = 0;
  for (std::size_t i = 0; i < text.size(); i += StepAt(text, i)) {
    if (static_cast<unsigned char>(text[i]) != first) continue;
    // A candidate running past the end of the text is no word.
    if (text.size() - i < m) continue;
    const bool before = i == 0 || IsWordDelimiter(static_cast<unsigned char>(text[i - 1]), false);
    const bool after =
        i + m == text.size() || IsWordDelimiter(static_cast<unsigned char>(text[i + m]), true);
    if (!before || !after || !MatchesAt(text, i, word)) continue;
    if (hits == n) return static_cast<int>(i + 1);
    ++hits;
  }
  return 0;
}

int PosOutsideString(int n, std::string_view needle, std::string_view text) {
  if (n < 0 || needle.empty()) return 0;
  const std::size_t end = text.size();
  HitStream hay(text, needle), quote(text, "\"");
  std::size_t base = 0;
  for (;;) {
    const std::size_t h = hay.Find(n, base, end);
    if (h == kNone) return 0;
    const std::size_t q1 = quote.Find(0, base, end);
    const std::size_t q2 = quote.Find(1, base, end);
    const bool openBefore = q1 != kNone && q1 < h;
    const bool closeBefore = q2 != kNone && q2 < h;
    if (!openBefore) return static_cast<int>(h + 1);
    // A whole literal before the hit, or the hit inside a literal that closes
    // after it: drop the literal and look again behind it.
    if (closeBefore || (q2 != kNone && q2 > h)) {
      base = q2 + 1;
      continue;
    }
    return 0;
  }
}

int PosOutsideLineComment(int n, std::string_view needle, std::string_view text) {
  return PosOutsideNest(n, needle, text, "//", "\r\n");
}

int PosAtTopLevel(Engine& engine, int n, std::string_view needle, std::string_view text) {
  // "()" holds nothing, so it is masked first and never counts as nesting.
  const std::string masked = ReplaceText(engine, 0, "``", "()", text);
  return PosOutsideNest(n, needle, masked, "(", ")");
}

int PosInCode(int n, std::string_view needle, std::string_view text) {
  const int a = PosOutsideString(n, needle, text);
  const int b = PosOutsideLineComment(n, needle, text);
  if (a == 0 && b == 0) return 0;
  if (a >= 1) {
    const int c = PosOutsideString(0, "//", text);
    const bool commentBefore = c >= 1 && c < a;
    if (b >= 1) return commentBefore ? b : a;
    if (!commentBefore) return a;
    return needle == "\r\n" ? a : 0;
  }
  const int q = PosNth(0, "\"", text);
  return (q >= 1 && q < b) ? 0 : b;
}

std::size_t FindMbcs(std::string_view text, std::string_view needle, std::size_t from) {
  return ScanNth(0, needle, text, from);
}

int LastPosMbcs(std::string_view needle, std::string_view text) {
  const std::size_t m = needle.size();
  const std::size_t len = text.size();
  if (m == 0 || m > len) return 0;
  // i is the 1-based end of the candidate; its start i-m+1 never lies before 1.
  std::size_t i = len;
  while (i >= m) {
    if (std::memcmp(text.data() + (i - m), needle.data(), m) == 0) return static_cast<int>(i - m + 1);
    const bool pair = i >= 2 && IsSjisPair(text, i - 2);
    i -= pair ? 2 : 1;
  }
  return 0;
}

std::string Fetch(std::string_view sep, std::string& text) {
  return SplitAt(static_cast<std::size_t>(PosNth(0, sep, text)), sep.size(), text);
}

std::string FetchOutsideString(std::string_view sep, std::string& text) {
  return SplitAt(static_cast<std::size_t>(PosOutsideString(0, sep, text)), sep.size(), text);
}

std::string FetchInCode(std::string_view sep, std::string& text) {
  return SplitAt(static_cast<std::size_t>(PosInCode(0, sep, text)), sep.size(), text);
}

std::string FetchWord(std::string_view word, std::string& text) {
  return SplitAt(static_cast<std::size_t>(PosWord(0, word, text)), word.size(), text);
}

std::string FetchAtTopLevel(Engine& engine, std::string_view sep, std::string& text) {
  return SplitAt(static_cast<std::size_t>(PosAtTopLevel(engine, 0, sep, text)), sep.size(), text);
}

std::string FetchLast(std::string_view sep, std::string& text) {
  return SplitAt(static_cast<std::size_t>(LastPosMbcs(sep, text)), sep.size(), text);
}

std::string FetchUpToLast(std::string_view sep, std::string& text) {
  return SplitAt(ToPos(LastByWalk(sep, text)), sep.size(), text);
}

std::string FetchCStr(std::string_view sep, std::string& text) {
  const std::size_t p = text.find(sep);
  if (p == std::string::npos) {
    std::string head = std::move(text);
    text.clear();
    return head;
  }
  std::string head = text.substr(0, p);
  text.erase(0, p + sep.size());
  return head;
}

bool FindInCodeLine(Engine& engine, std::string_view text, std::string_view key) {
  engine.FoundLine.clear();
  if (key.empty()) return false;
  const std::string lowKey = LowerAscii(key);
  std::size_t from = 0;
  while (from < text.size()) {
    const std::string_view rest = text.substr(from);
    const std::size_t p = ScanNth(0, "\r\n", rest);
    const std::string_view line = p == kNone ? rest : rest.substr(0, p);
    from = p == kNone ? text.size() : from + p + 2;
    if (line.substr(0, 2) != "//" && ScanNthNoCase(0, lowKey, line) != kNone) {
      engine.FoundLine.assign(line);
      return true;
    }
  }
  return false;
}

int CountLines(std::string_view text) {
  int lines = 0;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t p = ScanNth(0, "\r\n", text.substr(from));
    from = p == kNone ? text.size() : from + p + 2;
    ++lines;
  }
  return lines;
}

bool TailHasReturn(std::string_view text) {
  const std::size_t last = LastByWalk("}", text);
  if (last == kNone) return false;
  return ScanNth(0, "return", text.substr(last + 1)) != kNone;
}

}  // namespace lumivex
