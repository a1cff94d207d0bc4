// Phases 7, 8 and 11 in whole runs: AND/OR grouping, unrecognised escapes,
// array parameters by reference; the result, a fixed point, and the road.
#include <gtest/gtest.h>

#include "pipeline/file_road.h"
#include "pipeline/support/road_fakes.h"
#include "support/convert_check.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class StatementRulesRun : public testing::EngineTest {
 protected:
  // The other rule phases have their own runs; here only these three act.
  StatementRulesRun() {
    for (const char* gate :
         {"chkOrderSelect", "chkOrderModify", "chkFixReturn", "chkExpressionsNotAllowedGlobalScope"})
      settings.Set(gate, false);
  }
  void Check(std::string_view before, std::string_view after) {
    testing::ExpectConverts(engine, Crlf(before), Crlf(after));
  }
};

// Literals, URLs, escaped backslashes and comments come back intact.
TEST_F(StatementRulesRun, GroupsConditions) {
  Check("if (a || b && s == \"http://x``()\") go();\n",
        "if ((a || b ) && s == \"http://x``()\") go();\n");
  Check("   if (a && f(\"a\\\\b\") || c) x(); // a && b || c\n",
        "   if (a && ( f(\"a\\\\b\") || c)) x(); // a && b || c\n");
  Check("if (a ||  // x && y)\n    b && c)\n   go();\n",
        "if ((a ||  \n    b ) && c)\n   go();\n// x && y)\n");
  Check("if (a ||\n    b // x && y)\n    && c) go();\n",
        "if ((a ||\n    b // x && y)\n    ) && c) go();\n\n");
  Check("if (a ||\n  // b && c)\n  /* d) && */ b && c) go();\n",
        "if ((a ||\n  // b && c)\n  /* d) && */ b ) && c) go();\n\n");
}

TEST_F(StatementRulesRun, RemovesUnrecognisedEscapes) {
  Check("Print(\"\x83\x5c\\qz\"); // \"\\q\"\n", "Print(\"\x83\x5cqz\"); // \"\\q\"\n");
  Check("s = \"C:\\\\dir\\\\\" + \"\\qa\";\n#include \"Utils\\Common.mqh\"\nt = \"\\x41\";\n",
        "s = \"C:\\\\dir\\\\\" + \"\\qa\";\n#include \"Utils\\Common.mqh\"\nt = \"x41\";\n");
}

TEST_F(StatementRulesRun, MarksArrayParameters) {
  Check("void Fill(double arr[], int n)\n{\n}\nint Sum(double arr[]);\n",
        "void Fill(double &arr[],  int n){\n}\nint Sum(double &arr[]);\n");
}

// A file whose only fix is one of these is rewritten; converting the result
// again finds nothing to do.
TEST_F(StatementRulesRun, AFixAloneMakesTheFileChanged) {
  testing::RoadTempDir dir;
  for (const char* source :
       {"void f()\r\n{\r\n   if (a || b && c) g();\r\n}\r\n", "s = \"a\\qb\";\r\n",
        "void f(double a[])\r\n{\r\n}\r\n"}) {
    const std::string path = dir.Write("a.mq4", source);
    EXPECT_TRUE(ConvertOneFile(engine, path)) << source;
    EXPECT_FALSE(ConvertOneFile(engine, path)) << source;
  }
}

}  // namespace
}  // namespace lumivex
