#include "rules/and_or.h"

#include <vector>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Lines;
using Text = std::vector<std::string>;

const std::string kGroup0 = std::string(markers::MarkOpenAt) + "0" + std::string(markers::MarkCloseAt);
const std::string kFolded3 = std::string(markers::MarkOpen) + "3" + std::string(markers::MarkClose);

TEST(ParenthesizeAndGroups, EachOrRunNextToAnAndIsGrouped) {
  const char* cases[][2] = {
      {"a || b && c", "(a || b ) && c"},
      {"a && b || c", "a && ( b || c)"},
      {"a && b || c && d", "a && ( b || c ) && d"},
      {"a || b && c || d", "(a || b ) && ( c || d)"},
      {"a && b && c || d", "a && b && ( c || d)"},
      {"a||b&&c", "(a||b) &&c"},
      // Every run in one pass, so the result is a fixed point.
      {"a && b || c && d || e", "a && ( b || c ) && ( d || e)"},
      // Comparisons and calls are operands like any other ("=" or "if" inside them steer nothing).
      {"a || b && c || d == 1", "(a || b ) && ( c || d == 1)"},
      {"a || b && c || Hour() >= 8", "(a || b ) && ( c || Hour() >= 8)"},
      {"a || b && c || OrderModify(t,p)", "(a || b ) && ( c || OrderModify(t,p))"},
      // An unmatched ")" ends the expression; what follows it stays.
      {"a || b && c || d) x = 1", "(a || b ) && ( c || d)) x = 1"},
      // The arguments of a call are grouped each on its own.
      {"a && b, c || d && e", "a && b,( c || d ) && e"},
      // Operators in literals and comments are operands' text.
      {"s == \"&&\" || b && c", "(s == \"&&\" || b ) && c"},
      {"c == C'1,2,3' || b && c", "(c == C'1,2,3' || b ) && c"},
      {"a ||\r\n b // x && y\r\n && c", "(a ||\r\n b // x && y\r\n ) && c"}};
  for (const auto& c : cases) EXPECT_EQ(ParenthesizeAndGroups(c[0]), c[1]) << c[0];
}

TEST(ParenthesizeAndGroups, Unchanged) {
  for (const char* expr : {"a && b", "a || b", "a && (b || c)", "(a || b) && c", "\"a || b\" && c",
                           "a && b // || c", "f(a || b, c && d)", ""})
    EXPECT_EQ(ParenthesizeAndGroups(expr), expr);
}

TEST(ParenthesizeIfCondition, GroupsInnermostFirst) {
  const char* cases[][2] = {
      {"(a || b) && c || d", "(a || b) && ( c || d)"},
      {"a || (b && c || d) && e", "(a || (b && ( c || d)) ) && e"},
      // "()" is a call without arguments, not a group.
      {"f() || g() && h()", "(f() || g() ) && h()"},
      // Parentheses, operators and commas in literals count for nothing.
      {"a || b && s == \"(\"", "(a || b ) && s == \"(\""},
      {"a || b && s == \")||x\"", "(a || b ) && s == \")||x\""},
      {"x || Dif(a)&&b", "(x || Dif(a)) &&b"},
      {"g(a || b && c, d)", "g((a || b ) && c, d)"},
      // A text holding an if-statement keeps it in front of its condition.
      {"x = 1; if(a || b && c", "x = 1; if ((a || b ) && c"}};
  for (const auto& c : cases) EXPECT_EQ(ParenthesizeIfCondition(c[0]), c[1]) << c[0];
}

// A condition already holding a group placeholder, even one naming no group, stays as it is.
TEST(ParenthesizeIfCondition, Unchanged) {
  for (const std::string& cond :
       {kGroup0 + " || a && b", "(a) || " + std::string(markers::MarkOpenAt) + "9" +
                                    std::string(markers::MarkCloseAt) + " && b",
        std::string("(a || b && c"), std::string("a && (b || c)")})
    EXPECT_EQ(ParenthesizeIfCondition(cond), cond);
}

TEST(FindConditionEnd, TheParenthesisThatClosesTheCondition) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"a) x", 2},
      {"a)", 2},
      {"x > 0 && y > 0 || iRSI(NULL,0,14,PRICE_CLOSE,0) < 30) Buy();", 53},
      {"(a || b) && c || d) x=1;", 19},
      {"a || b && c) ++n; Print(x);", 12},
      // Blanks and a folded comment right behind the ")" belong to it.
      {"a || b)  " + kFolded3 + " {", 9 + static_cast<int>(kFolded3.size())},
      // Parentheses in comments and literals are not counted.
      {"a || // x && y)\r\n b && c) {", 25},
      {"s == \")\" || t == ')') z", 21},
      {"a && (b", 0},
      {"", 0}};
  for (const auto& [cond, n] : cases) EXPECT_EQ(FindConditionEnd(cond), n) << cond;
}

TEST(FirstLine, TextBeforeTheFirstLineEnd) {
  EXPECT_EQ(FirstLine("a\r\nb\r\n"), "a");
  EXPECT_EQ(FirstLine("ab"), "ab");
}

class FixAndOrTest : public testing::EngineTest {
 protected:
  void Check(const Text& before, const Text& after) {
    engine.TextChanged = false;
    EXPECT_EQ(FixAndOrPriorityLevel(engine, Lines(before)), Lines(after)) << Lines(before);
    EXPECT_TRUE(engine.TextChanged) << Lines(before);
  }
  void Unchanged(const Text& text) {
    engine.TextChanged = false;
    EXPECT_EQ(FixAndOrPriorityLevel(engine, Lines(text)), Lines(text)) << Lines(text);
    EXPECT_FALSE(engine.TextChanged) << Lines(text);
  }
};

TEST_F(FixAndOrTest, GroupsMixedConditions) {
  Check({"   if (x > 0 && y > 0 || iRSI(NULL,0,14,PRICE_CLOSE,0) < 30) Buy();"},
        {"   if (x > 0 && ( y > 0 || iRSI(NULL,0,14,PRICE_CLOSE,0) < 30)) Buy();"});
  Check({"if ((a || b) && c || d) x=1;"}, {"if ((a || b) && ( c || d)) x=1;"});
  Check({"if (a || b && c) ++n; Print(x);"}, {"if ((a || b ) && c) ++n; Print(x);"});
  // "if(" gains its blank; the return tail and the comment stay behind.
  Check({"if(a || b && c) return(x); // a && b || c"},
        {"if ((a || b ) && c) return(x); // a && b || c"});
  Check({"if (returnCode > 0 || a && b) x();"}, {"if ((returnCode > 0 || a ) && b) x();"});
  Check({"} else if (a || b && c) {"}, {"} else if ((a || b ) && c) {"});
  Check({"if (a || b && s == \"http\x7f:x``()\") go();"},
        {"if ((a || b ) && s == \"http\x7f:x``()\") go();"});
}

// Joined up to the "{" or ";" and rebuilt with its line breaks; an end-of-line
// comment of the if-line follows the statement, or an empty line does.
TEST_F(FixAndOrTest, StatementsOverSeveralLines) {
  Check({"if (a ||", "    b && c) // x && y)", "{", "   x();"},
        {"if ((a ||", "    b ) && c) // x && y)", "{", "", "   x();"});
  Check({"if (a || b && // first", "    c)", "   x();", "y();"},
        {"if ((a || b ) && ", "    c)", "   x();", "// first", "y();"});
  // The empty line follows the rules of every empty line.
  Check({"if (a || b &&", "    c)", "   x();", "   return(0);"},
        {"if ((a || b ) &&", "    c)", "   x();", "   return(0);"});
  // A line beginning with "if" starts a statement of its own.
  Check({"if (a || b &&", "if (c || d && e) x();"}, {"if (a || b &&", "if ((c || d ) && e) x();"});
}

TEST_F(FixAndOrTest, EmptyLinesBeforeTightLinesGo) {
  engine.TextChanged = false;
  EXPECT_EQ(FixAndOrPriorityLevel(
                engine, Lines({"x = 1;", "", "", "   return(0);", "", "{", "", "  continue;", "",
                               "chk = OrderClose(t);", "a;", "   ", "return;", "", "b;", ""})),
            Lines({"x = 1;", "   return(0);", "{", "  continue;", "chk = OrderClose(t);", "a;", "   ",
                   "return;", "", "b;", ""}));
  EXPECT_FALSE(engine.TextChanged);
}

TEST_F(FixAndOrTest, Unchanged) {
  // One operator only, or the other one nested; no if; if-text in literals and comments.
  Unchanged({"if(a && b) x();", "if (a || b) x();", "if(a && (b || c)) x();",
             "if (s == \"&&\" || t == \"||\") x();", "x = Dif(a)&&b || c;",
             "Print(\"if (a || b && c)\");", "// if (a || b && c)", "x(); // if (a || b && c)"});
  // Over several lines with one operator: the lines stay as they are.
  Unchanged({"   if (OrderType() == OP_BUY &&", "       x > 0)", "      y();", "z();"});
  // Parentheses that do not balance: the statement is kept.
  Unchanged({"if (a || b && c) x = f(1));"});
  Unchanged({"if (a || b && c", ""});
  Unchanged({"if (" + kGroup0 + " || a && b) x();"});
}

TEST_F(FixAndOrTest, SwitchOffLeavesTheTextAsItIs) {
  settings.Set(std::string(kAndOrSwitch), false);
  const std::string text = Lines({"if (a || b && c) x();", "", "return;"});
  EXPECT_EQ(FixAndOrPriorityLevel(engine, text), text);
  EXPECT_FALSE(engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
