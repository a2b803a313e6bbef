#include "results/ResultPages.h"

#include <cstddef>
#include <cstdint>

namespace jollix {
namespace {

using Columns = std::vector<ColumnInsert>;

// Columns appended left to right.
Columns Appended(std::initializer_list<ResultColumn> columns) {
  Columns inserts;
  for (const ResultColumn& c : columns) inserts.push_back({static_cast<int>(inserts.size()), c});
  return inserts;
}

Columns DesktopColumns() {
  return Appended({{"名称", 0.25},
                   {"所在目录", 0.35},
                   {"大小", 0.13, true},
                   {"类型", 0.10},
                   {"最后修改时间", 0.20},
                   {"type", 0}});
}

Columns WebColumns() { return Appended({{"标题", 0.5}, {"URL", 0.5}, {"摘要", 0}}); }

Columns NewsColumns() {
  return Appended({{"标题", 0.6}, {"来源及发布时间", 0.4}, {"URL", 0}, {"摘要", 0}});
}

Columns DocumentColumns() {
  return {{0, {"文件名", 0}},
          {0, {"类型", 0.42}},
          {2, {"文档URL", 0.33}},
          {3, {"文件大小、更新时间", 0.2}},
          {4, {"摘要", 0}}};
}

Columns MusicColumns() {
  return Appended({{"歌曲名", 0.2},
                   {"歌手名", 0.2},
                   {"专辑名", 0.2},
                   {"大小", 0.2},
                   {"格式", 0.2},
                   {"URL", 0}});
}

Columns SoftwareColumns() {
  return Appended({{"软件名称", 0.6},
                   {"更新时间", 0.1},
                   {"软件大小", 0.1},
                   {"人气", 0.1},
                   {"软件下载URL", 0},
                   {"软件摘要", 0}});
}

Columns TrainColumns() {
  return Appended({{"车次", 0.1},
                   {"出发站", 0.08},
                   {"出发时间", 0.08},
                   {"到达站", 0.08},
                   {"到达时间", 0.08},
                   {"耗时", 0.12},
                   {"里程", 0.08},
                   {"硬座", 0.1},
                   {"软座", 0.08},
                   {"硬卧", 0.08},
                   {"软卧", 0.08}});
}

constexpr const char* kTitles[kResultPageCount] = {"Jollix桌面搜索", "百度网页",
                                                   "Google网页",     "雅虎网页",
                                                   "微软网页",       "百度新闻",
                                                   "Google资讯",     "雅虎资讯",
                                                   "百度文档",       "搜狗文档",
                                                   "Google文档",     "百度MP3",
                                                   "雅虎MP3",        "Google Scholar",
                                                   "百度国学",       "搜狗成语",
                                                   "百度词典",       "天空下载",
                                                   "华军下载",       "新浪下载",
                                                   "新浪天气",       "火车票网列车时刻表",
                                                   "飞友网航班",     "酷讯二手火车票",
                                                   "酷讯机票",       "手机之家"};

}  // namespace

const char* ResultPageTitle(int page) {
  return page >= 0 && page < kResultPageCount ? kTitles[page] : nullptr;
}

std::vector<ColumnInsert> ResultPageColumnInserts(int page) {
  switch (page) {
    case 0:
      return DesktopColumns();
    case 1:
    case 2:
    case 3:
    case 4:
      return WebColumns();
    case 5:
    case 6:
    case 7:
      return NewsColumns();
    case 8:
    case 9:
    case 10:
      return DocumentColumns();
    case 11:
    case 12:
      return MusicColumns();
    case 13:
      return Appended({{"论文标题", 0.1}, {"发表时间", 0.8}, {"发表刊物", 0.1}});
    case 14:
      return Appended({{"标题", 0.5}, {"书籍URL", 0.5}, {"摘要", 0}});
    case 15:
      return Appended({{"成语查询结果", 0}});
    case 16:
      return Appended({{"词语详细注释", 0}});
    case 17:
    case 18:
      return SoftwareColumns();
    case 19:
      return Appended({{"软件名称", 0.4},
                       {"更新时间", 0.1},
                       {"软件基本信息", 0.35},
                       {"人气", 0.15},
                       {"软件下载URL", 0},
                       {"软件摘要", 0}});
    case 20:
      return Appended({{"城市天气状况及各指数", 0.9}});
    case 21:
      return TrainColumns();
    case 22:
      return Appended({{"航班号", 0.2},
                       {"机型", 0.2},
                       {"起飞机场及时间", 0.2},
                       {"到达机场及时间", 0.2},
                       {"班期", 0.2}});
    case 23:
      return Appended({{"标题", 0.6}, {"发车时间", 0.1}, {"联系方式", 0.1}, {"更新时间", 0.1}});
    case 24:
      return Appended({{"航班号", 0.1},
                       {"航空公司", 0.2},
                       {"起降机场", 0.2},
                       {"起降时间", 0.2},
                       {"机型", 0.1},
                       {"票价", 0.1}});
    case 25:
      return Appended({{"手机归属地信息", 1.0}});
    default:
      return {};
  }
}

std::vector<ResultColumn> ResultPageColumns(int page) {
  std::vector<ResultColumn> columns;
  for (const ColumnInsert& insert : ResultPageColumnInserts(page)) {
    const size_t at = insert.at < 0 ? 0 : static_cast<size_t>(insert.at);
    columns.insert(columns.begin() + static_cast<long>(at < columns.size() ? at : columns.size()),
                   insert.column);
  }
  return columns;
}

int LineSpanningColumn(const std::vector<ResultColumn>& columns) {
  if (columns.empty()) return -1;
  for (const ResultColumn& column : columns) {
    if (column.fraction != 0) return -1;
  }
  return 0;
}

int ColumnWidth(int client_width, double fraction) {
  const auto width = static_cast<int64_t>(client_width * fraction);  // truncates toward zero
  return static_cast<int>(static_cast<uint16_t>(width & 0xFFFF));
}

}  // namespace jollix
