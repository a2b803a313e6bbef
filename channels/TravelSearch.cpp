#include "channels/TravelSearch.h"

#include <cstring>
#include <iterator>
#include <string>

#include "channels/PageScan.h"
#include "channels/SiteHosts.h"
#include "channels/TableCells.h"
#include "web/HtmlText.h"

namespace jollix {
namespace {

enum Kind { kWeather = 0, kTrains = 1, kFlights = 2, kPhone = 3 };

constexpr size_t kPhoneDigits = 11;
constexpr int kTrainCells = 11;

const ChannelTexts kTexts = {
    "Jollix超级搜索---让天下没有难走的路！正在解析用户查询...",
    "Jollix超级搜索---让天下没有难走的路！正在获取结果页面...",
    "Jollix超级搜索---让天下没有难走的路！正在解析网页数据...",
    "没有找到符合条件的出行信息",
    "Jollix超级搜索----我搜索，我Jollix！",
    "Jollix超级搜索---让天下没有难走的路！Jollix一下，找到符合条件的信息 %d 条！",
};

bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Appends a text line: the bytes from from up to to.
void AddLine(ResultStore<TripRecord>* store, const char* from, const char* to) {
  TripRecord record{};
  FitText(record.text, sizeof record.text, from, static_cast<size_t>(to - from));
  store->Add(record);
}

void AddEmptyLine(ResultStore<TripRecord>* store) { AddLine(store, "", ""); }

// The first marker at or after from in a cleaned text, or null.
const char* FindIn(const char* from, const char* marker) { return std::strstr(from, marker); }

// The indices of a weather day, in page order; each line runs from one to the next.
constexpr const char* kWeatherIndices[] = {"风力",         "空气质量状况", "防晒措施", "舒适度状况",
                                           "穿衣指数说明", "空调开机状况", "洗车指数"};

// Reads the lines of one weather day of the cleaned text that ends at text_end, from its first
// word at day. The car-wash line runs to next_day ("明日", "后天"), which *next is set to; the
// third day (next_day null) ends it at "分区", or leaves it out. Returns 0 or the failure code.
int ReadWeatherDay(ResultStore<TripRecord>* store, const char* day, const char* text_end,
                   const char* next_day, const char** next) {
  const char* weekday = FindIn(day, "星期");
  if (!weekday) return -1;
  const char* first_end = weekday + 6;  // "星期" and the weekday's character
  AddLine(store, day, first_end < text_end ? first_end : text_end);
  const char* from = weekday + 7 < text_end ? weekday + 7 : text_end;
  const char* at = FindIn(from, kWeatherIndices[0]);
  if (!at) return -2;
  AddLine(store, from, at);
  for (size_t i = 1; i < std::size(kWeatherIndices); ++i) {
    const char* index = FindIn(at + std::strlen(kWeatherIndices[i - 1]), kWeatherIndices[i]);
    if (!index) return -3;
    AddLine(store, at, index);
    at = index;
  }
  const char* wash_end = FindIn(at, next_day ? next_day : "分区");
  if (next_day && !wash_end) return -3;
  if (wash_end) AddLine(store, at, wash_end);
  AddEmptyLine(store);
  if (next) *next = wash_end;
  return 0;
}

// A train row's cleaned text: carriage returns and blanks become "_", so that cells end with
// "_" where the page ended their line, and the cells are split at the remaining white space.
void ReadTrainRow(char* text, TripRecord* record) {
  for (char* p = text; *p; ++p) {
    if (*p == '\r' || *p == ' ') *p = '_';
  }
  TrainFields& t = record->train;
  struct Cell {
    char* field;
    size_t width;
  } cells[kTrainCells] = {
      {t.number, sizeof t.number},
      {t.departure_station, sizeof t.departure_station},
      {t.departure_time, sizeof t.departure_time},
      {t.arrival_station, sizeof t.arrival_station},
      {t.arrival_time, sizeof t.arrival_time},
      {t.travel_time, sizeof t.travel_time},
      {t.distance, sizeof t.distance},
      {t.hard_seat, sizeof t.hard_seat},
      {t.soft_seat, sizeof t.soft_seat},
      {t.hard_sleeper, sizeof t.hard_sleeper},
      {t.soft_sleeper, sizeof t.soft_sleeper},
  };
  const char* p = text;
  for (int i = 0; i < kTrainCells; ++i) {
    while (*p && IsAsciiSpace(*p)) ++p;
    const char* start = p;
    while (*p && !IsAsciiSpace(*p)) ++p;
    size_t length = static_cast<size_t>(p - start);
    // The "_" left by the line end; a cell without one (the last of its row) stays whole.
    if (i < kTrainCells - 1 && length > 0 && start[length - 1] == '_') --length;
    std::string cell(start, length);
    if (i >= kTrainCells - 4) cell += "元";
    FitText(cells[i].field, cells[i].width, cell.data(), cell.size());
  }
}

}  // namespace

bool CheckPhoneNumber(std::string* number) {
  size_t begin = 0;
  size_t end = number->size();
  while (begin < end && IsAsciiSpace((*number)[begin])) ++begin;
  while (end > begin && IsAsciiSpace((*number)[end - 1])) --end;
  *number = number->substr(begin, end - begin);
  if (number->size() != kPhoneDigits) return false;
  for (char c : *number) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int ParseWeather(ResultStore<TripRecord>* store, char* page) {
  PageScan scan(page);
  char* today = scan.Find(page, "今日");
  if (!today) return -1;
  // A page written in capitals ends the weather block at the first "</DIV" after the third
  // day's car-wash index; a page in lower case is left whole, its "分区" ending that day.
  char* third = scan.Find(today, "后天");
  char* wash = third ? scan.Find(third, "洗车指数") : nullptr;
  if (wash && !scan.Find(wash, "</div")) {
    if (char* block_end = scan.Find(wash, "</DIV")) PageScan::Cut(block_end);
  }
  CleanText text;
  if (CleanHtmlText(today, &text) != 0) return -1;
  const char* begin = text.get();
  const char* end = begin + std::strlen(begin);
  const char* day = begin;
  int result = ReadWeatherDay(store, day, end, "明日", &day);
  if (result == 0) result = ReadWeatherDay(store, day, end, "后天", &day);
  if (result == 0) result = ReadWeatherDay(store, day, end, nullptr, nullptr);
  return result;
}

int ParsePhoneRegion(ResultStore<TripRecord>* store, char* page) {
  PageScan scan(page);
  char* start = scan.Find(page, "在手机号码归属地查询系统");
  if (!start) return -1;
  if (char* tail = scan.Find(start, "如果您知道的手机号码")) PageScan::Cut(tail);
  CleanText text;
  if (CleanHtmlText(start, &text) != 0) return -1;
  struct Marker {
    const char* text;
    int missing;
  } markers[] = {
      {"号码段", -1}, {"归属地", -2}, {"卡类型", -3}, {"邮政编码", -3}, {"电话区号", -3}};
  const char* line = text.get();
  for (const Marker& m : markers) {
    const char* at = FindIn(line, m.text);
    if (!at) return m.missing;
    AddLine(store, line, at);
    line = at;
  }
  AddLine(store, line, line + std::strlen(line));
  return 0;
}

int ParseTrains(ResultStore<TripRecord>* store, char* page) {
  PageScan scan(page);
  char* distance = scan.Find(page, "里程");
  char* header_end = distance ? scan.Find(distance, "软卧") : nullptr;
  if (!header_end) return -1;
  char* table_end = FindTag(scan, header_end, kTableClose);
  if (!table_end) return -2;
  PageScan::Cut(table_end);
  char* from = header_end;
  while (char* row = FindTag(scan, from, kRowOpen)) {
    char* row_end;
    if (!TextUpTo(scan, row, kRowClose, &row_end)) return 0;
    CleanText text;
    if (CleanHtmlText(row, &text) != 0) return 0;
    TripRecord record{};
    ReadTrainRow(text.get(), &record);
    store->Add(record);
    from = scan.Skip(row_end, 1);
  }
  return 0;
}

int ParseFlights(ResultStore<TripRecord>* store, char* page) {
  PageScan scan(page);
  char* header_end = scan.Find(page, "班期");
  if (!header_end) return -1;
  char* from = header_end;
  while (char* row = FindTag(scan, from, {"<TR", "<tr"})) {
    TripRecord record{};
    FlightFields& f = record.flight;
    struct Cell {
      char* field;
      size_t width;
    } cells[] = {
        {f.number, sizeof f.number},       {f.aircraft, sizeof f.aircraft},
        {f.departure, sizeof f.departure}, {f.arrival, sizeof f.arrival},
        {f.days, sizeof f.days},
    };
    char* cell_from = row;
    for (const Cell& c : cells) {
      char* end;
      char* cell = NextCell(scan, cell_from, &end, kUpperCellOpen, kUpperCellClose);
      if (!cell) return 0;
      CleanInto(c.field, c.width, cell);
      cell_from = scan.Skip(end, 1);
    }
    store->Add(record);
    from = cell_from;
  }
  return 0;
}

const ChannelTexts& TravelChannel::Texts() const { return kTexts; }

int TravelChannel::Engine(const SearchForm& form, const ResultTabs& /*tabs*/) const {
  return form.tab;
}

int TravelChannel::ListPosition(int /*engine*/) const { return 0; }

bool TravelChannel::Accept(SearchForm& form, int engine, const SearchPorts& ports) {
  if (engine != kPhone || CheckPhoneNumber(&form.query)) return true;
  ports.prompter->Ask(kPhoneNumberError, kInputErrorCaption, PromptButtons::kOk);
  return false;
}

bool TravelChannel::BuildUrl(const SearchForm& form, int engine, std::string* url) const {
  std::string from, to;
  switch (engine) {
    case kWeather:
      if (!EncodeForUrl(form.query, &from)) return false;
      *url = FormatUrl("http://%s/search.php?city=%s", HostName(Site::kSinaWeather), from.c_str());
      return true;
    case kTrains:
      if (!EncodeForUrl(form.query, &from) || !EncodeForUrl(form.second_query, &to)) return false;
      *url = FormatUrl("http://%s/chaxun/result.asp?txtChuFa=%s&txtDaoDa=%s&submit.x=31&submit.y=9",
                       HostName(Site::kTrainSearch), from.c_str(), to.c_str());
      return true;
    case kFlights:  // the cities as typed
      if (!FitsQueryBuffer(form.query) || !FitsQueryBuffer(form.second_query)) return false;
      *url = FormatUrl("http://%s/cgi-bin/flight/searchapi.cgi?org=%s&dst=%s",
                       HostName(Site::kAviation), form.query.c_str(), form.second_query.c_str());
      return true;
    case kPhone:  // checked: eleven digits
      *url = FormatUrl("http://%s/search2005.php?from=tavrelund&searchkeyword=%s",
                       HostName(Site::kPhoneRegion), form.query.c_str());
      return true;
    default:
      url->clear();
      return true;
  }
}

TravelChannel::Parser TravelChannel::ParserFor(int engine) const {
  switch (engine) {
    case kWeather:
      return ParseWeather;
    case kTrains:
      return ParseTrains;
    case kFlights:
      return ParseFlights;
    case kPhone:
      return ParsePhoneRegion;
    default:
      return nullptr;
  }
}

void TravelChannel::ShowRow(ResultPage& list, int row, TripRecord& record, int engine,
                            IconList* /*icons*/) const {
  if (engine == kTrains) {
    const TrainFields& t = record.train;
    const char* columns[] = {t.number,          t.departure_station, t.departure_time,
                             t.arrival_station, t.arrival_time,      t.travel_time,
                             t.distance,        t.hard_seat,         t.soft_seat,
                             t.hard_sleeper,    t.soft_sleeper};
    int at = list.InsertRow(row, columns[0], -1);
    for (int c = 1; c < kTrainCells; ++c) list.SetCell(at, c, columns[c]);
  } else if (engine == kFlights) {
    const FlightFields& f = record.flight;
    int at = list.InsertRow(row, f.number, -1);
    list.SetCell(at, 1, f.aircraft);
    list.SetCell(at, 2, f.departure);
    list.SetCell(at, 3, f.arrival);
    list.SetCell(at, 4, f.days);
  } else {
    list.InsertRow(row, record.text, -1);
  }
}

}  // namespace jollix
