// Starts the real program (offscreen) to check the single-instance guard:
// a second start of the same program file exits at once with code 1, a copy
// in another folder runs, and removing "temp.htm" closes a running instance.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>


namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path ProgramBesideTests() {
  return fs::read_symlink("/proc/self/exe").parent_path() / "lumivex";
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = ProgramBesideTests();
    if (!fs::exists(program_)) GTEST_SKIP() << "program not built: " << program_;
    root_ = fs::temp_directory_path() / ("lumivex-startup-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    runtime_ = root_ / "runtime";
    fs::create_directories(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
  }
  void TearDown() override {
    for (pid_t pid : started_) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    if (!root_.empty()) fs::remove_all(root_);
  }

  // A copy of the program in its own folder, with a state file that says the
  // ReadMe was already shown (so no editor is started).
  fs::path Install(const std::string& folder) {
    const fs::path dir = root_ / folder;
    fs::create_directories(dir);
    fs::copy_file(program_, dir / "lumivex");
    std::ofstream(dir / "Lumivex.ini", std::ios::binary) << "ReadMe=1\r\n";
    return dir / "lumivex";
  }

  pid_t Start(const fs::path& exe) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
      ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    started_.push_back(pid);
    return pid;
  }

  // The exit code, or nothing when the process still runs after timeout.
  std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        std::erase(started_, pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }

  // Waits until the program at exe has written its page, which it does after
  // taking its instance lock. (Probing the lock itself could steal it.)
  bool WaitRunning(const fs::path& exe) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
      if (fs::exists(exe.parent_path() / "temp.htm")) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  fs::path program_, root_, runtime_;
  std::vector<pid_t> started_;
};

TEST_F(Startup, SecondStartOfTheSameProgramExitsWithOne) {
  const fs::path exe = Install("one");
  const pid_t first = Start(exe);
  ASSERT_TRUE(WaitRunning(exe));

  EXPECT_EQ(WaitExit(Start(exe), 10s), 1);

  // A copy in another folder has its own lock and runs.
  const fs::path other = Install("two");
  const pid_t copy = Start(other);
  ASSERT_TRUE(WaitRunning(other));

  // Removing the page closes an instance within about a second, with the
  // settings file saved on the way.
  fs::remove(exe.parent_path() / "temp.htm");
  EXPECT_EQ(WaitExit(first, 10s), 0);
  EXPECT_TRUE(fs::exists(exe.parent_path() / "Lumivex.dat"));
  EXPECT_FALSE(WaitExit(copy, 0ms).has_value());
  fs::remove(other.parent_path() / "temp.htm");
  EXPECT_EQ(WaitExit(copy, 10s), 0);

  // The lock went with the first instance: the program starts again.
  const pid_t again = Start(exe);
  ASSERT_TRUE(WaitRunning(exe));
  fs::remove(exe.parent_path() / "temp.htm");
  EXPECT_EQ(WaitExit(again, 10s), 0);
}

}  // namespace
}  // namespace lumivex
