#include "channels/SoftwareSearch.h"

#include <string>

#include "channels/PageLink.h"
#include "channels/PageScan.h"
#include "channels/SiteHosts.h"
#include "channels/TableCells.h"

namespace jollix {
namespace {

constexpr size_t kTableTagLength = 6;  // "<table"
constexpr size_t kLabelSkip = 9;       // a four-character label and the byte after it

const ChannelTexts kTexts = {
    "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！正在解析用户查询...",
    "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！正在获取网页数据...",
    "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！正在解析网页数据...",
    "没有找到符合条件的软件",
    "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！没有找到符合条件的软件",
    "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！Jollix一下，找到软件 "
    "%d "
    "个！",
};

// Fills the page links from the software form of their links, searched in text.
void FindLinks(const char* text, const std::string& prefix) {
  FindSoftwarePageLink(text, "上一页", prefix.c_str(), PrevPageLink);
  FindSoftwarePageLink(text, "下一页", prefix.c_str(), NextPageLink);
}

// The next table cell after *end, cleaned into field; *end moves to the cell's end.
template <size_t N>
bool ReadCell(const PageScan& scan, char** end, char (&field)[N]) {
  char* cell = NextCell(scan, scan.Skip(*end, 1), end);
  if (!cell) return false;
  SetCleanField(field, cell);
  return true;
}

// The text from skip bytes after label up to the end of its cell, cleaned into field.
template <size_t N>
bool ReadLabelled(const PageScan& scan, char** end, const char* label, char (&field)[N]) {
  char* at = scan.Find(scan.Skip(*end, 1), label);
  char* text = at ? TextUpTo(scan, scan.Skip(at, kLabelSkip), kCellClose, end) : nullptr;
  if (!text) return false;
  SetCleanField(field, text);
  return true;
}

// Reads one Skycn program at the scan position from; returns the next scan position, or null
// when the parse ends (the program is then not kept).
char* ReadSkycnProgram(const PageScan& scan, char* from, SoftwareRecord* record) {
  if (!FindTag(scan, from, kTableOpen)) return nullptr;
  char* end;
  char* link = QuotedLink(scan, from, &end);
  if (!link) return nullptr;
  SetField(record->url, (std::string(HostName(Site::kSkycnSite)) + "/" + link).c_str());
  char* gt = scan.Find(scan.Skip(end, 1), ">");
  char* name = gt ? TextUpTo(scan, gt + 1, TagPair{"</a>", "</A>"}, &end) : nullptr;
  if (!name) return nullptr;
  SetCleanField(record->name, name);
  if (!ReadCell(scan, &end, record->time) || !ReadCell(scan, &end, record->size) ||
      !ReadCell(scan, &end, record->popularity)) {
    return nullptr;
  }
  char* summary = NextCell(scan, scan.Skip(end, 1), &end, kTableOpen, kTableClose);
  if (!summary) return nullptr;
  SetCleanField(record->summary, summary);
  char* next = FindTag(scan, scan.Skip(end, 1), kTableOpen);
  return next ? scan.Skip(next, kTableTagLength) : nullptr;
}

// The start of a Newhua or Sina program: the next table after from and its link, which is the
// program's url. Returns the link's end, or null.
char* ReadProgramLink(const PageScan& scan, char* from, SoftwareRecord* record) {
  char* table = FindTag(scan, from, kTableOpen);
  char* end;
  char* link = table ? QuotedLink(scan, scan.Skip(table, 1), &end) : nullptr;
  if (!link) return nullptr;
  SetField(record->url, link);
  return end;
}

char* ReadNewhuaProgram(const PageScan& scan, char* from, SoftwareRecord* record) {
  char* end = ReadProgramLink(scan, from, record);
  char* gt = end ? scan.Find(scan.Skip(end, 1), ">") : nullptr;
  char* name = gt ? TextUpTo(scan, gt + 1, kCellClose, &end) : nullptr;
  if (!name) return nullptr;
  SetCleanField(record->name, name);
  if (!ReadCell(scan, &end, record->time) || !ReadCell(scan, &end, record->popularity) ||
      !ReadCell(scan, &end, record->size)) {
    return nullptr;
  }
  char* summary = scan.Find(scan.Skip(end, 1), "描述");
  if (!summary || !TextUpTo(scan, summary, kCellClose, &end)) return nullptr;
  SetCleanField(record->summary, summary);
  return scan.Skip(end, 1);
}

char* ReadSinaProgram(const PageScan& scan, char* from, SoftwareRecord* record) {
  char* end = ReadProgramLink(scan, from, record);
  char* gt = end ? scan.Find(scan.Skip(end, 1), ">") : nullptr;
  char* name = gt ? TextUpTo(scan, gt + 1, "查看截图", &end) : nullptr;
  if (!name) return nullptr;
  SetCleanField(record->name, name);
  if (!ReadLabelled(scan, &end, "更新日期", record->time) ||
      !ReadCell(scan, &end, record->summary)) {
    return nullptr;
  }
  char* info = FindTag(scan, scan.Skip(end, 1), kCellOpen);
  if (!info || !TextUpTo(scan, info, "星级", &end)) return nullptr;
  SetCleanField(record->size, info);
  if (!ReadLabelled(scan, &end, "下载次数", record->popularity)) return nullptr;
  return scan.Skip(end, 1);
}

using ReadProgram = char* (*)(const PageScan& scan, char* from, SoftwareRecord* record);

// Reads programs from from on until a pass ends; read says whether a program is kept.
void ReadPrograms(ResultStore<SoftwareRecord>* store, const PageScan& scan, char* from,
                  ReadProgram read) {
  while (from) {
    SoftwareRecord record{};
    from = read(scan, from, &record);
    if (from) store->Add(record);
  }
}

}  // namespace

int ParseSkycn(ResultStore<SoftwareRecord>* store, char* page) {
  PageScan scan(page);
  char* header = scan.Find(page, "人气");
  if (!header) return -1;
  char* cut = scan.Find(page, "搜索结果|共");
  if (!cut) return -2;
  PageScan::Cut(cut);
  ClearPageLinks();
  FindLinks(scan.Skip(cut, 1),
            std::string("http://") + HostName(Site::kSkycnSearch) + "/search.php");
  char* table = FindTag(scan, header, kTableOpen);
  if (!table) return -1;
  ReadPrograms(store, scan, scan.Skip(table, 5), ReadSkycnProgram);
  return 0;
}

int ParseNewhua(ResultStore<SoftwareRecord>* store, char* page) {
  PageScan scan(page);
  char* header = scan.Find(page, "文件大小");
  if (!header) return -1;
  char* cut = scan.Find(header, "搜索结果 『共");
  if (!cut) return -2;
  PageScan::Cut(cut);
  ClearPageLinks();
  FindLinks(scan.Skip(cut, 1),
            std::string("http://") + HostName(Site::kNewhuaSearch) + "/search.asp");
  ReadPrograms(store, scan, header, ReadNewhuaProgram);
  return 0;
}

int ParseSinaDownload(ResultStore<SoftwareRecord>* store, char* page) {
  PageScan scan(page);
  char* first = scan.Find(page, "按更新时间排序");
  if (!first) return -2;
  ClearPageLinks();
  FindSoftwarePageLink(page, "上一页", "", PrevPageLink);
  const char* next_link_end = FindSoftwarePageLink(page, "下一页", "", NextPageLink);
  const char* from = scan.Skip(next_link_end ? next_link_end : first, 1);
  char* area = scan.Find(from, "按更新时间排序");
  if (!area) return -1;
  ReadPrograms(store, scan, area, ReadSinaProgram);
  return 0;
}

const ChannelTexts& SoftwareChannel::Texts() const { return kTexts; }

bool SoftwareChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  if (engine == 1) {  // the query as typed
    if (!FitsQueryBuffer(form.query)) return false;
    *url = FormatUrl("http://%s/search.asp?Keyword=%s", HostName(Site::kNewhuaSearch),
                     form.query.c_str());
    return true;
  }
  std::string query;
  if (!EncodeForUrl(form.query, &query)) return false;
  switch (engine) {
    case 0:
      *url =
          FormatUrl("http://%s/search.php?ss_name=%s", HostName(Site::kSkycnSite), query.c_str());
      break;
    case 2:
      *url = FormatUrl("http://%s/download/d_search.php?f_name=%s", HostName(Site::kSinaTech),
                       query.c_str());
      break;
    default:
      url->clear();
  }
  return true;
}

SoftwareChannel::Parser SoftwareChannel::ParserFor(int engine) const {
  switch (engine) {
    case 0:
      return ParseSkycn;
    case 1:
      return ParseNewhua;
    case 2:
      return ParseSinaDownload;
    default:
      return nullptr;
  }
}

void SoftwareChannel::ShowRow(ResultPage& list, int row, SoftwareRecord& record, int /*engine*/,
                              IconList* /*icons*/) const {
  int at = list.InsertRow(row, record.name, -1);
  list.SetCell(at, 1, record.time);
  list.SetCell(at, 2, record.size);
  list.SetCell(at, 3, record.popularity);
  list.SetCell(at, 4, record.url);
  list.SetCell(at, 5, record.summary);
}

}  // namespace jollix
