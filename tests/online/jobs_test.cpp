#include "online/jobs.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "online/news.h"
#include "online/support/gui_queue.h"
#include "online/support/http_server.h"
#include "online/version_check.h"

namespace lumivex {
namespace {

using namespace std::chrono_literals;
using testing::GuiQueue;
using testing::HttpServer;
using testing::Reply;
using Clock = std::chrono::steady_clock;

// Time-outs long enough that only an abort ends a silent transfer quickly.
SiteAccess Patient(const HttpServer& server) {
  SiteAccess access{server.site(), {}};
  access.options.lowSpeedSeconds = 60;
  access.options.textTimeoutMs = 60000;
  return access;
}

TEST(JobRegistry, WorkersPostOneResultThatRunsOnTheGuiThread) {
  HttpServer server;
  server.Route("/soft/Attestation/Lumivex/News.txt", Reply::Ok("0512\r\n"));
  server.Route("/soft/Attestation/Lumivex/VersionE.txt", Reply::Ok("1.1\r\n"));
  GuiQueue gui;
  JobRegistry jobs(gui.Poster());
  const auto guiThread = std::this_thread::get_id();
  std::vector<NewsCheckResult> news;
  std::vector<VersionCheckResult> versions;
  ASSERT_TRUE(StartNewsCheck(jobs, Patient(server), [&](NewsCheckResult r) {
    EXPECT_EQ(std::this_thread::get_id(), guiThread);
    news.push_back(r);
  }));
  ASSERT_TRUE(StartVersionCheck(jobs, JobKind::VersionCheck, Patient(server), [&](VersionCheckResult r) { versions.push_back(r); }));
  ASSERT_TRUE(gui.WaitFor(2, 10s));
  EXPECT_TRUE(news.empty());  // nothing applied until the GUI thread runs it
  EXPECT_EQ(gui.Drain(), 2);
  ASSERT_EQ(news.size(), 1u);
  EXPECT_TRUE(news[0].reachable);
  EXPECT_TRUE(news[0].fetched);
  EXPECT_EQ(news[0].body, "0512\r\n");
  ASSERT_EQ(versions.size(), 1u);
  EXPECT_EQ(versions[0].body, "1.1\r\n");
  jobs.Close();
  EXPECT_EQ(jobs.Unfinished(), 0);
}

TEST(JobRegistry, WorkersReportUnreachableAndFailedFetches) {
  HttpServer server;
  server.Route("/soft/Attestation/Lumivex/News.txt", Reply::Status(404, "404"));
  const AbortFlag never{false};
  const NewsCheckResult failed = CheckNews(Patient(server), never);
  EXPECT_TRUE(failed.reachable);
  EXPECT_FALSE(failed.fetched);

  SiteAccess none;
  EXPECT_FALSE(CheckNews(none, never).reachable);
  EXPECT_FALSE(CheckVersion(none, never).reachable);
}

TEST(JobRegistry, CloseAbortsJoinsAndDropsLateResults) {
  HttpServer server;
  server.Route("/soft/", Reply::Silent());
  GuiQueue gui;
  JobRegistry jobs(gui.Poster());
  int applied = 0;
  ASSERT_TRUE(StartNewsCheck(jobs, Patient(server), [&](NewsCheckResult) { ++applied; }));
  ASSERT_TRUE(StartVersionCheck(jobs, JobKind::VersionCheck, Patient(server), [&](VersionCheckResult) { ++applied; }));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(jobs.Unfinished(), 2);

  const auto start = Clock::now();
  StopVerThread(jobs);
  StopNewsThread(jobs);
  CloseNetHandles(jobs);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.5);
  EXPECT_EQ(jobs.Unfinished(), 0);
  EXPECT_TRUE(jobs.Closed());

  gui.Drain();  // results the workers posted on their way out
  EXPECT_EQ(applied, 0);
  EXPECT_FALSE(StartNewsCheck(jobs, Patient(server), [&](NewsCheckResult) { ++applied; }));
}

TEST(JobRegistry, AbortEndsOneKindOnly) {
  HttpServer server;
  server.Route("/soft/", Reply::Silent());
  server.Route("/soft/Attestation/Lumivex/News/0512.htm", Reply::Silent());
  GuiQueue gui;
  JobRegistry jobs(gui.Poster());
  std::vector<NewsCheckResult> news;
  ASSERT_TRUE(StartNewsCheck(jobs, Patient(server), [&](NewsCheckResult r) { news.push_back(r); }));
  ASSERT_TRUE(StartNewsPageFetch(jobs, Patient(server), "0512", 1, [](NewsPageResult) {}));
  std::this_thread::sleep_for(200ms);

  jobs.Abort(JobKind::NewsCheck);
  ASSERT_TRUE(gui.WaitFor(1, 2500ms));
  gui.Drain();
  ASSERT_EQ(news.size(), 1u);
  EXPECT_FALSE(news[0].reachable);  // an aborted probe looks like an unreachable site
  // The thread ends right after posting.
  for (int i = 0; i < 200 && jobs.Unfinished(JobKind::NewsCheck) > 0; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(jobs.Unfinished(JobKind::NewsCheck), 0);
  EXPECT_EQ(jobs.Unfinished(JobKind::PageFetch), 1);
}

TEST(LatestRequest, OnlyTheNewestPageFetchIsShown) {
  HttpServer server;
  server.Route("/soft/Attestation/Lumivex/News/0511.htm", Reply::Ok("older page"));
  server.Route("/soft/Attestation/Lumivex/News/0512.htm", Reply::Ok("newer page"));
  GuiQueue gui;
  JobRegistry jobs(gui.Poster());
  LatestRequest pages;
  std::vector<std::string> shown;
  auto fetch = [&](std::string id) {
    return StartNewsPageFetch(jobs, Patient(server), id, pages.Next(), [&](NewsPageResult r) {
      if (pages.IsLatest(r.ticket) && r.page) shown.push_back(r.page->body);
    });
  };
  ASSERT_TRUE(fetch("0511"));
  ASSERT_TRUE(fetch("0512"));
  ASSERT_TRUE(gui.WaitFor(2, 10s));
  gui.Drain();
  EXPECT_EQ(shown, std::vector<std::string>{"newer page"});
}

}  // namespace
}  // namespace lumivex
