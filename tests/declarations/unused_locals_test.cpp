// Unused locals taken out of their declarations into end-of-line comments.
#include "declarations/unused_locals.h"

#include <string>
#include <vector>

#include "declarations/renames.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

TEST(RemoveDeclarator, CommentsOutTheDeclarator) {
  const char* cases[][3] = {
      {"int a;", "a", "// a;"},
      {"int a, b;", "b", "int a ;//b;"},
      {"int a, b;", "a", "int   b;//a;"},
      {"int a, b, c;", "b", "int a,  c;//b;"},
      {"int a = 5, b;", "a", "int   b;//a  = 5;"},
      {"int a[5], b;", "a", "int   b;//a[5];"},
      {"double x = a * (b + c);", "x", "// x = a * (b + c);"},
      {"double d = (double)n, e;", "d", "double   e;//d  = (double)n;"},
      {"   int a, b;", "b", "int a ;//b;"},
      {"int a; int b;", "a", "// a;\n     int b;"},
      {"int a; int b;", "b", "int a;// b;"},
      // Commas and semicolons in literals and constants split nothing.
      {"string s = \"a,b;\", t;", "s", "string   t;//s  = \"a,b;\";"},
      {"color c = C'1,2,3', d;", "c", "color   d;//c  = C'1,2,3';"},
      {"int a[] = {}, b;", "b", "int a[] = {} ;//b;"},
      // A multi-line initialiser becomes one comment per line.
      {"int a[2] = {1,\n2};\n", "a", "// a[2] = {1,\n              //2};"},
  };
  for (const auto& [statement, name, after] : cases)
    EXPECT_EQ(RemoveDeclarator(Crlf(statement), name), Crlf(after)) << statement;
}

TEST(RemoveDeclarator, KeepsTheCodeAroundTheDeclaration) {
  const char* cases[][3] = {
      {"int i; for(i = 0; i < n; i++)", "i", "// i;\n     for(i = 0; i < n; i++)"},
      {"double lots; if (x == 1) {", "lots", "// lots;\n        if (x == 1) {"},
      {"int a; } else {", "a", "// a;\n     } else {"},
      {"void f() { int a; }", "a", "void f() { int a; }"},
      {"int b = a;", "a", "int b = a;"},
      {"int a, b; x = 1;", "z", "int a, b; x = 1;"},
      // An initialiser that calls a function may do what the program needs:
      // the order is still sent, the file still opened.
      {"int t = OrderSend(Symbol(), OP_BUY, 1, Ask, 3, 0, 0);", "t",
       "int t = OrderSend(Symbol(), OP_BUY, 1, Ask, 3, 0, 0);"},
      {"double x = iMA(NULL, 0, 14);", "x", "double x = iMA(NULL, 0, 14);"},
      {"int h = FileOpen (\"a.csv\", FILE_CSV), u;", "h", "int h = FileOpen (\"a.csv\", FILE_CSV), u;"},
      {"int h = FileOpen(\"a.csv\", FILE_CSV), u;", "u", "int h = FileOpen(\"a.csv\", FILE_CSV) ;//u;"},
  };
  for (const auto& [statement, name, after] : cases)
    EXPECT_EQ(RemoveDeclarator(Crlf(statement), name), Crlf(after)) << statement;
}

TEST(FindUseOutsideComments, CountsWholeWordsOutsideComments) {
  const std::tuple<const char*, int, int> cases[] = {
      {"int a; a = 1;", 1, 2},
      {"int a; // a\n/* a\n a */ aa = 1;", 1, 0},
      {"int a; Print(\"a\");", 1, 2},
      {"int a; s = \"/*\"; x = a;", 1, 2},
      {"int a; x = a; /* open\n a */", 1, 2},
      {"int a;", 0, 1},
      {"int my.lot; x = my.lot;", 1, 2},
  };
  for (const auto& [text, n, uses] : cases)
    EXPECT_EQ(FindUseOutsideComments(Crlf(text), "a", n) + FindUseOutsideComments(Crlf(text), "my.lot", n),
              uses)
        << text;
}

class EndCommentTest : public testing::EngineTest {
 protected:
  void Check(std::string_view before, std::string_view name, std::string_view after) {
    engine.TextChanged = false;
    EXPECT_EQ(EndCommentUnusedDeclaration(engine, Crlf(before), name), Crlf(after)) << before;
    EXPECT_TRUE(engine.TextChanged) << before;
  }
  void Unchanged(std::string_view text, std::string_view name) {
    engine.TextChanged = false;
    EXPECT_EQ(EndCommentUnusedDeclaration(engine, Crlf(text), name), Crlf(text)) << text;
    EXPECT_FALSE(engine.TextChanged) << text;
  }
};

TEST_F(EndCommentTest, CommentsOutDeclarationStatements) {
  Check("{\n   int a, b; // two\n}", "b", "{\nint a ;//b;// two\n}");
  // The lines are joined without their comments: "b" is not pulled into one.
  Check("   int a, // first\n       b; // second\nx = a;\n", "b",
        "int a ;//b;// first// second\nx = a;\n");
  Check("int i; for(i = 0; i < 5; i++) {\n", "i", "// i;\n     for(i = 0; i < 5; i++) {\n");
  // The declarators that stay keep the line breaks between them.
  Check("   int a = 1,\n       b = 2,\n       c;\nx = a + c;\n", "b",
        "int a = 1, \n       c;//b  = 2;\nx = a + c;\n");
}

TEST_F(EndCommentTest, Unchanged) {
  Unchanged("   int a,\n       b; // two\nint c;", "z");
  Unchanged("   int i; for(i = 0; i < n; i++)\n      x = i;", "z");
  Unchanged("for(int i = 0; i < 5; i++) {}\n", "i");
  Unchanged("double x = iMA(NULL,\n   0, 14);\n", "x");
  Unchanged("// int a;\n/*\nint a;\n*/", "a");
}

class CommentOutUnusedTest : public testing::EngineTest {
 protected:
  static NameList Names(const std::vector<std::string>& names) {
    NameList list;
    for (const std::string& name : names) list.Append(name, "int");
    return list;
  }
};

TEST_F(CommentOutUnusedTest, OnlyUnusedLocalsAfterTheParameters) {
  const std::string body = Crlf(
      "int f(int p, int q) {\n   int a, b, c;\n   int arr [3];\n   double x = Point * 0.5;\n"
      "   b = arr[0];\n   int d = 1; int e = d;\n}");
  EXPECT_EQ(FixLocalDeclarations(engine, body, Names({"p", "q", "a", "b", "c", "arr ", "* 0.5", "x", "d", "e"}),
                                 NameList(), 2),
            Crlf("int f(int p, int q) {\nint   b ;//c;//a;\n   int arr [3];\n// x = Point * 0.5;\n"
                 "   b = arr[0];\n   int d = 1;// e = d;\n}"));
  settings.Set("chkNotUsedVariable", false);
  EXPECT_EQ(FixLocalDeclarations(engine, body, Names({"a"}), NameList(), 0), body);
}

// A head whose default parameter value holds "=" is no declaration statement:
// it never swallows the body's first line.
TEST_F(CommentOutUnusedTest, TheHeadIsNeverADeclaration) {
  const std::string body = Crlf("int f(string sep = \",\"){\n   int k;\n   Print(sep);\n}");
  EXPECT_EQ(FixLocalDeclarations(engine, body, Names({"sep", "k"}), NameList(), 1),
            Crlf("int f(string sep = \",\"){\n// k;\n   Print(sep);\n}"));
  const std::string second = Crlf("int f(string sep = \",\"){\n   double k; Print(sep);\n}");
  EXPECT_EQ(FixLocalDeclarations(engine, second, Names({"sep", "k"}), NameList(), 1), second);
}

}  // namespace
}  // namespace lumivex
