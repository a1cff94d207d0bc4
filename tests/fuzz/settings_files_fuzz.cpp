// The readers of the settings file "Lumivex.dat" and of the state file
// "Lumivex.ini", both given the input as their file.
//
// Whatever the file holds, reading it leaves a consistent model (one radio
// button of the group checked, every coupled control enabled exactly when its
// master box is checked) and reports nothing, and what is read survives a
// save and a second read unchanged: the value of every control and every
// state value, the numbers derived from the revisions included.
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_check.h"
#include "settings/settings_files.h"
#include "settings/settings_model.h"
#include "pipeline/support/road_fakes.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using fuzz::Require;

constexpr float kProgramVersion = 1.17f;

// Two program folders for the whole run: the input's and the saved copy's.
struct Folders {
  Folders() {
    std::string pattern = (fs::temp_directory_path() / "lumivex-fuzz-XXXXXX").string();
    top = ::mkdtemp(pattern.data());
    fs::create_directories(top / "in");
    fs::create_directories(top / "out");
  }
  ~Folders() {
    std::error_code ec;
    fs::remove_all(top, ec);
  }
  fs::path top;
};

const Folders& Dirs() {
  static const Folders folders;
  return folders;
}

// A plain write to a new file: the savers' synced replacement, and on ext4
// even a truncated rewrite, would wait for the disk on every run.
void WriteFile(const fs::path& path, std::string_view bytes) {
  std::error_code ec;
  fs::remove(path, ec);
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every value the settings file carries, and every Enabled state.
std::string Values(const SettingsModel& model) {
  std::string out;
  for (std::string_view name : SettingsModel::CheckBoxNames()) out += model.Checked(name) ? '1' : '0';
  for (std::string_view name : SettingsModel::RadioNames()) out += model.Checked(name) ? '1' : '0';
  for (std::string_view name : SettingsModel::IntNames()) out += "|" + std::to_string(model.Int(name));
  for (std::string_view name : SettingsModel::TextNames()) out += "|" + model.Text(name);
  for (std::string_view box : SettingsModel::CheckBoxNames())
    for (std::string_view name : SettingsModel::CoupledControls(box)) out += model.Enabled(name) ? '+' : '-';
  return out;
}

void CheckConsistent(const SettingsModel& model, std::string_view file) {
  int radios = 0;
  for (std::string_view name : SettingsModel::RadioNames()) radios += model.Checked(name);
  Require(radios == 1, "exactly one radio button is checked", file);
  for (std::string_view box : SettingsModel::CheckBoxNames())
    for (std::string_view name : SettingsModel::CoupledControls(box))
      Require(model.Enabled(name) == model.Checked(box), "coupled controls follow their box", file);
}

void CheckSettingsFile(std::string_view file) {
  const fs::path in = Dirs().top / "in" / SettingsFileName, out = Dirs().top / "out" / SettingsFileName;
  WriteFile(in, file);
  testing::RoadMessages messages;
  SettingsModel loaded;
  LoadSettings(loaded, in.string(), &messages);
  Require(messages.boxes.empty(), "a readable settings file shows no message", file);
  CheckConsistent(loaded, file);

  const std::string saved = SettingsFileText(loaded);
  WriteFile(out, saved);
  SettingsModel again;
  LoadSettings(again, out.string(), &messages);
  Require(Values(again) == Values(loaded), "saved settings read back the same", file);
  Require(SettingsFileText(again) == saved, "the saved settings file is a fixed point", saved);
}

std::string Values(const StateValues& s) {
  return s.ReadMe + "|" + s.Revision + "|" + s.Newision + "|" + s.flgNotNews + "|" + s.DataPath + "|" +
         std::to_string(s.RevisionNumber) + "|" + std::to_string(s.NewisionNumber);
}

void CheckStateFile(std::string_view file) {
  const fs::path in = Dirs().top / "in", out = Dirs().top / "out";
  WriteFile(in / StateFileName, file);
  testing::RoadMessages messages;
  StateValues loaded;
  LoadStateIni(loaded, in.string(), kProgramVersion, &messages);
  Require(messages.boxes.empty(), "a readable state file shows no message", file);
  for (const float number : {loaded.RevisionNumber, loaded.NewisionNumber})
    Require(!std::isnan(number) && number >= kProgramVersion, "revision numbers are raised to the program's", file);

  WriteFile(out / StateFileName, StateFileText(loaded));
  StateValues again;
  LoadStateIni(again, out.string(), kProgramVersion, &messages);
  Require(Values(again) == Values(loaded), "saved state values read back the same", file);
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file = lumivex::fuzz::Bytes(data, size);
  lumivex::CheckSettingsFile(file);
  lumivex::CheckStateFile(file);
  return 0;
}
