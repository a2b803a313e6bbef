#include "channels/DocSearch.h"

#include <gtest/gtest.h>

#include <string>

#include "channels/SearchState.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

using testing::ParsePage;

class DocParserTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPageLinks(); }
  void TearDown() override { ClearPageLinks(); }
};

TEST(DocTypeWord, NamesTheChosenTypeOrAll) {
  EXPECT_STREQ(DocTypeWord(0), "all");
  EXPECT_STREQ(DocTypeWord(1), "doc");
  EXPECT_STREQ(DocTypeWord(2), "pdf");
  EXPECT_STREQ(DocTypeWord(3), "xls");
  EXPECT_STREQ(DocTypeWord(4), "ppt");
  EXPECT_STREQ(DocTypeWord(5), "rtf");
  EXPECT_STREQ(DocTypeWord(6), "all");
  EXPECT_STREQ(DocTypeWord(-1), "all");
}

// ---- Baidu ----

const std::string kBaiduDocHead =
    "<html><body><form action=/s><input type=submit value=\"百度一下\"></form>\n";
const std::string kBaiduDocPager =
    "<div class=p><a href=\"s?wd=filetype%3Apdf+x&pn=0\">上一页</a>"
    "<a href=\"s?wd=filetype%3Apdf+x&pn=100\">下一页</a></div>";

std::string BaiduDoc(const std::string& type, const std::string& url, const std::string& title,
                     const std::string& abstract, const std::string& size_line) {
  return "<table><tr><td><font color=#c60a00>【" + type + "】</font><a href=\"" + url +
         "\" target=_blank>" + title + "</a><br><font size=-1>文件格式:" + type +
         "/Adobe Acrobat - HTML版<br>" + abstract + "<br><font color=#008000>" + size_line +
         "</font><br></font></td></tr></table>\n";
}

TEST_F(DocParserTest, BaiduReadsTypeTitleAbstractAndSize) {
  std::string page = kBaiduDocHead +
                     BaiduDoc("PDF", "http://d.cn/a.pdf", "天气<b>报告</b>", "今年的&amp;天气",
                              "d.cn/a.pdf 245K 2007-3-1") +
                     BaiduDoc("DOC", "http://d.cn/b.doc", "二", "乙", "<b>d.cn</b>/b.doc 1K") +
                     kBaiduDocPager;
  auto parsed = ParsePage(ParseBaiduDoc, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].type, "PDF");  // lower-cased when shown, not here
  EXPECT_STREQ(parsed.records[0].url, "http://d.cn/a.pdf");
  EXPECT_STREQ(parsed.records[0].title, "天气报告");
  EXPECT_STREQ(parsed.records[0].abstract, "今年的&天气");
  EXPECT_STREQ(parsed.records[0].size_time, "245K 2007-3-1");
  EXPECT_STREQ(parsed.records[1].size_time, "1K");
  EXPECT_STREQ(PrevPageLink, "http://www.baidu.com/s?wd=filetype%3Apdf+x&pn=0");
  EXPECT_STREQ(NextPageLink, "http://www.baidu.com/s?wd=filetype%3Apdf+x&pn=100");
}

TEST_F(DocParserTest, BaiduDropsADocumentWhoseSizeLineHasNoBlankOrNoDigit) {
  std::string page = kBaiduDocHead +
                     BaiduDoc("DOC", "http://d.cn/1.doc", "一", "甲", "d.cn/1.doc") +
                     BaiduDoc("DOC", "http://d.cn/2.doc", "二", "乙", "d.cn/2.doc 未知") +
                     BaiduDoc("DOC", "http://d.cn/3.doc", "三", "丙", "d.cn/3.doc 3K");
  auto parsed = ParsePage(ParseBaiduDoc, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].title, "三");
}

TEST_F(DocParserTest, BaiduReadsUpperCaseTags) {
  std::string page = kBaiduDocHead +
                     "【RTF】<A HREF=\"http://u.cn/x.rtf\">大写</A><BR>跳过<BR>摘要<BR>u.cn 2K<BR>";
  auto parsed = ParsePage(ParseBaiduDoc, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].type, "RTF");
  EXPECT_STREQ(parsed.records[0].title, "大写");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要");
  EXPECT_STREQ(parsed.records[0].size_time, "2K");
}

TEST_F(DocParserTest, BaiduMissingLineEndsTheParse) {
  std::string page = kBaiduDocHead + BaiduDoc("PDF", "http://d.cn/1", "一", "甲", "d 1K") +
                     "【PDF】<a href=\"http://d.cn/2\">二</a><br>只有一行";
  auto parsed = ParsePage(ParseBaiduDoc, page);
  EXPECT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(ParsePage(ParseBaiduDoc, kBaiduDocPager + BaiduDoc("PDF", "u", "t", "a", "s 1")).result,
            -1);
}

// ---- Sogou ----

const std::string kSogouHead = "<html><body><div id=stats>搜索结果约 1,000 个</div>\n";
const std::string kSogouPager =
    "<div id=pager>结果页码：<a href=\"?query=filetype%3Apdf+x&page=1\">上一页</a>"
    "<a href=\"?query=filetype%3Apdf+x&page=3\">下一页</a></div>";

std::string SogouDoc(const std::string& url, const std::string& title, const std::string& abstract,
                     const std::string& size) {
  return "<div class=\"ff\"><h3><a href=\"" + url + "\" target=_blank>" + title +
         "</a></h3> <a href=\"/snapshot?x=1\">文字版</a></p><p>" + abstract +
         "</p><span class=s>PDF</span><span class=t>" + size + "</span></div>\n";
}

TEST_F(DocParserTest, SogouTakesTheTypeFromTheLinksLastThreeCharacters) {
  std::string page = kSogouHead +
                     SogouDoc("http://s.cn/files/report.pdf", "年度<em>报告</em>", "摘要&amp;一",
                              "1.2M 2007-3-1") +
                     SogouDoc("http://s.cn/get.asp?id=123", "二", "乙", "2K") + kSogouPager;
  auto parsed = ParsePage(ParseSogouDoc, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].type, "pdf");
  EXPECT_STREQ(parsed.records[0].url, "http://s.cn/files/report.pdf");
  EXPECT_STREQ(parsed.records[0].title, "年度报告");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要&一");
  EXPECT_STREQ(parsed.records[0].size_time, "1.2M 2007-3-1");
  EXPECT_STREQ(parsed.records[1].type, "123");
  EXPECT_STREQ(PrevPageLink, "http://www.sogou.com/web?query=filetype%3Apdf+x&page=1");
  EXPECT_STREQ(NextPageLink, "http://www.sogou.com/web?query=filetype%3Apdf+x&page=3");
}

TEST_F(DocParserTest, SogouLinkShorterThanThreeBytesIsItsOwnType) {
  auto parsed = ParsePage(ParseSogouDoc, kSogouHead + SogouDoc("ab", "一", "甲", "1K"));
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].type, "ab");
}

TEST_F(DocParserTest, SogouWithoutAnchorHasNoLinksAndWithoutMarkerNoRecords) {
  std::string page = kSogouHead + SogouDoc("http://s.cn/a.doc", "一", "甲", "1K") +
                     "<a href=\"?page=3\">下一页</a>";
  EXPECT_EQ(ParsePage(ParseSogouDoc, page).records.size(), 1u);
  EXPECT_STREQ(NextPageLink, "");
  EXPECT_EQ(ParsePage(ParseSogouDoc, SogouDoc("http://s.cn/a.doc", "一", "甲", "1K")).result, -1);
}

TEST_F(DocParserTest, SogouMissingTextVersionEndsTheParse) {
  std::string page = kSogouHead + SogouDoc("http://s.cn/a.doc", "一", "甲", "1K") +
                     "<div class=ff><a href=\"http://s.cn/b.doc\">二</a></div>";
  EXPECT_EQ(ParsePage(ParseSogouDoc, page).records.size(), 1u);
}

// ---- Google ----

const std::string kGoogleDocHead = "<html><body><p>约有 100 项符合的查询结果</p>\n";
const std::string kGoogleDocPager =
    "<table><tr><td>结果页码：</td><td><a href=\"/search?q=filetype%3Adoc+x&start=0\">上一页</a>"
    "<a href=\"/search?q=filetype%3Adoc+x&start=50\">下一页</a></td></tr></table>";

std::string GoogleDoc(const std::string& type, const std::string& url, const std::string& title,
                      const std::string& abstract) {
  return "<div class=g><span class=w><b>[" + type + "]</b></span> <a href=\"" + url + "\">" +
         title + "</a><br>" + abstract + "<br><span class=a>" + url + "</span></div>\n";
}

TEST_F(DocParserTest, GoogleReadsTypeInBracketsAfterTheBoldTag) {
  std::string page = kGoogleDocHead +
                     GoogleDoc("DOC", "http://g.cn/a.doc", "年度<b>计划</b>", "摘要&lt;一&gt;") +
                     GoogleDoc("PDF", "http://g.cn/b.pdf", "二", "乙") + kGoogleDocPager;
  auto parsed = ParsePage(ParseGoogleDoc, page);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].type, "DOC");
  EXPECT_STREQ(parsed.records[0].url, "http://g.cn/a.doc");
  EXPECT_STREQ(parsed.records[0].title, "年度计划");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要<一>");
  EXPECT_STREQ(parsed.records[0].size_time, "");
  EXPECT_STREQ(parsed.records[1].type, "PDF");
  EXPECT_STREQ(PrevPageLink, "http://www.google.cn/search?q=filetype%3Adoc+x&start=0");
  EXPECT_STREQ(NextPageLink, "http://www.google.cn/search?q=filetype%3Adoc+x&start=50");
}

TEST_F(DocParserTest, GooglePrefersTheUpperCaseBoldTag) {
  std::string page =
      kGoogleDocHead + "<P CLASS=W><B>[XLS]</B> <A HREF=\"http://g.cn/c.xls\">表格</A><BR>摘要<BR>";
  auto parsed = ParsePage(ParseGoogleDoc, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].type, "XLS");
  EXPECT_STREQ(parsed.records[0].url, "http://g.cn/c.xls");
  EXPECT_STREQ(parsed.records[0].title, "表格");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要");
}

TEST_F(DocParserTest, GoogleTypeWithoutBracketOrLinkEndsTheParse) {
  std::string page = kGoogleDocHead + GoogleDoc("DOC", "http://g.cn/a.doc", "一", "甲") +
                     "<span class=w><b>[PDF no bracket</b>";
  EXPECT_EQ(ParsePage(ParseGoogleDoc, page).records.size(), 1u);
  std::string no_link = kGoogleDocHead + GoogleDoc("DOC", "http://g.cn/a.doc", "一", "甲") +
                        "<span class=w><b>[PDF]</b> no link</span>";
  EXPECT_EQ(ParsePage(ParseGoogleDoc, no_link).records.size(), 1u);
}

}  // namespace
}  // namespace jollix

namespace jollix {
namespace {

TEST_F(DocParserTest, PagesCutShortAnywhereAreParsedWithinTheirBounds) {
  std::string baidu = kBaiduDocHead + BaiduDoc("PDF", "http://d.cn/1", "一", "甲", "d 1K") +
                      BaiduDoc("DOC", "http://d.cn/2", "二", "乙", "d 2K") + kBaiduDocPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseBaiduDoc, baidu), 2u);
  std::string sogou = kSogouHead + SogouDoc("http://s.cn/a.pdf", "一", "甲", "1K") +
                      SogouDoc("http://s.cn/b.doc", "二", "乙", "2K") + kSogouPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseSogouDoc, sogou), 2u);
  std::string google = kGoogleDocHead + GoogleDoc("DOC", "http://g.cn/a.doc", "一", "甲") +
                       GoogleDoc("PDF", "http://g.cn/b.pdf", "二", "乙") + kGoogleDocPager;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseGoogleDoc, google), 2u);
}

}  // namespace
}  // namespace jollix

namespace jollix {
namespace {

TEST_F(DocParserTest, OverlongTypeAndTitleAreCutOnCharacterBoundaries) {
  std::string type, title;
  for (int i = 0; i < 60; ++i) type += "类";
  for (int i = 0; i < 600; ++i) title += "题";
  auto parsed = ParsePage(ParseBaiduDoc,
                          kBaiduDocHead + BaiduDoc(type, "http://d.cn/1", title, "甲", "d.cn 1K"));
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(std::string(parsed.records[0].type), type.substr(0, 98));
  EXPECT_EQ(std::string(parsed.records[0].title), title.substr(0, 998));
}

TEST_F(DocParserTest, MissingMarkersEndTheParseKeepingEarlierRecords) {
  std::string baidu = kBaiduDocHead + BaiduDoc("PDF", "http://d.cn/1", "一", "甲", "d 1K");
  EXPECT_EQ(ParsePage(ParseBaiduDoc, baidu + "【PDF no close").records.size(), 1u);
  EXPECT_EQ(ParsePage(ParseBaiduDoc, baidu + "【PDF】 no link").records.size(), 1u);
  EXPECT_EQ(ParsePage(ParseBaiduDoc, baidu + "【PDF】<a href=\"u\">t</a> no line").records.size(),
            1u);
  std::string sogou = kSogouHead + SogouDoc("http://s.cn/a.doc", "一", "甲", "1K");
  EXPECT_EQ(ParsePage(ParseSogouDoc, sogou + "<p class=ff>no link").records.size(), 1u);
  EXPECT_EQ(ParsePage(ParseSogouDoc, sogou + "<p class=ff><a href=\"u\">t</a>文字版</p>x</p>")
                .records.size(),
            1u);  // no size spans
  std::string google = kGoogleDocHead + GoogleDoc("DOC", "http://g.cn/a.doc", "一", "甲");
  EXPECT_EQ(ParsePage(ParseGoogleDoc, google + "<p class=w>no bold").records.size(), 1u);
  EXPECT_EQ(ParsePage(ParseGoogleDoc, google + "<p class=w><b>[X]</b><a href=\"u\">t</a><br>a")
                .records.size(),
            1u);  // no line end after the abstract
}

}  // namespace
}  // namespace jollix
