// The splash window `TSplash`: product name, version and a small bar. It is
// created hidden and nothing shows it, but its timers run all the same: at
// 4 s it starts the first version check, at 17 s it closes, and whenever it
// closes (by its timer, a click, or a request of the main window) it stops its
// timers and hands the periodic version check to the main window.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

#include "platform/placement.h"
#include "platform/timer.h"

class QLabel;
class QProgressBar;

namespace lumivex {

// 1-based position of needle in text with the toolkit's two-byte stepping; 0
// when there is none or either string is empty.
int PosMbcs(std::string_view needle, std::string_view text);

// The blinking version caption: "Ver. " + the running version cut to three
// decimals, or to two when the fifth character of the three-decimal form is
// "0", or to one decimal and a "0" when that form has at most three
// characters (1.1705 -> "Ver. 1.17", 1.1755 -> "Ver. 1.175", 12.3405 ->
// "Ver. 12.340").
std::string SplashVersionCaption(float programVersion);

// A third down and centred across the work area.
Position SplashPosition(const Rect& workArea, int width, int height);

class TSplash : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 442;
  static constexpr int kHeight = 305;

  TSplash(Clock& clock, float programVersion, std::function<Rect()> workArea,
          QWidget* parent = nullptr);
  ~TSplash() override;

  // Bound by the main window: onVersionCheck starts the first version check,
  // onClosed switches on the main window's periodic check.
  std::function<void()> onVersionCheck;
  std::function<void()> onClosed;

  // 1 while the window is shown; 0 after creation and after a close.
  bool IsShown = false;
  int Timer1Ticks = 0;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* lbl_Ver = nullptr;
  QLabel* lbl_CheckVer = nullptr;
  QProgressBar* ProgressBar1 = nullptr;

  Timer tmr_SetFocus;
  Timer tmr_FLASH_ON;
  Timer tmr_FLASH_OFF;
  Timer Timer1;
  Timer tmrVerCheck;
  Timer tmrClose;

  // A close request: FormCloseQuery, then Form_UnLoad. Repeatable.
  void CloseRequest();
  // Every timer off without the hand-over (the program's close sequence).
  void StopTimers();

  void FormCreate();
  void Form_Load();
  void FormCloseQuery();
  void Form_UnLoad();
  void tmr_SetFocusTimer();
  void tmr_FLASH_ONTimer();
  void tmr_FLASH_OFFTimer();
  void Timer1Timer();
  void tmrVerCheckTimer();
  void tmrCloseTimer();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A click anywhere on the window (its labels and bar let clicks through)
  // closes it.
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void BuildForm();
  static void Restart(Timer& timer);

  float programVersion_;
  std::function<Rect()> workArea_;
};

}  // namespace lumivex
