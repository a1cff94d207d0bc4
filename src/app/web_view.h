// The page view of the About and news windows: a small browser interface over
// local pages and pages fetched from the site, with a QTextBrowser
// implementation and a recording fake for tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QMetaObject>
#include <QString>

class QTextBrowser;
class QWidget;

namespace lumivex {

class WebView {
 public:
  virtual ~WebView() = default;
  // Loads and shows the local page at localPath. False when the file cannot
  // be read; the view then shows nothing.
  virtual bool Navigate(const std::string& localPath) = 0;
  // Shows page bytes held in memory (for a page that could not be written).
  virtual void SetPage(std::string_view pageBytes) = 0;
  // Shows a page fetched from the web, already decoded to UTF-8, as the page
  // at pageUrl: its relative links resolve against that address, and nothing
  // the page names (pictures, style sheets, local files) is loaded.
  virtual void ShowRemotePage(std::string_view utf8Html, const std::string& pageUrl) = 0;
  // Receives the absolute address of each link the user clicks; without a
  // handler a click does nothing.
  virtual void SetLinkHandler(std::function<void(const std::string& url)> onLink) = 0;
  // The widget that displays the page; null for views without one.
  virtual QWidget* Widget() = 0;
};

// The charset named by the page's <meta ... charset=...> (lower-cased), or
// empty when the page names none.
std::string PageCharset(std::string_view pageBytes);

// The page as text: Shift_JIS (and its aliases) decoded as code page 932,
// anything else as UTF-8.
QString DecodePage(std::string_view pageBytes);

// Old pages write colours without "#" (bgcolor="EEFFCC", color="FF0000"),
// which browsers accept but Qt's rich text ignores; adds the "#" to every
// six-digit hexadecimal bgcolor/color value so the colours show.
QString FixLegacyColours(const QString& html);

// Qt's rich text ignores the nowrap attribute of table cells, so a narrow
// cell breaks its line; turns it into the style Qt does follow. A cell that
// already has a style attribute is left alone.
QString FixLegacyNowrap(const QString& html);

// Both fix-ups, as the view applies them to every page.
QString FixLegacyMarkup(const QString& html);

class PageBrowser;

// WebView over a QTextBrowser. The browser itself follows no link: a click is
// handed to the link handler.
class TextBrowserView : public WebView {
 public:
  explicit TextBrowserView(QWidget* parent = nullptr);
  ~TextBrowserView() override;

  bool Navigate(const std::string& localPath) override;
  void SetPage(std::string_view pageBytes) override;
  void ShowRemotePage(std::string_view utf8Html, const std::string& pageUrl) override;
  void SetLinkHandler(std::function<void(const std::string& url)> onLink) override;
  QWidget* Widget() override;
  QTextBrowser* Browser() const;

 private:
  PageBrowser* browser_;  // owned by its parent widget, or by this view without one
  bool owned_;
  std::function<void(const std::string& url)> onLink_;
  QMetaObject::Connection linkConnection_;
};

// Records what it was asked to show, for window tests.
class RecordingWebView : public WebView {
 public:
  bool Navigate(const std::string& localPath) override {
    navigated.push_back(localPath);
    return navigateResult;
  }
  void SetPage(std::string_view pageBytes) override { pages.emplace_back(pageBytes); }
  void ShowRemotePage(std::string_view utf8Html, const std::string& pageUrl) override {
    remotePages.push_back({std::string(utf8Html), pageUrl});
  }
  void SetLinkHandler(std::function<void(const std::string& url)> onLink) override {
    linkHandler = std::move(onLink);
  }
  QWidget* Widget() override { return nullptr; }

  struct RemotePage {
    std::string html;
    std::string url;
    bool operator==(const RemotePage&) const = default;
  };
  std::vector<std::string> navigated;
  std::vector<std::string> pages;
  std::vector<RemotePage> remotePages;
  std::function<void(const std::string& url)> linkHandler;
  bool navigateResult = true;
};

}  // namespace lumivex
