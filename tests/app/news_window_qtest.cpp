// The news window with a recording page view: its list, its buttons, its pages
// (the latest request only), its links, its slide and its close.
#include <QtTest>
#include <QtWidgets>

#include "app/news_window.h"
#include "platform/dialogs.h"

using namespace lumivex;
using Launches = std::vector<FakeDesktop::Launch>;
using Page = RecordingWebView::RemotePage;

namespace {

const Rect kArea{0, 0, 1920, 1040};

void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // The offscreen platform has no opacity and no stacking, and says so at every fade step.
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  qt_message_output(type, context, message);
}

}  // namespace

class NewsWindowTest : public QObject {
  Q_OBJECT

  struct Env {
    VirtualClock clock;
    RecordingMessages messages;
    FakeDesktop desktop;
    RecordingWebView* view = nullptr;
    std::string newsText;
    std::vector<std::pair<std::string, unsigned long long>> fetches;
    std::vector<bool> closes;
    std::unique_ptr<Tnews> w;
  };
  std::unique_ptr<Env> e_;

  Tnews& Make(const std::string& newsText) {
    e_ = std::make_unique<Env>();
    Env& e = *e_;
    e.newsText = newsText;
    auto view = std::make_unique<RecordingWebView>();
    e.view = view.get();
    e.w = std::make_unique<Tnews>(TnewsServices{&e.clock, &e.messages, &e.desktop, [] { return kArea; },
                                                Site{"news.test", 8080}},
                                  std::move(view));
    e.w->newsText = [&e] { return e.newsText; };
    e.w->fetchPage = [&e](const std::string& id, unsigned long long ticket) { e.fetches.emplace_back(id, ticket); };
    e.w->onClosed = [&e](bool noVisible) { e.closes.push_back(noVisible); };
    return *e.w;
  }

  std::vector<std::string> FetchedIds() const {
    std::vector<std::string> ids;
    for (const auto& f : e_->fetches) ids.push_back(f.first);
    return ids;
  }

  // Button state as "new/old": '-' hidden, 'x' disabled, 'o' enabled.
  static std::string Buttons(Tnews& w) {
    auto state = [](QPushButton* b) { return b->isHidden() ? '-' : b->isEnabled() ? 'o' : 'x'; };
    return {state(w.cmdNew), '/', state(w.cmdOld)};
  }

  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& m : e_->messages.shown) texts.push_back(m.text);
    return texts;
  }

 private slots:
  void initTestCase() { qInstallMessageHandler(Quiet); }
  void cleanup() { e_.reset(); }

  void webLinks() {
    const struct { const char* url; bool opens; } cases[] = {
        {"http://news.test/a.htm", true},   {"https://x.test/", true},       {"HTTP://X.TEST/a", true},
        {"file:///etc/passwd", false},      {"javascript:alert(1)", false},  {"mailto:a@b.test", false},
        {"http:///etc/passwd", false},      {"http://", false},              {"ftp://x.test/", false},
        {"http://x.test/a b", false},       {"//x.test/a", false},           {"", false}};
    for (const auto& c : cases) QVERIFY2(IsWebLink(c.url) == c.opens, c.url);
  }

  // The list is cut from the news text, empty lines included; the first item's page is asked
  // for; the buttons follow the number of items.
  void showingListsTheIdsAndAsksForTheFirstPage() {
    const struct { const char* text; int items; const char* buttons; std::vector<std::string> fetched; } cases[] = {
        {"3\r\n2\r\n1\r\n", 3, "x/o", {"3"}},
        {"\r\n12\r\n", 2, "x/o", {""}},
        {"7\r\n", 1, "-/-", {"7"}},
        {"", 0, "-/-", {}}};
    for (const auto& c : cases) {
      Tnews& w = Make(c.text);
      w.show();
      QCOMPARE(w.ListBox1->count(), c.items);
      QCOMPARE(Buttons(w), std::string(c.buttons));
      QCOMPARE(FetchedIds(), c.fetched);
      QVERIFY(w.tmrStart.Enabled());
    }
  }

  void pagingThroughTheIds() {
    Tnews& w = Make("3\r\n2\r\n1\r\n");
    w.show();
    w.cmdNewClick();  // already at the newest
    QCOMPARE(Shown(), std::vector<std::string>{"最新です！"});
    w.cmdOldClick();
    QCOMPARE(Buttons(w), std::string("o/o"));
    w.cmdOldClick();
    QCOMPARE(Buttons(w), std::string("o/x"));
    w.cmdOldClick();  // a click that finds the last item selected
    w.cmdNewClick();
    QCOMPARE(Buttons(w), std::string("o/o"));
    w.cmdNewClick();
    QCOMPARE(Buttons(w), std::string("x/o"));
    QCOMPARE(FetchedIds(), (std::vector<std::string>{"3", "2", "1", "2", "3"}));
    QCOMPARE(Shown(), (std::vector<std::string>{"最新です！", "最後です！"}));

    // Nothing selected: the newest is shown, or the oldest-going button starts from it.
    w.ListBox1->setCurrentRow(-1);
    w.cmdNewClick();
    QCOMPARE(w.ListBox1->currentRow(), 0);
    w.ListBox1->setCurrentRow(-1);
    w.cmdOldClick();
    QCOMPARE(w.ListBox1->currentRow(), 0);
    QCOMPARE(FetchedIds().size(), std::size_t{7});
  }

  // Pages answer out of order: only the latest request is shown, decoded, as the page at its
  // address on the site; a missing page says so.
  void onlyTheLatestPageIsShown() {
    Tnews& w = Make("3\r\n2\r\n");
    w.show();
    w.cmdOldClick();
    const auto first = e_->fetches.at(0).second, second = e_->fetches.at(1).second;
    w.PageArrived({second, WebPage{"<p>\x82\xa8\x92\x6d\x82\xe7\x82\xb9</p>", "text/html; charset=Shift_JIS"}});
    w.PageArrived({first, WebPage{"<p>old</p>", "text/html"}});
    QCOMPARE(e_->view->remotePages,
             (std::vector<Page>{{"<p>お知らせ</p>", "http://news.test:8080/soft/Attestation/Lumivex/News/2.htm"}}));
    w.cmdNewClick();
    w.PageArrived({e_->fetches.at(2).second, std::nullopt});
    QCOMPARE(e_->view->remotePages.back(),
             (Page{std::string(kNewsPageMissing), "http://news.test:8080/soft/Attestation/Lumivex/News/3.htm"}));
    QCOMPARE(w.PageUrl("a/../b c"), std::string("http://news.test:8080/soft/Attestation/Lumivex/News/a%2F..%2Fb%20c.htm"));
  }

  void onlyWebLinksOpenInTheBrowser() {
    Make("1\r\n");
    QVERIFY(e_->view->linkHandler);
    for (const char* url : {"http://news.test:8080/soft/x.htm", "file:///etc/passwd", "https://b.test/"})
      e_->view->linkHandler(url);
    QCOMPARE(e_->desktop.launches, (Launches{{FakeDesktop::Kind::Url, "http://news.test:8080/soft/x.htm"},
                                             {FakeDesktop::Kind::Url, "https://b.test/"}}));
  }

  // Parked just below the work area, it rises 3 px and fades in 5 steps of 255 every 100 ms
  // until its bottom edge is inside; closing parks it again and hands over the check box.
  void slidesInAndParksAtClose() {
    Tnews& w = Make("1\r\n");
    QCOMPARE(w.pos(), QPoint(5, 1040));
    w.show();
    const int height = w.frameGeometry().height();
    e_->clock.Advance(100);
    QCOMPARE(w.y(), 1037);
    QCOMPARE(w.AlphaBlendValue, 5);
    e_->clock.Advance(100 * 100);
    QVERIFY(w.y() <= 1040 - height && w.y() > 1040 - height - 3);
    QCOMPARE(w.AlphaBlendValue, 255);
    QCOMPARE(NewsSlideTop(kArea, 859, 182), 856);
    QCOMPARE(NewsSlideTop(kArea, 858, 182), 858);
    QCOMPARE(NewsBlendStep(253), 255);

    w.chkNoVisible->setChecked(true);
    w.close();
    QCOMPARE(w.pos(), QPoint(5, 1040));
    QVERIFY(!w.tmrStart.Enabled());
    QCOMPARE(e_->closes, std::vector<bool>{true});
    // Shown again: fully opaque at once, the list read afresh.
    e_->newsText = "9\r\n8\r\n";
    w.show();
    QCOMPARE(w.AlphaBlendValue, 255);
    QCOMPARE(w.ListBox1->count(), 2);
  }

  // A page from the site loads nothing it names: no local file, no picture. A local page may.
  void remotePagesLoadNoResources() {
    QTemporaryDir dir;
    const auto write = [&](const char* name) {
      QFile f(dir.filePath(QString::fromLatin1(name)));
      if (f.open(QIODevice::WriteOnly)) f.write("secret");
      return QUrl::fromLocalFile(f.fileName());
    };
    const QUrl localOne = write("one.txt"), localTwo = write("two.txt");
    TextBrowserView view;
    std::string clicked;
    view.SetLinkHandler([&](const std::string& url) { clicked = url; });
    view.SetPage("<p>local</p>");
    QTextDocument* page = view.Browser()->document();
    QCOMPARE(page->resource(QTextDocument::HtmlResource, localOne).toByteArray(), QByteArray("secret"));

    view.ShowRemotePage("<p>remote</p><img src=\"" + localTwo.toString().toStdString() + "\">",
                        "http://news.test/soft/Attestation/Lumivex/News/1.htm");
    QVERIFY(view.Browser()->toPlainText().contains(QStringLiteral("remote")));
    for (int type : {int(QTextDocument::HtmlResource), int(QTextDocument::ImageResource),
                     int(QTextDocument::StyleSheetResource)})
      QVERIFY(page->resource(type, localTwo).toByteArray().isEmpty());
    // A relative link resolves against the page's address.
    emit view.Browser()->anchorClicked(QUrl(QStringLiteral("2.htm")));
    QCOMPARE(clicked, std::string("http://news.test/soft/Attestation/Lumivex/News/2.htm"));
  }
};

QTEST_MAIN(NewsWindowTest)
#include "news_window_qtest.moc"
