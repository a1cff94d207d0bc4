// The real program, started offscreen as separate processes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "online/support/http_server.h"
#include "platform/support/temp_dir.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = fs::read_symlink("/proc/self/exe").parent_path() / "lumivex";
    if (!fs::exists(program_)) GTEST_SKIP() << "program not built: " << program_;
  }
  void TearDown() override {
    for (pid_t pid : started_) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
  }

  // A copy in its own folder, whose state file says the ReadMe was shown (no editor starts).
  fs::path Install(const std::string& folder) {
    tmp_.Touch(folder + "/Lumivex.ini", "ReadMe=1\r\n");
    fs::copy_file(program_, tmp_ / folder / "lumivex");
    return tmp_ / folder / "lumivex";
  }

  pid_t Start(const fs::path& exe, const std::string& site = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (site.empty()) ::unsetenv("LUMIVEX_SITE");
      else ::setenv("LUMIVEX_SITE", site.c_str(), 1);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("XDG_RUNTIME_DIR", tmp_.path().c_str(), 1);  // made private by mkdtemp
      ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    started_.push_back(pid);
    return pid;
  }

  static bool Within(std::chrono::milliseconds timeout, const std::function<bool()>& done) {
    for (const auto end = std::chrono::steady_clock::now() + timeout; !done(); std::this_thread::sleep_for(20ms))
      if (std::chrono::steady_clock::now() >= end) return false;
    return true;
  }

  // The exit code, or nothing when the process still runs after timeout.
  std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    int status = 0;
    if (!Within(timeout, [&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) return std::nullopt;
    std::erase(started_, pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // The page is written once the instance lock is held (probing the lock could steal it).
  static bool WaitRunning(const fs::path& exe) {
    return Within(20s, [&] { return fs::exists(exe.parent_path() / "temp.htm"); });
  }

  fs::path program_;
  testing::TempDir tmp_;
  std::vector<pid_t> started_;
};

TEST_F(Startup, SecondStartOfTheSameProgramExitsWithOne) {
  const fs::path exe = Install("one");
  const pid_t first = Start(exe);
  ASSERT_TRUE(WaitRunning(exe));
  EXPECT_EQ(WaitExit(Start(exe), 10s), 1);
  const fs::path other = Install("two");
  const pid_t copy = Start(other);
  ASSERT_TRUE(WaitRunning(other));

  fs::remove(exe.parent_path() / "temp.htm");
  EXPECT_EQ(WaitExit(first, 10s), 0);
  EXPECT_TRUE(fs::exists(exe.parent_path() / "Lumivex.dat"));
  EXPECT_FALSE(WaitExit(copy, 0ms).has_value());
}

// The site named by LUMIVEX_SITE is asked for the version about 4 s after the
// start; a program closed while that check waits on a silent server ends at
// once, the check aborted and joined.
TEST_F(Startup, ClosesPromptlyWhileACheckWaitsOnTheSite) {
  testing::HttpServer server;
  server.Route("/soft/", testing::Reply::Silent());
  const fs::path exe = Install("online");
  const pid_t pid = Start(exe, server.site().Authority());
  ASSERT_TRUE(WaitRunning(exe));
  ASSERT_TRUE(Within(20s, [&] { return server.Count("/soft/") == 1; }));
  EXPECT_EQ(server.Requests().at(0).userAgent, "Lumivex");

  fs::remove(exe.parent_path() / "temp.htm");
  EXPECT_EQ(WaitExit(pid, 5s), 0);
}

}  // namespace
}  // namespace lumivex
