#include "platform/single_instance.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace lumivex {
namespace {

using testing::TempDir;

TEST(MutexNameFromPath, ThreePassesThenSlashes) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {R"(C:\Tools\Conv.exe)", "C-Tools-Conv_exe"},
      {R"(C:\A.B\x.exe)", "C-A_B-x_exe"},
      {"/opt/lumivex/bin/lumivex", "-opt-lumivex-bin-lumivex"},
      {"/home/u/my.tools/lumivex.bin", "-home-u-my_tools-lumivex_bin"},
      {"/a:b/c", "-ab-c"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MutexNameFromPath(c.path), c.name) << c.path;
}

TEST(ReplaceAll, ResumesAfterInsertedText) {
  EXPECT_EQ(ReplaceAll("a.b.c", ".", "_"), "a_b_c");
  EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");  // the inserted "aa" is not searched again
  EXPECT_EQ(ReplaceAll("abc", "x", "y"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "", "y"), "abc");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
}

TEST(LockDirectory, RuntimeDirElseTmpWithUid) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string keep = saved ? saved : "";
  ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  EXPECT_EQ(LockDirectory(), "/run/user/4242/lumivex");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(LockDirectory(), "/tmp/lumivex-" + std::to_string(::getuid()));
  if (saved) ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

// Result of Acquire in a separate process, as its exit code would report it:
// 0 = Acquired, 1 = HeldByOther, 2 = Failed.
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

  EXPECT_EQ(AcquireInChild("/opt/a/lumivex", lockDir), 1);
  EXPECT_EQ(AcquireInChild("/opt/b/lumivex", lockDir), 0);  // a copy in another folder runs

  first.Release();
  EXPECT_EQ(AcquireInChild("/opt/a/lumivex", lockDir), 0);
}

TEST(SingleInstanceLock, LockEndsWithTheProcessHoldingIt) {
  TempDir dir;
  int ready[2];
  int done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    SingleInstanceLock lock("/p/lumivex", dir.path());
    const char ok = lock.Acquire() == LockResult::Acquired ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    char c;
    (void)!::read(done[0], &c, 1);
    ::_exit(0);  // no destructor: the kernel must drop the lock itself
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');

  SingleInstanceLock second("/p/lumivex", dir.path());
  EXPECT_EQ(second.Acquire(), LockResult::HeldByOther);
  EXPECT_EQ(ExitCodeForLock(LockResult::HeldByOther), 1);

  (void)!::write(done[1], "x", 1);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(second.Acquire(), LockResult::Acquired);
  for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

// Programs the instance starts (an editor, the file browser) must not inherit
// the lock: an editor left open would otherwise refuse every later start.
TEST(SingleInstanceLock, StartedProgramsDoNotKeepTheLock) {
  TempDir dir;
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t instance = ::fork();
  if (instance == 0) {
    SingleInstanceLock lock("/p/lumivex", dir.path());
    pid_t editor = 0;
    if (lock.Acquire() == LockResult::Acquired) {
      char prog[] = "/bin/sleep";
      char arg[] = "30";
      char* argv[] = {prog, arg, nullptr};
      if (::posix_spawn(&editor, prog, nullptr, nullptr, argv, environ) != 0) editor = 0;
    }
    (void)!::write(report[1], &editor, sizeof editor);
    ::_exit(0);  // ends without releasing, as a crash would
  }
  pid_t editor = 0;
  ASSERT_EQ(::read(report[0], &editor, sizeof editor), static_cast<ssize_t>(sizeof editor));
  ::waitpid(instance, nullptr, 0);
  ASSERT_GT(editor, 0);

  SingleInstanceLock next("/p/lumivex", dir.path());
  EXPECT_EQ(next.Acquire(), LockResult::Acquired);
  ::kill(editor, SIGTERM);
  ::close(report[0]);
  ::close(report[1]);
}

TEST(SingleInstanceLock, CreatesPrivateFolderAndIsReentrant) {
  TempDir dir;
  const std::filesystem::path lockDir = dir / "a" / "b";
  SingleInstanceLock lock("/x/y", lockDir);
  ASSERT_EQ(lock.Acquire(), LockResult::Acquired);
  EXPECT_EQ(lock.Acquire(), LockResult::Acquired);
  struct stat st {};
  ASSERT_EQ(::stat(lockDir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(lock.LockFile(), lockDir / "-x-y.lock");
}

TEST(SingleInstanceLock, OtherFailuresLetTheProgramStart) {
  TempDir dir;
  dir.Touch("blocker");  // a file where the lock folder should be
  SingleInstanceLock lock("/x/y", dir / "blocker" / "lumivex");
  EXPECT_EQ(lock.Acquire(), LockResult::Failed);
  EXPECT_EQ(ExitCodeForLock(LockResult::Failed), 0);
  EXPECT_EQ(ExitCodeForLock(LockResult::Acquired), 0);

  // A symlink planted where the lock folder goes is not followed.
  std::filesystem::create_directory(dir / "elsewhere");
  std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "planted");
  SingleInstanceLock planted("/x/y", dir / "planted");
  EXPECT_EQ(planted.Acquire(), LockResult::Failed);
}

TEST(SingleInstanceLock, LongPathsKeepDistinctLocks) {
  TempDir dir;
  const std::string deep = "/" + std::string(300, 'd');
  SingleInstanceLock a(deep + "/one", dir.path());
  SingleInstanceLock b(deep + "/two", dir.path());
  EXPECT_LE(a.LockFile().filename().string().size(), 255u);
  EXPECT_NE(a.LockFile(), b.LockFile());
  EXPECT_EQ(a.Acquire(), LockResult::Acquired);
  EXPECT_EQ(b.Acquire(), LockResult::Acquired);
  EXPECT_EQ(AcquireInChild(deep + "/one", dir.path()), 1);
}

}  // namespace
}  // namespace lumivex
