// The main window offscreen, with fakes for everything modal, slow or outside it.
#include <QtTest>
#include <QtWidgets>

#include "app/main_window.h"
#include "app/version_window.h"
#include "app/web_view.h"
#include "platform/support/temp_dir.h"
#include "text/text_file.h"

using namespace lumivex;
namespace fs = std::filesystem;
using Launches = std::vector<FakeDesktop::Launch>;
using K = FakeDesktop::Kind;

namespace {

// Where the native window's frame stands at the moment the window appears: a window moved
// after it exists but before the window manager has framed it lands off by its title bar.
struct ShownAt : QObject {
  QPoint frame{-1, -1};
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && frame == QPoint(-1, -1))
      frame = static_cast<QWidget*>(watched)->windowHandle()->framePosition();
    return false;
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  // Fresh for every test; the window last, as it uses the rest.
  struct Env {
    testing::TempDir tmp;
    std::string appDir = tmp.path().string() + "/";
    SettingsModel model;
    VirtualClock clock;
    FakeKeyState keys;
    FakeDesktop desktop;
    RecordingMessages messages;
    RecordingFileDialog dialog;
    std::vector<std::string> converted;           // file names, in order
    std::vector<std::pair<int, QColor>> flashes;  // each wait with the drop area's colour
    std::function<void()> onConvert;
    std::unique_ptr<Tconv> w;
  };
  std::unique_ptr<Env> e_;

  Tconv& Make(const std::string& appDir = {}, bool fakeRoad = true) {
    Env& e = *e_;
    std::function<bool(Engine&, const std::string&)> convert = [&e](Engine& engine, const std::string& path) {
      engine.ConverterRan = true;
      e.converted.push_back(fs::path(path).filename().string());
      if (e.onConvert) e.onConvert();
      return true;
    };
    auto sleep = [&e](int ms) { e.flashes.emplace_back(ms, e.w->memDragDrop->palette().color(QPalette::Base)); };
    e.w.reset();
    e.w = std::make_unique<Tconv>(TconvServices{appDir.empty() ? e.appDir : appDir, "1.1.7.0", &e.model, &e.clock,
                                                &e.keys, &e.desktop, &e.messages, &e.dialog,
                                                fakeRoad ? convert : nullptr, sleep, nullptr});
    return *e.w;
  }

  std::string Write(const std::string& name, const std::string& text = {}) { return e_->tmp.Touch(name, text); }
  std::string Read(const std::string& name) { return ReadTextFile(e_->appDir + name); }
  bool Exists(const std::string& name) { return fs::exists(e_->appDir + name); }

  // To the deepest widget under the centre of `at`, as the desktop delivers it.
  void Drop(QWidget* at, const std::vector<std::string>& paths) {
    QMimeData data;
    for (const std::string& p : paths) data.setUrls(data.urls() << QUrl::fromLocalFile(QString::fromStdString(p)));
    e_->w->show();
    QWidget* under = e_->w->childAt(at->mapTo(e_->w.get(), at->rect().center()));
    const QPoint pos = under->mapFrom(at, at->rect().center());
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &enter);
    QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &drop);
    QCoreApplication::processEvents();
  }

  static QColor Colour(QWidget* w, QPalette::ColorRole r = QPalette::WindowText) { return w->palette().color(r); }

 private slots:
  void init() { e_ = std::make_unique<Env>(); }
  void cleanup() { e_.reset(); }

  void formCreate() {
    Write("DebugLog.txt", "old");
    Tconv& w = Make();
    QCOMPARE(w.windowTitle(), QStringLiteral("\"EA(mq4)\" Lumivex Change　 Ver 1.170"));
    QCOMPARE(Read("temp.htm"), std::string("<html>\r\n<head>\r\n</head>\r\n<body bgcolor=\"#FFFFFF\">\r\n"
                                           "</body>\r\n</html>\r\n"));
    QVERIFY(!Exists("DebugLog.txt"));
    for (char16_t c : {u'書', u'フ', u'択'}) QVERIFY(QFontMetrics(w.font()).inFont(QChar(c)));
    // A fixed-size window: minimise and close, no maximise, also once kept on top.
    for (bool frontMost : {false, true}) {
      w.chk_FrontMost->setChecked(frontMost);
      const Qt::WindowFlags flags = w.windowFlags();
      QCOMPARE(flags.testFlag(Qt::WindowStaysOnTopHint), frontMost);
      QVERIFY(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowMinimizeButtonHint) &&
              flags.testFlag(Qt::WindowCloseButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
    }
  }

  void settingsFileUnlessEsc() {
    for (bool esc : {false, true}) {
      init();
      Write("Lumivex.dat", "This-Left=100\r\nThis-Top=50\r\nchkBackup=0\r\n");
      e_->keys.esc = esc;
      Tconv& w = Make();
      w.show();  // reads the settings file unless Esc is held
      QCOMPARE(w.chkBackup->isChecked(), esc);
      QCOMPARE(Colour(w.chkBackup), esc ? QColor(0, 0, 255) : QColor(255, 0, 0));
      QCOMPARE(w.chkBackup->font().bold(), !esc);
      QCOMPARE(w.pos(), esc ? QPoint(817, 498) : QPoint(100, 50));
    }
  }

  void startStepClampsTheRightEdge() {
    const int edge = 1920 - 285;
    for (bool ctrl : {false, true}) {
      Tconv& w = Make();
      w.move(edge + 4, 10);
      e_->keys.ctrl = ctrl;
      e_->clock.Advance(999);
      QCOMPARE(w.x(), edge + 4);
      e_->clock.Advance(1);
      QCOMPARE(w.pos(), QPoint(ctrl ? edge + 4 : edge, 10));
    }
  }

  void positionSurvivesRestarts() {
    // Kept on top, too: the flag is set on the window before it appears.
    std::string saved = "This-Left=300\r\nThis-Top=200\r\nchk_FrontMost=1\r\n";
    for (int start = 0; start < 3; ++start) {
      init();  // a new process: fresh settings, the file of the last run
      Write("Lumivex.dat", saved);
      Tconv& w = Make();
      ShownAt shown;
      w.installEventFilter(&shown);
      w.show();
      QCOMPARE(shown.frame, QPoint(300, 200));
      QCOMPARE(w.frameGeometry().topLeft(), QPoint(300, 200));
      QVERIFY(w.geometry().top() > 200 && w.geometry().left() > 300);  // inside a frame
      QVERIFY(w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
      const QRect inside = w.geometry();
      e_->clock.Advance(1000);  // the start step leaves a reachable window alone
      QCOMPARE(w.geometry(), inside);
      w.mnuExitClick();
      saved = Read("Lumivex.dat");
      QVERIFY(saved.starts_with("This-Left=300\r\nThis-Top=200\r\nchk_FrontMost=1\r\n"));
    }
  }

  void titleBarOffTheScreenComesBack() {
    for (bool ctrl : {false, true}) {
      Write("Lumivex.dat", "This-Left=-2000\r\nThis-Top=-300\r\n");
      e_->keys.ctrl = ctrl;
      Tconv& w = Make();
      w.show();
      QCOMPARE(w.pos(), QPoint(-2000, -300));
      e_->clock.Advance(1000);
      const QRect frame = w.frameGeometry();
      if (ctrl) {
        QCOMPARE(frame.topLeft(), QPoint(-2000, -300));
      } else {
        QCOMPARE(frame.top(), 0);
        QCOMPARE(frame.right() + 1, kTitleBarGrip);
      }
    }
  }

  void startStepOpensTheReadMe() {
    const struct { const char* ini; bool resetMarker, opens; const char* flgNotNews; } cases[] = {
        {nullptr, false, true, ""}, {"ReadMe=0\r\nflgNotNews=1\r\n", false, true, "1"},
        {"ReadMe=1\r\nflgNotNews=1\r\n", false, false, "1"}, {"ReadMe=1\r\nflgNotNews=1\r\n", true, true, "0"}};
    for (const auto& c : cases) {
      fs::remove(e_->appDir + "Lumivex.ini");
      if (c.ini) Write("Lumivex.ini", c.ini);
      if (c.resetMarker) Write("IniReset.info", "");
      Write("ReadMe.txt", "read me");
      e_->desktop.launches.clear();
      Tconv& w = Make();
      e_->clock.Advance(1000);
      QCOMPARE((e_->desktop.launches == Launches{{K::TextFile, e_->appDir + "ReadMe.txt"}}), c.opens);
      QVERIFY(Read("Lumivex.ini").starts_with(c.opens ? "ReadMe=1\r\n" : c.ini));
      QVERIFY(!Exists("IniReset.info"));
      QCOMPARE(w.State.flgNotNews, std::string(c.flgNotNews));
    }
  }

  void dropOnTheDropArea() {
    Tconv& w = Make();
    const QColor base = Colour(w.memDragDrop, QPalette::Base);
    Drop(w.memDragDrop, {Write("src/a.mq4"), Write("src/note.txt"), Write("src/B.MQ4")});
    QCOMPARE(e_->converted, (std::vector<std::string>{"a.mq4", "B.MQ4"}));
    QCOMPARE(e_->messages.shown, (std::vector<RecordingMessages::Shown>{
                                  {"Processing was completed！", "completed.", MessageButtons::Ok}}));
    const QColor lime(0, 255, 0);
    QCOMPARE(e_->flashes, (std::vector<std::pair<int, QColor>>{{400, lime}, {200, base}, {400, lime}, {200, base}}));
    QVERIFY(Colour(w.memDragDrop, QPalette::Base) == base && w.memDragDrop->hasFocus() && !w.Busy());

    for (QWidget* at : std::initializer_list<QWidget*>{w.Label2, w.chkBackup, w.cmdSetting}) Drop(at, {Write("src/c.mq4")});
    QVERIFY(e_->converted.size() == 2 && e_->messages.shown.size() == 1);
  }

  void dropThroughTheRealFileRoad() {
    Tconv& w = Make({}, false);
    Drop(w.memDragDrop, {e_->tmp.Touch("ea.mq4", "int start()\r\n{\r\n   OrderSelect(0, SELECT_BY_POS);\r\n"
                                               "   return(0);\r\n}\r\n")});
    QCOMPARE(e_->messages.shown.at(0).text, std::string("Processing was completed！"));
    QCOMPARE(e_->flashes.at(0).second, QColor(128, 0, 128));  // OrderSelect fixed: purple
  }

  void closeWaitsForTheConversion() {
    Tconv& w = Make();
    QSignalSpy closed(&w, &Tconv::closed);
    e_->onConvert = [&] {
      w.mnuExitClick();
      fs::remove(e_->appDir + "temp.htm");
      e_->clock.Advance(1000);  // tmrClose asks too
      QCOMPARE(closed.count(), 0);
    };
    Drop(w.memDragDrop, {Write("src/a.mq4")});
    QCOMPARE(closed.count(), 1);
    QCOMPARE(e_->converted, std::vector<std::string>{"a.mq4"});
  }

  void dialogRoad() {
    Tconv& w = Make();
    w.cmd1FileClick();  // cancelled
    QCOMPARE(e_->dialog.requests, (std::vector<OpenFileRequest>{{"", "MQ4", "*.mq4", "MQL files (*.mq4)|*.MQ4", ""}}));
    QVERIFY(e_->messages.shown.empty());
    QVERIFY(w.tmrShift.Enabled() && !w.tmrClose.Enabled() && !w.tmrNewsShow.Enabled() && !w.tmrNewsCheck.Enabled());
    e_->dialog.answers.push_back(Write("src/a.mq4"));
    w.cmd1FileClick();
    QCOMPARE(e_->messages.shown.at(0).text + e_->messages.shown.at(0).caption, std::string("completed.！completed.？"));
    // The page watch stays off once the dialog was used.
    QSignalSpy closed(&w, &Tconv::closed);
    fs::remove(e_->appDir + "temp.htm");
    e_->clock.Advance(3000);
    QCOMPARE(closed.count(), 0);
  }

  void closeSequence() {
    for (bool nextStart : {true, false}) {
      Write("Lumivex.dat", "chkBackup=0\r\n");
      Tconv& w = Make();
      TfrmVersion about(nullptr, std::make_unique<RecordingWebView>(), [] { return Rect{0, 0, 800, 600}; });
      w.SetVersionWindow(&about);
      w.show();
      w.mnuVERClick();
      QVERIFY(about.isVisible() && Read("Version.htm").find(" Ver 1.170</font>") != std::string::npos);
      w.chkNextStart->setChecked(nextStart);
      w.move(40, 30);
      w.mnuExitClick();
      QVERIFY(!Exists("Version.htm") && !Exists("temp.htm"));
      QCOMPARE(Exists("Lumivex.dat"), nextStart);
      if (nextStart) QVERIFY(Read("Lumivex.dat").starts_with("This-Left=40\r\nThis-Top=30\r\nchk_FrontMost=0\r\nchkBackup=0\r\n"));
      QVERIFY(Read("Lumivex.ini").starts_with("ReadMe="));
    }
  }

  void removedPageCloses() {
    Tconv& w = Make();
    QSignalSpy closed(&w, &Tconv::closed);
    e_->clock.Advance(2000);
    fs::remove(e_->appDir + "temp.htm");
    QCOMPARE(closed.count(), 0);
    e_->clock.Advance(1000);
    QCOMPARE(closed.count(), 1);
    // A folder that takes no page: the page never existed, the program stays.
    QSignalSpy stays(&Make(e_->appDir + "missing/"), &Tconv::closed);
    e_->clock.Advance(5000);
    QCOMPARE(stays.count(), 0);
  }

  void timersOfTheDropAreaAndTheProgressBar() {
    Tconv& w = Make();
    w.memDragDrop->setPlainText("x");
    e_->keys.shift = e_->keys.ctrl = true;
    e_->clock.Advance(700);
    QCOMPARE(Colour(w.memDragDrop, QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(w.memDragDrop->toPlainText(), Tconv::DropAreaText());
    e_->keys.ctrl = false;
    e_->clock.Advance(700);
    QCOMPARE(Colour(w.memDragDrop, QPalette::Text), QColor(0, 128, 0));

    static_cast<Progress&>(w).SetVisible(true);
    static_cast<Progress&>(w).HideLater();
    e_->clock.Advance(999);
    QVERIFY(!w.ProgressBar1->isHidden());
    e_->clock.Advance(1);
    QVERIFY(w.ProgressBar1->isHidden() && !w.tmrProgressBar1VisibleSet.Enabled());
  }

  void menus() {
    const std::string dir = e_->appDir + "a b/";
    Write("a b/help/index.htm", "<html></html>");
    Write("a b/help/ReadMe.txt", "read me");
    Tconv& w = Make(dir);
    w.mnuUSEClick();
    w.mnuOpenThisClick();
    w.mnuReadMeClick();
    const std::string url = QUrl::fromLocalFile(QString::fromStdString(dir)).toEncoded().toStdString();
    QVERIFY(url.find("a%20b") != std::string::npos);
    QCOMPARE(e_->desktop.launches, (Launches{{K::Url, url + "help/index.htm"}, {K::Folder, e_->appDir + "a b"},
                                          {K::TextFile, dir + "help/ReadMe.txt"}}));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
