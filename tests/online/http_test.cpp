#include "online/http.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "online/support/http_server.h"
#include "platform/support/temp_dir.h"

namespace lumivex {
namespace {

using testing::HttpServer;
using testing::Reply;
using testing::TempDir;
using Clock = std::chrono::steady_clock;

const std::string kText = "/soft/Attestation/Lumivex/News.txt";

// Time-outs short enough that the bound cases end quickly.
SiteAccess Access(const HttpServer& server) {
  SiteAccess access{server.site(), {}};
  access.options.connectTimeoutMs = 2000;
  access.options.lowSpeedSeconds = 1;
  access.options.textTimeoutMs = 3000;
  access.options.fileCapWithoutLength = 256 * 1024;
  return access;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class RecordingProgress : public DownloadProgress {
 public:
  void Begin(std::int64_t total) override { begun.push_back(total); }
  void Advance(std::int64_t bytes) override { advanced += bytes; }
  void End() override { ++ended; }
  void Tick() override { ++ticks; }
  std::vector<std::int64_t> begun;
  std::int64_t advanced = 0;
  int ended = 0;
  int ticks = 0;
};

// ---- texts -----------------------------------------------------------------

TEST(DownloadText, TakesOnlyWholeSuccessfulBodies) {
  HttpServer server;
  const SiteAccess access = Access(server);
  struct Case {
    const char* label;
    Reply reply;
    std::string expected;
  };
  const std::string big(70 * 1024, 'n');
  const Case cases[] = {
      {"200", Reply::Ok("0512\r\n0511\r\n"), "0512\r\n0511\r\n"},
      {"NUL bytes kept", Reply::Ok(std::string("a\0b", 3)), std::string("a\0b", 3)},
      {"chunked", Reply::Chunked("chunked body"), "chunked body"},
      {"close-delimited", Reply::CloseDelimited("until close"), "until close"},
      {"empty 200", Reply::Ok(""), ""},
      {"short 404", Reply::Status(404, "404"), ""},
      {"500 page", Reply::Status(500, "<html>error</html>"), ""},
      {"truncated", Reply::Truncated("0512\r\n", 100), ""},
      {"over the cap", Reply::Ok(big), ""},
      {"endless", Reply::Endless(), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    server.Route(kText, c.reply);
    EXPECT_EQ(DownloadText(access, kText), c.expected);
    const auto tried = TryDownloadText(access, kText);
    EXPECT_EQ(tried.has_value(), c.expected != "" || std::string(c.label) == "empty 200");
  }
}

TEST(DownloadText, RedirectsStayOnHttp) {
  HttpServer server;
  const SiteAccess access = Access(server);
  server.Route("/soft/old.txt", Reply::Redirect("/soft/new.txt"));
  server.Route("/soft/new.txt", Reply::Ok("moved here"));
  EXPECT_EQ(DownloadText(access, "soft/old.txt"), "moved here");

  server.Route("/soft/file.txt", Reply::Redirect("file:///etc/hostname"));
  EXPECT_EQ(TryDownloadText(access, "soft/file.txt"), std::nullopt);

  // A loop ends after five redirects.
  server.Route("/soft/loop", Reply::Redirect("/soft/loop"));
  EXPECT_EQ(TryDownloadText(access, "soft/loop"), std::nullopt);
  EXPECT_EQ(server.Count("/soft/loop"), 6);
}

TEST(DownloadText, SilentServerEndsWithinTheBound) {
  HttpServer server;
  server.Route(kText, Reply::Silent());
  const auto start = Clock::now();
  EXPECT_EQ(TryDownloadText(Access(server), kText), std::nullopt);
  EXPECT_LT(SecondsSince(start), 3.5);
}

TEST(DownloadText, NoSiteMeansNoRequest) {
  HttpServer server;
  SiteAccess none = Access(server);
  none.site.reset();
  EXPECT_FALSE(IsSiteReachable(none));
  EXPECT_EQ(TryDownloadText(none, kText), std::nullopt);
  EXPECT_EQ(DownloadHttpFile(none, "", "/nonexistent/x", "soft/x"), -1);
  EXPECT_TRUE(server.Requests().empty());
}

TEST(DownloadPage, KeepsTheContentType) {
  HttpServer server;
  server.Route("/soft/p.htm", Reply::Ok("<p>x</p>", "text/html; charset=Shift_JIS"));
  const auto page = DownloadPage(Access(server), "soft/p.htm");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->body, "<p>x</p>");
  EXPECT_EQ(page->contentType, "text/html; charset=Shift_JIS");
}

TEST(IsSiteReachable, AnyAnswerCountsAndNoneDoesNot) {
  HttpServer server;
  const SiteAccess access = Access(server);
  EXPECT_TRUE(IsSiteReachable(access));  // unrouted: 404, still an answer
  server.Route("/soft/", Reply::Endless());
  EXPECT_TRUE(IsSiteReachable(access));
  server.Route("/soft/", Reply::Silent());
  EXPECT_FALSE(IsSiteReachable(access));

  SiteAccess closed = access;
  {
    HttpServer gone;
    closed.site = gone.site();
  }
  EXPECT_FALSE(IsSiteReachable(closed));
}

TEST(HttpRequests, SendTheirUserAgentsAndRebuiltPaths) {
  HttpServer server;
  const SiteAccess access = Access(server);
  TempDir dir;
  IsSiteReachable(access);
  DownloadText(access, "http://elsewhere.example/soft/a b.txt");
  DownloadHttpFile(access, "", dir / "f.lzh", "soft/f.lzh");
  DownloadHttpFile(access, "Tool", dir / "g.lzh", "soft/g.lzh");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].path, "/soft/");
  EXPECT_EQ(requests[0].userAgent, "Lumivex");
  EXPECT_EQ(requests[1].path, "/soft/a%20b.txt");
  EXPECT_EQ(requests[1].userAgent, "LumivexGet");
  EXPECT_EQ(requests[2].userAgent, "LumivexGet_");
  EXPECT_EQ(requests[3].userAgent, "LumivexGet_Tool");
  for (const auto& r : requests) EXPECT_EQ(r.method, "GET");
}

// ---- files -----------------------------------------------------------------

TEST(DownloadHttpFile, StoresOnlyCompleteSuccessfulBodies) {
  HttpServer server;
  const SiteAccess access = Access(server);
  TempDir dir;
  const auto target = dir / "LvxDLE.lzh";
  struct Case {
    const char* label;
    Reply reply;
    int result;
  };
  const std::string archive(5000, 'a');
  const Case cases[] = {
      {"200", Reply::Ok(archive), 0},
      {"chunked", Reply::Chunked(archive), 0},
      {"close-delimited", Reply::CloseDelimited(archive), 0},
      {"404 page", Reply::Status(404, "404 not found"), -1},
      {"truncated", Reply::Truncated(archive.substr(0, 1000), archive.size()), -1},
      {"endless", Reply::Endless(), -1},
      {"redirect to file", Reply::Redirect("file:///etc/hostname"), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::ofstream(target, std::ios::binary | std::ios::trunc) << "old archive";
    server.Route("/soft/download/Lumivex/LvxDLE.lzh", c.reply);
    EXPECT_EQ(DownloadHttpFile(access, "", target, "soft/download/Lumivex/LvxDLE.lzh"), c.result);
    EXPECT_EQ(ReadFile(target), c.result == 0 ? archive : "old archive");
    // Nothing is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

TEST(DownloadHttpFile, ReportsProgressAndCreatesFolders) {
  HttpServer server;
  TempDir dir;
  server.Route("/soft/a.lzh", Reply::Ok(std::string(3000, 'z')));
  server.Route("/soft/b.lzh", Reply::CloseDelimited("abc"));
  RecordingProgress known, unknown;
  const auto target = dir / "new" / "folder" / "a.lzh";
  EXPECT_EQ(DownloadHttpFile(Access(server), "", target, "soft/a.lzh", &known), 0);
  EXPECT_EQ(ReadFile(target), std::string(3000, 'z'));
  EXPECT_EQ(known.begun, std::vector<std::int64_t>{3000});
  EXPECT_EQ(known.advanced, 3000);
  EXPECT_EQ(known.ended, 1);

  EXPECT_EQ(DownloadHttpFile(Access(server), "", dir / "b.lzh", "soft/b.lzh", &unknown), 0);
  EXPECT_EQ(unknown.begun, std::vector<std::int64_t>{0});

  RecordingProgress failed;
  EXPECT_EQ(DownloadHttpFile(Access(server), "", dir / "c.lzh", "soft/none.lzh", &failed), -1);
  EXPECT_EQ(failed.ended, 1);
}

TEST(DownloadHttpFile, ReplacesReadOnlyFilesAndLinksWithoutFollowing) {
  HttpServer server;
  TempDir dir;
  server.Route("/soft/x.lzh", Reply::Ok("fresh"));
  const SiteAccess access = Access(server);

  const auto readOnly = dir / "ro.lzh";
  std::ofstream(readOnly) << "old";
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_EQ(DownloadHttpFile(access, "", readOnly, "soft/x.lzh"), 0);
  EXPECT_EQ(ReadFile(readOnly), "fresh");

  const auto victim = dir / "victim.txt";
  std::ofstream(victim) << "keep me";
  const auto link = dir / "link.lzh";
  std::filesystem::create_symlink(victim, link);
  EXPECT_EQ(DownloadHttpFile(access, "", link, "soft/x.lzh"), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(link), "fresh");
  EXPECT_EQ(ReadFile(victim), "keep me");
}

TEST(DownloadHttpFile, SilentServerEndsWithinTheBound) {
  HttpServer server;
  TempDir dir;
  server.Route("/soft/x.lzh", Reply::Silent());
  RecordingProgress progress;
  const auto start = Clock::now();
  EXPECT_EQ(DownloadHttpFile(Access(server), "", dir / "x.lzh", "soft/x.lzh", &progress), -1);
  EXPECT_LT(SecondsSince(start), 4.0);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.lzh"));
  EXPECT_GT(progress.ticks, 0);  // the window can stay live meanwhile
}

TEST(AbortFlag, EndsATransferWithinAboutTwoSeconds) {
  HttpServer server;
  server.Route(kText, Reply::Silent());
  SiteAccess patient = Access(server);
  patient.options.lowSpeedSeconds = 60;
  patient.options.textTimeoutMs = 60000;
  AbortFlag abort{false};
  std::optional<std::string> result = "not yet";
  const auto start = Clock::now();
  std::thread worker([&] { result = TryDownloadText(patient, kText, &abort); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  abort.store(true);
  worker.join();
  EXPECT_EQ(result, std::nullopt);
  EXPECT_LT(SecondsSince(start), 2.5);
}

// ---- folder part -----------------------------------------------------------

TEST(ExtractDirPart, RemovesComponentsKeepingTheSeparator) {
  struct Case {
    int n;
    const char* sep;
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {1, "\\", R"(C:\Prog\LvxDLE.lzh)", R"(C:\Prog\)"},
      {2, "\\", R"(C:\Prog\LvxDLE.lzh)", R"(C:\)"},
      {1, "\\", R"(C:\Prog\)", R"(C:\)"},  // a final separator belongs to the last component
      {1, "/", "/opt/lumivex/LvxDLE.lzh", "/opt/lumivex/"},
      {1, "/", "LvxDLE.lzh", "LvxDLE.lzh"},  // no separator: unchanged
      {3, "/", "a/b", "a/"},                   // stops when none is left
      {0, "/", "/a/b", "/a/b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractDirPart(c.n, c.sep, c.path), c.expected) << c.path << " n=" << c.n;
  }
}

}  // namespace
}  // namespace lumivex
