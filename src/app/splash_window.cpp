#include "app/splash_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShowEvent>
#include <cmath>

#include "app/colours.h"
#include "app/setting_window.h"
#include "platform/program_info.h"
#include "text/text.h"

namespace lumivex {

namespace {

// Class-library colour values (red in the low byte).
constexpr unsigned kVersionShownColour = 0x9900FF;
constexpr unsigned kBarColour = 0xFF00FF;

constexpr std::string_view kLatestVersionMark = "The latest version";

void SetTextColour(QWidget* w, unsigned colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, DesktopColour(colour));
  w->setPalette(p);
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, unsigned colour,
                 QRect geometry, int pixelSize = 0) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  SetTextColour(label, colour);
  label->setGeometry(geometry);
  if (pixelSize > 0) {
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    f.setBold(true);
    label->setFont(f);
  }
  // A click on a label closes the window like a click on the window itself.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

QString Utf8(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

int PosMbcs(std::string_view needle, std::string_view text) { return PosNth(0, needle, text); }

std::string SplashVersionCaption(float programVersion) {
  const std::string value = FloatToText(static_cast<double>(programVersion));
  const std::string s = FormatNumber("##.###", value);
  if (s.size() <= 3) return "Ver. " + FormatNumber("##.#", value) + "0";
  if (s[4] != '0') return "Ver. " + FormatNumber("##.###", value);
  return "Ver. " + FormatNumber("##.##", value);
}

Position SplashPosition(const Rect& workArea, int width, int height) {
  const double top = std::trunc(static_cast<double>(workArea.height - height) * (1.0 / 3.0));
  const double left = std::trunc(static_cast<double>(workArea.width - width) * 0.5);
  return {workArea.left + static_cast<int>(left), workArea.top + static_cast<int>(top)};
}

TSplash::TSplash(Clock& clock, float programVersion, std::function<Rect()> workArea,
                 QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::SplashScreen),
      tmr_SetFocus(clock, 600, true),
      tmr_FLASH_ON(clock, 100, true),
      tmr_FLASH_OFF(clock, 400, true),
      Timer1(clock, 150, true),
      tmrVerCheck(clock, 4000, true),
      tmrClose(clock, 17000, true),
      programVersion_(programVersion),
      workArea_(std::move(workArea)) {
  setObjectName(QStringLiteral("Splash"));
  BuildForm();
  tmr_SetFocus.SetOnTimer([this] { tmr_SetFocusTimer(); });
  tmr_FLASH_ON.SetOnTimer([this] { tmr_FLASH_ONTimer(); });
  tmr_FLASH_OFF.SetOnTimer([this] { tmr_FLASH_OFFTimer(); });
  Timer1.SetOnTimer([this] { Timer1Timer(); });
  tmrVerCheck.SetOnTimer([this] { tmrVerCheckTimer(); });
  tmrClose.SetOnTimer([this] { tmrCloseTimer(); });
  FormCreate();
}

TSplash::~TSplash() = default;

void TSplash::BuildForm() {
  setFixedSize(kWidth, kHeight);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, DesktopColour(kColourLime));
  setPalette(pal);
  setAutoFillBackground(true);

  Label4 = NewLabel(this, "Label4", QStringLiteral("The source before MQL4 Build509"), kColourBlue,
                    {24, 16, 400, 24}, 18);
  Label1 = NewLabel(this, "Label1", QStringLiteral("To Build600 or more"), kColourYellow,
                    {24, 52, 400, 26}, 20);
  Label5 = NewLabel(this, "Label5", QStringLiteral("One conversion. "), kColourCream, {24, 88, 400, 26},
                    20);
  Label2 = NewLabel(this, "Label2", QStringLiteral("Lumivex"), kColourFuchsia, {24, 126, 190, 40}, 34);
  Label6 = NewLabel(this, "Label6", QStringLiteral(" !!"), kColourBlue, {214, 126, 80, 40}, 34);
  Label3 = NewLabel(this, "Label3", QStringLiteral("Converter !!"), kColourRed, {24, 172, 400, 40}, 30);
  lbl_Ver = NewLabel(this, "lbl_Ver", QString(), kColourBlue, {280, 226, 150, 24}, 18);
  lbl_Ver->hide();
  lbl_CheckVer = NewLabel(this, "lbl_CheckVer", QString(), kColourRed, {8, 272, 420, 18});

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(0, kHeight - 8, kWidth, 8);
  ProgressBar1->setRange(0, 6);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TSplash::Restart(Timer& timer) {
  timer.SetEnabled(false);
  timer.SetEnabled(true);
}

void TSplash::FormCreate() {
  IsShown = false;
  QPalette bar = ProgressBar1->palette();
  bar.setColor(QPalette::Highlight, DesktopColour(kBarColour));
  ProgressBar1->setPalette(bar);
  const Position at = SplashPosition(workArea_(), width(), height());
  move(at.left, at.top);
  lbl_Ver->setText(Utf8(SplashVersionCaption(programVersion_)));
}

void TSplash::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) Form_Load();
}

void TSplash::Form_Load() { IsShown = true; }

void TSplash::tmr_SetFocusTimer() {
  if (!IsShown) return;
  activateWindow();
  setFocus();
  tmr_SetFocus.SetEnabled(false);
}

void TSplash::tmr_FLASH_ONTimer() {
  lbl_Ver->setText(Utf8(SplashVersionCaption(programVersion_)));
  tmr_FLASH_ON.SetEnabled(false);
  Restart(tmr_FLASH_OFF);
  lbl_Ver->repaint();
}

void TSplash::tmr_FLASH_OFFTimer() {
  lbl_Ver->clear();
  tmr_FLASH_OFF.SetEnabled(false);
  Restart(tmr_FLASH_ON);
  const std::string status = lbl_CheckVer->text().toStdString();
  if (!status.empty() && PosMbcs(kLatestVersionMark, status) == 0)
    lbl_CheckVer->setText(lbl_CheckVer->text() + QStringLiteral(". "));
  ProgressBar1->setValue(std::min(ProgressBar1->value() + 1, ProgressBar1->maximum()));
}

void TSplash::Timer1Timer() {
  ++Timer1Ticks;
  if (Timer1Ticks <= 4) return;
  lbl_Ver->show();
  lbl_Ver->repaint();
  SetTextColour(Label3, kVersionShownColour);
  Label3->repaint();
  Timer1.SetEnabled(false);
}

void TSplash::tmrVerCheckTimer() {
  tmrVerCheck.SetEnabled(false);
  if (onVersionCheck) onVersionCheck();
  tmrClose.SetEnabled(true);
}

void TSplash::tmrCloseTimer() { CloseRequest(); }

void TSplash::CloseRequest() {
  FormCloseQuery();
  Form_UnLoad();
  hide();
}

void TSplash::FormCloseQuery() {
  // The version check this window started is left to finish: its result
  // still reaches the main window, and the program's close sequence stops it
  // when the program ends first.
}

void TSplash::Form_UnLoad() {
  IsShown = false;
  StopTimers();
  if (onClosed) onClosed();
}

void TSplash::StopTimers() {
  for (Timer* t : {&tmr_FLASH_ON, &tmr_FLASH_OFF, &Timer1, &tmr_SetFocus, &tmrClose, &tmrVerCheck})
    t->SetEnabled(false);
}

void TSplash::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  Form_UnLoad();
  event->accept();
}

void TSplash::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  CloseRequest();
}

}  // namespace lumivex
