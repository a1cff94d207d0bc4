#include "rules/global_part.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"

namespace lumivex {
namespace {

class FixInvalidIndexValueTest : public ::testing::Test {
 protected:
  void Check(const std::string& before, const std::string& after) {
    engine.TextChanged = false;
    EXPECT_EQ(FixInvalidIndexValue(engine, before), after) << before;
    EXPECT_TRUE(engine.TextChanged) << before;
  }
  // Unchanged apart from the line end every line gets.
  void Unchanged(const std::string& text, const std::string& withLineEnds) {
    engine.TextChanged = false;
    EXPECT_EQ(FixInvalidIndexValue(engine, text), withLineEnds) << text;
    EXPECT_FALSE(engine.TextChanged) << text;
  }
  void SetUp() override { engine.settings = &settings; }
  testing::FakeSettings settings;
  Engine engine;
};

TEST_F(FixInvalidIndexValueTest, ZeroSizeBecomesOpenSize) {
  Check("double Buf[0];\r\n", "double Buf[];\r\n");
  Check("int M[0][3];\r\n", "int M[][3];\r\n");
  Check("int Z[0][0];\r\n", "int Z[][];\r\n");
  // Declarations and expressions alike.
  Check("double d = Buf[0];\r\n", "double d = Buf[];\r\n");
  Check("int a[0];", "int a[];\r\n");
  Check("int a;\r\ndouble b[0], c[0]; // [0]\r\n", "int a;\r\ndouble b[], c[]; // []\r\n");
}

TEST_F(FixInvalidIndexValueTest, Unchanged) {
  Unchanged("", "");
  Unchanged("int N[ 0 ];\r\nint K[00];", "int N[ 0 ];\r\nint K[00];\r\n");
  Unchanged("int a;\r\n\r\n", "int a;\r\n\r\n");
}

TEST(HasImportLine, FindsALineBeginningWithImport) {
  for (const char* text : {"   #import \"lib.dll\"", "#import", "int a;\r\n#import\r\nint b;",
                           "int a;\r\n\t#importx"}) {
    EXPECT_TRUE(HasImportLine(text)) << text;
  }
  for (const char* text : {"", "// #import", "#IMPORT", "int a; #import", "\r\n\r\n"}) {
    EXPECT_FALSE(HasImportLine(text)) << text;
  }
}

}  // namespace
}  // namespace lumivex
