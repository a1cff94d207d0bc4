#include "rules/order_select.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

void Check(const std::string& before, const std::string& after, bool continueForm = false) {
  const OrderSelectCall call = ParseOrderSelect(before);
  ASSERT_FALSE(call.firstArg.empty()) << before;
  EXPECT_EQ(BuildCheckedOrderSelect(call, continueForm), after) << before;
}
void Unchanged(const std::string& line) { EXPECT_EQ(ParseOrderSelect(line).firstArg, "") << line; }

// The call's own arguments and the code behind its ";" survive; mode words in
// that code do not change the call.
TEST(BuildCheckedOrderSelect, RebuildsTheCall) {
  Check("\t OrderSelect( k ,SELECT_BY_POS, MODE_TRADES);",
        "\t if (!OrderSelect( k , SELECT_BY_POS, MODE_TRADES)) continue;", true);
  Check("else OrderSelect(t, select_by_ticket, mode_trades); ",
        "else if (OrderSelect(t, SELECT_BY_TICKET, MODE_TRADES))");
  Check("modif(); OrderSelect(MathMax(a, b), SELECT_BY_POS)",
        "modif(); if (OrderSelect(MathMax(a, b), SELECT_BY_POS))");
  Check("OrderSelect(f(\"1,(2\"), SELECT_BY_TICKET, pool);",
        "if (OrderSelect(f(\"1,(2\"), SELECT_BY_TICKET, pool))");
  Check("OrderSelect(i, SELECT_BY_POS, MODE_HISTORY); m = MODE_TRADES;",
        "if (OrderSelect(i, SELECT_BY_POS, MODE_HISTORY)) m = MODE_TRADES;");
}

// The value is used, the call is not written "OrderSelect(" or is part of a
// longer name, names no selector, or a rebuild would lose or garble code.
TEST(ParseOrderSelectCall, Unchanged) {
  for (const char* line :
       {"if(OrderSelect(i, SELECT_BY_POS))", "x = 1; if (OrderSelect(i, SELECT_BY_POS))",
        "bool ok = OrderSelect(i, SELECT_BY_POS);", "return(OrderSelect(i, SELECT_BY_POS));",
        "OrderSelect (i, SELECT_BY_POS);", "OrderSelect(i, MODE_TRADES);",
        "Print(OrderSelect(i, SELECT_BY_POS));", "OrderSelect(i, SELECT_BY_POS,",
        "OrderSelect(i, mode); m = SELECT_BY_POS;",
        "OrderSelectAll(); OrderSelect(i, SELECT_BY_POS);", "MyOrderSelect(t, SELECT_BY_TICKET);",
        "My_OrderSelect(t, SELECT_BY_TICKET);",
        "Print(\"OrderSelect(\", i, \", SELECT_BY_POS) failed\");"}) {
    Unchanged(line);
  }
}

}  // namespace
}  // namespace lumivex
