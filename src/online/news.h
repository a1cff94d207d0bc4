// The news check: the worker's download and the rules that decide, on the
// GUI thread, what a fetched news list changes.
//
// The news list "News.txt" holds one news id per "\r\n"-ended line, newest
// first; the newest id is the first non-empty line. An id is at most 20
// bytes; a list with a longer line is not a news list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "online/http.h"
#include "online/jobs.h"

namespace lumivex {

inline constexpr std::string_view kNoNewsMessage = "There is no news.";
inline constexpr std::string_view kNewestNewsMessage = "最新です！";
inline constexpr std::string_view kLastNewsMessage = "最後です！";

// What the worker found.
struct NewsCheckResult {
  bool reachable = false;  // the site answered the probe
  bool fetched = false;    // the list came with a 2xx status, whole
  std::string body;        // the list, when fetched
};

// The worker: probe, then the list. Runs on a job thread.
NewsCheckResult CheckNews(const SiteAccess& access, const AbortFlag& abort);

// Starts CheckNews as a JobKind::NewsCheck job; apply runs on the GUI thread.
bool StartNewsCheck(JobRegistry& jobs, const SiteAccess& access,
                    std::function<void(NewsCheckResult)> apply);

// The main window's news fields, as the decision reads them.
struct NewsFields {
  std::string NewsText;        // the last list fetched
  std::string Newision;        // newest id shown or seen (state file)
  float NewisionNumber = 0.0f;  // the number a new list must beat
  std::string flgNotNews;      // "1": no automatic showing
  bool NewsAsked = false;      // the user asked from the menu
};

// What the GUI thread does with a result, in this order: take the fields,
// enable tmrNewNewsQS (whose handler shows kNoNewsMessage only when
// NewsAsked), enable tmrNewsShow, save the state file.
struct NewsDecision {
  NewsFields fields;
  bool enableNoNewsTimer = false;  // tmrNewNewsQS
  bool enableShowTimer = false;    // tmrNewsShow
  bool saveState = false;
};

// The number of a news id: FloatVal(DigitsAndPoints(id)) for an id of 1 to 7
// bytes, else 0.
float NewsNumber(std::string_view id);

// The decision for one check.
// - Unreachable site: nothing changes, nothing is shown, even when asked.
// - An error answer or a list with a line over 20 bytes: nothing stored,
//   tmrNewNewsQS enabled. (A body that is no list still becomes NewsText, so
//   the window lists its lines.)
// - A list whose newest number beats NewisionNumber: the id is stored and the
//   number raised to it, the window shown unless flgNotNews is "1" (shown all
//   the same when asked), the state file saved.
// - Otherwise, when asked: the window is shown and the state saved; the id is
//   stored unless the list is empty. Not asked: nothing.
NewsDecision DecideNews(const NewsCheckResult& result, const NewsFields& current);

// The items the news window lists: the pieces of text cut at "\r\n" until
// nothing is left, empty pieces included ("\r\nA\r\nB\r\n" -> "", "A", "B").
std::vector<std::string> NewsListItems(std::string_view newsText);

// A page fetched for the news window, and its text decoded to UTF-8.
struct NewsPageResult {
  unsigned long long ticket = 0;  // LatestRequest ticket of the request
  std::optional<WebPage> page;    // nullopt when the fetch failed
};

// The worker of a page fetch: NewsPagePath(newsId) on the site.
NewsPageResult FetchNewsPage(const SiteAccess& access, std::string_view newsId,
                             unsigned long long ticket, const AbortFlag& abort);

// Starts FetchNewsPage as a JobKind::PageFetch job; apply runs on the GUI
// thread and shows the page only when LatestRequest::IsLatest(result.ticket).
bool StartNewsPageFetch(JobRegistry& jobs, const SiteAccess& access, std::string newsId,
                        unsigned long long ticket, std::function<void(NewsPageResult)> apply);

// A page's bytes as UTF-8. The character set is taken from, in this order: a
// byte-order mark, the charset of the Content-Type header, a <meta> charset in
// the first 1024 bytes, valid UTF-8, and finally code page 932. Bytes the
// chosen set cannot read become U+FFFD.
std::string DecodePage(std::string_view body, std::string_view contentType);

}  // namespace lumivex
