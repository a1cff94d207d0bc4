#include "online/site.h"

#include <charconv>
#include <cstdlib>

namespace lumivex {

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsUnreserved(unsigned char c) {
  return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool IsHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void AppendEscaped(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

// Labels of letters, digits and inner hyphens, joined by single dots.
bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = host.find('.', start);
    const std::string_view label =
        host.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (label.empty() || label.size() > 63) return false;
    if (label.front() == '-' || label.back() == '-') return false;
    for (unsigned char c : label) {
      if (!IsAsciiAlnum(c) && c != '-') return false;
    }
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

}  // namespace

std::string Site::Authority() const {
  return port ? host + ":" + std::to_string(*port) : host;
}

std::optional<Site> ParseSite(std::string_view text) {
  Site site;
  const std::size_t colon = text.find(':');
  std::string_view host = text.substr(0, colon);
  if (colon != std::string_view::npos) {
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    int port = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (digits.front() == '+' || port < 1 || port > 65535) return std::nullopt;
    site.port = port;
  }
  if (!IsHostName(host)) return std::nullopt;
  site.host = std::string(host);
  return site;
}

const std::optional<Site>& ConfiguredSite() {
  static const std::optional<Site> site = [] {
    const char* value = std::getenv(kSiteVariable);
    return value ? ParseSite(value) : std::nullopt;
  }();
  return site;
}

std::string PercentEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (IsUnreserved(c)) {
      out += static_cast<char>(c);
    } else {
      AppendEscaped(out, c);
    }
  }
  return out;
}

std::string NewsPagePath(std::string_view newsId) {
  return std::string(kNewsPagesPath) + PercentEncode(newsId) + ".htm";
}

std::string SiteUrl(const Site& site, std::string_view url) {
  std::string_view path = url;
  if (const std::size_t scheme = url.find("://"); scheme != std::string_view::npos) {
    const std::size_t slash = url.find('/', scheme + 3);
    path = slash == std::string_view::npos ? std::string_view() : url.substr(slash);
  }
  if (const std::size_t hash = path.find('#'); hash != std::string_view::npos) {
    path = path.substr(0, hash);
  }
  while (!path.empty() && path.front() == '/') path.remove_prefix(1);

  std::string out = "http://" + site.Authority() + "/";
  out.reserve(out.size() + path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    const bool escape = c == '%' && i + 2 < path.size() &&
                        IsHexDigit(static_cast<unsigned char>(path[i + 1])) &&
                        IsHexDigit(static_cast<unsigned char>(path[i + 2]));
    if (IsUnreserved(c) || c == '/' || escape) {
      out += static_cast<char>(c);
    } else {
      AppendEscaped(out, c);
    }
  }
  return out;
}

}  // namespace lumivex
