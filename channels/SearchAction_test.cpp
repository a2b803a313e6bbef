// The search action end to end: the form's fields, the request that reaches the site (through
// the test server acting as the HTTP proxy for every host), the status texts, messages, rows and
// page links.
#include "channels/SearchAction.h"

#include <gtest/gtest.h>

#include <cstring>
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
#include "testing/FakePorts.h"
#include "testing/HttpTestServer.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::HttpReply;

const char kQuery[] = "天气 预报";
const char kEncoded[] = "%CC%EC%C6%F8+%D4%A4%B1%A8";

std::string BaiduPage(int results, const std::string& pager = "") {
  std::string page = "<html><body><form><input type=submit value=\"百度一下\"></form>\n";
  for (int i = 0; i < results; ++i) {
    std::string n = std::to_string(i);
    page += "<table><tr><td><a href=\"http://r" + n + ".cn/\">标题" + n + "</a><br>摘要" + n +
            "<br></td></tr></table>\n";
  }
  return page + pager + "<table><tr><td>相关搜索</td></tr></table>";
}

std::string GooglePage(const std::string& title) {
  return "<p>的查询结果</p><div class=g><a href=\"http://g.cn/\">" + title +
         "</a><table><tr><td class=j>摘要<br></td></tr></table></div>";
}

class SearchActionTest : public ::testing::Test {
 protected:
  SearchActionTest() : proxy_(server), home_(dir.path()) {
    ClearPageLinks();
    SetGoogleWebTrace(nullptr);
    form.query = kQuery;
  }
  ~SearchActionTest() override {
    ClearPageLinks();
    SetGoogleWebTrace(stdout);
  }

  SearchOutcome Run(Channel& channel) { return RunSearch(channel, form, ports); }

  std::vector<std::string> Targets() const {
    std::vector<std::string> targets;
    for (const auto& r : server.Requests()) targets.push_back(r.host + r.path);
    return targets;
  }
  const std::vector<std::string>& Status() { return status.texts[kChannelStatusPane]; }

  testing::HttpTestServer server;
  testing::FakeStatusLine status;
  testing::FakePrompter prompter;
  testing::FakeShell shell;
  testing::FakeResultTabs tabs{3};
  testing::FakeIconList icons;
  SearchPorts ports{&status, &prompter, &shell, &tabs, &icons};
  SearchForm form;
  testing::TempDir dir;

 private:
  testing::ScopedHttpProxy proxy_;
  testing::ScopedCurrentDir home_;
};

// ---- web pages ----

TEST_F(SearchActionTest, WebSearchSendsTheEncodedQueryAndShowsTheRows) {
  server.ServeForHost("www.baidu.com", "/baidu", HttpReply::Page(BaiduPage(2)));
  WebPageChannel web;
  EXPECT_EQ(Run(web), SearchOutcome::kShown);
  EXPECT_EQ(Targets(), std::vector<std::string>{std::string("www.baidu.com") +
                                                "/baidu?rn=100&tn=tavrelund_dg&wd=" + kEncoded});
  EXPECT_EQ(server.Requests()[0].request_line.rfind("GET http://www.baidu.com/baidu?", 0), 0u);
  EXPECT_EQ(Status(), (std::vector<std::string>{
                          "Jollix超级搜索---搜索是\"Jollix\"的事情！正在解析查询请求...",
                          "Jollix超级搜索---搜索是\"Jollix\"的事情！正在获取搜索结果...",
                          "Jollix超级搜索---搜索是\"Jollix\"的事情！正在解析结果网页...",
                          "Jollix一下，找到  2  条记录，所有记录均来自互联网，不代表Jollix超级搜索"
                          "赞成被搜索结果网站的内容或立场！",
                      }));
  ASSERT_EQ(tabs.pages[0].RowCount(), 2);
  EXPECT_EQ(tabs.pages[0].rows[0].cells,
            (std::vector<std::string>{"标题0", "http://r0.cn/", "摘要0"}));
  EXPECT_EQ(tabs.pages[0].rows[1].cells[0], "标题1");
  EXPECT_EQ(form.current_list, &tabs.pages[0]);
  EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(SearchActionTest, EachWebEngineHasItsOwnRequest) {
  WebPageChannel web;
  tabs.selected = 1;
  Run(web);
  tabs.selected = 2;
  Run(web);
  testing::FakeResultTabs four(4);
  four.selected = 3;
  ports.tabs = &four;
  Run(web);
  std::string google = std::string("www.google.cn/search?num=50&q=") + kEncoded;
  std::string yahoo = std::string("search.cn.yahoo.com/search?ei=gbk&p=") + kEncoded;
  EXPECT_EQ(Targets(), (std::vector<std::string>{google, yahoo, yahoo}));
  // The pages were 404s: each engine's own page shows the no-result row.
  EXPECT_EQ(tabs.pages[1].rows[0].cells[0], "没有找到符合条件的信息");
  EXPECT_EQ(four.pages[3].rows[0].cells[0], "没有找到符合条件的信息");
}

TEST_F(SearchActionTest, PageWithoutResultsShowsTheNoResultRowAlone) {
  server.Serve("/baidu", HttpReply::Page("<html>没有结果</html>"));
  tabs.pages[0].InsertRow(0, "old", -1);
  WebPageChannel web;
  EXPECT_EQ(Run(web), SearchOutcome::kShown);
  ASSERT_EQ(tabs.pages[0].RowCount(), 1);
  EXPECT_EQ(tabs.pages[0].Cell(0, 0), "没有找到符合条件的信息");
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---搜索是\"Jollix\"的事情！没有符合条件的网页！");
}

TEST_F(SearchActionTest, FetchFailureShowsTheMessageAndARowInTheLastFilledList) {
  server.Serve("/baidu", HttpReply::Page(BaiduPage(1)));
  WebPageChannel web;
  Run(web);  // fills page 0, which becomes the form's current list
  server.Serve("/search", HttpReply::HangUp());
  tabs.selected = 1;
  EXPECT_EQ(Run(web), SearchOutcome::kFetchFailed);
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text, "初始化采集器失败，请与软件开发商联系！");
  EXPECT_EQ(prompter.messages()[0].caption, "");  // the application title
  EXPECT_EQ(prompter.messages()[0].buttons, PromptButtons::kOk);
  ASSERT_EQ(tabs.pages[0].RowCount(), 2);
  EXPECT_EQ(tabs.pages[0].Cell(0, 0), "初始化采集器失败!");
  EXPECT_EQ(tabs.pages[0].Cell(1, 0), "标题0");
  EXPECT_EQ(tabs.pages[1].RowCount(), 0);
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---搜索是\"Jollix\"的事情！正在获取搜索结果...");
}

TEST_F(SearchActionTest, FirstSearchFailingShowsOnlyTheMessage) {
  server.Serve("/baidu", HttpReply::HangUp());
  WebPageChannel web;
  EXPECT_EQ(Run(web), SearchOutcome::kFetchFailed);
  EXPECT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(tabs.pages[0].RowCount(), 0);
  EXPECT_EQ(form.current_list, nullptr);
}

TEST_F(SearchActionTest, EngineWithoutTemplateFailsTheFetch) {
  testing::FakeResultTabs five(5);
  five.selected = 4;
  ports.tabs = &five;
  WebPageChannel web;
  EXPECT_EQ(Run(web), SearchOutcome::kFetchFailed);
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(SearchActionTest, HundredAndTwentyResultsKeepTheirOrder) {
  server.Serve("/baidu", HttpReply::Page(BaiduPage(120)));
  WebPageChannel web;
  Run(web);
  ASSERT_EQ(tabs.pages[0].RowCount(), 120);
  for (int i = 0; i < 120; ++i) {
    ASSERT_EQ(tabs.pages[0].Cell(i, 0), "标题" + std::to_string(i));
    ASSERT_EQ(tabs.pages[0].Cell(i, 1), "http://r" + std::to_string(i) + ".cn/");
  }
  EXPECT_NE(status.Last(kChannelStatusPane).find("找到  120  条记录"), std::string::npos);
}

TEST_F(SearchActionTest, PagingFetchesTheStoredLinkWithTheParserOfTheSelectedTab) {
  std::string pager = "<a href=\"s?wd=%CC%EC&pn=100\">下一页</a>";
  server.Serve("/baidu", HttpReply::Page(BaiduPage(1, pager)));
  server.ServeForHost("www.baidu.com", "/s?wd=%CC%EC&pn=100", HttpReply::Page(GooglePage("下页")));
  WebPageChannel web;
  Run(web);
  ASSERT_STREQ(NextPageLink, "www.baidu.com/s?wd=%CC%EC&pn=100");

  tabs.selected = 1;  // the user moved to the Google tab before paging
  form.query = "ignored while paging";
  {
    ScopedPaging paging(NextPageLink);
    EXPECT_EQ(Run(web), SearchOutcome::kShown);
  }
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[1].request_line,
            "GET http://www.baidu.com/s?wd=%CC%EC&pn=100 HTTP/1.1");
  ASSERT_EQ(tabs.pages[1].RowCount(), 1);
  EXPECT_EQ(tabs.pages[1].Cell(0, 0), "下页");
  EXPECT_EQ(tabs.pages[0].Cell(0, 0), "标题0");
  EXPECT_STREQ(NextPageLink, "");  // set anew from the page just parsed
}

TEST_F(SearchActionTest, EmptyQueryIsSentWithAnEmptyValue) {
  form.query = "";
  WebPageChannel web;
  Run(web);
  EXPECT_EQ(Targets(), std::vector<std::string>{"www.baidu.com/baidu?rn=100&tn=tavrelund_dg&wd="});
}

TEST_F(SearchActionTest, QueryWhoseEncodedFormDoesNotFitIsRefused) {
  std::string sixteen;
  for (int i = 0; i < 16; ++i) sixteen += "中";  // 96 bytes encoded
  WebPageChannel web;
  form.query = sixteen + "abc";  // 99 bytes encoded: fits
  Run(web);
  EXPECT_EQ(server.Requests().size(), 1u);
  form.query = sixteen + "abcd";  // 100 bytes encoded: does not
  EXPECT_EQ(Run(web), SearchOutcome::kRefused);
  EXPECT_EQ(server.Requests().size(), 1u);
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text, kQueryTooLongMessage);
  EXPECT_EQ(prompter.messages()[0].caption, kInputErrorCaption);
  form.query = std::string(200, 'a');
  EXPECT_EQ(Run(web), SearchOutcome::kRefused);
  EXPECT_EQ(server.Requests().size(), 1u);
}

// ---- news ----

TEST_F(SearchActionTest, NewsSearchShowsSourceUrlAndAbstract) {
  server.ServeForHost(
      "news.baidu.com", "/ns",
      HttpReply::Page("百度一下<table><tr><td class=zh><a href=\"http://n.cn/1\">新闻一</a> "
                      "<nobr>新华网 2007-4-8</nobr><br>摘要一</td></tr></table>"));
  NewsChannel news;
  EXPECT_EQ(Run(news), SearchOutcome::kShown);
  EXPECT_EQ(Targets(), std::vector<std::string>{
                           std::string("news.baidu.com/ns?word=") + kEncoded +
                           "&tn=tavrelund_dg&from=news&ie=gb2312&bs=qvx&sr=0&cl=2&rn=100&ct=0"});
  ASSERT_EQ(tabs.pages[0].RowCount(), 1);
  EXPECT_EQ(tabs.pages[0].rows[0].cells,
            (std::vector<std::string>{"新闻一", "新华网 2007-4-8", "http://n.cn/1", "摘要一"}));
  EXPECT_EQ(Status(),
            (std::vector<std::string>{
                "Jollix超级搜索---搜索您所需要的！正在解析用户查询...",
                "Jollix超级搜索---家事、国事、天下事，事事关心！正在获取网页数据...",
                "Jollix超级搜索---家事、国事、天下事，事事关心！正在解析网页数据...",
                "Jollix超级搜索---家事、国事、天下事，事事关心！找到符合条件的新闻  1  条",
            }));
}

TEST_F(SearchActionTest, GoogleNewsRequestAndNoResult) {
  tabs.selected = 1;
  NewsChannel news;
  Run(news);
  EXPECT_EQ(Targets(), std::vector<std::string>{
                           std::string("news.google.cn/news?num=50&ie=gbk&q=") + kEncoded});
  EXPECT_EQ(tabs.pages[1].Cell(0, 0), "没有找到符合条件的新闻");
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---家事、国事、天下事，事事关心！没有找到符合条件的新闻");
}

TEST_F(SearchActionTest, ThirdNewsEngineOpensTheBrowserAndLeavesTheListsAlone) {
  tabs.pages[0].InsertRow(0, "kept", -1);
  NewsChannel news;
  tabs.selected = 2;
  EXPECT_EQ(Run(news), SearchOutcome::kOpenedInBrowser);
  EXPECT_EQ(shell.opened, std::vector<std::string>{
                              std::string("http://news.cn.yahoo.com/search1.html?source=ysearch_"
                                          "news_search&p=") +
                              kEncoded});
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(tabs.pages[0].Cell(0, 0), "kept");
  EXPECT_EQ(Status(),
            std::vector<std::string>{"Jollix超级搜索---搜索您所需要的！正在解析用户查询..."});
}

TEST_F(SearchActionTest, ThirdNewsEngineFetchesTheStoredLinkWhilePaging) {
  NewsChannel news;
  tabs.selected = 2;
  {
    ScopedPaging paging("news.baidu.com/ns?pn=100");
    EXPECT_EQ(Run(news), SearchOutcome::kShown);
  }
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(Targets(), std::vector<std::string>{"news.baidu.com/ns?pn=100"});
  EXPECT_EQ(tabs.pages[2].Cell(0, 0), "没有找到符合条件的新闻");  // no parser for this tab
}

// ---- documents ----

std::string BaiduDocPage() {
  return "百度一下"
         "【PDF】<a href=\"http://d.cn/a.pdf\">报告</a><br>略<br>摘要<br>d.cn 245K 2007-3-1<br>"
         "【Ape】<a href=\"http://d.cn/b.ape\">怪</a><br>略<br>摘要二<br>d.cn 1K<br>";
}

TEST_F(SearchActionTest, DocumentSearchShowsLowerCaseTypesWithTheirIcons) {
  dir.Write("index/virtualfile.pdf", "");
  dir.Write("index/virtualfile.unknowextend", "");
  server.ServeForHost("www.baidu.com", "/s", HttpReply::Page(BaiduDocPage()));
  DocChannel docs;
  form.file_type = 2;
  EXPECT_EQ(Run(docs), SearchOutcome::kShown);
  EXPECT_EQ(
      Targets(),
      std::vector<std::string>{
          std::string("www.baidu.com/s?rn=100&tn=tavrelund_dg&wd=filetype%3Apdf+") + kEncoded});
  ASSERT_EQ(tabs.pages[0].RowCount(), 2);
  EXPECT_EQ(
      tabs.pages[0].rows[0].cells,
      (std::vector<std::string>{"报告", "pdf", "http://d.cn/a.pdf", "245K 2007-3-1", "摘要"}));
  EXPECT_EQ(tabs.pages[0].Cell(1, 1), "ape");
  EXPECT_EQ(icons.paths,
            (std::vector<std::string>{"index/virtualfile.pdf", "index/virtualfile.unknowextend"}));
  EXPECT_EQ(tabs.pages[0].rows[0].image, 0);
  EXPECT_EQ(tabs.pages[0].rows[1].image, 1);
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班..."
            "找到符合条件的文档 2  个！");
}

TEST_F(SearchActionTest, DocumentSearchForAllTypesSendsTheWordAll) {
  DocChannel docs;
  form.file_type = 0;
  tabs.selected = 1;
  Run(docs);
  EXPECT_EQ(Targets(),
            std::vector<std::string>{std::string("www.sogou.com/web?query=filetype%3Aall+") +
                                     kEncoded + "&num=50"});
  ASSERT_EQ(tabs.pages[1].RowCount(), 1);
  EXPECT_EQ(tabs.pages[1].rows[0].cells, (std::vector<std::string>{"", "没有找到符合条件的文档"}));
}

TEST_F(SearchActionTest, GoogleRefusesAllDocumentTypesWithoutFetching) {
  DocChannel docs;
  form.file_type = 0;
  tabs.selected = 2;
  EXPECT_EQ(Run(docs), SearchOutcome::kRefused);
  EXPECT_TRUE(server.Requests().empty());
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text,
            "谷歌不支持搜索所有类型的文档，请选择您需要的具体文件类型！");
  EXPECT_EQ(prompter.messages()[0].caption, "格式选择错误");
  EXPECT_EQ(Status().size(), 1u);
}

TEST_F(SearchActionTest, GoogleDocumentsHaveNoSize) {
  server.ServeForHost(
      "www.google.cn", "/search",
      HttpReply::Page("的查询结果<p class=w><b>[DOC]</b><a href=\"http://g.cn/a.doc\">"
                      "计划</a><br>摘要<br></p>"));
  DocChannel docs;
  form.file_type = 1;
  tabs.selected = 2;
  Run(docs);
  EXPECT_EQ(Targets(), std::vector<std::string>{
                           std::string("www.google.cn/search?num=50&complete=1&hl=zh-CN&q=filetype"
                                       "%3Adoc+") +
                           kEncoded + "&meta="});
  ASSERT_EQ(tabs.pages[2].RowCount(), 1);
  EXPECT_EQ(tabs.pages[2].rows[0].cells,
            (std::vector<std::string>{"计划", "doc", "http://g.cn/a.doc", "Google未提供", "摘要"}));
}

// ---- music ----

std::string YahooMusicPage() {
  return "<table><tr><th>连通率</th></tr><tbody class=list><tr><td><a href=\"http://y.cn/s1\" "
         "title=\"点击查看下载链接\">夜曲</a></td><td><a title=\"按歌手搜索\">周杰伦</a></td><td>"
         "<a title=\"按专辑搜索\">十一月的萧邦</a></td><td><a>歌词</a></td><td>MP3</td><td>4.5M"
         "</td></tr><tr><td><a href=\"http://y.cn/s2\" title=\"点击查看下载链接\">晴天</a></td>"
         "<td><a title=\"按歌手搜索\">周杰伦</a></td><td><a title=\"按专辑搜索\">叶惠美</a>"
         "</td><td><a>歌词</a></td><td>ape</td><td>30M</td></tr></tbody></table>"
         "<a href=\"search?p=x&pn=2\">下一页</a>";
}

TEST_F(SearchActionTest, MusicSearchShowsSongsWithTheirFormatIcons) {
  dir.Write("index/virtualfile.mp3", "");
  dir.Write("index/virtualfile.unknowextend", "");
  server.ServeForHost("music.cn.yahoo.com", "/search", HttpReply::Page(YahooMusicPage()));
  MusicChannel music;
  tabs.selected = 1;
  form.format = 2;
  EXPECT_EQ(Run(music), SearchOutcome::kShown);
  EXPECT_EQ(Targets(), std::vector<std::string>{std::string("music.cn.yahoo.com/search?p=") +
                                                kEncoded + "&mimetype=wms"});
  ASSERT_EQ(tabs.pages[1].RowCount(), 2);
  EXPECT_EQ(tabs.pages[1].rows[0].cells,
            (std::vector<std::string>{"夜曲", "周杰伦", "十一月的萧邦", "4.5M", "mp3",
                                      "http://y.cn/s1"}));
  EXPECT_EQ(tabs.pages[1].Cell(1, 4), "ape");
  EXPECT_EQ(icons.paths,
            (std::vector<std::string>{"index/virtualfile.mp3", "index/virtualfile.unknowextend"}));
  EXPECT_EQ(tabs.pages[1].rows[1].image, 1);
  EXPECT_STREQ(NextPageLink, "http://music.cn.yahoo.com/search?p=x&pn=2");
  EXPECT_EQ(Status(),
            (std::vector<std::string>{
                "Jollix超级搜索---天下音乐一网打尽！正在解析用户查询...",
                "Jollix超级搜索---天下音乐一网打尽，正在获取网页数据...",
                "Jollix超级搜索---天下音乐一网打尽！正在解析网页数据...",
                "Jollix超级搜索---天下音乐一网打尽！Jollix一下，找到符合条件的音乐 2  首！",
            }));
}

TEST_F(SearchActionTest, MusicSearchWithoutSongsAndAfterAFailedFetch) {
  MusicChannel music;
  form.format = -1;
  EXPECT_EQ(Run(music), SearchOutcome::kShown);  // a 404: an empty page
  EXPECT_EQ(Targets(), std::vector<std::string>{
                           std::string("mp3.baidu.com/m?f=ms&rn=&tn=baidump3&ct=134217728&word=") +
                           kEncoded + "&lm=-1&cb=tavrelund_dg"});
  EXPECT_EQ(tabs.pages[0].rows[0].cells, std::vector<std::string>{"没有找到符合条件的音乐"});
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---天下音乐一网打尽！没有找到符合条件的音乐");
  server.Serve("/m", HttpReply::HangUp());
  EXPECT_EQ(Run(music), SearchOutcome::kFetchFailed);
  ASSERT_EQ(tabs.pages[0].RowCount(), 2);
  EXPECT_EQ(tabs.pages[0].Cell(0, 0), "初始化采集器失败!");
}

// ---- software ----

TEST_F(SearchActionTest, NewhuaSearchSendsTheQueryAsTyped) {
  server.ServeForHost(
      "search.newhua.com", "/search.asp",
      HttpReply::Page("<table><tr><td>文件大小</td></tr></table><table><tr><td><a href=\"http://"
                      "www.newhua.com/soft/1.htm\">天气预报</a></td><td>2007-3-1</td><td>88</td>"
                      "<td>1 MB</td></tr><tr><td>描述：桌面天气</td></tr></table>"
                      "<p>搜索结果 『共 1 个』</p>"));
  SoftwareChannel software;
  tabs.selected = 1;
  EXPECT_EQ(Run(software), SearchOutcome::kShown);
  ASSERT_EQ(server.Requests().size(), 1u);
  // The GBK bytes reach the site as they were typed; the blank, which a request line cannot
  // carry, as "%20" (the encoded query of the other engines has "+").
  EXPECT_EQ(server.Requests()[0].path, "/search.asp?Keyword=天气%20预报");
  ASSERT_EQ(tabs.pages[1].RowCount(), 1);
  EXPECT_EQ(tabs.pages[1].rows[0].cells,
            (std::vector<std::string>{"天气预报", "2007-3-1", "1 MB", "88",
                                      "http://www.newhua.com/soft/1.htm", "描述：桌面天气"}));
  const char* prefix = "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！";
  EXPECT_EQ(Status(), (std::vector<std::string>{
                          std::string(prefix) + "正在解析用户查询...",
                          std::string(prefix) + "正在获取网页数据...",
                          std::string(prefix) + "正在解析网页数据...",
                          std::string(prefix) + "Jollix一下，找到软件 1 个！",
                      }));
}

TEST_F(SearchActionTest, SoftwareSearchEncodesForSkycnAndSinaAndFailsWithoutARow) {
  SoftwareChannel software;
  Run(software);
  tabs.selected = 2;
  Run(software);
  EXPECT_EQ(Targets(),
            (std::vector<std::string>{
                std::string("www.skycn.com/search.php?ss_name=") + kEncoded,
                std::string("tech.sina.com.cn/download/d_search.php?f_name=") + kEncoded}));
  EXPECT_EQ(tabs.pages[2].rows[0].cells, std::vector<std::string>{"没有找到符合条件的软件"});
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！"
            "没有找到符合条件的软件");

  server.Serve("/download/d_search.php", HttpReply::HangUp());
  EXPECT_EQ(Run(software), SearchOutcome::kFetchFailed);
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text, "初始化采集器失败，请与软件开发商联系！");
  ASSERT_EQ(tabs.pages[2].RowCount(), 1);  // no failure row
  EXPECT_EQ(tabs.pages[2].Cell(0, 0), "没有找到符合条件的软件");
}

// ---- travel ----

class TravelSearchTest : public SearchActionTest {
 protected:
  TravelSearchTest() {
    ports.tabs = &one_tab;
    std::strcpy(NextPageLink, "www.baidu.com/s?pn=10");
  }
  testing::FakeResultTabs one_tab{1};
  TravelChannel travel;
};

TEST_F(TravelSearchTest, FlightsSendTheCitiesUnencodedAndFillTheFirstTab) {
  server.ServeForHost("www.feeyo.com", "/cgi-bin/flight/searchapi.cgi",
                      HttpReply::Page("<TABLE><TR><TD>班期</TD></TR><TR><TD>CA1501</TD><TD>737"
                                      "</TD><TD>首都 08:00</TD><TD>虹桥 10:05</TD><TD>每日</TD>"
                                      "</TR></TABLE>"));
  form.tab = 2;
  form.query = "北京";
  form.second_query = "上海";
  EXPECT_EQ(Run(travel), SearchOutcome::kShown);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/cgi-bin/flight/searchapi.cgi?org=北京&dst=上海");
  ASSERT_EQ(one_tab.pages[0].RowCount(), 1);
  EXPECT_EQ(one_tab.pages[0].rows[0].cells,
            (std::vector<std::string>{"CA1501", "737", "首都 08:00", "虹桥 10:05", "每日"}));
  EXPECT_EQ(Status(),
            (std::vector<std::string>{
                "Jollix超级搜索---让天下没有难走的路！正在解析用户查询...",
                "Jollix超级搜索---让天下没有难走的路！正在获取结果页面...",
                "Jollix超级搜索---让天下没有难走的路！正在解析网页数据...",
                "Jollix超级搜索---让天下没有难走的路！Jollix一下，找到符合条件的信息 1 条！",
            }));
  EXPECT_STREQ(NextPageLink, "www.baidu.com/s?pn=10");  // travel pages leave the links alone
}

TEST_F(TravelSearchTest, TrainsAreEncodedAndAnEmptyPageShowsTheNoResultTexts) {
  form.tab = 1;
  form.query = "北京";
  form.second_query = "上海";
  EXPECT_EQ(Run(travel), SearchOutcome::kShown);
  EXPECT_EQ(Targets(), std::vector<std::string>{
                           "search.huochepiao.com/chaxun/result.asp?txtChuFa=%B1%B1%BE%A9&"
                           "txtDaoDa=%C9%CF%BA%A3&submit.x=31&submit.y=9"});
  EXPECT_EQ(one_tab.pages[0].rows[0].cells, std::vector<std::string>{"没有找到符合条件的出行信息"});
  EXPECT_EQ(status.Last(kChannelStatusPane), "Jollix超级搜索----我搜索，我Jollix！");
}

TEST_F(TravelSearchTest, PhoneNumberIsCheckedBeforeAnyRequest) {
  form.tab = 3;
  for (const char* wrong : {"1391234567", "1391234567x"}) {
    form.query = wrong;
    EXPECT_EQ(Run(travel), SearchOutcome::kRefused);
  }
  EXPECT_TRUE(server.Requests().empty());
  ASSERT_EQ(prompter.messages().size(), 2u);
  EXPECT_EQ(prompter.messages()[0].text, kPhoneNumberError);
  EXPECT_EQ(prompter.messages()[0].caption, "输入错误");
  EXPECT_EQ(one_tab.pages[0].RowCount(), 0);

  form.query = " 13912345678 ";
  server.ServeForHost("www.imobile.com.cn", "/search2005.php",
                      HttpReply::Page("在手机号码归属地查询系统号码段1391234归属地北京卡类型全球通"
                                      "邮政编码100000电话区号010"));
  EXPECT_EQ(Run(travel), SearchOutcome::kShown);
  EXPECT_EQ(form.query, "13912345678");  // the field itself is trimmed
  EXPECT_EQ(Targets(), std::vector<std::string>{"www.imobile.com.cn/search2005.php?from=tavrelund&"
                                                "searchkeyword=13912345678"});
  EXPECT_EQ(one_tab.pages[0].RowCount(), 6);
}

TEST_F(TravelSearchTest, PagingModeIsNotConsulted) {
  form.tab = 0;
  form.query = "北京";
  {
    ScopedPaging paging(NextPageLink);
    Run(travel);
  }
  EXPECT_EQ(Targets(),
            std::vector<std::string>{"weather.sina.com.cn/search.php?city=%B1%B1%BE%A9"});
}

// ---- education ----

TEST_F(SearchActionTest, IdiomSearchFillsTheFirstTabWhateverTabIsSelected) {
  server.ServeForHost(
      "www.sogou.com", "/features/idiom.jsp",
      HttpReply::Page("<div>成语查询结果</div><p>【一心一意】专心。【三心二意】不专心。</p>"));
  EducationChannel education;
  tabs.selected = 2;
  form.tab = 2;
  EXPECT_EQ(Run(education), SearchOutcome::kShown);
  EXPECT_EQ(Targets(), std::vector<std::string>{
                           std::string("www.sogou.com/features/idiom.jsp?query=") + kEncoded});
  ASSERT_EQ(tabs.pages[0].RowCount(), 2);
  EXPECT_EQ(tabs.pages[0].rows[0].cells, (std::vector<std::string>{"【一心一意--专心。", "", ""}));
  EXPECT_EQ(tabs.pages[0].Cell(1, 0), "三心二意--不专心。");
  EXPECT_EQ(tabs.pages[2].RowCount(), 0);
  EXPECT_EQ(Status(),
            (std::vector<std::string>{
                "Jollix超级搜索---让天下最好的老师都在您的身边！正在解析用户查询...",
                "Jollix超级搜索---让天下最好的老师都在您的身边！正在获取网页数据...",
                "Jollix超级搜索---让天下最好的老师都在您的身边！正在解析网页数据...",
                "Jollix超级搜索---让天下最好的老师都在您的身边！找到符合条件的信息 2 条！",
            }));
}

TEST_F(SearchActionTest, ScholarOpensTheBrowserButPagingParsesTheStoredLink) {
  EducationChannel education;
  form.tab = 0;
  EXPECT_EQ(Run(education), SearchOutcome::kOpenedInBrowser);
  EXPECT_EQ(shell.opened,
            std::vector<std::string>{std::string("http://scholar.google.com/scholar?q=") +
                                     kEncoded + "&ie=gb2312"});
  EXPECT_TRUE(server.Requests().empty());

  server.ServeForHost("scholar.google.com", "/scholar?start=10",
                      HttpReply::Page("查询结果<p class=g><a href=\"http://p/1\">论文</a><br>"
                                      "摘要<a>被引用次数 - 7</a></p>"));
  {
    ScopedPaging paging("scholar.google.com/scholar?start=10");
    EXPECT_EQ(Run(education), SearchOutcome::kShown);
  }
  EXPECT_EQ(shell.opened.size(), 1u);
  ASSERT_EQ(tabs.pages[0].RowCount(), 1);
  EXPECT_EQ(tabs.pages[0].rows[0].cells, (std::vector<std::string>{"论文", "http://p/1", "摘要"}));
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---让天下最好的老师都在您的身边！找到符合条件的信息 1 条！");
}

TEST_F(SearchActionTest, EducationPageWithoutResultsShowsTheNoResultTexts) {
  EducationChannel education;
  form.tab = 3;
  EXPECT_EQ(Run(education), SearchOutcome::kShown);
  EXPECT_EQ(Targets(), std::vector<std::string>{std::string("www.baidu.com/s?tn=tavrelund_dg&wd=") +
                                                kEncoded + "&ct=1048576&ie=gb2312"});
  EXPECT_EQ(tabs.pages[0].rows[0].cells, std::vector<std::string>{"没有找到符合条件的信息"});
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---让天下最好的老师都在您的身边！没有找到符合条件的信息");
}

}  // namespace
}  // namespace jollix
