#include "channels/DocSearch.h"

#include <cstring>
#include <string>

#include "channels/PageLink.h"
#include "channels/PageScan.h"
#include "channels/SiteHosts.h"
#include "channels/TypeIcon.h"
#include "web/HtmlText.h"

namespace jollix {
namespace {

constexpr char kHrefQuote[] = "href=\"";
constexpr char kUpperHrefQuote[] = "HREF=\"";
constexpr char kGoogleNoSize[] = "Google未提供";
constexpr int kGoogleEngine = 2;

const ChannelTexts kTexts = {
    "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班...",
    "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班...正在获取网页数据",
    "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班...正在解析网页数据...",
    "没有找到符合条件的文档",
    "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班..."
    "没有找到符合条件的文档！",
    "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班..."
    "找到符合条件的文档 %d  个！",
};

// The value of the first quoted href after from (lower case first), cut at its closing quote.
char* QuotedHref(const PageScan& scan, char* from) {
  char* href = scan.Find(from, kHrefQuote, kUpperHrefQuote);
  return href ? PageScan::CutQuoted(href + 6) : nullptr;
}

// The byte after a value cut by CutQuoted (the closing quote's place).
char* AfterValue(char* value) { return value + std::strlen(value) + 1; }

// The Baidu size-and-time field from the cleaned size line: the text from the first decimal
// digit after its first blank; false when the line has no blank or no digit after it.
bool SizeFromLine(const char* line, DocRecord* record) {
  char* text = nullptr;
  if (CleanHtmlText(line, &text) != 0) return false;
  CleanText owner(text);
  const char* blank = std::strchr(text, ' ');
  const char* digit = blank ? std::strpbrk(blank, "0123456789") : nullptr;
  if (!digit) return false;
  SetField(record->size_time, digit);
  return true;
}

}  // namespace

const char* DocTypeWord(int file_type) {
  switch (file_type) {
    case 1:
      return "doc";
    case 2:
      return "pdf";
    case 3:
      return "xls";
    case 4:
      return "ppt";
    case 5:
      return "rtf";
    default:
      return "all";
  }
}

int ParseBaiduDoc(ResultStore<DocRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  std::string prefix = std::string("http://") + HostName(Site::kBaiduWeb) + "/";
  FindPrevNextLinks(page, prefix.c_str());
  char* area = scan.Find(page, "百度一下");
  if (!area) return -1;

  char* from = scan.Skip(area, 1);
  while (char* open = scan.Find(from, "【")) {
    DocRecord record{};
    char* type = scan.Skip(open, 2);
    char* close = scan.Find(type, "】");
    if (!close) return 0;
    PageScan::Cut(close);
    SetField(record.type, type);
    char* url = QuotedHref(scan, scan.Skip(close, 2));
    if (!url) return 0;
    SetField(record.url, url);
    char* gt = scan.Find(AfterValue(url), ">");
    char* title_end = gt ? scan.Find(gt + 1, "<br>", "<BR>") : nullptr;
    if (!title_end) return 0;
    PageScan::Cut(title_end);
    SetCleanField(record.title, gt + 1);
    char* passed_over = scan.Find(scan.Skip(title_end, 4), "<br>", "<BR>");
    if (!passed_over) return 0;
    char* abstract = scan.Skip(passed_over, 4);
    char* abstract_end = scan.Find(abstract, "<br>", "<BR>");
    if (!abstract_end) return 0;
    PageScan::Cut(abstract_end);
    SetCleanField(record.abstract, abstract);
    char* size_line = scan.Skip(abstract_end, 4);
    char* size_end = scan.Find(size_line, "<br>", "<BR>");
    if (!size_end) return 0;
    PageScan::Cut(size_end);
    if (SizeFromLine(size_line, &record)) store->Add(record);
    from = scan.Skip(size_end, 4);
  }
  return 0;
}

int ParseSogouDoc(ResultStore<DocRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  if (char* anchor = scan.Find(page, "结果页码")) {
    std::string prefix = std::string("http://") + HostName(Site::kSogouWeb) + "/web";
    FindPrevNextLinks(anchor, prefix.c_str());
  }
  char* area = scan.Find(page, "搜索结果");
  if (!area) return -1;

  char* from = scan.Skip(area, 1);
  while (char* attr = scan.Find(from, "class=", "CLASS=")) {
    DocRecord record{};
    char* after = scan.Skip(attr, 6);
    from = after;
    if (PageScan::ClassValue(after, 20) != "ff") continue;
    char* href = scan.Find(after, kHrefQuote, kUpperHrefQuote);
    if (!href) return 0;
    char* url = href + 6;
    char* quote = std::strchr(url, '"');
    if (!quote) return 0;
    char* type = quote - url >= 3 ? quote - 3 : url;
    FitText(record.type, sizeof record.type, type, static_cast<size_t>(quote - type));
    PageScan::Cut(quote);
    SetField(record.url, url);
    char* gt = scan.Find(quote + 1, ">");
    char* title_end = gt ? scan.Find(gt + 1, "</a>", "</A>") : nullptr;
    if (!title_end) return 0;
    PageScan::Cut(title_end);
    SetCleanField(record.title, gt + 1);
    char* text_version = scan.Find(scan.Skip(title_end, 4), "文字版");
    if (!text_version) return 0;
    char* abstract = scan.Skip(text_version, std::strlen("文字版"));
    char* first_p = scan.Find(abstract, "</p>", "</P>");
    char* second_p = first_p ? scan.Find(scan.Skip(first_p, 4), "</p>", "</P>") : nullptr;
    if (!second_p) return 0;
    PageScan::Cut(second_p);
    SetCleanField(record.abstract, abstract);
    char* size = scan.Find(scan.Skip(second_p, 4), "</span", "</SPAN");
    char* size_end = size ? scan.Find(scan.Skip(size, 6), "</span", "</SPAN") : nullptr;
    if (!size_end) return 0;
    PageScan::Cut(size_end);
    SetCleanField(record.size_time, size);
    store->Add(record);
    from = scan.Skip(size_end, 6);
  }
  return 0;
}

int ParseGoogleDoc(ResultStore<DocRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  if (char* anchor = scan.Find(page, "结果页码")) {
    std::string prefix = std::string("http://") + HostName(Site::kGoogleChinaWeb);
    FindPrevNextLinks(anchor, prefix.c_str());
  }
  char* area = scan.Find(page, "查询结果");
  if (!area) return -1;

  char* from = scan.Skip(area, 1);
  while (char* attr = scan.Find(from, "class=", "CLASS=")) {
    DocRecord record{};
    char* after = scan.Skip(attr, 6);
    from = after;
    if (PageScan::ClassValue(after, 20) != "w") continue;
    char* bold = scan.Find(after, "<B>", "<b>");
    if (!bold) return 0;
    char* type = scan.Skip(bold, 4);
    char* bracket = scan.Find(type, "]");
    if (!bracket) return 0;
    PageScan::Cut(bracket);
    SetField(record.type, type);
    from = bracket + 1;
    char* url = QuotedHref(scan, from);
    if (!url) {
      if (!scan.Find(from, kHrefQuote, kUpperHrefQuote)) continue;
      return 0;  // a link without its closing quote
    }
    SetField(record.url, url);
    char* gt = scan.Find(AfterValue(url), ">");
    char* title_end = gt ? scan.Find(gt + 1, "</a>", "</A>") : nullptr;
    if (!title_end) return 0;
    PageScan::Cut(title_end);
    SetCleanField(record.title, gt + 1);
    char* line = scan.Find(scan.Skip(title_end, 4), "<br>", "<BR>");
    char* abstract = line ? scan.Skip(line, 4) : nullptr;
    char* abstract_end = abstract ? scan.Find(abstract, "<br>", "<BR>") : nullptr;
    if (!abstract_end) return 0;
    PageScan::Cut(abstract_end);
    SetCleanField(record.abstract, abstract);
    store->Add(record);
    from = scan.Skip(abstract_end, 4);
  }
  return 0;
}

const ChannelTexts& DocChannel::Texts() const { return kTexts; }

bool DocChannel::Accept(SearchForm& form, int engine, const SearchPorts& ports) {
  if (engine != kGoogleEngine || std::strcmp(DocTypeWord(form.file_type), "all") != 0) {
    return true;
  }
  ports.prompter->Ask(kGoogleDocRefusal, kGoogleDocRefusalCaption, PromptButtons::kOk);
  return false;
}

bool DocChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  std::string query;
  if (!EncodeForUrl(form.query, &query)) return false;
  const char* type = DocTypeWord(form.file_type);
  switch (engine) {
    case 0:
      *url = FormatUrl("http://%s/s?rn=100&tn=tavrelund_dg&wd=filetype%%3A%s+%s",
                       HostName(Site::kBaiduWeb), type, query.c_str());
      break;
    case 1:
      *url = FormatUrl("http://%s/web?query=filetype%%3A%s+%s&num=50", HostName(Site::kSogouWeb),
                       type, query.c_str());
      break;
    case kGoogleEngine:
      *url = FormatUrl("http://%s/search?num=50&complete=1&hl=zh-CN&q=filetype%%3A%s+%s&meta=",
                       HostName(Site::kGoogleChinaWeb), type, query.c_str());
      break;
    default:
      url->clear();
  }
  return true;
}

DocChannel::Parser DocChannel::ParserFor(int engine) const {
  switch (engine) {
    case 0:
      return ParseBaiduDoc;
    case 1:
      return ParseSogouDoc;
    case kGoogleEngine:
      return ParseGoogleDoc;
    default:
      return nullptr;
  }
}

void DocChannel::ShowRow(ResultPage& list, int row, DocRecord& record, int engine,
                         IconList* icons) const {
  LowerCaseInPlace(record.type);
  int image = icons ? AddTypeIcon(*icons, record.type) : -1;
  int at = list.InsertRow(row, record.title, image);
  list.SetCell(at, 1, record.type);
  list.SetCell(at, 2, record.url);
  list.SetCell(at, 3, engine == kGoogleEngine ? kGoogleNoSize : record.size_time);
  list.SetCell(at, 4, record.abstract);
}

void DocChannel::ShowNoResult(ResultPage& list) const {
  int at = list.InsertRow(0, "", -1);
  list.SetCell(at, 1, Texts().no_result_row);
}

}  // namespace jollix
