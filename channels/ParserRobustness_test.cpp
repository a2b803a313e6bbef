// The page parsers against arbitrary pages: random sequences of their own markers, tags, quotes,
// GBK characters and stray bytes, each page in a block of exactly its size. Whatever the page
// holds, a parser stays within it (AddressSanitizer checks the reads) and fills only whole
// fields.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "channels/DocSearch.h"
#include "channels/EducationSearch.h"
#include "channels/MusicSearch.h"
#include "channels/NewsSearch.h"
#include "channels/SearchState.h"
#include "channels/SoftwareSearch.h"
#include "channels/TravelSearch.h"
#include "channels/WebPageSearch.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

const std::vector<std::string> kTokens = {
    "百度一下",    "查询结果", "结果页码", "共返回约", "内容相关性进行",
    "搜索结果",    "上一页",   "下一页",   "文字版",   "【",
    "】",          "[",        "]",        "<table",   "</table>",
    "<TABLE",      "</TABLE>", "<br>",     "<BR>",     "<b>",
    "<B>",         "<div",     "<DIV",     "<nobr>",   "</nobr>",
    "<NOBR>",      "</NOBR>",  "</p>",     "</P>",     "</span",
    "</SPAN",      "</a>",     "</A>",     "class=",   "CLASS=",
    "class=g",     "CLASS=G",  "class=j",  "CLASS=J",  "class=i",
    "class=\"d\"", "class=zh", "class=ff", "class=w",  "href=\"",
    "HREF=\"",     "href=",    "\"",       "'",        ">",
    "<",           " ",        "&amp;",    "&#65;",    "&",
    "x",           "1",        "天",       "\xB0",     "\x81\x5C",
};

// The markers of the music, software, travel and education pages, with the table tags and
// line ends their parsers cut at.
const std::vector<std::string> kCellTokens = {
    "链接速度",
    "铃声",
    "连通率",
    "点击查看下载链接",
    "按歌手搜索",
    "按专辑搜索",
    "歌词",
    "人气",
    "搜索结果|共",
    "文件大小",
    "搜索结果 『共",
    "描述",
    "按更新时间排序",
    "查看截图",
    "更新日期",
    "星级",
    "下载次数",
    "今日",
    "明日",
    "后天",
    "星期",
    "风力",
    "空气质量状况",
    "防晒措施",
    "舒适度状况",
    "穿衣指数说明",
    "空调开机状况",
    "洗车指数",
    "分区",
    "</div",
    "</DIV",
    "在手机号码归属地查询系统",
    "如果您知道的手机号码",
    "号码段",
    "归属地",
    "卡类型",
    "邮政编码",
    "电话区号",
    "里程",
    "软卧",
    "班期",
    "被引用次数",
    "成语查询结果",
    "把百度设为首页",
    "提供",
    "百度一下",
    "查询结果",
    "上一页",
    "下一页",
    "【",
    "】",
    "<td",
    "<TD",
    "</td>",
    "</TD>",
    "<tr",
    "<TR",
    "</tr",
    "</TR",
    "<table",
    "</table",
    "<TABLE",
    "</TABLE",
    "<br>",
    "<BR>",
    "</a>",
    "</A>",
    "class=",
    "CLASS=",
    "class=g",
    "class=a",
    "href=\"",
    "HREF=\"",
    "href=",
    "\"",
    "'",
    ">",
    "<",
    " ",
    "\r",
    "\n",
    "_",
    "1",
    "9.",
    ".",
    "天",
    "\xB0",
    "\xA1",
    "\x81\x5C",
};

std::string RandomPage(std::mt19937& random, const std::vector<std::string>& tokens) {
  std::uniform_int_distribution<size_t> length(0, 120);
  std::uniform_int_distribution<size_t> pick(0, tokens.size() - 1);
  std::string page;
  for (size_t n = length(random); n > 0; --n) page += tokens[pick(random)];
  return page;
}

template <class Record>
void ParseRandomPages(int (*parser)(ResultStore<Record>*, char*), unsigned seed,
                      const std::vector<std::string>& tokens = kTokens) {
  std::mt19937 random(seed);
  for (int i = 0; i < 3000; ++i) {
    std::string page = RandomPage(random, tokens);
    auto parsed = testing::ParsePage(parser, page);
    for (const Record& r : parsed.records) {
      ASSERT_NE(std::memchr(&r, '\0', sizeof r), nullptr);
    }
    ASSERT_LT(std::strlen(PrevPageLink), kPageLinkSize);
    ASSERT_LT(std::strlen(NextPageLink), kPageLinkSize);
  }
}

TEST(ParserRobustness, WebPageParsers) {
  SetGoogleWebTrace(nullptr);
  ParseRandomPages(ParseBaiduWeb, 1);
  ParseRandomPages(ParseGoogleWeb, 2);
  ParseRandomPages(ParseYahooWeb, 3);
  SetGoogleWebTrace(stdout);
  ClearPageLinks();
}

TEST(ParserRobustness, NewsParsers) {
  ParseRandomPages(ParseBaiduNews, 4);
  ParseRandomPages(ParseGoogleNews, 5);
  ClearPageLinks();
}

TEST(ParserRobustness, DocumentParsers) {
  ParseRandomPages(ParseBaiduDoc, 6);
  ParseRandomPages(ParseSogouDoc, 7);
  ParseRandomPages(ParseGoogleDoc, 8);
  ClearPageLinks();
}

TEST(ParserRobustness, MusicParsers) {
  ParseRandomPages(ParseBaiduMp3, 9, kCellTokens);
  ParseRandomPages(ParseYahooMusic, 10, kCellTokens);
  ClearPageLinks();
}

TEST(ParserRobustness, SoftwareParsers) {
  ParseRandomPages(ParseSkycn, 11, kCellTokens);
  ParseRandomPages(ParseNewhua, 12, kCellTokens);
  ParseRandomPages(ParseSinaDownload, 13, kCellTokens);
  ClearPageLinks();
}

TEST(ParserRobustness, TravelParsers) {
  ParseRandomPages(ParseWeather, 14, kCellTokens);
  ParseRandomPages(ParsePhoneRegion, 15, kCellTokens);
  ParseRandomPages(ParseTrains, 16, kCellTokens);
  ParseRandomPages(ParseFlights, 17, kCellTokens);
}

TEST(ParserRobustness, EducationParsers) {
  ParseRandomPages(ParseScholar, 18, kCellTokens);
  ParseRandomPages(ParseClassics, 19, kCellTokens);
  ParseRandomPages(ParseIdioms, 20, kCellTokens);
  ParseRandomPages(ParseDictionary, 21, kCellTokens);
  ClearPageLinks();
}

}  // namespace
}  // namespace jollix
