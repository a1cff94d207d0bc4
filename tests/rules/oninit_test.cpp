// InsertOnInit and CompactBlankLines as before/after pairs.
#include "rules/oninit.h"

#include <gtest/gtest.h>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

// The key is the entry function's header line, compared without regard to case.
TEST(InsertOnInit, BeforeTheFirstLineHoldingTheKey) {
  const std::string block(kOnInitBlock), start = Crlf("int start()\n{}");
  for (const auto& [before, after] : std::vector<std::pair<std::string, std::string>>{
           {Crlf("int x;\n") + start, Crlf("int x;\n") + block + start},
           // A comment quoting the whole header stands first: the block goes there.
           {"// int start() is it\r\n" + start, block + "// int start() is it\r\n" + start},
           // Lines ending in "\n" alone make one line: the block goes to the very start.
           {"int x;\nint start()\n", block + "int x;\nint start()\n\r\n"},
           // A header quoted in a "/* */" comment is passed over: the block
           // would be commented out there.
           {"/* usage:\r\nint start() is it\r\n*/\r\n" + start,
            "/* usage:\r\nint start() is it\r\n*/\r\n" + block + start},
           {"/* int start() */\r\n" + start, "/* int start() */\r\n" + block + start},
           {"x = 1; /* a */ /* b\r\nint start() c */\r\n" + start,
            "x = 1; /* a */ /* b\r\nint start() c */\r\n" + block + start},
           // Key found nowhere: nothing inserted, every line gets its "\r\n".
           {"a\r\n\r\nb", "a\r\n\r\nb\r\n"}, {"", ""}})
    EXPECT_EQ(InsertOnInit(before, "INT START()"), after) << before;
}

void Check(const std::string& before, const std::string& after) {
  EXPECT_EQ(CompactBlankLines(Crlf(before)), Crlf(after)) << before;
}

TEST(CompactBlankLines, Compacts) {
  Check("}\n\n\n\n\n\nint f()\n", "}\n\n\nint f()\n");
  Check("a;\n \n\t\n  \nb;", "a;\n \n\t\nb;\n");
  // Inside statements left open: after "{" or "+" up to a line ending in ";",
  // after an if-condition left open (also in a comment) up to a line holding ")".
  Check("int f()\n{\n\n\nint x;\n\nx=1;\n", "int f()\n{\nint x;\n\nx=1;\n");
  Check("s = a +\n\n  b;\n\n", "s = a +\n  b;\n\n");
  Check("if (a &&\n\n  b)\n\nx;\n", "if (a &&\n  b)\n\nx;\n");
  Check("// if we get here\n\nx = (1);\n\n", "// if we get here\nx = (1);\n\n");
}

TEST(CompactBlankLines, Unchanged) {
  for (const char* text : {"", "int f() { \n\nx;\n"}) Check(text, text);  // "{ " opens nothing
  // Lines of held-back backslashes (a "\\\\" line of a text) are text, not blank lines.
  Check("a;\n\n\n\x08\x08\n \x08\x08\n\x08\x08\nb;\n", "a;\n\n\n\x08\x08\n \x08\x08\n\x08\x08\nb;\n");
  Check("x = a +\n\x08\x08\n  b;\n", "x = a +\n\x08\x08\n  b;\n");
}

}  // namespace
}  // namespace lumivex
