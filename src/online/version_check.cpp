#include "online/version_check.h"

#include <charconv>

#include "online/site.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::size_t kMaxVersionFileBytes = 200;
constexpr std::size_t kMaxVersionLineBytes = 6;

bool HoldsLineEnd(std::string_view text) { return PosNth(0, "\r\n", text) > 0; }

}  // namespace

VersionCheckResult CheckVersion(const SiteAccess& access, const AbortFlag& abort) {
  VersionCheckResult result;
  result.reachable = IsSiteReachable(access, &abort);
  if (result.reachable && !abort.load()) result.body = DownloadText(access, kVersionFilePath, &abort);
  return result;
}

bool StartVersionCheck(JobRegistry& jobs, JobKind kind, const SiteAccess& access,
                       std::function<void(VersionCheckResult)> apply) {
  return jobs.Start<VersionCheckResult>(
      kind, [access](const AbortFlag& abort) { return CheckVersion(access, abort); }, std::move(apply));
}

bool UserListMatches(std::string_view list, std::string_view text) {
  if (PosNth(0, kAllUsersMarker, text) > 0) return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) return false;
    const std::string_view item = list.substr(start, comma - start);
    if (!item.empty() && PosNthNoCase(0, item, text) > 0) return true;
    start = comma + 1;
  }
}

std::optional<float> VersionNumber(std::string_view line) {
  const std::string digits = DigitsAndPoints(line);
  double value = 0.0;
  const char* end = digits.data() + digits.size();
  const auto [stop, ec] = std::from_chars(digits.data(), end, value, std::chars_format::fixed);
  if (digits.empty() || ec != std::errc() || stop != end) return std::nullopt;
  return static_cast<float>(value);
}

VersionDecision DecideVersion(const VersionCheckResult& result, const VersionFields& current) {
  VersionDecision d;
  d.LatestVersionText = current.LatestVersionText;
  d.DownloadUrl = current.DownloadUrl;
  if (!result.reachable) {
    d.LatestVersionText.clear();
    return d;
  }
  d.showCheckingLabel = current.splashShown;

  std::string rest = result.body.size() > kMaxVersionFileBytes ? std::string() : result.body;
  d.LatestVersionText = Fetch("\r\n", rest);
  std::string userLine;
  if (HoldsLineEnd(rest)) {
    d.DownloadUrl = Fetch("\r\n", rest);
    if (HoldsLineEnd(rest)) {
      Fetch("\r\n", rest);
      if (HoldsLineEnd(rest)) userLine = Fetch("\r\n", rest);
    }
  }
  d.closeSplash = current.splashShown && UserListMatches("", userLine);

  const std::string& latest = d.LatestVersionText;
  if (latest.empty() || latest.size() > kMaxVersionLineBytes) return d;
  const std::optional<float> number = VersionNumber(latest);
  if (!number) return d;
  if (*number > current.ProgramVersion) {
    d.offerUpdate = true;
  } else if (current.splashShown) {
    d.showLatestLabel = true;
  } else {
    d.showLatestMessage = true;
  }
  return d;
}

}  // namespace lumivex
