// The main window driven offscreen: fakes for the clock, keys, desktop, message
// boxes, file dialog and the file road, so nothing waits on a modal window.
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_window.h"
#include "app/version_window.h"
#include "app/web_view.h"
#include "pipeline/settings_files.h"
#include "platform/placement.h"

using namespace lumivex;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) { return fs::exists(path); }

// Records the close handlers in the order the window runs them.
class RecordingTconv : public Tconv {
 public:
  RecordingTconv(TconvServices s, std::vector<std::string>* log) : Tconv(std::move(s)), log_(log) {}
  void FormCloseQuery() override {
    log_->push_back("FormCloseQuery");
    Tconv::FormCloseQuery();
  }
  void FormClose() override {
    log_->push_back("FormClose");
    Tconv::FormClose();
    log_->push_back(Exists(TempHtmPath) ? "temp.htm kept" : "temp.htm deleted");
  }
  void FormDestroy() override {
    log_->push_back("FormDestroy");
    Tconv::FormDestroy();
  }

 private:
  std::vector<std::string>* log_;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> tmp_;
  std::string appDir_;
  std::unique_ptr<SettingsModel> model_;
  std::unique_ptr<VirtualClock> clock_;
  FakeKeyState keys_;
  FakeDesktop desktop_;
  RecordingMessages messages_;
  RecordingFileDialog dialog_;
  std::vector<std::string> log_;  // conversions, close handlers, in order
  std::vector<int> sleeps_;
  std::function<void(const std::string&)> onConvert_;
  std::unique_ptr<Tconv> w_;

  TconvServices Services(const std::string& appDir) {
    TconvServices s;
    s.appDir = appDir;
    s.fileVersionText = "1.1.7.0";
    s.settings = model_.get();
    s.clock = clock_.get();
    s.keys = &keys_;
    s.desktop = &desktop_;
    s.messages = &messages_;
    s.fileDialog = &dialog_;
    s.convertFile = [this](Engine& engine, const std::string& path) {
      engine.ConverterRan = true;
      log_.push_back("convert " + fs::path(path).filename().string());
      if (onConvert_) onConvert_(path);
      log_.push_back("converted " + fs::path(path).filename().string());
      return true;
    };
    s.sleepMs = [this](int ms) { sleeps_.push_back(ms); };
    return s;
  }

  Tconv& Make(const std::string& appDir = {}) {
    w_ = std::make_unique<RecordingTconv>(Services(appDir.empty() ? appDir_ : appDir), &log_);
    return *w_;
  }

  std::string Source(const std::string& name) {
    const std::string p = appDir_ + "src/" + name;
    WriteFile(p, "int start() { return(0); }\r\n");
    return p;
  }

  // Drops files at a point of a child widget (its centre by default).
  void Drop(QWidget* at, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data.setUrls(urls);
    // Delivered as the desktop delivers it: to the deepest widget under the
    // point (the drop area's viewport, a label ...), from where Qt passes it
    // up to the widget that takes drops.
    if (!w_->isVisible()) w_->show();
    const QPoint inWindow = at->mapTo(w_.get(), at->rect().center());
    QWidget* under = w_->childAt(inWindow);
    QVERIFY(under);
    const QPoint pos = under->mapFrom(w_.get(), inWindow);
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &drop);
    QCoreApplication::processEvents();
  }

  QColor TextColour(QWidget* w, QPalette::ColorRole role = QPalette::WindowText) {
    return w->palette().color(role);
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<QTemporaryDir>();
    appDir_ = tmp_->path().toStdString() + "/";
    model_ = std::make_unique<SettingsModel>();
    clock_ = std::make_unique<VirtualClock>();
    keys_ = FakeKeyState();
    desktop_ = FakeDesktop();
    desktop_.workArea = {0, 0, 1920, 1040};
    messages_ = RecordingMessages();
    dialog_ = RecordingFileDialog();
    log_.clear();
    sleeps_.clear();
    onConvert_ = nullptr;
  }

  void cleanup() { w_.reset(); }

  void formCreate() {
    WriteFile(appDir_ + "DebugLog.txt", "old");
    Tconv& w = Make();

    QCOMPARE(w.windowTitle(), QStringLiteral("\"EA(mq4)\" Lumivex Change　 Ver 1.170"));
    QCOMPARE(w.VersionText, std::string("1.170"));
    // Two thirds down, centred across.
    QCOMPARE(w.pos(), QPoint((1920 - 285) / 2, (1040 - 292) * 2 / 3));
    QCOMPARE(model_->Int("Left"), 817);
    QCOMPARE(model_->Int("Top"), 498);

    QCOMPARE(ReadFile(appDir_ + "temp.htm"),
             std::string("<html>\r\n<head>\r\n</head>\r\n<body bgcolor=\"#FFFFFF\">\r\n"
                         "</body>\r\n</html>\r\n"));
    QVERIFY(!Exists(appDir_ + "DebugLog.txt"));
    QVERIFY(!w.Busy());
  }

  void components() {
    Tconv& w = Make();
    QVERIFY(w.memDragDrop->isReadOnly());
    QCOMPARE(w.memDragDrop->toPlainText().split('\n').size(), 7);
    QCOMPARE(TextColour(w.memDragDrop, QPalette::Text), QColor(0, 128, 0));
    QVERIFY(w.ProgressBar1->isHidden());
    QVERIFY(!w.chk_FrontMost->isChecked());
    QVERIFY(w.chkBackup->isChecked() && w.chkNextStart->isChecked());
    QCOMPARE(w.cmd1File->size(), QSize(12, 12));
    // Read by the converter, never seen: it lies beyond the right edge.
    QVERIFY(w.chkCommentCompression->isChecked());
    QVERIFY(w.chkCommentCompression->mapTo(&w, QPoint(0, 0)).x() >= w.width());
    // The hints' Japanese has glyphs in the window's font.
    QVERIFY(QFontMetrics(w.font()).inFont(QChar(0x66F8)));  // 書
    QVERIFY(QFontMetrics(w.font()).inFont(QChar(0x30D5)));  // フ

    struct TimerCase {
      Timer& timer;
      int interval;
      bool enabled;
    };
    for (const TimerCase& t : {TimerCase{w.tmrStart, 1000, true}, TimerCase{w.tmrShift, 700, true},
                               TimerCase{w.tmrClose, 1000, true},
                               TimerCase{w.tmrProgressBar1VisibleSet, 1000, false},
                               TimerCase{w.tmrNewsCheck, 30000, true},
                               TimerCase{w.tmrNewsShow, 1000, false},
                               TimerCase{w.tmrVerCheck2, 950000, false}}) {
      QCOMPARE(t.timer.Interval(), t.interval);
      QCOMPARE(t.timer.Enabled(), t.enabled);
    }
  }

  void settingsFileUnlessEsc_data() {
    QTest::addColumn<bool>("esc");
    QTest::newRow("read") << false;
    QTest::newRow("Esc held") << true;
  }
  void settingsFileUnlessEsc() {
    QFETCH(bool, esc);
    WriteFile(appDir_ + "Lumivex.dat", "This-Left=100\r\nThis-Top=50\r\nchkBackup=0\r\n");
    keys_.esc = esc;
    Tconv& w = Make();
    w.show();
    QCOMPARE(w.chkBackup->isChecked(), esc);
    QCOMPARE(model_->Checked("chkBackup"), esc);
    // Unchecked: red and bold; checked: blue and regular.
    QCOMPARE(TextColour(w.chkBackup), esc ? QColor(0, 0, 255) : QColor(255, 0, 0));
    QCOMPARE(w.chkBackup->font().bold(), !esc);
    QCOMPARE(w.pos(), esc ? QPoint(817, 498) : QPoint(100, 50));
  }

  void startStepClamp_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<int>("expected");
    const int edge = 1920 - 285;
    QTest::newRow("4 beyond") << edge + 4 << 10 << false << edge;
    QTest::newRow("far beyond") << 5000 << 10 << false << edge;
    QTest::newRow("3 beyond") << edge + 3 << 10 << false << edge + 3;
    QTest::newRow("Ctrl held") << edge + 4 << 10 << true << edge + 4;
    QTest::newRow("top negative") << edge + 4 << -1 << false << edge + 4;
  }
  void startStepClamp() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(bool, ctrl);
    QFETCH(int, expected);
    WriteFile(appDir_ + "Lumivex.ini", "ReadMe=1\r\n");
    Tconv& w = Make();
    model_->SetInt("Left", left);
    model_->SetInt("Top", top);
    keys_.ctrl = ctrl;
    clock_->Advance(999);
    QVERIFY(w.tmrStart.Enabled());
    clock_->Advance(1);
    QVERIFY(!w.tmrStart.Enabled());
    QCOMPARE(model_->Int("Left"), expected);
    QCOMPARE(w.x(), expected);
    QVERIFY(desktop_.launches.empty());
  }

  void startStepReadMe_data() {
    QTest::addColumn<QString>("ini");
    QTest::addColumn<bool>("resetMarker");
    QTest::addColumn<bool>("opens");
    QTest::newRow("no state file") << QString() << false << true;
    QTest::newRow("ReadMe=0") << "ReadMe=0\r\nflgNotNews=1\r\n" << false << true;
    QTest::newRow("ReadMe=1") << "ReadMe=1\r\nflgNotNews=1\r\n" << false << false;
    QTest::newRow("IniReset.info") << "ReadMe=1\r\nflgNotNews=1\r\n" << true << true;
  }
  void startStepReadMe() {
    QFETCH(QString, ini);
    QFETCH(bool, resetMarker);
    QFETCH(bool, opens);
    if (!ini.isEmpty()) WriteFile(appDir_ + "Lumivex.ini", ini.toStdString());
    if (resetMarker) WriteFile(appDir_ + "IniReset.info", "");
    WriteFile(appDir_ + "ReadMe.txt", "read me");
    Tconv& w = Make();
    clock_->Advance(3000);

    const std::vector<FakeDesktop::Launch> readMe{{FakeDesktop::Kind::TextFile, appDir_ + "ReadMe.txt"}};
    QCOMPARE(desktop_.launches == readMe, opens);
    QCOMPARE(w.State.ReadMe, std::string("1"));
    QVERIFY(ReadFile(appDir_ + "Lumivex.ini").starts_with(opens ? "ReadMe=1\r\n" : ini.toStdString()));
    QVERIFY(!Exists(appDir_ + "IniReset.info"));
    if (resetMarker) QCOMPARE(w.State.flgNotNews, std::string("0"));
  }

  void dropOnTheDropArea() {
    Tconv& w = Make();
    const std::string a = Source("a.mq4"), b = Source("B.MQ4");
    WriteFile(appDir_ + "src/note.txt", "x");
    Drop(w.memDragDrop, {a, appDir_ + "src/note.txt", b});
    QCOMPARE(log_, (std::vector<std::string>{"convert a.mq4", "converted a.mq4", "convert B.MQ4",
                                              "converted B.MQ4"}));
    QCOMPARE(messages_.shown.size(), size_t(1));
    QCOMPARE(messages_.shown[0].text, std::string("Processing was completed！"));
    QCOMPARE(messages_.shown[0].caption, std::string("completed."));
    QCOMPARE(messages_.shown[0].buttons, MessageButtons::Ok);
    QCOMPARE(sleeps_, (std::vector<int>{400, 200, 400, 200}));
    QVERIFY(!w.Busy());
  }

  void dropThroughTheRealFileRoad() {
    TconvServices s = Services(appDir_);
    s.convertFile = nullptr;
    w_ = std::make_unique<Tconv>(s);
    const std::string source = appDir_ + "ea.mq4";
    WriteFile(source, "int start()\r\n{\r\n   OrderSelect(0, SELECT_BY_POS);\r\n   return(0);\r\n}\r\n");
    Drop(w_->memDragDrop, {source});
    QCOMPARE(messages_.shown.size(), size_t(1));
    QVERIFY(w_->engine.ConverterRan);
    QVERIFY(!w_->Busy());
  }

  void dropElsewhere() {
    Tconv& w = Make();
    const std::string a = Source("a.mq4");
    for (QWidget* at : std::initializer_list<QWidget*>{w.Label2, w.chkBackup, w.cmdSetting})
      Drop(at, {a});
    QVERIFY(log_.empty());
    QVERIFY(messages_.shown.empty());
  }

  void closeWaitsForTheConversion() {
    Tconv& w = Make();
    QSignalSpy closed(&w, &Tconv::closed);
    const std::string a = Source("a.mq4");
    onConvert_ = [&](const std::string&) {
      w.mnuExitClick();
      QCOMPARE(closed.count(), 0);
      QVERIFY(w.ClosePending());
      fs::remove(appDir_ + "temp.htm");
      clock_->Advance(1000);  // tmrClose asks too
      QCOMPARE(closed.count(), 0);
    };
    Drop(w.memDragDrop, {a});
    QCOMPARE(closed.count(), 1);
    QCOMPARE(log_, (std::vector<std::string>{"convert a.mq4", "converted a.mq4", "FormCloseQuery",
                                              "FormClose", "temp.htm deleted", "FormDestroy"}));
  }

  void dialogRoad() {
    Tconv& w = Make();
    w.cmd1FileClick();  // cancelled
    QCOMPARE(dialog_.requests.size(), size_t(1));
    QCOMPARE(dialog_.requests[0].defaultExt, std::string("MQ4"));
    QCOMPARE(dialog_.requests[0].fileName, std::string("*.mq4"));
    QCOMPARE(dialog_.requests[0].filter, std::string("MQL files (*.mq4)|*.MQ4"));
    QVERIFY(messages_.shown.empty());
    QVERIFY(w.tmrShift.Enabled());
    QVERIFY(!w.tmrClose.Enabled());
    QVERIFY(!w.tmrNewsShow.Enabled());
    QVERIFY(!w.tmrNewsCheck.Enabled());

    dialog_.answers.push_back(Source("a.mq4"));
    w.cmd1FileClick();
    QCOMPARE(log_, (std::vector<std::string>{"convert a.mq4", "converted a.mq4"}));
    QCOMPARE(messages_.shown.size(), size_t(1));
    QCOMPARE(messages_.shown[0].text, std::string("completed.！"));
    QCOMPARE(messages_.shown[0].caption, std::string("completed.？"));

    // The page watch stays off once the dialog was used.
    QSignalSpy closed(&w, &Tconv::closed);
    fs::remove(appDir_ + "temp.htm");
    clock_->Advance(3000);
    QCOMPARE(closed.count(), 0);
  }

  void closeSequence_data() {
    QTest::addColumn<bool>("nextStart");
    QTest::newRow("chkNextStart checked") << true;
    QTest::newRow("chkNextStart unchecked") << false;
  }
  void closeSequence() {
    QFETCH(bool, nextStart);
    WriteFile(appDir_ + "Lumivex.dat", "chkBackup=0\r\n");
    Tconv& w = Make();
    auto view = std::make_unique<RecordingWebView>();
    RecordingWebView* seen = view.get();
    TfrmVersion about(nullptr, std::move(view), [] { return Rect{0, 0, 800, 600}; });
    w.SetVersionWindow(&about);
    w.show();
    w.mnuVERClick();
    QVERIFY(about.isVisible());
    QCOMPARE(seen->navigated, std::vector<std::string>{appDir_ + "Version.htm"});
    QVERIFY(ReadFile(appDir_ + "Version.htm").find(" Ver 1.170</font>") != std::string::npos);
    w.chkNextStart->setChecked(nextStart);
    w.move(40, 30);

    QSignalSpy closed(&w, &Tconv::closed);
    w.mnuExitClick();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(log_, (std::vector<std::string>{"FormCloseQuery", "FormClose", "temp.htm deleted",
                                              "FormDestroy"}));
    QVERIFY(!Exists(appDir_ + "Version.htm"));
    QCOMPARE(Exists(appDir_ + "Lumivex.dat"), nextStart);
    if (nextStart) {
      const std::string dat = ReadFile(appDir_ + "Lumivex.dat");
      QVERIFY(dat.starts_with("This-Left=40\r\nThis-Top=30\r\n"));
      QVERIFY(dat.find("chkBackup=0\r\n") != std::string::npos);
    }
    QVERIFY(ReadFile(appDir_ + "Lumivex.ini").starts_with("ReadMe="));
  }

  void removedPageCloses() {
    Tconv& w = Make();
    QSignalSpy closed(&w, &Tconv::closed);
    clock_->Advance(2000);
    QCOMPARE(closed.count(), 0);
    fs::remove(appDir_ + "temp.htm");
    clock_->Advance(1000);
    QCOMPARE(closed.count(), 1);
  }

  void pageThatCouldNotBeWrittenKeepsTheProgramOpen() {
    // A folder that takes no files: the page never existed.
    Tconv& w = Make(appDir_ + "missing/");
    QSignalSpy closed(&w, &Tconv::closed);
    QVERIFY(!Exists(w.TempHtmPath));
    clock_->Advance(5000);
    QCOMPARE(closed.count(), 0);
  }

  void shiftAndCtrlColourTheDropArea() {
    Tconv& w = Make();
    w.memDragDrop->setPlainText("x");
    keys_.shift = keys_.ctrl = true;
    clock_->Advance(700);
    QCOMPARE(TextColour(w.memDragDrop, QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(w.memDragDrop->toPlainText(), Tconv::DropAreaText());
    keys_.ctrl = false;
    clock_->Advance(700);
    QCOMPARE(TextColour(w.memDragDrop, QPalette::Text), QColor(0, 128, 0));
  }

  void progressBar() {
    Tconv& w = Make();
    Progress& p = w;
    p.SetVisible(true);
    p.SetMax(7);
    p.SetPosition(3);
    p.Refresh();
    QVERIFY(!w.ProgressBar1->isHidden());
    QCOMPARE(w.ProgressBar1->maximum(), 7);
    QCOMPARE(w.ProgressBar1->value(), 3);
    p.HideLater();
    clock_->Advance(999);
    QVERIFY(!w.ProgressBar1->isHidden());
    clock_->Advance(1);
    QVERIFY(w.ProgressBar1->isHidden());
    QVERIFY(!w.tmrProgressBar1VisibleSet.Enabled());
  }

  void menus() {
    const std::string dir = appDir_ + "a b/";
    WriteFile(dir + "help/index.htm", "<html></html>");
    WriteFile(dir + "help/ReadMe.txt", "read me");
    Tconv& w = Make(dir);
    using K = FakeDesktop::Kind;

    w.mnuUSEClick();
    w.mnuOpenThisClick();
    w.mnuReadMeClick();
    QCOMPARE(desktop_.launches,
             (std::vector<FakeDesktop::Launch>{
                 {K::Url, "file://" + QUrl::toPercentEncoding(QString::fromStdString(dir), "/")
                                          .toStdString() + "help/index.htm"},
                 {K::Folder, appDir_ + "a b"},
                 {K::TextFile, dir + "help/ReadMe.txt"}}));
    QVERIFY(desktop_.launches[0].target.find("a%20b") != std::string::npos);

    fs::remove_all(dir + "help");
    desktop_.launches.clear();
    w.mnuReadMeClick();
    w.mnuUSEClick();
    QCOMPARE(desktop_.launches.size(), size_t(1));
    QVERIFY(desktop_.launches[0].target.starts_with("https://"));

    w.mnuNewsClick();
    QVERIFY(w.NewsAsked);
    QCOMPARE(w.tmrNewsCheck.Interval(), 1000);
    QVERIFY(w.tmrNewsCheck.Enabled());

    QWidget setting;
    w.SetSettingWindow(&setting);
    w.cmdSettingClick();
    QVERIFY(setting.isVisible());
    w.cmdSettingClick();
    QVERIFY(!setting.isVisible());
    w.mnuSettingClick();
    w.mnuSettingClick();
    QVERIFY(setting.isVisible());
  }

};

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
