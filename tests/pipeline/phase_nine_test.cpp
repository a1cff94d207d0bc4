// Phase 9 through the whole conversion: locals hiding globals, reserved and
// illegal names, unused locals, Comment casts and StringConcatenate splits.
#include <gtest/gtest.h>

#include "support/convert_check.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;
using testing::ExpectConverts;
using testing::ExpectFixedPoint;

// Whole sources through ConvertText. They are written as the earlier phases
// leave them (heads joined with their "{", returns in place, chk declared),
// so what changes is phase 9's.
class PhaseNineTest : public testing::EngineTest {
 protected:
  static std::string Program(std::string_view globals, std::string_view start) {
    return Crlf(std::string("bool chk;\n") + std::string(globals) + "int init(){\n   return(0);\n}\n" +
                "int start(){\n" + std::string(start) + "   return(0);\n}\n");
  }
  void Check(std::string_view globals, std::string_view before, std::string_view after) {
    ExpectConverts(engine, Program(globals, before), Program(globals, after));
  }
};

TEST_F(PhaseNineTest, LocalsHidingGlobalsAreRenamedInTheirFunction) {
  Check("int i;\nint ii;\ndouble x;\n",
        "   int i; for(i=0;i<5;i++) x=Close[i];\n   ii = i;\n",
        "   int _i_; for(_i_=0;_i_<5;_i_++) x=Close[_i_];\n   ii = _i_;\n");
  Check("double Lots = 0.1;\n", "   double Lots = 0.2;\n   GlobalVariableSet(\"Lots\", Lots);\n",
        "   double _Lots_ = 0.2;\n   GlobalVariableSet(\"Lots\", _Lots_);\n");
}

TEST_F(PhaseNineTest, ReservedAndIllegalNamesAreRenamedEverywhere) {
  ExpectConverts(engine, Program("int delete;\ndouble my.lot;\ndouble my_lot;\n", "   delete = my.lot + my_lot;\n"),
                 Crlf("bool chk;\nint delete_;\ndouble my_lot_x;\ndouble my_lot;\nint init(){\n   return(0);\n}\n"
                      "int start(){\n   delete_ = my_lot_x + my_lot;\n   return(0);\n}\n"));
}

TEST_F(PhaseNineTest, UnusedLocalsAreCommentedOutInEveryPosition) {
  Check("", "   int a, b, c, d = 2, e[3];\n   int z; for(z = 0; z < b; z++)\n      c++;\n",
        "int   b, c ;//e[3];//d  = 2;//a;\n"
        "   int z; for(z = 0; z < b; z++)\n      c++;\n");
}

TEST_F(PhaseNineTest, CommentCastsAndStringConcatenateSplits) {
  Check("int count;\n", "   string s = StringConcatenate(s, count);\n   Comment(\"n=\" + count, s);\n",
        "   string s ; s = StringConcatenate( s ,  count);\n   Comment(\"n=\" + (string)count, s);\n");
}

TEST_F(PhaseNineTest, AFileWhoseOnlyFixIsPhaseNineIsRewrittenOnce) {
  const std::string before = Program("int i;\n", "   int i = 1; i++;\n");
  const std::string after = ConvertText(engine, before);
  EXPECT_NE(after, before);
  EXPECT_TRUE(engine.TextChanged);
  EXPECT_EQ(ConvertText(engine, after), after);
  EXPECT_FALSE(engine.TextChanged);

  settings.Set("chkHidesGlobalDeclaration", false);
  ExpectFixedPoint(engine, before);
  EXPECT_FALSE(engine.TextChanged);
  // Without the missing-return phase there is no global section to hide.
  settings.Set("chkHidesGlobalDeclaration", true);
  settings.Set("chkFixReturn", false);
  ExpectFixedPoint(engine, before);
}

}  // namespace
}  // namespace lumivex
