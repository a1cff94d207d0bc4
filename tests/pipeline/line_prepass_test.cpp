// The line pre-pass as before/after pairs, the restore, and round trips through both.
#include "pipeline/line_prepass.h"

#include <gtest/gtest.h>

#include "support/engine_test.h"

namespace lumivex {
namespace {

std::string M(int index) {
  return std::string(markers::MarkOpen) + std::to_string(index) + std::string(markers::MarkClose);
}
const std::string kUrl(placeholders::Url), kEsc(placeholders::Escape);

class PrepassTest : public testing::EngineTest {
 protected:
  void Check(const std::string& before, const std::string& after, bool changed,
             const std::vector<std::string>& folded = {}) {
    engine.FoldedComments.clear();
    engine.TextChanged = false;
    EXPECT_EQ(PrepareLines(engine, before), after) << before;
    EXPECT_EQ(engine.FoldedComments, folded) << before;
    EXPECT_EQ(engine.TextChanged, changed) << before;
  }
  void Unchanged(const std::string& text) { Check(text, text, false); }
};

TEST_F(PrepassTest, PlaceholdersAndTrue) {
  Check("s = \"http://a\";", "s = \"http" + kUrl + "a\";\r\n", true);
  Check("s = \"a\\\\b\\\\\\\\\";", "s = \"a" + kEsc + "b" + kEsc + kEsc + "\";\r\n", true);
  Check("a;\r\nb = TRUE; // TRUE\r", "a;\r\nb = true; // true\r\n", true);
  Check("c = '\"'; s = \"TRUE\"; b = TRUE;", "c = '\"'; s = \"TRUE\"; b = true;\r\n", true);
  // The last: a backslash that ends a two-byte character pairs with nothing.
  for (const char* t : {"b = TRUEX+XTRUE;\r\n", "s = \"a\\\"TRUE\";\r\n", "s = \"\x95\\\\\";\r\n"})
    Unchanged(t);
}

TEST_F(PrepassTest, FoldsComments) {
  Check("// a\r\n  // b\r\n\r\nx;\r\n", M(0) + "\r\n\r\nx;\r\n", false, {"// a\r\n  // b\r\n"});
  Check("a /* 1 */ b /* 2 */ c\r\n", "a " + M(0) + " c\r\n", false, {"/* 1 */ b /* 2 */"});
  Check("x; /* a\r\n b */ y;\r\nz;", "x; " + M(0) + " y;\r\nz;\r\n", false, {"/* a\r\n b */"});
  // A block opened again on the closing line of the first; "/*/" closes nothing.
  Check("/* a */ b; /* c\r\nd */ e;\r\n", M(0) + " e;\r\n", false, {"/* a */ b; /* c\r\nd */"});
  Check("/*/ a */ b;\r\n", M(0) + " b;\r\n", false, {"/*/ a */"});
  // Not folded: a run or a block still open at the end of the text, comments at
  // the end of a statement or after "//", "/*" in a literal.
  for (const char* text : {"x;\r\n// a\r\n// b\r\n", "y; /* a\r\n TRUE )if\r\n",
                           "\t  x; // c\r\ny;\r\n", "x; // a /* b\r\ny; */\r\n",
                           "s = \"/*\"; x = a / b * c;\r\ny; */\r\n"})
    Unchanged(text);
  settings.Set("chkCommentCompression", false);
  Unchanged("// a\r\nx; /* b */\r\n");
}

TEST_F(PrepassTest, SplitsIf) {
  Check("if(a)if(b) x;", "if(a)\r\n    if(b) x;\r\n", true);
  Check("if(a) if(b) x;", "if(a)\r\n    if(b) x;\r\n", false);
  Check("\t  if(a)if(b)if(c) x;", "\t  if(a)\r\n          if(b) if(c) x;\r\n", true);
  Check("  { if(a) x; { if(b) y;", "  {\r\n                  if(a) x; {if(b) y;\r\n", true);
  Check("{if(a) x;", "{\r\n                if(a) x;\r\n", false);
  // Not in literals nor in comments, folded or not.
  Unchanged("s = \"(a)if\"; t = \"{ if\"; // (a)if b\r\n");
  settings.Set("chkCommentCompression", false);
  Unchanged("// if(a)if(b)\r\n");
}

TEST_F(PrepassTest, Restores) {
  engine.FoldedComments = {"/* a */", "// a\r\n// b\r\n"};
  EXPECT_EQ(RestoreLines(engine, "a " + M(0) + " b\r\n" + M(1) + "\r\ny;\r\n"),
            "a /* a */ b\r\n// a\r\n// b\r\ny;\r\n");
  // A marker that a rule cut or that names no entry stays as it stands.
  const std::string open(markers::MarkOpen), close(markers::MarkClose);
  for (const std::string& line : {open + "2" + close, open + "0", open + "x" + close,
                                  open + "99999999999999999999999" + close, "0" + close})
    EXPECT_EQ(RestoreLines(engine, line + " y;\r\n"), line + " y;\r\n") << line;
  settings.Set("chkCommentCompression", false);  // turned off during the run
  EXPECT_EQ(RestoreLines(engine, M(1) + "\r\n"), "// a\r\n// b\r\n");
}

// Sources the pre-pass changes only by its placeholders and folding come back
// byte for byte, placeholder and marker bytes of the source included.
TEST_F(PrepassTest, RoundTrips) {
  for (const std::string source :
       {"s = \"http://x.org\"; // see http://y\r\n", "s = \":``\"; // a:``b\r\n",
        "a\x7f:b \x7f\x08 c\x7f\x7f\r\n", "s = \"\x08\x08\\\\\x08\";\r\n",
        "s = \"\x95\\\"; // \x82\xa0\r\n", "x;\r\n/* a http://b\r\n c\r\n",
        "s = \"<\x7f<0>\x7f>\"; // <\x7f<1>\x7f> <\x7f@ @\x7f>\r\n",
        "// a\r\n// b\r\n\r\nint x; /* c */ int y; /* d\r\n e */\r\n/* f */\r\n// g\r\n",
        "/* http://a \\\\ */ x;\r\n// http://b\r\n"}) {
    for (bool fold : {true, false}) {
      settings.Set("chkCommentCompression", fold);
      engine.FoldedComments.clear();
      const std::string prepared = PrepareLines(engine, source);
      EXPECT_EQ(RestoreLines(engine, prepared), source) << "fold " << fold;
      // The top-level searches mask "()" as two backquotes: no placeholder may hold one.
      EXPECT_EQ(prepared.find('`') == std::string::npos, source.find('`') == std::string::npos);
    }
  }
}

}  // namespace
}  // namespace lumivex
