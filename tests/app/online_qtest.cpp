// The online services through the windows: the checks run on real threads
// against a loopback server, the windows' timers on the virtual clock, and
// the update road unpacks through the real plugin and starts a real updater.
#include <QtTest>
#include <QtWidgets>

#include <chrono>
#include <thread>

#include "app/download_bar.h"
#include "app/main_window.h"
#include "app/news_window.h"
#include "app/splash_window.h"
#include "online/http.h"
#include "online/support/http_server.h"
#include "online/support/lha_writer.h"
#include "online/support/tree_snapshot.h"
#include "online/update.h"
#include "platform/support/temp_dir.h"
#include "text/text_file.h"

using namespace lumivex;
namespace fs = std::filesystem;
using lumivex::testing::HttpServer;
using lumivex::testing::LhaFile;
using lumivex::testing::MakeLhaArchive;
using lumivex::testing::ReadWhole;
using lumivex::testing::Reply;
using lumivex::testing::TreeSnapshot;
using Shown = RecordingMessages::Shown;

namespace {

const std::string kProbe = "/soft/";
const std::string kVersionFile = "/soft/Attestation/Lumivex/VersionE.txt";
const std::string kNewsList = "/soft/Attestation/Lumivex/News.txt";
const std::string kNewsPages = "/soft/Attestation/Lumivex/News/";
const std::string kArchive = "/soft/download/Lumivex/LvxDLE.lzh";

// Records its arguments in the folder it runs in.
const std::string kUpdaterScript = "#!/bin/sh\nprintf '%s\\n' \"$@\" > updater-args.txt\n";
// "お知らせ" in Shift_JIS.
const std::string kSjisNotice = "\x82\xa8\x92\x6d\x82\xe7\x82\xb9";

std::string GoodArchive() {
  return MakeLhaArchive({LhaFile("LvxDLE.exe", kUpdaterScript, 0100755), LhaFile("lumivex", "new program", 0100755),
                         LhaFile("help/new.htm", "<p>new</p>", 0100644)},
                        2);
}

// Message boxes that can let time pass while one is open, as a modal box's
// own event loop would.
class OpenMessages : public RecordingMessages {
 public:
  std::function<void(const Shown&)> whileOpen;
  MessageButton Show(std::string_view text, std::string_view caption, MessageButtons buttons) override {
    const MessageButton answer = RecordingMessages::Show(text, caption, buttons);
    if (whileOpen) {
      auto run = std::move(whileOpen);
      run(shown.back());
    }
    return answer;
  }
};

void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // The offscreen platform has no opacity and no stacking, and says so at every fade step.
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  qt_message_output(type, context, message);
}

}  // namespace

class OnlineTest : public QObject {
  Q_OBJECT

  struct Env {
    HttpServer server;
    lumivex::testing::TempDir tmp;
    std::string appDir = tmp.path().string() + "/";
    SettingsModel model;
    VirtualClock clock;
    FakeKeyState keys;
    FakeDesktop desktop;
    OpenMessages messages;
    RecordingFileDialog dialog;
    bool plugin = true;
    // Short limits, so a silent answer ends a transfer within a second or two.
    HttpOptions options = [] {
      HttpOptions o;
      o.connectTimeoutMs = 2000;
      o.lowSpeedSeconds = 1;
      o.textTimeoutMs = 5000;
      return o;
    }();
    std::function<void()> onConvert;
    std::unique_ptr<Tconv> w;
    std::unique_ptr<TSplash> splash;
    std::unique_ptr<Tnews> news;
  };
  std::unique_ptr<Env> e_;

  // The windows in the program's order, bound as main() binds them. The
  // ReadMe counts as shown, so the start step leaves the splash alone.
  Tconv& Make() {
    Env& e = *e_;
    e.tmp.Touch("Lumivex.ini", "ReadMe=1\r\n");
    e.tmp.Touch("lumivex", "old program");
    TconvServices s;
    s.appDir = e.appDir;
    s.fileVersionText = "1.1.7.0";  // running version 1.1705
    s.settings = &e.model;
    s.clock = &e.clock;
    s.keys = &e.keys;
    s.desktop = &e.desktop;
    s.messages = &e.messages;
    s.fileDialog = &e.dialog;
    s.convertFile = [&e](Engine& engine, const std::string&) {
      engine.ConverterRan = true;
      if (e.onConvert) e.onConvert();
      return true;
    };
    s.sleepMs = [](int) {};
    s.loadUnlha = [&e](UnlhaBinding& b) {
      return e.plugin && LoadUnlha(b, fs::read_symlink("/proc/self/exe").parent_path());
    };
    s.access.site = e.server.site();
    s.access.options = e.options;
    e.w = std::make_unique<Tconv>(s);
    e.splash = std::make_unique<TSplash>(e.clock, e.w->ProgramVersion, [] { return Rect{0, 0, 1920, 1040}; });
    e.w->SetSplashWindow(e.splash.get());
    e.news = std::make_unique<Tnews>(
        TnewsServices{&e.clock, &e.messages, &e.desktop, [] { return Rect{0, 0, 1920, 1040}; }, e.server.site()});
    e.w->SetNewsWindow(e.news.get());
    e.w->show();
    return *e.w;
  }

  void Advance(std::int64_t ms) { e_->clock.Advance(ms); }

  // Every job has ended and its result has been applied.
  bool Settle() {
    QElapsedTimer t;
    t.start();
    while (e_->w->OnlineJobs().Unfinished() > 0) {
      if (t.elapsed() > 20000) return false;
      QTest::qWait(5);
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return true;
  }

  int Count(const std::string& path) const { return e_->server.Count(path); }

  int Questions() const {
    return static_cast<int>(std::count_if(e_->messages.shown.begin(), e_->messages.shown.end(),
                                          [](const Shown& s) { return s.text == kUpdateQuestion; }));
  }

  // Brings the first check's finding of version 1.2 to the point where the
  // question is due a second later.
  void NewerVersionFound() {
    e_->server.Route(kVersionFile, Reply::Ok("1.2\r\n\r\n\r\n\r\n"));
    Make();
    Advance(4000);
    QVERIFY(Settle());
    QVERIFY(e_->w->tmrNewVerDLQS.Enabled());
    QCOMPARE(e_->w->LatestVersionText, std::string("1.2"));
  }

  std::string NewsPageText() {
    return static_cast<TextBrowserView&>(e_->news->wbINFO()).Browser()->toPlainText().toStdString();
  }

 private slots:
  void initTestCase() { qInstallMessageHandler(Quiet); }
  void init() { e_ = std::make_unique<Env>(); }
  void cleanup() { e_.reset(); }

  // The running version as published ("1.170" for 1.1705): no question, no message, ever.
  void splashChecksAt4sClosesAt17sThenEvery950s() {
    e_->server.Route(kVersionFile, Reply::Ok("1.170\r\n"));
    Tconv& w = Make();
    Advance(3999);
    QVERIFY(Settle());
    QCOMPARE(Count(kVersionFile), 0);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kVersionFile), 1);
    QCOMPARE(w.LatestVersionText, std::string("1.170"));
    QCOMPARE(w.WaitCursorDepth(), 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    std::vector<std::pair<std::string, std::string>> agents;
    for (const auto& r : e_->server.Requests()) agents.emplace_back(r.path, r.userAgent);
    QCOMPARE(agents, (std::vector<std::pair<std::string, std::string>>{{kProbe, "Lumivex"}, {kVersionFile, "LumivexGet"}}));

    Advance(12999);
    QVERIFY(!w.tmrVerCheck2.Enabled());
    Advance(1);
    QVERIFY(w.tmrVerCheck2.Enabled());
    QVERIFY(!e_->splash->tmrClose.Enabled() && !e_->splash->tmr_FLASH_ON.Enabled());
    Advance(950000 - 1);
    QVERIFY(Settle());
    QCOMPARE(Count(kVersionFile), 1);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kVersionFile), 2);
    Advance(2000);
    QCOMPARE(e_->messages.shown, std::vector<Shown>{});
  }

  // Any of these before 4 s closes the splash: no first check; the periodic one 950 s later.
  void closingTheSplashBefore4sCancelsItsCheck() {
    const std::vector<std::pair<const char*, std::function<void(Tconv&)>>> actions = {
        {"Setting menu", [](Tconv& w) { w.mnuSettingClick(); }},
        {"click on the window", [](Tconv& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(5, 150)); }},
        {"Backup box", [](Tconv& w) { w.chkBackup->click(); }},
        {"ReadMe menu", [](Tconv& w) { w.mnuReadMeClick(); }},
        {"open dialog", [](Tconv& w) { w.cmd1FileClick(); }}};
    for (const auto& [label, act] : actions) {
      init();
      Tconv& w = Make();
      Advance(2000);
      act(w);
      QVERIFY2(w.tmrVerCheck2.Enabled(), label);
      Advance(20000);
      QVERIFY(Settle());
      QVERIFY2(Count(kVersionFile) == 0, label);
    }
    Advance(950000 + 2000 - 22000 - 1);
    QVERIFY(Settle());
    QCOMPARE(Count(kVersionFile), 0);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kVersionFile), 1);
  }

  // Not asked: an error answer stays silent.
  void newsAt30sThenEvery30Minutes() {
    Make();
    Advance(29999);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 0);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 1);
    Advance(1800000 - 1);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 1);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 2);
    Advance(5000);
    QCOMPARE(e_->messages.shown, std::vector<Shown>{});
  }

  // The menu checks one second later and reports that there is nothing; the 30-minute rhythm
  // then starts from that check, which no longer counts as asked.
  void newsMenuChecksOneSecondLater() {
    Tconv& w = Make();
    Advance(5000);
    w.mnuNewsClick();
    Advance(999);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 0);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 1);
    Advance(1000);
    const std::vector<Shown> noNews{{"There is no news.", kApplicationTitle, MessageButtons::Ok}};
    QCOMPARE(e_->messages.shown, noNews);
    Advance(30000);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 1);
    Advance(1800000 - 31000 - 1);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 1);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 2);
    Advance(1000);
    QCOMPARE(e_->messages.shown, noNews);
  }

  // New news: stored, saved, shown with its page decoded by the charset the server named; the
  // same news does not come back within the run.
  void newNewsIsShownOnce() {
    e_->server.Route(kNewsList, Reply::Ok("5\r\n4\r\n"));
    e_->server.Route(kNewsPages + "5.htm", Reply::Ok("<p>" + kSjisNotice + "</p>", "text/html; charset=Shift_JIS"));
    Tconv& w = Make();
    Advance(30000);
    QVERIFY(Settle());
    QCOMPARE(w.State.Newision, std::string("5"));
    QVERIFY(ReadTextFile(e_->appDir + "Lumivex.ini").find("Newision=5\r\n") != std::string::npos);
    QVERIFY(!e_->news->isVisible());
    Advance(1000);
    QVERIFY(e_->news->isVisible());
    QVERIFY(Settle());
    QCOMPARE(NewsPageText(), std::string("お知らせ"));
    e_->news->close();
    QCOMPARE(w.State.flgNotNews, std::string("0"));

    Advance(1800000);
    QVERIFY(Settle());
    QCOMPARE(Count(kNewsList), 2);
    Advance(2000);
    QVERIFY(!e_->news->isVisible());
    QCOMPARE(Count(kNewsPages + "5.htm"), 1);
  }

  // The question waits while a conversion, a dialog, another question or the road holds the
  // user, and comes once per finding.
  void questionDeferredWhileBusy() {
    {  // a conversion
      NewerVersionFound();
      Tconv& w = *e_->w;
      int askedDuring = -1;
      e_->onConvert = [&] {
        Advance(3000);
        askedDuring = Questions();
      };
      w.DropFiles({e_->tmp.Touch("src/a.mq4").string()}, true);
      QCOMPARE(askedDuring, 0);
      QVERIFY(w.tmrNewVerDLQS.Enabled());
      Advance(1000);
      QCOMPARE(Questions(), 1);
      Advance(10000);
      QCOMPARE(Questions(), 1);
    }
    {  // a modal dialog
      init();
      NewerVersionFound();
      QDialog modal;
      modal.setWindowModality(Qt::ApplicationModal);
      modal.show();
      Advance(3000);
      QCOMPARE(Questions(), 0);
      modal.hide();
      Advance(1000);
      QCOMPARE(Questions(), 1);
    }
    {  // the question itself: a second finding while it is open waits for its answer
      init();
      NewerVersionFound();
      Tconv& w = *e_->w;
      int askedDuring = -1;
      e_->messages.answers = {MessageButton::No, MessageButton::No};
      e_->messages.whileOpen = [&](const Shown&) {
        w.tmrNewVerDLQS.SetEnabled(true);
        Advance(3000);
        askedDuring = Questions();
      };
      Advance(1000);
      QCOMPARE(askedDuring, 1);
      Advance(1000);
      QCOMPARE(Questions(), 2);
    }
    {  // the road: a second finding waits, and a close asked for takes effect after the road
      init();
      e_->server.Route(kArchive, Reply::Silent());
      NewerVersionFound();
      Tconv& w = *e_->w;
      QSignalSpy closed(&w, &Tconv::closed);
      bool running = false, pluginKept = false;
      int askedDuring = -1, closedDuring = -1;
      QTimer::singleShot(0, &w, [&] {
        running = w.UpdateRunning();
        w.tmrNewVerDLQS.SetEnabled(true);
        Advance(3000);
        askedDuring = Questions();
        w.close();
        closedDuring = static_cast<int>(closed.count());
        pluginKept = w.unlha.Loaded();
      });
      Advance(1000);
      QVERIFY(running && pluginKept);
      QCOMPARE(askedDuring, 1);
      QCOMPARE(closedDuring, 0);
      QCOMPARE(e_->messages.shown.back(),
               (Shown{"The new version could not be downloaded！", "Update Error", MessageButtons::Ok}));
      QCOMPARE(closed.count(), 1);
      QVERIFY(!w.unlha.Loaded());
      Advance(5000);
      QCOMPARE(Questions(), 1);
    }
  }

  // Quitting while both checks wait on a silent server: the close ends them within the bound,
  // no job is left, the wait cursor is gone, and nothing starts afterwards.
  void quittingWhileChecksAreInFlight() {
    e_->server.Route(kProbe, Reply::Silent());
    e_->options = HttpOptions{};  // the program's own limits: the checks would wait 30 s
    Tconv& w = Make();
    QSignalSpy closed(&w, &Tconv::closed);
    Advance(30000);
    QTRY_COMPARE_WITH_TIMEOUT(Count(kProbe), 2, 10000);
    QCOMPARE(w.OnlineJobs().Unfinished(), 2);
    QCOMPARE(w.WaitCursorDepth(), 2);
    QVERIFY(QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);

    QElapsedTimer t;
    t.start();
    w.mnuExitClick();
    QVERIFY2(t.elapsed() < 3000, std::to_string(t.elapsed()).c_str());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(w.OnlineJobs().Unfinished(), 0);
    QCOMPARE(w.WaitCursorDepth(), 0);
    QVERIFY(!QGuiApplication::overrideCursor());

    Advance(4000000);
    QTest::qWait(200);
    QCOMPARE(Count(kProbe), 2);
    QCOMPARE(w.OnlineJobs().Unfinished(), 0);
    QCOMPARE(e_->messages.shown, std::vector<Shown>{});
  }

  // A result that arrives after the close sequence ran is dropped.
  void resultPostedBeforeTheCloseIsDropped() {
    e_->server.Route(kVersionFile, Reply::Ok("1.2\r\n"));
    Tconv& w = Make();
    Advance(4000);
    // The job posts its result and ends; no event is processed meanwhile.
    for (int i = 0; i < 2000 && w.OnlineJobs().Unfinished() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    QCOMPARE(w.OnlineJobs().Unfinished(), 0);
    w.close();
    QTest::qWait(100);
    QCOMPARE(w.LatestVersionText, std::string());
    QVERIFY(!w.tmrNewVerDLQS.Enabled());
    Advance(5000);
    QCOMPARE(e_->messages.shown, std::vector<Shown>{});
  }

  // The whole road: asked at 5 s and answered No; the news comes at 30 s with its Shift_JIS page;
  // asked again 950 s after the splash closed and answered Yes: the new files are in place, the
  // updater got the version, the archive is gone and the program closes.
  void updateRoadEndToEnd() {
    e_->server.Route(kNewsList, Reply::Ok("7\r\n"));
    e_->server.Route(kNewsPages + "7.htm",
                     Reply::Ok("<html><body>" + kSjisNotice + "</body></html>", "text/html; charset=Shift_JIS"));
    e_->server.Route(kArchive, Reply::Ok(GoodArchive(), "application/octet-stream"));
    e_->messages.answers = {MessageButton::No, MessageButton::Yes};
    NewerVersionFound();
    Tconv& w = *e_->w;
    QSignalSpy closed(&w, &Tconv::closed);
    Advance(1000);
    QCOMPARE(Questions(), 1);

    Advance(25000);
    QVERIFY(Settle());
    Advance(1000);
    QVERIFY(Settle());
    QVERIFY(e_->news->isVisible());
    QCOMPARE(NewsPageText(), std::string("お知らせ"));

    Advance(17000 + 950000 - 31000 - 1);
    QVERIFY(Settle());
    QCOMPARE(Questions(), 1);
    Advance(1);
    QVERIFY(Settle());
    QCOMPARE(Count(kArchive), 0);
    Advance(1000);
    QCOMPARE(Questions(), 2);
    QCOMPARE(Count(kArchive), 1);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!fs::exists(e_->tmp / "LvxDLE.lzh"));
    QCOMPARE(ReadWhole(e_->tmp / "lumivex"), std::string("new program"));
    QCOMPARE(ReadWhole(e_->tmp / "help/new.htm"), std::string("<p>new</p>"));
    QTRY_COMPARE_WITH_TIMEOUT(ReadWhole(e_->tmp / "updater-args.txt"), std::string("1.2\n"), 10000);
    QVERIFY(!w.unlha.Loaded());
    QVERIFY(ReadTextFile(e_->appDir + "Lumivex.ini").find("Newision=7\r\n") != std::string::npos);
  }

  // The archive's length is 64-bit: the bar scales it into its int range and ends full; without
  // a length it shows a busy bar. Every tick lets events run, and the bar goes at the end.
  void downloadBarScalesLongDownloads() {
    QProgressBar bar;
    int ticks = 0;
    DownloadBar progress(&bar, [&] { ++ticks; });
    const std::int64_t big = std::int64_t{5} * 1024 * 1024 * 1024;
    progress.Begin(big);
    QVERIFY(!bar.isHidden());
    QVERIFY(bar.maximum() > 0 && bar.maximum() <= std::numeric_limits<int>::max());
    progress.Advance(big / 2);
    QCOMPARE(bar.value(), bar.maximum() / 2);
    progress.Advance(big - big / 2);
    QCOMPARE(bar.value(), bar.maximum());
    progress.Tick();
    progress.End();
    QVERIFY(bar.isHidden());
    QCOMPARE(ticks, 1);
    progress.Begin(0);
    QCOMPARE(bar.maximum(), 0);
    progress.Begin(1000);
    QCOMPARE(bar.maximum(), 1000);
  }

  // Every failure of the road keeps the program open with its message, the folder as it was.
  void updateRoadFailuresKeepTheProgram() {
    const std::string downloadFailed = "The new version could not be downloaded！";
    const std::string unpackFailed = "The new version could not be unpacked！";
    const std::string good = GoodArchive();
    auto badCrc = LhaFile("lumivex", "new program");
    badCrc.crc = 1;
    const fs::path outside = e_->tmp.path().parent_path() / ("lumivex-outside-" + std::to_string(::getpid()));
    const struct {
      const char* label;
      Reply archive;
      bool plugin;
      std::string message;
    } cases[] = {
        {"archive 404", Reply::Status(404, "404"), true, downloadFailed},
        {"truncated", Reply::Truncated(good.substr(0, 40), good.size()), true, downloadFailed},
        {"bad CRC", Reply::Ok(MakeLhaArchive({LhaFile("LvxDLE.exe", kUpdaterScript, 0100755), badCrc}, 2)), true,
         unpackFailed},
        {"absolute path",
         Reply::Ok(MakeLhaArchive({LhaFile("LvxDLE.exe", kUpdaterScript, 0100755), LhaFile(outside.string(), "x")}, 2)),
         true, unpackFailed},
        {"no updater", Reply::Ok(MakeLhaArchive({LhaFile("lumivex", "new program")}, 2)), true,
         "The updater could not be started！"},
        {"no plugin", Reply::Ok(good), false, unpackFailed},
    };
    for (const auto& c : cases) {
      init();
      e_->plugin = c.plugin;
      e_->server.Route(kArchive, c.archive);
      NewerVersionFound();
      Tconv& w = *e_->w;
      QCOMPARE(w.UnlhaLoaded, c.plugin ? 1 : 0);
      QSignalSpy closed(&w, &Tconv::closed);
      const auto before = TreeSnapshot(e_->tmp.path());
      Advance(1000);
      QVERIFY2(Questions() == 1 && Count(kArchive) == 1, c.label);
      QVERIFY2(closed.count() == 0 && w.isVisible() && !w.Busy(), c.label);
      QCOMPARE(e_->messages.shown.back(), (Shown{c.message, "Update Error", MessageButtons::Ok}));
      QVERIFY2(TreeSnapshot(e_->tmp.path()) == before, c.label);
      QVERIFY(!fs::exists(outside));
      // The program goes on: the next finding asks again.
      Advance(17000 + 950000 - 5000);
      QVERIFY(Settle());
      Advance(1000);
      QVERIFY2(Questions() == 2, c.label);
    }
  }
};

int main(int argc, char** argv) {
  // libcurl's process-wide set-up before any job thread, as in the program.
  NetLibrary net;
  QApplication app(argc, argv);
  OnlineTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "online_qtest.moc"
