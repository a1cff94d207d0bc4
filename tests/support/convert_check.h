// End-to-end checks of the conversion driver shared by every test that runs
// whole texts: the expected result, and that converting the result again
// changes nothing.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "pipeline/driver.h"
#include "text/engine.h"

namespace lumivex::testing {

// ConvertText turns before into after, and after is a fixed point of it.
inline void ExpectConverts(Engine& engine, std::string_view before, std::string_view after) {
  EXPECT_EQ(ConvertText(engine, before), after) << "converting:\n" << before;
  EXPECT_EQ(ConvertText(engine, after), after) << "converting again:\n" << after;
}

// ConvertText leaves text as it is (and so, trivially, again).
inline void ExpectFixedPoint(Engine& engine, std::string_view text) {
  EXPECT_EQ(ConvertText(engine, text), text) << "converting:\n" << text;
}

}  // namespace lumivex::testing
