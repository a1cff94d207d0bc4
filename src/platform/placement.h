// Window placement arithmetic of the main, settings and About windows.
// Pure functions: the work area comes from the caller (a fake in tests).
#pragma once

#include <span>

namespace lumivex {

// A screen rectangle; for the work area, the part of the primary screen not
// covered by panels.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

struct Position {
  int left = 0;
  int top = 0;
  bool operator==(const Position&) const = default;
};

// Main window at creation: two thirds down and centred across the work area:
// top = trunc((workH - height) * (1/3) * 2), left = trunc((workW - width) * 0.5),
// both offset by the work area's origin.
Position MainWindowStartPosition(const Rect& workArea, int width, int height);

// The start step's clamp: only when top >= 0, left >= 0 and Ctrl is not held,
// and the window's left lies more than 3 pixels beyond workW - width, left
// becomes workW - width (right edge on the work area's right edge). Returns the
// (possibly unchanged) left.
int ClampLeftToWorkArea(const Rect& workArea, int left, int top, int width, bool ctrlHeld);

// Settings window: bottom edge on the work area's bottom, centred across
// (integer division truncating towards zero).
Position SettingsWindowPosition(const Rect& workArea, int width, int height);

// About window: centred in the work area (integer division truncating towards zero).
Position AboutWindowPosition(const Rect& workArea, int width, int height);

// How much of a title bar must lie on a screen for the user to take hold of
// it with the mouse: its whole height, and this many pixels of its width (all
// of it for a narrower window).
inline constexpr int kTitleBarGrip = 48;

// A window whose title bar lies on none of the screens' work areas comes back
// onto the first of them (the primary screen), moved no further than needed:
// its title bar's whole height inside the area and at least kTitleBarGrip
// pixels of its width. frame is the outer frame of the window; titleBarHeight
// the height of its title bar (at least one row counts, for a window without
// a frame). A window already within reach keeps its position.
Position PullTitleBarOntoScreen(const Rect& frame, int titleBarHeight,
                                std::span<const Rect> screenAreas);

}  // namespace lumivex
