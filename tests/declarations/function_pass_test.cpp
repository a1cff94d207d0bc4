// The per-function pass: which lines make functions, where globals come from,
// and which rules run on which part.
#include "declarations/function_pass.h"

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class FunctionPassTest : public testing::EngineTest {
 protected:
  void Check(std::string_view globals, std::string_view before, std::string_view after) {
    EXPECT_EQ(AnalyseFunctionBodies(engine, Crlf(before), Crlf(globals)), Crlf(after)) << before;
  }
  void Unchanged(std::string_view globals, std::string_view text) { Check(globals, text, text); }
};

TEST_F(FunctionPassTest, MasterSwitchOffLeavesTheTextByteForByte) {
  settings.Set("chkHidesGlobalDeclaration", false);
  const std::string text = "int delete;\r\nvoid f(){\r\n   int delete; Comment(delete);\r\n}";
  EXPECT_EQ(AnalyseFunctionBodies(engine, text, "int delete;\r\n"), text);
  EXPECT_FALSE(engine.TextChanged);
}

TEST_F(FunctionPassTest, DefinitionsAreTellFromPrototypesAndDeclarations) {
  // The prototype and the string initialised by a call are file scope; the
  // head whose parameters run over two lines is a definition.
  Check("int a;\n",
        "int a;\nint g(int a);\nstring s = f(a,\n   1);\nint f(int a,\n      int b)\n{\n"
        "   return(a + b);\n}",
        "int a;\nint g(int a);\nstring s = f(a,\n   1);\nint f(int _a_,\n      int b)\n{\n"
        "   return(_a_ + b);\n}\n");
  // No "{" within the look-ahead: no definition, so no locals.
  Unchanged("int a;\n", "int g(int a)\n\n\n\n\n{\n   int a;\n}\n");
  // A one-line function keeps its body: its unused local is commented out
  // and the closing brace moves to a line of its own.
  Check("", "int x;\nvoid f() { int a = 1; }\nvoid g() { x = 2; }\n",
        "int x;\nvoid f() {// a = 1;\n          }\nvoid g() { x = 2; }\n");
}

TEST_F(FunctionPassTest, GlobalsComeFromBetweenAndAfterTheFunctions) {
  // The first function has no entry; later ones do, so a later function
  // named like a reserved word is renamed, and so is every call of it.
  Check("",
        "void delete(){\n}\nint between;\nvoid case(){\n   delete();\n}\n"
        "void h(){\n   int between, late; between = late; case();\n}\nint late;\n",
        "void delete(){\n}\nint between;\nvoid case_(){\n   delete();\n}\n"
        "void h(){\n   int _between_, _late_; _between_ = _late_; case_();\n}\nint late;\n");
}

// A function ends at the "}" that closes its own "{": an array initialiser
// between functions is file scope, never a local of the function before it,
// and a local of the next function named like it hides it.
TEST_F(FunctionPassTest, ArrayInitialisersBetweenFunctionsAreGlobals) {
  Check("",
        "void ff(){\n   Print(1);\n}\nint Table[3] ={\n1, 2, 3\n};\n"
        "void gg(){\n   int Table; Table = 1;\n}\n",
        "void ff(){\n   Print(1);\n}\nint Table[3] ={\n1, 2, 3\n};\n"
        "void gg(){\n   int _Table_; _Table_ = 1;\n}\n");
  Unchanged("", "int One(int a[]) { return(a[0]); }\nint Last[2] = {1,\n               2};\n");
}

TEST_F(FunctionPassTest, WithoutADefinitionOnlyTheGlobalRulesRun) {
  Unchanged("", "int a[2] = {1, 2};\nint i;\ndouble x = 1;\nstring s = StringConcatenate(s, x);\n");
  Check("", "int a[2] = {1, 2};\ndouble my.lot;\nmy.lot = 1;", "int a[2] = {1, 2};\ndouble my_lot;\nmy_lot = 1;\n");
}

TEST_F(FunctionPassTest, BodiesKeepTheirLineEndsAndSwitchesAreReadPerRule) {
  // A function whose last line is its "}" gets no empty line behind it.
  const char* text =
      "double y;\nvoid f(){\n   int n = 1; Comment(n, y);\n   string s = StringConcatenate(s, n);\n}\n"
      "void g(){\n   Comment(y);\n}";
  Check("double y;\n", text,
        "double y;\nvoid f(){\n   int n = 1; Comment((string)n, (string)y);\n"
        "   string s ; s = StringConcatenate( s ,  n);\n}\nvoid g(){\n   Comment((string)y);\n}\n");
  settings.Set("chkReplaceCommentArr", false);
  settings.Set("chkStringConcatenate", false);
  Check("double y;\n", text, std::string(text) + "\n");
}

}  // namespace
}  // namespace lumivex
