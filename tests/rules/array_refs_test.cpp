#include "rules/array_refs.h"

#include <vector>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Lines;
using Text = std::vector<std::string>;

TEST(FixArrayParamsInHead, MarksArrayParameters) {
  const char* cases[][2] = {
      {"void Fill(double arr[], int n){\r\n", "void Fill(double &arr[],  int n){\r\n"},
      {"int Sum(double arr[]);", "int Sum(double &arr[]);"},
      {"void f(double m[][10])", "void f(double &m[][10])"},
      // Behind every word of the type; a tab separates like a blank.
      {"void f(const double arr[])", "void f(const double &arr[])"},
      {"void f(double\tarr[])", "void f(double &arr[])"},
      {"void f(int  a[])", "void f(int & a[])"},
      {"void f(int x [])", "void f(int &x [])"},
      // A short last parameter is kept.
      {"void f(int a[], b)", "void f(int &a[],  b)"},
      // Commas and semicolons in literals separate nothing.
      {"int Join(string parts[], string sep = \";\");", "int Join(string &parts[],  string sep = \";\");"},
      {"int Split(string s, string sep = \",\", string parts[])",
       "int Split(string s,  string sep = \",\", string &parts[])"},
      {"void Paint(color c = C'255,0,0', int px[])", "void Paint(color c = C'255,0,0', int &px[])"},
      // Body text on the head's line stays as it stood.
      {"int One(int a[]) { return(1); }", "int One(int &a[]) { return(1); }"},
      {"void f(double x[]) { Print(colors[0]); x = 0; }", "void f(double &x[]) { Print(colors[0]); x = 0; }"},
      // A comment between the parameters keeps its line end.
      {"int g(int a[], // the data\r\n      int b[] // sizes\r\n){\r\n",
       "int g(int &a[], // the data\r\n      int &b[] // sizes\r\n){\r\n"}};
  for (const auto& c : cases) EXPECT_EQ(FixArrayParamsInHead(c[0]), c[1]) << c[0];
}

TEST(FixArrayParamsInHead, Unchanged) {
  for (const char* head :
       {"void f(double &arr[])", "void f(double& arr[])", "void f(double &a[],int  n)",
        "void f(int n)", "void f(int a,int  b)", "void f(colors[])", "int i; for(i = 0; i < n; i++)",
        "string parts[]; StringSplit(s, ',', parts);", "int k; Print(colors[0]);",
        "void f(string s = \"a[]\")", "void f(int a[]"})
    EXPECT_EQ(FixArrayParamsInHead(head), head);
}

TEST(ContainsTypeName, PlainSearch) {
  for (const char* text : {"double a[]", "Point p[]", "x.ushort"}) EXPECT_TRUE(ContainsTypeName(text)) << text;
  for (const char* text : {"x[]", "Bool b", ""}) EXPECT_FALSE(ContainsTypeName(text)) << text;
}

class FixArraysByReferenceTest : public testing::EngineTest {
 protected:
  void Check(const Text& before, const Text& after) {
    engine.TextChanged = false;
    EXPECT_EQ(FixArraysByReference(engine, Lines(before)), Lines(after)) << Lines(before);
    EXPECT_TRUE(engine.TextChanged) << Lines(before);
  }
  void Unchanged(const Text& text) {
    engine.TextChanged = false;
    EXPECT_EQ(FixArraysByReference(engine, Lines(text)), Lines(text)) << Lines(text);
    EXPECT_FALSE(engine.TextChanged) << Lines(text);
  }
};

TEST_F(FixArraysByReferenceTest, HeadsAndPrototypes) {
  // A head is joined with its lines up to the "{"; its comment follows.
  Check({"void Fill(double arr[], int n)", "{", "}"}, {"void Fill(double &arr[],  int n){", "", "}"});
  Check({"int f(int a[]) // sum", "{"}, {"int f(int &a[]) {", "// sum"});
  Check({"#import \"lib.ex4\"", "   int Sum(double arr[]);", "#import"},
        {"#import \"lib.ex4\"", "   int Sum(double &arr[]);", "#import"});
}

TEST_F(FixArraysByReferenceTest, Unchanged) {
  // A head without arrays keeps its lines; body lines and calls are no heads.
  Unchanged({"int Count(int a, double b)", "{", "   int n = ArraySize(arr);",
             "   string parts[]; StringSplit(s, ',', parts);", "   int i; for(i = 0; i < n; i++)",
             "   int k; Print(colors[0]);", "   double d = f(x[0],", "      y[1]);", "}"});
  // A prototype over two lines is no head for the walker.
  Unchanged({"int Sum(double arr[],", "        int n);"});
  settings.Set(std::string(kArraysByReferenceSwitch), false);
  Unchanged({"int Sum(double arr[]);"});
}

}  // namespace
}  // namespace lumivex
