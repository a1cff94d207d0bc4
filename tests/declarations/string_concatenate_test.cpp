// StringConcatenate declarations split from their assignment.
#include "declarations/string_concatenate.h"

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class StringConcatenateTest : public testing::EngineTest {
 protected:
  void Check(std::string_view before, std::string_view after) {
    engine.TextChanged = false;
    EXPECT_EQ(FixStringConcatenate(engine, Crlf(before)), Crlf(after)) << before;
    EXPECT_TRUE(engine.TextChanged) << before;
    EXPECT_EQ(FixStringConcatenate(engine, Crlf(after)), Crlf(after)) << after;
  }
  void Unchanged(std::string_view text) {
    engine.TextChanged = false;
    EXPECT_EQ(FixStringConcatenate(engine, Crlf(text)), Crlf(text)) << text;
    EXPECT_FALSE(engine.TextChanged) << text;
  }
};

TEST_F(StringConcatenateTest, SplitsTheDeclarationFromTheAssignment) {
  Check("    string a, s = StringConcatenate(s, x);\n",
        "    string a,  s ; s = StringConcatenate( s ,  x);\n");
  Check("string s = StringConcatenate(s);", "string s ; s = StringConcatenate( s );");
  // Two calls on one line: each split where it stands.
  Check("string a=StringConcatenate(a,x); string b=StringConcatenate(b,\n  \"y\");\n",
        "string a; a=StringConcatenate( a, x); string b; b=StringConcatenate( b, \n  \"y\");\n");
  // A call without ");" behind it leaves the rest as it is.
  Check("string a=StringConcatenate(a,x);\nstring b=StringConcatenate(b,y)\n}",
        "string a; a=StringConcatenate( a, x);\nstring b=StringConcatenate(b,y)\n}");
}

TEST_F(StringConcatenateTest, Unchanged) {
  Unchanged("string a,b = StringConcatenate(x,y);\nstring t; t = StringConcatenate(t, x);\n");
  Unchanged("Alert(s + StringConcatenate(a, b));\nAlert(mystring + StringConcatenate(a, b));\n");
  Unchanged("Print(\"StringConcatenate(\");\n// string s = StringConcatenate(s, x);\n");
  Unchanged("string s = MyStringConcatenate(s, t);\nx = \"a\"; // StringConcatenate(\n");
}

}  // namespace
}  // namespace lumivex
