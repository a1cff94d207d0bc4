// Whole-file read and the safe whole-file replace.
#include "text/text_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>
#include <random>
#include <string>

namespace lumivex {

namespace {

constexpr std::string_view kFileErrorText =
    "Can't perform one of the following file operations: Open, Seek, Read, Close.";
constexpr std::string_view kFileErrorCaption = "File Error";

// Closes a descriptor on every way out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The file a write to path really changes: a symbolic link is followed, so
// the link itself stays in place.
bool ResolveTarget(const std::string& path, std::string& target) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return false;
    target = real;
    std::free(real);
    return true;
  }
  target = path;
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new, hidden temporary file beside target. Created with 0666 so
// the umask decides a new file's permissions.
int CreateTemp(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const std::string stem = FolderOf(target) + "/." + NameOf(target) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = stem + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
               std::to_string(random() % 1000000) + ".tmp";
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void SyncFolder(const std::string& target) {
  const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string ReadTextFile(const std::string& path, Messages* messages) {
  std::string text;
  try {
    struct stat st {};
    // Missing files, folders and other non-regular files (a FIFO would block
    // the open) read as empty, without a message.
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return text;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return text;
    const off_t size = ::lseek(fd.get(), 0, SEEK_END);
    if (size < 0 || ::lseek(fd.get(), 0, SEEK_SET) != 0) return text;
    std::string buffer;
    buffer.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < buffer.size()) {
      const ssize_t n = ::read(fd.get(), buffer.data() + got, buffer.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    buffer.resize(got);
    // A NUL byte ends the text.
    const std::size_t nul = buffer.find('\0');
    if (nul != std::string::npos) buffer.resize(nul);
    text = std::move(buffer);
    fd.Close();
  } catch (const std::exception&) {
    if (messages) messages->Show(kFileErrorText, kFileErrorCaption, MessageButtons::OkCancel);
  }
  return text;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, ReadOnlyTargets readOnly) {
  std::string target;
  if (!ResolveTarget(path, target)) return false;

  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  // Judged on the mode bits, not on access(): root may write anything, but a
  // file nobody may write is still meant to stay as it is.
  const mode_t mode = exists ? (st.st_mode & 07777) : 0;
  if (exists && readOnly == ReadOnlyTargets::Keep && (mode & 0222) == 0) {
    errno = EACCES;
    return false;
  }

  std::string tempPath;
  Fd fd(CreateTemp(target, tempPath));
  if (fd.get() < 0) return false;
  if (exists) {
    // Keep the owner where allowed (root rewriting a user's file); a plain
    // user simply stays the owner. Ownership first: it may clear mode bits.
    if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0) {
      // Not permitted for a plain user; the file is then theirs.
    }
  }
  const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 &&
                       (!exists || ::fchmod(fd.get(), mode) == 0);
  const bool closed = fd.Close();
  if (!written || !closed || ::rename(tempPath.c_str(), target.c_str()) != 0) {
    const int saved = errno;
    ::unlink(tempPath.c_str());
    errno = saved;
    return false;
  }
  SyncFolder(target);
  return true;
}

bool WriteNewFile(const std::string& path, std::string_view bytes) {
  std::string tempPath;
  Fd fd(CreateTemp(path, tempPath));
  if (fd.get() < 0) return false;
  const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  bool placed = fd.Close() && written;
  if (placed) {
    // A hard link takes the name only while it is free; file systems without
    // hard links get the same guarantee from a rename that replaces nothing.
    placed = ::link(tempPath.c_str(), path.c_str()) == 0;
    if (!placed && errno != EEXIST)
      placed = ::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
  }
  const int saved = errno;
  ::unlink(tempPath.c_str());
  errno = saved;
  if (placed) SyncFolder(path);
  return placed;
}

void WriteTextFile(std::string_view text, const std::string& path) {
  ReplaceFileContents(path, text, ReadOnlyTargets::Keep);
}

}  // namespace lumivex
