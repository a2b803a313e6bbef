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
#include "channels/NewsSearch.h"
#include "channels/SearchState.h"
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

std::string RandomPage(std::mt19937& random) {
  std::uniform_int_distribution<size_t> length(0, 120);
  std::uniform_int_distribution<size_t> pick(0, kTokens.size() - 1);
  std::string page;
  for (size_t n = length(random); n > 0; --n) page += kTokens[pick(random)];
  return page;
}

template <class Record>
void ParseRandomPages(int (*parser)(ResultStore<Record>*, char*), unsigned seed) {
  std::mt19937 random(seed);
  for (int i = 0; i < 3000; ++i) {
    std::string page = RandomPage(random);
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

}  // namespace
}  // namespace jollix
