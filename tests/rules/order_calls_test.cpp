#include "rules/order_calls.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

void Check(const std::string& before, const std::string& after) {
  EXPECT_EQ(WrapOrderCallWithChk(before), after) << before;
}
void Unchanged(const std::string& line) { Check(line, line); }

// Calls that stand as statements of their own, wherever a statement starts.
TEST(WrapOrderCallWithChk, CapturesIgnoredResults) {
  Check("   OrderSend(Symbol(), OP_BUY, 1, Ask, 3, 0, 0);",
        "   chk = OrderSend(Symbol(), OP_BUY, 1, Ask, 3, 0, 0);");
  // OrderClose has priority whatever the places; literals and longer names are passed over.
  Check("OrderModify(a, b); OrderClose(t, l);", "OrderModify(a, b); chk = OrderClose(t, l);");
  Check("Print(\"OrderSend(\"); OrderSend(a);", "Print(\"OrderSend(\"); chk = OrderSend(a);");
  Check("MyOrderClose(x); OrderSend(a);", "MyOrderClose(x); chk = OrderSend(a);");
  Check("if (a > 0 && (b || c)) OrderClose(t, l);", "if (a > 0 && (b || c)) chk = OrderClose(t, l);");
  Check("for (i = 0; i < n; i++) OrderDelete(t[i]);", "for (i = 0; i < n; i++) chk = OrderDelete(t[i]);");
  Check("else if (x) OrderDelete(t); // gone", "else if (x) chk = OrderDelete(t); // gone");
  Check("if (a) { OrderClose(t, l); }", "if (a) { chk = OrderClose(t, l); }");
  Check("case OP_SELL: OrderClose(t, l);", "case OP_SELL: chk = OrderClose(t, l);");
  Check("do OrderModify(t, p,", "do chk = OrderModify(t, p,");  // arguments on the next line
}

// The value is used: in a condition or an expression, after an operator, as
// an argument or a returned value; or the name is not called.
TEST(WrapOrderCallWithChk, Unchanged) {
  for (const char* line :
       {"if (a || b && c || OrderModify(t,p,s,tp,0)) {", "if(OrderSend(a) < 0)",
        "if (!OrderModify(a, b))", "while(!OrderDelete(t))", "bool ok = OrderClose(a, b);",
        "ok = ok && OrderClose(a, b);", "x = (OrderClose(a, b));", "Print(OrderClose(a, b));",
        "f(a, OrderClose(a, b));", "   return(OrderClose(t, l));", "return OrderClose(t, l);",
        "OrderSend(a) > 0;", "(bool)OrderClose(a, b);", "if (f(a)) OrderClose(t, l) || g();",
        "OrderClose (t, l);", "Print(\"OrderClose(\");"}) {
    Unchanged(line);
  }
}

// Any type, at file scope: a declaration inside a function or a parameter
// is no declaration the other functions see.
TEST(HasChkDeclaration, FindsAFileScopeChk) {
  for (const char* text :
       {"bool chk;", "int a;\r\nbool ok, chk;\r\n", "BOOL CHK;", "bool chk, ok;", "bool chk = false;",
        "bool chk ;", "  bool  chk=true; // flag", "int chk;", "static int chk = 0;",
        "double x = f(1, 2), chk;", "int f()\r\n{\r\n   return(0);\r\n}\r\nint chk;\r\n",
        "string s = \"}\"; bool chk;", "/* { */ bool chk;", "#define X(a) \\\r\n   ((a) * 2)\r\nbool chk;"}) {
    EXPECT_TRUE(HasChkDeclaration(text)) << text;
  }
  for (const char* text :
       {"  // bool chk;\r\nint a;", "x = 1; // bool chk;", "bool chk2;", "/* bool chk; */",
        "bool ok; chk = OrderSend(a);", "bool f(bool chk, int x)\r\n{\r\n}\r\n", "bool f(bool chk);",
        "bool ok = chk == true;", "int start()\r\n{\r\n   bool chk;\r\n}\r\n",
        "void f() { int chk; }", "#define chk 1", "string s = \"bool chk;\";"}) {
    EXPECT_FALSE(HasChkDeclaration(text)) << text;
  }
}

}  // namespace
}  // namespace lumivex
