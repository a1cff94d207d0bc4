#include "unlha32.h"

#include <fcntl.h>
#include <lhasa.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---- command line ---------------------------------------------------------

struct Command {
  std::string archive;
  std::string destination;
};

bool IsPathByte(unsigned char c) { return c >= 0x20 && c != 0x7F && c != '"'; }

std::optional<Command> ParseCommand(std::string_view line) {
  std::vector<std::string> paths;
  bool sawVerb = false;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i == line.size()) break;
    if (line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos || close == i + 1) return std::nullopt;
      const std::string_view path = line.substr(i + 1, close - i - 1);
      for (unsigned char c : path) {
        if (!IsPathByte(c)) return std::nullopt;
      }
      paths.emplace_back(path);
      i = close + 1;
      if (i < line.size() && line[i] != ' ') return std::nullopt;
      continue;
    }
    const std::size_t end = std::min(line.find(' ', i), line.size());
    const std::string_view token = line.substr(i, end - i);
    i = end;
    if (!paths.empty()) return std::nullopt;  // nothing but paths after the first path
    if (!sawVerb) {
      if (token != "x") return std::nullopt;
      sawVerb = true;
      continue;
    }
    if (token.size() < 2 || token.front() != '-') return std::nullopt;
    // Options are accepted as they stand; extraction always keeps folders
    // and never asks.
    for (unsigned char c : token) {
      if (c <= 0x20 || c >= 0x7F || c == '"') return std::nullopt;
    }
  }
  if (!sawVerb || paths.size() != 2) return std::nullopt;
  return Command{paths[0], paths[1]};
}

// ---- archive input --------------------------------------------------------

// Reads the archive and notes how the last header read ended, because
// lha_reader_next_file returns null both at the end and on a cut header.
struct ArchiveInput {
  int fd = -1;
  std::int64_t size = 0;
  std::int64_t position = 0;
  bool nextReadStartsHeader = true;
  bool lastReadStartedHeader = false;
  std::size_t lastReadBytes = 0;
  unsigned char lastReadFirstByte = 0;
  bool skippedPastEnd = false;

  // A clean end: the read at a header start found nothing, or the end mark 0.
  bool EndedCleanly() const {
    return !skippedPastEnd && lastReadStartedHeader &&
           (lastReadBytes == 0 || lastReadFirstByte == 0);
  }
};

int ReadInput(void* handle, void* buffer, std::size_t length) {
  auto* in = static_cast<ArchiveInput*>(handle);
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = ::read(in->fd, out + got, length - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  in->position += static_cast<std::int64_t>(got);
  in->lastReadStartedHeader = in->nextReadStartsHeader;
  in->nextReadStartsHeader = false;
  in->lastReadBytes = got;
  in->lastReadFirstByte = got ? out[0] : 0;
  return static_cast<int>(got);
}

int SkipInput(void* handle, std::size_t length) {
  auto* in = static_cast<ArchiveInput*>(handle);
  in->nextReadStartsHeader = true;
  if (static_cast<std::int64_t>(length) > in->size - in->position) {
    in->skippedPastEnd = true;
    return 0;
  }
  if (::lseek(in->fd, static_cast<off_t>(length), SEEK_CUR) < 0) return 0;
  in->position += static_cast<std::int64_t>(length);
  return 1;
}

void CloseInput(void*) {}

const LHAInputStreamType kInputType = {ReadInput, SkipInput, CloseInput};

// One pass over the archive from its first byte.
class ArchivePass {
 public:
  explicit ArchivePass(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) return;
    input_.fd = fd;
    input_.size = st.st_size;
    stream_ = lha_input_stream_new(&kInputType, &input_);
    if (stream_) reader_ = lha_reader_new(stream_);
    if (reader_) lha_reader_set_dir_policy(reader_, LHA_READER_DIR_PLAIN);
  }
  ~ArchivePass() {
    if (reader_) lha_reader_free(reader_);
    if (stream_) lha_input_stream_free(stream_);
  }
  ArchivePass(const ArchivePass&) = delete;
  ArchivePass& operator=(const ArchivePass&) = delete;

  bool Usable() const { return reader_ != nullptr; }
  LHAFileHeader* Next() { return lha_reader_next_file(reader_); }
  std::size_t Read(unsigned char* buffer, std::size_t length) {
    return lha_reader_read(reader_, buffer, length);
  }
  bool EndedCleanly() const { return input_.EndedCleanly(); }

 private:
  ArchiveInput input_;
  LHAInputStream* stream_ = nullptr;
  LHAReader* reader_ = nullptr;
};

// ---- listing --------------------------------------------------------------

struct Entry {
  bool folder = false;
  std::vector<std::string> parts;  // the relative name, one folder per part
  bool executable = false;
  std::size_t length = 0;
  std::uint16_t crc = 0;
};

std::string JoinParts(const std::vector<std::string>& parts, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    if (i) out += '/';
    out += parts[i];
  }
  return out;
}

// The entry's name as parts below the destination; nullopt when it is
// absolute or a ".." would climb above the destination.
std::optional<std::vector<std::string>> RelativeParts(const LHAFileHeader& header) {
  std::string name = header.path ? header.path : "";
  if (header.filename) {
    if (!name.empty() && name.back() != '/') name += '/';
    name += header.filename;
  }
  if (!name.empty() && name.front() == '/') return std::nullopt;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  return parts;
}

enum class Verdict { Ok, Refused, Broken };

struct Listing {
  Verdict verdict = Verdict::Ok;
  std::vector<Entry> entries;
};

Listing ListArchive(int fd) {
  Listing listing;
  ArchivePass pass(fd);
  if (!pass.Usable()) return {Verdict::Broken, {}};
  std::set<std::string> files, folders;
  while (LHAFileHeader* header = pass.Next()) {
    const bool stored = std::strcmp(header->compress_method, LHA_COMPRESS_TYPE_DIR) == 0;
    const bool linkMode = LHA_FILE_HAVE_EXTRA(header, LHA_FILE_UNIX_PERMS) &&
                          (header->unix_perms & S_IFMT) == S_IFLNK;
    if (header->symlink_target || linkMode) return {Verdict::Refused, {}};
    if (stored ? header->filename != nullptr
               : lha_decoder_for_name(header->compress_method) == nullptr) {
      return {Verdict::Refused, {}};
    }
    auto parts = RelativeParts(*header);
    if (!parts) return {Verdict::Refused, {}};
    Entry entry;
    entry.folder = stored;
    entry.parts = std::move(*parts);
    entry.length = header->length;
    entry.crc = header->crc;
    entry.executable = LHA_FILE_HAVE_EXTRA(header, LHA_FILE_UNIX_PERMS) &&
                       (header->unix_perms & 0111) != 0;
    if (entry.parts.empty()) {
      if (entry.folder) continue;  // the destination itself
      return {Verdict::Refused, {}};
    }
    // A name used twice, or as both a file and a folder, cannot be placed.
    for (std::size_t n = 1; n < entry.parts.size(); ++n) {
      const std::string folder = JoinParts(entry.parts, n);
      if (files.count(folder)) return {Verdict::Refused, {}};
      folders.insert(folder);
    }
    const std::string whole = JoinParts(entry.parts, entry.parts.size());
    if (files.count(whole)) return {Verdict::Refused, {}};
    if (entry.folder) {
      folders.insert(whole);
    } else {
      if (folders.count(whole)) return {Verdict::Refused, {}};
      files.insert(whole);
    }
    listing.entries.push_back(std::move(entry));
  }
  if (!pass.EndedCleanly()) return {Verdict::Broken, {}};
  return listing;
}

// ---- folders and files ----------------------------------------------------

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

Fd OpenFolderAt(int parent, const std::string& name) {
  return Fd(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// Opens (creating where missing) the first count parts below root as
// folders; a symbolic link or a file on the way fails.
Fd WalkFolders(int root, const std::vector<std::string>& parts, std::size_t count) {
  Fd current(::dup(root));
  for (std::size_t i = 0; i < count && current.ok(); ++i) {
    Fd next = OpenFolderAt(current.get(), parts[i]);
    if (!next.ok() && errno == ENOENT) {
      if (::mkdirat(current.get(), parts[i].c_str(), 0755) != 0 && errno != EEXIST) return Fd();
      next = OpenFolderAt(current.get(), parts[i]);
      if (next.ok()) ::fchmod(next.get(), 0755);
    }
    current = std::move(next);
  }
  return current;
}

// True when every folder on the way to the entry is a real folder or missing,
// and its own name is free or replaceable (not a folder for a file, not a
// file for a folder). Nothing is created.
bool Placeable(int root, const Entry& entry) {
  Fd current(::dup(root));
  for (std::size_t i = 0; i + 1 < entry.parts.size(); ++i) {
    Fd next = OpenFolderAt(current.get(), entry.parts[i]);
    if (!next.ok()) return errno == ENOENT;
    current = std::move(next);
  }
  struct stat st {};
  if (::fstatat(current.get(), entry.parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT;
  }
  return entry.folder ? S_ISDIR(st.st_mode) : !S_ISDIR(st.st_mode);
}

std::uint16_t Crc16(std::uint16_t crc, const unsigned char* data, std::size_t length) {
  static const auto table = [] {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
      std::uint16_t c = static_cast<std::uint16_t>(i);
      for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  for (std::size_t i = 0; i < length; ++i) {
    crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
  }
  return crc;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

// Writes the current entry's data to a new file in folder, checking its
// length and CRC on the way.
Verdict WriteEntry(ArchivePass& pass, const Entry& entry, int folder) {
  const std::string& name = entry.parts.back();
  Fd file(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!file.ok()) return Verdict::Refused;
  std::vector<unsigned char> buffer(64 * 1024);
  std::size_t total = 0;
  std::uint16_t crc = 0;
  while (true) {
    const std::size_t n = pass.Read(buffer.data(), buffer.size());
    if (n == 0) break;
    total += n;
    if (total > entry.length) return Verdict::Broken;
    crc = Crc16(crc, buffer.data(), n);
    if (!WriteAll(file.get(), buffer.data(), n)) return Verdict::Refused;
  }
  if (total != entry.length || crc != entry.crc) return Verdict::Broken;
  if (::fchmod(file.get(), entry.executable ? 0755 : 0644) != 0) return Verdict::Refused;
  if (::fsync(file.get()) != 0) return Verdict::Refused;
  return Verdict::Ok;
}

struct Outcome {
  int result;
  const char* text;
};

// Writes every entry below staging; the listing says what to expect.
Outcome StageEntries(int archive, const Listing& listing, int staging) {
  ArchivePass pass(archive);
  if (!pass.Usable()) return {kUnlhaBroken, "archive unreadable"};
  std::size_t index = 0;
  while (LHAFileHeader* header = pass.Next()) {
    auto parts = RelativeParts(*header);
    if (parts && parts->empty()) continue;  // the destination itself
    if (index >= listing.entries.size() || !parts || *parts != listing.entries[index].parts) {
      return {kUnlhaBroken, "archive changed"};
    }
    const Entry& entry = listing.entries[index++];
    const std::size_t folders = entry.folder ? entry.parts.size() : entry.parts.size() - 1;
    Fd folder = WalkFolders(staging, entry.parts, folders);
    if (!folder.ok()) return {kUnlhaWriteFailed, "cannot stage"};
    if (entry.folder) continue;
    switch (WriteEntry(pass, entry, folder.get())) {
      case Verdict::Ok: break;
      case Verdict::Broken: return {kUnlhaBroken, "bad data"};
      case Verdict::Refused: return {kUnlhaWriteFailed, "cannot stage"};
    }
  }
  if (index != listing.entries.size()) return {kUnlhaBroken, "archive changed"};
  return {kUnlhaOk, ""};
}

// Moves the staged files into the destination, creating missing folders.
Outcome PlaceEntries(const Listing& listing, int staging, int destination) {
  for (const Entry& entry : listing.entries) {
    if (!Placeable(destination, entry)) return {kUnlhaRefused, "destination in the way"};
  }
  for (const Entry& entry : listing.entries) {
    const std::size_t folders = entry.folder ? entry.parts.size() : entry.parts.size() - 1;
    Fd target = WalkFolders(destination, entry.parts, folders);
    if (!target.ok()) return {kUnlhaWriteFailed, "cannot create folder"};
    if (entry.folder) continue;
    Fd source = WalkFolders(staging, entry.parts, folders);
    const char* name = entry.parts.back().c_str();
    if (!source.ok() || ::renameat(source.get(), name, target.get(), name) != 0) {
      return {kUnlhaWriteFailed, "cannot move into place"};
    }
    ::fsync(target.get());
  }
  return {kUnlhaOk, ""};
}

Outcome Extract(const Command& command) {
  Fd archive(::open(command.archive.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!archive.ok() || ::fstat(archive.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return {kUnlhaCannotOpen, "cannot open archive"};
  }
  Fd destination(::open(command.destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!destination.ok()) return {kUnlhaCannotOpen, "cannot open destination"};

  const Listing listing = ListArchive(archive.get());
  if (listing.verdict == Verdict::Refused) return {kUnlhaRefused, "entry refused"};
  if (listing.verdict == Verdict::Broken) return {kUnlhaBroken, "archive broken"};

  std::string stagingPath = command.destination + "/.unlha-XXXXXX";
  if (!::mkdtemp(stagingPath.data())) return {kUnlhaWriteFailed, "cannot stage"};
  Outcome outcome{kUnlhaWriteFailed, "cannot stage"};
  {
    Fd staging(::open(stagingPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (staging.ok()) {
      outcome = StageEntries(archive.get(), listing, staging.get());
      if (outcome.result == kUnlhaOk) outcome = PlaceEntries(listing, staging.get(), destination.get());
    }
  }
  std::error_code ec;
  std::filesystem::remove_all(stagingPath, ec);
  return outcome;
}

void Report(char* buffer, int size, const char* text) {
  if (!buffer || size <= 0) return;
  const std::size_t room = static_cast<std::size_t>(size) - 1;
  const std::size_t n = std::min(room, std::strlen(text));
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int Unlha(void* /*window*/, const char* commandLine,
                                                             char* buffer, int size) {
  Outcome outcome{kUnlhaBadCommand, "bad command line"};
  try {
    if (commandLine) {
      if (const auto command = ParseCommand(commandLine)) outcome = Extract(*command);
    }
  } catch (...) {
    outcome = {kUnlhaWriteFailed, "out of memory"};
  }
  Report(buffer, size, outcome.text);
  return outcome.result;
}
