// The program: one instance per program path, then the windows and the
// message loop until the main window closes.
#include <QApplication>
#include <QProgressBar>
#include <exception>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/news_window.h"
#include "app/setting_window.h"
#include "app/splash_window.h"
#include "app/version_window.h"
#include "online/archiver.h"
#include "online/http.h"
#include "online/site.h"
#include "settings/settings_model.h"
#include "platform/clock_qt.h"
#include "platform/desktop_qt.h"
#include "platform/dialogs_qt.h"
#include "platform/key_state_qt.h"
#include "platform/program_info.h"
#include "platform/single_instance.h"

namespace {

void RunWindows(QApplication& app) {
  using namespace lumivex;
  SettingsModel settings;
  QtClock clock;
  SystemKeyState keys;
  SystemDesktop desktop;
  MessageBoxes messages;
  QtFileDialog fileDialog;

  TconvServices services;
  services.appDir = ProgramFolder();
  services.fileVersionText = GetFileVersionText();
  services.settings = &settings;
  services.clock = &clock;
  services.keys = &keys;
  services.desktop = &desktop;
  services.messages = &messages;
  services.fileDialog = &fileDialog;
  services.loadUnlha = [](UnlhaBinding& binding) { return LoadUnlha(binding, ProgramFolder()); };
  services.access = SiteAccess{ConfiguredSite(), {}};

  // Creation order: the main window, the splash, the About window, the
  // settings window, the news window.
  auto conv = std::make_unique<Tconv>(services);
  messages.SetOwner(conv.get());
  fileDialog.SetOwner(conv.get());
  auto splash = std::make_unique<TSplash>(clock, conv->ProgramVersion,
                                          [&desktop] { return desktop.WorkArea(); });
  conv->SetSplashWindow(splash.get());
  auto frmVersion = std::make_unique<TfrmVersion>(
      nullptr, nullptr, [&desktop] { return desktop.WorkArea(); });
  auto setting = std::make_unique<TSetting>(settings, nullptr,
                                            [&desktop] { return desktop.WorkArea(); });
  TnewsServices newsServices;
  newsServices.clock = &clock;
  newsServices.messages = &messages;
  newsServices.launcher = &desktop;
  newsServices.workArea = [&desktop] { return desktop.WorkArea(); };
  newsServices.site = services.access.site;
  auto news = std::make_unique<Tnews>(newsServices);
  conv->SetVersionWindow(frmVersion.get());
  conv->SetSettingWindow(setting.get());
  conv->SetNewsWindow(news.get());
  splash->ProgressBar1->setValue(splash->ProgressBar1->value() + 1);
  splash->ProgressBar1->repaint();

  QObject::connect(conv.get(), &Tconv::closed, &app, [&] {
    setting->hide();
    frmVersion->hide();
    news->hide();
    splash->hide();
    QCoreApplication::quit();
  });
  conv->show();
  app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lumivex;
  // libcurl's global state, set up before any thread starts and released
  // after the windows (and every online job) are gone.
  NetLibrary net;
  // Before any window: a second start of the same program file ends here.
  SingleInstanceLock lock(ProgramFilePath().string());
  const LockResult locked = lock.Acquire();
  if (locked == LockResult::HeldByOther) return ExitCodeForLock(locked);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QApplication::setFont(SettingsWindowFont());
  // The other windows may stay open; the program ends with the main window.
  QApplication::setQuitOnLastWindowClosed(false);
  try {
    RunWindows(app);
  } catch (const std::exception& e) {
    MessageBoxes().Show(e.what(), kApplicationTitle, MessageButtons::Ok);
  } catch (...) {
    MessageBoxes().Show("", kApplicationTitle, MessageButtons::Ok);
  }
  return 0;
}
