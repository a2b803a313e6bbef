#include "channels/EducationSearch.h"

#include <cstring>
#include <string>

#include "channels/PageLink.h"
#include "channels/PageScan.h"
#include "channels/SiteHosts.h"
#include "channels/TableCells.h"
#include "web/HtmlText.h"

namespace jollix {
namespace {

enum Source { kScholar = 0, kClassics = 1, kIdioms = 2, kDictionary = 3 };

constexpr size_t kClassLength = 6;  // "class="
constexpr size_t kBreakLength = 4;  // "<br>"
constexpr char kNoDownloadLink[] = "没有找到下载链接";
constexpr char kUnknownCitations[] = "未知";

const ChannelTexts kTexts = {
    "Jollix超级搜索---让天下最好的老师都在您的身边！正在解析用户查询...",
    "Jollix超级搜索---让天下最好的老师都在您的身边！正在获取网页数据...",
    "Jollix超级搜索---让天下最好的老师都在您的身边！正在解析网页数据...",
    "没有找到符合条件的信息",
    "Jollix超级搜索---让天下最好的老师都在您的身边！没有找到符合条件的信息",
    "Jollix超级搜索---让天下最好的老师都在您的身边！找到符合条件的信息 %d 条！",
};

// The next class attribute at or after from whose value, read up to max_length letters and
// digits, is value; null when none.
char* FindClass(const PageScan& scan, const char* from, const char* value, size_t max_length) {
  while (char* attr = scan.Find(from, "class=", "CLASS=")) {
    from = scan.Skip(attr, kClassLength);
    if (PageScan::ClassValue(from, max_length) == value) return attr;
  }
  return nullptr;
}

// The byte after the character at p (a lead byte and its trail byte are one character).
char* NextChar(char* p) {
  if (!*p) return p;
  return p + ((static_cast<unsigned char>(*p) >= 0x81 && p[1]) ? 2 : 1);
}

// The first whole GBK character ch (two bytes) at or after from, stepping by characters, so a
// trail byte and the next lead byte are never taken for it.
char* FindDoubleByteChar(char* from, const char* ch) {
  for (char* p = from; *p; p = NextChar(p)) {
    if (p[0] == ch[0] && p[1] == ch[1]) return p;
  }
  return nullptr;
}

// Appends a record whose title is the bytes from from up to to.
void AddTitle(ResultStore<EducationRecord>* store, const char* from, const char* to) {
  EducationRecord record{};
  FitText(record.title, sizeof record.title, from, static_cast<size_t>(to - from));
  store->Add(record);
}

// Reads one scholar result whose class attribute ends at after; returns where the search goes
// on, and sets *keep when the record is complete.
char* ReadScholarResult(const PageScan& scan, char* after, EducationRecord* record, bool* keep) {
  *keep = false;
  char* line_end = scan.Find(after, "<br>", "<BR>");
  if (!line_end) return after;
  PageScan::Cut(line_end);
  char* link_end;
  char* title_from = after;
  if (char* link = QuotedLink(scan, after, &link_end)) {
    SetField(record->url, link);
    title_from = scan.Skip(link_end, 1);
  } else {
    SetField(record->url, kNoDownloadLink);
  }
  if (char* gt = scan.Find(title_from, ">")) SetCleanField(record->title, gt + 1);

  char* abstract = scan.Skip(line_end, kBreakLength);
  char* attr = scan.Find(abstract, "class=", "CLASS=");
  if (attr && PageScan::ClassValue(scan.Skip(attr, kClassLength), 10) == "a") {
    char* gt = scan.Find(attr, ">");
    char* source_end = gt ? scan.Find(gt + 1, "<br>", "<BR>") : nullptr;
    if (source_end) {
      PageScan::Cut(source_end);
      SetCleanField(record->source, gt + 1);
      abstract = scan.Skip(source_end, kBreakLength);
    }
  }
  // The abstract ends at the citation count; one that lies in a later result is not this one's.
  char* cited = scan.Find(abstract, "被引用次数");
  char* next_result = FindClass(scan, abstract, "g", 25);
  if (!cited || (next_result && next_result < cited)) return abstract;
  PageScan::Cut(cited);
  SetCleanField(record->abstract, abstract);
  char* count = scan.Find(scan.Skip(cited, 1), "用次数");
  if (!count) {
    SetField(record->citations, kUnknownCitations);
    *keep = true;
    return scan.Skip(cited, 1);
  }
  count = scan.Skip(count, std::strlen("用次数"));
  char* count_end = count + std::strcspn(count, "<");
  FitText(record->citations, sizeof record->citations, count,
          static_cast<size_t>(count_end - count));
  *keep = true;
  return count_end;
}

}  // namespace

int ParseScholar(ResultStore<EducationRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  char* area = scan.Find(page, "查询结果");
  if (!area) return -1;
  char* from = scan.Skip(area, std::strlen("查询结果"));
  while (char* attr = FindClass(scan, from, "g", 25)) {
    EducationRecord record{};
    bool keep;
    from = ReadScholarResult(scan, scan.Skip(attr, kClassLength), &record, &keep);
    if (keep) store->Add(record);
  }
  return 0;
}

int ParseClassics(ResultStore<EducationRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  std::string prefix = std::string("http://") + HostName(Site::kBaiduClassics) + "/";
  FindPrevNextLinks(page, prefix.c_str());
  char* area = scan.Find(page, "百度一下");
  char* attr = area ? scan.Find(area, "class=", "CLASS=") : nullptr;
  if (!attr) return -1;
  char* from = scan.Skip(attr, kClassLength);
  while (true) {
    EducationRecord record{};
    char* block_end;
    char* block = NextCell(scan, from, &block_end, kTableOpen, kTableClose);
    if (!block) return 0;
    char* link_end;
    char* link = QuotedLink(scan, block, &link_end);
    if (!link) return 0;
    SetField(record.url, link);
    char* gt = scan.Find(scan.Skip(link_end, 1), ">");
    char* title_end;
    if (!gt || !TextUpTo(scan, gt + 1, TagPair{"<br>", "<BR>"}, &title_end)) return 0;
    SetCleanField(record.title, gt + 1);
    char* abstract = scan.Skip(title_end, kBreakLength);
    char* abstract_end;
    if (!TextUpTo(scan, abstract, TagPair{"<br>", "<BR>"}, &abstract_end)) return 0;
    SetCleanField(record.abstract, abstract);
    store->Add(record);
    from = scan.Skip(block_end, 1);
  }
}

int ParseIdioms(ResultStore<EducationRecord>* store, char* page) {
  PageScan scan(page);
  char* area = scan.Find(page, "成语查询结果");
  char* gt = area ? scan.Find(area, ">") : nullptr;
  if (!gt) return -1;
  CleanText text;
  if (CleanHtmlText(gt + 1, &text) != 0) return -1;
  static const char kClose[] = "】";
  static const char kOpen[] = "【";
  char* p = text.get();
  while ((p = FindDoubleByteChar(p, kClose))) {
    p[0] = p[1] = '-';
    p += 2;
  }
  char* item = text.get();
  while (true) {
    // From the item's second character on, so that a leading "【" starts no empty item.
    char* open = FindDoubleByteChar(NextChar(item), kOpen);
    if (!open) break;
    AddTitle(store, item, open);
    item = open + 2;
  }
  AddTitle(store, item, item + std::strlen(item));
  return 0;
}

int ParseDictionary(ResultStore<EducationRecord>* store, char* page) {
  PageScan scan(page);
  char* area = scan.Find(page, "把百度设为首页");
  char* gt = area ? scan.Find(area, ">") : nullptr;
  if (!gt) return -1;
  if (char* provider = scan.Find(gt + 1, "提供")) {
    PageScan::Cut(scan.Skip(provider, std::strlen("提供")));
  }
  CleanText text;
  if (CleanHtmlText(gt + 1, &text) != 0) return -1;
  const char* begin = text.get();
  const char* item = begin;
  for (const char* p = begin; *p; ++p) {
    // A digit is never the trail byte of a GBK character, so p[-1] is a digit of the text.
    if (*p == '.' && p > begin && p[-1] >= '0' && p[-1] <= '9') {
      AddTitle(store, item, p - 1);
      item = p - 1;
    }
  }
  AddTitle(store, item, item + std::strlen(item));
  return 0;
}

const ChannelTexts& EducationChannel::Texts() const { return kTexts; }

int EducationChannel::Engine(const SearchForm& form, const ResultTabs& /*tabs*/) const {
  return form.tab;
}

int EducationChannel::ListPosition(int /*engine*/) const { return 0; }

bool EducationChannel::OpensInBrowser(int engine) const { return engine == kScholar; }

bool EducationChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  std::string query;
  if (!EncodeForUrl(form.query, &query)) return false;
  const char* q = query.c_str();
  switch (engine) {
    case kScholar:
      *url = FormatUrl("http://%s/scholar?q=%s&ie=gb2312", HostName(Site::kGoogleScholar), q);
      break;
    case kClassics: {
      const char* host = HostName(Site::kBaiduClassics);
      *url = FormatUrl("http://%s/s?tn=baiduguoxue&ie=gb2312&bs=%s&cl=3&si=%s&wd=%s&ct=2097152",
                       host, q, host, q);
      break;
    }
    case kIdioms:
      *url = FormatUrl("http://%s/features/idiom.jsp?query=%s", HostName(Site::kSogouWeb), q);
      break;
    case kDictionary:
      *url = FormatUrl("http://%s/s?tn=tavrelund_dg&wd=%s&ct=1048576&ie=gb2312",
                       HostName(Site::kBaiduWeb), q);
      break;
    default:
      url->clear();
  }
  return true;
}

EducationChannel::Parser EducationChannel::ParserFor(int engine) const {
  switch (engine) {
    case kScholar:
      return ParseScholar;
    case kClassics:
      return ParseClassics;
    case kIdioms:
      return ParseIdioms;
    case kDictionary:
      return ParseDictionary;
    default:
      return nullptr;
  }
}

void EducationChannel::ShowRow(ResultPage& list, int row, EducationRecord& record, int /*engine*/,
                               IconList* /*icons*/) const {
  int at = list.InsertRow(row, record.title, -1);
  list.SetCell(at, 1, record.url);
  list.SetCell(at, 2, record.abstract);
}

}  // namespace jollix
