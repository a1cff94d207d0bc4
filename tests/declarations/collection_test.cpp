// Name and type lists, and the three ways declarations are read into them.
#include "declarations/collection.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "declarations/locals.h"
#include "declarations/name_list.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;
using Entries = std::vector<std::pair<std::string, std::string>>;

Entries EntriesOf(const NameList& list) {
  Entries entries;
  for (std::size_t i = 0; i < list.size(); ++i) entries.emplace_back(list.Name(i), list.Type(i));
  return entries;
}

TEST(NameList, CopiesShareTheirEntriesAndTheIndexFollowsRenames) {
  NameList list;
  list.Append("a", "int");
  list.Append("my.lot", "double");
  list.Append("a", "string");
  NameList copy = list;
  copy.Rename(0, "_a_");
  EXPECT_EQ(list.Name(0), "_a_");
  EXPECT_EQ(std::vector<std::size_t>(list.Find("a").begin(), list.Find("a").end()),
            std::vector<std::size_t>{2});
  EXPECT_TRUE(list.Contains("_a_"));
  copy.Rename(1, "my_lot");
  EXPECT_TRUE(list.WithIllegalCharacters().empty());
  copy.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.Contains("_a_"));
}

TEST(NameList, IdentifiersAreWordsThatCanBeRenamed) {
  for (const char* name : {"a", "_x1", "my.lot", "a$b", "Lots"}) EXPECT_TRUE(IsIdentifier(name)) << name;
  for (const char* name : {"", "* 2", "* 0.5", "2.5)", "\"\"", "a ", "1a", "f("})
    EXPECT_FALSE(IsIdentifier(name)) << name;
}

Entries Collected(std::string_view text) {
  NameList list;
  list.Append("given", "int");
  CollectDeclarations(Crlf(text), list);
  Entries entries = EntriesOf(list);
  entries.erase(entries.begin());
  return entries;
}

TEST(CollectDeclarations, ReadsFileScopeDeclarations) {
  const std::pair<const char*, Entries> cases[] = {
      {"extern int Period = 14;", {{"Period", "int"}}},
      {"int a, b[3], c = 5;", {{"a", "int"}, {"b", "int"}, {"c", "int"}}},
      {"int a[3] = {1, 2, 3};", {{"a", "int"}}},
      {"double x,\n  y;\nint z;", {{"x", "double"}, {"y", "double"}, {"z", "int"}}},
      {"#define MAGIC 1234\n#define FLAG", {{"MAGIC", ""}, {"FLAG", ""}}},
      {"int a; double b;", {{"a", "int"}, {"b", "double"}}},
      {"uchar c;", {{"c", "char"}}},
      // The type words are plain substrings: "int " stands in "Point * 2".
      {"double x = Point * 2;", {{"* 2", "int"}}},
      {"int a [5];", {{"a ", "int"}}},
      {"string s = \"a,b\", t; // int c;", {{"s", "string"}, {"t", "string"}}},
      {"// int a;\n#property strict int\n#include <x.mqh>", {}},
      {"#import \"a.dll\"\nint f(int a);\n#import\nint g;", {{"g", "int"}}},
  };
  for (const auto& [text, entries] : cases) EXPECT_EQ(Collected(text), entries) << text;
}

TEST(ParseFunctionParams, ReadsTheParameterList) {
  EXPECT_EQ(EntriesOf(ParseFunctionParams("int f(int a, double &b[], string s = NULL)")),
            (Entries{{"a", "int"}, {"&b", "double"}, {"s", "string"}}));
  EXPECT_EQ(EntriesOf(ParseFunctionParams("f(int a,\r\n   color c) // x, int y")),
            (Entries{{"a", "int"}, {"c", "color"}}));
  EXPECT_TRUE(ParseFunctionParams("int f").empty());
  EXPECT_TRUE(ParseFunctionParams("void f()").empty());
}

Entries Locals(std::string_view text) {
  NameList list;
  list.Append("p", "int");
  CollectLocalVariables(Crlf(text), list);
  return EntriesOf(list);
}

TEST(CollectLocalVariables, ReadsDeclarationsAfterTheFirstBrace) {
  const std::pair<const char*, Entries> cases[] = {
      {"int f(int p)\n{\n   int a, b = 2, c[5];\n}",
       {{"p", "int"}, {"a", "int"}, {"b", "int"}, {"c", "int"}}},
      {"{\nfor (int i = 0; i < n; i++)\nfor(int j=0;;)\nfor( int k;;)\nfor ( int l;;)",
       {{"p", "int"}, {"i", "int"}, {"j", "int"}, {"k", "int"}, {"l", "int"}}},
      {"{\n double x = MathMax(a, b), y;", {{"p", "int"}, {"x", "double"}}},
      {"{\n int a[3] = {1,\n 2, 3};\n int z;", {{"p", "int"}, {"a", "int"}, {"z", "int"}}},
      {"{\n string s,\n t;\n int u;",
       {{"p", "int"}, {"s", "string"}, {"t", "string"}, {"u", "int"}}},
      {"{\n static int n = 0;\n const int k = 1;\n uchar u;", {{"p", "int"}, {"u", "uchar"}}},
      {"{\n{ int a;\n; int b;\n int i; for(int j = 0;;)",
       {{"p", "int"}, {"a", "int"}, {"b", "int"}, {"i", "int"}, {"j", "int"}}},
      {"int f(int p) {", {}},
      {"int f(int p)", {}},
  };
  for (const auto& [text, entries] : cases) EXPECT_EQ(Locals(text), entries) << text;
}

}  // namespace
}  // namespace lumivex
