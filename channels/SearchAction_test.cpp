// The search action end to end: the form's fields, the request that reaches the site (through
// the test server acting as the HTTP proxy for every host), the status texts, messages, rows and
// page links.
#include "channels/SearchAction.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channels/DocSearch.h"
#include "channels/NewsSearch.h"
#include "channels/SearchState.h"
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

}  // namespace
}  // namespace jollix
