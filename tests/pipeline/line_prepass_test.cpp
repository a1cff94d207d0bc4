// The line pre-pass and the restore: before/after pairs for PrepareLines, and
// round trips through both with the rule phases left out.
#include "pipeline/line_prepass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_settings.h"
#include "text/text.h"

namespace lumivex {
namespace {

using testing::FakeSettings;

std::string M(int index) {
  return std::string(markers::MarkOpen) + std::to_string(index) + std::string(markers::MarkClose);
}
const std::string kUrl(placeholders::Url);
const std::string kEsc(placeholders::Escape);

class PrepassTest : public ::testing::Test {
 protected:
  PrepassTest() { engine.settings = &settings; }

  void Check(const std::string& before, const std::string& after,
             const std::vector<std::string>& folded = {}) {
    engine.FoldedComments.clear();
    EXPECT_EQ(PrepareLines(engine, before), after) << "before: " << before;
    EXPECT_EQ(engine.FoldedComments, folded) << "before: " << before;
  }
  void Unchanged(const std::string& text) { Check(text, text); }

  // PrepareLines, then RestoreLines on its result.
  std::string RoundTrip(const std::string& source) {
    engine.FoldedComments.clear();
    return RestoreLines(engine, PrepareLines(engine, source));
  }

  FakeSettings settings;
  Engine engine;
};

// ---- placeholders and "TRUE" -----------------------------------------------

TEST_F(PrepassTest, Placeholders) {
  Check("s = \"http://a\";", "s = \"http" + kUrl + "a\";\r\n");
  Check("s = \"a\\\\b\\\\\\\\\";", "s = \"a" + kEsc + "b" + kEsc + kEsc + "\";\r\n");
  Check("a;\r\nb;\r", "a;\r\nb;\r\n");
  // A backslash that ends a two-byte character pairs with nothing.
  Check("s = \"\x95\\\\\";", "s = \"\x95\\\\\";\r\n");
}

TEST_F(PrepassTest, TrueBecomesLowerCaseOutsideLiterals) {
  Check("b = TRUE;", "b = true;\r\n");
  EXPECT_TRUE(engine.TextChanged);
  Check("x = 1; // TRUE here", "x = 1; // true here\r\n");
  Check("s = \"TRUE\"; b = TRUE;", "s = \"TRUE\"; b = true;\r\n");
  Check("s = \"a\\\"TRUE\";", "s = \"a\\\"TRUE\";\r\n");
  Check("c = '\"'; b = TRUE;", "c = '\"'; b = true;\r\n");
}

TEST_F(PrepassTest, LeftAsTheyAre) {
  engine.TextChanged = false;
  for (const char* text : {"", "b = TRUEX; c = XTRUE;\r\n", "x = a / b * c;\r\n"}) Unchanged(text);
  EXPECT_FALSE(engine.TextChanged);
}

// ---- comment folding ----------------------------------------------------------

TEST_F(PrepassTest, FoldsRunsOfCommentLines) {
  Check("// a\r\n  // b\r\n// c\r\n\r\nx;\r\n", M(0) + "\r\n\r\nx;\r\n",
        {"// a\r\n  // b\r\n// c\r\n"});
  // A statement with a comment at its end is no comment line.
  Check("\t  x; // c\r\n", "\t  x; // c\r\n");
  // A run at the end of the text is not folded.
  Check("x;\r\n// a\r\n// b", "x;\r\n// a\r\n// b\r\n");
}

TEST_F(PrepassTest, FoldsBlockComments) {
  Check("x; /* c */\r\ny;\r\n", "x; " + M(0) + "\r\ny;\r\n", {"/* c */"});
  Check("a /* 1 */ b /* 2 */ c\r\n", "a " + M(0) + " c\r\n", {"/* 1 */ b /* 2 */"});
  Check("x; /* a\r\n b\r\n c */ y;\r\nz;", "x; " + M(0) + " y;\r\nz;\r\n", {"/* a\r\n b\r\n c */"});
  // A block comment opened again on the line that closes the first one.
  Check("/* a */ b; /* c\r\nd */ e;\r\n", M(0) + " e;\r\n", {"/* a */ b; /* c\r\nd */"});
  // "/*/" does not close what it opens.
  Check("/*/ a */ b;\r\n", M(0) + " b;\r\n", {"/*/ a */"});
  // Numbered in the order they are met.
  Check("// r\r\nx; /* b */\r\n", M(0) + "\r\nx; " + M(1) + "\r\n", {"// r\r\n", "/* b */"});
}

TEST_F(PrepassTest, OpensNoBlock) {
  Unchanged("s = \"/*\"; x;\r\n");
  Unchanged("x; // a /* b\r\ny;\r\n");
}

TEST_F(PrepassTest, BlockStillOpenAtTheEndIsNotFolded) {
  Check("x;\r\ny; /* a\r\n TRUE )if\r\n", "x;\r\ny; /* a\r\n TRUE )if\r\n");
}

TEST_F(PrepassTest, NoFoldingWhenUnchecked) {
  settings.Set("chkCommentCompression", false);
  Unchanged("// a\r\nx; /* b */\r\n");
}

// ---- the if split ----------------------------------------------------------

TEST_F(PrepassTest, SplitsIfAfterParenthesis) {
  Check("if(a)if(b) x;", "if(a)\r\n    if(b) x;\r\n");
  Check("if(a) if(b) x;", "if(a)\r\n    if(b) x;\r\n");
  Check("\t  if(a)if(b)if(c) x;", "\t  if(a)\r\n          if(b) if(c) x;\r\n");
}

TEST_F(PrepassTest, SplitsIfAfterBrace) {
  Check("{ if(a) x;", "{\r\n                if(a) x;\r\n");
  Check("  {if(a) x; { if(b) y;", "  {\r\n                  if(a) x; {if(b) y;\r\n");
}

TEST_F(PrepassTest, SplitSetsTextChangedOnlyWhenItReplaces) {
  PrepareLines(engine, "if(a) if(b) x;");
  EXPECT_FALSE(engine.TextChanged);
  PrepareLines(engine, "if(a)if(b) x;");
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(PrepassTest, NoSplitInLiteralsOrComments) {
  Unchanged("s = \"(a)if\"; t = \"{ if\";\r\n");
  Unchanged("x; // (a)if b\r\n");
  settings.Set("chkCommentCompression", false);
  Unchanged("// if(a)if(b)\r\n");
}

// ---- restore -----------------------------------------------------------------

TEST_F(PrepassTest, RestoreLeavesBrokenMarkersAsText) {
  engine.FoldedComments = {"/* a */"};
  const std::string open(markers::MarkOpen), close(markers::MarkClose);
  for (const std::string& line : {open + "1" + close, open + "0", open + close, open + "x" + close,
                                  open + "99999999999999999999999" + close, "0" + close}) {
    EXPECT_EQ(RestoreLines(engine, line + " y;\r\n"), line + " y;\r\n") << line;
  }
  EXPECT_EQ(RestoreLines(engine, "a " + open + "0" + close + " b\r\n"), "a /* a */ b\r\n");
}

TEST_F(PrepassTest, RestoreKeepsRunLineBreaks) {
  engine.FoldedComments = {"// a\r\n// b\r\n"};
  EXPECT_EQ(RestoreLines(engine, "x;\r\n" + M(0) + "\r\ny;\r\n"), "x;\r\n// a\r\n// b\r\ny;\r\n");
  // Restored even when the switch was turned off during the run.
  settings.Set("chkCommentCompression", false);
  EXPECT_EQ(RestoreLines(engine, M(0) + "\r\n"), "// a\r\n// b\r\n");
}

struct RoundTripCase {
  const char* name;
  std::string source;
};

class PrepassRoundTripTest : public PrepassTest,
                             public ::testing::WithParamInterface<RoundTripCase> {};

// Sources the pre-pass changes only by their placeholders and folding: they
// come back byte for byte, with folding and without.
TEST_P(PrepassRoundTripTest, ComesBackByteForByte) {
  const std::string& source = GetParam().source;
  EXPECT_EQ(RoundTrip(source), source);
  settings.Set("chkCommentCompression", false);
  EXPECT_EQ(RoundTrip(source), source);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PrepassRoundTripTest,
    ::testing::Values(
        RoundTripCase{"Url", "s = \"http://x.org\"; // see http://y\r\n"},
        RoundTripCase{"Backslashes", "s = \"a\\\\b\\\\\\\\c\\n\";\r\n"},
        RoundTripCase{"ColonBackquotes", "s = \":``\"; // a:``b\r\n"},
        RoundTripCase{"BackspaceBytes", "s = \"\x08\x08\\\\\x08\";\r\n"},
        RoundTripCase{"DelBytes", "s = \"\x7f\x7f:\x7f\";\r\n"},
        RoundTripCase{"MarkerBytes", "s = \"<\x7f<0>\x7f>\"; // <\x7f<1>\x7f> <\x7f@ @\x7f>\r\n"},
        RoundTripCase{"PlaceholderLookalikes", "a\x7f:b \x7f\x08 c\x7f\r\n"},
        RoundTripCase{
            "Comments",
            "// a\r\n// b\r\n\r\nint x; /* c */ int y; /* d\r\n e */\r\n/* f */\r\n// g\r\n"},
        RoundTripCase{"CommentWithUrl", "/* http://a \\\\ */ x;\r\n// http://b\r\n"},
        RoundTripCase{"OpenBlockAtEnd", "x;\r\n/* a http://b\r\n c\r\n"},
        RoundTripCase{"TwoByteCharacters", "s = \"\x95\\\"; // \x82\xa0\r\n"}),
    [](const auto& info) { return info.param.name; });

// The top-level searches mask "()" as two backquotes and put them back; the
// URL placeholder must come through that unharmed.
TEST_F(PrepassTest, UrlPlaceholderSurvivesParenthesisMasking) {
  const std::string source = "s = \"http://a\" + f();\r\n";
  std::string text = PrepareLines(engine, source);
  text = ReplaceText(engine, 0, "``", "()", text);
  text = ReplaceText(engine, 0, "()", "``", text);
  EXPECT_EQ(RestoreLines(engine, text), source);
}

}  // namespace
}  // namespace lumivex
