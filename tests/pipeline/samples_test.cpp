// Whole sources converted with the form defaults: every "NAME.mq4" in
// samples/ becomes "NAME.expected.mq4", and converting that again changes
// nothing. The files hold the engine's own text (Shift-JIS, "\r\n").
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

}  // namespace
}  // namespace lumivex
