#include "rules/global_part.h"

#include <tuple>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using FixInvalidIndexValueTest = testing::EngineTest;

TEST_F(FixInvalidIndexValueTest, ZeroSizeBecomesOpenSizeAndEveryLineEnds) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"double Buf[0];\r\nint M[0][3];\r\n", "double Buf[];\r\nint M[][3];\r\n", true},
      {"int Z[0][0];", "int Z[][];\r\n", true},
      {"double d = Buf[0]; // [0]\r\n", "double d = Buf[]; // []\r\n", true},
      {"int N[ 0 ];\r\n\r\nint K[00];", "int N[ 0 ];\r\n\r\nint K[00];\r\n", false},
      {"", "", false}};
  for (const auto& [before, after, changed] : cases) {
    engine.TextChanged = false;
    EXPECT_EQ(FixInvalidIndexValue(engine, before), after) << before;
    EXPECT_EQ(engine.TextChanged, changed) << before;
  }
}

TEST(HasImportLine, TrimmedLineBeginsWithImport) {
  for (const char* text : {"   #import \"lib.dll\"", "#import", "int a;\r\n\t#importx"})
    EXPECT_TRUE(HasImportLine(text)) << text;
  for (const char* text : {"", "// #import", "#IMPORT", "int a; #import"})
    EXPECT_FALSE(HasImportLine(text)) << text;
}

}  // namespace
}  // namespace lumivex
