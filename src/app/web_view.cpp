#include "app/web_view.h"

#include "text/transcode.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>

#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>

namespace lumivex {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool IsShiftJisName(const std::string& charset) {
  static constexpr std::array<std::string_view, 8> kNames = {
      "shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "windows-31j", "cp932", "csshiftjis"};
  return std::find(kNames.begin(), kNames.end(), charset) != kNames.end();
}

// Code page 932 to UTF-8. A byte that does not start a valid character becomes
// U+FFFD and decoding goes on behind it, so a damaged page still shows.
QString DecodeCp932(std::string_view bytes) {
  const std::string utf8 = Transcode("UTF-8", "CP932", bytes, "\xEF\xBF\xBD");
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

// A QTextBrowser that loads nothing a page from the web names: such a page
// could otherwise pull local files (file: addresses) into the window. The
// answer is empty rather than missing, since the document reads a local file
// itself when nobody answered.
class PageBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;
  bool remote = false;
  QUrl pageUrl;

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    if (remote) return QVariant(QByteArray());
    return QTextBrowser::loadResource(type, name);
  }
};

std::string PageCharset(std::string_view pageBytes) {
  // Only the head can name the charset; a bounded look keeps big pages cheap.
  const std::string head = Lower(pageBytes.substr(0, 4096));
  for (size_t at = head.find("<meta"); at != std::string::npos; at = head.find("<meta", at + 5)) {
    const size_t end = head.find('>', at);
    const std::string_view tag = std::string_view(head).substr(at, end == std::string::npos ? std::string::npos : end - at);
    const size_t cs = tag.find("charset=");
    if (cs == std::string_view::npos) continue;
    size_t from = cs + 8;
    while (from < tag.size() && (tag[from] == '"' || tag[from] == '\'' || tag[from] == ' ')) ++from;
    size_t to = from;
    while (to < tag.size() && tag[to] != '"' && tag[to] != '\'' && tag[to] != ' ' && tag[to] != ';' &&
           tag[to] != '/')
      ++to;
    if (to > from) return std::string(tag.substr(from, to - from));
  }
  return {};
}

QString DecodePage(std::string_view pageBytes) {
  if (IsShiftJisName(PageCharset(pageBytes))) return DecodeCp932(pageBytes);
  return QString::fromUtf8(pageBytes.data(), static_cast<qsizetype>(pageBytes.size()));
}

QString FixLegacyColours(const QString& html) {
  static const QRegularExpression kBareColour(
      QStringLiteral(R"(\b((?:bg)?color\s*=\s*["']?)([0-9a-f]{6})(?![0-9a-z#]))"),
      QRegularExpression::CaseInsensitiveOption);
  QString fixed = html;
  fixed.replace(kBareColour, QStringLiteral("\\1#\\2"));
  return fixed;
}

QString FixLegacyNowrap(const QString& html) {
  static const QRegularExpression kCellTag(QStringLiteral(R"(<t[dh]\b[^>]*>)"),
                                           QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression kNowrap(
      QStringLiteral(R"(\bnowrap\b(\s*=\s*(["']?)nowrap\2)?)"),
      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression kStyle(QStringLiteral(R"(\bstyle\s*=)"),
                                         QRegularExpression::CaseInsensitiveOption);
  QString fixed;
  fixed.reserve(html.size() + 32);
  qsizetype copied = 0;
  for (auto cells = kCellTag.globalMatch(html); cells.hasNext();) {
    const QRegularExpressionMatch cell = cells.next();
    QString tag = cell.captured();
    if (tag.contains(kStyle)) continue;
    tag.replace(kNowrap, QStringLiteral(R"(style="white-space: nowrap")"));
    fixed += QStringView(html).mid(copied, cell.capturedStart() - copied);
    fixed += tag;
    copied = cell.capturedEnd();
  }
  fixed += QStringView(html).mid(copied);
  return fixed;
}

QString FixLegacyMarkup(const QString& html) { return FixLegacyNowrap(FixLegacyColours(html)); }

TextBrowserView::TextBrowserView(QWidget* parent)
    : browser_(new PageBrowser(parent)), owned_(parent == nullptr) {
  browser_->setObjectName(QStringLiteral("wbINFO"));
  browser_->setOpenLinks(false);
  browser_->setFrameShape(QFrame::NoFrame);
  linkConnection_ = QObject::connect(browser_, &QTextBrowser::anchorClicked, browser_, [this](const QUrl& link) {
    if (!onLink_) return;
    const QUrl target = browser_->pageUrl.resolved(link);
    onLink_(target.toEncoded().toStdString());
  });
}

TextBrowserView::~TextBrowserView() {
  // The browser may outlive this view inside its parent window.
  QObject::disconnect(linkConnection_);
  if (owned_) delete browser_;
}

bool TextBrowserView::Navigate(const std::string& localPath) {
  std::string bytes;
  if (!ReadWholeFile(localPath, bytes)) {
    browser_->clear();
    return false;
  }
  browser_->remote = false;
  browser_->pageUrl = QUrl::fromLocalFile(QString::fromStdString(localPath));
  browser_->document()->setBaseUrl(browser_->pageUrl);
  browser_->setHtml(FixLegacyMarkup(DecodePage(bytes)));
  browser_->update();
  return true;
}

void TextBrowserView::SetPage(std::string_view pageBytes) {
  browser_->remote = false;
  browser_->pageUrl = QUrl();
  browser_->setHtml(FixLegacyMarkup(DecodePage(pageBytes)));
  browser_->update();
}

void TextBrowserView::ShowRemotePage(std::string_view utf8Html, const std::string& pageUrl) {
  browser_->remote = true;
  browser_->pageUrl = QUrl::fromEncoded(QByteArray::fromStdString(pageUrl));
  browser_->document()->setBaseUrl(browser_->pageUrl);
  browser_->setHtml(FixLegacyMarkup(
      QString::fromUtf8(utf8Html.data(), static_cast<qsizetype>(utf8Html.size()))));
  browser_->update();
}

void TextBrowserView::SetLinkHandler(std::function<void(const std::string& url)> onLink) {
  onLink_ = std::move(onLink);
}

QWidget* TextBrowserView::Widget() { return browser_; }

QTextBrowser* TextBrowserView::Browser() const { return browser_; }

}  // namespace lumivex
