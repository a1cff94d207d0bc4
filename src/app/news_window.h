// The news window `Tnews`: a small tool window that slides in at the bottom
// left of the desktop, fading in, and shows the page of one news id. Two
// buttons page through newer and older ids; a check box stops the automatic
// showing. Pages come from the site in the background; links open in the
// system browser, and only web links (http, https) open at all.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/web_view.h"
#include "online/jobs.h"
#include "online/news.h"
#include "online/site.h"
#include "platform/desktop.h"
#include "platform/placement.h"
#include "platform/timer.h"
#include "text/engine.h"

class QCheckBox;
class QFrame;
class QListWidget;
class QPushButton;

namespace lumivex {

inline constexpr const char* kNewsCaption = "News (Lumivex converter)";
// Shown in place of a page the site did not deliver.
inline constexpr std::string_view kNewsPageMissing =
    "<html><body><p>The news page could not be loaded.</p></body></html>";

// True for an absolute http or https address: the only links that open.
bool IsWebLink(std::string_view url);

// The window's place while hidden: just below the work area, 5 pixels from
// the left.
Position NewsParkedPosition(const Rect& workArea);
// One slide step (every 100 ms while shown): up 3 pixels while the top lies
// below work-area height minus the window's height.
int NewsSlideTop(const Rect& workArea, int top, int height);
// One fade step: 5 more, up to 255.
int NewsBlendStep(int blend);

struct TnewsServices {
  Clock* clock = nullptr;
  Messages* messages = nullptr;
  Launcher* launcher = nullptr;  // opens clicked links in the web browser
  std::function<Rect()> workArea;
  // The site the pages come from; none: no page can be fetched.
  std::optional<Site> site;
};

class Tnews : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 340;
  static constexpr int kClientHeight = 182;

  // view is the page control wbINFO; null gives the QTextBrowser one.
  explicit Tnews(TnewsServices services, std::unique_ptr<WebView> view = nullptr,
                 QWidget* parent = nullptr);
  ~Tnews() override;

  // Bound by the main window: the last news list it fetched, the fetch of a
  // page in the background (its result goes to PageArrived), and the close,
  // which stores the check box as flgNotNews and saves the state file.
  std::function<std::string()> newsText;
  std::function<void(const std::string& newsId, unsigned long long ticket)> fetchPage;
  std::function<void(bool noVisible)> onClosed;

  // A page fetched for this window: shown when it answers the latest request.
  void PageArrived(const NewsPageResult& result);
  // The address of a news id's page on the site ("" without a site).
  std::string PageUrl(std::string_view newsId) const;

  WebView& wbINFO() { return *view_; }
  QCheckBox* chkNoVisible = nullptr;
  QPushButton* cmdNew = nullptr;
  QPushButton* cmdOld = nullptr;
  QListWidget* ListBox1 = nullptr;
  Timer tmrStart;
  // The window's alpha blend value, 0 (transparent) to 255.
  int AlphaBlendValue = 0;

  void FormCreate();
  void FormShow();
  void tmrStartTimer();
  void cmdNewClick();
  void cmdOldClick();
  void FormClose();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Asks for the page of list item `row`.
  void ShowItem(int row);
  void OpenLink(const std::string& url);
  void Inform(std::string_view text);

  TnewsServices services_;
  std::unique_ptr<WebView> view_;
  LatestRequest pages_;
  std::string requestedId_;
};

}  // namespace lumivex
