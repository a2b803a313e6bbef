#include "channels/SoftwareSearch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "channels/PageScan.h"
#include "channels/SearchState.h"
#include "channels/TableCells.h"
#include "testing/FakePorts.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

using testing::ParsePage;

class SoftwareParserTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPageLinks(); }
  void TearDown() override { ClearPageLinks(); }
};

// ---- Skycn ----

const std::string kSkycnHead =
    "<html><body><table class=head><tr><td>软件名称</td><td>更新时间</td><td>大小</td>"
    "<td>人气</td></tr></table>\n";
const std::string kSkycnPager =
    "<table class=pager><tr><td>搜索结果|共 2 个 <a href='?ss_name=qq&page=1'>上一页</a> "
    "<a href='?ss_name=qq&page=3'>下一页</a></td></tr></table></body></html>";

std::string SkycnEntry(const std::string& link, const std::string& name, const std::string& time,
                       const std::string& size, const std::string& popularity,
                       const std::string& summary) {
  return "<table class=item><tr><td><a href=\"" + link + "\" target=_blank>" + name +
         "</a></td><td class=t>" + time + "</td><td>" + size + "</td><td>" + popularity +
         "</td></tr></table>\n<table class=desc><tr><td>" + summary + "</td></tr></table>\n";
}

TEST_F(SoftwareParserTest, SkycnReadsEntriesWithTheHostInFrontOfTheLink) {
  std::string page = kSkycnHead +
                     SkycnEntry("soft/1234.html", "<b>QQ</b>2007", "2007-03-01", "15.2 MB", "12345",
                                "腾讯QQ 即时通讯&nbsp;软件") +
                     SkycnEntry("/soft/99.html", "MSN", "2007-02-11", "20 MB", "999", "微软") +
                     kSkycnPager;
  auto parsed = ParsePage(ParseSkycn, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const SoftwareRecord& r = parsed.records[0];
  EXPECT_STREQ(r.url, "www.skycn.com/soft/1234.html");  // no scheme in front
  EXPECT_STREQ(r.name, "QQ2007");
  EXPECT_STREQ(r.time, "2007-03-01");
  EXPECT_STREQ(r.size, "15.2 MB");
  EXPECT_STREQ(r.popularity, "12345");
  EXPECT_STREQ(r.summary, "腾讯QQ 即时通讯 软件");
  EXPECT_STREQ(parsed.records[1].url, "www.skycn.com//soft/99.html");
  EXPECT_STREQ(PrevPageLink, "http://search.skycn.com/search.php?ss_name=qq&page=1");
  EXPECT_STREQ(NextPageLink, "http://search.skycn.com/search.php?ss_name=qq&page=3");
}

TEST_F(SoftwareParserTest, SkycnDropsTheLastEntryWithoutAFollowingTable) {
  std::string page = kSkycnHead + SkycnEntry("a.html", "一", "t", "s", "p", "甲") +
                     SkycnEntry("b.html", "二", "t", "s", "p", "乙") +
                     "<div>搜索结果|共 2 个</div></body></html>";
  auto parsed = ParsePage(ParseSkycn, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].name, "一");
}

TEST_F(SoftwareParserTest, SkycnTakesPageLinksOnlyAfterTheCut) {
  std::string page = "<a href='early.php'>下一页</a>" + kSkycnHead +
                     SkycnEntry("a.html", "一", "t", "s", "p", "甲") +
                     "<div>搜索结果|共 1 个</div>";
  auto parsed = ParsePage(ParseSkycn, page);
  EXPECT_STREQ(NextPageLink, "");
  EXPECT_STREQ(PrevPageLink, "");
}

TEST_F(SoftwareParserTest, SkycnMissingMarkersGiveNothing) {
  std::strcpy(NextPageLink, "stale");
  auto no_header = ParsePage(ParseSkycn, SkycnEntry("a", "一", "t", "s", "p", "甲") + kSkycnPager);
  EXPECT_EQ(no_header.result, -1);
  EXPECT_TRUE(no_header.records.empty());
  auto no_cut = ParsePage(ParseSkycn, kSkycnHead + SkycnEntry("a", "一", "t", "s", "p", "甲") +
                                          SkycnEntry("b", "二", "t", "s", "p", "乙"));
  EXPECT_EQ(no_cut.result, -2);
  EXPECT_TRUE(no_cut.records.empty());
  auto no_table = ParsePage(ParseSkycn, "人气 搜索结果|共 0 个");
  EXPECT_EQ(no_table.result, -1);
}

// The page links are emptied only once the page's first markers are found: a page without them
// keeps the links of the page before.
TEST_F(SoftwareParserTest, APageWithoutTheFirstMarkersKeepsThePreviousLinks) {
  struct Case {
    const char* engine;
    int (*parse)(ResultStore<SoftwareRecord>*, char*);
    std::string page;
    int result;
  };
  const Case cases[] = {
      {"skycn, no header", ParseSkycn, SkycnEntry("a", "一", "t", "s", "p", "甲") + kSkycnPager,
       -1},
      {"skycn, no cut", ParseSkycn, kSkycnHead + SkycnEntry("a", "一", "t", "s", "p", "甲"), -2},
      {"newhua, no header", ParseNewhua, "<a href=\"?page=2\">下一页</a> 搜索结果 『共 1 个』", -1},
      {"newhua, no cut", ParseNewhua, "文件大小 <a href=\"?page=2\">下一页</a>", -2},
      {"sina, no sort marker", ParseSinaDownload,
       "<a href=\"?page=0\">上一页</a> <a href=\"?page=2\">下一页</a>", -2},
  };
  for (const Case& c : cases) {
    std::strcpy(PrevPageLink, "previous");
    std::strcpy(NextPageLink, "next");
    auto parsed = ParsePage(c.parse, c.page);
    EXPECT_EQ(parsed.result, c.result) << c.engine;
    EXPECT_STREQ(PrevPageLink, "previous") << c.engine;
    EXPECT_STREQ(NextPageLink, "next") << c.engine;
  }
  // With the markers found the links are those of this page, empty when it has none.
  std::strcpy(NextPageLink, "next");
  ParsePage(ParseSkycn, kSkycnHead + SkycnEntry("a", "一", "t", "s", "p", "甲") +
                            "<div>搜索结果|共 1 个</div>");
  EXPECT_STREQ(NextPageLink, "");
}

// A cell's closing tag is looked for after its own opening tag, not (as one reading of the
// page's rules has it) one byte after the end of what was read before: the name ends at its
// link's "</a>", so the next "</td" after that closes the name's own cell, before the time
// cell opens, and every cell after the name would take the text of the cell before it.
TEST_F(SoftwareParserTest, EachCellEndsAtTheClosingTagAfterItsOwnOpening) {
  std::string page = kSkycnHead + SkycnEntry("a.html", "名", "2007-03-01", "1 MB", "77", "甲") +
                     SkycnEntry("b.html", "二", "t", "s", "p", "乙") + kSkycnPager;
  auto parsed = ParsePage(ParseSkycn, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].time, "2007-03-01");
  EXPECT_STREQ(parsed.records[0].size, "1 MB");
  EXPECT_STREQ(parsed.records[0].popularity, "77");

  std::string cells = "<a>名</a></td><td>时间</td><td>大小</td>";
  PageScan scan(cells.data());
  char* end = cells.data() + cells.find("</a>");
  char* cell = NextCell(scan, scan.Skip(end, 1), &end);
  ASSERT_NE(cell, nullptr);
  EXPECT_STREQ(cell, "<td>时间");
}

TEST_F(SoftwareParserTest, SkycnEntryMissingACellEndsTheParse) {
  std::string short_entry =
      "<table class=item><tr><td><a href=\"c.html\">三</a></td><td>t</td></tr></table>\n";
  std::string page =
      kSkycnHead + SkycnEntry("a.html", "一", "t", "s", "p", "甲") + short_entry + kSkycnPager;
  auto parsed = ParsePage(ParseSkycn, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].name, "一");
}

// ---- Newhua ----

const std::string kNewhuaHead =
    "<html><body><table><tr><td>软件名称</td><td>更新时间</td><td>人气</td><td>文件大小</td></tr>"
    "</table>\n";
const std::string kNewhuaTail =
    "<div>搜索结果 『共 2 个』 <a href=\"?Keyword=qq&page=2\">下一页</a></div></body></html>";

std::string NewhuaEntry(const std::string& url, const std::string& name, const std::string& time,
                        const std::string& popularity, const std::string& size,
                        const std::string& summary) {
  return "<table class=r><tr><td><a href=\"" + url + "\">" + name + "</td><td>" + time +
         "</td><td>" + popularity + "</td><td>" + size + "</td></tr><tr><td colspan=4>描述：" +
         summary + "</td></tr></table>\n";
}

TEST_F(SoftwareParserTest, NewhuaReadsPopularityBeforeSizeAndTheDescription) {
  std::string page =
      kNewhuaHead +
      NewhuaEntry("http://www.newhua.com/soft/1.htm", "QQ2007</a> 简体中文版", "2007-3-1", "999",
                  "15 MB", "即时通讯软件") +
      NewhuaEntry("http://www.newhua.com/soft/2.htm", "MSN</a>", "2007-2-1", "5", "20 MB", "微软") +
      kNewhuaTail;
  auto parsed = ParsePage(ParseNewhua, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const SoftwareRecord& r = parsed.records[0];
  EXPECT_STREQ(r.url, "http://www.newhua.com/soft/1.htm");
  EXPECT_STREQ(r.name, "QQ2007 简体中文版");
  EXPECT_STREQ(r.time, "2007-3-1");
  EXPECT_STREQ(r.popularity, "999");
  EXPECT_STREQ(r.size, "15 MB");
  EXPECT_STREQ(r.summary, "描述：即时通讯软件");
  EXPECT_STREQ(parsed.records[1].name, "MSN");
  EXPECT_STREQ(NextPageLink, "http://search.newhua.com/search.asp?Keyword=qq&page=2");
  EXPECT_STREQ(PrevPageLink, "");
}

TEST_F(SoftwareParserTest, NewhuaReadsOnlyUpToTheTotalLine) {
  std::string page = kNewhuaHead + NewhuaEntry("http://n/1", "一", "t", "p", "s", "甲") +
                     kNewhuaTail + NewhuaEntry("http://n/2", "二", "t", "p", "s", "乙");
  auto parsed = ParsePage(ParseNewhua, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://n/1");
}

TEST_F(SoftwareParserTest, NewhuaMissingMarkers) {
  EXPECT_EQ(ParsePage(ParseNewhua, NewhuaEntry("u", "n", "t", "p", "s", "d") + kNewhuaTail).result,
            -1);
  auto no_cut = ParsePage(ParseNewhua, kNewhuaHead + NewhuaEntry("u", "n", "t", "p", "s", "d"));
  EXPECT_EQ(no_cut.result, -2);
  EXPECT_TRUE(no_cut.records.empty());
  std::string no_description =
      "<table><tr><td><a href=\"u2\">二</td><td>t</td><td>p</td><td>s</td></tr></table>";
  auto parsed = ParsePage(ParseNewhua, kNewhuaHead + NewhuaEntry("u1", "一", "t", "p", "s", "d") +
                                           no_description + kNewhuaTail);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "u1");
}

// ---- Sina download ----

const std::string kSinaSort =
    "<div class=sort><a href=\"d_search.php?f_name=qq&order=time\">按更新时间排序</a></div>\n";
const std::string kSinaPager =
    "<div class=pages><a href=\"d_search.php?f_name=qq&page=0\">上一页</a> "
    "<a href='http://tech.sina.com.cn/download/d_search.php?f_name=qq&page=2'>下一页</a></div>\n";

std::string SinaEntry(const std::string& url, const std::string& name) {
  return "<table class=soft><tr><td><a href=\"" + url + "\" target=_blank>" + name +
         "</a> <a href=\"shot.html\">查看截图</a></td><td>更新日期:2007-03-01</td></tr>"
         "<tr><td colspan=2>即时通讯&amp;聊天</td></tr><tr><td>大小:15MB 语言:简体中文 星级:"
         "★★★★</td><td>下载次数:12345</td></tr></table>\n";
}

TEST_F(SoftwareParserTest, SinaReadsEntriesAfterTheSecondSortLink) {
  std::string page = kSinaSort + kSinaPager + "<h3>结果 按更新时间排序</h3>\n" +
                     SinaEntry("http://tech.sina.com.cn/down/1.shtml", "<b>QQ</b>2007") +
                     SinaEntry("http://tech.sina.com.cn/down/2.shtml", "MSN");
  auto parsed = ParsePage(ParseSinaDownload, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const SoftwareRecord& r = parsed.records[0];
  EXPECT_STREQ(r.url, "http://tech.sina.com.cn/down/1.shtml");
  EXPECT_STREQ(r.name, "QQ2007");
  EXPECT_STREQ(r.time, "2007-03-01");
  EXPECT_STREQ(r.summary, "即时通讯&聊天");
  EXPECT_STREQ(r.size, "大小:15MB 语言:简体中文");
  EXPECT_STREQ(r.popularity, "12345");
  EXPECT_STREQ(parsed.records[1].name, "MSN");
  // Sina's links stand as they are; a single-quoted one is read whole.
  EXPECT_STREQ(PrevPageLink, "d_search.php?f_name=qq&page=0");
  EXPECT_STREQ(NextPageLink, "http://tech.sina.com.cn/download/d_search.php?f_name=qq&page=2");
}

TEST_F(SoftwareParserTest, SinaNextLinkAfterTheSecondSortLinkSkipsTheEntriesBeforeIt) {
  std::string page = kSinaSort + "<h3>按更新时间排序</h3>\n" + SinaEntry("http://s/before", "前") +
                     kSinaPager + "<div>按更新时间排序</div>\n" + SinaEntry("http://s/after", "后");
  auto parsed = ParsePage(ParseSinaDownload, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://s/after");

  std::string no_later_sort =
      kSinaSort + "<h3>按更新时间排序</h3>\n" + SinaEntry("http://s/before", "前") + kSinaPager;
  auto none = ParsePage(ParseSinaDownload, no_later_sort);
  EXPECT_EQ(none.result, -1);
  EXPECT_TRUE(none.records.empty());
}

TEST_F(SoftwareParserTest, SinaWithoutNextLinkSearchesAfterTheFirstSortLink) {
  std::string page = kSinaSort + "<h3>按更新时间排序</h3>" + SinaEntry("http://s/1", "一");
  auto parsed = ParsePage(ParseSinaDownload, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(NextPageLink, "");
  EXPECT_EQ(ParsePage(ParseSinaDownload, SinaEntry("http://s/1", "一")).result, -2);
  EXPECT_EQ(ParsePage(ParseSinaDownload, kSinaSort + SinaEntry("http://s/1", "一")).result, -1);
}

TEST_F(SoftwareParserTest, SinaEntryWithoutStarRatingEndsTheParse) {
  std::string no_stars =
      "<table><tr><td><a href=\"http://s/2\">二</a>查看截图</td><td>更新日期:2007</td></tr>"
      "<tr><td>摘要</td></tr><tr><td>大小:1MB</td><td>下载次数:1</td></tr></table>";
  std::string page =
      kSinaSort + "<h3>按更新时间排序</h3>" + SinaEntry("http://s/1", "一") + no_stars;
  auto parsed = ParsePage(ParseSinaDownload, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://s/1");
}

TEST_F(SoftwareParserTest, PagesCutShortAnywhereStayWithinThePage) {
  std::string skycn = kSkycnHead + SkycnEntry("a.html", "一", "t", "s", "p", "甲") +
                      SkycnEntry("b.html", "二", "t", "s", "p", "乙") + kSkycnPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseSkycn, skycn), 2u);
  std::string newhua =
      kNewhuaHead + NewhuaEntry("http://n/1", "一", "t", "p", "s", "甲") + kNewhuaTail;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseNewhua, newhua), 1u);
  std::string sina = kSinaSort + kSinaPager + "<h3>按更新时间排序</h3>" +
                     SinaEntry("http://s/1", "一") + SinaEntry("http://s/2", "二");
  EXPECT_EQ(testing::ParseEveryPrefix(ParseSinaDownload, sina), 2u);
}

// ---- rows and requests ----

TEST(SoftwareRows, ColumnsInPageOrder) {
  std::string page =
      kSkycnHead + SkycnEntry("a.html", "QQ", "2007", "15 MB", "99", "聊天") + kSkycnPager;
  SoftwareChannel software;
  testing::FakeResultPage list;
  ClearPageLinks();
  EXPECT_EQ(software.ParseAndShow(0, page.data(), &list, nullptr), 1);
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.rows[0].cells, (std::vector<std::string>{"QQ", "2007", "15 MB", "99",
                                                          "www.skycn.com/a.html", "聊天"}));
  EXPECT_EQ(list.rows[0].image, -1);
  std::string empty = "<html></html>";
  software.ParseAndShow(2, empty.data(), &list, nullptr);
  EXPECT_EQ(list.Cell(0, 0), "没有找到符合条件的软件");
  ClearPageLinks();
}

TEST(SoftwareUrl, NewhuaTakesTheQueryAsTyped) {
  SoftwareChannel software;
  SearchForm form;
  form.query = "网络 电视";
  std::string url;
  ASSERT_TRUE(software.BuildUrl(form, 0, &url));
  EXPECT_EQ(url, "http://www.skycn.com/search.php?ss_name=%CD%F8%C2%E7+%B5%E7%CA%D3");
  ASSERT_TRUE(software.BuildUrl(form, 1, &url));
  EXPECT_EQ(url, "http://search.newhua.com/search.asp?Keyword=网络 电视");
  ASSERT_TRUE(software.BuildUrl(form, 2, &url));
  EXPECT_EQ(url, "http://tech.sina.com.cn/download/d_search.php?f_name=%CD%F8%C2%E7+%B5%E7%CA%D3");
  ASSERT_TRUE(software.BuildUrl(form, 3, &url));
  EXPECT_EQ(url, "");
}

TEST(SoftwareUrl, NewhuaNeedsOnlyTheTypedQueryToFit) {
  SoftwareChannel software;
  SearchForm form;
  for (int i = 0; i < 40; ++i) form.query += "软";  // 80 bytes typed, 240 encoded
  std::string url;
  EXPECT_TRUE(software.BuildUrl(form, 1, &url));
  EXPECT_FALSE(software.BuildUrl(form, 0, &url));
  form.query = std::string(100, 'a');
  EXPECT_FALSE(software.BuildUrl(form, 1, &url));
}

}  // namespace
}  // namespace jollix
