// The open dialog's typed names and the message boxes, on the offscreen platform.
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/dialogs_qt.h"
#include "support/temp_dir.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[13] = "dialogs_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

TEST(FindTypedFile, NamesWithoutExtensionFindEitherCase) {
  testing::TempDir dir;
  dir.Touch("lower.mq4");
  dir.Touch("upper.MQ4");
  dir.Touch("both.mq4");
  dir.Touch("both.MQ4");
  dir.Touch("plain");
  dir.Touch("mixed.Mq4");
  fs::create_directories(dir / "folder");
  fs::create_directories(dir / "dir.mq4");
  const std::string d = dir.path().string() + "/";
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"lower", d + "lower.mq4"},
      {"upper", d + "upper.MQ4"},
      {"both", d + "both.MQ4"},       // the default extension as given comes first
      {"plain", d + "plain"},         // an existing file is itself
      {"lower.mq4", d + "lower.mq4"},
      {"upper.mq4", std::nullopt},    // a typed extension is kept
      {"mixed", std::nullopt},        // only the given, lower and upper cases
      {"missing", std::nullopt},
      {"folder", std::nullopt},       // a folder is no file, and gets no extension
      {"dir", std::nullopt},          // nor does a folder with the extension count
  };
  for (const auto& [typed, found] : cases) EXPECT_EQ(FindTypedFile(d + typed, "MQ4"), found) << typed;
  EXPECT_EQ(FindTypedFile(d + "lower", ""), std::nullopt);
  EXPECT_EQ(FindTypedFile("", "MQ4"), std::nullopt);
}

// Types name into the running open dialog and presses its accept; a box or dialog still open
// afterwards (a name the dialog judged missing) is closed, so the test never waits on it.
std::optional<std::string> TypeIntoOpenDialog(const OpenFileRequest& request, const QString& name) {
  QTimer::singleShot(0, [name] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  });
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->reject();
  });
  closer.start(300);
  return QtFileDialog().OpenFile(request);
}

TEST(OpenDialog, ATypedNameWithoutExtensionFindsItsFile) {
  testing::TempDir dir;
  dir.Touch("name.mq4");
  dir.Touch("other.MQ4");
  OpenFileRequest request{"", "MQ4", "*.mq4", "MQL files (*.mq4)|*.MQ4", dir.path().string()};
  EXPECT_EQ(TypeIntoOpenDialog(request, "name"), (dir / "name.mq4").string());
  EXPECT_EQ(TypeIntoOpenDialog(request, "other"), (dir / "other.MQ4").string());
  EXPECT_EQ(TypeIntoOpenDialog(request, "name.mq4"), (dir / "name.mq4").string());
  EXPECT_EQ(TypeIntoOpenDialog(request, "missing"), std::nullopt);
}

TEST(MessageBox, WideEnoughForItsCaptionWithOnlyAClose) {
  for (const char* caption : {"completed.？", "This is not EA. ", "dealings EA. ？", "init()",
                              "A caption far longer than the text of the box it names"}) {
    const auto box = NewMessageBox(nullptr, "completed.！", caption, MessageButtons::Ok);
    box->show();
    QFont title = box->font();
    title.setBold(true);
    // The caption in a bold face, and room for an icon, the close button and borders.
    const int needed = QFontMetrics(title).horizontalAdvance(QString::fromUtf8(caption)) + 60;
    EXPECT_GE(box->width(), needed) << caption;
    const Qt::WindowFlags flags = box->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint) || flags.testFlag(Qt::WindowMinimizeButtonHint));
    box->hide();
  }
}

}  // namespace
}  // namespace lumivex
