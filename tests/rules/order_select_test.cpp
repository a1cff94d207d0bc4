#include "rules/order_select.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

// The line as the OrderSelect phase rebuilds it, in the if-form or the continue-form.
void Check(const std::string& before, const std::string& after, bool continueForm = false) {
  const OrderSelectCall call = ParseOrderSelect(before);
  ASSERT_FALSE(call.firstArg.empty()) << before;
  EXPECT_EQ(BuildCheckedOrderSelect(call, continueForm), after) << before;
}
void Unchanged(const std::string& line) { EXPECT_EQ(ParseOrderSelect(line).firstArg, "") << line; }

TEST(ParseOrderSelectCall, CutsCandidateLines) {
  // line, first argument, indent, prefix, mode tag
  const char* cases[][5] = {
      {"   OrderSelect(i, SELECT_BY_POS, MODE_TRADES);", "i", "   ", "", "POS_TRADES"},
      {"\tOrderSelect( k ,SELECT_BY_TICKET);", " k ", "\t", "", "TICKET_"},
      {"OrderSelect(t, SELECT_BY_TICKET, MODE_HISTORY);", "t", "", "", "TICKET_HISTORY"},
      {"OrderSelect(t, select_by_ticket, mode_trades);", "t", "", "", "TICKET_TRADES"},
      {"else OrderSelect(0, SELECT_BY_POS, MODE_HISTORY);", "0", "", "else ", "POS_HISTORY"},
      {"modify(); OrderSelect(i, SELECT_BY_POS)", "i", "", "modify(); ", "POS_"},
  };
  for (const auto& c : cases) {
    std::string indent, prefix, modeTag;
    EXPECT_EQ(ParseOrderSelectCall(c[0], indent, prefix, modeTag), c[1]) << c[0];
    EXPECT_EQ(indent + "|" + prefix + "|" + modeTag, std::string(c[2]) + "|" + c[3] + "|" + c[4]);
  }
}

TEST(BuildCheckedOrderSelect, TableTexts) {
  const char* cases[][3] = {
      {"OrderSelect(i, SELECT_BY_POS, MODE_TRADES);",
       "if (OrderSelect(i, SELECT_BY_POS, MODE_TRADES))",
       "if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue;"},
      {"OrderSelect(i, SELECT_BY_POS, mode_history);",
       "if (OrderSelect(i, SELECT_BY_POS, MODE_HISTORY))",
       "if (!OrderSelect(i, SELECT_BY_POS, MODE_HISTORY)) continue;"},
      {"OrderSelect(i,SELECT_BY_POS);", "if (OrderSelect(i, SELECT_BY_POS))",
       "if (!OrderSelect(i, SELECT_BY_POS)) continue;"},
      {"  else OrderSelect( k , SELECT_BY_TICKET);",
       "  else if (OrderSelect( k , SELECT_BY_TICKET))",
       "  else if (!OrderSelect( k , SELECT_BY_TICKET)) continue;"},
  };
  for (const auto& c : cases) {
    Check(c[0], c[1]);
    Check(c[0], c[2], true);
  }
}

// The call's own arguments and the code behind it survive the rebuild.
TEST(BuildCheckedOrderSelect, KeepsWhatTheLineHolds) {
  Check("OrderSelect(MathMax(a, b), SELECT_BY_POS);",
        "if (OrderSelect(MathMax(a, b), SELECT_BY_POS))");
  Check("OrderSelect(f(\"1,(2\"), SELECT_BY_TICKET);",
        "if (OrderSelect(f(\"1,(2\"), SELECT_BY_TICKET))");
  Check("OrderSelect(i, SELECT_BY_POS, pool);",
        "if (!OrderSelect(i, SELECT_BY_POS, pool)) continue;", true);
  Check("OrderSelect(i, SELECT_BY_POS); n++;", "if (!OrderSelect(i, SELECT_BY_POS)) continue; n++;",
        true);
  // Words in the kept tail do not change the call; blanks behind the ";" are no code.
  Check("OrderSelect(i, SELECT_BY_POS, MODE_HISTORY); m = MODE_TRADES;",
        "if (OrderSelect(i, SELECT_BY_POS, MODE_HISTORY)) m = MODE_TRADES;");
  Check("OrderSelect(0, SELECT_BY_POS); ", "if (OrderSelect(0, SELECT_BY_POS))");
}

TEST(ParseOrderSelectCall, Unchanged) {
  for (const char* line :
       {"if(OrderSelect(i, SELECT_BY_POS))", "else if (OrderSelect(i, SELECT_BY_POS))",
        "x = 1; if (OrderSelect(i, SELECT_BY_POS))", "bool ok = OrderSelect(i, SELECT_BY_POS);",
        "ok=OrderSelect(i, SELECT_BY_POS);", "return(OrderSelect(i, SELECT_BY_POS));",
        "orderselect(i, select_by_pos);", "OrderSelect (i, SELECT_BY_POS);",
        "OrderSelect(i, MODE_TRADES);",
        // The value is used, or the call does not close: a rebuild would lose code.
        "OrderSelect(i, SELECT_BY_POS) == true;", "Print(OrderSelect(i, SELECT_BY_POS));",
        "OrderSelect(i, SELECT_BY_POS,", "OrderSelect(i, mode); m = SELECT_BY_POS;",
        "OrderSelectAll(); OrderSelect(i, SELECT_BY_POS);"}) {
    Unchanged(line);
  }
}

TEST(MaskLiterals, HidesLiteralInsidesKeepingPositions) {
  EXPECT_EQ(MaskLiterals("a(\"{;}\", '}') { s = \"a\\\"}\"; }"),
            "a(\"___\", '_') { s = \"____\"; }");
  EXPECT_EQ(MaskLiterals("\x82\x7b; \"open {"),
            "__; \"______");  // second byte "{"; unclosed literal
}

}  // namespace
}  // namespace lumivex
