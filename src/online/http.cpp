#include "online/http.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace lumivex {

NetLibrary::NetLibrary() : ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

NetLibrary::~NetLibrary() {
  if (ready_) curl_global_cleanup();
}

namespace {

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Receives the body of the final answer once its status is known to be 2xx.
class BodySink {
 public:
  virtual ~BodySink() = default;
  // Once, before the first piece: the Content-Length, -1 when there is none.
  virtual void Begin(std::int64_t /*contentLength*/) {}
  // False stops the transfer as a failure.
  virtual bool Write(const char* data, std::size_t size) = 0;
  // From libcurl's progress callback.
  virtual void Tick() {}
};

enum class Mode { Probe, Body };

struct Transfer {
  CURL* handle = nullptr;
  Mode mode = Mode::Body;
  BodySink* sink = nullptr;
  const AbortFlag* abort = nullptr;
  bool begun = false;
  std::int64_t received = 0;
};

std::int64_t ContentLength(CURL* handle) {
  curl_off_t length = -1;
  if (curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) return -1;
  return length;
}

long ResponseStatus(CURL* handle) {
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

bool IsSuccess(long status) { return status >= 200 && status <= 299; }

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  // The probe needs the answer's head only.
  if (t->mode == Mode::Probe) return 0;
  if (!t->begun) {
    // An error page is never taken for content, however long it is.
    if (!IsSuccess(ResponseStatus(t->handle))) return 0;
    t->begun = true;
    t->sink->Begin(ContentLength(t->handle));
  }
  if (!t->sink->Write(data, n)) return 0;
  t->received += static_cast<std::int64_t>(n);
  return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* t = static_cast<const Transfer*>(user);
  if (t->sink) t->sink->Tick();
  return t->abort && t->abort->load() ? 1 : 0;
}

struct Answer {
  CURLcode code = CURLE_FAILED_INIT;
  long status = 0;
  // Transport fine, status 2xx and every announced byte received.
  bool complete = false;
  std::string contentType;
};

struct Request {
  std::string_view url;
  std::string_view agent;
  Mode mode = Mode::Body;
  bool wholeRequestLimit = true;
};

Answer Perform(const SiteAccess& access, const Request& request, BodySink* sink,
               const AbortFlag* abort) {
  Answer answer;
  if (!access.site) return answer;
  std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
  if (!handle) return answer;
  CURL* h = handle.get();

  const std::string url = SiteUrl(*access.site, request.url);
  const std::string agent(request.agent);
  const HttpOptions& o = access.options;
  Transfer transfer;
  transfer.handle = h;
  transfer.mode = request.mode;
  transfer.sink = sink;
  transfer.abort = abort;

  // Never an answer from a cache on the way.
  std::unique_ptr<curl_slist, ListDeleter> headers;
  for (const char* line : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
    curl_slist* grown = curl_slist_append(headers.get(), line);
    if (!grown) return answer;
    headers.release();
    headers.reset(grown);
  }

  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(h, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_PROTOCOLS_STR, "http");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http");
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, o.maxRedirects);
  set(CURLOPT_USERAGENT, agent.c_str());
  set(CURLOPT_HTTPHEADER, headers.get());
  set(CURLOPT_CONNECTTIMEOUT_MS, o.connectTimeoutMs);
  set(CURLOPT_LOW_SPEED_LIMIT, o.lowSpeedBytes);
  set(CURLOPT_LOW_SPEED_TIME, o.lowSpeedSeconds);
  if (request.wholeRequestLimit) set(CURLOPT_TIMEOUT_MS, o.textTimeoutMs);
  set(CURLOPT_NOPROGRESS, 0L);
  set(CURLOPT_XFERINFOFUNCTION, &OnProgress);
  set(CURLOPT_XFERINFODATA, &transfer);
  set(CURLOPT_WRITEFUNCTION, &OnBody);
  set(CURLOPT_WRITEDATA, &transfer);
  if (!ok) return answer;

  answer.code = curl_easy_perform(h);
  answer.status = ResponseStatus(h);
  const std::int64_t announced = ContentLength(h);
  answer.complete = answer.code == CURLE_OK && IsSuccess(answer.status) &&
                    (announced < 0 || announced == transfer.received);
  if (answer.complete && sink && !transfer.begun) sink->Begin(announced);  // empty body
  const char* type = nullptr;
  if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) {
    answer.contentType = type;
  }
  return answer;
}

class StringSink : public BodySink {
 public:
  explicit StringSink(std::size_t cap) : cap_(cap) {}
  bool Write(const char* data, std::size_t size) override {
    if (size > cap_ - body.size()) return false;
    body.append(data, size);
    return true;
  }
  std::string body;

 private:
  std::size_t cap_;
};

class FileSink : public BodySink {
 public:
  FileSink(int fd, std::int64_t capWithoutLength, DownloadProgress* progress)
      : fd_(fd), limit_(capWithoutLength), progress_(progress) {}

  void Begin(std::int64_t contentLength) override {
    if (contentLength >= 0) limit_ = contentLength;
    if (progress_) progress_->Begin(contentLength > 0 ? contentLength : 0);
  }

  bool Write(const char* data, std::size_t size) override {
    if (static_cast<std::int64_t>(size) > limit_ - written_) return false;
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd_, data + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    written_ += static_cast<std::int64_t>(size);
    if (progress_) progress_->Advance(static_cast<std::int64_t>(size));
    return true;
  }

  void Tick() override {
    if (progress_) progress_->Tick();
  }

 private:
  int fd_;
  std::int64_t limit_;
  std::int64_t written_ = 0;
  DownloadProgress* progress_;
};

bool HasControlByte(std::string_view s) {
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// The folder part of path as the download creates it; "" when path names a
// file in the working folder.
std::string FolderOf(const std::string& path) {
  const std::string folder = ExtractDirPart(1, "/", path);
  return folder == path ? std::string() : folder;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool IsSiteReachable(const SiteAccess& access, const AbortFlag* abort) {
  const Answer answer = Perform(access, {kProbePath, kProbeAgent, Mode::Probe, true}, nullptr, abort);
  const bool answered = answer.code == CURLE_OK || answer.code == CURLE_WRITE_ERROR;
  return answered && answer.status >= 100 && answer.status <= 599;
}

std::optional<std::string> TryDownloadText(const SiteAccess& access, std::string_view url,
                                           const AbortFlag* abort) {
  StringSink sink(access.options.textCap);
  const Answer answer = Perform(access, {url, kTextAgent, Mode::Body, true}, &sink, abort);
  if (!answer.complete) return std::nullopt;
  return std::move(sink.body);
}

std::string DownloadText(const SiteAccess& access, std::string_view url, const AbortFlag* abort) {
  return TryDownloadText(access, url, abort).value_or(std::string());
}

std::optional<WebPage> DownloadPage(const SiteAccess& access, std::string_view url,
                                    const AbortFlag* abort) {
  StringSink sink(access.options.pageCap);
  Answer answer = Perform(access, {url, kTextAgent, Mode::Body, true}, &sink, abort);
  if (!answer.complete) return std::nullopt;
  return WebPage{std::move(sink.body), std::move(answer.contentType)};
}

int DownloadHttpFile(const SiteAccess& access, std::string_view agentSuffix,
                     const std::filesystem::path& localPath, std::string_view url,
                     DownloadProgress* progress, const AbortFlag* abort) {
  if (!access.site || HasControlByte(agentSuffix) || localPath.empty()) return -1;
  struct EndGuard {
    DownloadProgress* progress;
    ~EndGuard() {
      if (progress) progress->End();
    }
  } endGuard{progress};

  const std::string target = localPath.string();
  const std::string folder = FolderOf(target);
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) return -1;

  std::string temp = folder + "." + localPath.filename().string() + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return -1;

  FileSink sink(fd, access.options.fileCapWithoutLength, progress);
  const std::string agent = std::string(kFileAgentPrefix) + std::string(agentSuffix);
  const Answer answer = Perform(access, {url, agent, Mode::Body, false}, &sink, abort);

  bool stored = answer.complete && ::fsync(fd) == 0 && ::fchmod(fd, 0644) == 0;
  stored = (::close(fd) == 0) && stored;
  stored = stored && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!stored) {
    ::unlink(temp.c_str());
    return -1;
  }
  SyncFolder(folder);
  return 0;
}

std::string ExtractDirPart(int n, std::string_view sep, std::string_view path) {
  if (sep.empty()) return std::string(path);
  for (int i = 0; i < n && path.size() > 1; ++i) {
    // The last byte never starts a cut: a separator there belongs to the last component.
    const std::size_t at = path.substr(0, path.size() - 1).rfind(sep);
    if (at == std::string_view::npos) break;
    path = path.substr(0, at + sep.size());
  }
  return std::string(path);
}

}  // namespace lumivex
