// Which modifier keys are held right now (Esc at start skips the settings
// file, Ctrl skips the position clamp, Shift+Ctrl colours the drop area).
#pragma once

namespace lumivex {

class KeyState {
 public:
  virtual ~KeyState() = default;
  virtual bool EscHeld() const = 0;
  virtual bool CtrlHeld() const = 0;
  virtual bool ShiftHeld() const = 0;
};

// Key state set by hand, for tests.
class FakeKeyState : public KeyState {
 public:
  bool esc = false;
  bool ctrl = false;
  bool shift = false;
  bool EscHeld() const override { return esc; }
  bool CtrlHeld() const override { return ctrl; }
  bool ShiftHeld() const override { return shift; }
};

}  // namespace lumivex
