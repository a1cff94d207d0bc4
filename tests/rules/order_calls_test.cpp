#include "rules/order_calls.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

void Check(const std::string& before, const std::string& after) {
  EXPECT_EQ(WrapOrderCallWithChk(before), after) << before;
}
void Unchanged(const std::string& line) { Check(line, line); }

TEST(WrapOrderCallWithChk, CapturesIgnoredResults) {
  Check("   OrderClose(ticket, lots, Bid, 3);", "   chk = OrderClose(ticket, lots, Bid, 3);");
  Check("else OrderDelete(t);", "else chk = OrderDelete(t);");
  Check("return(OrderSend(a));", "return(chk = OrderSend(a));");
  // OrderClose has priority over OrderModify whatever their places.
  Check("OrderModify(a, b); OrderClose(t, l);", "OrderModify(a, b); chk = OrderClose(t, l);");
  Check("Print(\"OrderSend(\"); OrderSend(a);", "Print(\"OrderSend(\"); chk = OrderSend(a);");
}

TEST(WrapOrderCallWithChk, Unchanged) {
  for (const char* line :
       {"if(OrderSend(a) < 0)", "if (!OrderModify(a, b))", "while(!OrderDelete(t))",
        "bool ok = OrderClose(a, b);", "ok=OrderSend(a);", "MyOrderClose(x);",
        // Named but not called: the line stays instead of coming back empty.
        "OrderClose (t, l);", "Print(\"OrderClose(\");"}) {
    Unchanged(line);
  }
}

TEST(HasChkDeclaration, FindsABoolChkOutsideComments) {
  for (const char* text : {"bool chk;", "int a;\r\nbool ok, chk;\r\n", "BOOL CHK;", "bool chk, ok;",
                           // With an initialiser or a blank before the ";".
                           "bool chk = false;", "bool chk ;", "  bool  chk=true; // flag"}) {
    EXPECT_TRUE(HasChkDeclaration(text)) << text;
  }
  for (const char* text :
       {"// bool chk;", "  // bool chk;\r\nint a;", "x = 1; // bool chk;", "int chk;", "bool chk2;",
        "bool ok; chk = OrderSend(a);", "bool f(bool chk, int x)", "bool ok = chk == true;"}) {
    EXPECT_FALSE(HasChkDeclaration(text)) << text;
  }
}

}  // namespace
}  // namespace lumivex
