// Whole-file read and the safe replace. Tests run as root, which ignores
// permissions: the read-only rule must hold on the mode bits alone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "text/text_file.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;

class RecordingMessages : public Messages {
 public:
  MessageButton Show(std::string_view text, std::string_view caption, MessageButtons buttons) override {
    shown.push_back(std::string(text) + "|" + std::string(caption) + "|" +
                    (buttons == MessageButtons::OkCancel ? "OkCancel" : "other"));
    return MessageButton::Cancel;
  }
  std::vector<std::string> shown;
};

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
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(TextFileTest, ReadsUpToTheFirstNulAndQuietlyNothingElse) {
  RecordingMessages messages;
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"a\r\nb\x81\x40", "a\r\nb\x81\x40"}, {std::string("ab\0cd", 5), "ab"}};
  for (const auto& [bytes, want] : cases) {
    Put(PathOf("f.txt"), bytes);
    EXPECT_EQ(ReadTextFile(PathOf("f.txt"), &messages), want);
  }
  EXPECT_EQ(ReadTextFile(PathOf("missing.txt"), &messages), "");
  EXPECT_EQ(ReadTextFile(dir_.string(), &messages), "");
  ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadTextFile(PathOf("pipe"), &messages), "");  // must not block
  EXPECT_TRUE(messages.shown.empty());
}

TEST(TextFileRead, FailureShowsTheFileErrorBox) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer aborts on the impossible allocation";
#endif
  // A sparse file larger than memory makes the buffer allocation fail.
  const std::string path = "/dev/shm/lumivex-text-huge-" + std::to_string(::getpid());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) GTEST_SKIP() << "no /dev/shm";
  const bool huge = ::ftruncate(fd, off_t{5} << 60) == 0;
  ::close(fd);
  RecordingMessages messages;
  const std::string text = huge ? ReadTextFile(path, &messages) : "";
  ::unlink(path.c_str());
  if (!huge) GTEST_SKIP() << "the file system refuses a sparse file of that size";
  EXPECT_EQ(text, "");
  EXPECT_EQ(messages.shown, std::vector<std::string>{
      "Can't perform one of the following file operations: Open, Seek, Read, Close.|File Error|OkCancel"});
}

TEST_F(TextFileTest, WriteReplacesKeepingModeAndOwnerWithoutLeftovers) {
  const std::string path = PathOf("out.txt");
  WriteTextFile("first\r\n", path);
  EXPECT_EQ(Get(path), "first\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
  }
  WriteTextFile("second", path);
  EXPECT_EQ(Get(path), "second");
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(StatOf(path).st_uid, 4321u);
  }
  WriteTextFile("", path);
  EXPECT_EQ(StatOf(path).st_size, 0);
  EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(TextFileTest, ReadOnlyTargetIsLeftAloneEvenForRoot) {
  const std::string path = PathOf("locked.txt");
  Put(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  WriteTextFile("new", path);
  EXPECT_FALSE(ReplaceFileContents(path, "new", ReadOnlyTargets::Keep));
  EXPECT_EQ(Get(path), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"locked.txt"});
  // The file road replaces read-only sources, and they stay read-only.
  EXPECT_TRUE(ReplaceFileContents(path, "new", ReadOnlyTargets::Replace));
  EXPECT_EQ(Get(path), "new");
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0444u);
}

TEST_F(TextFileTest, SymbolicLinkStaysALink) {
  Put(PathOf("real.txt"), "old");
  fs::create_symlink(PathOf("real.txt"), PathOf("link.txt"));
  EXPECT_TRUE(ReplaceFileContents(PathOf("link.txt"), "new", ReadOnlyTargets::Keep));
  EXPECT_TRUE(fs::is_symlink(PathOf("link.txt")));
  EXPECT_EQ(Get(PathOf("real.txt")), "new");
  EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST_F(TextFileTest, FailuresKeepTheOldFileAndLeaveNoTemporary) {
  EXPECT_FALSE(ReplaceFileContents(PathOf("no/such/file.txt"), "x", ReadOnlyTargets::Replace));
  fs::create_directory(dir_ / "sub");
  EXPECT_FALSE(ReplaceFileContents(PathOf("sub"), "x", ReadOnlyTargets::Replace));
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));

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
  EXPECT_EQ(Get(path), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"keep.txt", "sub"}));
}

}  // namespace
}  // namespace lumivex
