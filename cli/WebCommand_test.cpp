// jollix web as a program: run against the test server acting as the HTTP proxy.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/Gbk.h"
#include "testing/HttpTestServer.h"
#include "testing/Process.h"
#include "testing/TestInstallation.h"

namespace jollix {
namespace {

using testing::HttpReply;

struct Outcome {
  int status = -1;
  std::string out, err;
};

class WebCommandTest : public ::testing::Test {
 protected:
  WebCommandTest() : proxy_(server) {}

  // Runs jollix with blank-separated arguments given in GBK (converted to UTF-8 as a terminal
  // passes them).
  Outcome Jollix(const std::string& gbk_arguments) {
    std::vector<std::string> args = {"jollix"};
    std::istringstream words(GbkToUtf8Lossy(gbk_arguments));
    for (std::string word; words >> word;) args.push_back(word);
    testing::ProgramRun run = testing::RunProgram(testing::BuildProgram("jollix"), args, {});
    return {run.ExitStatus, run.Out, run.Err};
  }

  testing::HttpTestServer server;

 private:
  testing::ScopedHttpProxy proxy_;
};

std::string Utf8(const char* gbk) { return GbkToUtf8Lossy(gbk); }

TEST_F(WebCommandTest, PrintsTheRowsOfTheFilledPage) {
  server.ServeForHost(
      "www.baidu.com", "/baidu",
      HttpReply::Page("百度一下<table><a href=\"http://w.cn/\">天气<b>网</b></a><br>预报&amp;"
                      "实况<br></table><table><a href=\"http://x.cn/\">第二</a><br>摘\t要<br>"
                      "</table><table></table>"));
  Outcome run = Jollix("web web 0 天气");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Utf8("天气网\thttp://w.cn/\t预报&实况\n第二\thttp://x.cn/\t摘 要\n"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].host + server.Requests()[0].path,
            "www.baidu.com/baidu?rn=100&tn=tavrelund_dg&wd=%CC%EC%C6%F8");
  EXPECT_NE(run.err.find(Utf8("正在获取搜索结果...")), std::string::npos);
  EXPECT_NE(run.err.find(Utf8("找到  2  条记录")), std::string::npos);
}

TEST_F(WebCommandTest, QueryWordsAreJoinedByBlanks) {
  Outcome run = Jollix("web news 1 天 气");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Utf8("没有找到符合条件的新闻\t\t\t\n"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/news?num=50&ie=gbk&q=%CC%EC+%C6%F8");
}

TEST_F(WebCommandTest, BrowserEnginePrintsTheUrl) {
  Outcome run = Jollix("web news 2 天气");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "http://news.cn.yahoo.com/search1.html?source=ysearch_news_search&p=%CC%EC%C6%F8\n");
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(WebCommandTest, DocumentTypeAndRefusal) {
  Outcome run = Jollix("web doc 1 --type 3 天气");
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/web?query=filetype%3Axls+%CC%EC%C6%F8&num=50");
  Outcome refused = Jollix("web doc 2 天气");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find(Utf8("谷歌不支持搜索所有类型的文档")), std::string::npos);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(WebCommandTest, FetchFailureIsReported) {
  server.Serve("/baidu", HttpReply::HangUp());
  Outcome run = Jollix("web web 0 x");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(Utf8("初始化采集器失败，请与软件开发商联系！")), std::string::npos);
}

TEST_F(WebCommandTest, UsageErrors) {
  EXPECT_EQ(Jollix("web").status, 2);
  EXPECT_EQ(Jollix("web nothing 0 x").status, 2);
  EXPECT_EQ(Jollix("web web x y").status, 2);
  EXPECT_EQ(Jollix("web doc 0 --type").status, 2);
  Outcome help = Jollix("web --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: jollix web CHANNEL ENGINE"), std::string::npos);
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(WebCommandTest, MusicFormatAndLowerCasedFormats) {
  server.ServeForHost(
      "music.cn.yahoo.com", "/search",
      HttpReply::Page(
          "连通率<tbody class=l><tr><td><a href=\"http://y.cn/1\" title=\"点击查看下载链接"
          "\">夜曲</a></td><td><a title=\"按歌手搜索\">周杰伦</a></td><td><a title=\""
          "按专辑搜索\">萧邦</a></td><td><a>歌词</a></td><td>WMA</td><td>4M</td></tr>"));
  Outcome run = Jollix("web music 1 --format 2 夜曲");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Utf8("夜曲\t周杰伦\t萧邦\t4M\twma\thttp://y.cn/1\n"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/search?p=%D2%B9%C7%FA&mimetype=wms");
  EXPECT_NE(run.err.find(Utf8("找到符合条件的音乐 1  首")), std::string::npos);
}

TEST_F(WebCommandTest, SoftwareFromNewhuaSendsTheQueryAsTyped) {
  Outcome run = Jollix("web software 1 天气");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Utf8("没有找到符合条件的软件\t\t\t\t\t\n"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].host + server.Requests()[0].path,
            "search.newhua.com/search.asp?Keyword=天气");
}

TEST_F(WebCommandTest, TravelTakesTheFormTabAndTheArrivalCity) {
  server.ServeForHost("www.feeyo.com", "/cgi-bin/flight/searchapi.cgi",
                      HttpReply::Page("班期<tr><td>CA1501</td><td>737</td><td>首都 8:00</td>"
                                      "<td>虹桥 10:05</td><td>每日</td></tr>"));
  Outcome run = Jollix("web travel 2 北京 --to 上海");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Utf8("CA1501\t737\t首都 8:00\t虹桥 10:05\t每日\n"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/cgi-bin/flight/searchapi.cgi?org=北京&dst=上海");
}

TEST_F(WebCommandTest, TravelRefusesAWrongPhoneNumberWithoutARequest) {
  Outcome run = Jollix("web travel 3 1391234567");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(Utf8("手机号码输入错误")), std::string::npos);
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(Jollix("web travel 4 北京").status, 2);
}

TEST_F(WebCommandTest, EducationSourcesByTab) {
  server.ServeForHost("www.sogou.com", "/features/idiom.jsp",
                      HttpReply::Page("成语查询结果><p>【一心一意】专心。</p>"));
  Outcome idiom = Jollix("web edu 2 一心一意");
  EXPECT_EQ(idiom.status, 0) << idiom.err;
  EXPECT_EQ(idiom.out, Utf8("【一心一意--专心。\t\t\n"));
  Outcome scholar = Jollix("web edu 0 天气");
  EXPECT_EQ(scholar.status, 0);
  EXPECT_EQ(scholar.out, "http://scholar.google.com/scholar?q=%CC%EC%C6%F8&ie=gb2312\n");
  EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace jollix
