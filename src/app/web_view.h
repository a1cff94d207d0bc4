// The page view of the About window: a small browser interface over local
// pages, with a QTextBrowser implementation and a recording fake for tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// WebView over a QTextBrowser (local files only; links are not followed).
class TextBrowserView : public WebView {
 public:
  explicit TextBrowserView(QWidget* parent = nullptr);
  ~TextBrowserView() override;

  bool Navigate(const std::string& localPath) override;
  void SetPage(std::string_view pageBytes) override;
  QWidget* Widget() override;
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;  // owned by its parent widget, or by this view without one
  bool owned_;
};

// Records what it was asked to show, for window tests.
class RecordingWebView : public WebView {
 public:
  bool Navigate(const std::string& localPath) override {
    navigated.push_back(localPath);
    return navigateResult;
  }
  void SetPage(std::string_view pageBytes) override { pages.emplace_back(pageBytes); }
  QWidget* Widget() override { return nullptr; }

  std::vector<std::string> navigated;
  std::vector<std::string> pages;
  bool navigateResult = true;
};

}  // namespace lumivex
