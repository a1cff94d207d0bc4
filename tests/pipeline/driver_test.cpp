// The conversion driver: progress, program-kind flags, OnInit insertion and
// the pre-pass and restore around the rule phases.
#include "pipeline/driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/support/road_fakes.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

using testing::FakeSettings;
using testing::RoadProgress;

class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    engine.settings = &settings;
    engine.progress = &progress;
    // The rule phases have their own tests; these see the driver's own work.
    for (const char* gate : {"chkOrderSelect", "chkOrderModify", "chkFixReturn",
                             "chkExpressionsNotAllowedGlobalScope"})
      settings.Set(gate, false);
  }
  FakeSettings settings;
  RoadProgress progress;
  Engine engine;
};

TEST_F(DriverTest, ProgressAdvancesByTenthsOfTheLines) {
  ConvertText(engine, "a;\r\nb;\r\nc;\r\nd;\r\ne;\r\nf;\r\ng;\r\n");
  std::vector<std::string> expected = {"visible 1", "pos 0", "refresh", "max 7"};
  for (int p : {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 7}) {
    expected.push_back("pos " + std::to_string(p));
    expected.push_back("refresh");
  }
  expected.push_back("hide later");
  EXPECT_EQ(progress.calls, expected);
}

TEST_F(DriverTest, EmptyTextGivesEmptyResult) {
  EXPECT_EQ(ConvertText(engine, ""), "");
  EXPECT_EQ(progress.calls[3], "max 0");
  engine.progress = nullptr;
  EXPECT_EQ(ConvertText(engine, ""), "");
}

TEST_F(DriverTest, StartsEachRunAfresh) {
  engine.TextChanged = engine.OrderSelectFixed = true;
  engine.FoldedComments = {"old"};
  ConvertText(engine, "x;\r\n");
  EXPECT_FALSE(engine.TextChanged || engine.OrderSelectFixed);
  EXPECT_TRUE(engine.ConverterRan);
  EXPECT_TRUE(engine.FoldedComments.empty());
}

struct KindCase {
  const char* name;
  std::string text;
  // IsIndicator, NoInit, NoDeinit, NoStart, NoOnCalculate, NoOnTick as "100111".
  std::string flags;
  std::string entryFuncLine;
};

class DriverKindTest : public DriverTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(DriverKindTest, FlagsAfterTheRun) {
  ConvertText(engine, GetParam().text);
  std::string flags;
  for (bool f : {engine.IsIndicator, engine.NoInit, engine.NoDeinit, engine.NoStart,
                 engine.NoOnCalculate, engine.NoOnTick})
    flags += f ? '1' : '0';
  EXPECT_EQ(flags, GetParam().flags);
  EXPECT_EQ(engine.EntryFuncLine, GetParam().entryFuncLine);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DriverKindTest,
    ::testing::Values(
        // OnInit() is inserted, so NoInit ends clear.
        KindCase{"StartWithoutInit", "int start()\r\n{\r\n}\r\n", "001000", "int start()"},
        KindCase{"Indicator",
                 "#property indicator_buffers 2\r\nint init()\r\nint deinit()\r\nint start()\r\n",
                 "100000", "int start()"},
        KindCase{"OnTickWinsOverOnCalculate", "int OnCalculate(const int n)\r\nvoid OnTick()\r\n",
                 "001100", "void OnTick()"},
        KindCase{"OnCalculateOnly", "int OnCalculate(const int n)\r\n", "001101",
                 "int OnCalculate(const int n)"},
        // Keys in lines starting with "//" count as absent, after blanks they count.
        KindCase{"CommentedKeys", "//int init()\r\n  // int deinit()\r\n", "010111", ""},
        KindCase{"KeysWithoutCase", "INT ONINIT()\r\nvoid ONDEINIT()\r\nvoid ONSTART()\r\n",
                 "000000", "void ONSTART()"}),
    [](const auto& info) { return info.param.name; });

TEST_F(DriverTest, InsertsOnInitBeforeTheEntryFunction) {
  // The blank lines of the inserted body go with the compaction of phase 12.
  EXPECT_EQ(ConvertText(engine, "int x;\r\nint start()\r\n{\r\nreturn(0);\r\n}\r\n"),
            "int x;\r\n\r\nint OnInit()\r\n{\r\nreturn(0);\r\n}\r\n\r\nint "
            "start()\r\n{\r\nreturn(0);\r\n}\r\n");
  // The insertion alone is no change of the text.
  EXPECT_FALSE(engine.TextChanged);
}

TEST_F(DriverTest, ConvertsAroundFoldedComments) {
  const std::string source =
      "// header\r\n// lines\r\nint init()\r\n{\r\n\r\n\r\n   b = TRUE; /* TRUE\r\n  TRUE */\r\n"
      "   s = \"http://x\\\\y TRUE\";\r\n   if(a)if(b) c();\r\n\r\n\r\n\r\n}\r\n";
  EXPECT_EQ(ConvertText(engine, source),
            "// header\r\n// lines\r\nint init()\r\n{\r\n   b = true; /* true\r\n  TRUE */\r\n"
            "   s = \"http://x\\\\y TRUE\";\r\n   if(a)\r\n       if(b) c();\r\n\r\n\r\n}\r\n");
  EXPECT_TRUE(engine.TextChanged);
  EXPECT_EQ(engine.FoldedComments.size(), 2u);
}

}  // namespace
}  // namespace lumivex
