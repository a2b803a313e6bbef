#include "channels/WebPageSearch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "channels/SearchState.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

using testing::ParsePage;

class WebParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPageLinks();
    SetGoogleWebTrace(nullptr);
  }
  void TearDown() override {
    ClearPageLinks();
    SetGoogleWebTrace(stdout);
  }
};

// ---- Baidu ----

const std::string kBaiduHead =
    "<html><head><title>百度搜索_天气</title></head><body>"
    "<form name=f action=/s><input type=submit value=\"百度一下\"></form>\n";
const std::string kBaiduPager =
    "<div class=\"p\"><a href=\"s?wd=%CC%EC%C6%F8&pn=0\">上一页</a> "
    "<a href=\"s?wd=%CC%EC%C6%F8&pn=200\">下一页</a></div>\n";
const std::string kBaiduTail =
    "<table cellpadding=0><tr><td>相关搜索</td></tr></table></body></html>";

std::string BaiduResult(const std::string& url, const std::string& title,
                        const std::string& abstract) {
  return "<table border=\"0\" cellpadding=\"0\" id=\"1\"><tr><td class=f><a href=\"" + url +
         "\" target=\"_blank\"><font size=\"3\">" + title + "</font></a><br><font size=-1>" +
         abstract + "<br><font color=#008000>" + url + " 12K</font></font></td></tr></table>\n";
}

TEST_F(WebParserTest, BaiduReadsEachResultTableAndThePageLinks) {
  std::string page = kBaiduHead +
                     BaiduResult("http://www.weather.com.cn/", "中国<b>天气</b>网",
                                 "全国城市天气预报 &amp; 气象服务") +
                     BaiduResult("http://b.cn/2", "第二", "摘要二") +
                     BaiduResult("http://c.cn/3", "第三", "摘要三") + kBaiduPager + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 3u);
  EXPECT_STREQ(parsed.records[0].title, "中国天气网");
  EXPECT_STREQ(parsed.records[0].url, "http://www.weather.com.cn/");
  EXPECT_STREQ(parsed.records[0].abstract, "全国城市天气预报 & 气象服务");
  EXPECT_STREQ(parsed.records[2].title, "第三");
  EXPECT_STREQ(PrevPageLink, "www.baidu.com/s?wd=%CC%EC%C6%F8&pn=0");
  EXPECT_STREQ(NextPageLink, "www.baidu.com/s?wd=%CC%EC%C6%F8&pn=200");
}

TEST_F(WebParserTest, BaiduLosesTheResultInTheLastTableOfThePage) {
  std::string page = kBaiduHead + BaiduResult("http://a.cn/", "一", "甲") +
                     BaiduResult("http://b.cn/", "二", "乙") + kBaiduPager;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].title, "一");
}

TEST_F(WebParserTest, BaiduWithoutResultMarkerEmptiesBothLinks) {
  std::string page = "<html>" + kBaiduPager + BaiduResult("http://a.cn/", "一", "甲") + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  EXPECT_EQ(parsed.result, -1);
  EXPECT_TRUE(parsed.records.empty());
  EXPECT_STREQ(PrevPageLink, "");
  EXPECT_STREQ(NextPageLink, "");
}

TEST_F(WebParserTest, BaiduWithoutPageLinksLeavesThemEmpty) {
  std::strcpy(NextPageLink, "stale");
  std::string page = kBaiduHead + BaiduResult("http://a.cn/", "一", "甲") + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  EXPECT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(PrevPageLink, "");
  EXPECT_STREQ(NextPageLink, "");
}

TEST_F(WebParserTest, BaiduSkipsBlocksWithoutLinkTitleLineOrAbstractLine) {
  std::string page = kBaiduHead + BaiduResult("http://a.cn/", "一", "甲") +
                     "<table><tr><td>广告 no link<br>x<br></td></tr></table>\n"
                     "<table><tr><td><a href=\"http://n.cn/\">no line end</a></td></tr></table>\n"
                     "<table><tr><td><a href=\"http://o.cn/\">one line<br>only</td></tr></table>\n"
                     "<table><tr><td><a href=\"http://p.cn/\"</td></tr></table>\n" +
                     BaiduResult("http://b.cn/", "二", "乙") + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].url, "http://a.cn/");
  EXPECT_STREQ(parsed.records[1].url, "http://b.cn/");
  EXPECT_STREQ(parsed.records[1].abstract, "乙");
}

TEST_F(WebParserTest, BaiduLinkWithoutClosingQuoteEndsTheParse) {
  std::string page = kBaiduHead + BaiduResult("http://a.cn/", "一", "甲") +
                     "<table><tr><td><a href=\"http://broken>x<br>y<br></td></tr></table>\n" +
                     BaiduResult("http://b.cn/", "二", "乙") + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://a.cn/");
}

TEST_F(WebParserTest, BaiduCutsOverlongFieldsOnCharacterBoundaries) {
  std::string title, abstract;
  for (int i = 0; i < 200; ++i) title += "天";
  for (int i = 0; i < 700; ++i) abstract += "气";
  std::string url = "http://x.cn/" + std::string(600, 'a');
  std::string page = kBaiduHead + BaiduResult(url, title, abstract) + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(std::string(parsed.records[0].title), title.substr(0, 254));
  EXPECT_EQ(std::string(parsed.records[0].url), url.substr(0, 511));
  EXPECT_EQ(std::string(parsed.records[0].abstract), abstract.substr(0, 1022));
}

// ---- Google ----

const std::string kGoogleHead =
    "<html><body><div id=ssb><p>约有 <b>1,230</b> 项符合 <b>天气</b> 的查询结果</p></div>\n";
const std::string kGooglePager =
    "<table id=nav><tr><td>结果页码：</td><td><a href=\"/search?q=%CC%EC%C6%F8&start=0\">上一页"
    "</a></td><td><a href=\"/search?q=%CC%EC%C6%F8&start=100\">下一页</a></td></tr></table>";

std::string GoogleResult(const std::string& url, const std::string& title,
                         const std::string& abstract) {
  return "<div class=g><h2 class=r><a href=\"" + url + "\" class=l>" + title +
         "</a></h2><table cellpadding=0><tr><td class=j><font size=-1>" + abstract +
         "<br><span class=a>" + url + "</span></font></td></tr></table></div>\n";
}

std::string GoogleResultWithoutAbstract(const std::string& url, const std::string& title) {
  return "<div class=g><h2 class=r><a href=\"" + url + "\" class=l>" + title + "</a></h2></div>\n";
}

TEST_F(WebParserTest, GoogleReadsResultsAndTracesThem) {
  std::string page = kGoogleHead +
                     GoogleResult("http://g1.cn/", "<b>天气</b>预报", "今天 &lt;晴&gt;") +
                     GoogleResult("http://g2.cn/", "二", "乙") + kGooglePager;
  char* trace = nullptr;
  size_t trace_size = 0;
  FILE* out = open_memstream(&trace, &trace_size);
  SetGoogleWebTrace(out);
  auto parsed = ParsePage(ParseGoogleWeb, page);
  std::fclose(out);
  std::string traced(trace, trace_size);
  std::free(trace);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].title, "天气预报");
  EXPECT_STREQ(parsed.records[0].url, "http://g1.cn/");
  EXPECT_STREQ(parsed.records[0].abstract, "今天 <晴>");
  EXPECT_EQ(traced,
            "title=天气预报\nurl=http://g1.cn/\nabstract=今天 <晴>\n\n"
            "title=二\nurl=http://g2.cn/\nabstract=乙\n\n");
  EXPECT_STREQ(PrevPageLink, "www.google.com/search?q=%CC%EC%C6%F8&start=0");
  EXPECT_STREQ(NextPageLink, "www.google.com/search?q=%CC%EC%C6%F8&start=100");
}

TEST_F(WebParserTest, GoogleTakesPageLinksOnlyAfterTheResultPagesAnchor) {
  std::string header_links = "<a href=\"/early?1\">上一页</a><a href=\"/early?2\">下一页</a>";
  std::string page = header_links + kGoogleHead + GoogleResult("http://g1.cn/", "一", "甲");
  ParsePage(ParseGoogleWeb, page);
  EXPECT_STREQ(PrevPageLink, "");
  EXPECT_STREQ(NextPageLink, "");
  ParsePage(ParseGoogleWeb, page + kGooglePager);
  EXPECT_STREQ(PrevPageLink, "www.google.com/search?q=%CC%EC%C6%F8&start=0");
}

TEST_F(WebParserTest, GoogleSkipsAResultWithoutAbstract) {
  std::string page = kGoogleHead + GoogleResult("http://g1.cn/", "一", "甲") +
                     GoogleResultWithoutAbstract("http://g2.cn/", "二") +
                     GoogleResult("http://g3.cn/", "三", "丙") +
                     GoogleResultWithoutAbstract("http://g4.cn/", "四") + kGooglePager;
  auto parsed = ParsePage(ParseGoogleWeb, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].title, "一");
  EXPECT_STREQ(parsed.records[1].title, "三");
  EXPECT_STREQ(parsed.records[1].url, "http://g3.cn/");
  EXPECT_STREQ(parsed.records[1].abstract, "丙");
}

TEST_F(WebParserTest, GoogleReadsUpperCaseClassesAndLinkEnds) {
  std::string page = kGoogleHead +
                     "<DIV CLASS=G><A href=\"http://u.cn/\">大写</A><TABLE><TR><TD CLASS=J>"
                     "<FONT>摘要<BR></FONT></TD></TR></TABLE></DIV>";
  auto parsed = ParsePage(ParseGoogleWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].title, "大写");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要");
}

TEST_F(WebParserTest, GoogleReadsAnUpperCaseAbstractMarkerInALowerCasePage) {
  std::string page = kGoogleHead + GoogleResult("http://g1.cn/", "一", "甲") +
                     "<div class=g><a href=\"http://g2.cn/\">二</a><table><tr><td CLASS=J>乙<br>"
                     "</td></tr></table></div>";
  auto parsed = ParsePage(ParseGoogleWeb, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[1].abstract, "乙");
}

TEST_F(WebParserTest, GoogleSkipsBlocksWithoutLinkOrAbstractEnd) {
  std::string page = kGoogleHead + "<div class=g>no link here</div>" +
                     GoogleResult("http://g1.cn/", "一", "甲") +
                     "<div class=g><a href=\"http://g2.cn/\">二</a><td class=j>no line end</td>" +
                     std::string("</div>");
  auto parsed = ParsePage(ParseGoogleWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://g1.cn/");
}

TEST_F(WebParserTest, GoogleWithoutResultMarkerGivesNothing) {
  auto parsed = ParsePage(ParseGoogleWeb, GoogleResult("http://g1.cn/", "一", "甲"));
  EXPECT_EQ(parsed.result, -1);
  EXPECT_TRUE(parsed.records.empty());
}

// ---- Yahoo ----

const std::string kYahooHead = "<html><body><div id=info>共返回约 12,300 条结果</div><ol>\n";
const std::string kYahooPager =
    "</ol><div id=pg><a href=\"?p=%CC%EC%C6%F8&b=1\">上一页</a> "
    "<a href=\"?p=%CC%EC%C6%F8&b=21\">下一页</a></div></body></html>";

std::string YahooTitle(const std::string& url, const std::string& title) {
  return "<li><div class=i><a href=\"" + url + "\">" + title + "</a></div>";
}
std::string YahooDescription(const std::string& text) {
  return "<div class=\"d\">" + text + "<div class=u>url line</div></div>";
}

TEST_F(WebParserTest, YahooPairsEachTitleWithItsDescription) {
  std::string page = kYahooHead + YahooTitle("http://y1.cn/", "雅虎<b>一</b>") +
                     YahooDescription("描述 &amp; 一") + "</li>\n" +
                     YahooTitle("http://y2.cn/", "二") + YahooDescription("乙") + "</li>\n" +
                     kYahooPager;
  auto parsed = ParsePage(ParseYahooWeb, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].title, "雅虎一");
  EXPECT_STREQ(parsed.records[0].url, "http://y1.cn/");
  EXPECT_STREQ(parsed.records[0].abstract, "描述 & 一");
  EXPECT_STREQ(parsed.records[1].abstract, "乙");
  EXPECT_STREQ(PrevPageLink, "http://search.cn.yahoo.com/search?p=%CC%EC%C6%F8&b=1");
  EXPECT_STREQ(NextPageLink, "http://search.cn.yahoo.com/search?p=%CC%EC%C6%F8&b=21");
}

TEST_F(WebParserTest, YahooSecondDescriptionGoesToTheNextTitle) {
  std::string page = kYahooHead + YahooTitle("http://y1.cn/", "一") + YahooDescription("甲") +
                     YahooDescription("甲二") + "</li>\n" + YahooTitle("http://y2.cn/", "二") +
                     "<div class=cache>快照</div>" + YahooDescription("乙") + "</li>\n" +
                     YahooTitle("http://y3.cn/", "三") + YahooDescription("丙") + kYahooPager;
  auto parsed = ParsePage(ParseYahooWeb, page);
  ASSERT_EQ(parsed.records.size(), 3u);
  EXPECT_STREQ(parsed.records[0].abstract, "甲");
  EXPECT_STREQ(parsed.records[1].title, "二");
  EXPECT_STREQ(parsed.records[1].abstract, "甲二");
  EXPECT_STREQ(parsed.records[2].title, "三");
  EXPECT_STREQ(parsed.records[2].abstract, "丙");
}

TEST_F(WebParserTest, YahooComparesClassValuesOnTenCharacters) {
  // "iiiiiiiiiiii" reads as "iiiiiiiiii", not "i": that title link is passed over.
  std::string page = kYahooHead +
                     "<div class=iiiiiiiiiiii><a href=\"http://no.cn/\">不是标题</a></div>" +
                     YahooDescription("孤立的描述") + YahooTitle("http://y1.cn/", "一") +
                     "<b class=\"x\">" + YahooDescription("甲") + kYahooPager;
  auto parsed = ParsePage(ParseYahooWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://y1.cn/");
  EXPECT_STREQ(parsed.records[0].abstract, "孤立的描述");  // added at the element of class x
}

TEST_F(WebParserTest, YahooReadsAnUpperCasePage) {
  std::string page = kYahooHead +
                     "<DIV CLASS=i><A HREF=\"http://Y1.CN/\">大写</A></DIV>"
                     "<DIV CLASS=d>描述<DIV CLASS=u>u</DIV></DIV>";
  auto parsed = ParsePage(ParseYahooWeb, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://Y1.CN/");
  EXPECT_STREQ(parsed.records[0].title, "大写");
  EXPECT_STREQ(parsed.records[0].abstract, "描述");
}

TEST_F(WebParserTest, YahooWithoutResultMarkerGivesNothing) {
  auto parsed = ParsePage(ParseYahooWeb, YahooTitle("http://y.cn/", "一") + YahooDescription("甲"));
  EXPECT_EQ(parsed.result, -1);
  EXPECT_TRUE(parsed.records.empty());
}

}  // namespace
}  // namespace jollix

namespace jollix {
namespace {

// Every parser runs over each prefix of a full page (a page cut short anywhere, in the middle
// of a tag, a link or a character) in a block of exactly that size.
TEST_F(WebParserTest, PagesCutShortAnywhereAreParsedWithinTheirBounds) {
  std::string baidu = kBaiduHead + BaiduResult("http://a.cn/", "一", "甲") +
                      BaiduResult("http://b.cn/", "二", "乙") + kBaiduPager + kBaiduTail;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseBaiduWeb, baidu), 2u);
  std::string google = kGoogleHead + GoogleResult("http://g1.cn/", "一", "甲") +
                       GoogleResultWithoutAbstract("http://g2.cn/", "二") +
                       GoogleResult("http://g3.cn/", "三", "丙") + kGooglePager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseGoogleWeb, google), 2u);
  std::string yahoo = kYahooHead + YahooTitle("http://y1.cn/", "一") + YahooDescription("甲") +
                      YahooDescription("甲二") + YahooTitle("http://y2.cn/", "二") +
                      "<div class=x></div>" + kYahooPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseYahooWeb, yahoo), 2u);
}

}  // namespace
}  // namespace jollix

namespace jollix {
namespace {

TEST_F(WebParserTest, MissingMarkersEndTheParseKeepingEarlierRecords) {
  // Baidu: no table after the marker; a table without end.
  EXPECT_EQ(ParsePage(ParseBaiduWeb, kBaiduHead + "no tables").records.size(), 0u);
  std::string baidu = kBaiduHead + BaiduResult("http://a.cn/", "一", "甲");
  EXPECT_EQ(ParsePage(ParseBaiduWeb, baidu + "<table><a href=\"u\">t<br>a<br>").records.size(), 1u);
  // Google: no result block at all; a title link without end tag.
  EXPECT_EQ(ParsePage(ParseGoogleWeb, kGoogleHead + "no blocks").result, 0);
  std::string google = kGoogleHead + GoogleResult("http://g1.cn/", "一", "甲");
  EXPECT_EQ(ParsePage(ParseGoogleWeb, google + "<div class=g><a href=\"u\">no end").records.size(),
            1u);
  // Yahoo: a title element with no link after it ends the parse, and so does one without end
  // tag (the link cut there ends every later search).
  std::string yahoo = kYahooHead + YahooTitle("http://y1.cn/", "一") + YahooDescription("甲");
  auto no_link = ParsePage(ParseYahooWeb, yahoo + "<div class=i>no link</div><div class=d>乙<div>");
  EXPECT_EQ(no_link.result, 0);
  EXPECT_EQ(no_link.records.size(), 1u);
  EXPECT_EQ(ParsePage(ParseYahooWeb, yahoo + "<div class=i><a href=\"u\">no end").records.size(),
            1u);
}

}  // namespace
}  // namespace jollix
