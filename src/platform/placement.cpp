#include "platform/placement.h"

#include <cmath>

namespace lumivex {

Position MainWindowStartPosition(const Rect& workArea, int width, int height) {
  // The floating-point form of "two thirds" is kept as the window has always
  // computed it, so a given work area yields the same position.
  const double top = std::trunc(static_cast<double>(workArea.height - height) * (1.0 / 3.0) * 2.0);
  const double left = std::trunc(static_cast<double>(workArea.width - width) * 0.5);
  return {workArea.left + static_cast<int>(left), workArea.top + static_cast<int>(top)};
}

int ClampLeftToWorkArea(const Rect& workArea, int left, int top, int width, bool ctrlHeld) {
  if (top < 0 || left < 0 || ctrlHeld) return left;
  const int rightmost = workArea.left + workArea.width - width;
  return left - 3 > rightmost ? rightmost : left;
}

Position SettingsWindowPosition(const Rect& workArea, int width, int height) {
  return {workArea.left + (workArea.width - width) / 2, workArea.top + workArea.height - height};
}

Position AboutWindowPosition(const Rect& workArea, int width, int height) {
  return {workArea.left + (workArea.width - width) / 2,
          workArea.top + (workArea.height - height) / 2};
}

}  // namespace lumivex
