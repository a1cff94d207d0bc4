// HTTP access to the site through libcurl: the probe, text downloads and the
// file download.
//
// Each call uses one easy handle of its own and closes it before it returns,
// so calls may run on several threads at once. Only http is spoken, for the
// first request and for at most five redirects; proxies come from the usual
// environment variables (http_proxy, no_proxy ...). A download counts only
// when its status is 200-299 and its body is complete; everything is bounded
// by the time-outs and size caps of HttpOptions.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "online/site.h"

namespace lumivex {

// libcurl's process-wide set-up. main() creates one NetLibrary before any
// other thread starts and lets it go after the last online job was joined.
class NetLibrary {
 public:
  NetLibrary();
  ~NetLibrary();
  NetLibrary(const NetLibrary&) = delete;
  NetLibrary& operator=(const NetLibrary&) = delete;
  // False when libcurl could not be set up; every request then fails.
  bool Ready() const { return ready_; }

 private:
  bool ready_;
};

// Set by the owner of a job to end its transfer early; read by libcurl's
// progress callback, which libcurl calls at least once a second, also while
// it waits for a silent server.
using AbortFlag = std::atomic<bool>;

struct HttpOptions {
  long connectTimeoutMs = 15000;
  // A transfer slower than lowSpeedBytes per second for lowSpeedSeconds ends.
  long lowSpeedBytes = 1;
  long lowSpeedSeconds = 30;
  // Whole-request limit of the probe, the texts and the pages (not of files).
  long textTimeoutMs = 60000;
  std::size_t textCap = 64 * 1024;   // news list, version file
  std::size_t pageCap = 1024 * 1024;  // news pages
  // A file answered without a Content-Length stops here.
  std::int64_t fileCapWithoutLength = std::int64_t{256} * 1024 * 1024;
  long maxRedirects = 5;
};

// Where requests go and how long they may take. No site: nothing is ever
// requested and every call fails at once.
struct SiteAccess {
  std::optional<Site> site;
  HttpOptions options;
};

// User agents, one per kind of request.
inline constexpr std::string_view kProbeAgent = "Lumivex";
inline constexpr std::string_view kTextAgent = "LumivexGet";
inline constexpr std::string_view kFileAgentPrefix = "LumivexGet_";

// True when the site answers a request for kProbePath with any HTTP status.
// No byte of the page is read.
bool IsSiteReachable(const SiteAccess& access, const AbortFlag* abort = nullptr);

// The body at url (rebuilt by SiteUrl), or "" on any failure: no site, a
// transport error, a status outside 200-299, a body shorter than its
// Content-Length or longer than options.textCap, an abort.
std::string DownloadText(const SiteAccess& access, std::string_view url,
                         const AbortFlag* abort = nullptr);
// As DownloadText, telling a failure (nullopt) from an empty body.
std::optional<std::string> TryDownloadText(const SiteAccess& access, std::string_view url,
                                           const AbortFlag* abort = nullptr);

// A page with the Content-Type it was sent with, for decoding (news pages).
struct WebPage {
  std::string body;
  std::string contentType;  // empty when the server sent none
};
// As DownloadText with options.pageCap; nullopt on any failure.
std::optional<WebPage> DownloadPage(const SiteAccess& access, std::string_view url,
                                    const AbortFlag* abort = nullptr);

// Progress of DownloadHttpFile, called on the downloading thread.
class DownloadProgress {
 public:
  virtual ~DownloadProgress() = default;
  // Before the first byte: the Content-Length, or 0 when the server sent none.
  virtual void Begin(std::int64_t total) = 0;
  // After each piece written to the file.
  virtual void Advance(std::int64_t bytes) = 0;
  // Once at the end, whatever the outcome (the bar is hidden).
  virtual void End() = 0;
  // Now and then while the transfer runs, at least once a second, also while
  // the server says nothing: a chance to let pending window events run.
  virtual void Tick() {}
};

// Downloads url (rebuilt by SiteUrl) to localPath with the user agent
// "LumivexGet_" + agentSuffix. Returns 0 on success, -1 on failure.
// The body goes to a new file beside localPath, is synced and then renamed
// over localPath, so an error page or a cut transfer is never stored and the
// old file stays. A read-only file at localPath is replaced; a symbolic link
// there is replaced by the file, never followed. Missing folders of localPath
// are created. The body stops at its Content-Length, or at
// options.fileCapWithoutLength when there is none.
int DownloadHttpFile(const SiteAccess& access, std::string_view agentSuffix,
                     const std::filesystem::path& localPath, std::string_view url,
                     DownloadProgress* progress = nullptr, const AbortFlag* abort = nullptr);

// path without its last n components, each removal keeping the separator in
// front of the removed component; a separator at the very end belongs to the
// last component. Stops, returning what is left, when no separator remains
// ("C:\Prog\LvxDLE.lzh", n 1, "\" -> "C:\Prog\").
std::string ExtractDirPart(int n, std::string_view sep, std::string_view path);

}  // namespace lumivex
