#include "rules/escapes.h"

#include "support/engine_test.h"

namespace lumivex {
namespace {

class FixUnrecognizedEscapeTest : public testing::EngineTest {
 protected:
  void Check(const std::string& before, const std::string& after) {
    engine.TextChanged = false;
    EXPECT_EQ(FixUnrecognizedEscape(engine, before + "\r\n"), after + "\r\n") << before;
    EXPECT_TRUE(engine.TextChanged) << before;
    EXPECT_EQ(FixUnrecognizedEscape(engine, after + "\r\n"), after + "\r\n") << "again: " << after;
  }
  void Unchanged(const std::string& line) {
    engine.TextChanged = false;
    EXPECT_EQ(FixUnrecognizedEscape(engine, line + "\r\n"), line + "\r\n") << line;
    EXPECT_FALSE(engine.TextChanged) << line;
  }
};

TEST_F(FixUnrecognizedEscapeTest, RemovesTheFirstUnknownBackslash) {
  const char* cases[][2] = {
      {"Print(\"a\\qb\");", "Print(\"aqb\");"},
      {"s = \"\\N and \\x41\";", "s = \"N and x41\";"},
      {"s = \"\\x41\";", "s = \"x41\";"},
      // Before a two-byte character; a second byte 0x5C is no backslash.
      {"s = \"\\\x83\x5cz\";", "s = \"\x83\x5cz\";"},
      {"s = \"\x83\x5c\\qz\";", "s = \"\x83\x5cqz\";"},
      // The backslashes of the first literal, up to a kept escape: none is
      // left for a second run to take.
      {"s = \"\\q\\w\";", "s = \"q\\w\";"},
      {"s = \"\\x41\\101\";", "s = \"x41101\";"},
      {"s = \"\\q\\w\\n\\p1\", \"\\q\";", "s = \"qw\\n\\p1\", \"\\q\";"},
      {"s = \"\\q\x83\x5c\\w12\";", "s = \"q\x83\x5cw12\";"},
      // Literals in '...' and in comments are stepped over.
      {"if (c == '\"' || d == '\\x') Print(\"a\\qb\");", "if (c == '\"' || d == '\\x') Print(\"aqb\");"},
      {"color c = C'1,2,3'; s = \"a\\qb\"; // \"\\q\"", "color c = C'1,2,3'; s = \"aqb\"; // \"\\q\""},
      {"s = \"a\\qb//c\"; // x", "s = \"aqb//c\"; // x"}};
  for (const auto& c : cases) Check(c[0], c[1]);
}

TEST_F(FixUnrecognizedEscapeTest, Unchanged) {
  for (const char* line :
       {"s = \"a\\nb\";", "s = \"a\\rb\";", "s = \"a\\tb\";", "s = \"a\\\"b\";", "s = \"a\\'b\";",
        // The escaped pair arrives as placeholders.
        "s = \"a\x08\x08qb\";",
        // A backslash among the last two bytes of the literal, or in a second literal.
        "s = \"ab\\q\";", "Print(\"a\", \"\\q\");",
        // No closed literal, comment lines, include and import paths.
        "s = \"\\qa", "// s = \"\\qa\";", "  // \"\\q\"", "x(); // \"a\\qb\"", "#include \"Utils\\Common.mqh\"",
        "  #import \"Libs\\kernel.dll\"", "d = '\\q';", ""})
    Unchanged(line);
}

TEST_F(FixUnrecognizedEscapeTest, EveryLineEndsAndTheSwitchIsReadLive) {
  EXPECT_EQ(FixUnrecognizedEscape(engine, "a;\r\ns = \"\\q12\";"), "a;\r\ns = \"q12\";\r\n");
  settings.Set(std::string(kEscapeSwitch), false);
  EXPECT_EQ(FixUnrecognizedEscape(engine, "s = \"\\q12\";"), "s = \"\\q12\";");
}

}  // namespace
}  // namespace lumivex
