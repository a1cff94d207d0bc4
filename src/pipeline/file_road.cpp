#include "pipeline/file_road.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include "pipeline/charset.h"
#include "pipeline/driver.h"
#include "text/text_file.h"
#include "text/transcode.h"

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
  bool CopyNewFile(const std::string& from, const std::string& to) override {
    std::error_code ec;
    return fs::copy_file(from, to, fs::copy_options::none, ec) && !ec;
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

// True when every byte sequence of text is a character of code page 932, so
// the rewrite replaces none of them by the default character.
bool IsCodePage932(std::string_view text) {
  return TranscodeStrict("UTF-16LE", "CP932", text).has_value();
}

std::optional<std::string> DecodeUtf16(std::string_view body, bool bigEndian,
                                       bool viaShiftJisTable) {
  if (body.size() % 2 != 0) return std::nullopt;
  const std::u16string units = bigEndian ? Utf16BeToUnits(body) : Utf16LeToUnits(body);
  if (units.find(u'\0') != std::u16string::npos) return std::nullopt;
  return viaShiftJisTable ? Utf16ToShiftJis(units) : Utf16ToCodePage932(units);
}

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

bool MakeBackup(Engine& engine, FileSystem& files, const std::string& path) {
  if (!engine.Checked("chkBackup")) return true;
  const fs::path source(path);
  const fs::path folder = source.parent_path() / "BackUp";
  if (!files.CreateDirectories(folder.string())) return false;
  const std::string target = BackupPath(files, folder, source.filename());
  return !target.empty() && files.CopyNewFile(path, target);
}

}  // namespace

FileSystem& RealFileSystem() {
  static RealFs instance;
  return instance;
}

std::string NormaliseLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 1);
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", i), text.size());
    out.append(text, i, end - i);
    if (end == text.size()) break;
    out.append("\r\n");
    i = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out;
}

std::optional<DecodedSource> DecodeSourceBytes(std::string_view bytes) {
  const CharsetInfo info = DetectCharsetInfo(bytes);
  const bool nameBe = info.name == charset_names::Utf16Be;
  DecodedSource source;
  std::optional<std::string> text;
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    // The mark decides the byte order, the detected name the conversion table.
    text = DecodeUtf16(bytes.substr(2), bytes[0] == '\xFE', nameBe);
  } else if (bytes.starts_with("\xEF\xBB\xBF") || info.name == charset_names::Utf8) {
    if (bytes.find('\0') == std::string_view::npos && IsStrictUtf8(bytes))
      text = Utf8ToShiftJis(bytes);
  } else if (nameBe || info.name == charset_names::Utf16Le) {
    text = DecodeUtf16(bytes, nameBe, nameBe);
  } else if (bytes.find('\0') != std::string_view::npos) {
    return std::nullopt;
  } else if (info.name == charset_names::EucJp) {
    text = EucJpToShiftJis(bytes);
  } else {
    // Taken as they are; a legacy code page other than the Japanese ones is
    // remembered so that the rewrite reads the bytes as what they are.
    text = std::string(bytes);
    if (info.name.empty()) source.codepage = info.codepage;
  }
  if (!text) return std::nullopt;
  source.text = NormaliseLineEnds(*text);
  return source;
}

std::optional<std::string> EncodeForRewrite(std::string_view text, std::string_view codepage) {
  std::string out = "\xFF\xFE";
  if (!codepage.empty()) {
    const std::optional<std::string> legacy = LegacyToUtf16Le(text, codepage);
    return legacy ? std::optional(out + *legacy) : std::nullopt;
  }
  if (!IsCodePage932(text)) return std::nullopt;
  return out + ShiftJisToUtf16Le(text);
}

RoadOutcome ConvertFileRoad(Engine& engine, const std::string& path, FileSystem& files) {
  if (!files.IsRegularFile(path)) return RoadOutcome::NotAFile;
  const auto refuse = [&engine](RoadOutcome outcome) {
    ShowFileError(engine);
    return outcome;
  };

  const std::optional<std::string> bytes = Guarded([&] { return files.ReadAll(path); });
  if (!bytes) return refuse(RoadOutcome::ReadFailed);
  const std::optional<DecodedSource> source = Guarded([&] { return DecodeSourceBytes(*bytes); });
  if (!source) return refuse(RoadOutcome::NotText);

  engine.TextChanged = false;
  const std::string converted = ConvertText(engine, source->text);
  if (!engine.TextChanged) return RoadOutcome::Unchanged;

  // Everything that can refuse the file runs before the backup, so a refused
  // file leaves no backup behind.
  const std::optional<std::string> output =
      Guarded([&] { return EncodeForRewrite(converted, source->codepage); });
  if (!output) return refuse(RoadOutcome::NotText);
  if (!Guarded([&] { return MakeBackup(engine, files, path); }))
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
