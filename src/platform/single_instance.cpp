#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace lumivex {

std::string ReplaceAll(std::string_view src, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(src);
  std::string out;
  out.reserve(src.size());
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = src.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(src, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  out.append(src.substr(pos));
  return out;
}

std::string MutexNameFromPath(std::string_view programPath) {
  std::string name = ReplaceAll(programPath, "\\", "-");
  name = ReplaceAll(name, ":", "");
  name = ReplaceAll(name, ".", "_");
  return ReplaceAll(name, "/", "-");
}

std::filesystem::path LockDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::filesystem::path(runtime) / "lumivex";
  return std::filesystem::path("/tmp") / ("lumivex-" + std::to_string(::getuid()));
}

namespace {

// A file name may hold at most NAME_MAX (255) bytes. A longer instance name is
// shortened to a prefix plus a hash of the whole name, so two long program
// paths sharing a prefix still get different locks.
std::string LockFileName(const std::string& instanceName) {
  constexpr std::size_t kMaxName = 255;
  const std::string suffix = ".lock";
  if (instanceName.size() + suffix.size() <= kMaxName) return instanceName + suffix;
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : instanceName) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) hex[static_cast<std::size_t>(i)] = kHex[hash & 15];
  return instanceName.substr(0, 200) + "-" + hex + suffix;
}

// mkdir -p with mode 0700 for the folders it creates.
bool MakeLockDirectory(const std::filesystem::path& dir) {
  std::error_code ec;
  if (std::filesystem::is_directory(dir, ec)) return true;
  if (dir.has_parent_path() && dir.parent_path() != dir) MakeLockDirectory(dir.parent_path());
  if (::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) {
    return std::filesystem::is_directory(dir, ec);
  }
  return false;
}

// In a shared folder such as /tmp another user could plant the lock folder
// (or a symlink to one) and so keep this program from starting; a folder
// that is not our own plain directory is not used.
bool IsOwnPrivateFolder(const std::filesystem::path& dir) {
  struct stat st {};
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(std::string_view programPath,
                                       std::filesystem::path lockDirectory)
    : lockDirectory_(std::move(lockDirectory)),
      lockFile_(lockDirectory_ / LockFileName(MutexNameFromPath(programPath))) {}

SingleInstanceLock::~SingleInstanceLock() { Release(); }

LockResult SingleInstanceLock::Acquire() {
  if (fd_ >= 0) return LockResult::Acquired;
  if (!MakeLockDirectory(lockDirectory_) || !IsOwnPrivateFolder(lockDirectory_)) {
    return LockResult::Failed;
  }
  int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return LockResult::Failed;
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    // Only a lock someone else holds means another instance runs; anything
    // else (a file system without locks, ...) must not keep the program from
    // starting.
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held ? LockResult::HeldByOther : LockResult::Failed;
  }
  fd_ = fd;
  return LockResult::Acquired;
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  // The file stays: removing it would let a third start lock a fresh inode
  // while a second one still waits on the old.
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace lumivex
