#include "channels/MusicSearch.h"

#include <cstring>
#include <string>

#include "channels/PageLink.h"
#include "channels/PageScan.h"
#include "channels/SiteHosts.h"
#include "channels/TableCells.h"
#include "channels/TypeIcon.h"

namespace jollix {
namespace {

constexpr size_t kEndCellLength = 5;  // "</td>"

const ChannelTexts kTexts = {
    "Jollix超级搜索---天下音乐一网打尽！正在解析用户查询...",
    "Jollix超级搜索---天下音乐一网打尽，正在获取网页数据...",
    "Jollix超级搜索---天下音乐一网打尽！正在解析网页数据...",
    "没有找到符合条件的音乐",
    "Jollix超级搜索---天下音乐一网打尽！没有找到符合条件的音乐",
    "Jollix超级搜索---天下音乐一网打尽！Jollix一下，找到符合条件的音乐 %d  首！",
};

// The Yahoo music value of a format choice ("wms" stands for wma there).
const char* YahooMimeType(int format) {
  switch (format) {
    case 0:
      return "mp3";
    case 1:
      return "rm";
    case 2:
      return "wms";
    default:
      return "all";
  }
}

// A Baidu cell: from from to the earlier of "</td>" and "</TD>", cleaned into field. Returns
// the byte after the end tag, or null when no end tag follows.
template <size_t N>
char* BaiduCell(const PageScan& scan, char* from, char (&field)[N]) {
  char* end = scan.FindEarlier(from, "</td>", "</TD>");
  if (!end) return nullptr;
  PageScan::Cut(end);
  SetCleanField(field, from);
  return scan.Skip(end, kEndCellLength);
}

// Reads one song from the link at or after from; returns where the next one is searched, or
// null when a marker is missing.
char* ReadBaiduSong(const PageScan& scan, char* from, MusicRecord* record) {
  char* end;
  char* url = QuotedLink(scan, from, &end);
  if (!url) return nullptr;
  SetField(record->url, url);
  char* gt = scan.Find(scan.Skip(end, 1), ">");
  if (!gt) return nullptr;
  char* next = BaiduCell(scan, gt + 1, record->title);
  if (next) next = BaiduCell(scan, next, record->singer);
  if (next) next = BaiduCell(scan, next, record->album);
  char* ringtone = scan.Find(next, "铃声");
  char* ringtone_end = ringtone ? scan.FindEarlier(ringtone, "</td>", "</TD>") : nullptr;
  if (!ringtone_end) return nullptr;
  next = BaiduCell(scan, scan.Skip(ringtone_end, kEndCellLength), record->size);
  if (next) next = BaiduCell(scan, next, record->format);
  return next;
}

// Reads one Yahoo song from the link at or after from; returns where the next one is searched,
// or null when a marker is missing.
char* ReadYahooSong(const PageScan& scan, char* from, MusicRecord* record) {
  char* href = scan.Find(from, "href=", "HREF=");
  if (!href) return nullptr;
  char* url = PageScan::CutQuoted(scan.Skip(href, 6));  // the attribute and its opening quote
  if (!url) return nullptr;
  SetField(record->url, url);
  char* end = url + std::strlen(url);
  struct Labelled {
    const char* marker;
    char* field;
    size_t width;
  } texts[] = {
      {"点击查看下载链接", record->title, sizeof record->title},
      {"按歌手搜索", record->singer, sizeof record->singer},
      {"按专辑搜索", record->album, sizeof record->album},
  };
  for (const Labelled& t : texts) {
    char* text = LinkTextAfter(scan, scan.Skip(end, 1), t.marker, std::strlen(t.marker), &end);
    if (!text) return nullptr;
    CleanInto(t.field, t.width, text);
  }
  char* lyrics = scan.Find(scan.Skip(end, 1), "歌词");
  if (!lyrics) return nullptr;
  char* format = NextCell(scan, scan.Skip(lyrics, 8), &end);
  if (!format) return nullptr;
  SetCleanField(record->format, format);
  char* size = NextCell(scan, scan.Skip(end, 1), &end);
  if (!size) return nullptr;
  SetCleanField(record->size, size);
  return scan.Skip(end, 1);
}

}  // namespace

int ParseBaiduMp3(ResultStore<MusicRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  FindPrevNextLinks(page, "");

  char* header = scan.Find(page, "链接速度");
  if (!header) return -1;
  char* table_end = scan.Find(header, "</table", "</TABLE");
  if (!table_end) return -1;
  PageScan::Cut(table_end);
  for (char* from = header; from;) {
    MusicRecord record{};
    from = ReadBaiduSong(scan, from, &record);
    if (from) store->Add(record);
  }
  return 0;
}

int ParseYahooMusic(ResultStore<MusicRecord>* store, char* page) {
  PageScan scan(page);
  ClearPageLinks();
  std::string prefix = std::string("http://") + HostName(Site::kYahooChinaMusic) + "/";
  FindPrevNextLinks(page, prefix.c_str());

  char* area = scan.Find(page, "连通率");
  char* attr = area ? scan.Find(area, "class=", "CLASS=") : nullptr;
  if (!attr) return -1;
  for (char* from = scan.Skip(attr, 1); from;) {
    MusicRecord record{};
    from = ReadYahooSong(scan, from, &record);
    if (from) store->Add(record);
  }
  return 0;
}

const ChannelTexts& MusicChannel::Texts() const { return kTexts; }

bool MusicChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  std::string query;
  if (!EncodeForUrl(form.query, &query)) return false;
  switch (engine) {
    case 0:
      *url =
          FormatUrl("http://%s/m?f=ms&rn=&tn=baidump3&ct=134217728&word=%s&lm=%d&cb=tavrelund_dg",
                    HostName(Site::kBaiduMp3), query.c_str(), form.format);
      break;
    case 1:
      *url = FormatUrl("http://%s/search?p=%s&mimetype=%s", HostName(Site::kYahooChinaMusic),
                       query.c_str(), YahooMimeType(form.format));
      break;
    default:
      url->clear();
  }
  return true;
}

MusicChannel::Parser MusicChannel::ParserFor(int engine) const {
  switch (engine) {
    case 0:
      return ParseBaiduMp3;
    case 1:
      return ParseYahooMusic;
    default:
      return nullptr;
  }
}

void MusicChannel::ShowRow(ResultPage& list, int row, MusicRecord& record, int /*engine*/,
                           IconList* icons) const {
  LowerCaseInPlace(record.format);
  int image = icons ? AddTypeIcon(*icons, record.format) : -1;
  int at = list.InsertRow(row, record.title, image);
  list.SetCell(at, 1, record.singer);
  list.SetCell(at, 2, record.album);
  list.SetCell(at, 3, record.size);
  list.SetCell(at, 4, record.format);
  list.SetCell(at, 5, record.url);
}

}  // namespace jollix
