#include <gtest/gtest.h>

#include "platform/program_info.h"

namespace lumivex {
namespace {

TEST(ProgramVersion, FromFileVersionText) {
  // The 0.0005 is added to the 32-bit value; the caption text is cut, not rounded.
  const std::tuple<const char*, float, const char*> cases[] = {
      {"", 0.0005f, " Ver 0.000"},           {"1", 1.0f + 0.0005f, " Ver 1.000"},
      {"1.1.7.0", 1.17f + 0.0005f, " Ver 1.170"}, {"2.0.13.0", 2.013f + 0.0005f, " Ver 2.013"},
      {".5", 0.5f + 0.0005f, " Ver 0.500"},  {"10.2", 10.2f + 0.0005f, " Ver 10.200"},
  };
  for (const auto& [fileVersion, value, caption] : cases) {
    EXPECT_EQ(ProgramVersionFromText(fileVersion), value) << fileVersion;
    EXPECT_EQ(VersionCaptionSuffix(VersionTextOf(value)), caption) << fileVersion;
  }
  EXPECT_EQ(FloatToText(1.17f + 0.0005f), "1.17049992084503");
  EXPECT_EQ(FloatToText(0.0005f), "0.000500000023748726");
  EXPECT_EQ(VersionTextOf(1.17f), "1.169");  // 1.16999995...: why the 0.0005 is added
}

}  // namespace
}  // namespace lumivex
