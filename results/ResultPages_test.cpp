#include "results/ResultPages.h"

#include <gtest/gtest.h>

#include <string>

namespace jollix {
namespace {

std::string Headers(int page) {
  std::string all;
  for (const ResultColumn& c : ResultPageColumns(page)) all += std::string(c.header) + "|";
  return all;
}

TEST(ResultPages, EveryPageHasItsTitleAndColumnCount) {
  struct Case {
    int page;
    const char* title;
    size_t columns;
  };
  const Case cases[] = {
      {0, "Jollix桌面搜索", 6}, {1, "百度网页", 3},
      {2, "Google网页", 3},     {3, "雅虎网页", 3},
      {4, "微软网页", 3},       {5, "百度新闻", 4},
      {6, "Google资讯", 4},     {7, "雅虎资讯", 4},
      {8, "百度文档", 5},       {9, "搜狗文档", 5},
      {10, "Google文档", 5},    {11, "百度MP3", 6},
      {12, "雅虎MP3", 6},       {13, "Google Scholar", 3},
      {14, "百度国学", 3},      {15, "搜狗成语", 1},
      {16, "百度词典", 1},      {17, "天空下载", 6},
      {18, "华军下载", 6},      {19, "新浪下载", 6},
      {20, "新浪天气", 1},      {21, "火车票网列车时刻表", 11},
      {22, "飞友网航班", 5},    {23, "酷讯二手火车票", 4},
      {24, "酷讯机票", 6},      {25, "手机之家", 1},
  };
  ASSERT_EQ(std::size(cases), static_cast<size_t>(kResultPageCount));
  for (const Case& c : cases) {
    EXPECT_STREQ(ResultPageTitle(c.page), c.title) << c.page;
    EXPECT_EQ(ResultPageColumns(c.page).size(), c.columns) << c.page;
  }
  EXPECT_EQ(ResultPageTitle(-1), nullptr);
  EXPECT_EQ(ResultPageTitle(26), nullptr);
  EXPECT_TRUE(ResultPageColumns(26).empty());
}

TEST(ResultPages, DesktopColumnsWithTheRightAlignedSizeAndHiddenType) {
  EXPECT_EQ(Headers(0), "名称|所在目录|大小|类型|最后修改时间|type|");
  const auto columns = ResultPageColumns(0);
  const double fractions[] = {0.25, 0.35, 0.13, 0.10, 0.20, 0};
  for (size_t i = 0; i < columns.size(); ++i) {
    EXPECT_DOUBLE_EQ(columns[i].fraction, fractions[i]) << i;
    EXPECT_EQ(columns[i].right_aligned, i == 2) << i;
  }
}

TEST(ResultPages, SharedLayoutsRepeatForTheirEngines) {
  for (int page : {2, 3, 4}) EXPECT_EQ(Headers(page), Headers(1));
  for (int page : {6, 7}) EXPECT_EQ(Headers(page), Headers(5));
  for (int page : {9, 10}) EXPECT_EQ(Headers(page), Headers(8));
  EXPECT_EQ(Headers(12), Headers(11));
  EXPECT_EQ(Headers(18), Headers(17));
  EXPECT_EQ(Headers(1), "标题|URL|摘要|");
  EXPECT_EQ(Headers(5), "标题|来源及发布时间|URL|摘要|");
  EXPECT_EQ(Headers(19), "软件名称|更新时间|软件基本信息|人气|软件下载URL|软件摘要|");
  EXPECT_EQ(Headers(21), "车次|出发站|出发时间|到达站|到达时间|耗时|里程|硬座|软座|硬卧|软卧|");
}

TEST(ResultPages, DocumentPagesInsertTheNameFirstAndTheTypeInFrontOfIt) {
  const auto inserts = ResultPageColumnInserts(8);
  ASSERT_GE(inserts.size(), 2u);
  EXPECT_STREQ(inserts[0].column.header, "文件名");
  EXPECT_EQ(inserts[0].at, 0);
  EXPECT_STREQ(inserts[1].column.header, "类型");
  EXPECT_EQ(inserts[1].at, 0);
  EXPECT_EQ(Headers(8), "类型|文件名|文档URL|文件大小、更新时间|摘要|");
  const auto columns = ResultPageColumns(8);
  EXPECT_DOUBLE_EQ(columns[0].fraction, 0.42);
  EXPECT_DOUBLE_EQ(columns[1].fraction, 0);
}

TEST(ResultPages, OnlyTheIdiomAndDictionaryPagesSpanTheirColumnAcrossTheLine) {
  for (int page = 0; page < kResultPageCount; ++page) {
    EXPECT_EQ(LineSpanningColumn(ResultPageColumns(page)), page == 15 || page == 16 ? 0 : -1)
        << page;
  }
}

TEST(ResultPages, HiddenColumnsHaveFractionZero) {
  EXPECT_DOUBLE_EQ(ResultPageColumns(15)[0].fraction, 0);
  EXPECT_DOUBLE_EQ(ResultPageColumns(16)[0].fraction, 0);
  EXPECT_DOUBLE_EQ(ResultPageColumns(11)[5].fraction, 0);
  EXPECT_DOUBLE_EQ(ResultPageColumns(25)[0].fraction, 1.0);
  for (int page = 0; page < kResultPageCount; ++page) {
    for (const ResultColumn& c : ResultPageColumns(page)) {
      EXPECT_GE(c.fraction, 0) << page;
      EXPECT_LE(c.fraction, 1) << page;
      EXPECT_EQ(c.right_aligned, page == 0 && std::string(c.header) == "大小") << page;
    }
  }
}

TEST(ResultPages, WidthIsTruncatedTowardZeroToSixteenBits) {
  struct Case {
    int client;
    double fraction;
    int width;
  };
  const Case cases[] = {
      {1000, 0.25, 250}, {999, 0.13, 129},  {801, 0.5, 400},
      {100, 0, 0},       {1000, 1.0, 1000}, {70000, 1.0, 70000 - 65536},
      {3, 0.33, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColumnWidth(c.client, c.fraction), c.width) << c.client << " " << c.fraction;
  }
}

}  // namespace
}  // namespace jollix
