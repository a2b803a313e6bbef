#include "channels/WebPageSearch.h"

#include <cstring>
#include <string>

#include "channels/PageLink.h"
#include "channels/PageScan.h"
#include "channels/SiteHosts.h"

namespace jollix {
namespace {

FILE* google_trace = stdout;

constexpr char kHrefQuote[] = "href=\"";
constexpr size_t kHrefQuoteLength = 6;
constexpr size_t kClassLength = 6;  // "class="

const ChannelTexts kTexts = {
    "Jollix超级搜索---搜索是\"Jollix\"的事情！正在解析查询请求...",
    "Jollix超级搜索---搜索是\"Jollix\"的事情！正在获取搜索结果...",
    "Jollix超级搜索---搜索是\"Jollix\"的事情！正在解析结果网页...",
    "没有找到符合条件的信息",
    "Jollix超级搜索---搜索是\"Jollix\"的事情！没有符合条件的网页！",
    "Jollix一下，找到  %d  "
    "条记录，所有记录均来自互联网，不代表Jollix超级搜索赞成被搜索结果网站的内容或"
    "立场！",
};

}  // namespace

void SetGoogleWebTrace(FILE* out) { google_trace = out; }

// Result blocks are tables; a block gives a record when it holds a quoted link, a title line and
// an abstract line, and another table follows it.
int ParseBaiduWeb(ResultStore<WebRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  std::string prefix = std::string(HostName(Site::kBaiduWeb)) + "/";
  FindPrevNextLinks(page, prefix.c_str());

  char* area = scan.Find(page, "百度一下");
  if (!area) {
    ClearPageLinks();
    return -1;
  }
  char* block = scan.Find(scan.Skip(area, 1), "<table");
  while (block) {
    WebRecord record{};
    char* end = scan.Find(scan.Skip(block, 5), "</table>");
    if (!end) return 0;
    PageScan::Cut(end);
    bool complete = false;
    if (char* href = scan.Find(block, kHrefQuote)) {
      char* url = PageScan::CutQuoted(href + kHrefQuoteLength);
      if (!url) return 0;
      SetField(record.url, url);
      char* gt = scan.Find(url + std::strlen(url) + 1, ">");
      char* title_end = gt ? scan.Find(gt + 1, "<br>") : nullptr;
      if (title_end) {
        PageScan::Cut(title_end);
        SetCleanField(record.title, gt + 1);
        char* abstract = scan.Skip(title_end, 4);
        if (char* abstract_end = scan.Find(abstract, "<br>")) {
          PageScan::Cut(abstract_end);
          SetCleanField(record.abstract, abstract);
          complete = true;
        }
      }
    }
    if (!complete) {
      block = scan.Find(scan.Skip(end, 1), "<table");
      continue;
    }
    block = scan.Find(scan.Skip(end, 4), "<table");
    if (!block) return 0;  // the last table of the page gives no record
    store->Add(record);
  }
  return 0;
}

int ParseGoogleWeb(ResultStore<WebRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  if (char* anchor = scan.Find(page, "结果页码")) {
    FindPrevNextLinks(anchor, HostName(Site::kGoogleWeb));
  }
  char* area = scan.Find(page, "查询结果");
  if (!area) return -1;
  char* block = scan.Find(scan.Skip(area, 1), "class=g", "CLASS=G");
  while (block) {
    WebRecord record{};
    char* href = scan.Find(block, kHrefQuote);
    if (!href) {
      block = scan.Find(scan.Skip(block, 1), "class=g", "CLASS=G");
      continue;
    }
    char* url = PageScan::CutQuoted(href + kHrefQuoteLength);
    if (!url) return 0;
    SetField(record.url, url);
    char* after_url = url + std::strlen(url) + 1;
    char* gt = scan.Find(after_url, ">");
    if (!gt) {
      block = scan.Find(after_url, "class=g", "CLASS=G");
      continue;
    }
    char* title = gt + 1;
    char* title_end = scan.Find(title, "</A>", "</a>");
    if (!title_end) {
      block = scan.Find(title, "class=g", "CLASS=G");
      continue;
    }
    PageScan::Cut(title_end);
    SetCleanField(record.title, title);
    // A result without abstract cell is skipped: an abstract marker that lies in a later
    // result belongs to that one.
    char* next_block = scan.Find(scan.Skip(title_end, 1), "class=g", "CLASS=G");
    char* marker = scan.Find(scan.Skip(title_end, 3), "class=j", "CLASS=J");
    if (!marker || (next_block && next_block < marker)) {
      block = next_block;
      continue;
    }
    char* abstract = scan.Skip(marker, 8);
    char* abstract_end = scan.Find(abstract, "<br>", "<BR>");
    if (!abstract_end) {
      block = scan.Find(abstract, "class=g", "CLASS=G");
      continue;
    }
    PageScan::Cut(abstract_end);
    SetCleanField(record.abstract, abstract);
    block = scan.Find(scan.Skip(abstract_end, 1), "class=g", "CLASS=G");
    store->Add(record);
    if (google_trace) {
      std::fprintf(google_trace, "title=%s\nurl=%s\nabstract=%s\n\n", record.title, record.url,
                   record.abstract);
    }
  }
  return 0;
}

// A record is built from the elements of the result list, told apart by their class: "i" the
// title link, "d" the description. A record is added once both have been read, even when they
// came from different results.
int ParseYahooWeb(ResultStore<WebRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  std::string prefix = std::string("http://") + HostName(Site::kYahooChinaSearch) + "/search";
  FindPrevNextLinks(page, prefix.c_str());
  char* area = scan.Find(page, "共返回约");
  if (!area) return -1;

  WebRecord record{};
  bool title_seen = false;
  bool abstract_seen = false;
  char* from = scan.Skip(area, 1);
  while (char* attr = scan.Find(from, "class=", "CLASS=")) {
    char* after = scan.Skip(attr, kClassLength);
    std::string value = PageScan::ClassValue(after, 10);
    if (value == "i") {
      char *url, *title, *title_end;
      PageScan::TitleLink found = scan.FindTitleLink(after, from, &url, &title, &title_end);
      if (found == PageScan::TitleLink::kNoLink) return 0;
      SetField(record.url, url);
      if (found == PageScan::TitleLink::kNoTitle) {
        from = after;
        continue;
      }
      SetCleanField(record.title, title);
      title_seen = true;
      from = scan.Skip(title_end, 3);
      continue;
    }
    from = after;
    if (value == "d") {
      char* gt = scan.Find(after, ">");
      char* div = gt ? scan.Find(gt + 1, "<div", "<DIV") : nullptr;
      if (div) {
        PageScan::Cut(div);
        SetCleanField(record.abstract, gt + 1);
        abstract_seen = true;
        from = scan.Skip(div, 1);
      }
    } else if (!abstract_seen) {
      continue;
    }
    if (title_seen && abstract_seen) {
      store->Add(record);
      record = WebRecord{};
      title_seen = abstract_seen = false;
    }
  }
  return 0;
}

const ChannelTexts& WebPageChannel::Texts() const { return kTexts; }

bool WebPageChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  std::string query;
  if (!EncodeForUrl(form.query, &query)) return false;
  switch (engine) {
    case 0:
      *url = FormatUrl("http://%s/baidu?rn=100&tn=tavrelund_dg&wd=%s", HostName(Site::kBaiduWeb),
                       query.c_str());
      break;
    case 1:
      *url =
          FormatUrl("http://%s/search?num=50&q=%s", HostName(Site::kGoogleChinaWeb), query.c_str());
      break;
    case 2:
    case 3:
      *url = FormatUrl("http://%s/search?ei=gbk&p=%s", HostName(Site::kYahooChinaSearch),
                       query.c_str());
      break;
    default:
      url->clear();
  }
  return true;
}

WebPageChannel::Parser WebPageChannel::ParserFor(int engine) const {
  switch (engine) {
    case 0:
      return ParseBaiduWeb;
    case 1:
      return ParseGoogleWeb;
    case 2:
      return ParseYahooWeb;
    default:
      return nullptr;
  }
}

void WebPageChannel::ShowRow(ResultPage& list, int row, WebRecord& record, int /*engine*/,
                             IconList* /*icons*/) const {
  int at = list.InsertRow(row, record.title, -1);
  list.SetCell(at, 1, record.url);
  list.SetCell(at, 2, record.abstract);
}

}  // namespace jollix
