#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/desktop_qt.h"
#include "platform/dialogs_qt.h"
#include "platform/key_state_qt.h"
#include "support/temp_dir.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

QApplication& App() {
  static int argc = 1;
  static char name[] = "desktop_test";
  static char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(argc, argv);
  return app;
}

fs::path Executable(const TempDir& dir, const std::string& relative, const std::string& script = "") {
  const fs::path file = dir.Touch(relative, "#!/bin/sh\n" + script);
  fs::permissions(file, fs::perms::owner_all);
  return file;
}

TEST(ToolLocator, FindsExecutablesOnTheSearchPath) {
  TempDir dir;
  const fs::path a = Executable(dir, "a/xdg-open");
  const fs::path gedit = Executable(dir, "b/gedit");
  const fs::path mousepad = Executable(dir, "a/mousepad");
  dir.Touch("a/kate");  // not executable
  fs::create_directories(dir / "c/pluma");  // a folder, not a program
  const std::string ab = (dir / "a").string() + ":" + (dir / "b").string();

  EXPECT_EQ(FindOnPath("mousepad", ab), mousepad);
  EXPECT_EQ(FindOnPath("gedit", "::" + ab), gedit);  // empty entries skipped
  EXPECT_EQ(FindOnPath("kate", ab), std::nullopt);
  EXPECT_EQ(FindOnPath("pluma", (dir / "c").string()), std::nullopt);
  EXPECT_EQ(FindOnPath(gedit.string(), ""), gedit);  // a name with "/" is taken as it is
  EXPECT_EQ(FindOnPath("", ab), std::nullopt);

  // The editor list's order counts, not the search path's.
  EXPECT_EQ(FindTextEditor(ab), gedit);
  EXPECT_EQ(FindTextEditor((dir / "a").string()), mousepad);
  fs::remove(mousepad);
  EXPECT_EQ(FindTextEditor((dir / "a").string()), a);  // xdg-open as the last resort
  EXPECT_EQ(FindOpener(ab), a);
  EXPECT_EQ(FindTextEditor((dir / "c").string()), std::nullopt);
}

// Starts the real launcher against fake programs that write their argument
// to a file, so the test sees what would have been opened.
TEST(SystemDesktop, StartsTheFoundProgramDetached) {
  App();
  TempDir dir;
  Executable(dir, "bin/mousepad", "printf '%s' \"$1\" > \"" + (dir / "editor.out").string() + "\"\n");
  Executable(dir, "bin/xdg-open", "printf '%s' \"$1\" > \"" + (dir / "open.out").string() + "\"\n");
  const char* saved = std::getenv("PATH");
  const std::string keep = saved ? saved : "";
  ::setenv("PATH", (dir / "bin").string().c_str(), 1);

  SystemDesktop desktop;
  EXPECT_TRUE(desktop.OpenTextFile("/my folder/ReadMe.txt"));
  auto ReadWhenWritten = [](const fs::path& file) {
    QElapsedTimer waited;
    waited.start();
    std::string text;
    while (waited.elapsed() < 5000) {
      std::ifstream in(file);
      if (in && std::getline(in, text)) return text;
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return text;
  };
  EXPECT_EQ(ReadWhenWritten(dir / "editor.out"), "/my folder/ReadMe.txt");
  EXPECT_TRUE(desktop.OpenUrl("file:///my%20folder/help/index.htm"));
  EXPECT_EQ(ReadWhenWritten(dir / "open.out"), "file:///my%20folder/help/index.htm");

  ::setenv("PATH", (dir / "nothing").string().c_str(), 1);
  EXPECT_FALSE(desktop.OpenFolder("/tmp"));
  ::setenv("PATH", keep.c_str(), 1);
}

TEST(QtFilterFromWindows, PairsBecomeQtFilters) {
  const struct {
    const char* windows;
    const char* qt;
  } cases[] = {
      {"MQL files (*.mq4)|*.MQ4", "MQL files (*.mq4 *.MQ4)"},
      {"MQL files (*.mq4)|*.mq4", "MQL files (*.mq4)"},
      {"Text|*.txt;*.log|All files (*.*)|*.*", "Text (*.txt *.log);;All files (*.*)"},
      {"Sources|*.mq4; *.mqh", "Sources (*.mq4 *.mqh)"},
      {"Anything", "Anything (*)"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(QtFilterFromWindows(c.windows), c.qt) << c.windows;
}

TEST(Screen, WorkAreaAndTopmost) {
  App();
  const Rect work = WorkArea();
  EXPECT_GT(work.width, 0);
  EXPECT_GT(work.height, 0);
  EXPECT_EQ(SystemDesktop().WorkArea(), work);

  QWidget shown;
  shown.show();
  SetTopmost(&shown, true);
  EXPECT_TRUE(shown.isVisible());  // setWindowFlags would have hidden it
  EXPECT_TRUE(shown.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
  SetTopmost(&shown, false);
  EXPECT_TRUE(shown.isVisible());
  EXPECT_FALSE(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));

  QWidget hidden;  // never shown: no native window yet
  SetTopmost(&hidden, true);
  EXPECT_FALSE(hidden.isVisible());
  hidden.show();
  EXPECT_TRUE(hidden.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(SystemKeyState, NothingHeldWithoutAKeyboard) {
  App();
  SystemKeyState keys;
  if (QGuiApplication::platformName() != "xcb") {
    EXPECT_FALSE(keys.EscHeld());
  }
  EXPECT_FALSE(keys.CtrlHeld());
  EXPECT_FALSE(keys.ShiftHeld());
}

// Answers the next modal window from the event loop, so exec() returns.
template <typename Answer>
void AnswerModal(Answer answer) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      answer(modal);
    }
  });
  poll->start(10);
}

TEST(MessageBoxes, ShowsTextAndMapsButtons) {
  App();
  const struct {
    MessageButtons buttons;
    QMessageBox::StandardButton press;
    MessageButton expected;
  } cases[] = {
      {MessageButtons::Ok, QMessageBox::Ok, MessageButton::Ok},
      {MessageButtons::OkCancel, QMessageBox::Cancel, MessageButton::Cancel},
      {MessageButtons::YesNo, QMessageBox::Yes, MessageButton::Yes},
      {MessageButtons::YesNo, QMessageBox::No, MessageButton::No},
  };
  for (const auto& c : cases) {
    QString seenText, seenCaption;
    bool topmost = false;
    AnswerModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (!box) {
        ADD_FAILURE() << "not a message box";
        modal->close();
        return;
      }
      seenText = box->text();
      seenCaption = box->windowTitle();
      topmost = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      box->button(c.press)->click();
    });
    MessageBoxes boxes;
    EXPECT_EQ(boxes.Show("Processing was completed！", "completed.", c.buttons), c.expected);
    EXPECT_EQ(seenText, QString::fromUtf8("Processing was completed！"));
    EXPECT_EQ(seenCaption, "completed.");
    EXPECT_TRUE(topmost);
  }
}

TEST(QtFileDialog, ReturnsTheChosenFileOrNothing) {
  App();
  TempDir dir;
  const fs::path file = dir.Touch("a.MQ4");
  QtFileDialog dialog;
  const OpenFileRequest request{"", "MQ4", "*.mq4", "MQL files (*.mq4)|*.MQ4", dir.path().string()};

  QStringList filters;
  AnswerModal([&](QWidget* modal) {
    auto* d = qobject_cast<QFileDialog*>(modal);
    if (!d) {
      ADD_FAILURE() << "not a file dialog";
      modal->close();
      return;
    }
    filters = d->nameFilters();
    d->selectFile(QString::fromStdString(file.string()));
    QMetaObject::invokeMethod(d, "accept");
  });
  EXPECT_EQ(dialog.OpenFile(request), file.string());
  EXPECT_EQ(filters, QStringList{"MQL files (*.mq4 *.MQ4)"});

  AnswerModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_EQ(dialog.OpenFile(request), std::nullopt);
}

TEST(RecordingFakes, AnswerFromTheirQueues) {
  RecordingMessages messages;
  messages.answers = {MessageButton::No};
  EXPECT_EQ(messages.Show("t", "c", MessageButtons::YesNo), MessageButton::No);
  EXPECT_EQ(messages.Show("t2", "c2", MessageButtons::YesNo), MessageButton::Yes);
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1], (RecordingMessages::Shown{"t2", "c2", MessageButtons::YesNo}));

  RecordingFileDialog files;
  files.answers = {std::string("/x/a.mq4")};
  OpenFileRequest r{"", "MQ4", "*.mq4", "MQL files (*.mq4)|*.MQ4", ""};
  EXPECT_EQ(files.OpenFile(r), "/x/a.mq4");
  EXPECT_EQ(files.OpenFile(r), std::nullopt);
  EXPECT_EQ(files.requests.size(), 2u);

  FakeDesktop desktop;
  desktop.launchesSucceed = false;
  EXPECT_FALSE(desktop.OpenFolder("/p"));
  EXPECT_EQ(desktop.launches, (std::vector<FakeDesktop::Launch>{{FakeDesktop::Kind::Folder, "/p"}}));
}

}  // namespace
}  // namespace lumivex
