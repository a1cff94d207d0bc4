#include "online/archiver.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "online/support/lha_writer.h"
#include "online/support/tree_snapshot.h"
#include "online/unlha/unlha32.h"
#include "platform/support/temp_dir.h"

namespace lumivex {
namespace {

using testing::LhaEntry;
using testing::LhaFile;
using testing::LhaFolder;
using testing::LhaSymlink;
using testing::MakeLhaArchive;
using testing::ModeOf;
using testing::ReadWhole;
using testing::TempDir;
using testing::TreeSnapshot;
using testing::WriteLhaArchive;

// The test programs run from the folder the plugin is built into.
std::filesystem::path PluginFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

class ArchiverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadUnlha(unlha, PluginFolder()));
    std::filesystem::create_directories(dest);
  }
  void TearDown() override { FreeUnlha(unlha); }

  int Extract(const std::vector<LhaEntry>& entries, int level) {
    WriteLhaArchive(archive, entries, level);
    return ExtractArchive(unlha, archive.string(), dest.string());
  }
  int ExtractBytes(const std::string& bytes) {
    std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
    return ExtractArchive(unlha, archive.string(), dest.string());
  }

  UnlhaBinding unlha;
  TempDir dir;
  std::filesystem::path archive = dir / "LvxDLE.lzh";
  std::filesystem::path dest = dir / "app";
};

std::string AllBytes() {
  std::string data;
  for (int round = 0; round < 300; ++round) {
    for (int b = 0; b < 256; ++b) data += static_cast<char>(b);
  }
  return data;
}

std::vector<LhaEntry> UpdateEntries() {
  return {
      LhaFile("LvxDLE.exe", "#!/bin/sh\necho updated\n", 0100755),
      LhaFile("sub/ReadMe.txt", "read me\r\n", 0100644),
      LhaFile("sub/deeper/data.bin", AllBytes()),
  };
}

class Levels : public ArchiverTest, public ::testing::WithParamInterface<int> {};

TEST_P(Levels, ExtractsFilesWithTheirFoldersContentAndModes) {
  std::filesystem::create_directories(dest / "sub");
  std::ofstream(dest / "sub" / "ReadMe.txt") << "old text";
  std::ofstream(dest / "keep.txt") << "untouched";

  ASSERT_EQ(Extract(UpdateEntries(), GetParam()), 0);
  EXPECT_EQ(ReadWhole(dest / "LvxDLE.exe"), "#!/bin/sh\necho updated\n");
  EXPECT_EQ(ReadWhole(dest / "sub" / "ReadMe.txt"), "read me\r\n");
  EXPECT_EQ(ReadWhole(dest / "sub" / "deeper" / "data.bin"), AllBytes());
  EXPECT_EQ(ReadWhole(dest / "keep.txt"), "untouched");
  EXPECT_EQ(ModeOf(dest / "LvxDLE.exe"), 0755u);
  EXPECT_EQ(ModeOf(dest / "sub" / "ReadMe.txt"), 0644u);
  EXPECT_EQ(ModeOf(dest / "sub" / "deeper" / "data.bin"), 0644u);
  EXPECT_EQ(ModeOf(dest / "sub" / "deeper"), 0755u);
  // Only what the archive holds, no staging folder left behind.
  EXPECT_EQ(TreeSnapshot(dest).size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(HeaderLevels, Levels, ::testing::Values(0, 2));

TEST_F(ArchiverTest, FoldersAndDotsStayInsideTheDestination) {
  const std::vector<LhaEntry> entries = {
      LhaFolder("empty"),
      LhaFile("a/./b/../c.txt", "c"),
      LhaFile("../../up.txt", "up"),
  };
  ASSERT_EQ(Extract(entries, 2), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dest / "empty"));
  EXPECT_EQ(ReadWhole(dest / "a" / "c.txt"), "c");
  EXPECT_EQ(ReadWhole(dest / "up.txt"), "up");
  EXPECT_FALSE(std::filesystem::exists(dir / "up.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "up.txt"));
}

TEST_F(ArchiverTest, SetuidBitsAreNeverKept) {
  ASSERT_EQ(Extract({LhaFile("tool", "x", 0104755), LhaFile("group", "y", 0102644)},
                    2),
            0);
  EXPECT_EQ(ModeOf(dest / "tool"), 0755u);
  EXPECT_EQ(ModeOf(dest / "group"), 0644u);
}

TEST_F(ArchiverTest, RefusedArchivesLeaveTheDestinationUntouched) {
  const std::string outside = (dir / "outside.txt").string();
  auto badCrc = UpdateEntries();
  badCrc[2].crc = static_cast<std::uint16_t>(testing::LhaCrc16(badCrc[2].data) ^ 1);
  auto unknownMethod = UpdateEntries();
  unknownMethod[1].method = "-zz9-";
  const std::string whole = MakeLhaArchive(UpdateEntries(), 2);
  const std::string firstTwo = MakeLhaArchive({UpdateEntries()[0], UpdateEntries()[1]}, 2);
  const std::size_t thirdHeader = firstTwo.size() - 1;  // where the end mark stood

  struct Case {
    const char* label;
    std::string archive;
    int result;
  };
  const Case cases[] = {
      {"absolute name, level 0",
       MakeLhaArchive({UpdateEntries()[0], LhaFile(outside, "evil")}, 0), kUnlhaRefused},
      {"absolute name, level 2",
       MakeLhaArchive({UpdateEntries()[0], LhaFile(outside, "evil")}, 2), kUnlhaRefused},
      {"symbolic link",
       MakeLhaArchive({UpdateEntries()[0],
                       LhaSymlink("sub", "/etc")},
                      2),
       kUnlhaRefused},
      {"unknown method", MakeLhaArchive(unknownMethod, 2), kUnlhaRefused},
      {"same name twice", MakeLhaArchive({UpdateEntries()[0], UpdateEntries()[0]}, 2), kUnlhaRefused},
      {"file and folder of one name",
       MakeLhaArchive({LhaFile("sub", "f"), UpdateEntries()[1]}, 2), kUnlhaRefused},
      {"bad CRC", MakeLhaArchive(badCrc, 2), kUnlhaBroken},
      {"cut inside data", whole.substr(0, whole.size() - 1000), kUnlhaBroken},
      {"cut inside a header", whole.substr(0, thirdHeader + 10), kUnlhaBroken},
      {"not an archive", "<html><body>404 Not Found</body></html>", kUnlhaBroken},
  };
  std::filesystem::create_directories(dest / "sub");
  std::ofstream(dest / "sub" / "ReadMe.txt") << "old text";
  std::ofstream(dest / "LvxDLE.exe") << "old updater";
  const auto before = TreeSnapshot(dest);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(ExtractBytes(c.archive), c.result);
    EXPECT_EQ(TreeSnapshot(dest), before);
    EXPECT_FALSE(std::filesystem::exists(outside));
  }
}

TEST_F(ArchiverTest, NothingIsPlacedThroughLinksOrOverFolders) {
  const auto elsewhere = dir / "elsewhere";
  std::filesystem::create_directories(elsewhere);
  std::filesystem::create_symlink(elsewhere, dest / "sub");
  std::filesystem::create_directories(dest / "LvxDLE.exe");
  const auto before = TreeSnapshot(dest);

  EXPECT_EQ(Extract({UpdateEntries()[1]}, 2), kUnlhaRefused);  // sub/ is a link
  EXPECT_EQ(Extract({UpdateEntries()[0]}, 2), kUnlhaRefused);  // a folder holds the name
  EXPECT_EQ(TreeSnapshot(dest), before);
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
}

TEST_F(ArchiverTest, AFileLinkInTheWayIsReplacedNotFollowed) {
  const auto victim = dir / "victim.txt";
  std::ofstream(victim) << "keep";
  std::filesystem::create_symlink(victim, dest / "LvxDLE.exe");
  ASSERT_EQ(Extract({UpdateEntries()[0]}, 2), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(dest / "LvxDLE.exe"));
  EXPECT_EQ(ReadWhole(victim), "keep");
}

TEST_F(ArchiverTest, TheCommandLineIsExactlyVerbOptionsAndTwoPaths) {
  WriteLhaArchive(archive, UpdateEntries(), 2);
  const std::string a = archive.string(), d = dest.string();
  const std::string bad[] = {
      "",
      "x",
      "e -a \"" + a + "\" \"" + d + "\"",
      "x \"" + a + "\"",
      "x \"" + a + "\" \"" + d + "\" \"" + d + "\"",
      "x \"" + a + "\" -a \"" + d + "\"",
      "x -a \"" + a + "\" \"" + d + "\" more",
      "x a \"" + a + "\" \"" + d + "\"",
      "x -a \"" + a + "\" \"" + d,
      "x -a \"" + a + "\" \"\"",
      "x -a \"" + a + "\" \"" + d + "\x01\"",
  };
  for (const std::string& line : bad) {
    char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(unlha.UnlhaProc(nullptr, line.c_str(), buffer, 4), kUnlhaBadCommand) << line;
    EXPECT_EQ(buffer[3], '\0');
    EXPECT_EQ(std::string(buffer + 4, 4), "####");  // nothing written past size
  }
  EXPECT_EQ(unlha.UnlhaProc(nullptr, nullptr, nullptr, 0), kUnlhaBadCommand);
  EXPECT_TRUE(std::filesystem::is_empty(dest));
  EXPECT_EQ(unlha.UnlhaProc(nullptr, UnlhaCommandLine(a, d).c_str(), nullptr, 0), 0);
}

TEST_F(ArchiverTest, ExtractArchiveRefusesWhatItCannotPass) {
  WriteLhaArchive(archive, UpdateEntries(), 2);
  EXPECT_EQ(UnlhaCommandLine("/a/x.lzh", "/a/"), R"(x -+ -a2 -d1 -f0 -n1 -m1 "/a/x.lzh" "/a/")");
  EXPECT_EQ(ExtractArchive(unlha, (dir / "missing.lzh").string(), dest.string()), -1);
  EXPECT_EQ(ExtractArchive(UnlhaBinding{}, archive.string(), dest.string()), -1);
  EXPECT_EQ(ExtractArchive(unlha, archive.string(), dest.string() + "\"x"), -1);
  EXPECT_EQ(ExtractArchive(unlha, archive.string(), dest.string() + "\n"), -1);
  EXPECT_TRUE(std::filesystem::is_empty(dest));
}

TEST(LoadUnlha, FindsThePluginBesideTheProgramOnly) {
  TempDir empty;
  UnlhaBinding binding;
  EXPECT_FALSE(LoadUnlha(binding, empty.path()));
  EXPECT_FALSE(binding.Loaded());
  EXPECT_EQ(binding.UnlhaModule, nullptr);

  // A plugin in the working folder is not picked up by the bare name.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::copy_file(PluginFolder() / kUnlhaLibraryName, empty / kUnlhaLibraryName);
  TempDir other;
  std::filesystem::current_path(empty.path());
  EXPECT_FALSE(LoadUnlha(binding, other.path()));
  std::filesystem::current_path(cwd);

  ASSERT_TRUE(LoadUnlha(binding, PluginFolder()));
  EXPECT_NE(binding.UnlhaModule, nullptr);
  FreeUnlha(binding);
  EXPECT_FALSE(binding.Loaded());
}

}  // namespace
}  // namespace lumivex
