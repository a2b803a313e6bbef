#include "channels/NewsSearch.h"

#include <gtest/gtest.h>

#include <string>

#include "channels/SearchState.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

using testing::ParsePage;

class NewsParserTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPageLinks(); }
  void TearDown() override { ClearPageLinks(); }
};

// ---- Baidu news ----

const std::string kBaiduNewsHead =
    "<html><body><form action=/ns><input type=submit value=\"百度一下\"></form>\n";
const std::string kBaiduNewsPager =
    "<div class=p><a href=\"/ns?word=%CC%EC%C6%F8&pn=0\">上一页</a>"
    "<a href=\"/ns?word=%CC%EC%C6%F8&pn=100\">下一页</a></div>";

std::string BaiduNewsItem(const std::string& url, const std::string& title,
                          const std::string& source, const std::string& abstract,
                          const std::string& table_end = "</table>") {
  return "<table cellspacing=0 cellpadding=2><tr><td class=\"zh\"><a href=\"" + url +
         "\" target=_blank>" + title + "</a> <nobr>" + source + "</nobr><br><font size=-1>" +
         abstract + "</font></td></tr>" + table_end + "\n";
}

TEST_F(NewsParserTest, BaiduKeepsTheSourceLineUncleaned) {
  std::string page = kBaiduNewsHead +
                     BaiduNewsItem("http://n1.cn/1.html", "<b>天气</b>转晴",
                                   "<b>新华网</b>&nbsp;2007-4-8", "今日<b>天气</b>&amp;晴朗") +
                     BaiduNewsItem("http://n2.cn/", "二", "人民网 2007-4-7", "乙") +
                     kBaiduNewsPager;
  auto parsed = ParsePage(ParseBaiduNews, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].title, "天气转晴");
  EXPECT_STREQ(parsed.records[0].url, "http://n1.cn/1.html");
  EXPECT_STREQ(parsed.records[0].source_time, "<b>新华网</b>&nbsp;2007-4-8");
  EXPECT_STREQ(parsed.records[0].abstract, "今日天气&晴朗");
  EXPECT_STREQ(parsed.records[1].source_time, "人民网 2007-4-7");
  EXPECT_STREQ(PrevPageLink, "http://news.baidu.com/ns?word=%CC%EC%C6%F8&pn=0");
  EXPECT_STREQ(NextPageLink, "http://news.baidu.com/ns?word=%CC%EC%C6%F8&pn=100");
}

TEST_F(NewsParserTest, BaiduKeepsItemsBeforeOneWithoutTableEnd) {
  std::string page = kBaiduNewsHead + BaiduNewsItem("http://n1.cn/", "一", "源", "甲") +
                     BaiduNewsItem("http://n2.cn/", "二", "源", "乙", "");
  auto parsed = ParsePage(ParseBaiduNews, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].title, "一");
}

TEST_F(NewsParserTest, BaiduItemWithoutSourceEndsTheParse) {
  std::string page = kBaiduNewsHead + BaiduNewsItem("http://n1.cn/", "一", "源", "甲") +
                     "<table><tr><td class=zh><a href=\"http://n2.cn/\">二</a> 无来源</td></tr>"
                     "</table>" +
                     BaiduNewsItem("http://n3.cn/", "三", "源", "丙");
  auto parsed = ParsePage(ParseBaiduNews, page);
  // The third item's source line does not stand in for the second's missing one.
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].title, "一");
}

TEST_F(NewsParserTest, BaiduComparesClassValuesOnTenCharacters) {
  std::string page = kBaiduNewsHead +
                     "<table><tr><td class=zhzzzzzzzzzz><a href=\"http://no.cn/\">否</a> "
                     "<nobr>源</nobr>摘要</td></tr></table>\n" +
                     BaiduNewsItem("http://n1.cn/", "一", "源", "甲");
  auto parsed = ParsePage(ParseBaiduNews, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://n1.cn/");
}

TEST_F(NewsParserTest, BaiduReadsAnUpperCasePage) {
  std::string page = kBaiduNewsHead +
                     "<TABLE><TR><TD CLASS=ZH><A HREF=\"http://U.CN/\">大写</A> <NOBR>来源</NOBR>"
                     "<BR>摘要</TD></TR></TABLE>";
  auto parsed = ParsePage(ParseBaiduNews, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://U.CN/");
  EXPECT_STREQ(parsed.records[0].title, "大写");
  EXPECT_STREQ(parsed.records[0].source_time, "来源");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要");
}

TEST_F(NewsParserTest, BaiduCutsAnOverlongSourceOnACharacterBoundary) {
  std::string source;
  for (int i = 0; i < 40; ++i) source += "新";
  std::string page = kBaiduNewsHead + BaiduNewsItem("http://n1.cn/", "一", source, "甲");
  auto parsed = ParsePage(ParseBaiduNews, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(std::string(parsed.records[0].source_time), source.substr(0, 48));
}

TEST_F(NewsParserTest, BaiduWithoutResultMarkerKeepsTheLinksItFound) {
  std::string page = kBaiduNewsPager + BaiduNewsItem("http://n1.cn/", "一", "源", "甲");
  auto parsed = ParsePage(ParseBaiduNews, page);
  EXPECT_EQ(parsed.result, -1);
  EXPECT_TRUE(parsed.records.empty());
  EXPECT_STREQ(NextPageLink, "http://news.baidu.com/ns?word=%CC%EC%C6%F8&pn=100");
}

// ---- Google news ----

const std::string kGoogleNewsHead = "<html><body><div>按内容相关性进行排列</div>\n";
const std::string kGoogleNewsPager =
    "<table><tr><td>结果页码：</td><td><a href=/news?q=%CC%EC&start=0>上一页</a> "
    "<a href=/news?q=%CC%EC&start=50>下一页</a></td></tr></table>";

std::string GoogleNewsItem(const std::string& url, const std::string& title,
                           const std::string& source, const std::string& time,
                           const std::string& abstract) {
  return "<table border=0><tr><td class=j><a href=\"" + url + "\" id=r>" + title +
         "</a><br><font color=#6f6f6f>" + source + " - <nobr>" + time + "</nobr></font><br>" +
         abstract + "</td></tr></table>\n";
}

TEST_F(NewsParserTest, GoogleCleansTheSourceLineAndKeepsLinksAsFound) {
  std::string page =
      kGoogleNewsHead +
      GoogleNewsItem("http://g1.cn/", "标题<b>一</b>", "<b>人民网</b>", "2小时前", "摘要&amp;一") +
      GoogleNewsItem("http://g2.cn/", "二", "新华网", "1天前", "乙") + kGoogleNewsPager;
  auto parsed = ParsePage(ParseGoogleNews, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].title, "标题一");
  EXPECT_STREQ(parsed.records[0].url, "http://g1.cn/");
  EXPECT_STREQ(parsed.records[0].source_time, "人民网 - 2小时前");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要&一");
  EXPECT_STREQ(parsed.records[1].source_time, "新华网 - 1天前");
  EXPECT_STREQ(PrevPageLink, "/news?q=%CC%EC&start=0");
  EXPECT_STREQ(NextPageLink, "/news?q=%CC%EC&start=50");
}

TEST_F(NewsParserTest, GoogleWithoutResultPagesAnchorHasNoLinks) {
  std::string page = kGoogleNewsHead + GoogleNewsItem("http://g1.cn/", "一", "源", "时", "甲") +
                     "<a href=/news?start=50>下一页</a>";
  auto parsed = ParsePage(ParseGoogleNews, page);
  EXPECT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(NextPageLink, "");
}

TEST_F(NewsParserTest, GooglePassesOverOtherClassesAndNeedsItsMarker) {
  std::string page = kGoogleNewsHead +
                     "<td class=jj><a href=\"http://no.cn/\">否</a><nobr>x</nobr></table>" +
                     GoogleNewsItem("http://g1.cn/", "一", "源", "时", "甲");
  auto parsed = ParsePage(ParseGoogleNews, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://g1.cn/");
  EXPECT_EQ(
      ParsePage(ParseGoogleNews, GoogleNewsItem("http://g1.cn/", "一", "源", "时", "甲")).result,
      -1);
}

}  // namespace
}  // namespace jollix

namespace jollix {
namespace {

TEST_F(NewsParserTest, PagesCutShortAnywhereAreParsedWithinTheirBounds) {
  std::string baidu = kBaiduNewsHead + BaiduNewsItem("http://n1.cn/", "一", "源", "甲") +
                      BaiduNewsItem("http://n2.cn/", "二", "<b>源</b>", "乙") + kBaiduNewsPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseBaiduNews, baidu), 2u);
  std::string google = kGoogleNewsHead + GoogleNewsItem("http://g1.cn/", "一", "源", "时", "甲") +
                       GoogleNewsItem("http://g2.cn/", "二", "源", "时", "乙") + kGoogleNewsPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseGoogleNews, google), 2u);
}

TEST_F(NewsParserTest, ANestedTableBeforeTheSourceLineStaysInsideItsItem) {
  // A picture table inside the item's block, between its title and its source line.
  const std::string nested =
      "<table cellspacing=0><tr><td class=\"zh\"><a href=\"http://n2.cn/\">二</a>"
      "<table><tr><td><img src=p.jpg></td></tr></table> <nobr>源二</nobr><br>乙</td></tr>"
      "</table>\n";
  std::string baidu = kBaiduNewsHead + BaiduNewsItem("http://n1.cn/", "一", "源", "甲") + nested +
                      BaiduNewsItem("http://n3.cn/", "三", "源三", "丙");
  auto parsed = ParsePage(ParseBaiduNews, baidu);
  ASSERT_EQ(parsed.records.size(), 3u);
  EXPECT_STREQ(parsed.records[1].url, "http://n2.cn/");
  EXPECT_STREQ(parsed.records[1].source_time, "源二");
  EXPECT_STREQ(parsed.records[1].abstract, "乙");
  EXPECT_STREQ(parsed.records[2].source_time, "源三");

  const std::string google_nested =
      "<table border=0><tr><td class=j><a href=\"http://g2.cn/\">二</a><TABLE><TR><TD>图</TD>"
      "</TR></TABLE><br>新华网 - <nobr>1天前</nobr><br>乙</td></tr></table>\n";
  std::string google = kGoogleNewsHead + GoogleNewsItem("http://g1.cn/", "一", "源", "时", "甲") +
                       google_nested + GoogleNewsItem("http://g3.cn/", "三", "源", "时", "丙");
  parsed = ParsePage(ParseGoogleNews, google);
  ASSERT_EQ(parsed.records.size(), 3u);
  EXPECT_STREQ(parsed.records[1].source_time, "图新华网 - 1天前");
  EXPECT_STREQ(parsed.records[2].url, "http://g3.cn/");
}

}  // namespace
}  // namespace jollix
