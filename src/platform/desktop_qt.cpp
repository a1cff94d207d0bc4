#include "platform/desktop_qt.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace lumivex {

namespace {

std::string SearchPath() {
  const char* path = std::getenv("PATH");
  return path ? std::string(path) : std::string();
}

bool StartDetached(const std::optional<std::filesystem::path>& program, const std::string& arg) {
  if (!program) return false;
  return QProcess::startDetached(QString::fromStdString(program->string()),
                                 {QString::fromStdString(arg)});
}

}  // namespace

namespace {

Rect AvailableArea(const QScreen* screen) {
  const QRect r = screen->availableGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

Rect WorkArea() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return AvailableArea(screen);
}

std::vector<Rect> ScreenAreas() {
  std::vector<Rect> areas;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) areas.push_back(AvailableArea(primary));
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) areas.push_back(AvailableArea(screen));
  }
  return areas;
}

void SetFixedWindowButtons(QWidget* window, bool minimise) {
  if (!window) return;
  constexpr Qt::WindowFlags kButtons = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                       Qt::WindowMinimizeButtonHint |
                                       Qt::WindowMaximizeButtonHint |
                                       Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint;
  Qt::WindowFlags flags = window->windowFlags() & ~kButtons;
  // Without the customize hint the window manager's defaults, maximise
  // included, stand in for the hints below.
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
  flags.setFlag(Qt::WindowMinimizeButtonHint, minimise);
  window->setWindowFlags(flags);
}

void SetTopmost(QWidget* window, bool topmost) {
  if (!window) return;
  QWidget* top = window->window();
  if (QWindow* handle = top->windowHandle()) {
    // On a native window the flag changes in place and the window stays
    // shown; the widget's own flags are kept in step without re-creating it.
    Qt::WindowFlags flags = top->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    top->overrideWindowFlags(flags);
    handle->setFlag(Qt::WindowStaysOnTopHint, topmost);
    return;
  }
  // Not created yet: setWindowFlag on the widget; it hides a visible widget,
  // so show it again.
  const bool wasVisible = top->isVisible();
  top->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  if (wasVisible) top->show();
}

Rect SystemDesktop::WorkArea() const { return lumivex::WorkArea(); }

std::vector<Rect> SystemDesktop::ScreenAreas() const { return lumivex::ScreenAreas(); }

bool SystemDesktop::OpenTextFile(const std::filesystem::path& file) {
  return StartDetached(FindTextEditor(SearchPath()), file.string());
}

bool SystemDesktop::OpenFolder(const std::filesystem::path& folder) {
  return StartDetached(FindOpener(SearchPath()), folder.string());
}

bool SystemDesktop::OpenUrl(std::string_view url) {
  return StartDetached(FindOpener(SearchPath()), std::string(url));
}

}  // namespace lumivex
