#include <gtest/gtest.h>

#include "online/site.h"

namespace lumivex {
namespace {

TEST(ParseSite, HostOrHostAndPort) {
  struct Case {
    const char* text;
    std::optional<Site> site;
  };
  const Case cases[] = {
      {"example.com", Site{"example.com", std::nullopt}},
      {"127.0.0.1:8000", Site{"127.0.0.1", 8000}},
      {"a-b.example:80", Site{"a-b.example", 80}},
      {"localhost:65535", Site{"localhost", 65535}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSite(c.text), c.site) << c.text;
}

TEST(ParseSite, AnythingElseIsNoSite) {
  for (const char* text :
       {"", "http://example.com", "example.com/", "example.com:", "example.com:0",
        "example.com:65536", "example.com:+80", "example.com:8a", "example.com:123456",
        "-x.example", "x..example", ".example", "user@example.com", "exa mple.com",
        "[::1]:80", "example.com\n", "example.com:80:80"}) {
    EXPECT_EQ(ParseSite(text), std::nullopt) << text;
  }
}

TEST(SiteUrl, RebuildsEveryAddressOnTheConfiguredSite) {
  const Site site{"127.0.0.1", 8000};
  const std::string base = "http://127.0.0.1:8000/";
  struct Case {
    const char* url;
    std::string expected;
  };
  const Case cases[] = {
      {"soft/Attestation/Lumivex/News.txt", base + "soft/Attestation/Lumivex/News.txt"},
      {"/soft/", base + "soft/"},
      {"http://elsewhere.example:99/soft/download/x.lzh", base + "soft/download/x.lzh"},
      {"https://elsewhere.example", base},
      {"file:///etc/passwd", base + "etc/passwd"},
      {"soft/a b\r\nHost: x", base + "soft/a%20b%0D%0AHost%3A%20x"},
      {"soft/a%20b.lzh", base + "soft/a%20b.lzh"},
      {"soft/100%", base + "soft/100%25"},
      {"soft/%zz", base + "soft/%25zz"},
      {"soft/x?y=1#part", base + "soft/x%3Fy%3D1"},
      {"soft/\x93\xfa.htm", base + "soft/%93%FA.htm"},
  };
  for (const Case& c : cases) EXPECT_EQ(SiteUrl(site, c.url), c.expected) << c.url;
  EXPECT_EQ(SiteUrl(Site{"example.com", std::nullopt}, "soft/"), "http://example.com/soft/");
}

TEST(PercentEncode, KeepsOnlyUnreservedBytes) {
  EXPECT_EQ(PercentEncode("aZ09-._~"), "aZ09-._~");
  EXPECT_EQ(PercentEncode(" /%?#\x01\xff"), "%20%2F%25%3F%23%01%FF");
  EXPECT_EQ(NewsPagePath("0512"), "soft/Attestation/Lumivex/News/0512.htm");
  EXPECT_EQ(NewsPagePath("../../x"), "soft/Attestation/Lumivex/News/..%2F..%2Fx.htm");
}

}  // namespace
}  // namespace lumivex
