// Plain transcriptions of the toolkit's searches: a byte-by-byte scan and the
// literal cut-and-search-again loops. The real searches skip ahead with memchr
// and keep offsets instead of cutting copies; on any text they must agree
// with these.
#pragma once

#include <string>

#include "text/text.h"

namespace lumivex::testing::model {

inline int PosNth(int n, const std::string& needle, const std::string& text) {
  if (n < 0 || needle.empty()) return 0;
  int hits = 0;
  for (std::size_t i = 0; i < text.size(); i += IsSjisPair(text, i) ? 2 : 1) {
    if (text.compare(i, needle.size(), needle) == 0 && hits++ == n) return static_cast<int>(i + 1);
  }
  return 0;
}

inline void Cut(const std::string& sep, std::string& w, std::size_t& d) {
  const std::size_t len = static_cast<std::size_t>(PosNth(0, sep, w) - 1) + sep.size();
  w.erase(0, len);
  d += len;
}

inline int OutsideString(int n, const std::string& needle, std::string w) {
  for (std::size_t d = 0;; Cut("\"", w, d), Cut("\"", w, d)) {
    const int h = PosNth(n, needle, w), q1 = PosNth(0, "\"", w), q2 = PosNth(1, "\"", w);
    if (h < 1 || q1 < 1 || q1 >= h) return h < 1 ? 0 : h + static_cast<int>(d);
    if (q2 == h || q2 < 1) return 0;
  }
}

inline int OutsideNest(int n, const std::string& needle, std::string w, const std::string& open,
                       const std::string& close) {
  std::size_t d = 0;
  long c = 0;  // never reset, never held at zero
  for (;;) {
    const int h = PosNth(n, needle, w), o = PosNth(n, open, w), e = PosNth(n, close, w);
    if (h < 1) return 0;
    const bool oo = o >= 1 && o < h, ee = e >= 1 && e < h;
    if (oo && (!ee || o < e)) {
      Cut(open, w, d), ++c;
    } else if (ee && (!oo || e < o)) {
      Cut(close, w, d), --c;
    } else if (c > 0) {
      Cut(needle, w, d);
    } else {
      return h + static_cast<int>(d);
    }
  }
}

// The text with every "()" masked as "``", as the top-level search sees it.
inline std::string MaskEmptyParens(std::string text) {
  for (std::size_t p; (p = text.find("()")) != std::string::npos;) text.replace(p, 2, "``");
  return text;
}

}  // namespace lumivex::testing::model
