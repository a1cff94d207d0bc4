// InsertOnInit and CompactBlankLines as before/after pairs.
#include "rules/oninit.h"

#include <gtest/gtest.h>

#include <string>

namespace lumivex {
namespace {

const std::string kBlock = "\r\nint OnInit()\r\n{\r\n\r\n\r\n\r\nreturn(0);\r\n}\r\n\r\n";

struct InsertCase {
  const char* name;
  std::string key, before, after;
};

class InsertOnInitTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertOnInitTest, Check) {
  EXPECT_EQ(InsertOnInit(GetParam().before, GetParam().key), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertOnInitTest,
    ::testing::Values(InsertCase{"BeforeHeader", "int start()",
                                 "int x;\r\nint start()\r\n{\r\n}\r\n",
                                 "int x;\r\n" + kBlock + "int start()\r\n{\r\n}\r\n"},
                      InsertCase{"KeyWithoutCase", "INT START()", "int start()\r\n{}",
                                 kBlock + "int start()\r\n{}"},
                      // A comment quoting the whole header stands first: the block goes there.
                      InsertCase{"CommentQuotingHeader", "int start()",
                                 "// int start() is it\r\nint start()\r\n",
                                 kBlock + "// int start() is it\r\nint start()\r\n"},
                      // Lines ending in "\n" alone make one line: the block goes to the very start.
                      InsertCase{"LineFeedsOnly", "int start()", "int x;\nint start()\n{\n}\n",
                                 kBlock + "int x;\nint start()\n{\n}\n\r\n"},
                      // Key found nowhere: nothing inserted, every line gets its "\r\n".
                      InsertCase{"KeyMissing", "int start()", "a\r\n\r\nb", "a\r\n\r\nb\r\n"},
                      InsertCase{"Empty", "int start()", "", ""}),
    [](const auto& info) { return info.param.name; });

void Check(const std::string& before, const std::string& after) {
  EXPECT_EQ(CompactBlankLines(before), after) << "before: " << before;
}
void Unchanged(const std::string& text) { Check(text, text); }

TEST(CompactBlankLines, KeepsAtMostTwoBlankLines) {
  Check("}\r\n\r\n\r\n\r\n\r\n\r\nint f()\r\n", "}\r\n\r\n\r\nint f()\r\n");
  Check("a;\r\n \r\n\t\r\n  \r\nb;", "a;\r\n \r\n\t\r\nb;\r\n");
}

TEST(CompactBlankLines, DropsBlankLinesInsideOpenStatements) {
  // After "{" up to the next line ending in ";".
  Check("int f()\r\n{\r\n\r\n\r\nint x;\r\n\r\nx=1;\r\n", "int f()\r\n{\r\nint x;\r\n\r\nx=1;\r\n");
  // After a "+" continuation.
  Check("s = a +\r\n\r\n  b;\r\n\r\n", "s = a +\r\n  b;\r\n\r\n");
  // Inside an if-condition left open, up to the line holding ")".
  Check("if (a &&\r\n\r\n  b)\r\n\r\nx;\r\n", "if (a &&\r\n  b)\r\n\r\nx;\r\n");
  // A comment line holding "if " and no ")" opens the condition as well.
  Check("// if we get here\r\n\r\nx = (1);\r\n\r\n", "// if we get here\r\nx = (1);\r\n\r\n");
}

TEST(CompactBlankLines, UnchangedTexts) {
  Unchanged("");
  Unchanged("int f() { \r\n\r\nx;\r\n");    // a blank after "{": no statement open
  Unchanged("a;\r\n \t \r\n\t\r\nb;\r\n");  // kept blank lines keep their blanks
}

}  // namespace
}  // namespace lumivex
