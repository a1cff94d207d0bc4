#include "online/support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace lumivex::testing {

namespace {

// Loopback requests never go through a proxy the environment may name.
const bool kNoProxy = [] {
  ::setenv("no_proxy", "127.0.0.1,localhost", 1);
  ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  return true;
}();

bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string ReasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

std::string HeaderValue(std::string_view head, std::string_view name) {
  std::size_t at = 0;
  while ((at = head.find("\r\n", at)) != std::string_view::npos) {
    at += 2;
    const std::size_t end = head.find("\r\n", at);
    const std::string_view line = head.substr(at, end == std::string_view::npos ? end : end - at);
    if (line.size() > name.size() && line[name.size()] == ':' &&
        ::strncasecmp(line.data(), name.data(), name.size()) == 0) {
      std::string_view value = line.substr(name.size() + 1);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      return std::string(value);
    }
  }
  return "";
}

}  // namespace

Reply Reply::Ok(std::string body, std::string contentType) {
  Reply r;
  r.body = std::move(body);
  r.headers.emplace_back("Content-Type", std::move(contentType));
  return r;
}

Reply Reply::Status(int status, std::string body) {
  Reply r;
  r.status = status;
  r.body = std::move(body);
  return r;
}

Reply Reply::Redirect(std::string location) {
  Reply r;
  r.status = 302;
  r.body = "moved";
  r.headers.emplace_back("Location", std::move(location));
  return r;
}

Reply Reply::Chunked(std::string body) {
  Reply r;
  r.body = std::move(body);
  r.framing = Framing::Chunked;
  return r;
}

Reply Reply::CloseDelimited(std::string body) {
  Reply r;
  r.body = std::move(body);
  r.framing = Framing::CloseDelimited;
  return r;
}

Reply Reply::Truncated(std::string body, std::size_t announced) {
  Reply r;
  r.body = std::move(body);
  r.announcedLength = announced;
  return r;
}

Reply Reply::Silent() {
  Reply r;
  r.silent = true;
  return r;
}

Reply Reply::Endless() {
  Reply r;
  r.endless = true;
  r.framing = Framing::CloseDelimited;
  return r;
}

HttpServer::HttpServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 64) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("test server: cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer() {
  stop_.store(true);
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (int fd : connections_) ::shutdown(fd, SHUT_RDWR);
  }
  for (std::thread& t : handlers_) t.join();
  ::close(listener_);
}

Site HttpServer::site() const { return Site{"127.0.0.1", port_}; }

void HttpServer::Route(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(reply);
}

std::vector<RecordedRequest> HttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int HttpServer::Count(std::string_view path) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const RecordedRequest& r : requests_) n += r.path == path;
  return n;
}

void HttpServer::AcceptLoop() {
  while (!stop_.load()) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.push_back(fd);
    handlers_.emplace_back([this, fd] { Serve(fd); });
  }
}

// Waits until the server stops or the client goes; true when the client went.
bool HttpServer::WaitUntilStopped(int fd) {
  while (!stop_.load()) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) > 0) {
      char byte;
      if (::recv(fd, &byte, 1, MSG_DONTWAIT) <= 0) return true;
    }
  }
  return false;
}

void HttpServer::Serve(int fd) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && !stop_.load()) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  if (head.find("\r\n\r\n") != std::string::npos) {
    RecordedRequest request;
    const std::size_t space = head.find(' ');
    const std::size_t space2 = head.find(' ', space + 1);
    request.method = head.substr(0, space);
    request.path = head.substr(space + 1, space2 - space - 1);
    request.userAgent = HeaderValue(head, "User-Agent");
    Reply reply = Reply::Status(404, "not found");
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
      if (auto it = routes_.find(request.path); it != routes_.end()) reply = it->second;
    }
    Answer(fd, reply);
  }
  ::shutdown(fd, SHUT_WR);
  WaitUntilStopped(fd);
  std::lock_guard lock(mutex_);
  ::close(fd);
  std::erase(connections_, fd);
}

void HttpServer::Answer(int fd, const Reply& reply) {
  if (reply.silent) {
    WaitUntilStopped(fd);
    return;
  }
  std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonOf(reply.status) + "\r\n";
  for (const auto& [name, value] : reply.headers) head += name + ": " + value + "\r\n";
  head += "Connection: close\r\n";
  switch (reply.framing) {
    case Reply::Framing::Length:
      head += "Content-Length: " + std::to_string(reply.announcedLength.value_or(reply.body.size())) + "\r\n";
      break;
    case Reply::Framing::Chunked:
      head += "Transfer-Encoding: chunked\r\n";
      break;
    case Reply::Framing::CloseDelimited:
      break;
  }
  head += "\r\n";
  if (!SendAll(fd, head)) return;

  if (reply.endless) {
    const std::string piece(4096, 'x');
    while (!stop_.load() && SendAll(fd, piece)) {
    }
    return;
  }
  if (reply.framing == Reply::Framing::Chunked) {
    const std::size_t half = reply.body.size() / 2;
    for (std::string_view part : {std::string_view(reply.body).substr(0, half),
                                  std::string_view(reply.body).substr(half)}) {
      if (part.empty()) continue;
      char size[32];
      std::snprintf(size, sizeof size, "%zx\r\n", part.size());
      if (!SendAll(fd, size) || !SendAll(fd, part) || !SendAll(fd, "\r\n")) return;
    }
    SendAll(fd, "0\r\n\r\n");
    return;
  }
  SendAll(fd, reply.body);
}

}  // namespace lumivex::testing
