#include "platform/shell_link.h"

#include <gtest/gtest.h>

#include "support/lnk_writer.h"
#include "support/temp_dir.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using testing::AnsiLink;
using testing::LnkSpec;
using testing::MakeLnk;
using testing::RelativeLink;
using testing::TempDir;
using testing::UnicodeLink;
using testing::WriteLnk;

// A temporary Wine prefix: drive C: is <tmp>/drive_c through a relative
// symlink as Wine makes it, drive D: a plain folder.
class ShortcutTest : public ::testing::Test {
 protected:
  ShortcutTest() {
    fs::create_directories(tmp / "wine" / "dosdevices");
    fs::create_directories(tmp / "wine" / "drive_c");
    fs::create_directories(tmp / "wine" / "dosdevices" / "d:");
    fs::create_directory_symlink("../drive_c", tmp / "wine" / "dosdevices" / "c:");
    drives.dosDevices = tmp / "wine" / "dosdevices";
  }

  std::optional<fs::path> Resolve(const LnkSpec& spec, const fs::path& where = "links/a.lnk") {
    fs::create_directories((tmp / where).parent_path());
    WriteLnk(tmp / where, spec);
    auto target = ResolveShortcut(tmp / where, drives);
    if (!target) return std::nullopt;
    return target->path;
  }

  TempDir tmp;
  DriveMap drives;
};

TEST_F(ShortcutTest, DrivePathsMapWineStyle) {
  const fs::path driveC = tmp / "wine" / "drive_c";
  const struct {
    LnkSpec spec;
    fs::path expected;
  } cases[] = {
      {AnsiLink(R"(C:\Data\a.mq4)"), driveC / "Data/a.mq4"},
      {AnsiLink(R"(c:\Data\a.mq4)"), driveC / "Data/a.mq4"},
      {UnicodeLink(R"(C:\データ\エキスパート.mq4)"), driveC / "データ/エキスパート.mq4"},
      {AnsiLink(R"(Z:\home\u\a.mq4)"), "/home/u/a.mq4"},
      {AnsiLink(R"(D:\x.mq4)"), tmp / "wine/dosdevices/d:/x.mq4"},
      {AnsiLink(R"(C:\)"), driveC},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Resolve(c.spec), c.expected) << c.spec.localBasePath;
  }
}

TEST_F(ShortcutTest, CommonPathSuffixAndStringData) {
  LnkSpec spec = AnsiLink(R"(C:\Data\)");
  spec.commonPathSuffix = "a.mq4";
  spec.name = "comment";
  spec.relativePath = R"(..\wine\drive_c\Data\a.mq4)";
  spec.workingDir = R"(C:\Data)";
  spec.arguments = "/x 1";
  spec.iconLocation = R"(C:\icons.dll)";
  spec.iconIndex = 3;
  for (bool unicode : {false, true}) {
    spec.unicode = spec.unicodeLinkInfo = unicode;
    WriteLnk(tmp / "s.lnk", spec);
    auto target = ResolveShortcut(tmp / "s.lnk", drives);
    ASSERT_TRUE(target) << unicode;
    EXPECT_EQ(target->path, tmp / "wine/drive_c/Data/a.mq4");
    EXPECT_EQ(target->arguments, "/x 1");
    EXPECT_EQ(target->iconLocation, R"(C:\icons.dll)");
    EXPECT_EQ(target->iconIndex, 3);
  }
  auto data = ParseShellLink(MakeLnk(spec));
  ASSERT_TRUE(data);
  EXPECT_EQ(data->name, "comment");
  EXPECT_EQ(data->workingDir, R"(C:\Data)");
}

TEST_F(ShortcutTest, AnsiStringsAreReadAsCp932) {
  // "テスト" in CP932.
  LnkSpec spec = AnsiLink("C:\\\x83\x65\x83\x58\x83\x67.mq4");
  EXPECT_EQ(Resolve(spec), tmp / "wine/drive_c/テスト.mq4");
}

TEST_F(ShortcutTest, RelativePathAgainstTheLinksFolder) {
  tmp.Touch("src/a.mq4");
  const struct {
    LnkSpec spec;
    fs::path expected;
  } cases[] = {
      {RelativeLink(R"(..\src\a.mq4)"), tmp / "src/a.mq4"},
      {RelativeLink(R"(..\src\a.mq4)", true), tmp / "src/a.mq4"},
      {RelativeLink(R"(.\b.mq4)"), tmp / "links/b.mq4"},
      {RelativeLink("b.mq4"), tmp / "links/b.mq4"},
  };
  for (const auto& c : cases) EXPECT_EQ(Resolve(c.spec), c.expected) << c.spec.relativePath;
}

TEST_F(ShortcutTest, ExistingTargetWinsOverUnmappedOrMissingOne) {
  tmp.Touch("src/a.mq4");
  LnkSpec spec = AnsiLink(R"(C:\gone\a.mq4)");
  spec.relativePath = R"(..\src\a.mq4)";
  EXPECT_EQ(Resolve(spec), tmp / "src/a.mq4");

  spec.localBasePath = R"(Q:\a.mq4)";  // no such drive
  EXPECT_EQ(Resolve(spec), tmp / "src/a.mq4");

  spec.relativePath = R"(..\also-gone.mq4)";  // neither exists: the drive path
  spec.localBasePath = R"(C:\gone\a.mq4)";
  EXPECT_EQ(Resolve(spec), tmp / "wine/drive_c/gone/a.mq4");
}

TEST_F(ShortcutTest, UnusableLinksGiveNothing) {
  LnkSpec network;
  network.networkShare = R"(\\server\share)";
  network.commonPathSuffix = "a.mq4";
  LnkSpec idListOnly;
  LnkSpec unknownDrive = AnsiLink(R"(Q:\a.mq4)");
  LnkSpec uncRelative = RelativeLink(R"(\\server\share\a.mq4)");
  for (const LnkSpec* spec : {&network, &idListOnly, &unknownDrive, &uncRelative}) {
    EXPECT_EQ(Resolve(*spec), std::nullopt);
  }
  EXPECT_EQ(ResolveShortcut(tmp / "missing.lnk", drives), std::nullopt);
  fs::create_directory(tmp / "dir.lnk");
  EXPECT_EQ(ResolveShortcut(tmp / "dir.lnk", drives), std::nullopt);
}

TEST(ParseShellLink, RejectsWrongHeader) {
  std::vector<std::uint8_t> good = MakeLnk(AnsiLink(R"(C:\a.mq4)"));
  ASSERT_TRUE(ParseShellLink(good));

  auto badSize = good;
  badSize[0] = 0x4D;
  auto badClsid = good;
  badClsid[19] = 0x47;
  EXPECT_FALSE(ParseShellLink(badSize));
  EXPECT_FALSE(ParseShellLink(badClsid));
  EXPECT_FALSE(ParseShellLink({}));
}

// Every cut of a valid file, and corrupted sizes, must fail cleanly without
// reading past the data (the sanitizer build checks the reads).
TEST(ParseShellLink, TruncatedAndCorruptedFilesFail) {
  LnkSpec full = UnicodeLink(R"(C:\Data\a.mq4)");
  full.commonPathSuffix = "x";
  full.relativePath = R"(..\a.mq4)";
  full.arguments = "args";
  full.iconLocation = "icon";
  for (const LnkSpec& spec : {full, AnsiLink(R"(C:\a.mq4)"), RelativeLink("a.mq4")}) {
    const std::vector<std::uint8_t> bytes = MakeLnk(spec);
    const std::size_t complete = bytes.size() - 4;  // without the ExtraData terminal
    for (std::size_t n = 0; n < complete; ++n) {
      // A heap copy of exactly n bytes, so any over-read is caught.
      std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(ParseShellLink(cut)) << "cut at " << n;
    }
    EXPECT_TRUE(ParseShellLink(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + complete)));
  }
  // Sizes and offsets pointing outside the data: the ANSI offsets of an ANSI
  // link, the Unicode ones of a Unicode link (which takes precedence).
  LnkSpec ansi = full;
  ansi.unicode = ansi.unicodeLinkInfo = false;
  const struct {
    const LnkSpec* spec;
    std::vector<std::size_t> linkInfoFields;
  } corruptions[] = {{&ansi, {0, 16, 24}}, {&full, {0, 28, 32}}};
  for (const auto& c : corruptions) {
    const std::vector<std::uint8_t> bytes = MakeLnk(*c.spec);
    const std::size_t idList = 0x4C;
    const std::size_t linkInfo = idList + 2 + (bytes[idList] | (bytes[idList + 1] << 8));
    std::vector<std::size_t> fields = {idList};
    for (std::size_t f : c.linkInfoFields) fields.push_back(linkInfo + f);
    for (std::size_t field : fields) {
      auto corrupt = bytes;
      corrupt[field] = 0xFF;
      corrupt[field + 1] = 0xFF;
      if (field != idList) corrupt[field + 3] = 0x7F;
      EXPECT_FALSE(ParseShellLink(corrupt)) << "field at " << field;
    }
  }
}

TEST_F(ShortcutTest, ShortcutNames) {
  for (const char* name : {"a.lnk", "A.LNK", "x.mq4.Lnk", ".lnk"}) EXPECT_TRUE(IsShortcutName(name)) << name;
  for (const char* name : {"a.lnk.mq4", "lnk", "a.lnkx", "alnk"}) EXPECT_FALSE(IsShortcutName(name)) << name;
}

TEST_F(ShortcutTest, FollowLinksThroughChains) {
  const fs::path file = tmp.Touch("src/a.mq4");
  WriteLnk(tmp / "one.lnk", RelativeLink(R"(src\a.mq4)"));
  WriteLnk(tmp / "two.lnk", RelativeLink("one.lnk"));
  fs::create_symlink("two.lnk", tmp / "three.mq4");
  fs::create_symlink(tmp / "src", tmp / "srclink");

  // One level at a time, as the drop road re-resolves.
  EXPECT_EQ(ResolveLinkOnce(tmp / "two.lnk", drives), tmp / "one.lnk");
  EXPECT_EQ(ResolveLinkOnce(tmp / "three.mq4", drives), tmp / "two.lnk");
  EXPECT_EQ(ResolveLinkOnce(file, drives), std::nullopt);

  const struct {
    fs::path start;
    std::optional<fs::path> end;
  } cases[] = {
      {file, file},                            // not a link: itself
      {tmp / "one.lnk", file},
      {tmp / "two.lnk", file},                 // link to link
      {tmp / "three.mq4", file},               // symlink to a link
      {tmp / "srclink", tmp / "src"},          // link to a folder: the folder
      {tmp / "srclink/a.mq4", tmp / "srclink/a.mq4"},  // a file inside a linked folder is no link
  };
  for (const auto& c : cases) EXPECT_EQ(FollowLinks(c.start, drives), c.end) << c.start;
}

TEST_F(ShortcutTest, CyclesEndWithNothing) {
  WriteLnk(tmp / "a.lnk", RelativeLink("b.lnk"));
  WriteLnk(tmp / "b.lnk", RelativeLink(R"(.\a.lnk)"));
  WriteLnk(tmp / "self.lnk", RelativeLink("self.lnk"));
  fs::create_symlink("s2", tmp / "s1");
  fs::create_symlink("s1", tmp / "s2");
  fs::create_symlink("sub/../mixed.lnk", tmp / "m.mq4");
  fs::create_directory(tmp / "sub");
  WriteLnk(tmp / "mixed.lnk", RelativeLink("m.mq4"));
  for (const char* start : {"a.lnk", "self.lnk", "s1", "m.mq4"}) {
    EXPECT_EQ(FollowLinks(tmp / start, drives), std::nullopt) << start;
  }
  WriteLnk(tmp / "broken.lnk", RelativeLink(R"(\\server\x.mq4)"));
  EXPECT_EQ(FollowLinks(tmp / "broken.lnk", drives), std::nullopt);
}

}  // namespace
}  // namespace lumivex
