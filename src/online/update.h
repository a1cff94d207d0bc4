// The update road: the archive downloaded into the program folder, unpacked
// there through the archiver plugin, and the updater it holds started.
//
// The road runs on the GUI thread (its progress goes to the main window's
// bar). Whatever happens, the archive is deleted at the end. Only when the
// updater started may the program close; every failure keeps it running and
// is shown with UpdateFailureText under kUpdateFailedCaption.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "online/archiver.h"
#include "online/http.h"

namespace lumivex {

inline constexpr std::string_view kUpdateArchiveName = "LvxDLE.lzh";
inline constexpr std::string_view kUpdaterName = "LvxDLE.exe";

enum class UpdateOutcome { UpdaterStarted, DownloadFailed, ExtractFailed, UpdaterMissing, LaunchFailed };

inline constexpr std::string_view kUpdateFailedCaption = "Update Error";
// The message box text of a failed road ("" for UpdaterStarted).
std::string_view UpdateFailureText(UpdateOutcome outcome);

// The updater in folder, its name matched without regard to letter case (the
// archiver may have lower-cased it); the exact spelling wins when there are
// several. Only regular files count.
std::optional<std::filesystem::path> FindUpdater(const std::filesystem::path& folder);

// Starts updater without waiting and without a shell, in workingFolder, with
// the argument vector {version, version} (program name and first argument).
// An updater without an execute bit gets one first. The child's id, or
// nullopt when it could not be started.
std::optional<pid_t> LaunchUpdater(const std::filesystem::path& updater,
                                   const std::filesystem::path& workingFolder,
                                   std::string_view latestVersionText);

struct UpdateRequest {
  SiteAccess access;
  std::filesystem::path programFolder;  // AppDir
  std::string downloadUrl;              // DownloadUrl; "" for the fixed address
  std::string latestVersionText;        // LatestVersionText, handed to the updater
  const UnlhaBinding* unlha = nullptr;
  DownloadProgress* progress = nullptr;
  void* window = nullptr;
};

struct UpdateResult {
  UpdateOutcome outcome = UpdateOutcome::DownloadFailed;
  pid_t updater = -1;  // set when the updater started
};

// The whole road: download (user agent "LumivexGet_"), a trial extraction
// into a fresh folder that must hold the updater, the extraction into the
// program folder, updater found and started, archive deleted. The program
// folder changes only when the archive unpacked whole and holds the updater.
UpdateResult RunUpdateRoad(const UpdateRequest& request);

}  // namespace lumivex
