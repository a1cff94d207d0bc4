// Reserved words, locals that hide globals and illegal identifier characters.
#include "declarations/renames.h"

#include <string>
#include <vector>

#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

NameList Names(const std::vector<std::string>& names, std::string_view type = "int") {
  NameList list;
  for (const std::string& name : names) list.Append(name, std::string(type));
  return list;
}

TEST(IsReservedWord, TrimmedAndCaseSensitive) {
  for (const char* word : {"delete", " for ", "\tstring", "while"}) EXPECT_TRUE(IsReservedWord(word));
  for (const char* word : {"Delete", "deleted", "", "input"}) EXPECT_FALSE(IsReservedWord(word));
  const NameList reserved = SelectReservedNames(Names({"delete(", "case", "lots", "do ", "f("}));
  ASSERT_EQ(reserved.size(), 3u);
  EXPECT_EQ(reserved.Name(0), "delete");
  EXPECT_EQ(reserved.Name(1), "case");
  EXPECT_EQ(reserved.Name(2), "do ");
}

class RenamesTest : public testing::EngineTest {
 protected:
  void CheckReserved(std::vector<std::string> reserved, std::string_view before,
                     std::string_view after) {
    engine.TextChanged = false;
    EXPECT_EQ(RenameReservedGlobals(engine, Crlf(before), Names(reserved)), Crlf(after)) << before;
    EXPECT_EQ(engine.TextChanged, before != after) << before;
  }
  void CheckIllegal(bool globalPart, std::string_view before, std::string_view after) {
    engine.TextChanged = false;
    EXPECT_EQ(RenameIllegalIdentifiers(engine, globalPart, Crlf(before), Names({"i.j"}), globals),
              Crlf(after))
        << before;
    EXPECT_EQ(engine.TextChanged, before != after) << before;
  }
  NameList globals;
};

TEST_F(RenamesTest, ReservedGlobalsGetAnUnderscore) {
  CheckReserved({"delete", "case "}, "int delete;\ndelete = 1;\nPrint(\"delete\");",
                "int delete_;\ndelete_ = 1;\nPrint(\"delete\");");
  CheckReserved({"delete"}, "int delete, delete_, delete_x;", "int delete_xx, delete_, delete_x;");
  CheckReserved({}, "int delete;", "int delete;");
  CheckReserved({"delete"}, "deleted = 1;", "deleted = 1;");
}

TEST_F(RenamesTest, IllegalCharactersBecomeUnderscores) {
  globals = Names({"my.lot", "a$b@c?", "f.g("});
  CheckIllegal(true, "double my.lot = 0.1;\nx = my.lot + a$b@c?;", "double my_lot = 0.1;\nx = my_lot + a_b_c_;");
  CheckIllegal(true, "my.lot = my_lot + my_lot_x;", "my_lot_x_x = my_lot + my_lot_x;");
  // Locals only in a function body; function entries are no identifiers.
  CheckIllegal(true, "i.j = f.g(1);", "i.j = f.g(1);");
  CheckIllegal(false, "i.j = 1;", "i_j = 1;");
  // A name the text does not hold changes nothing.
  CheckIllegal(false, "x = 1;", "x = 1;");
}

TEST_F(RenamesTest, OnlyIdentifierEntriesAreRenamedAndNeverInLiterals) {
  globals = Names({"* 0.5", "2.5)", "\"\"", "Lots.", "my.lot"});
  CheckIllegal(true, "double x = Point * 0.5;\ny = f(2.5);\ns = \"\";",
               "double x = Point * 0.5;\ny = f(2.5);\ns = \"\";");
  CheckIllegal(true, "GlobalVariableSet(\"my.lot\", my.lot); c = 'my.lot';",
               "GlobalVariableSet(\"my.lot\", my_lot); c = 'my.lot';");
}

class FixLocalDeclarationsTest : public testing::EngineTest {
 protected:
  FixLocalDeclarationsTest() { settings.Set("chkNotUsedVariable", false); }
  std::string Run(std::string_view body, NameList locals, const NameList& globals,
                  std::size_t params = 0) {
    engine.TextChanged = false;
    return FixLocalDeclarations(engine, Crlf(body), std::move(locals), globals, params);
  }
};

TEST_F(FixLocalDeclarationsTest, LocalsHidingGlobalsAreWrappedInUnderscores) {
  NameList locals = Names({"i", "p", "n"});
  const std::string out =
      Run("int f(int p) {\n   int i, n; for(i=0;i<5;i++) x=Close[i] + ii + p;\n   "
          "GlobalVariableSet(\"i\", i); _i_ = 'i';\n}",
          locals, Names({"p", "i", "_i_"}));
  EXPECT_EQ(out, Crlf("int f(int _p_) {\n   int _i_x, n; for(_i_x=0;_i_x<5;_i_x++) x=Close[_i_x] + "
                      "ii + _p_;\n   GlobalVariableSet(\"i\", _i_x); _i_ = 'i';\n}"));
  // The caller's list sees the new names.
  EXPECT_EQ(locals.Name(0), "_i_x");
  EXPECT_EQ(locals.Name(1), "_p_");
  EXPECT_EQ(locals.Name(2), "n");
  EXPECT_TRUE(engine.TextChanged);
}

TEST_F(FixLocalDeclarationsTest, ANewNameEqualToALaterGlobalIsRenamedAgain) {
  NameList locals = Names({"a"});
  EXPECT_EQ(Run("int a;", locals, Names({"a", "_a_"})), Crlf("int __a__;"));
  locals = Names({"a"});
  EXPECT_EQ(Run("int a;", locals, Names({"_a_", "a"})), Crlf("int _a_;"));
}

TEST_F(FixLocalDeclarationsTest, Unchanged) {
  const char* body = "{\n   int a [5]; a[0] = 1; double x = Point * 0.5;\n}";
  EXPECT_EQ(Run(body, Names({"a ", "* 0.5", "b"}), Names({"a ", "* 0.5", "a"})), Crlf(body));
  EXPECT_FALSE(engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
