// Whole sources converted with the form defaults: every "NAME.mq4" in
// samples/ becomes "NAME.expected.mq4", and converting that again changes
// nothing. The files hold the engine's own text (Shift-JIS, "\r\n").
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/convert_check.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> Samples() {
  const char* top = std::getenv("LUMIVEX_SOURCE_DIR");
  const fs::path dir = fs::path(top ? top : ".") / "tests" / "pipeline" / "samples";
  std::vector<fs::path> inputs;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".mq4") && !name.ends_with(".expected.mq4")) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

class SamplesTest : public testing::EngineTest {};

TEST_F(SamplesTest, EverySampleConvertsToItsExpectedTextAndStaysThere) {
  const std::vector<fs::path> inputs = Samples();
  ASSERT_FALSE(inputs.empty());
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    fs::path expected = input;
    expected.replace_extension(".expected.mq4");
    ASSERT_TRUE(fs::exists(expected));
    testing::ExpectConverts(engine, ReadBytes(input), ReadBytes(expected));
  }
}

// The switches a user can turn off, and the three forms of the OrderSelect check.
constexpr const char* kSwitches[] = {
    "chkOrderSelect",           "chkOrderModify",
    "chkFixReturn",             "chkInvalidIndexValueHeader",
    "chkAndOrPriorityLevel",    "chkUnrecognizedEscape",
    "chkHidesGlobalDeclaration", "chkNotUsedVariable",
    "chkReplaceCommentArr",     "chkReplaceFuncVariable",
    "chkChangeGrbAlreadyReserved", "chkStringConcatenate",
    "chkExpressionsNotAllowedGlobalScope", "chkArraysPassedByReferenceOnly",
    "chkCommentCompression"};
constexpr const char* kForms[] = {"rdoOrderSelectAuto", "rdoOrderSelectIfOut",
                                  "rdoOrderSelectContinue"};

struct Combination {
  std::vector<std::string> off;
  std::string form = "rdoOrderSelectAuto";
};

// Each switch off on its own, each form of the OrderSelect check, and a
// fixed series of random mixes (the same every run).
std::vector<Combination> Combinations() {
  std::vector<Combination> all;
  for (const char* box : kSwitches) all.push_back({{box}});
  for (const char* form : kForms) all.push_back({{}, form});
  std::mt19937 random(20140203);
  for (int i = 0; i < 12; ++i) {
    Combination mix;
    for (const char* box : kSwitches) {
      if (random() % 3 == 0) mix.off.push_back(box);
    }
    mix.form = kForms[random() % 3];
    all.push_back(mix);
  }
  return all;
}

std::string Describe(const Combination& c) {
  std::string text = c.form;
  for (const std::string& box : c.off) text += " -" + box;
  return text;
}

// Whatever the switches, converting a converted sample again with the same
// switches changes nothing.
TEST(SamplesProperty, EveryConversionIsAFixedPointUnderItsSwitches) {
  const std::vector<fs::path> inputs = Samples();
  ASSERT_FALSE(inputs.empty());
  for (const Combination& combination : Combinations()) {
    testing::FakeSettings settings;
    for (const std::string& box : combination.off) settings.Set(box, false);
    settings.SetRadio(combination.form);
    Engine engine;
    engine.settings = &settings;
    for (const fs::path& input : inputs) {
      SCOPED_TRACE(input.filename().string() + " with " + Describe(combination));
      const std::string once = ConvertText(engine, ReadBytes(input));
      EXPECT_EQ(ConvertText(engine, once), once);
    }
  }
}

}  // namespace
}  // namespace lumivex
