#include "app/news_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "app/colours.h"
#include "app/main_window.h"
#include "app/setting_window.h"

namespace lumivex {

namespace {

constexpr int kPanelHeight = 22;

void SetTextColour(QWidget* w, unsigned colour) {
  QPalette p = w->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::WindowText, DesktopColour(colour));
    p.setColor(group, QPalette::ButtonText, DesktopColour(colour));
  }
  w->setPalette(p);
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The id bytes of a list item, as the news list holds them.
std::string ItemId(const QListWidgetItem* item) {
  return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

}  // namespace

bool IsWebLink(std::string_view url) {
  std::string_view rest;
  if (StartsWithNoCase(url, "http://")) rest = url.substr(7);
  else if (StartsWithNoCase(url, "https://")) rest = url.substr(8);
  else return false;
  // A host must follow, and nothing in the address may end the argument
  // early or start another one.
  if (rest.empty() || rest.front() == '/') return false;
  return std::none_of(url.begin(), url.end(),
                      [](unsigned char c) { return c <= 0x20 || c == 0x7F; });
}

Position NewsParkedPosition(const Rect& workArea) { return {5, workArea.height}; }

int NewsSlideTop(const Rect& workArea, int top, int height) {
  return top > workArea.height - height ? top - 3 : top;
}

int NewsBlendStep(int blend) { return blend < 255 ? std::min(blend + 5, 255) : blend; }

Tnews::Tnews(TnewsServices services, std::unique_ptr<WebView> view, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      tmrStart(*services.clock, 100, false),
      services_(std::move(services)) {
  setObjectName(QStringLiteral("news"));
  setWindowTitle(QString::fromUtf8(kNewsCaption));
  setFixedSize(kClientWidth, kClientHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFixedHeight(kPanelHeight);
  layout->addWidget(Panel1);

  chkNoVisible = new QCheckBox(QStringLiteral("It will not display it from next time. "), Panel1);
  chkNoVisible->setObjectName(QStringLiteral("chkNoVisible"));
  chkNoVisible->setGeometry(2, 2, 143, kPanelHeight - 4);
  SetTextColour(chkNoVisible, kColourGreen);

  cmdNew = new QPushButton(QStringLiteral("<- It is new"), Panel1);
  cmdNew->setObjectName(QStringLiteral("cmdNew"));
  cmdNew->setGeometry(145, 1, 73, kPanelHeight - 2);
  SetTextColour(cmdNew, kColourBlue);
  connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNewClick(); });

  cmdOld = new QPushButton(QStringLiteral("It is old ->"), Panel1);
  cmdOld->setObjectName(QStringLiteral("cmdOld"));
  cmdOld->setGeometry(216, 1, 81, kPanelHeight - 2);
  SetTextColour(cmdOld, kColourMaroon);
  connect(cmdOld, &QPushButton::clicked, this, [this] { cmdOldClick(); });

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->hide();

  if (!view) view = std::make_unique<TextBrowserView>(this);
  view_ = std::move(view);
  view_->SetLinkHandler([this](const std::string& url) { OpenLink(url); });
  if (QWidget* w = view_->Widget()) layout->addWidget(w);

  tmrStart.SetOnTimer([this] { tmrStartTimer(); });
  AlphaBlendValue = 0;
  setWindowOpacity(0.0);
  FormCreate();
}

Tnews::~Tnews() = default;

void Tnews::FormCreate() {
  const Position parked = NewsParkedPosition(services_.workArea());
  move(parked.left, parked.top);
}

void Tnews::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void Tnews::FormShow() {
  tmrStart.SetEnabled(true);
  ListBox1->clear();
  const std::string text = newsText ? newsText() : std::string();
  for (const std::string& id : NewsListItems(text)) {
    auto* item = new QListWidgetItem(QString::fromLatin1(id.data(), static_cast<qsizetype>(id.size())));
    item->setData(Qt::UserRole, QByteArray::fromStdString(id));
    ListBox1->addItem(item);
  }
  const int count = ListBox1->count();
  if (count == 0) {
    cmdNew->hide();
    cmdOld->hide();
    return;
  }
  ListBox1->setCurrentRow(0);
  cmdNew->setEnabled(false);
  cmdOld->setEnabled(true);
  cmdNew->setVisible(count > 1);
  cmdOld->setVisible(count > 1);
  ShowItem(0);
  repaint();
}

void Tnews::tmrStartTimer() {
  const Rect area = services_.workArea();
  const int top = NewsSlideTop(area, y(), frameGeometry().height());
  if (top != y()) move(x(), top);
  if (AlphaBlendValue < 255) {
    AlphaBlendValue = NewsBlendStep(AlphaBlendValue);
    setWindowOpacity(AlphaBlendValue / 255.0);
  }
}

void Tnews::cmdNewClick() {
  const int count = ListBox1->count();
  if (count == 0) return;
  const int row = ListBox1->currentRow();
  if (row < 0) {
    ListBox1->setCurrentRow(0);
    ShowItem(0);
    return;
  }
  if (row == 0) {
    Inform(kNewestNewsMessage);
    return;
  }
  ListBox1->setCurrentRow(row - 1);
  cmdOld->setEnabled(true);
  if (row - 1 == 0) cmdNew->setEnabled(false);
  ShowItem(row - 1);
}

void Tnews::cmdOldClick() {
  const int count = ListBox1->count();
  if (count == 0) return;
  const int row = ListBox1->currentRow();
  if (row == count - 1) {
    Inform(kLastNewsMessage);
    return;
  }
  const int next = row < 0 ? 0 : row + 1;
  ListBox1->setCurrentRow(next);
  if (next == count - 1) cmdOld->setEnabled(false);
  cmdNew->setEnabled(true);
  ShowItem(next);
}

void Tnews::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void Tnews::FormClose() {
  tmrStart.SetEnabled(false);
  const Position parked = NewsParkedPosition(services_.workArea());
  move(parked.left, parked.top);
  if (onClosed) onClosed(chkNoVisible->isChecked());
}

void Tnews::ShowItem(int row) {
  requestedId_ = ItemId(ListBox1->item(row));
  const unsigned long long ticket = pages_.Next();
  if (fetchPage) fetchPage(requestedId_, ticket);
}

std::string Tnews::PageUrl(std::string_view newsId) const {
  if (!services_.site) return {};
  return SiteUrl(*services_.site, NewsPagePath(newsId));
}

void Tnews::PageArrived(const NewsPageResult& result) {
  if (!pages_.IsLatest(result.ticket)) return;
  const std::string url = PageUrl(requestedId_);
  if (result.page)
    view_->ShowRemotePage(DecodePage(result.page->body, result.page->contentType), url);
  else
    view_->ShowRemotePage(kNewsPageMissing, url);
}

void Tnews::OpenLink(const std::string& url) {
  if (IsWebLink(url) && services_.launcher) services_.launcher->OpenUrl(url);
}

void Tnews::Inform(std::string_view text) {
  if (services_.messages) services_.messages->Show(text, kApplicationTitle, MessageButtons::Ok);
}

}  // namespace lumivex
