#include "online/update.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "online/site.h"

extern char** environ;

namespace lumivex {

namespace {

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// Adds an execute bit wherever the file can be read, when it has none at all.
bool MakeExecutable(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return false;
  const mode_t mode = st.st_mode & 07777;
  if (mode & 0111) return true;
  return ::chmod(file.c_str(), mode | 0100 | ((mode & 0044) >> 2)) == 0;
}

}  // namespace

std::string_view UpdateFailureText(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::UpdaterStarted: return "";
    case UpdateOutcome::DownloadFailed: return "The new version could not be downloaded！";
    case UpdateOutcome::ExtractFailed: return "The new version could not be unpacked！";
    case UpdateOutcome::UpdaterMissing:
    case UpdateOutcome::LaunchFailed: return "The updater could not be started！";
  }
  return "";
}

std::optional<std::filesystem::path> FindUpdater(const std::filesystem::path& folder) {
  std::optional<std::filesystem::path> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!SameIgnoringAsciiCase(name, kUpdaterName)) continue;
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
    if (name == kUpdaterName) return it->path();
    if (!found || it->path() < *found) found = it->path();
  }
  return found;
}

std::optional<pid_t> LaunchUpdater(const std::filesystem::path& updater,
                                   const std::filesystem::path& workingFolder,
                                   std::string_view latestVersionText) {
  if (!MakeExecutable(updater)) return std::nullopt;

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return std::nullopt;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return std::nullopt;
  }
  // The updater starts with no signal blocked or ignored, whatever this
  // process's threads had set.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  bool ok = posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str()) == 0 &&
            posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
            posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;

  std::string version(latestVersionText);
  std::vector<char*> argv = {version.data(), version.data(), nullptr};
  pid_t pid = -1;
  ok = ok && posix_spawn(&pid, updater.c_str(), &actions, &attributes, argv.data(), environ) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (!ok) return std::nullopt;
  return pid;
}

UpdateResult RunUpdateRoad(const UpdateRequest& request) {
  const std::filesystem::path archive = request.programFolder / kUpdateArchiveName;
  const std::string url =
      request.downloadUrl.empty() ? std::string(kUpdateArchivePath) : request.downloadUrl;
  std::filesystem::path trial;
  auto finish = [&](UpdateOutcome outcome, pid_t updater = -1) {
    std::error_code ec;
    std::filesystem::remove(archive, ec);
    if (!trial.empty()) std::filesystem::remove_all(trial, ec);
    return UpdateResult{outcome, updater};
  };

  if (DownloadHttpFile(request.access, "", archive, url, request.progress) != 0) {
    return finish(UpdateOutcome::DownloadFailed);
  }
  static const UnlhaBinding kNone;
  const UnlhaBinding& unlha = request.unlha ? *request.unlha : kNone;

  // A trial extraction into a fresh folder first: an archive that does not
  // unpack whole, or holds no updater, leaves the program folder as it was.
  std::string trialName = (request.programFolder / ".update-XXXXXX").string();
  if (!::mkdtemp(trialName.data())) return finish(UpdateOutcome::ExtractFailed);
  trial = trialName;
  if (ExtractArchive(unlha, archive.string(), trial.string(), request.window) != 0) {
    return finish(UpdateOutcome::ExtractFailed);
  }
  if (!FindUpdater(trial)) return finish(UpdateOutcome::UpdaterMissing);

  if (ExtractArchive(unlha, archive.string(), request.programFolder.string(), request.window) != 0) {
    return finish(UpdateOutcome::ExtractFailed);
  }
  const auto updater = FindUpdater(request.programFolder);
  if (!updater) return finish(UpdateOutcome::UpdaterMissing);
  const auto pid = LaunchUpdater(*updater, request.programFolder, request.latestVersionText);
  if (!pid) return finish(UpdateOutcome::LaunchFailed);
  return finish(UpdateOutcome::UpdaterStarted, *pid);
}

}  // namespace lumivex
