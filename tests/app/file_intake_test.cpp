#include "app/file_intake.h"

#include <gtest/gtest.h>

#include <regex>
#include <tuple>
#include <stdexcept>

#include "platform/support/temp_dir.h"
#include "support/lnk_writer.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;

// Flags: R ConverterRan, N NoInit, I IsIndicator, O OrderSelectFixed.
TEST(ResultMessage, FirstMatchingRowWithEachRoadsTexts) {
  const struct { bool outcome; std::string flags; unsigned colour; const char *dialog, *drop; } cases[] = {
      {true, "RNIO", kColourPurple, "completed.！|completed.？", "Processing was completed！|completed."},
      {true, "R", kColourLime, "completed.！|completed.？", "Processing was completed！|completed."},
      {false, "RNI", kColourRed, "The \" init() \" sentence is necessary for written EA. |No Write",
       "The \" init() \" sentence is necessary for written EA. |init()"},
      {false, "RI", kColourRed, "This is indicator. |This is indicator. ", "This is an indicator. |This is indicator？"},
      {false, "RO", kColourRed, "This is not dealings EA. ！|This is not EA. ",
       "This is not in dealings EA. ！|dealings EA. ？"},
      {false, "", kColourBlue, "There is no change. ！|There is no change？", "There is no change. ！|Preparation OK?"},
  };
  for (const auto& c : cases) {
    Engine e;
    auto has = [&](char flag) { return c.flags.find(flag) != std::string::npos; };
    std::tie(e.ConverterRan, e.NoInit, e.IsIndicator, e.OrderSelectFixed) =
        std::tuple(has('R'), has('N'), has('I'), has('O'));
    for (const Road road : {Road::Dialog, Road::Drop}) {
      const ResultMessage m = ChooseResult(road, c.outcome, e);
      EXPECT_EQ(m.colour, c.colour) << c.drop;
      EXPECT_EQ(m.text + "|" + m.caption, road == Road::Dialog ? c.dialog : c.drop);
    }
  }
}

class Intake : public ::testing::Test {
 protected:
  std::string Touch(const std::string& name) { return tmp.Touch(name, "int start() { return(0); }\r\n"); }
  std::string Path(const std::string& name) const { return (tmp / name).string(); }

  testing::TempDir tmp;
  Engine engine;
  std::vector<std::string> converted, reports, exceptions;
  std::function<void(const std::string&)> onConvert;
  FileIntake intake{engine,
                    {[this](const std::string& path) {
                       converted.push_back(path);
                       engine.ConverterRan = true;
                       if (onConvert) onConvert(path);
                       return path.find("unchanged") == std::string::npos;
                     },
                     [this](const ResultMessage& r) { reports.push_back(r.caption); }, [] {},
                     [this](const std::string& what) { exceptions.push_back(what); }}};
};

TEST_F(Intake, EachDroppedNameLeadsToASourceOrToNothing) {
  const std::string source = Touch("src/s.mq4");
  const std::string upper = Touch("A.MQ4");
  Touch("c.mq4.txt");
  fs::create_directories(tmp / "folder.mq4");
  fs::create_symlink(source, tmp / "abs.mq4");
  testing::WriteLnk(tmp / "ansi.lnk", testing::AnsiLink("Z:" + std::regex_replace(source, std::regex("/"), "\\")));
  testing::WriteLnk(tmp / "to_link.LNK", testing::RelativeLink("ansi.lnk"));
  testing::WriteLnk(tmp / "to_folder.lnk", testing::RelativeLink("src"));
  testing::WriteLnk(tmp / "cycle_a.lnk", testing::RelativeLink("cycle_b.lnk"));
  testing::WriteLnk(tmp / "cycle_b.lnk", testing::RelativeLink("cycle_a.lnk"));
  const std::string deep = Touch(std::string(200, 'd') + "/" + std::string(200, 'e') + "/" +
                                 std::string(200, 'n') + ".mq4");

  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {source, source}, {upper, upper}, {deep, deep},  // no name is cut, however long
      {Path("c.mq4.txt"), std::nullopt}, {Path("missing.mq4"), std::nullopt}, {Path("folder.mq4"), std::nullopt},
      {Path("abs.mq4"), source}, {Path("ansi.lnk"), source}, {Path("to_link.LNK"), source},
      {Path("to_folder.lnk"), std::nullopt}, {Path("cycle_a.lnk"), std::nullopt},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(ResolveDroppedName(name), expected) << name;
}

TEST_F(Intake, MessagesFollowTheOutcomeAndTheLastFlags) {
  fs::create_directories(tmp / "f");
  intake.ConvertDroppedFiles({Path("f")}, true);                               // nothing ran yet
  intake.ConvertChosenFile(Path("gone.mq4"), "*.mq4");                         // no message
  intake.ConvertChosenFile("*.mq4", "*.mq4");                                  // no message
  intake.ConvertDroppedFiles({Touch("a.mq4"), Touch("unchanged.mq4")}, true);  // any written
  intake.ConvertDroppedFiles({Touch("note.txt")}, true);                       // flags as left
  intake.ConvertChosenFile(Touch("unchanged3.mq4"), "*.mq4");
  EXPECT_EQ(reports, (std::vector<std::string>{"Preparation OK?", "completed.", "dealings EA. ？",
                                               "This is not EA. "}));
  EXPECT_EQ(converted.size(), 3u);
}

TEST_F(Intake, BusyRefusesASecondRoadAndIsClearedAfterAnException) {
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
  EXPECT_EQ(reports, (std::vector<std::string>{"completed.？"}));
}

}  // namespace
}  // namespace lumivex
