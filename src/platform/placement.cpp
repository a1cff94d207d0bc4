#include "platform/placement.h"

#include <algorithm>
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

namespace {

int TitleBarRows(int titleBarHeight) { return std::max(titleBarHeight, 1); }

int GripWidth(int frameWidth) { return std::clamp(frameWidth, 1, kTitleBarGrip); }

bool TitleBarWithinReach(const Rect& frame, int titleBarHeight, const Rect& area) {
  const int rows = TitleBarRows(titleBarHeight);
  if (frame.top < area.top || frame.top + rows > area.top + area.height) return false;
  const int overlap = std::min(frame.left + frame.width, area.left + area.width) -
                      std::max(frame.left, area.left);
  return overlap >= GripWidth(frame.width);
}

}  // namespace

Position PullTitleBarOntoScreen(const Rect& frame, int titleBarHeight,
                                std::span<const Rect> screenAreas) {
  const Position unchanged{frame.left, frame.top};
  if (screenAreas.empty()) return unchanged;
  for (const Rect& area : screenAreas) {
    if (area.width > 0 && area.height > 0 && TitleBarWithinReach(frame, titleBarHeight, area))
      return unchanged;
  }
  const Rect& area = screenAreas.front();
  if (area.width <= 0 || area.height <= 0) return unchanged;
  const int rows = TitleBarRows(titleBarHeight);
  const int grip = GripWidth(frame.width);
  // Lower bounds win over upper ones, so a title bar taller or wider than the
  // area sits at its top left corner.
  const int top = std::max(std::min(frame.top, area.top + area.height - rows), area.top);
  const int left = std::max(std::min(frame.left, area.left + area.width - grip),
                            area.left + grip - frame.width);
  return {left, top};
}

}  // namespace lumivex
