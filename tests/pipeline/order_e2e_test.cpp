// The order rules through the whole conversion, with the other rules off.
#include <gtest/gtest.h>

#include "pipeline/driver.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

// Texts are written with "\n"; the conversion sees "\r\n".
std::string Crlf(std::string_view s) {
  std::string out;
  for (char c : s) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class OrderConversion : public ::testing::Test {
 protected:
  OrderConversion() {
    for (const char* other :
         {"chkFixReturn", "chkInvalidIndexValueHeader", "chkAndOrPriorityLevel",
          "chkUnrecognizedEscape", "chkHidesGlobalDeclaration", "chkNotUsedVariable",
          "chkReplaceCommentArr", "chkReplaceFuncVariable", "chkChangeGrbAlreadyReserved",
          "chkStringConcatenate", "chkExpressionsNotAllowedGlobalScope",
          "chkArraysPassedByReferenceOnly"}) {
      settings.Set(other, false);
    }
    engine.settings = &settings;
  }
  void Check(std::string_view before, std::string_view after) {
    EXPECT_EQ(ConvertText(engine, Crlf(before)), Crlf(after)) << before;
  }
  testing::FakeSettings settings;
  Engine engine;
};

// A program with its init, so no OnInit() is added.
constexpr std::string_view kProgram =
    "int init()\n{\n   return(0);\n}\n"
    "int start()\n{\n"
    "   for(i = 0; i < OrdersTotal(); i++) { OrderSelect(i, SELECT_BY_POS, MODE_TRADES); n++; }\n"
    "   OrderSelect(t, SELECT_BY_TICKET); // last\n"
    "   OrderClose(t, l, Bid, 3);\n"
    "}\n";

TEST_F(OrderConversion, ChecksOrderSelectAndCapturesOrderCalls) {
  Check(kProgram,
        "bool chk;\n\nint init(){\n   return(0);\n}\n"
        "int start(){\n"
        "   for(i = 0; i < OrdersTotal(); i++){\n"
        "   if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue; n++;   \n}\n"
        "   if (OrderSelect(t, SELECT_BY_TICKET))// last\n"
        "   chk = OrderClose(t, l, Bid, 3);\n"
        "}\n");
  EXPECT_TRUE(engine.OrderSelectFixed && engine.TextChanged);
}

TEST_F(OrderConversion, EachSwitchGatesItsRules) {
  settings.Set("chkOrderSelect", false);
  std::string expected = "bool chk;\n\n" + std::string(kProgram);
  expected.insert(expected.find("OrderClose"), "chk = ");
  Check(kProgram, expected);
  EXPECT_FALSE(engine.OrderSelectFixed);

  settings.Set("chkOrderModify", false);
  Check(kProgram, kProgram);
  EXPECT_FALSE(engine.OrderSelectFixed || engine.TextChanged);
}

// A source that declares chk with an initialiser gets no second declaration.
TEST_F(OrderConversion, KeepsTheSourcesOwnChk) {
  Check("bool chk = false;\nint init()\n{\n   OrderDelete(t);\n}\n",
        "bool chk = false;\nint init(){\n   chk = OrderDelete(t);\n}\n");
}

}  // namespace
}  // namespace lumivex
