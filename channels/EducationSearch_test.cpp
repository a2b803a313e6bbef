#include "channels/EducationSearch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channels/SearchState.h"
#include "testing/FakePorts.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

using testing::ParsePage;

std::vector<std::string> Titles(const std::vector<EducationRecord>& records) {
  std::vector<std::string> titles;
  for (const EducationRecord& r : records) titles.push_back(r.title);
  return titles;
}

class EducationParserTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPageLinks(); }
  void TearDown() override { ClearPageLinks(); }
};

// ---- scholar ----

const std::string kScholarHead = "<html><body><p>约有 100 项关于 天气 的查询结果</p>\n";

std::string ScholarResult(const std::string& first_line, const std::string& source,
                          const std::string& abstract, const std::string& cited) {
  std::string result = "<p class=g>" + first_line + "<br>\n<font size=-1>";
  if (!source.empty()) result += "<span class=a>" + source + "</span><br>";
  result += abstract;
  if (!cited.empty()) result += "<br><a href=\"cites?id=1\">被引用次数" + cited + "</a> - 相关文章";
  return result + "</font></p>\n";
}

TEST_F(EducationParserTest, ScholarReadsLinkTitleSourceAbstractAndCitations) {
  std::strcpy(NextPageLink, "scholar.google.com/scholar?start=10");
  std::string page =
      kScholarHead +
      ScholarResult(
          "<span class=\"w\"><a href=\"http://paper.cn/1.pdf\">气候<b>变化</b>研究</a>"
          "</span>",
          "张三 - 气象学报, 2005 - cmsjournal.net", "近年来的气候变化 &amp; 观测", "：12") +
      ScholarResult("<span class=\"w\"><a href=\"http://paper.cn/2\">天气学</a></span>", "",
                    "天气学原理", "：3") +
      "</body></html>";
  auto parsed = ParsePage(ParseScholar, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const EducationRecord& r = parsed.records[0];
  EXPECT_STREQ(r.url, "http://paper.cn/1.pdf");
  EXPECT_STREQ(r.title, "气候变化研究");
  EXPECT_STREQ(r.source, "张三 - 气象学报, 2005 - cmsjournal.net");
  EXPECT_STREQ(r.abstract, "近年来的气候变化 & 观测");
  EXPECT_STREQ(r.citations, "：12");
  EXPECT_STREQ(parsed.records[1].source, "");
  EXPECT_STREQ(parsed.records[1].abstract, "天气学原理");
  EXPECT_STREQ(parsed.records[1].citations, "：3");
  EXPECT_STREQ(NextPageLink, "");  // a scholar page has no page links
}

TEST_F(EducationParserTest, ScholarResultWithoutLinkNamesTheMissingLink) {
  std::string page = kScholarHead + ScholarResult("<b>[图书]</b> 天气学", "", "摘要", "：1");
  auto parsed = ParsePage(ParseScholar, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "没有找到下载链接");
  EXPECT_STREQ(parsed.records[0].title, "[图书] 天气学");
}

TEST_F(EducationParserTest, ScholarSkipsAResultWithoutCitationCount) {
  std::string page = kScholarHead +
                     ScholarResult("<a href=\"http://p/1\">一</a>", "甲", "摘要一", "") +
                     ScholarResult("<a href=\"http://p/2\">二</a>", "乙", "摘要二", "：5") +
                     "<p class=g><a href=\"http://p/3\">no line end</a></p>";
  auto parsed = ParsePage(ParseScholar, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://p/2");
  EXPECT_STREQ(parsed.records[0].abstract, "摘要二");
}

TEST_F(EducationParserTest, ScholarComparesClassValuesWhole) {
  std::string page = kScholarHead +
                     "<div class=gs><a href=\"http://ad/\">广告</a><br>被引用次数1</div>" +
                     ScholarResult("<a href=\"http://p/1\">一</a>", "", "摘要", "2");
  auto parsed = ParsePage(ParseScholar, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://p/1");
  EXPECT_STREQ(parsed.records[0].citations, "2");
  EXPECT_EQ(ParsePage(ParseScholar, ScholarResult("<a href=\"x\">t</a>", "", "a", "1")).result, -1);
}

// ---- classics ----

const std::string kClassicsHead =
    "<html><body><div class=p><a href=\"s?wd=%C2%DB%D3%EF&pn=0\">上一页</a>"
    "<a href=\"s?wd=%C2%DB%D3%EF&pn=20\">下一页</a></div>"
    "<form><input type=submit value=\"百度一下\"></form><div class=\"r\">\n";

std::string ClassicsResult(const std::string& url, const std::string& title,
                           const std::string& abstract) {
  return "<table><tr><td><a href=\"" + url + "\" target=_blank>" + title + "</a><br>" + abstract +
         "<br><font color=green>guoxue.baidu.com</font></td></tr></table>\n";
}

TEST_F(EducationParserTest, ClassicsReadsEachTableAndThePageLinks) {
  std::string page = kClassicsHead +
                     ClassicsResult("http://guoxue.baidu.com/page/1.html", "论语·<b>学而</b>",
                                    "学而时习之，不亦说乎") +
                     ClassicsResult("http://guoxue.baidu.com/page/2.html", "孟子", "二") +
                     "</div></body></html>";
  auto parsed = ParsePage(ParseClassics, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_STREQ(parsed.records[0].url, "http://guoxue.baidu.com/page/1.html");
  EXPECT_STREQ(parsed.records[0].title, "论语·学而");
  EXPECT_STREQ(parsed.records[0].abstract, "学而时习之，不亦说乎");
  EXPECT_STREQ(parsed.records[1].title, "孟子");
  EXPECT_STREQ(PrevPageLink, "http://guoxue.baidu.com/s?wd=%C2%DB%D3%EF&pn=0");
  EXPECT_STREQ(NextPageLink, "http://guoxue.baidu.com/s?wd=%C2%DB%D3%EF&pn=20");
}

TEST_F(EducationParserTest, ClassicsMissingMarkerEndsTheParse) {
  std::string one_line =
      "<table><tr><td><a href=\"http://g/2\">二</a><br>没有第二行</td></tr></table>";
  std::string page = kClassicsHead + ClassicsResult("http://g/1", "一", "甲") + one_line +
                     ClassicsResult("http://g/3", "三", "丙");
  auto parsed = ParsePage(ParseClassics, page);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(Titles(parsed.records), std::vector<std::string>{"一"});
  EXPECT_EQ(ParsePage(ParseClassics, "百度一下" + ClassicsResult("u", "t", "a")).result, -1);
  EXPECT_EQ(ParsePage(ParseClassics, "<div class=r>" + ClassicsResult("u", "t", "a")).result, -1);
}

// ---- idioms ----

TEST_F(EducationParserTest, IdiomTextGivesOneItemPerHeadword) {
  std::string page =
      "<html><body><div>搜狗成语查询结果</div><div class=r>【一心一意】<br>形容只有一个心眼，"
      "没有别的考虑。【一模一样】<br>形容完全一样。</div></body></html>";
  auto parsed = ParsePage(ParseIdioms, page);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(Titles(parsed.records),
            (std::vector<std::string>{"【一心一意--形容只有一个心眼，没有别的考虑。",
                                      "一模一样--形容完全一样。"}));
  EXPECT_STREQ(parsed.records[0].url, "");
  EXPECT_STREQ(parsed.records[0].abstract, "");
}

TEST_F(EducationParserTest, IdiomBracketsAreFoundOnlyAsWholeCharacters) {
  // The bytes of "啊靠" and "啊京" hold those of "】" and "【" across two characters.
  auto parsed = ParsePage(ParseIdioms, "成语查询结果>啊靠啊京【二】");
  EXPECT_EQ(Titles(parsed.records), (std::vector<std::string>{"啊靠啊京", "二--"}));
}

TEST_F(EducationParserTest, IdiomPageWithoutResultMarker) {
  EXPECT_EQ(ParsePage(ParseIdioms, "【一心一意】").result, -1);
  EXPECT_EQ(ParsePage(ParseIdioms, "成语查询结果").result, -1);
  auto empty = ParsePage(ParseIdioms, "成语查询结果>");
  EXPECT_EQ(Titles(empty.records), std::vector<std::string>{""});
}

// ---- dictionary ----

TEST_F(EducationParserTest, DictionaryCutsItemTenBeforeItsSecondDigit) {
  std::string items;
  for (int i = 1; i <= 10; ++i) items += std::to_string(i) + ".义项" + std::to_string(i) + "。";
  std::string page = "<html><a href=#>把百度设为首页</a><div>天气 tian qi<br>" + items +
                     "<br>以上内容由汉典提供</div><p>其他内容</p></html>";
  auto parsed = ParsePage(ParseDictionary, page);
  EXPECT_EQ(parsed.result, 0);
  std::vector<std::string> want = {"天气 tian qi"};
  for (int i = 1; i <= 8; ++i)
    want.push_back(std::to_string(i) + ".义项" + std::to_string(i) + "。");
  want.push_back("9.义项9。1");
  want.push_back("0.义项10。以上内容由汉典提供");
  EXPECT_EQ(Titles(parsed.records), want);
}

TEST_F(EducationParserTest, DictionaryWithoutProviderTakesTheRestOfThePage) {
  auto parsed = ParsePage(ParseDictionary, "把百度设为首页>1.甲<p>尾</p>");
  EXPECT_EQ(Titles(parsed.records), (std::vector<std::string>{"", "1.甲尾"}));
  EXPECT_EQ(ParsePage(ParseDictionary, "1.甲 2.乙").result, -1);
}

TEST_F(EducationParserTest, PagesCutShortAnywhereStayWithinThePage) {
  std::string scholar = kScholarHead +
                        ScholarResult("<a href=\"http://p/1\">一</a>", "甲", "摘要", "：1") +
                        ScholarResult("<a href=\"http://p/2\">二</a>", "", "摘要", "：2");
  EXPECT_EQ(testing::ParseEveryPrefix(ParseScholar, scholar), 2u);
  std::string classics = kClassicsHead + ClassicsResult("http://g/1", "一", "甲");
  EXPECT_EQ(testing::ParseEveryPrefix(ParseClassics, classics), 1u);
  EXPECT_EQ(testing::ParseEveryPrefix(ParseIdioms, "成语查询结果>【甲】一【乙】二"), 2u);
  EXPECT_EQ(testing::ParseEveryPrefix(ParseDictionary, "把百度设为首页>1.甲2.乙提供"), 3u);
}

// ---- channel ----

TEST(EducationSearch, SourceComesFromTheFormAndScholarOpensInTheBrowser) {
  EducationChannel education;
  testing::FakeResultTabs tabs(1);
  SearchForm form;
  form.tab = 3;
  EXPECT_EQ(education.Engine(form, tabs), 3);
  EXPECT_EQ(education.ListPosition(3), 0);
  EXPECT_TRUE(education.OpensInBrowser(0));
  EXPECT_FALSE(education.OpensInBrowser(1));
  EXPECT_TRUE(education.Pages());
}

TEST(EducationSearch, UrlsOfTheFourSources) {
  EducationChannel education;
  SearchForm form;
  form.query = "论语 学而";
  const char* q = "%C2%DB%D3%EF+%D1%A7%B6%F8";
  std::string url;
  ASSERT_TRUE(education.BuildUrl(form, 0, &url));
  EXPECT_EQ(url, std::string("http://scholar.google.com/scholar?q=") + q + "&ie=gb2312");
  ASSERT_TRUE(education.BuildUrl(form, 1, &url));
  EXPECT_EQ(url, std::string("http://guoxue.baidu.com/s?tn=baiduguoxue&ie=gb2312&bs=") + q +
                     "&cl=3&si=guoxue.baidu.com&wd=" + q + "&ct=2097152");
  ASSERT_TRUE(education.BuildUrl(form, 2, &url));
  EXPECT_EQ(url, std::string("http://www.sogou.com/features/idiom.jsp?query=") + q);
  ASSERT_TRUE(education.BuildUrl(form, 3, &url));
  EXPECT_EQ(
      url, std::string("http://www.baidu.com/s?tn=tavrelund_dg&wd=") + q + "&ct=1048576&ie=gb2312");
  ASSERT_TRUE(education.BuildUrl(form, 4, &url));
  EXPECT_EQ(url, "");
}

TEST(EducationSearch, RowsHoldTitleUrlAndAbstract) {
  EducationChannel education;
  testing::FakeResultPage list;
  std::string page = "把百度设为首页>1.甲2.乙";
  ASSERT_EQ(education.ParseAndShow(3, page.data(), &list, nullptr), 3);
  EXPECT_EQ(list.rows[1].cells, (std::vector<std::string>{"1.甲", "", ""}));
  std::string nothing = "<html></html>";
  EXPECT_EQ(education.ParseAndShow(2, nothing.data(), &list, nullptr), 0);
  EXPECT_EQ(list.rows[0].cells, std::vector<std::string>{"没有找到符合条件的信息"});
}

}  // namespace
}  // namespace jollix
