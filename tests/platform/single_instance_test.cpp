#include "platform/single_instance.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace lumivex {
namespace {

using testing::TempDir;

TEST(MutexNameFromPath, ThreePassesThenSlashes) {
  EXPECT_EQ(MutexNameFromPath(R"(C:\Tools\Conv.exe)"), "C-Tools-Conv_exe");
  EXPECT_EQ(MutexNameFromPath(R"(C:\A.B\x.exe)"), "C-A_B-x_exe");
  EXPECT_EQ(MutexNameFromPath("/home/u/my.tools/a:b"), "-home-u-my_tools-ab");
  EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");  // the inserted text is not searched again
  EXPECT_EQ(ReplaceAll("abc", "", "y"), "abc");
}

// Acquire in another process: 0 = Acquired, 1 = HeldByOther, 2 = Failed.
int AcquireInChild(const std::string& program, const std::filesystem::path& lockDir) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    SingleInstanceLock lock(program, lockDir);
    const LockResult r = lock.Acquire();
    ::_exit(r == LockResult::Acquired ? 0 : r == LockResult::HeldByOther ? 1 : 2);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstanceLock, SecondProcessWithSamePathIsRefused) {
  TempDir dir;
  const std::filesystem::path lockDir = dir / "run" / "lumivex";
  SingleInstanceLock first("/opt/a/lumivex", lockDir);
  ASSERT_EQ(first.Acquire(), LockResult::Acquired);
  EXPECT_EQ(first.Acquire(), LockResult::Acquired);
  struct stat st {};
  ASSERT_EQ(::stat(lockDir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  EXPECT_EQ(AcquireInChild("/opt/a/lumivex", lockDir), 1);
  EXPECT_EQ(ExitCodeForLock(LockResult::HeldByOther), 1);
  EXPECT_EQ(AcquireInChild("/opt/b/lumivex", lockDir), 0);  // a copy in another folder runs
  first.Release();
  EXPECT_EQ(AcquireInChild("/opt/a/lumivex", lockDir), 0);

  // Long program paths are not cut to one shared lock name.
  const std::string deep = "/" + std::string(300, 'd');
  SingleInstanceLock a(deep + "/one", lockDir), b(deep + "/two", lockDir);
  EXPECT_LE(a.LockFile().filename().string().size(), 255u);
  EXPECT_EQ(a.Acquire(), LockResult::Acquired);
  EXPECT_EQ(b.Acquire(), LockResult::Acquired);
  EXPECT_EQ(AcquireInChild(deep + "/one", lockDir), 1);
}

// A program the instance starts (an editor left open) must not inherit the lock.
TEST(SingleInstanceLock, StartedProgramsDoNotHoldTheLock) {
  TempDir dir;
  SingleInstanceLock lock("/p/lumivex", dir.path());
  ASSERT_EQ(lock.Acquire(), LockResult::Acquired);
  pid_t editor = 0;
  char prog[] = "/bin/sleep", arg[] = "30", *argv[] = {prog, arg, nullptr};
  ASSERT_EQ(::posix_spawn(&editor, prog, nullptr, nullptr, argv, environ), 0);
  for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(editor) + "/fd")) {
    std::error_code ec;
    EXPECT_NE(std::filesystem::read_symlink(fd, ec), lock.LockFile());
  }
  ::kill(editor, SIGTERM);
  ::waitpid(editor, nullptr, 0);
}

TEST(SingleInstanceLock, OtherFailuresLetTheProgramStart) {
  TempDir dir;
  dir.Touch("blocker");  // a file where the lock folder should be
  SingleInstanceLock blocked("/x/y", dir / "blocker" / "lumivex");
  EXPECT_EQ(blocked.Acquire(), LockResult::Failed);
  EXPECT_EQ(ExitCodeForLock(LockResult::Failed), 0);

  std::filesystem::create_directory(dir / "elsewhere");  // a planted symlink is not followed
  std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "planted");
  SingleInstanceLock planted("/x/y", dir / "planted");
  EXPECT_EQ(planted.Acquire(), LockResult::Failed);
}

}  // namespace
}  // namespace lumivex
