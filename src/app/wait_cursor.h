// The wait cursor as a counter on the GUI thread: each online check that is
// under way holds it once, and the arrow comes back when the last one ends.
#pragma once

#include <QGuiApplication>

namespace lumivex {

class WaitCursor {
 public:
  WaitCursor() = default;
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { Clear(); }

  void Begin() {
    if (depth_++ == 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  // Unmatched ends are ignored, so a late result can never take away another
  // check's cursor.
  void End() {
    if (depth_ == 0) return;
    if (--depth_ == 0) QGuiApplication::restoreOverrideCursor();
  }
  // Every hold released (the close sequence drops the results that would).
  void Clear() {
    while (depth_ > 0) End();
  }
  int Depth() const { return depth_; }

 private:
  int depth_ = 0;
};

}  // namespace lumivex
