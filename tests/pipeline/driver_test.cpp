// The conversion driver: progress, program-kind flags, the line pre-pass, whole runs.
#include "pipeline/driver.h"
#include "pipeline/line_prepass.h"

#include <gtest/gtest.h>

#include "pipeline/support/road_fakes.h"
#include "support/convert_check.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;
using Text = std::vector<std::string>;

std::string M(int index) {
  return std::string(markers::MarkOpen) + std::to_string(index) + std::string(markers::MarkClose);
}
const std::string kUrl(placeholders::Url), kEsc(placeholders::Escape);

class DriverTest : public testing::EngineTest {
 protected:
  DriverTest() { engine.progress = &progress; }
  // All rule phases by default: they have their own tests; the driver's work shows without them.
  void Off(std::initializer_list<const char*> gates = {"chkOrderSelect", "chkOrderModify", "chkFixReturn",
                                                       "chkExpressionsNotAllowedGlobalScope"}) {
    for (const char* gate : gates) settings.Set(gate, false);
  }
  // A whole run that changes the text; converting its result again changes nothing.
  void Convert(const Text& before, const Text& after) {
    testing::ExpectConverts(engine, testing::Lines(before), testing::Lines(after));
    ConvertText(engine, testing::Lines(before));
    EXPECT_TRUE(engine.TextChanged);
  }
  // The line pre-pass alone.
  void Check(const std::string& before, const std::string& after, bool changed,
             const std::vector<std::string>& folded = {}) {
    engine.FoldedComments.clear();
    engine.TextChanged = false;
    EXPECT_EQ(PrepareLines(engine, before), after) << before;
    EXPECT_EQ(engine.FoldedComments, folded) << before;
    EXPECT_EQ(engine.TextChanged, changed) << before;
  }
  void Unchanged(const std::string& text) { Check(text, text, false); }

  testing::RoadProgress progress;
};

TEST_F(DriverTest, ProgressAdvancesByTenthsOfTheLines) {
  Off();
  for (const auto& [n, positions] : std::vector<std::pair<int, std::vector<int>>>{
           {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
           {7, {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 7}},
           {17, {1, 1, 3, 5, 6, 8, 10, 11, 13, 15, 17}}}) {
    progress.calls.clear();
    ConvertText(engine, testing::Lines(std::vector<std::string>(n, "a;")));
    std::vector<std::string> want = {"visible 1", "pos 0", "refresh", "max " + std::to_string(n)};
    for (int p : positions) want.insert(want.end(), {"pos " + std::to_string(p), "refresh"});
    want.push_back("hide later");
    EXPECT_EQ(progress.calls, want);
  }
  engine.progress = nullptr;
  EXPECT_EQ(ConvertText(engine, ""), "");
}

// Stale flags are cleared; OnInit() insertion clears NoInit and is no change of the text.
TEST_F(DriverTest, ProgramKindFlags) {
  Off();
  // IsIndicator, NoInit, NoDeinit, NoStart, NoOnCalculate, NoOnTick, then EntryFuncLine.
  for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
           {"int start()\n{\n}\n", "001000 int start()"},
           {"indicator_buffers\nint init()\nint deinit()\nint start()\n", "100000 int start()"},
           {"int OnCalculate(const int n)\nvoid OnTick()\n", "001100 void OnTick()"},
           {"int OnCalculate(const int n)\n", "001101 int OnCalculate(const int n)"},
           // Keys in lines starting with "//" count as absent, after blanks they count.
           {"//int init()\n  // int deinit()\n", "010111 "},
           // Nor do keys in a "/* */" comment.
           {"/*\nint deinit()\nint start() old\n*/\nint start()\n", "001000 int start()"},
           {"/* indicator_buffers */\nint start() // main\n", "001000 int start() // main"},
           {"INT ONINIT()\nvoid ONDEINIT()\nvoid ONSTART()\n", "000000 void ONSTART()"}}) {
    engine.IsIndicator = engine.NoInit = engine.NoDeinit = engine.NoStart = engine.NoOnCalculate =
        engine.NoOnTick = engine.TextChanged = engine.OrderSelectFixed = true;
    engine.EntryFuncLine = "stale";
    ConvertText(engine, Crlf(text));
    std::string flags;
    for (bool f : {engine.IsIndicator, engine.NoInit, engine.NoDeinit, engine.NoStart,
                   engine.NoOnCalculate, engine.NoOnTick})
      flags += f ? '1' : '0';
    EXPECT_EQ(flags + " " + engine.EntryFuncLine, expected) << text;
    EXPECT_FALSE(engine.TextChanged || engine.OrderSelectFixed) << text;
  }
}

TEST_F(DriverTest, ConvertsEndToEnd) {
  Off();
  // The inserted OnInit() loses its blank lines to phase 12.
  testing::ExpectConverts(engine, Crlf("int x;\nint start()\n{\nreturn(0);\n}\n"),
            Crlf("int x;\n\nint OnInit()\n{\nreturn(0);\n}\n\nint start()\n{\nreturn(0);\n}\n"));
  // Comments are folded out of the rule phases' way and come back as they were.
  const std::string source = Crlf("// a\n// b\nint init()\n{\n\n\n b = TRUE; /* TRUE\n TRUE */\n"
                                  " s = \"http://x\\\\y TRUE\";\n if(a)if(b) c();\n\n\n\n}\n");
  testing::ExpectConverts(engine, source,
            Crlf("// a\n// b\nint init()\n{\n b = true; /* true\n TRUE */\n"
                 " s = \"http://x\\\\y TRUE\";\n if(a)\n     if(b) c();\n\n\n}\n"));
  ConvertText(engine, source);
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(DriverTest, RunChecksOrderSelectAndCapturesOrderCalls) {
  Convert({"int init()", "{", "   return(0);", "}", "int start() // main", "{",
         "   for(i = 0; i < OrdersTotal(); i++) { OrderSelect(i, SELECT_BY_POS, MODE_TRADES); n++; }",
         "   OrderSelect(t, SELECT_BY_TICKET); // last", "   OrderClose(t, l, Bid, 3);", "   return(0);", "}"},
        {"bool chk;", "", "int init(){", "   return(0);", "}", "int start() {", "// main",
         "   for(i = 0; i < OrdersTotal(); i++){",
         "   if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue; n++;   ", "}",
         "   if (OrderSelect(t, SELECT_BY_TICKET))// last", "   chk = OrderClose(t, l, Bid, 3);",
         "   return(0);", "}"});
  EXPECT_TRUE(engine.OrderSelectFixed);
}

// Phase 7 drops the empty line that the joined head leaves before a "return".
TEST_F(DriverTest, RunInitialisersMoveIntoInitAndReturnsAreFitted) {
  Off({"chkOrderSelect", "chkOrderModify"});
  Convert({"#property strict", "double bal = AccountBalance(); // start", "Lots = 3;", "double Buf[0];",
         "int init()", "{", "   return(0);", "}", "void deinit()", "{", "   return(0);", "}",
         "int start()", "{", "   Lots = 2;", "}"},
        {"#property strict", "double bal ; // start", "//Lots = 3;", "double Buf[];", "int init(){",
         "    bal = AccountBalance();", "Lots = 3;", "   return(0);", "}", "void deinit(){",
         "   return;", "}", "int start(){", "   Lots = 2;", "   return(0);", "}"});
}

// A moved initialiser alone makes the file changed; the OnInit the driver inserts receives it too.
TEST_F(DriverTest, RunMovedInitialiserAlone) {
  Off({"chkOrderSelect", "chkOrderModify"});
  Convert({"string sym = Symbol();", "int init()", "{", "   return(0);", "}"},
        {"string sym ;", "int init(){", "    sym = Symbol();", "   return(0);", "}"});
  Convert({"string sym = Symbol();", "int start()", "{", "   return(0);", "}"},
        {"string sym ;", "", "int OnInit(){", "    sym = Symbol();", "return(0);", "}", "",
         "int start(){", "   return(0);", "}"});
  // A comment quoting the entry header is no place for OnInit().
  Convert({"/* usage:", "int start() is the entry", "*/", "string sym = Symbol();", "int start()",
           "{", "   return(0);", "}"},
          {"/* usage:", "int start() is the entry", "*/", "string sym ;", "", "int OnInit(){",
           "    sym = Symbol();", "return(0);", "}", "", "int start(){", "   return(0);", "}"});
  // Nor, with comments left in the text, a head that takes in the code after it.
  Off({"chkCommentCompression"});
  testing::ExpectConverts(
      engine, testing::Lines({"/* usage:", "int start() is the entry", "*/", "int start()", "{",
                              "   return(0);", "}"}),
      testing::Lines({"/* usage:", "int start() is the entry", "*/", "", "int OnInit(){", "return(0);",
                      "}", "", "int start(){", "   return(0);", "}"}));
}

// Without comment folding the global part still keeps its comments, spliced
// directives and constants where they are.
TEST_F(DriverTest, RunGlobalPartWithoutCommentFolding) {
  Off({"chkOrderSelect", "chkOrderModify", "chkCommentCompression"});
  Convert({"#define LOT(x) \\", "   ((x) * 0.1)", "/* defaults", "   Lots = 0.5; Risk = 2;", "*/",
           "const string Sym = Symbol();", "extern color Up = Blue,",
           "             Dn = Crimson; //Red; //Magenta;", "double bal /* start */ = AccountBalance();",
           "int init()", "{", "   return(0);", "}"},
          {"#define LOT(x) \\", "   ((x) * 0.1)", "/* defaults", "   Lots = 0.5; Risk = 2;", "*/",
           "const string Sym = Symbol();", "extern color Up = Blue,",
           "             Dn = Crimson; //Red; //Magenta;", "double bal /* start */ ;", "int init(){",
           "    bal = AccountBalance();", "   return(0);", "}"});
}

TEST_F(DriverTest, PrepassPlaceholdersAndTrue) {
  Check("s = \"http://a\";", "s = \"http" + kUrl + "a\";\r\n", true);
  Check("s = \"a\\\\b\\\\\\\\\";", "s = \"a" + kEsc + "b" + kEsc + kEsc + "\";\r\n", true);
  Check("a;\r\nb = TRUE; // TRUE\r", "a;\r\nb = true; // true\r\n", true);
  Check("c = '\"'; s = \"TRUE\"; b = TRUE;", "c = '\"'; s = \"TRUE\"; b = true;\r\n", true);
  // The last: a backslash that ends a two-byte character pairs with nothing.
  for (const char* t : {"b = TRUEX+XTRUE;\r\n", "s = \"a\\\"TRUE\";\r\n", "s = \"\x95\\\\\";\r\n"})
    Unchanged(t);
  // An apostrophe in the prose of a comment left in the text opens no literal.
  settings.Set("chkCommentCompression", false);
  Check("a; /* don't */ b = TRUE;", "a; /* don't */ b = true;\r\n", true);
}

// "\r" alone ends lines only in a text without any "\n"; elsewhere it is dropped.
TEST_F(DriverTest, PrepassLineEnds) {
  Check("a;\rb;\r\rc;", "a;\r\nb;\r\n\r\nc;\r\n", false);
  Check("a;\r\nb;\rc;\n", "a;\r\nb;c;\r\n", false);
  Check("a;\r\r\nb;\n\rc;", "a;\r\nb;\r\nc;\r\n", false);
  Check("x; /* a\r b */ y;\rz;", "x; " + M(0) + " y;\r\nz;\r\n", false, {"/* a\r\n b */"});
}

TEST_F(DriverTest, PrepassFoldsComments) {
  Check("// a\r\n  // b\r\n\r\nx;\r\n", M(0) + "\r\n\r\nx;\r\n", false, {"// a\r\n  // b\r\n"});
  Check("a /* 1 */ b /* 2 */ c\r\n", "a " + M(0) + " c\r\n", false, {"/* 1 */ b /* 2 */"});
  Check("x; /* a\r\n b */ y;\r\nz;", "x; " + M(0) + " y;\r\nz;\r\n", false, {"/* a\r\n b */"});
  // A block opened again on the closing line of the first; "/*/" closes nothing.
  Check("/* a */ b; /* c\r\nd */ e;\r\n", M(0) + " e;\r\n", false, {"/* a */ b; /* c\r\nd */"});
  Check("/*/ a */ b;\r\n", M(0) + " b;\r\n", false, {"/*/ a */"});
  // Not folded: a run or block open at the end, comments after code or "//", "/*" in a literal.
  for (const char* text : {"x;\r\n// a\r\n// b\r\n", "y; /* a\r\n TRUE )if\r\n",
                           "\t  x; // c\r\ny;\r\n", "x; // a /* b\r\ny; */\r\n",
                           "s = \"/*\"; x = a / b * c;\r\ny; */\r\n"})
    Unchanged(text);
  settings.Set("chkCommentCompression", false);
  Unchanged("// a\r\nx; /* b */\r\n");
}

TEST_F(DriverTest, PrepassSplitsIf) {
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

TEST_F(DriverTest, PrepassRestores) {
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

// Placeholders and folding come back byte for byte, placeholder and marker bytes included.
TEST_F(DriverTest, PrepassRoundTrips) {
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
