#include "channels/SongLink.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/FakePorts.h"
#include "testing/HttpTestServer.h"

namespace jollix {
namespace {

using testing::HttpReply;

TEST(FindSongLink, TakesTheQuotedLinkAfterTheClickHereText) {
  std::string link;
  ASSERT_TRUE(
      FindSongLink("<a href=\"http://ad/\">广告</a> 请点击此链接：<a target=_blank "
                   "href=\"http://s.cn/夜曲.mp3\">夜曲</a>",
                   &link));
  EXPECT_EQ(link, "http://s.cn/夜曲.mp3");
}

TEST(FindSongLink, FallsBackToTheSourceTextAndToUpperCase) {
  std::string link;
  ASSERT_TRUE(FindSongLink("歌曲出处：<A HREF=\"http://s.cn/a.wma\">s.cn</A>", &link));
  EXPECT_EQ(link, "http://s.cn/a.wma");
  // The click-here text wins over the source text wherever they stand.
  ASSERT_TRUE(
      FindSongLink("歌曲出处 <a href=\"http://src/\">x</a> 请点击此链接 "
                   "<a href=\"http://click/\">y</a>",
                   &link));
  EXPECT_EQ(link, "http://click/");
}

TEST(FindSongLink, MissingMarkerLinkOrQuoteFails) {
  std::string link = "kept";
  EXPECT_FALSE(FindSongLink("<a href=\"http://s.cn/a.mp3\">歌</a>", &link));
  EXPECT_FALSE(FindSongLink("请点击此链接 <a href=http://s.cn/a.mp3>歌</a>", &link));
  EXPECT_FALSE(FindSongLink("<a href=\"http://before/\">请点击此链接</a>", &link));
  EXPECT_FALSE(FindSongLink("请点击此链接 <a href=\"http://s.cn/a.mp3", &link));
  EXPECT_FALSE(FindSongLink("", &link));
  EXPECT_FALSE(FindSongLink(nullptr, &link));
  EXPECT_EQ(link, "kept");
}

class ResolveSongLinkTest : public ::testing::Test {
 protected:
  testing::HttpTestServer server;
  testing::FakePrompter prompter;
  std::string link;
};

TEST_F(ResolveSongLinkTest, DownloadsTheSongPageAndReturnsItsLink) {
  server.Serve("/song?id=7",
               HttpReply::Page("<p>歌曲：夜曲</p><p>请点击此链接 <a href=\"http://s.cn/7.mp3\">下载"
                               "</a></p>"));
  ASSERT_TRUE(ResolveSongLink(server.Url("/song?id=7").c_str(), prompter, &link));
  EXPECT_EQ(link, "http://s.cn/7.mp3");
  EXPECT_TRUE(prompter.messages().empty());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/song?id=7");
}

TEST_F(ResolveSongLinkTest, PageWithoutLinkShowsTheParseMessage) {
  server.Serve("/song", HttpReply::Page("<p>该歌曲已删除</p>"));
  EXPECT_FALSE(ResolveSongLink(server.Url("/song").c_str(), prompter, &link));
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text, "解析网页出现异常，或者您选择的音乐URL已经失效！");
  EXPECT_EQ(prompter.messages()[0].caption, "解析异常");
  EXPECT_EQ(prompter.messages()[0].buttons, PromptButtons::kOk);
}

TEST_F(ResolveSongLinkTest, FailedOrEmptyDownloadCountsAsAPageWithoutLink) {
  server.Serve("/gone", HttpReply::Status(404, "请点击此链接 <a href=\"http://s.cn/x\">x</a>"));
  server.Serve("/cut", HttpReply::HangUp());
  EXPECT_FALSE(ResolveSongLink(server.Url("/gone").c_str(), prompter, &link));
  EXPECT_FALSE(ResolveSongLink(server.Url("/cut").c_str(), prompter, &link));
  EXPECT_FALSE(ResolveSongLink("", prompter, &link));
  EXPECT_EQ(prompter.messages().size(), 3u);
}

}  // namespace
}  // namespace jollix
