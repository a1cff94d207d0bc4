// The conversion driver: progress, program-kind flags, and a whole run.
#include "pipeline/driver.h"

#include <gtest/gtest.h>

#include "pipeline/support/road_fakes.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class DriverTest : public testing::EngineTest {
 protected:
  DriverTest() {
    engine.progress = &progress;
    // The rule phases have their own tests; these see the driver's own work.
    for (const char* gate : {"chkOrderSelect", "chkOrderModify", "chkFixReturn",
                             "chkExpressionsNotAllowedGlobalScope"})
      settings.Set(gate, false);
  }
  testing::RoadProgress progress;
};

TEST_F(DriverTest, ProgressAdvancesByTenthsOfTheLines) {
  for (const auto& [n, positions] : std::vector<std::pair<int, std::vector<int>>>{
           {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, {7, {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 7}},
           {17, {1, 1, 3, 5, 6, 8, 10, 11, 13, 15, 17}}}) {
    progress.calls.clear();
    ConvertText(engine, testing::Lines(std::vector<std::string>(n, "a;")));
    std::vector<std::string> want = {"visible 1", "pos 0", "refresh", "max " + std::to_string(n)};
    for (int p : positions) want.insert(want.end(), {"pos " + std::to_string(p), "refresh"});
    want.push_back("hide later");
    EXPECT_EQ(progress.calls, want);
  }
  engine.progress = nullptr;
  EXPECT_EQ(ConvertText(engine, ""), "");
}

// Flags left by a previous run are cleared first; OnInit() insertion clears
// NoInit and is no change of the text.
TEST_F(DriverTest, ProgramKindFlags) {
  // IsIndicator, NoInit, NoDeinit, NoStart, NoOnCalculate, NoOnTick, then EntryFuncLine.
  for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
           {"int start()\n{\n}\n", "001000 int start()"},
           {"indicator_buffers\nint init()\nint deinit()\nint start()\n", "100000 int start()"},
           {"int OnCalculate(const int n)\nvoid OnTick()\n", "001100 void OnTick()"},
           {"int OnCalculate(const int n)\n", "001101 int OnCalculate(const int n)"},
           // Keys in lines starting with "//" count as absent, after blanks they count.
           {"//int init()\n  // int deinit()\n", "010111 "},
           {"INT ONINIT()\nvoid ONDEINIT()\nvoid ONSTART()\n", "000000 void ONSTART()"}}) {
    engine.IsIndicator = engine.NoInit = engine.NoDeinit = engine.NoStart = engine.NoOnCalculate =
        engine.NoOnTick = engine.TextChanged = engine.OrderSelectFixed = true;
    engine.EntryFuncLine = "stale";
    ConvertText(engine, Crlf(text));
    std::string flags;
    for (bool f : {engine.IsIndicator, engine.NoInit, engine.NoDeinit, engine.NoStart,
                   engine.NoOnCalculate, engine.NoOnTick})
      flags += f ? '1' : '0';
    EXPECT_EQ(flags + " " + engine.EntryFuncLine, expected) << text;
    EXPECT_FALSE(engine.TextChanged || engine.OrderSelectFixed) << text;
  }
}

TEST_F(DriverTest, ConvertsEndToEnd) {
  // The inserted OnInit() loses its blank lines to phase 12.
  EXPECT_EQ(ConvertText(engine, Crlf("int x;\nint start()\n{\nreturn(0);\n}\n")),
            Crlf("int x;\n\nint OnInit()\n{\nreturn(0);\n}\n\nint start()\n{\nreturn(0);\n}\n"));
  // Comments are folded out of the rule phases' way and come back as they were.
  EXPECT_EQ(ConvertText(engine, Crlf("// a\n// b\nint init()\n{\n\n\n b = TRUE; /* TRUE\n TRUE */\n"
                                     " s = \"http://x\\\\y TRUE\";\n if(a)if(b) c();\n\n\n\n}\n")),
            Crlf("// a\n// b\nint init()\n{\n b = true; /* true\n TRUE */\n"
                 " s = \"http://x\\\\y TRUE\";\n if(a)\n     if(b) c();\n\n\n}\n"));
  EXPECT_TRUE(engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
