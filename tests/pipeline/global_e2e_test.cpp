// The global part, the moved initialisers and the missing returns through
// the whole conversion.
#include <gtest/gtest.h>

#include <vector>

#include "pipeline/driver.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Phase 12 drops the blank line that the joining of a head leaves behind "{".
class GlobalPartEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.settings = &settings;
    // Keep the order-call phases out of these texts.
    settings.Set("chkOrderSelect", false);
    settings.Set("chkOrderModify", false);
  }
  void Check(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    EXPECT_EQ(ConvertText(engine, Lines(before)), Lines(after)) << Lines(before);
  }
  void Unchanged(const std::vector<std::string>& text) {
    Check(text, text);
    EXPECT_FALSE(engine.TextChanged);
  }
  testing::FakeSettings settings;
  Engine engine;
};

TEST_F(GlobalPartEndToEnd, InitialisersMoveIntoInitAndReturnsAreFitted) {
  Check({"#property strict", "double bal = AccountBalance(); // start", "int Lots = 1;", "Lots = 3;",
         "double Buf[0];", "int init()", "{", "   return(0);", "}", "void deinit()", "{",
         "   return(0);", "}", "int start()", "{", "   Lots = 2;", "}"},
        {"#property strict", "double bal ; // start", "int Lots = 1;", "//Lots = 3;", "double Buf[];",
         "int init(){", "    bal = AccountBalance();", "Lots = 3;", "", "", "   return(0);", "}",
         "void deinit(){", "   return;", "}", "int start(){", "   Lots = 2;", "", "   return(0);",
         "}"});
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(GlobalPartEndToEnd, TheInsertedOnInitReceivesThem) {
  Check({"string sym = Symbol();", "int start()", "{", "   return(0);", "}"},
        {"string sym ;", "", "int OnInit(){", "    sym = Symbol();", "", "", "return(0);", "}", "",
         "int start(){", "   return(0);", "}"});
}

TEST_F(GlobalPartEndToEnd, WithoutInitTheInitialisersStay) {
  Check({"double bal = AccountBalance();", "double Half()", "{", "   x = bal / 2;", "}"},
        {"double bal = AccountBalance();", "double Half(){", "   x = bal / 2;", "",
         "   return(0.0);", "}"});
}

TEST_F(GlobalPartEndToEnd, SwitchesOff) {
  settings.Set("chkFixReturn", false);
  Unchanged({"double bal = AccountBalance();", "double Buf[0];", "int init() {", "   return(0);", "}",
             "int f() {", "}"});
  settings.Set("chkFixReturn", true);
  settings.Set("chkExpressionsNotAllowedGlobalScope", false);
  settings.Set("chkInvalidIndexValueHeader", false);
  Check({"double bal = AccountBalance();", "double Buf[0];", "int init() {", "   return(0);", "}",
         "int f() {", "}"},
        {"double bal = AccountBalance();", "double Buf[0];", "int init() {", "   return(0);", "}",
         "int f() {", "   return(0);", "}"});
}

}  // namespace
}  // namespace lumivex
