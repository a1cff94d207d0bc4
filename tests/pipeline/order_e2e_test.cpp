// The order rules through the whole conversion under the form defaults; the
// program gives the other rules nothing to do.
#include <gtest/gtest.h>

#include "pipeline/driver.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

using testing::Crlf;

class OrderConversion : public testing::EngineTest {};

TEST_F(OrderConversion, ChecksOrderSelectAndCapturesOrderCalls) {
  const std::string program = Crlf(
      "int init()\n{\n   return(0);\n}\n"
      "int start() // main\n{\n"
      "   for(i = 0; i < OrdersTotal(); i++) { OrderSelect(i, SELECT_BY_POS, MODE_TRADES); n++; }\n"
      "   OrderSelect(t, SELECT_BY_TICKET); // last\n"
      "   OrderClose(t, l, Bid, 3);\n"
      "   return(0);\n}\n");
  EXPECT_EQ(ConvertText(engine, program),
            Crlf("bool chk;\n\nint init(){\n   return(0);\n}\n"
                 "int start() {\n// main\n"
                 "   for(i = 0; i < OrdersTotal(); i++){\n"
                 "   if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue; n++;   \n}\n"
                 "   if (OrderSelect(t, SELECT_BY_TICKET))// last\n"
                 "   chk = OrderClose(t, l, Bid, 3);\n"
                 "   return(0);\n}\n"));
  EXPECT_TRUE(engine.OrderSelectFixed && engine.TextChanged);
}

}  // namespace
}  // namespace lumivex
