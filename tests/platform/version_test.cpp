#include <gtest/gtest.h>

#include "platform/program_info.h"

namespace lumivex {
namespace {

TEST(ProgramVersion, FromFileVersionText) {
  const struct {
    const char* fileVersion;
    float value;
    const char* versionText;
  } cases[] = {
      // The 0.0005 is added to the 32-bit value, not to the decimal text.
      {"", 0.0f + 0.0005f, "0.000"},
      {"1", 1.0f + 0.0005f, "1.000"},
      {"1.1.7.0", 1.17f + 0.0005f, "1.170"},
      {"2.0.13.0", 2.013f + 0.0005f, "2.013"},
      {".5", 0.5f + 0.0005f, "0.500"},  // empty major reads as 0
      {"10.2", 10.2f + 0.0005f, "10.200"},
      {"v1.2", 0.0005f, "0.000"},  // a text that does not start with a number reads as 0
  };
  for (const auto& c : cases) {
    const float v = ProgramVersionFromText(c.fileVersion);
    EXPECT_EQ(v, c.value) << c.fileVersion;
    EXPECT_EQ(VersionTextOf(v), c.versionText) << c.fileVersion;
  }
}

TEST(ProgramVersion, AddedHalfThousandthKeepsTheLastDigit) {
  // 1.170 as a 32-bit float is 1.16999995...; only the added 0.0005 keeps the
  // cut text at 1.170.
  EXPECT_EQ(FloatToText(ProgramVersionFromText("1.1.7.0")), "1.17049992084503");
  EXPECT_EQ(VersionTextOf(1.17f), "1.169");
}

TEST(ProgramVersion, CaptionSuffix) {
  EXPECT_EQ(VersionCaptionSuffix(VersionTextOf(ProgramVersionFromText("1.1.7.0"))), " Ver 1.170");
}

TEST(ProgramVersion, CompiledInVersionIsTheBuildsVersion) {
  EXPECT_EQ(GetFileVersionText(), LUMIVEX_VERSION);
  EXPECT_FALSE(GetFileVersionText().empty());
}

TEST(FloatToText, GeneralFormFifteenDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {3.0, "3"},
      {2.013f + 0.0005f, "2.01349997520447"},
      {0.0005f, "0.000500000023748726"},
      {-1.5, "-1.5"},
      {1e20, "1E+20"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.value;
}

TEST(ProgramFolder, IsTheExecutablesFolderWithTrailingSlash) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder, ProgramFilePath().parent_path().string() + "/");
}

}  // namespace
}  // namespace lumivex
