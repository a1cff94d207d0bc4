// One running instance per program path: a second start of the same program
// file exits at once, a copy in another folder runs beside it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumivex {

// Every occurrence of `from` replaced by `to`, scanning left to right; the
// search resumes after the inserted text, so a `to` holding `from` is not
// replaced again. An empty `from` leaves src unchanged.
std::string ReplaceAll(std::string_view src, std::string_view from, std::string_view to);

// The instance name of a program file: "\" -> "-", ":" removed, "." -> "_",
// then "/" -> "-" (C:\Tools\Conv.exe -> C-Tools-Conv_exe,
// /opt/lumivex/lumivex -> -opt-lumivex-lumivex).
std::string MutexNameFromPath(std::string_view programPath);

// Folder of the lock files: $XDG_RUNTIME_DIR/lumivex/ when XDG_RUNTIME_DIR is
// set, else /tmp/lumivex-<uid>/. Not created here.
std::filesystem::path LockDirectory();

enum class LockResult {
  Acquired,     // this process is the only instance
  HeldByOther,  // another process holds the lock: exit with code 1
  Failed,       // the lock could not be taken for another reason: start anyway
};

// Holds an exclusive flock on <LockDirectory>/<instance name>.lock from
// Acquire until destruction (or process end). Take it before any window
// exists.
class SingleInstanceLock {
 public:
  explicit SingleInstanceLock(std::string_view programPath,
                              std::filesystem::path lockDirectory = LockDirectory());
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // Creates the lock folder (0700) when missing and tries the lock without
  // waiting. Calling it again after Acquired returns Acquired.
  LockResult Acquire();
  // Lets the lock go (also done by the destructor).
  void Release();

  const std::filesystem::path& LockFile() const { return lockFile_; }

 private:
  std::filesystem::path lockDirectory_;
  std::filesystem::path lockFile_;
  int fd_ = -1;
};

// The exit code of a start that tried the lock: 1 only when another instance
// holds it, else 0 (the program runs).
inline int ExitCodeForLock(LockResult r) { return r == LockResult::HeldByOther ? 1 : 0; }

}  // namespace lumivex
