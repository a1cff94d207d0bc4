#include <gtest/gtest.h>

#include "online/news.h"
#include "online/version_check.h"

namespace lumivex {
namespace {

// ---- news ------------------------------------------------------------------

NewsFields Stored() {
  NewsFields f;
  f.NewsText = "old list";
  f.Newision = "0510";
  f.NewisionNumber = 510.0f;
  f.flgNotNews = "0";
  return f;
}

NewsCheckResult Listed(std::string body) { return {true, true, std::move(body)}; }

struct NewsExpect {
  std::string Newision = "0510";
  float NewisionNumber = 510.0f;
  std::string NewsText = "old list";
  bool noNews = false;
  bool show = false;
  bool save = false;
};

struct NewsCase {
  const char* label;
  NewsCheckResult result;
  bool asked;
  std::string flgNotNews;
  NewsExpect expect;
};

void CheckNewsCases(const std::vector<NewsCase>& cases) {
  for (const NewsCase& c : cases) {
    SCOPED_TRACE(c.label);
    NewsFields current = Stored();
    current.NewsAsked = c.asked;
    current.flgNotNews = c.flgNotNews;
    const NewsDecision d = DecideNews(c.result, current);
    EXPECT_EQ(d.fields.Newision, c.expect.Newision);
    EXPECT_EQ(d.fields.NewisionNumber, c.expect.NewisionNumber);
    EXPECT_EQ(d.fields.NewsText, c.expect.NewsText);
    EXPECT_EQ(d.fields.NewsAsked, c.asked);
    EXPECT_EQ(d.fields.flgNotNews, c.flgNotNews);
    EXPECT_EQ(d.enableNoNewsTimer, c.expect.noNews);
    EXPECT_EQ(d.enableShowTimer, c.expect.show);
    EXPECT_EQ(d.saveState, c.expect.save);
  }
}

TEST(DecideNews, NewerNewsIsStoredAndShown) {
  const std::string newer = "0512\r\n0511\r\n";
  const std::string blankFirst = "\r\n0512\r\n";
  CheckNewsCases({
      {"newer id", Listed(newer), false, "0", {"0512", 512.0f, newer, false, true, true}},
      {"empty first line", Listed(blankFirst), false, "0", {"0512", 512.0f, blankFirst, false, true, true}},
      {"no automatic showing", Listed(newer), false, "1", {"0512", 512.0f, newer, false, false, true}},
      {"no automatic showing, asked", Listed(newer), true, "1", {"0512", 512.0f, newer, false, true, true}},
      {"id of 20 bytes", Listed("0512\r\n" + std::string(20, 'x') + "\r\n"), false, "0",
       {"0512", 512.0f, "0512\r\n" + std::string(20, 'x') + "\r\n", false, true, true}},
  });
}

TEST(DecideNews, NothingNewShowsOnlyWhenAsked) {
  const std::string same = "0510\r\n0509\r\n";
  const std::string longId = "05120000\r\n";
  CheckNewsCases({
      {"same id", Listed(same), false, "0", {"0510", 510.0f, same}},
      {"same id, asked", Listed(same), true, "0", {"0510", 510.0f, same, false, true, true}},
      {"older id, asked", Listed("0500\r\n"), true, "0", {"0500", 510.0f, "0500\r\n", false, true, true}},
      {"8-byte id never new", Listed(longId), false, "0", {"0510", 510.0f, longId}},
      {"8-byte id, asked", Listed(longId), true, "0", {"05120000", 510.0f, longId, false, true, true}},
      // An empty list never replaces the id kept so far.
      {"empty list", Listed(""), false, "0", {"0510", 510.0f, ""}},
      {"empty list, asked", Listed(""), true, "0", {"0510", 510.0f, "", false, true, true}},
      {"blank lines, asked", Listed("\r\n\r\n"), true, "0", {"0510", 510.0f, "\r\n\r\n", false, true, true}},
  });
}

TEST(DecideNews, FailuresStoreNothing) {
  const std::string notAList = "<html><head><title>Moved</title></head></html>\r\n";
  CheckNewsCases({
      {"unreachable", {false, false, ""}, false, "0", {}},
      {"unreachable, asked", {false, false, ""}, true, "0", {}},
      {"error status", {true, false, ""}, false, "0", {"0510", 510.0f, "old list", true}},
      {"error status, asked", {true, false, ""}, true, "0", {"0510", 510.0f, "old list", true}},
      {"line over 20 bytes", Listed("0512\r\n" + std::string(21, 'x') + "\r\n"), true, "0",
       {"0510", 510.0f, "0512\r\n" + std::string(21, 'x') + "\r\n", true}},
      {"page instead of a list", Listed(notAList), false, "0", {"0510", 510.0f, notAList, true}},
  });
}

TEST(DecideNews, TheSameNewsDoesNotReturnWithinOneRun) {
  NewsFields fields = Stored();
  const NewsDecision first = DecideNews(Listed("0512\r\n"), fields);
  ASSERT_TRUE(first.enableShowTimer);
  fields = first.fields;
  const NewsDecision second = DecideNews(Listed("0512\r\n"), fields);
  EXPECT_FALSE(second.enableShowTimer);
  EXPECT_FALSE(second.saveState);
}

TEST(NewsNumber, ReadsShortIdsOnly) {
  EXPECT_EQ(NewsNumber("0512"), 512.0f);
  EXPECT_EQ(NewsNumber("N1.5a"), 1.5f);
  EXPECT_EQ(NewsNumber("1234567"), 1234567.0f);
  EXPECT_EQ(NewsNumber("12345678"), 0.0f);
  EXPECT_EQ(NewsNumber(""), 0.0f);
}

TEST(NewsListItems, EveryPieceUpToTheEnd) {
  using Items = std::vector<std::string>;
  EXPECT_EQ(NewsListItems(""), Items{});
  EXPECT_EQ(NewsListItems("0512"), Items{"0512"});
  EXPECT_EQ(NewsListItems("\r\n0512\r\n0511\r\n"), (Items{"", "0512", "0511"}));
  EXPECT_EQ(NewsListItems("0512\r\n\r\n"), (Items{"0512", ""}));
}

TEST(DecodePage, CharsetByMarkHeaderMetaUtf8ThenCodePage932) {
  const std::string nihon = "日本";
  const std::string sjis = "\x93\xfa\x96\x7b";
  struct Case {
    const char* label;
    std::string body;
    std::string contentType;
    std::string expected;
  };
  const Case cases[] = {
      {"UTF-8 mark", "\xEF\xBB\xBF" + nihon, "text/html; charset=Shift_JIS", nihon},
      {"UTF-16LE mark", std::string("\xFF\xFE\xE5\x65\x2C\x67", 6), "", nihon},
      {"header", sjis, "text/html; charset=Shift_JIS", nihon},
      {"header keeps the backslash", "C:\\" + sjis, "text/html; charset=\"shift_jis\"", "C:\\" + nihon},
      {"header over meta", "<meta charset=\"shift_jis\">" + nihon, "text/html; charset=utf-8",
       "<meta charset=\"shift_jis\">" + nihon},
      {"meta charset", "<meta charset=\"Shift_JIS\">" + sjis, "text/html", "<meta charset=\"Shift_JIS\">" + nihon},
      {"meta http-equiv", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-JP\">\xc6\xfc\xcb\xdc",
       "", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-JP\">" + nihon},
      {"unknown label skipped", sjis, "text/html; charset=x-no-such-set", nihon},
      {"valid UTF-8", "<p>" + nihon + "</p>", "text/html", "<p>" + nihon + "</p>"},
      {"code page 932 last", "<p>" + sjis + "</p>", "", "<p>" + nihon + "</p>"},
      {"unreadable bytes", "a\x81", "text/html; charset=shift_jis", "a\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodePage(c.body, c.contentType), c.expected) << c.label;
}

// ---- version ---------------------------------------------------------------

VersionFields Running(bool splashShown = false) {
  VersionFields f;
  f.ProgramVersion = 1.0005f;
  f.LatestVersionText = "before";
  f.DownloadUrl = "keep";
  f.splashShown = splashShown;
  return f;
}

struct VersionExpect {
  std::string latest;
  std::string url = "keep";
  bool checking = false, closeSplash = false, offer = false, latestLabel = false, latestMessage = false;
};

struct VersionCase {
  const char* label;
  VersionCheckResult result;
  bool splashShown;
  VersionExpect expect;
};

void CheckVersionCases(const std::vector<VersionCase>& cases) {
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.label);
    const VersionDecision d = DecideVersion(c.result, Running(c.splashShown));
    EXPECT_EQ(d.LatestVersionText, c.expect.latest);
    EXPECT_EQ(d.DownloadUrl, c.expect.url);
    EXPECT_EQ(d.showCheckingLabel, c.expect.checking);
    EXPECT_EQ(d.closeSplash, c.expect.closeSplash);
    EXPECT_EQ(d.offerUpdate, c.expect.offer);
    EXPECT_EQ(d.showLatestLabel, c.expect.latestLabel);
    EXPECT_EQ(d.showLatestMessage, c.expect.latestMessage);
  }
}

VersionCheckResult File(std::string body) { return {true, std::move(body)}; }

TEST(DecideVersion, ANewerVersionIsOffered) {
  const std::string padded200 = "1.1\r\n" + std::string(193, 'u') + "\r\n";
  ASSERT_EQ(padded200.size(), 200u);
  CheckVersionCases({
      {"one line without a line end", File("1.1"), false, {"1.1", "keep", false, false, true}},
      {"archive address", File("1.1\r\nhttp://h/soft/new.lzh\r\n"), false,
       {"1.1", "http://h/soft/new.lzh", false, false, true}},
      {"address without its line end", File("1.1\r\nhttp://h/soft/new.lzh"), false,
       {"1.1", "keep", false, false, true}},
      {"empty address", File("1.1\r\n\r\n"), false, {"1.1", "", false, false, true}},
      {"200 bytes", File(padded200), false, {"1.1", std::string(193, 'u'), false, false, true}},
      {"line 1 of 6 bytes", File("1.0010"), false, {"1.0010", "keep", false, false, true}},
      {"Ver. 2 in 6 bytes", File("Ver. 2"), false, {"Ver. 2", "keep", false, false, true}},
      {"on the splash", File("1.1\r\n"), true, {"1.1", "keep", true, false, true}},
  });
}

TEST(DecideVersion, TheSameOrAnOlderVersionIsReported) {
  CheckVersionCases({
      {"same version", File("1.0005"), false, {"1.0005", "keep", false, false, false, false, true}},
      {"older", File("1.000\r\n"), false, {"1.000", "keep", false, false, false, false, true}},
      {"older, on the splash", File("1.000\r\n"), true, {"1.000", "keep", true, false, false, true}},
      {"user list marker, splash shown", File("1.000\r\n\r\nx\r\nAll-User-No;\r\n"), true,
       {"1.000", "", true, true, false, true}},
      {"user list marker, splash gone", File("1.000\r\n\r\nx\r\nAll-User-No;\r\n"), false,
       {"1.000", "", false, false, false, false, true}},
      {"other user line", File("1.000\r\n\r\nx\r\nsomeone,\r\n"), true, {"1.000", "", true, false, false, true}},
      {"marker without its line end", File("1.000\r\n\r\nx\r\nAll-User-No;"), true,
       {"1.000", "", true, false, false, true}},
  });
}

TEST(DecideVersion, UnreadableFilesChangeNothingElse) {
  const std::string over200 = "9.9\r\n" + std::string(194, 'u') + "\r\n";
  ASSERT_EQ(over200.size(), 201u);
  CheckVersionCases({
      {"unreachable", {false, ""}, true, {""}},
      {"error answer", File(""), false, {""}},
      {"error answer, splash shown", File(""), true, {"", "keep", true}},
      {"201 bytes", File(over200), false, {""}},
      {"line 1 of 7 bytes", File("1.00100"), false, {"1.00100"}},
      {"Ver. 2.013", File("Ver. 2.013\r\n"), false, {"Ver. 2.013"}},
      {"no digits", File("new"), false, {"new"}},
      {"two points", File("1.2.3"), false, {"1.2.3"}},
  });
}

TEST(VersionNumber, DigitsAndPointsAsOneNumber) {
  EXPECT_EQ(VersionNumber("1.1"), 1.1f);
  EXPECT_EQ(VersionNumber("v2.013"), 2.013f);
  EXPECT_EQ(VersionNumber("1."), 1.0f);
  EXPECT_EQ(VersionNumber(""), std::nullopt);
  EXPECT_EQ(VersionNumber("."), std::nullopt);
  EXPECT_EQ(VersionNumber("1.2.3"), std::nullopt);
}

TEST(UserListMatches, MarkerOrAListedItem) {
  EXPECT_TRUE(UserListMatches("", "All-User-No;"));
  EXPECT_TRUE(UserListMatches("", "users: All-User-No; end"));
  EXPECT_FALSE(UserListMatches("", "all-user-no;"));  // the marker is matched exactly
  EXPECT_TRUE(UserListMatches("a,b,", "xBy"));
  EXPECT_FALSE(UserListMatches("a,b", "b"));  // the last item lacks its ","
  EXPECT_FALSE(UserListMatches(",,", "anything"));
  EXPECT_FALSE(UserListMatches("", ""));
}

}  // namespace
}  // namespace lumivex
