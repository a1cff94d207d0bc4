// "(string)" casts for the variables a Comment call prints.
#include "declarations/comment_casts.h"

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class CommentCastsTest : public testing::EngineTest {
 protected:
  CommentCastsTest() {
    for (const char* name : {"x", "n", "xn", "buy", "sell"}) locals.Append(name, "int");
    locals.Append("t", "string");
    globals.Append("y", "double");
    globals.Append("MAGIC", "");
    globals.Append("s", "string");
  }
  void Check(std::string_view before, std::string_view after) {
    engine.TextChanged = false;
    EXPECT_EQ(FixCommentConversion(engine, Crlf(before), locals, globals), Crlf(after)) << before;
    EXPECT_TRUE(engine.TextChanged) << before;
  }
  void Unchanged(std::string_view text) {
    engine.TextChanged = false;
    EXPECT_EQ(FixCommentConversion(engine, Crlf(text), locals, globals), Crlf(text)) << text;
    EXPECT_FALSE(engine.TextChanged) << text;
  }
  NameList locals, globals;
};

TEST_F(CommentCastsTest, CastsBareNumberVariables) {
  Check("   Comment(t, x);", "   Comment(t, (string)x);");
  Check("Comment(\"a \" + y + \" b \" +  n );", "Comment(\"a \" + (string)y + \" b \" +  (string)n );");
  Check("Comment(MAGIC); y = 1;\n", "Comment((string)MAGIC); y = 1;\n");
  Check("if (a) Comment((x), f(x));", "if (a) Comment(((string)x), f(x));");
  // A call over two lines comes out on one line, its comments behind it, and
  // no empty line follows it that a second conversion would take away.
  Check("Comment(t, // why\n   x);\n}", "Comment(t,    (string)x);// why\n}");
  Check("Comment(t,\n   x);\nreturn(0);", "Comment(t,   (string)x);\nreturn(0);");
}

TEST_F(CommentCastsTest, SumsStayNumbers) {
  Check("Comment(x + \" items\");", "Comment((string)x + \" items\");");
  Check("Comment(\"Total: \" + (buy + sell), x + t);", "Comment(\"Total: \" + (buy + sell), (string)x + t);");
  Check("Comment(\"v\" + (x), (\"w\" + n + y));", "Comment(\"v\" + ((string)x), (\"w\" + (string)n + (string)y));");
  Unchanged("Comment(x + n);\nComment(x + n + \" items\");\nComment(\"Total: \" + (buy + sell));");
  Unchanged("Comment(x + (n));\nComment(StringLen(\"ab\") + n);");
}

TEST_F(CommentCastsTest, Unchanged) {
  Unchanged("Comment(t);\nComment(s, \"x\");\nComment(a[x], -x, f(x), (string)x);");
  // Comment only in a literal or a comment: no call, no line pulled in.
  Unchanged("Print(\"Comment(x)\"); // Comment(x\ny = f(x); // Comment\nz = g(x);");
  Unchanged("MyComment(x);\nComment (t);\nComment(x\n n);");
}

}  // namespace
}  // namespace lumivex
