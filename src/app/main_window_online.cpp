// The main window's online part: the news and version timers, the results
// of the checks applied on the GUI thread, the update question and road, and
// the end of every online job at close.
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/download_bar.h"
#include "app/main_window.h"
#include "app/news_window.h"
#include "app/splash_window.h"
#include "online/update.h"

namespace lumivex {

namespace {

constexpr int kNewsCheckIntervalMs = 30 * 60 * 1000;
// Above this the news check was started by its own rhythm, not by the menu.
constexpr int kAskedNewsIntervalMs = 2000;

}  // namespace

void Tconv::BindOnlineTimers() {
  // Job results are applied on this window's thread, in the order they come.
  jobs_ = std::make_unique<JobRegistry>([this](std::function<void()> fn) {
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
  });
  tmrNewsCheck.SetOnTimer([this] { tmrNewsCheckTimer(); });
  tmrNewNewsQS.SetOnTimer([this] { tmrNewNewsQSTimer(); });
  tmrNewsShow.SetOnTimer([this] { tmrNewsShowTimer(); });
  tmrVerCheck2.SetOnTimer([this] { tmrVerCheck2Timer(); });
  tmrNewVerDLQS.SetOnTimer([this] { tmrNewVerDLQSTimer(); });
  tmrShowNewVersion.SetOnTimer([this] { tmrShowNewVersionTimer(); });
  connect(cmd_GetFile, &QPushButton::clicked, this, [this] { cmd_GetFileClick(); });
}

void Tconv::SetSplashWindow(TSplash* splash) {
  Splash = splash;
  // The splash empties the archive address when it is created.
  DownloadUrl.clear();
  onCloseSplash = [this] {
    if (Splash) Splash->CloseRequest();
  };
  splash->onVersionCheck = [this] { StartVersionCheckJob(JobKind::SplashVersionCheck); };
  splash->onClosed = [this] {
    if (!closeSequenceRan_) tmrVerCheck2.SetEnabled(true);
  };
}

void Tconv::SetNewsWindow(Tnews* window) {
  news = window;
  window->newsText = [this] { return NewsText; };
  window->fetchPage = [this](const std::string& newsId, unsigned long long ticket) {
    QPointer<Tnews> target = news;
    StartNewsPageFetch(*jobs_, services_.access, newsId, ticket, [target](NewsPageResult result) {
      if (target) target->PageArrived(result);
    });
  };
  window->onClosed = [this](bool noVisible) {
    State.flgNotNews = noVisible ? "1" : "0";
    SaveStateIni(State, AppDir);
  };
}

// ---- news -----------------------------------------------------------------

void Tconv::tmrNewsCheckTimer() {
  if (tmrNewsCheck.Interval() > kAskedNewsIntervalMs) NewsAsked = false;
  tmrNewsCheck.SetEnabled(false);
  tmrNewsCheck.SetInterval(kNewsCheckIntervalMs);
  if (StartNewsCheck(*jobs_, services_.access, [this](NewsCheckResult result) {
        waitCursor_.End();
        ApplyNewsCheck(result);
      }))
    waitCursor_.Begin();
  tmrNewsCheck.SetEnabled(true);
}

void Tconv::ApplyNewsCheck(const NewsCheckResult& result) {
  const NewsFields current{NewsText, State.Newision, State.NewisionNumber, State.flgNotNews,
                           NewsAsked};
  const NewsDecision d = DecideNews(result, current);
  NewsText = d.fields.NewsText;
  State.Newision = d.fields.Newision;
  State.NewisionNumber = d.fields.NewisionNumber;
  if (d.enableNoNewsTimer) tmrNewNewsQS.SetEnabled(true);
  if (d.enableShowTimer) tmrNewsShow.SetEnabled(true);
  if (d.saveState) SaveStateIni(State, AppDir);
}

void Tconv::tmrNewNewsQSTimer() {
  tmrNewNewsQS.SetEnabled(false);
  if (NewsAsked && services_.messages)
    services_.messages->Show(kNoNewsMessage, kApplicationTitle, MessageButtons::Ok);
}

void Tconv::tmrNewsShowTimer() {
  tmrNewsShow.SetEnabled(false);
  if (news) news->show();
}

// ---- versions -------------------------------------------------------------

void Tconv::StartVersionCheckJob(JobKind kind) {
  if (StartVersionCheck(*jobs_, kind, services_.access, [this](VersionCheckResult result) {
        waitCursor_.End();
        ApplyVersionCheck(result);
      }))
    waitCursor_.Begin();
}

void Tconv::ApplyVersionCheck(const VersionCheckResult& result) {
  const bool splashShown = Splash && Splash->IsShown;
  const VersionDecision d =
      DecideVersion(result, {ProgramVersion, LatestVersionText, DownloadUrl, splashShown});
  auto label = [this](std::string_view text) {
    if (Splash)
      Splash->lbl_CheckVer->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
  if (d.showCheckingLabel) label(kCheckingVersionLabel);
  LatestVersionText = d.LatestVersionText;
  DownloadUrl = d.DownloadUrl;
  if (d.closeSplash && Splash) Splash->tmrClose.SetEnabled(true);
  if (d.offerUpdate)
    tmrNewVerDLQS.SetEnabled(true);
  else if (d.showLatestLabel)
    label(kLatestVersionLabel);
  else if (d.showLatestMessage)
    tmrShowNewVersion.SetEnabled(true);
}

void Tconv::tmrVerCheck2Timer() {
  tmrVerCheck2.SetEnabled(false);
  VerAsked = false;
  StartVersionCheckJob(JobKind::VersionCheck);
  tmrVerCheck2.SetEnabled(true);
}

void Tconv::tmrShowNewVersionTimer() {
  tmrShowNewVersion.SetEnabled(false);
  if (VerAsked && services_.messages)
    services_.messages->Show(kLatestVersionMessage, kApplicationTitle, MessageButtons::Ok);
}

bool Tconv::UpdateMustWait() const {
  return Busy() || confirming_ || QApplication::activeModalWidget() != nullptr;
}

void Tconv::tmrNewVerDLQSTimer() {
  // While a conversion, a dialog or the road holds the user, the timer stays
  // on and asks again a second later: one question at a time, none lost.
  if (UpdateMustWait()) return;
  tmrNewVerDLQS.SetEnabled(false);
  if (!services_.messages) return;
  confirming_ = true;
  const MessageButton answer =
      services_.messages->Show(kUpdateQuestion, kConfirmCaption, MessageButtons::YesNo);
  confirming_ = false;
  if (answer == MessageButton::Yes) cmd_GetFileClick();
}

void Tconv::cmd_GetFileClick() {
  // The window is closing or closed, or a conversion or another road runs.
  if (closeSequenceRan_ || Busy()) return;
  // The plugin may have been put beside the program since the start.
  if (!UnlhaLoaded && services_.loadUnlha) UnlhaLoaded = services_.loadUnlha(unlha) ? 1 : 0;

  UpdateRequest request;
  request.access = services_.access;
  request.programFolder = AppDir;
  request.downloadUrl = DownloadUrl;
  request.latestVersionText = LatestVersionText;
  request.unlha = &unlha;
  request.window = this;
  DownloadBar bar(ProgressBar1, [] { QCoreApplication::processEvents(); });
  request.progress = &bar;

  UpdateResult result;
  std::string failure;
  updating_ = true;
  try {
    result = RunUpdateRoad(request);
  } catch (const std::exception& e) {
    // Nothing may stay half done: the archive goes, the program stays.
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(AppDir) / kUpdateArchiveName, ec);
    ProgressBar1->hide();
    failure = e.what();
  }
  updating_ = false;

  if (failure.empty() && result.outcome == UpdateOutcome::UpdaterStarted) {
    close();
    return;
  }
  if (failure.empty()) failure = std::string(UpdateFailureText(result.outcome));
  if (services_.messages)
    services_.messages->Show(failure, kUpdateFailedCaption, MessageButtons::Ok);
  CloseIfPending();
}

// ---- close ----------------------------------------------------------------

void Tconv::StopOnlineServices() {
  if (Splash) Splash->StopTimers();
  for (Timer* t : {&tmrNewsCheck, &tmrNewNewsQS, &tmrNewsShow, &tmrVerCheck2, &tmrNewVerDLQS,
                   &tmrShowNewVersion})
    t->SetEnabled(false);
  if (jobs_) {
    StopVerThread(*jobs_);
    StopNewsThread(*jobs_);
    CloseNetHandles(*jobs_);
  }
  // The results that would have released it are dropped now.
  waitCursor_.Clear();
}

}  // namespace lumivex
