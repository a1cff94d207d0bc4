// The real key state: Ctrl and Shift from QGuiApplication's keyboard
// modifiers, Esc from the X server's keymap (false on other platforms).
#pragma once

#include "platform/key_state.h"

namespace lumivex {

// Needs a QGuiApplication (or QApplication) to exist.
class SystemKeyState : public KeyState {
 public:
  bool EscHeld() const override;
  bool CtrlHeld() const override;
  bool ShiftHeld() const override;
};

}  // namespace lumivex
