// The one web site the online services talk to, and the addresses on it.
//
// The site is configuration, never a built-in name: LUMIVEX_SITE holds a host
// or host:port (port 80 unless given) and is read once. When it is unset or
// malformed there is no site, and every check behaves as "site not reachable"
// without a name lookup.
//
// Every request is rebuilt as "http://" + host[:port] + "/" + path, whatever
// address a caller or a downloaded file supplies; untrusted parts of a path are
// percent-encoded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivex {

struct Site {
  std::string host;        // a DNS name or a dotted IPv4 address
  std::optional<int> port;  // absent: port 80

  // host, or host:port when a port was given.
  std::string Authority() const;
  bool operator==(const Site&) const = default;
};

// The environment variable that names the site.
inline constexpr const char* kSiteVariable = "LUMIVEX_SITE";

// A host or host:port as LUMIVEX_SITE holds it; nullopt for anything else
// (empty, a scheme, a path, user information, blanks, a port outside 1-65535).
std::optional<Site> ParseSite(std::string_view text);

// LUMIVEX_SITE, parsed on the first call; later calls return the same value.
const std::optional<Site>& ConfiguredSite();

// Paths on the site, relative to its root.
inline constexpr std::string_view kProbePath = "soft/";
inline constexpr std::string_view kNewsListPath = "soft/Attestation/Lumivex/News.txt";
inline constexpr std::string_view kNewsPagesPath = "soft/Attestation/Lumivex/News/";
inline constexpr std::string_view kVersionFilePath = "soft/Attestation/Lumivex/VersionE.txt";
inline constexpr std::string_view kUpdateArchivePath = "soft/download/Lumivex/LvxDLE.lzh";

// Bytes outside A-Z a-z 0-9 - . _ ~ as %XX (upper-case hex).
std::string PercentEncode(std::string_view bytes);

// The path of the page of one news id: the id percent-encoded whole, so an id
// can never step into another folder or end the path.
std::string NewsPagePath(std::string_view newsId);

// The address actually requested for url on site. url may be a path on the
// site ("soft/x.txt", "/soft/x.txt") or a whole address ("http://any/soft/x"),
// whose scheme and host are dropped: only its path is kept. In that path "/"
// and well-formed %XX escapes stay, every other byte outside the unreserved
// set is percent-encoded, and a "#" fragment is dropped.
std::string SiteUrl(const Site& site, std::string_view url);

}  // namespace lumivex
