#include "online/news.h"

#include <algorithm>
#include <cctype>

#include "online/site.h"
#include "text/line_cursor.h"
#include "text/text.h"
#include "text/transcode.h"

namespace lumivex {

namespace {

constexpr std::size_t kMaxIdBytes = 20;
constexpr std::size_t kMaxNumberedIdBytes = 7;

}  // namespace

NewsCheckResult CheckNews(const SiteAccess& access, const AbortFlag& abort) {
  NewsCheckResult result;
  result.reachable = IsSiteReachable(access, &abort);
  if (!result.reachable || abort.load()) return result;
  if (auto list = TryDownloadText(access, kNewsListPath, &abort)) {
    result.fetched = true;
    result.body = std::move(*list);
  }
  return result;
}

bool StartNewsCheck(JobRegistry& jobs, const SiteAccess& access,
                    std::function<void(NewsCheckResult)> apply) {
  return jobs.Start<NewsCheckResult>(
      JobKind::NewsCheck, [access](const AbortFlag& abort) { return CheckNews(access, abort); },
      std::move(apply));
}

float NewsNumber(std::string_view id) {
  if (id.empty() || id.size() > kMaxNumberedIdBytes) return 0.0f;
  return static_cast<float>(FloatVal(DigitsAndPoints(id)));
}

NewsDecision DecideNews(const NewsCheckResult& result, const NewsFields& current) {
  NewsDecision d;
  d.fields = current;
  if (!result.reachable) return d;
  if (!result.fetched) {
    d.enableNoNewsTimer = true;
    return d;
  }
  d.fields.NewsText = result.body;

  LineCursor lines(result.body);
  std::string newest;
  bool foundNewest = false;
  while (!lines.Empty()) {
    const std::string_view line = lines.FetchView();
    if (line.size() > kMaxIdBytes) {
      d.enableNoNewsTimer = true;
      return d;
    }
    if (!foundNewest && !line.empty()) {
      newest = std::string(line);
      foundNewest = true;
    }
  }

  const float number = NewsNumber(newest);
  if (number > current.NewisionNumber) {
    d.fields.Newision = newest;
    d.fields.NewisionNumber = number;
    d.enableShowTimer = current.flgNotNews != "1" || current.NewsAsked;
    d.saveState = true;
  } else if (current.NewsAsked) {
    // An empty list never replaces the id kept so far.
    if (!newest.empty()) {
      d.fields.Newision = newest;
      d.fields.NewisionNumber = std::max(current.NewisionNumber, number);
    }
    d.enableShowTimer = true;
    d.saveState = true;
  }
  return d;
}

std::vector<std::string> NewsListItems(std::string_view newsText) {
  std::vector<std::string> items;
  LineCursor lines{std::string(newsText)};
  while (!lines.Empty()) items.push_back(lines.Fetch());
  return items;
}

NewsPageResult FetchNewsPage(const SiteAccess& access, std::string_view newsId,
                             unsigned long long ticket, const AbortFlag& abort) {
  return NewsPageResult{ticket, DownloadPage(access, NewsPagePath(newsId), &abort)};
}

bool StartNewsPageFetch(JobRegistry& jobs, const SiteAccess& access, std::string newsId,
                        unsigned long long ticket, std::function<void(NewsPageResult)> apply) {
  return jobs.Start<NewsPageResult>(
      JobKind::PageFetch,
      [access, newsId = std::move(newsId), ticket](const AbortFlag& abort) {
        return FetchNewsPage(access, newsId, ticket, abort);
      },
      std::move(apply));
}

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The iconv name for a charset label as web pages write them; "" when the
// label is not usable.
std::string IconvName(std::string_view label) {
  const std::string l = Lower(Trim(label));
  if (l.empty()) return "";
  struct Alias {
    std::string_view label;
    const char* name;
  };
  static constexpr Alias kAliases[] = {
      {"utf-8", "UTF-8"},          {"utf8", "UTF-8"},           {"unicode-1-1-utf-8", "UTF-8"},
      {"shift_jis", "CP932"},      {"shift-jis", "CP932"},      {"sjis", "CP932"},
      {"x-sjis", "CP932"},         {"windows-31j", "CP932"},    {"ms_kanji", "CP932"},
      {"csshiftjis", "CP932"},     {"ms932", "CP932"},          {"cp932", "CP932"},
      {"euc-jp", "EUC-JP"},        {"x-euc-jp", "EUC-JP"},      {"iso-2022-jp", "ISO-2022-JP"},
      {"iso-8859-1", "WINDOWS-1252"}, {"latin1", "WINDOWS-1252"}, {"us-ascii", "WINDOWS-1252"},
      {"ascii", "WINDOWS-1252"},   {"windows-1252", "WINDOWS-1252"},
      {"utf-16", "UTF-16LE"},      {"utf-16le", "UTF-16LE"},    {"utf-16be", "UTF-16BE"},
  };
  for (const Alias& a : kAliases) {
    if (l == a.label) return a.name;
  }
  for (unsigned char c : l) {
    if (!std::isalnum(c) && c != '-' && c != '_' && c != '.' && c != ':') return "";
  }
  return l;
}

// The label after "charset" (then optional blanks, "=", optional quote) in s.
std::string CharsetAfter(std::string_view s, std::size_t from) {
  const std::string lower = Lower(s);
  std::size_t at = lower.find("charset", from);
  if (at == std::string::npos) return "";
  at += 7;
  while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
  if (at >= s.size() || s[at] != '=') return "";
  ++at;
  while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '"' || s[at] == '\'')) ++at;
  std::size_t end = at;
  while (end < s.size() && s[end] != '"' && s[end] != '\'' && s[end] != ';' && s[end] != ' ' &&
         s[end] != '>' && s[end] != '/' && s[end] != '\t') {
    ++end;
  }
  return std::string(s.substr(at, end - at));
}

std::string MetaCharset(std::string_view body) {
  const std::string_view head = body.substr(0, 1024);
  const std::string lower = Lower(head);
  std::size_t at = 0;
  while ((at = lower.find("<meta", at)) != std::string::npos) {
    const std::size_t close = lower.find('>', at);
    const std::string_view tag =
        head.substr(at, close == std::string::npos ? std::string_view::npos : close - at);
    if (std::string label = CharsetAfter(tag, 0); !label.empty()) return label;
    at += 5;
  }
  return "";
}

std::optional<std::string> DecodeAs(const std::string& name, std::string_view bytes) {
  if (name.empty()) return std::nullopt;
  const std::size_t unit = name.starts_with("UTF-16") ? 2 : 1;
  try {
    return Transcode("UTF-8", name.c_str(), bytes, "\xEF\xBF\xBD", unit);
  } catch (const std::exception&) {
    return std::nullopt;  // iconv does not know the set
  }
}

}  // namespace

std::string DecodePage(std::string_view body, std::string_view contentType) {
  if (body.starts_with("\xEF\xBB\xBF")) return *DecodeAs("UTF-8", body.substr(3));
  if (body.starts_with("\xFF\xFE")) return *DecodeAs("UTF-16LE", body.substr(2));
  if (body.starts_with("\xFE\xFF")) return *DecodeAs("UTF-16BE", body.substr(2));
  if (auto text = DecodeAs(IconvName(CharsetAfter(contentType, 0)), body)) return *text;
  if (auto text = DecodeAs(IconvName(MetaCharset(body)), body)) return *text;
  if (TranscodeStrict("UTF-8", "UTF-8", body)) return std::string(body);
  return *DecodeAs("CP932", body);
}

}  // namespace lumivex
