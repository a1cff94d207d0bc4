// The version check: the worker's download and the rules that decide, on the
// GUI thread, what a fetched version file changes.
//
// The version file "VersionE.txt" is at most 200 bytes of "\r\n"-separated
// lines: 1 the latest version (counts only with at most 6 bytes), 2 the
// address of the update archive (empty: the fixed one), 3 unused, 4 a user
// line ("All-User-No;" or a list of user items). Lines 2 to 4 are read only
// when they end with "\r\n".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "online/http.h"
#include "online/jobs.h"

namespace lumivex {

inline constexpr std::string_view kCheckingVersionLabel = "A new version is being checked. ";
inline constexpr std::string_view kLatestVersionLabel = "The latest version!!";
inline constexpr std::string_view kLatestVersionMessage = "　The latest version.　";
inline constexpr std::string_view kAllUsersMarker = "All-User-No;";
inline constexpr std::string_view kUpdateQuestion =
    "「LumivexコンバーターPro」の新しいバージョンが出ています\n"
    "自動ダウンロード出来ます！！\n"
    "ダウンロードしますか？";

// What the worker found.
struct VersionCheckResult {
  bool reachable = false;  // the site answered the probe
  std::string body;        // the version file; "" when it could not be fetched
};

// The worker: probe, then the version file. Runs on a job thread.
VersionCheckResult CheckVersion(const SiteAccess& access, const AbortFlag& abort);

// Starts CheckVersion as a job of kind (SplashVersionCheck for the splash
// window's check, VersionCheck for tmrVerCheck2's); apply runs on the GUI thread.
bool StartVersionCheck(JobRegistry& jobs, JobKind kind, const SiteAccess& access,
                       std::function<void(VersionCheckResult)> apply);

// True when text holds "All-User-No;", or when an item of list occurs in text
// (ASCII case folded). list is items each followed by ","; a last item
// without its "," is not tested, an empty item never matches.
bool UserListMatches(std::string_view list, std::string_view text);

// The fields the decision reads, current on the GUI thread.
struct VersionFields {
  float ProgramVersion = 0.0f;
  std::string LatestVersionText;
  std::string DownloadUrl;
  bool splashShown = false;  // TSplash::IsShown
};

// What the GUI thread does, in this order: lbl_CheckVer :=
// kCheckingVersionLabel; take the two texts; enable the splash's tmrClose;
// then at most one of: enable tmrNewVerDLQS (offer the update), lbl_CheckVer
// := kLatestVersionLabel, enable tmrShowNewVersion.
struct VersionDecision {
  std::string LatestVersionText;
  std::string DownloadUrl;
  bool showCheckingLabel = false;
  bool closeSplash = false;
  bool offerUpdate = false;
  bool showLatestLabel = false;
  bool showLatestMessage = false;
};

// The number a version line reads as: its digits and points as one decimal
// number; nullopt when they do not form one ("", ".", "1.2.3").
std::optional<float> VersionNumber(std::string_view line);

// The decision for one check.
// - Unreachable site: LatestVersionText becomes "", nothing else.
// - Otherwise the checking label (splash shown), then the file: a body over
//   200 bytes (or a failed download) counts as empty; line 1 becomes
//   LatestVersionText, line 2 DownloadUrl when present; line 4 holding the
//   marker closes a shown splash.
// - Line 1 empty, over 6 bytes or not a number: nothing more.
// - Its number strictly above ProgramVersion (as 32-bit floats): offer the
//   update; otherwise report the latest version (label on a shown splash,
//   else the tmrShowNewVersion timer).
VersionDecision DecideVersion(const VersionCheckResult& result, const VersionFields& current);

}  // namespace lumivex
