#include "text/line_cursor.h"

#include "text/text.h"

namespace lumivex {

std::string_view LineCursor::FetchView(std::string_view sep) {
  std::string_view rest = Rest();
  const int p = PosNth(0, sep, rest);
  if (p < 1) {
    pos_ = buf_.size();
    return rest;
  }
  std::string_view head = rest.substr(0, static_cast<std::size_t>(p - 1));
  pos_ += static_cast<std::size_t>(p - 1) + sep.size();
  return head;
}

std::string LineCursor::Fetch(std::string_view sep) { return std::string(FetchView(sep)); }

void LineCursor::PutBack(std::string_view text) {
  if (text.empty()) return;
  if (text.size() <= pos_) {
    // Reuse the space already read: the usual case, putting back lines the
    // walk just took. Copy through a temporary in case text points into buf_.
    std::string copy(text);
    pos_ -= copy.size();
    buf_.replace(pos_, copy.size(), copy);
    return;
  }
  std::string rebuilt;
  rebuilt.reserve(text.size() + buf_.size() - pos_);
  rebuilt.append(text);
  rebuilt.append(Rest());
  buf_ = std::move(rebuilt);
  pos_ = 0;
}

std::string LineCursor::TakeRest() {
  std::string rest(Rest());
  buf_.clear();
  pos_ = 0;
  return rest;
}

}  // namespace lumivex
