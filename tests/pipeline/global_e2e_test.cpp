// The global part, moved initialisers and missing returns through ConvertText.
#include <vector>

#include "pipeline/driver.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Lines;
using Text = std::vector<std::string>;

class GlobalPartEndToEnd : public testing::EngineTest {
 protected:
  GlobalPartEndToEnd() {  // keeps the order-call phases out of these texts
    settings.Set("chkOrderSelect", false);
    settings.Set("chkOrderModify", false);
  }
  void Check(const Text& before, const Text& after) {
    engine.TextChanged = false;
    EXPECT_EQ(ConvertText(engine, Lines(before)), Lines(after)) << Lines(before);
  }
};

TEST_F(GlobalPartEndToEnd, InitialisersMoveIntoInitAndReturnsAreFitted) {
  Check({"#property strict", "double bal = AccountBalance(); // start", "Lots = 3;", "double Buf[0];",
         "int init()", "{", "   return(0);", "}", "void deinit()", "{", "   return(0);", "}",
         "int start()", "{", "   Lots = 2;", "}"},
        {"#property strict", "double bal ; // start", "//Lots = 3;", "double Buf[];", "int init(){",
         "    bal = AccountBalance();", "Lots = 3;", "", "", "   return(0);", "}", "void deinit(){",
         "   return;", "}", "int start(){", "   Lots = 2;", "", "   return(0);", "}"});
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(GlobalPartEndToEnd, AMovedInitialiserAloneMakesTheFileChanged) {
  Check({"string sym = Symbol();", "int init()", "{", "   return(0);", "}"},
        {"string sym ;", "int init(){", "    sym = Symbol();", "", "", "   return(0);", "}"});
  EXPECT_TRUE(engine.TextChanged);
  // The OnInit the driver inserts receives them too.
  Check({"string sym = Symbol();", "int start()", "{", "   return(0);", "}"},
        {"string sym ;", "", "int OnInit(){", "    sym = Symbol();", "", "", "return(0);", "}", "",
         "int start(){", "   return(0);", "}"});
}

}  // namespace
}  // namespace lumivex
