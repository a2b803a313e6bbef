#include "channels/NewsSearch.h"

#include <string>

#include "channels/PageLink.h"
#include "channels/PageScan.h"
#include "channels/SiteHosts.h"

namespace jollix {
namespace {

const ChannelTexts kTexts = {
    "Jollix超级搜索---搜索您所需要的！正在解析用户查询...",
    "Jollix超级搜索---家事、国事、天下事，事事关心！正在获取网页数据...",
    "Jollix超级搜索---家事、国事、天下事，事事关心！正在解析网页数据...",
    "没有找到符合条件的新闻",
    "Jollix超级搜索---家事、国事、天下事，事事关心！没有找到符合条件的新闻",
    "Jollix超级搜索---家事、国事、天下事，事事关心！找到符合条件的新闻  %d  条",
};

enum class SourceLine { kAsIs, kCleaned };

// The end of the table that holds a news item: the first "</table>" (or "</TABLE>") after from
// that no table opened after from closes. A table nested in the item's block (before its
// source line, say) thus stays inside the item. Null when the item's table is never closed.
char* ItemTableEnd(const PageScan& scan, char* from) {
  int depth = 0;
  for (char* p = from;;) {
    char* close = scan.FindEarlier(p, "</table>", "</TABLE>");
    if (!close) return nullptr;
    char* open = scan.FindEarlier(p, "<table", "<TABLE");
    if (open && open < close) {
      ++depth;
      p = scan.Skip(open, 6);
      continue;
    }
    if (depth == 0) return close;
    --depth;
    p = scan.Skip(close, 8);
  }
}

// The item loop shared by both engines, from the byte after the result-area marker: an element
// of class item_class (its value read up to class_length letters and digits) is a news item;
// source_start is where its source line begins, counted from the title's end tag.
int ParseNewsItems(ResultStore<NewsRecord>* store, const PageScan& scan, char* area,
                   const char* item_class, size_t class_length, SourceLine source_line) {
  char* from = scan.Skip(area, 1);
  while (char* attr = scan.Find(from, "class=", "CLASS=")) {
    NewsRecord record{};
    char* after = scan.Skip(attr, 6);
    if (PageScan::ClassValue(after, class_length) != item_class) {
      from = after;
      continue;
    }
    char *url, *title, *title_end;
    PageScan::TitleLink found = scan.FindTitleLink(after, from, &url, &title, &title_end);
    if (found == PageScan::TitleLink::kNoLink) return 0;
    if (found == PageScan::TitleLink::kNoTitle) {
      from = after;
      continue;
    }
    SetField(record.url, url);
    SetCleanField(record.title, title);
    // The item ends at its own table's end: a source line or abstract that the search finds
    // only beyond it belongs to a later item, so this item ends the parse. Tables nested inside
    // the item do not end it.
    char* item_end = ItemTableEnd(scan, scan.Skip(title_end, 1));
    if (!item_end) return 0;

    char* source;
    if (source_line == SourceLine::kAsIs) {
      char* nobr = scan.Find(scan.Skip(title_end, 3), "<nobr>", "<NOBR>");
      if (!nobr) return 0;
      source = scan.Skip(nobr, 6);
    } else {
      source = scan.Skip(title_end, 4);
    }
    char* source_end = scan.Find(source, "</nobr>", "</NOBR>");
    if (!source_end || source_end > item_end) return 0;
    PageScan::Cut(source_end);
    if (source_line == SourceLine::kAsIs) {
      SetField(record.source_time, source);
    } else {
      SetCleanField(record.source_time, source);
    }

    char* abstract = scan.Skip(source_end, 7);
    PageScan::Cut(item_end);
    SetCleanField(record.abstract, abstract);
    store->Add(record);
    from = scan.Skip(item_end, 8);
  }
  return 0;
}

}  // namespace

int ParseBaiduNews(ResultStore<NewsRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  std::string prefix = std::string("http://") + HostName(Site::kBaiduNews);
  FindPrevNextLinks(page, prefix.c_str());
  char* area = scan.Find(page, "百度一下");
  if (!area) return -1;
  return ParseNewsItems(store, scan, area, "zh", 10, SourceLine::kAsIs);
}

int ParseGoogleNews(ResultStore<NewsRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  if (char* anchor = scan.Find(page, "结果页码")) {
    FindPrevNextLinks(anchor, "");
  }
  char* area = scan.Find(page, "内容相关性进行");
  if (!area) return -1;
  return ParseNewsItems(store, scan, area, "j", 20, SourceLine::kCleaned);
}

const ChannelTexts& NewsChannel::Texts() const { return kTexts; }

bool NewsChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  std::string query;
  if (!EncodeForUrl(form.query, &query)) return false;
  if (engine == 0) {
    *url = FormatUrl(
        "http://%s/ns?word=%s&tn=tavrelund_dg&from=news&ie=gb2312&bs=qvx&sr=0&cl=2&rn=100&ct=0",
        HostName(Site::kBaiduNews), query.c_str());
  } else if (engine == 1) {
    *url = FormatUrl("http://%s/news?num=50&ie=gbk&q=%s", HostName(Site::kGoogleChinaNews),
                     query.c_str());
  } else {
    *url = FormatUrl("http://%s/search1.html?source=ysearch_news_search&p=%s",
                     HostName(Site::kYahooChinaNews), query.c_str());
  }
  return true;
}

NewsChannel::Parser NewsChannel::ParserFor(int engine) const {
  if (engine == 0) return ParseBaiduNews;
  if (engine == 1) return ParseGoogleNews;
  return nullptr;
}

void NewsChannel::ShowRow(ResultPage& list, int row, NewsRecord& record, int /*engine*/,
                          IconList* /*icons*/) const {
  int at = list.InsertRow(row, record.title, -1);
  list.SetCell(at, 1, record.source_time);
  list.SetCell(at, 2, record.url);
  list.SetCell(at, 3, record.abstract);
}

}  // namespace jollix
