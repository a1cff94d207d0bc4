#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/colours.h"
#include "app/news_window.h"
#include "app/setting_window.h"
#include "app/splash_window.h"
#include "app/version_window.h"
#include "pipeline/file_road.h"
#include "platform/desktop_qt.h"
#include "platform/placement.h"
#include "platform/program_info.h"
#include "text/text.h"
#include "text/text_file.h"

namespace lumivex {

namespace {

constexpr const char* kBlankPage =
    "<html>\r\n"
    "<head>\r\n"
    "</head>\r\n"
    "<body bgcolor=\"#FFFFFF\">\r\n"
    "</body>\r\n"
    "</html>\r\n";

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(path, ec);
}

void RemoveFile(const std::string& path) {
  std::error_code ec;
  if (!path.empty()) std::filesystem::remove(path, ec);
}

void SetTextColour(QWidget* w, const QColor& colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  p.setColor(QPalette::ButtonText, colour);
  w->setPalette(p);
}

QLabel* NewLabel(QWidget* parent, const QString& caption, unsigned colour, QRect geometry) {
  auto* label = new QLabel(caption, parent);
  SetTextColour(label, DesktopColour(colour));
  label->setGeometry(geometry);
  return label;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption,
                       QRect geometry) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(geometry);
  return box;
}

}  // namespace

Tconv::Tconv(TconvServices services, QWidget* parent)
    : QMainWindow(parent),
      tmrStart(*services.clock, 1000, true),
      tmrShift(*services.clock, 700, true),
      tmrClose(*services.clock, 1000, true),
      tmrProgressBar1VisibleSet(*services.clock, 1000, false),
      tmrNewsCheck(*services.clock, 30000, true),
      tmrNewNewsQS(*services.clock, 1000, false),
      tmrNewsShow(*services.clock, 1000, false),
      tmrVerCheck2(*services.clock, 950000, false),
      tmrNewVerDLQS(*services.clock, 1000, false),
      tmrShowNewVersion(*services.clock, 1000, false),
      services_(std::move(services)),
      intake_(engine, FileIntake::Hooks{
                          [this](const std::string& path) { return ConvertOne(path); },
                          [this](const ResultMessage& r) { ShowResult(r); },
                          [] { QCoreApplication::processEvents(); },
                          [this](const std::string& what) {
                            if (services_.messages)
                              services_.messages->Show(what, kApplicationTitle,
                                                       MessageButtons::Ok);
                          }}) {
  engine.settings = services_.settings;
  engine.progress = this;
  engine.messages = services_.messages;

  // Files may be dropped from creation on; the drop area itself takes none, so
  // every drop reaches the window and is tested against the drop area there.
  setAcceptDrops(true);
  BuildForm();
  BuildMenus();
  BindSettings();

  tmrStart.SetOnTimer([this] { tmrStartTimer(); });
  tmrShift.SetOnTimer([this] { tmrShiftTimer(); });
  tmrClose.SetOnTimer([this] { tmrCloseTimer(); });
  tmrProgressBar1VisibleSet.SetOnTimer([this] { tmrProgressBar1VisibleSetTimer(); });
  BindOnlineTimers();

  FormCreate();
}

Tconv::~Tconv() {
  // No job outlives the window, and no result reaches it any more.
  StopOnlineServices();
  FreeUnlha(unlha);
  if (services_.settings && settingsObserver_) services_.settings->RemoveObserver(settingsObserver_);
}

QString Tconv::DropAreaText() {
  return QStringLiteral(
      "\n"
      "                EA(mq4) here\n"
      "               With Drag&Drop\n"
      "             The old MQL code\n"
      "            (Build509 former) is\n"
      "             converted into the\n"
      "               new MQL code.");
}

void Tconv::BuildForm() {
  setFont(SettingsWindowFont());
  setFixedSize(kWidth, kHeight);
  SetFixedWindowButtons(this, true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, DesktopColour(kColourWindow));
  setPalette(pal);
  setAutoFillBackground(true);

  auto* form = new QWidget(this);
  form->setObjectName(QStringLiteral("form"));
  setCentralWidget(form);

  ProgressBar1 = new QProgressBar(form);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(0, 0, kWidth, 9);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();

  Label2 = NewLabel(form, QStringLiteral("The past　Build 509"), kColourFuchsia, {8, 12, 150, 18});
  QFont big = font();
  big.setPixelSize(15);
  Label2->setFont(big);
  Label4 = NewLabel(form, QStringLiteral("MQL code ? !"), kColourBlue, {160, 14, 110, 16});
  Label3 = NewLabel(form, QStringLiteral("It converts"), kColourGreen, {8, 34, 70, 16});
  Label5 = NewLabel(form, QStringLiteral("it into Build600 of the aftertime"), kColourRed,
                    {70, 34, 182, 16});
  Label6 = NewLabel(form, QStringLiteral(" !! "), kColourRed, {250, 31, 34, 20});
  QFont shout = font();
  shout.setPixelSize(16);
  shout.setItalic(true);
  Label6->setFont(shout);

  memDragDrop = new QPlainTextEdit(form);
  memDragDrop->setObjectName(QStringLiteral("memDragDrop"));
  memDragDrop->setGeometry(8, 54, kWidth - 16, 118);
  memDragDrop->setReadOnly(true);
  // A text edit swallows dropped files; the window takes them instead.
  memDragDrop->setAcceptDrops(false);
  memDragDrop->viewport()->setAcceptDrops(false);
  memDragDrop->setPlainText(DropAreaText());
  SetDropAreaColour(DesktopColour(kColourGreen));

  chk_FrontMost = NewCheckBox(form, "chk_FrontMost", QStringLiteral("It displays on front most."),
                              {8, 178, 200, 18});
  chkBackup = NewCheckBox(form, "chkBackup", QStringLiteral("Backup"), {8, 198, 120, 18});
  chkBackup->setToolTip(QStringLiteral("書き換える前にBackupフォルダーにバックアップします"));
  chkNextStart = NewCheckBox(form, "chkNextStart", QStringLiteral("start next time setting"),
                             {8, 218, 180, 18});
  // Read by the converter but never shown: it lies beyond the right edge.
  chkCommentCompression = NewCheckBox(form, "chkCommentCompression",
                                      QStringLiteral("Comment compression"),
                                      {kWidth + 16, 198, 150, 18});

  cmd1File = new QPushButton(QStringLiteral("・"), form);
  cmd1File->setObjectName(QStringLiteral("cmd1File"));
  cmd1File->setGeometry(kWidth - 20, 180, 12, 12);
  cmd1File->setToolTip(QStringLiteral("1ファイルのみ選択"));
  connect(cmd1File, &QPushButton::clicked, this, [this] { cmd1FileClick(); });

  cmdSetting = new QPushButton(QStringLiteral("Setting"), form);
  cmdSetting->setObjectName(QStringLiteral("cmdSetting"));
  cmdSetting->setGeometry(kWidth - 88, 212, 80, 26);
  connect(cmdSetting, &QPushButton::clicked, this, [this] { cmdSettingClick(); });

  // Starts the update road of the version service, which binds it.
  cmd_GetFile = new QPushButton(form);
  cmd_GetFile->setObjectName(QStringLiteral("cmd_GetFile"));
  cmd_GetFile->hide();
}

void Tconv::BuildMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("File(&F)"));
  mnuFile->addSeparator();
  mnuSetting = mnuFile->addAction(QStringLiteral("Setting(&S)"), this, [this] { mnuSettingClick(); });
  mnuExit = mnuFile->addAction(QStringLiteral("End(&X)"), this, [this] { mnuExitClick(); });

  mnuDisplay = menuBar()->addMenu(QStringLiteral("Display(&L)"));
  mnuNews = mnuDisplay->addAction(QStringLiteral("News(&N)"), this, [this] { mnuNewsClick(); });
  mnuOpenFolder = mnuDisplay->addMenu(QStringLiteral("Open Folder(&O)"));
  mnuOpenThis = mnuOpenFolder->addAction(QStringLiteral("This Soft working(&C)"), this,
                                         [this] { mnuOpenThisClick(); });

  mnuHelp = menuBar()->addMenu(QStringLiteral("Help (&H)"));
  mnuUSE = mnuHelp->addAction(QStringLiteral("How to use (&T)"), this, [this] { mnuUSEClick(); });
  mnuVER = mnuHelp->addAction(QStringLiteral("Version (&V)"), this, [this] { mnuVERClick(); });
  mnuReadMe = mnuHelp->addAction(QStringLiteral("ReadMe(&R)"), this, [this] { mnuReadMeClick(); });
}

// The main window's boxes are views of the settings model, as the settings
// window's are: a click writes the model, and a change of the model (the
// settings file loaded) sets the box, which runs the box's handler as a click
// would.
void Tconv::BindSettings() {
  SettingsModel* model = services_.settings;
  const std::pair<QCheckBox*, const char*> boxes[] = {{chk_FrontMost, "chk_FrontMost"},
                                                      {chkBackup, "chkBackup"},
                                                      {chkNextStart, "chkNextStart"},
                                                      {chkCommentCompression,
                                                       "chkCommentCompression"}};
  for (const auto& [box, name] : boxes) {
    box->setChecked(model->Checked(name));
    connect(box, &QCheckBox::toggled, this, [this, model, name = std::string(name)](bool on) {
      model->SetChecked(name, on);
      if (name == "chk_FrontMost") chk_FrontMostClick();
      else if (name == "chkBackup") chkBackupClick();
      else if (name == "chkNextStart") chkNextStartClick();
    });
  }
  chkBackupClick();
  settingsObserver_ = model->AddObserver([this, model](std::string_view control,
                                                       SettingsModel::Change change) {
    if (change != SettingsModel::Change::Value) return;
    if (control == "Left" || control == "Top") {
      if (!storingPosition_) move(model->Int("Left"), model->Int("Top"));
      return;
    }
    for (QCheckBox* box : {chk_FrontMost, chkBackup, chkNextStart, chkCommentCompression}) {
      if (box->objectName().toStdString() == control) box->setChecked(model->Checked(control));
    }
  });
}

void Tconv::FormCreate() {
  const Position start = MainWindowStartPosition(services_.desktop->WorkArea(), kWidth, kHeight);
  move(start.left, start.top);
  StorePosition(pos());

  DelChar = ChrStr(127);
  BsChar = ChrStr(8);
  MarkOpen = "<" + DelChar + "<";
  MarkClose = ">" + DelChar + ">";
  MarkOpenAt = "<" + DelChar + "@";
  MarkCloseAt = "@" + DelChar + ">";

  // The folder of the system's programs; the desktop tools themselves are
  // found on PATH by the launcher.
  WinDir = "/usr/bin/";
  UnlhaLoaded = services_.loadUnlha && services_.loadUnlha(unlha) ? 1 : 0;

  memDragDrop->setPlainText(DropAreaText());
  engine.IsIndicator = false;
  engine.NoStart = false;
  engine.NoOnCalculate = false;
  engine.NoInit = false;
  engine.NoOnTick = false;
  engine.NoDeinit = false;

  ProgramVersion = ProgramVersionFromText(services_.fileVersionText);
  VersionText = VersionTextOf(ProgramVersion);
  setWindowTitle(QString::fromUtf8("\"EA(mq4)\" Lumivex Change　" +
                                   VersionCaptionSuffix(VersionText)));

  // The blank page whose removal from outside closes the program.
  AppDir = services_.appDir;
  TempHtmPath = AppDir + "temp.htm";
  RemoveFile(TempHtmPath);
  tempHtmWritten_ = ReplaceFileContents(TempHtmPath, kBlankPage, ReadOnlyTargets::Replace);

  RemoveFile(AppDir + "DebugLog.txt");
}

// The settings file's position is applied before the native window exists, so
// the window manager places the window's frame at it, the way the position was
// saved (frame included). Moved once the window exists but before the window
// manager has framed it, the same numbers would place the inside of the window
// there instead, and every restart would shift the window by its title bar.
void Tconv::setVisible(bool visible) {
  if (visible && !shown_) {
    shown_ = true;
    FormShow();
  }
  QMainWindow::setVisible(visible);
}

void Tconv::StorePosition(const QPoint& at) {
  storingPosition_ = true;
  services_.settings->SetInt("Left", at.x());
  services_.settings->SetInt("Top", at.y());
  storingPosition_ = false;
}

void Tconv::FormShow() {
  AppDir = services_.appDir;
  // Esc held while the window appears starts with the form defaults.
  if (!services_.keys->EscHeld())
    LoadSettings(*services_.settings, AppDir + std::string(SettingsFileName),
                 services_.messages);
}

void Tconv::tmrStartTimer() {
  tmrStart.SetEnabled(false);
  LoadStateIni(State, AppDir, ProgramVersion, services_.messages);

  // The window as it stands now: the settings file or the user may have moved it.
  if (!services_.keys->CtrlHeld()) PullTitleBarOntoScreen();
  const int left = ClampLeftToWorkArea(services_.desktop->WorkArea(), x(), y(), kWidth,
                                       services_.keys->CtrlHeld());
  if (left != x()) move(left, y());

  const std::string resetMarker = AppDir + "IniReset.info";
  if (IntVal(State.ReadMe) == 0) {
    State.ReadMe = "1";
    SaveStateIni(State, AppDir);
    mnuReadMeClick();
  } else if (FileExists(resetMarker)) {
    RemoveFile(resetMarker);
    State.flgNotNews = "0";
    State.ReadMe = "1";
    SaveStateIni(State, AppDir);
    mnuReadMeClick();
  }
}

void Tconv::PullTitleBarOntoScreen() {
  const QRect frame = frameGeometry();
  const int titleBar = geometry().top() - frame.top();
  const Position at = lumivex::PullTitleBarOntoScreen(
      {frame.x(), frame.y(), frame.width(), frame.height()}, titleBar,
      services_.desktop->ScreenAreas());
  if (at.left != x() || at.top != y()) move(at.left, at.top);
}

void Tconv::closeEvent(QCloseEvent* event) {
  // The file being written must never be cut off: a close asked for during a
  // conversion runs when the conversion has finished.
  if (Busy()) {
    closePending_ = true;
    event->ignore();
    return;
  }
  if (!closeSequenceRan_) {
    closeSequenceRan_ = true;
    FormCloseQuery();
    FormClose();
    FormDestroy();
  }
  event->accept();
  emit closed();
}

void Tconv::FormCloseQuery() {
  // The version and news checks and every page fetch end here, before the
  // state file is written; none starts afterwards.
  StopOnlineServices();
}

void Tconv::FormClose() {
  RemoveFile(TempHtmPath);
  RemoveFile(VersionHtmPath);

  SettingsModel& model = *services_.settings;
  StorePosition(pos());
  const std::string settingsPath = AppDir + std::string(SettingsFileName);
  if (model.Checked("chkNextStart"))
    SaveSettings(model, settingsPath);
  else
    RemoveFile(settingsPath);

  SaveStateIni(State, AppDir);
}

void Tconv::FormDestroy() {
  // Never during the update road: a close asked for then waits for its end.
  FreeUnlha(unlha);
  UnlhaLoaded = 0;
}

void Tconv::CloseIfPending() {
  if (closePending_ && !Busy()) {
    closePending_ = false;
    close();
  }
}

// ---- progress -------------------------------------------------------------

void Tconv::SetVisible(bool visible) { ProgressBar1->setVisible(visible); }
void Tconv::SetMax(int max) { ProgressBar1->setMaximum(max); }
void Tconv::SetPosition(int position) { ProgressBar1->setValue(position); }

void Tconv::Refresh() {
  ProgressBar1->repaint();
  QCoreApplication::processEvents();
}

void Tconv::HideLater() { tmrProgressBar1VisibleSet.SetEnabled(true); }

// ---- file intake ----------------------------------------------------------

bool Tconv::ConvertOne(const std::string& path) {
  if (services_.convertFile) return services_.convertFile(engine, path);
  return ConvertFile(engine, path);
}

void Tconv::cmd1FileClick() {
  if (Busy()) return;
  CloseSplash();
  tmrClose.SetEnabled(false);
  tmrShift.SetEnabled(false);
  tmrNewsShow.SetEnabled(false);
  tmrNewsCheck.SetEnabled(false);

  OpenFileRequest request;
  request.defaultExt = "MQ4";
  request.fileName = "*.mq4";
  request.filter = "MQL files (*.mq4)|*.MQ4";
  const std::optional<std::string> name = services_.fileDialog->OpenFile(request);
  intake_.ConvertChosenFile(name, request.fileName);

  // tmrClose and the news timers stay off for good once the dialog was used.
  tmrShift.SetEnabled(true);
  CloseIfPending();
}

void Tconv::DropFiles(const std::vector<std::string>& names, bool onDropArea) {
  intake_.ConvertDroppedFiles(names, onDropArea);
  CloseIfPending();
}

bool Tconv::OnDropArea(const QPoint& windowPos) const {
  return memDragDrop->rect().contains(memDragDrop->mapFrom(this, windowPos));
}

void Tconv::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tconv::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tconv::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  // A drop while a road converts is ignored entirely.
  if (Busy()) return;
  std::vector<std::string> names;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) names.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  }
  const bool onDropArea = OnDropArea(event->position().toPoint());
  // The drop is finished for the sender first; the files convert afterwards.
  QMetaObject::invokeMethod(
      this, [this, names = std::move(names), onDropArea] { DropFiles(names, onDropArea); },
      Qt::QueuedConnection);
}

void Tconv::ShowResult(const ResultMessage& result) {
  FlashControl(result.colour, memDragDrop);
  if (services_.messages) services_.messages->Show(result.text, result.caption, MessageButtons::Ok);
}

void Tconv::FlashControl(unsigned colour, QWidget* control) {
  auto wait = [this](int ms) {
    if (services_.sleepMs)
      services_.sleepMs(ms);
    else
      QThread::msleep(static_cast<unsigned long>(ms));
  };
  const QPalette remembered = control->palette();
  QPalette flash = remembered;
  flash.setColor(QPalette::Base, DesktopColour(colour));
  flash.setColor(QPalette::Window, DesktopColour(colour));
  for (int i = 0; i < 2; ++i) {
    control->setPalette(flash);
    control->repaint();
    wait(400);
    control->setPalette(remembered);
    control->repaint();
    wait(200);
  }
  control->setPalette(remembered);
  control->repaint();
  control->setFocus();
}

// ---- menus and small handlers ---------------------------------------------

void Tconv::CloseSplash() {
  if (onCloseSplash) onCloseSplash();
}

void Tconv::mnuSettingClick() {
  if (Setting) Setting->show();
  CloseSplash();
}

void Tconv::cmdSettingClick() {
  if (Setting) Setting->setVisible(!Setting->isVisible());
  CloseSplash();
}

void Tconv::mnuExitClick() { close(); }

void Tconv::mnuNewsClick() {
  NewsAsked = true;
  tmrNewsCheck.SetInterval(1000);
  tmrNewsCheck.SetEnabled(false);
  tmrNewsCheck.SetEnabled(true);
}

void Tconv::mnuOpenThisClick() {
  CloseSplash();
  std::string folder = AppDir;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  services_.desktop->OpenFolder(folder);
  QCoreApplication::processEvents();
}

void Tconv::mnuVERClick() {
  CloseSplash();
  VersionHtmPath = VersionPagePath(AppDir);
  if (!frmVersion) return;
  try {
    QCoreApplication::processEvents();
    frmVersion->ShowVersion(AppDir, VersionText);
  } catch (const std::exception& e) {
    if (services_.messages) services_.messages->Show(e.what(), kApplicationTitle, MessageButtons::Ok);
    frmVersion->show();
  }
}

void Tconv::mnuReadMeClick() {
  CloseSplash();
  for (const std::string& readMe : {AppDir + "ReadMe.txt", AppDir + "help/ReadMe.txt"}) {
    if (FileExists(readMe)) {
      services_.desktop->OpenTextFile(readMe);
      QCoreApplication::processEvents();
      return;
    }
  }
}

void Tconv::mnuUSEClick() {
  CloseSplash();
  // The help page ships beside the program; without it there is no page to
  // open, and no address elsewhere stands in for it.
  const std::string local = AppDir + "help/index.htm";
  if (!FileExists(local)) return;
  // A file URL, blanks as "%20".
  services_.desktop->OpenUrl(
      QUrl::fromLocalFile(QFile::decodeName(local.c_str())).toEncoded().toStdString());
}

void Tconv::mousePressEvent(QMouseEvent* event) {
  CloseSplash();
  QMainWindow::mousePressEvent(event);
}

void Tconv::chkNextStartClick() { CloseSplash(); }

void Tconv::chkBackupClick() {
  QFont f = chkBackup->font();
  const bool on = chkBackup->isChecked();
  f.setBold(!on);
  chkBackup->setFont(f);
  SetTextColour(chkBackup, DesktopColour(on ? kColourBlue : kColourRed));
  CloseSplash();
}

void Tconv::chk_FrontMostClick() { SetTopmost(this, chk_FrontMost->isChecked()); }

void Tconv::tmrCloseTimer() {
  // Only a page that was there and has gone closes the program; a folder that
  // took no page keeps it open.
  if (tempHtmWritten_ && !FileExists(TempHtmPath)) close();
}

void Tconv::tmrShiftTimer() {
  if (memDragDrop->toPlainText() != DropAreaText()) memDragDrop->setPlainText(DropAreaText());
  const bool both = services_.keys->ShiftHeld() && services_.keys->CtrlHeld();
  SetDropAreaColour(DesktopColour(both ? kColourRed : kColourGreen));
}

void Tconv::SetDropAreaColour(const QColor& textColour) {
  QPalette p = memDragDrop->palette();
  if (p.color(QPalette::Text) == textColour) return;
  p.setColor(QPalette::Text, textColour);
  memDragDrop->setPalette(p);
}

void Tconv::tmrProgressBar1VisibleSetTimer() {
  tmrProgressBar1VisibleSet.SetEnabled(false);
  ProgressBar1->hide();
}

}  // namespace lumivex
