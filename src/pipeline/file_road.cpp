#include "pipeline/file_road.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include "encoding/detect.h"
#include "encoding/source_text.h"
#include "pipeline/driver.h"
#include "text/text_file.h"

namespace lumivex {

namespace fs = std::filesystem;

namespace {

class RealFs : public FileSystem {
 public:
  bool IsRegularFile(const std::string& path) override {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
  }
  bool Exists(const std::string& path) override {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
  }
  std::optional<std::string> ReadAll(const std::string& path) override {
    try {
      return ReadFileBytes(path);
    } catch (const std::system_error&) {
      return std::nullopt;
    }
  }
  bool CreateDirectories(const std::string& path) override {
    std::error_code ec;
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
  }
  bool WriteNewFile(const std::string& path, std::string_view bytes) override {
    return lumivex::WriteNewFile(path, bytes);
  }
  bool ReplaceContents(const std::string& path, std::string_view bytes) override {
    if (!ReplaceFileContents(path, bytes, ReadOnlyTargets::Replace)) return false;
    // The rewritten file is no longer read-only, as a rewritten source is.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0)
      ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    return true;
  }
};

void ShowFileError(Engine& engine) {
  if (engine.messages)
    engine.messages->Show(kFileErrorText, kFileErrorCaption, MessageButtons::OkCancel);
}

// One step of the road; a step that throws counts as failed (an empty or
// false result).
template <class Step>
auto Guarded(Step step) -> decltype(step()) {
  try {
    return step();
  } catch (const std::exception&) {
    return {};
  }
}

// The name the backup takes in folder: the file's own name, else the name
// with the extension ".BK1", ".BK2" ... that is still free. Empty when none is.
std::string BackupPath(FileSystem& files, const fs::path& folder, const fs::path& name) {
  constexpr int kMaxBackups = 100000;
  fs::path candidate = name;
  for (int n = 1; n <= kMaxBackups; ++n) {
    const std::string full = (folder / candidate).string();
    if (!files.Exists(full)) return full;
    candidate = name;
    candidate.replace_extension(".BK" + std::to_string(n));
  }
  return std::string();
}

// The backup holds the bytes the road read, which are the file's bytes.
bool MakeBackup(Engine& engine, FileSystem& files, const std::string& path, std::string_view bytes) {
  if (!engine.Checked("chkBackup")) return true;
  const fs::path source(path);
  const fs::path folder = source.parent_path() / "BackUp";
  if (!files.CreateDirectories(folder.string())) return false;
  const std::string target = BackupPath(files, folder, source.filename());
  return !target.empty() && files.WriteNewFile(target, bytes);
}

}  // namespace

FileSystem& RealFileSystem() {
  static RealFs instance;
  return instance;
}

RoadOutcome ConvertFileRoad(Engine& engine, const std::string& path, FileSystem& files) {
  if (!files.IsRegularFile(path)) return RoadOutcome::NotAFile;
  const auto refuse = [&engine](RoadOutcome outcome) {
    ShowFileError(engine);
    return outcome;
  };

  const std::optional<std::string> bytes = Guarded([&] { return files.ReadAll(path); });
  if (!bytes) return refuse(RoadOutcome::ReadFailed);
  const std::optional<DecodedSource> source =
      Guarded([&] { return DecodeSource(*bytes).source; });
  if (!source) return refuse(RoadOutcome::NotText);

  engine.TextChanged = false;
  const std::string converted = ConvertText(engine, source->text);
  if (!engine.TextChanged) return RoadOutcome::Unchanged;

  // Everything that can refuse the file runs before the backup, so a refused
  // file leaves no backup behind.
  const std::optional<std::string> output = Guarded([&] { return EncodeRewrite(converted); });
  if (!output) return refuse(RoadOutcome::NotText);
  // A file converted before comes back as it is: nothing to back up or write.
  if (*output == *bytes) return RoadOutcome::Unchanged;
  if (!Guarded([&] { return MakeBackup(engine, files, path, *bytes); }))
    return refuse(RoadOutcome::BackupFailed);
  if (!Guarded([&] { return files.ReplaceContents(path, *output); }))
    return refuse(RoadOutcome::WriteFailed);
  return RoadOutcome::Rewritten;
}

bool ConvertOneFile(Engine& engine, const std::string& path, FileSystem& fs) {
  return ConvertFileRoad(engine, path, fs) == RoadOutcome::Rewritten;
}

bool ConvertFile(Engine& engine, const std::string& path, FileSystem& fs) {
  return ConvertOneFile(engine, path, fs);
}

}  // namespace lumivex
