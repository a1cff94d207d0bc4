#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "platform/desktop_qt.h"
#include "platform/dialogs.h"
#include "support/temp_dir.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;

TEST(ToolLocator, EditorsInListOrderElseXdgOpen) {
  testing::TempDir dir;
  auto executable = [&](const char* name) {
    const fs::path file = dir.Touch(name, "#!/bin/sh\n");
    fs::permissions(file, fs::perms::owner_all);
    return file;
  };
  const fs::path open = executable("a/xdg-open"), mousepad = executable("a/mousepad");
  const fs::path gedit = executable("b/gedit");
  dir.Touch("c/gedit");                     // not executable
  fs::create_directories(dir / "c/kate");  // a folder
  const std::string a = (dir / "a").string(), b = (dir / "b").string(), c = (dir / "c").string();
  EXPECT_EQ(FindTextEditor(c + "::" + a + ":" + b), gedit);  // the list's order, not the path's
  EXPECT_EQ(FindTextEditor(c + ":" + a), mousepad);
  fs::remove(mousepad);
  EXPECT_EQ(FindTextEditor(a), open);
  EXPECT_EQ(FindTextEditor(c), std::nullopt);
  EXPECT_EQ(FindOnPath(gedit.string(), ""), gedit);  // a name with "/" is taken as it is
}

TEST(QtFilterFromWindows, PairsBecomeQtFilters) {
  EXPECT_EQ(QtFilterFromWindows("MQL files (*.mq4)|*.MQ4"), "MQL files (*.mq4 *.MQ4)");
  EXPECT_EQ(QtFilterFromWindows("Text|*.txt; *.log|All (*.*)|*.*"), "Text (*.txt *.log);;All (*.*)");
}

TEST(Screen, TopmostKeepsAShownWindowShown) {
  int argc = 1;
  char name[] = "desktop_test";
  char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  EXPECT_GT(WorkArea().width, 0);
  QWidget shown;
  shown.show();
  for (bool on : {true, false}) {
    SetTopmost(&shown, on);
    EXPECT_TRUE(shown.isVisible());  // setWindowFlags would have hidden it
    EXPECT_EQ(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
  }
}

}  // namespace
}  // namespace lumivex
