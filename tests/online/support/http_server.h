// A scripted HTTP server on 127.0.0.1 for the online tests: it listens on a
// port the system picks, answers each path with the reply set for it (404
// otherwise), records every request, and stops and joins all its threads
// when it goes. Every answer closes its connection.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "online/site.h"

namespace lumivex::testing {

struct Reply {
  enum class Framing { Length, Chunked, CloseDelimited };

  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  Framing framing = Framing::Length;
  // Content-Length to announce instead of the body's size (a cut body).
  std::optional<std::size_t> announcedLength;
  bool silent = false;   // accept, read the request, never answer
  bool endless = false;  // a close-delimited body that never ends

  static Reply Ok(std::string body, std::string contentType = "text/plain");
  static Reply Status(int status, std::string body);
  static Reply Redirect(std::string location);
  static Reply Chunked(std::string body);
  static Reply CloseDelimited(std::string body);
  static Reply Truncated(std::string body, std::size_t announced);
  static Reply Silent();
  static Reply Endless();
};

struct RecordedRequest {
  std::string method;
  std::string path;
  std::string userAgent;
};

class HttpServer {
 public:
  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  int port() const { return port_; }
  // 127.0.0.1:port, as LUMIVEX_SITE would name it.
  Site site() const;

  // The reply for requests of path ("/soft/Attestation/Lumivex/News.txt").
  void Route(const std::string& path, Reply reply);
  std::vector<RecordedRequest> Requests() const;
  // Requests made for path so far.
  int Count(std::string_view path) const;

 private:
  void AcceptLoop();
  void Serve(int fd);
  void Answer(int fd, const Reply& reply);
  bool WaitUntilStopped(int fd);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Reply> routes_;
  std::vector<RecordedRequest> requests_;
  std::vector<int> connections_;
  std::vector<std::thread> handlers_;
  std::thread acceptor_;
};

}  // namespace lumivex::testing
