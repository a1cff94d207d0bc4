// The road of one source file, on a real file in a fresh folder: whatever the
// file holds, it is either left exactly as it was, or rewritten as UTF-16LE
// with a mark while "BackUp" holds a byte-for-byte copy of it (when chkBackup
// is checked). A refused file is reported once; an unchanged one silently.
// Nothing else is left in the folder: no temporary file, no stray backup.
//
// Options line: byte 0 is chkBackup, byte 1 "1" makes the source read-only.
// The rest is the file's bytes.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "encoding/source_text.h"
#include "fuzz/support/fuzz_check.h"
#include "pipeline/file_road.h"
#include "settings/settings_model.h"
#include "pipeline/support/road_fakes.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using fuzz::Require;

// ---- the road ----------------------------------------------------------------

RoadOutcome Road(Engine& engine, const fs::path& file) { return ConvertFileRoad(engine, file.string(), RealFileSystem()); }

// The rewrite reads back as text.
bool Readable(std::string_view bytes) { return DecodeSource(bytes).source.has_value(); }

// ---- the check -----------------------------------------------------------

// One folder for the whole run, emptied before each input.
const fs::path& Folder() {
  static const struct Top {
    Top() {
      std::string pattern = (fs::temp_directory_path() / "lumivex-fuzz-XXXXXX").string();
      path = ::mkdtemp(pattern.data());
    }
    ~Top() {
      std::error_code ec;
      fs::remove_all(path, ec);
    }
    fs::path path;
  } top;
  return top.path;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Listing(const fs::path& folder) {
  std::string names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names += fs::relative(entry.path(), folder).string() + "|";
  return names;
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumivex;
  const fuzz::Input input = fuzz::SplitOptions(fuzz::Bytes(data, size));
  const std::string_view original = input.body;
  const bool backup = fuzz::Option(input.options, 0);
  const bool readOnly = input.options.size() > 1 && input.options[1] == '1';

  const fs::path folder = Folder() / "road";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  const fs::path file = folder / "a.mq4";
  std::ofstream(file, std::ios::binary).write(original.data(), static_cast<std::streamsize>(original.size()));
  if (readOnly) fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  SettingsModel settings;
  settings.SetChecked("chkBackup", backup);
  testing::RoadMessages messages;
  Engine engine;
  engine.settings = &settings;
  engine.messages = &messages;
  const RoadOutcome outcome = Road(engine, file);

  const std::string now = ReadAll(file);
  const std::string listing = Listing(folder);
  const std::string fileError = std::string(kFileErrorCaption) + "|" + std::string(kFileErrorText);
  switch (outcome) {
    case RoadOutcome::Rewritten:
      fuzz::Require(now.starts_with("\xFF\xFE") && now.size() % 2 == 0, "the rewrite is marked UTF-16LE", now);
      fuzz::Require(Readable(now), "the rewrite reads back as text", now);
      fuzz::Require(messages.boxes.empty(), "a rewritten file shows no message", original);
      fuzz::Require((fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none,
                    "a rewritten file is writable by its owner", original);
      if (backup) {
        fuzz::Require(listing == "BackUp|BackUp/a.mq4|a.mq4|", "one backup beside the rewrite", listing);
        fuzz::Require(ReadAll(folder / "BackUp" / "a.mq4") == original, "the backup is the file as it was", original);
      } else {
        fuzz::Require(listing == "a.mq4|", "no backup without chkBackup", listing);
      }
      break;
    case RoadOutcome::Unchanged:
      fuzz::Require(now == original && listing == "a.mq4|", "an unchanged file is left alone", original);
      fuzz::Require(messages.boxes.empty(), "an unchanged file shows no message", original);
      break;
    case RoadOutcome::NotAFile:
      fuzz::Fail("a regular file is taken for no file", original);
    default:
      fuzz::Require(now == original, "a refused file is left as it was", original);
      fuzz::Require(listing == "a.mq4|" || listing == "BackUp|a.mq4|", "a refused file leaves nothing behind", listing);
      fuzz::Require(messages.boxes.size() == 1 && messages.boxes[0] == fileError,
                    "a refused file shows the file error once", original);
      break;
  }
  return 0;
}
