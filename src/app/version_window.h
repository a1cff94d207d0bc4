// The About window: a small dialog showing the generated page "Version.htm"
// with the running version.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/web_view.h"
#include "platform/placement.h"

namespace lumivex {

// The About page as Shift-JIS bytes, sixteen lines each ended by "\r\n", with
// versionText (the running version, e.g. "1.170") in its tenth line.
std::string BuildVersionPage(std::string_view versionText);

// appDir + "Version.htm"; appDir ends with "/".
std::string VersionPagePath(const std::string& appDir);

// Writes the About page to VersionPagePath(appDir), replacing an older page
// only once the new one is completely written. False when it could not be
// written; an older page then stays as it was.
bool WriteVersionPage(const std::string& appDir, std::string_view versionText);

class TfrmVersion : public QDialog {
  Q_OBJECT

 public:
  // view is the page control wbINFO; null gives the QTextBrowser one.
  // workArea supplies the screen's work area (the platform's WorkArea() when not given).
  explicit TfrmVersion(QWidget* parent = nullptr, std::unique_ptr<WebView> view = nullptr,
                       std::function<Rect()> workArea = {});
  ~TfrmVersion() override;

  WebView& wbINFO() { return *view_; }

  // Writes the page for versionText and navigates to it (without showing the
  // window). When the folder takes no page, the page is shown from memory, so
  // the window never shows another version than the running one. Returns
  // whether the page file was written.
  bool LoadVersionPage(const std::string& appDir, std::string_view versionText);

  // The About command: loads the page as above and shows the window modeless.
  void ShowVersion(const std::string& appDir, std::string_view versionText);

  // Centres the window in the work area (done once at creation).
  void FormCreate();

 private:
  std::unique_ptr<WebView> view_;
  std::function<Rect()> workArea_;
};

}  // namespace lumivex
