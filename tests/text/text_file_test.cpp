// Whole-file read and the safe replace. Tests run as root, which ignores
// permissions: the read-only rule must hold on the mode bits alone.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "text/text_file.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "lumivex-text-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  // The folder's entries: no temporary file may be left behind.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
    return names;
  }

  fs::path dir_;
};

TEST_F(TextFileTest, ReadsUpToTheFirstNulAndNothingFromOtherPaths) {
  const std::pair<std::string, std::string> cases[] = {{"", ""}, {"a\r\nb\x81\x40", "a\r\nb\x81\x40"},
                                                       {std::string("ab\0cd", 5), "ab"}};
  for (const auto& [bytes, want] : cases) {
    Put(PathOf("f.txt"), bytes);
    EXPECT_EQ(ReadTextFile(PathOf("f.txt")), want);
  }
  ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
  for (const std::string& path : {PathOf("missing.txt"), dir_.string(), PathOf("pipe")}) {
    EXPECT_EQ(ReadTextFile(path), "") << path;  // a FIFO must not block
  }
}

TEST_F(TextFileTest, WriteReplacesKeepingModeAndLinks) {
  const std::string path = PathOf("out.txt");
  WriteTextFile("first\r\n", path);
  EXPECT_EQ(ReadTextFile(path), "first\r\n");
  fs::permissions(path, fs::perms(0640));
  fs::create_symlink(path, PathOf("link.txt"));
  WriteTextFile("", PathOf("link.txt"));  // the link stays, its target changes
  EXPECT_TRUE(fs::is_symlink(PathOf("link.txt")));
  EXPECT_EQ(fs::file_size(path), 0u);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
  EXPECT_EQ(Names(), (std::set<std::string>{"link.txt", "out.txt"}));
}

TEST_F(TextFileTest, FailuresAndReadOnlyTargetsKeepTheOldFile) {
  const std::string locked = PathOf("locked.txt");
  Put(locked, "old");
  fs::permissions(locked, fs::perms(0444));
  WriteTextFile("new", locked);  // root too: judged on the mode bits
  EXPECT_FALSE(ReplaceFileContents(locked, "new", ReadOnlyTargets::Keep));
  EXPECT_EQ(ReadTextFile(locked), "old");
  // The file road replaces read-only sources, and they stay read-only.
  EXPECT_TRUE(ReplaceFileContents(locked, "new", ReadOnlyTargets::Replace));
  EXPECT_EQ(ReadTextFile(locked), "new");
  EXPECT_EQ(fs::status(locked).permissions(), fs::perms(0444));
  fs::create_directory(dir_ / "sub");
  EXPECT_FALSE(ReplaceFileContents(PathOf("sub"), "x", ReadOnlyTargets::Replace));

  // A file size limit makes the write fail part way, even for root.
  const std::string path = PathOf("keep.txt");
  Put(path, "old");
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = saved;
  tiny.rlim_cur = 4;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const bool replaced = ReplaceFileContents(path, "a much longer text", ReadOnlyTargets::Keep);
  WriteTextFile("another long text", path);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(ReadTextFile(path), "old");
  EXPECT_EQ(Names(), (std::set<std::string>{"keep.txt", "locked.txt", "sub"}));
}

}  // namespace
}  // namespace lumivex
