// The hidden splash window on the virtual clock: its caption, its blinking
// status line, its 4 s version check and its close.
#include <QtTest>
#include <QtWidgets>

#include "app/splash_window.h"

using namespace lumivex;

class SplashWindowTest : public QObject {
  Q_OBJECT

  struct Env {
    VirtualClock clock;
    int checks = 0;
    int closes = 0;
    std::unique_ptr<TSplash> splash;
  };
  std::unique_ptr<Env> e_;

  TSplash& Make(float version = 1.1705f) {
    e_ = std::make_unique<Env>();
    e_->splash = std::make_unique<TSplash>(e_->clock, version, [] { return Rect{0, 0, 1920, 1040}; });
    e_->splash->onVersionCheck = [e = e_.get()] { ++e->checks; };
    e_->splash->onClosed = [e = e_.get()] { ++e->closes; };
    return *e_->splash;
  }

  static std::vector<bool> TimersOn(TSplash& s) {
    return {s.tmr_SetFocus.Enabled(), s.tmr_FLASH_ON.Enabled(), s.tmr_FLASH_OFF.Enabled(),
            s.Timer1.Enabled(),       s.tmrVerCheck.Enabled(),  s.tmrClose.Enabled()};
  }

 private slots:
  void cleanup() { e_.reset(); }

  void versionCaption() {
    const struct { float version; const char* caption; } cases[] = {
        {1.1705f, "Ver. 1.17"}, {1.1755f, "Ver. 1.175"}, {12.3405f, "Ver. 12.340"},
        {1.0005f, "Ver. 1.00"}, {2.0135f, "Ver. 2.013"}, {0.0005f, "Ver. 0.00"}};
    for (const auto& c : cases) QCOMPARE(SplashVersionCaption(c.version), std::string(c.caption));
    QCOMPARE(Make(1.1705f).lbl_Ver->text(), QStringLiteral("Ver. 1.17"));
  }

  void posMbcsStepsOverTwoByteCharacters() {
    QCOMPARE(PosMbcs("The latest version", "The latest version!!"), 1);
    QCOMPARE(PosMbcs("x", ""), 0);
    QCOMPARE(PosMbcs("", "abc"), 0);
    // "\x82\x60" is one character; the "`" (0x60) inside it is no match.
    QCOMPARE(PosMbcs("`", "\x82\x60"), 0);
    QCOMPARE(PosMbcs("`", "\x82\x60`"), 3);
  }

  void createdHiddenAndPlacedAThirdDown() {
    TSplash& s = Make();
    QVERIFY(!s.isVisible() && !s.IsShown);
    QCOMPARE(s.pos(), QPoint((1920 - 442) / 2, (1040 - 305) / 3));
    QCOMPARE(SplashPosition({100, 50, 800, 600}, 200, 300), (Position{400, 150}));
    QCOMPARE(TimersOn(s), std::vector<bool>(6, true));
  }

  // The version blinks (400 ms shown, 100 ms blank); the status line gains ". " every 500 ms
  // unless it reports the latest version; the bar holds at its maximum.
  void blinkingAndStatusDots() {
    TSplash& s = Make();
    e_->clock.Advance(750);  // Timer1's fifth tick at 750 ms
    QVERIFY(!s.lbl_Ver->isHidden());
    QVERIFY(!s.Timer1.Enabled());
    QCOMPARE(s.Label3->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x99));
    s.lbl_CheckVer->setText(QStringLiteral("A new version is being checked. "));
    const int bar = s.ProgressBar1->value();
    e_->clock.Advance(249);  // to 999: the version has been shown since 600
    QCOMPARE(s.lbl_Ver->text(), QStringLiteral("Ver. 1.17"));
    e_->clock.Advance(1);  // 1000: blank, one dot more
    QCOMPARE(s.lbl_Ver->text(), QString());
    QCOMPARE(s.lbl_CheckVer->text(), QStringLiteral("A new version is being checked. . "));
    QCOMPARE(s.ProgressBar1->value(), bar + 1);
    e_->clock.Advance(100);
    QCOMPARE(s.lbl_Ver->text(), QStringLiteral("Ver. 1.17"));

    s.lbl_CheckVer->setText(QStringLiteral("The latest version!!"));
    e_->clock.Advance(3000);
    QCOMPARE(s.lbl_CheckVer->text(), QStringLiteral("The latest version!!"));
    QCOMPARE(s.ProgressBar1->value(), 6);
  }

  void checksAt4sAndClosesAt17s() {
    TSplash& s = Make();
    e_->clock.Advance(3999);
    QCOMPARE(e_->checks, 0);
    e_->clock.Advance(1);
    QCOMPARE(e_->checks, 1);
    QVERIFY(!s.tmrVerCheck.Enabled() && s.tmrClose.Enabled());
    e_->clock.Advance(12999);
    QCOMPARE(e_->closes, 0);
    e_->clock.Advance(1);
    QCOMPARE(e_->closes, 1);
    QCOMPARE(TimersOn(s), std::vector<bool>(6, false));
    e_->clock.Advance(60000);
    QVERIFY(e_->checks == 1 && e_->closes == 1);
  }

  // A close request or a click before 4 s: no check ever, the hand-over at once; later
  // requests repeat the hand-over, which the main window takes as a no-op.
  void closedBefore4s() {
    for (bool click : {false, true}) {
      TSplash& s = Make();
      e_->clock.Advance(2000);
      if (click) {
        s.show();
        QVERIFY(s.IsShown);
        QTest::mouseClick(&s, Qt::LeftButton, {}, s.Label3->geometry().center());
      } else {
        s.CloseRequest();
      }
      QVERIFY(!s.IsShown && !s.isVisible());
      QCOMPARE(e_->closes, 1);
      e_->clock.Advance(20000);
      QCOMPARE(e_->checks, 0);
      s.CloseRequest();
      QCOMPARE(e_->closes, 2);
    }
  }
};

QTEST_MAIN(SplashWindowTest)
#include "splash_window_qtest.moc"
