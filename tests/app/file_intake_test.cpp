#include "app/file_intake.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/shell_link.h"
#include "support/lnk_writer.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using testing::AnsiLink;
using testing::RelativeLink;
using testing::UnicodeLink;
using testing::WriteLnk;

// ---- result rows ----------------------------------------------------------

struct Flags {
  bool ran = false, noInit = false, indicator = false, orderSelect = false;
};

Engine EngineWith(Flags f) {
  Engine e;
  e.ConverterRan = f.ran;
  e.NoInit = f.noInit;
  e.IsIndicator = f.indicator;
  e.OrderSelectFixed = f.orderSelect;
  return e;
}

TEST(ResultMessage, FirstMatchingRowWithEachRoadsTexts) {
  struct Case {
    bool outcome;
    Flags flags;
    int row;
    unsigned colour;
    const char* dialogText;
    const char* dialogCaption;
    const char* dropText;
    const char* dropCaption;
  };
  const Case cases[] = {
      {true, {true, true, true, true}, 1, kColourPurple, "completed.！", "completed.？",
       "Processing was completed！", "completed."},
      {true, {true, false, false, false}, 1, kColourLime, "completed.！", "completed.？",
       "Processing was completed！", "completed."},
      {false, {true, true, true, false}, 2, kColourRed,
       "The \" init() \" sentence is necessary for written EA. ", "No Write",
       "The \" init() \" sentence is necessary for written EA. ", "init()"},
      {false, {true, false, true, false}, 3, kColourRed, "This is indicator. ",
       "This is indicator. ", "This is an indicator. ", "This is indicator？"},
      {false, {true, false, false, true}, 4, kColourRed, "This is not dealings EA. ！",
       "This is not EA. ", "This is not in dealings EA. ！", "dealings EA. ？"},
      {false, {}, 5, kColourBlue, "There is no change. ！", "There is no change？",
       "There is no change. ！", "Preparation OK?"},
  };
  for (const Case& c : cases) {
    const Engine e = EngineWith(c.flags);
    const ResultMessage dialog = ChooseResult(Road::Dialog, c.outcome, e);
    const ResultMessage drop = ChooseResult(Road::Drop, c.outcome, e);
    SCOPED_TRACE(c.row);
    EXPECT_EQ(dialog.row, c.row);
    EXPECT_EQ(dialog.colour, c.colour);
    EXPECT_EQ(drop.colour, c.colour);
    EXPECT_EQ(dialog.text, c.dialogText);
    EXPECT_EQ(dialog.caption, c.dialogCaption);
    EXPECT_EQ(drop.text, c.dropText);
    EXPECT_EQ(drop.caption, c.dropCaption);
  }
}

// ---- dropped names --------------------------------------------------------

class DroppedNames : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("lumivex-intake-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Touch(const std::string& name) {
    const fs::path p = dir_ / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "int start() { return(0); }\r\n";
    return p.string();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // The Windows form of a name in the test folder, on drive Z: (which is "/").
  std::string Z(const std::string& name) const {
    std::string w = "Z:" + Path(name);
    for (char& c : w)
      if (c == '/') c = '\\';
    return w;
  }

  fs::path dir_;
};

TEST_F(DroppedNames, EachNameLeadsToASourceOrToNothing) {
  const std::string source = Touch("src/s.mq4");
  const std::string upper = Touch("A.MQ4");
  Touch("c.mq4.txt");
  Touch("text.lnk");
  fs::create_directories(dir_ / "folder.mq4");
  fs::create_symlink(source, dir_ / "abs.mq4");
  fs::create_symlink("src/s.mq4", dir_ / "rel_symlink");
  fs::create_symlink("loop_b", dir_ / "loop_a.mq4");
  fs::create_symlink("loop_a.mq4", dir_ / "loop_b");
  WriteLnk(dir_ / "ansi.lnk", AnsiLink(Z("src/s.mq4")));
  WriteLnk(dir_ / "unicode.LNK", UnicodeLink(Z("src/s.mq4")));
  WriteLnk(dir_ / "relative.lnk", RelativeLink("src\\s.mq4"));
  WriteLnk(dir_ / "to_link.lnk", AnsiLink(Z("ansi.lnk")));
  WriteLnk(dir_ / "to_folder.lnk", AnsiLink(Z("src")));
  WriteLnk(dir_ / "gone.lnk", AnsiLink(Z("gone.mq4")));
  WriteLnk(dir_ / "cycle_a.lnk", AnsiLink(Z("cycle_b.lnk")));
  WriteLnk(dir_ / "cycle_b.lnk", RelativeLink("cycle_a.lnk"));
  const std::vector<std::uint8_t> bytes = testing::MakeLnk(AnsiLink(Z("src/s.mq4")));
  std::ofstream(dir_ / "cut.lnk", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() / 2));
  const std::string deep = Touch(std::string(200, 'd') + "/" + std::string(200, 'e') + "/" +
                                 std::string(200, 'n') + ".mq4");

  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {source, source},
      {upper, upper},
      {deep, deep},  // no name is cut, however long
      {Path("c.mq4.txt"), std::nullopt},
      {Path("missing.mq4"), std::nullopt},
      {Path("folder.mq4"), std::nullopt},
      {Path("abs.mq4"), source},
      {Path("rel_symlink"), source},
      {Path("loop_a.mq4"), std::nullopt},
      {Path("ansi.lnk"), source},
      {Path("unicode.LNK"), source},
      {Path("relative.lnk"), source},
      {Path("to_link.lnk"), source},
      {Path("to_folder.lnk"), std::nullopt},
      {Path("gone.lnk"), std::nullopt},
      {Path("cycle_a.lnk"), std::nullopt},
      {Path("cut.lnk"), std::nullopt},
      {Path("text.lnk"), std::nullopt},
  };
  for (const auto& [name, expected] : cases)
    EXPECT_EQ(ResolveDroppedName(name, PlatformShortcutReader()), expected) << name;

  EXPECT_EQ(CollectDroppedFiles({upper, Path("folder.mq4"), Path("ansi.lnk"), Path("x.txt")},
                                PlatformShortcutReader()),
            (std::vector<std::string>{upper, source}));
}

// ---- the roads ------------------------------------------------------------

class Roads : public DroppedNames {
 protected:
  FileIntake::Hooks Hooks() {
    FileIntake::Hooks h;
    h.convert = [this](const std::string& path) {
      converted.push_back(path);
      engine.ConverterRan = true;
      if (onConvert) onConvert(path);
      return path.find("unchanged") == std::string::npos;
    };
    h.report = [this](const ResultMessage& r) { reports.push_back(r.row); };
    h.processEvents = [] {};
    h.showException = [this](const std::string& what) { exceptions.push_back(what); };
    h.readShortcut = PlatformShortcutReader();
    return h;
  }

  Engine engine;
  std::vector<std::string> converted;
  std::vector<int> reports;
  std::vector<std::string> exceptions;
  std::function<void(const std::string&)> onConvert;
};

TEST_F(Roads, MessagesFollowTheOutcomeAndTheLastFlags) {
  FileIntake intake(engine, Hooks());
  fs::create_directories(dir_ / "f");
  intake.ConvertDroppedFiles({Path("f")}, true);                  // nothing ran yet: row 5
  intake.ConvertChosenFile(Path("gone.mq4"), "*.mq4");            // no message
  intake.ConvertChosenFile("*.mq4", "*.mq4");                     // no message
  intake.ConvertDroppedFiles({Touch("a.mq4"), Touch("unchanged.mq4")}, true);  // row 1
  intake.ConvertDroppedFiles({Touch("unchanged2.mq4")}, true);    // row 4
  intake.ConvertDroppedFiles({Touch("note.txt")}, true);          // flags as left: row 4
  intake.ConvertChosenFile(Touch("unchanged3.mq4"), "*.mq4");     // row 4
  EXPECT_EQ(reports, (std::vector<int>{5, 1, 4, 4, 4}));
  EXPECT_EQ(converted.size(), 4u);
}

TEST_F(Roads, BusyRefusesASecondRoadAndIsClearedAfterAnException) {
  FileIntake intake(engine, Hooks());
  const std::string a = Touch("a.mq4"), b = Touch("b.mq4");
  bool secondDrop = true, dialog = true;
  onConvert = [&](const std::string& path) {
    EXPECT_TRUE(intake.Busy());
    secondDrop = intake.ConvertDroppedFiles({b}, true);
    dialog = intake.ConvertChosenFile(b, "*.mq4");
    if (path == a) throw std::runtime_error("disk gone");
  };
  intake.ConvertDroppedFiles({a, b}, true);
  EXPECT_FALSE(secondDrop);
  EXPECT_FALSE(dialog);
  EXPECT_EQ(converted, (std::vector<std::string>{a}));
  EXPECT_EQ(exceptions, (std::vector<std::string>{"disk gone"}));
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(intake.Busy());
  onConvert = nullptr;
  intake.ConvertChosenFile(b, "*.mq4");
  EXPECT_EQ(reports, (std::vector<int>{1}));
}

}  // namespace
}  // namespace lumivex
