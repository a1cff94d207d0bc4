// Desktop services on Qt: the primary screen's work area, programs started
// detached through QProcess, topmost windows.
#pragma once

#include <string>

#include "platform/desktop.h"

class QWidget;

namespace lumivex {

// QScreen::availableGeometry of the primary screen; an empty Rect without a screen.
Rect WorkArea();

// QScreen::availableGeometry of every screen, the primary screen's first.
std::vector<Rect> ScreenAreas();

// The title-bar buttons of a fixed-size window: close, and minimise when
// asked; never maximise, which a window of fixed size cannot do. Call before
// the window is first shown (changing a window's flags hides it).
void SetFixedWindowButtons(QWidget* window, bool minimise);

// Keeps a top-level window above the others (or not). The window stays shown
// when it was visible; position and size are unchanged.
void SetTopmost(QWidget* window, bool topmost);

// Starts programs with QProcess::startDetached, found on the PATH of the
// environment at the moment of the call.
class SystemDesktop : public Desktop {
 public:
  Rect WorkArea() const override;
  std::vector<Rect> ScreenAreas() const override;
  bool OpenTextFile(const std::filesystem::path& file) override;
  bool OpenFolder(const std::filesystem::path& folder) override;
  bool OpenUrl(std::string_view url) override;
};

}  // namespace lumivex
