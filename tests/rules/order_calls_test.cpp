#include "rules/order_calls.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

void Check(const std::string& before, const std::string& after) {
  EXPECT_EQ(WrapOrderCallWithChk(before), after) << before;
}
void Unchanged(const std::string& line) { Check(line, line); }

TEST(WrapOrderCallWithChk, CapturesIgnoredResults) {
  Check("   return(OrderClose(t, l));", "   return(chk = OrderClose(t, l));");
  // OrderClose has priority whatever the places; literals and longer names are passed over.
  Check("OrderModify(a, b); OrderClose(t, l);", "OrderModify(a, b); chk = OrderClose(t, l);");
  Check("Print(\"OrderSend(\"); OrderSend(a);", "Print(\"OrderSend(\"); chk = OrderSend(a);");
  Check("MyOrderClose(x); OrderSend(a);", "MyOrderClose(x); chk = OrderSend(a);");
}

// The value is used, or the name is not called (the line stays instead of
// coming back empty).
TEST(WrapOrderCallWithChk, Unchanged) {
  for (const char* line :
       {"if(OrderSend(a) < 0)", "if (!OrderModify(a, b))", "while(!OrderDelete(t))",
        "bool ok = OrderClose(a, b);", "OrderClose (t, l);", "Print(\"OrderClose(\");"}) {
    Unchanged(line);
  }
}

TEST(HasChkDeclaration, FindsABoolChkOutsideComments) {
  for (const char* text : {"bool chk;", "int a;\r\nbool ok, chk;\r\n", "BOOL CHK;", "bool chk, ok;",
                           "bool chk = false;", "bool chk ;", "  bool  chk=true; // flag"}) {
    EXPECT_TRUE(HasChkDeclaration(text)) << text;
  }
  for (const char* text :
       {"  // bool chk;\r\nint a;", "x = 1; // bool chk;", "int chk;", "bool chk2;",
        "bool ok; chk = OrderSend(a);", "bool f(bool chk, int x)", "bool ok = chk == true;"}) {
    EXPECT_FALSE(HasChkDeclaration(text)) << text;
  }
}

}  // namespace
}  // namespace lumivex
