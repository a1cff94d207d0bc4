// The main window `Tconv`: the drop area, the three main-window switches, the
// menus, the start step, the close sequence and the conversion roads.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/file_intake.h"
#include "app/wait_cursor.h"
#include "online/archiver.h"
#include "online/http.h"
#include "online/jobs.h"
#include "online/news.h"
#include "online/version_check.h"
#include "settings/settings_files.h"
#include "settings/settings_model.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/key_state.h"
#include "platform/timer.h"
#include "text/engine.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace lumivex {

class TfrmVersion;
class TSplash;
class Tnews;

// The services the main window works through; main() hands in the real ones,
// tests hand in fakes. Every pointer must outlive the window.
struct TconvServices {
  std::string appDir;            // program folder with a trailing "/"
  std::string fileVersionText;   // the program's file version ("1.1.7.0")
  SettingsModel* settings = nullptr;
  Clock* clock = nullptr;
  KeyState* keys = nullptr;
  Desktop* desktop = nullptr;    // work area and program launches
  Messages* messages = nullptr;
  FileDialog* fileDialog = nullptr;
  // Converts one file through the file road; null: the pipeline's ConvertFile.
  std::function<bool(Engine& engine, const std::string& path)> convertFile;
  // Blocks the GUI thread for the flash of the drop area; null: a real sleep.
  std::function<void(int ms)> sleepMs;
  // Loads the archiver plugin into the binding; false when it is missing.
  // Null: no plugin is loaded.
  std::function<bool(UnlhaBinding&)> loadUnlha;
  // The site and the time limits of the online services. Without a site
  // every check finds the site unreachable.
  SiteAccess access{};
};

// The caption of the update question.
inline constexpr const char* kConfirmCaption = "Confirm";

// The application's title ("Lumivex converter").
inline constexpr const char* kApplicationTitle = "Lumivexコンバーター";

class Tconv : public QMainWindow, public Progress {
  Q_OBJECT

 public:
  // The form's size, which the start placement and the clamp work with.
  static constexpr int kWidth = 285;
  static constexpr int kHeight = 292;

  explicit Tconv(TconvServices services, QWidget* parent = nullptr);
  ~Tconv() override;

  // The other windows, created after this one; null until set.
  void SetSettingWindow(QWidget* setting) { Setting = setting; }
  void SetVersionWindow(TfrmVersion* frmVersion) { this->frmVersion = frmVersion; }

  // The first show runs FormShow before the window reaches the screen (see
  // the definition).
  void setVisible(bool visible) override;

  // Progress of the conversion, shown by ProgressBar1.
  void SetVisible(bool visible) override;
  void SetMax(int max) override;
  void SetPosition(int position) override;
  void Refresh() override;
  void HideLater() override;

  // The drop-area text set at creation and by tmrShift (line ends as the
  // text edit keeps them).
  static QString DropAreaText();

  // Components, named as the form names them.
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QPlainTextEdit* memDragDrop = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QCheckBox* chk_FrontMost = nullptr;
  QCheckBox* chkBackup = nullptr;
  QCheckBox* chkNextStart = nullptr;
  QCheckBox* chkCommentCompression = nullptr;
  QPushButton* cmd1File = nullptr;
  QPushButton* cmdSetting = nullptr;
  QPushButton* cmd_GetFile = nullptr;
  QMenu* mnuFile = nullptr;
  QMenu* mnuDisplay = nullptr;
  QMenu* mnuHelp = nullptr;
  QMenu* mnuOpenFolder = nullptr;
  QAction* mnuSetting = nullptr;
  QAction* mnuExit = nullptr;
  QAction* mnuNews = nullptr;
  QAction* mnuOpenThis = nullptr;
  QAction* mnuUSE = nullptr;
  QAction* mnuVER = nullptr;
  QAction* mnuReadMe = nullptr;

  // Timers of the main window.
  Timer tmrStart;
  Timer tmrShift;
  Timer tmrClose;
  Timer tmrProgressBar1VisibleSet;
  // Timers of the news and version services, which bind their handlers.
  Timer tmrNewsCheck;
  Timer tmrNewNewsQS;
  Timer tmrNewsShow;
  Timer tmrVerCheck2;
  Timer tmrNewVerDLQS;
  Timer tmrShowNewVersion;

  // Fields shared with the converter and the other windows.
  Engine engine;  // kind flags of the last conversion; settings, progress, messages
  std::string DelChar, BsChar, MarkOpen, MarkClose, MarkOpenAt, MarkCloseAt;
  std::string WinDir;
  int UnlhaLoaded = 0;
  std::string AppDir;
  std::string TempHtmPath;
  std::string VersionHtmPath;
  float ProgramVersion = 0.0f;
  std::string VersionText;
  StateValues State;  // ReadMe, flgNotNews ... of the state file
  bool NewsAsked = false;
  // Online fields: the last news list, the last version file's line 1 and
  // archive address, and the archiver plugin (UnlhaModule, UnlhaProc).
  std::string NewsText;
  std::string LatestVersionText;
  std::string DownloadUrl;
  bool VerAsked = false;
  UnlhaBinding unlha;

  // A conversion or the update road is running.
  bool Busy() const { return intake_.Busy() || updating_; }
  bool UpdateRunning() const { return updating_; }
  // Every online job (checks and page fetches) runs through this registry.
  JobRegistry& OnlineJobs() { return *jobs_; }
  // Checks under way that hold the wait cursor.
  int WaitCursorDepth() const { return waitCursor_.Depth(); }
  // True while a close waits for the running conversion to finish.
  bool ClosePending() const { return closePending_; }

  // Handlers, named as the form binds them.
  void FormCreate();
  void FormShow();
  void tmrStartTimer();
  virtual void FormCloseQuery();
  virtual void FormClose();
  virtual void FormDestroy();
  void cmd1FileClick();
  // The drop road: local file names in drop order, and whether the drop
  // landed on memDragDrop.
  void DropFiles(const std::vector<std::string>& names, bool onDropArea);
  void mnuSettingClick();
  void cmdSettingClick();
  void mnuExitClick();
  void mnuNewsClick();
  void mnuOpenThisClick();
  void mnuVERClick();
  void mnuReadMeClick();
  void mnuUSEClick();
  void chkNextStartClick();
  void chkBackupClick();
  void chk_FrontMostClick();
  void tmrCloseTimer();
  void tmrShiftTimer();
  void tmrProgressBar1VisibleSetTimer();
  // Online handlers.
  void tmrNewsCheckTimer();
  void tmrNewNewsQSTimer();
  void tmrNewsShowTimer();
  void tmrVerCheck2Timer();
  void tmrNewVerDLQSTimer();
  void tmrShowNewVersionTimer();
  // The update road: download, unpack, start the updater, close.
  void cmd_GetFileClick();

  // Flashes control in colour twice (400 ms on, 200 ms off), then gives it
  // the keyboard focus.
  void FlashControl(unsigned colour, QWidget* control);

  // The splash window's close request; null until it exists.
  std::function<void()> onCloseSplash;
  // The splash window: its close request, its first version check and the
  // hand-over to tmrVerCheck2 are bound here.
  void SetSplashWindow(TSplash* splash);
  // The news window: its list, its page fetches and its close.
  void SetNewsWindow(Tnews* news);

  // True when the point (in this window's coordinates) lies on memDragDrop.
  bool OnDropArea(const QPoint& windowPos) const;

 signals:
  // The close sequence has run and the window is closing: the program ends.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildForm();
  void BuildMenus();
  void BindSettings();
  void CloseSplash();
  // Online wiring (main_window_online.cpp).
  void BindOnlineTimers();
  void StartVersionCheckJob(JobKind kind);
  void ApplyVersionCheck(const VersionCheckResult& result);
  void ApplyNewsCheck(const NewsCheckResult& result);
  void StopOnlineServices();
  // True while the update question must wait: a conversion, a dialog or the
  // update road holds the user.
  bool UpdateMustWait() const;
  void ShowResult(const ResultMessage& result);
  bool ConvertOne(const std::string& path);
  // Closes the window when a close was asked for during a conversion.
  void CloseIfPending();
  void SetDropAreaColour(const QColor& textColour);
  // Writes the window's position to the settings model without moving it.
  void StorePosition(const QPoint& at);
  // Brings a title bar that lies off every screen back within reach.
  void PullTitleBarOntoScreen();

  TconvServices services_;
  QWidget* Setting = nullptr;
  TfrmVersion* frmVersion = nullptr;
  FileIntake intake_;
  bool shown_ = false;
  bool closePending_ = false;
  bool closeSequenceRan_ = false;
  // temp.htm was written at creation: only then does its disappearance close
  // the program.
  bool tempHtmWritten_ = false;
  int settingsObserver_ = 0;
  bool storingPosition_ = false;
  QPointer<TSplash> Splash;
  QPointer<Tnews> news;
  std::unique_ptr<JobRegistry> jobs_;
  WaitCursor waitCursor_;
  bool updating_ = false;
  bool confirming_ = false;
};

}  // namespace lumivex
