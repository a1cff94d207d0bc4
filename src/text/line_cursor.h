// A cursor that walks a text line by line in linear time.
//
// Rules walk a text by cutting its first line off a working copy. Doing that
// with erase() on a std::string costs the whole rest of the text per line;
// the cursor keeps an offset instead, so each cut costs only the line.
#pragma once

#include <string>
#include <string_view>

namespace lumivex {

class LineCursor {
 public:
  LineCursor() = default;
  explicit LineCursor(std::string text) : buf_(std::move(text)) {}

  // True when nothing is left to read.
  bool Empty() const { return pos_ >= buf_.size(); }
  // What is left to read.
  std::string_view Rest() const { return std::string_view(buf_).substr(pos_); }

  // Fetch on the unread text: the head before the first sep (two-byte
  // characters stepped over as wholes); the cursor moves behind sep. Without
  // sep the whole rest is returned and the cursor ends empty.
  std::string Fetch(std::string_view sep = "\r\n");
  // Like Fetch, as a view into the cursor's buffer (valid until the next PutBack).
  std::string_view FetchView(std::string_view sep = "\r\n");

  // Puts text back in front of the unread text, so the next Fetch sees it
  // first. Cheap when the text fits the space already read.
  void PutBack(std::string_view text);

  // Takes everything that is left; the cursor ends empty.
  std::string TakeRest();

 private:
  std::string buf_;
  std::size_t pos_ = 0;
};

}  // namespace lumivex
