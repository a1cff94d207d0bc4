#include "platform/shell_link.h"

#include <gtest/gtest.h>

#include "support/lnk_writer.h"
#include "support/temp_dir.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace lumivex::testing;
using Path = std::optional<fs::path>;

// A Wine prefix: C: a relative symlink to drive_c as Wine makes it, D: a folder.
class ShortcutTest : public ::testing::Test {
 protected:
  ShortcutTest() {
    for (const char* dir : {"wine/drive_c", "wine/dosdevices/d:", "links"}) fs::create_directories(tmp / dir);
    fs::create_directory_symlink("../drive_c", tmp / "wine/dosdevices/c:");
    drives.dosDevices = tmp / "wine/dosdevices";
  }
  std::optional<ShortcutTarget> Resolve(const LnkSpec& fields) {
    WriteLnk(tmp / "links/a.lnk", fields);
    return ResolveShortcut(tmp / "links/a.lnk", drives);
  }

  TempDir tmp;
  DriveMap drives;
};

TEST_F(ShortcutTest, TargetFromDrivePathOrRelativePath) {
  const fs::path c = tmp / "wine/drive_c";
  tmp.Touch("src/a.mq4");
  LnkSpec bothGone = AnsiLink(R"(C:\gone\a.mq4)");
  bothGone.relativePath = R"(..\gone.mq4)";
  LnkSpec driveGone = bothGone;
  driveGone.relativePath = R"(..\src\a.mq4)";
  const std::pair<LnkSpec, Path> cases[] = {
      {AnsiLink(R"(c:\Data\a.mq4)"), c / "Data/a.mq4"},
      {AnsiLink("C:\\\x83\x65\x83\x58\x83\x67.mq4"), c / "テスト.mq4"},  // ANSI is CP932
      {UnicodeLink(R"(C:\データ\エキスパート.mq4)"), c / "データ/エキスパート.mq4"},
      {AnsiLink(R"(Z:\home\u\a.mq4)"), "/home/u/a.mq4"},
      {AnsiLink(R"(D:\x.mq4)"), tmp / "wine/dosdevices/d:/x.mq4"},
      {AnsiLink(R"(C:\)"), c},
      {RelativeLink(R"(..\src\a.mq4)", true), tmp / "src/a.mq4"},
      {RelativeLink("b.mq4"), tmp / "links/b.mq4"},
      {driveGone, tmp / "src/a.mq4"},  // the target that exists wins
      {bothGone, c / "gone/a.mq4"},    // neither exists: the drive path
      {AnsiLink(R"(Q:\a.mq4)"), std::nullopt},  // a drive that maps nowhere
      {RelativeLink(R"(\\server\share\a.mq4)"), std::nullopt},
      {LnkSpec{}, std::nullopt},  // ID list only
  };
  for (const auto& [fields, expected] : cases) {
    const auto target = Resolve(fields);
    EXPECT_EQ(target ? Path(target->path) : std::nullopt, expected) << fields.localBasePath << fields.relativePath;
  }
}

TEST_F(ShortcutTest, CommonPathSuffixAndStringData) {
  LnkSpec fields = AnsiLink(R"(C:\Data\)");
  fields.commonPathSuffix = "a.mq4";
  fields.name = fields.workingDir = fields.relativePath = "skipped";
  fields.arguments = "/x 1";
  fields.iconLocation = R"(C:\icons.dll)";
  fields.iconIndex = -3;
  for (bool unicode : {false, true}) {
    fields.unicode = unicode;
    const auto target = Resolve(fields);
    ASSERT_TRUE(target) << unicode;
    EXPECT_EQ(target->path, tmp / "wine/drive_c/Data/a.mq4");
    EXPECT_EQ(target->arguments, "/x 1");
    EXPECT_EQ(target->iconLocation, R"(C:\icons.dll)");
    EXPECT_EQ(target->iconIndex, -3);
  }
}

// Every cut of a valid file and sizes or offsets pointing outside it fail
// cleanly (the sanitizer build checks that nothing is read past the data).
TEST(ParseShellLink, RejectsWrongTruncatedAndCorruptedData) {
  LnkSpec full = UnicodeLink(R"(C:\Data\a.mq4)");
  full.commonPathSuffix = "x";
  full.relativePath = full.arguments = "args";
  LnkSpec ansi = full;
  ansi.unicode = false;
  for (const LnkSpec& fields : {full, ansi, RelativeLink("a.mq4")}) {
    const std::vector<std::uint8_t> bytes = MakeLnk(fields);
    const std::size_t complete = bytes.size() - 4;  // the ExtraData terminal is optional
    for (std::size_t n = 0; n < complete; ++n) {
      EXPECT_FALSE(ParseShellLink(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n))) << n;
    }
    EXPECT_TRUE(ParseShellLink(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + complete)));
  }
  // Header size, class id, ID list size, then LinkInfo size and path offsets
  // (ANSI offsets of an ANSI link, Unicode ones of a Unicode link).
  for (const auto& [fields, path, suffix] : {std::tuple{ansi, 16u, 24u}, std::tuple{full, 28u, 32u}}) {
    const std::vector<std::uint8_t> bytes = MakeLnk(fields);
    const std::size_t info = 0x4C + 2 + bytes[0x4C];
    for (std::size_t field : {std::size_t{0}, std::size_t{18}, std::size_t{0x4C}, info, info + path, info + suffix}) {
      auto corrupt = bytes;
      corrupt[field] = corrupt[field + 1] = 0xFF;
      EXPECT_FALSE(ParseShellLink(corrupt)) << "field at " << field;
    }
  }
}

TEST_F(ShortcutTest, FollowLinksThroughChainsAndCycles) {
  const fs::path file = tmp.Touch("src/a.mq4");
  WriteLnk(tmp / "one.LNK", RelativeLink(R"(src\a.mq4)"));
  WriteLnk(tmp / "two.lnk", RelativeLink("one.LNK"));
  fs::create_symlink("two.lnk", tmp / "three.mq4");
  WriteLnk(tmp / "self.lnk", RelativeLink(R"(.\self.lnk)"));
  fs::create_symlink("sub/../mixed.lnk", tmp / "m.mq4");
  WriteLnk(tmp / "mixed.lnk", RelativeLink("m.mq4"));
  fs::create_directory(tmp / "dir.lnk");
  const std::pair<const char*, Path> cases[] = {
      {"src/a.mq4", file},      {"two.lnk", file},        {"three.mq4", file},
      {"self.lnk", std::nullopt}, {"m.mq4", std::nullopt}, {"dir.lnk", std::nullopt},
  };
  for (const auto& [start, end] : cases) EXPECT_EQ(FollowLinks(tmp / start, drives), end) << start;
}

}  // namespace
}  // namespace lumivex
