// Sources in many languages and character sets through the file road with the
// form defaults: every character comes back in place, the code around it is
// converted as it is in plain ASCII, and a second conversion changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "pipeline/driver.h"
#include "pipeline/file_road.h"
#include "support/engine_test.h"
#include "support/language_samples.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace lumivex::testing;

// Every non-ASCII character of a UTF-8 text in turn.
std::vector<std::string> NonAsciiCharacters(std::string_view utf8) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = utf8[i];
    const std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    if (len > 1) chars.emplace_back(utf8.substr(i, len));
    i += len;
  }
  return chars;
}

// The text with every non-ASCII character replaced by an ASCII name
// "Qz<letters a-y>zQ", one per distinct character, and the way back.
class Skeleton {
 public:
  std::string Make(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
      const unsigned char b = utf8[i];
      const std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
      if (len == 1) {
        out += utf8[i];
      } else {
        const std::string ch(utf8.substr(i, len));
        auto [it, added] = names_.try_emplace(ch, "");
        if (added) {
          std::string letters;
          for (std::size_t n = names_.size(); n > 0; n /= 25) letters += static_cast<char>('a' + n % 25);
          it->second = "Qz" + letters + "zQ";
          chars_[it->second] = ch;
        }
        out += it->second;
      }
      i += len;
    }
    return out;
  }
  std::string Restore(std::string_view text) const {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
      const std::size_t open = text.find("Qz", i);
      const std::size_t close = open == std::string_view::npos ? open : text.find("zQ", open + 2);
      if (close == std::string_view::npos) {
        out.append(text.substr(i));
        break;
      }
      const auto it = chars_.find(std::string(text.substr(open, close + 2 - open)));
      out.append(text.substr(i, open - i)).append(it == chars_.end() ? "<lost name>" : it->second);
      i = close + 2;
    }
    return out;
  }

 private:
  std::map<std::string, std::string> names_, chars_;
};

class LanguageSamplesTest : public EngineTest, public ::testing::WithParamInterface<LanguageSample> {
 protected:
  LanguageSamplesTest() { engine.messages = &messages; }
  RoadTempDir dir;
  RoadMessages messages;
};

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_P(LanguageSamplesTest, EveryCharacterInPlaceAndConvertingAgainChangesNothing) {
  const LanguageSample& sample = GetParam();
  const std::string master = SampleMaster(sample.master);
  const std::string path = dir.Write("sample.mq4", SampleBytes(sample));

  ASSERT_EQ(ConvertFileRoad(engine, path, RealFileSystem()), RoadOutcome::Rewritten) << messages.boxes.size();
  const std::string written = ReadBytes(path);
  ASSERT_TRUE(written.starts_with("\xFF\xFE"));
  const std::string output = *TranscodeStrict("UTF-8", "UTF-16LE", written.substr(2));

  EXPECT_EQ(NonAsciiCharacters(output), NonAsciiCharacters(master));
  Skeleton skeleton;
  const std::string ascii = skeleton.Make(WithCrlf(master));
  Engine plain;
  plain.settings = &settings;
  EXPECT_EQ(output, skeleton.Restore(ConvertText(plain, ascii)));
  EXPECT_EQ(ReadBytes(dir.path() / "BackUp" / "sample.mq4"), SampleBytes(sample));

  EXPECT_EQ(ConvertFileRoad(engine, path, RealFileSystem()), RoadOutcome::Unchanged);
  EXPECT_EQ(ReadBytes(path), written);
  EXPECT_EQ(Listing(dir.path() / "BackUp"), std::vector<std::string>{"sample.mq4"});
  EXPECT_TRUE(messages.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Samples, LanguageSamplesTest, ::testing::ValuesIn(LanguageSamples()),
                         [](const auto& info) { return info.param.Label(); });

}  // namespace
}  // namespace lumivex
