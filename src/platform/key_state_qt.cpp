#include "platform/key_state_qt.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace lumivex {

namespace {

// Esc held according to the X server's keymap. Opens its own short-lived
// display connection so nothing depends on Qt's private native interface.
bool XEscapeHeld() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  bool held = false;
  const KeyCode code = XKeysymToKeycode(display, XK_Escape);
  if (code != 0) {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    held = (keys[code / 8] & (1 << (code % 8))) != 0;
  }
  XCloseDisplay(display);
  return held;
}

}  // namespace

bool SystemKeyState::EscHeld() const {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  return XEscapeHeld();
}

bool SystemKeyState::CtrlHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool SystemKeyState::ShiftHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

}  // namespace lumivex
