#include "channels/MusicSearch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "channels/SearchState.h"
#include "testing/FakePorts.h"
#include "testing/ParseFixture.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::ParsePage;

class MusicParserTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPageLinks(); }
  void TearDown() override { ClearPageLinks(); }
};

// ---- Baidu MP3 ----

const std::string kBaiduHead =
    "<html><body><div class=pg><a href=\"m?word=%D2%B9&pn=0\">上一页</a> "
    "<a href=\"http://mp3.baidu.com/m?word=%D2%B9&pn=50\">下一页</a></div>\n"
    "<table id=songs><tr><th>歌曲名</th><th>歌手名</th><th>专辑名</th><th>试听</th><th>歌词</th>"
    "<th>铃声</th><th>大小</th><th>格式</th><th>链接速度</th></tr>\n";
const std::string kBaiduTail =
    "</table><table><tr><td><a href=\"http://x/\">广告</a></td></tr>"
    "</table></body></html>";

std::string BaiduSong(const std::string& url, const std::string& title, const std::string& singer,
                      const std::string& album, const std::string& size,
                      const std::string& format) {
  return "<tr><td class=d><a href=\"" + url + "\" target=_blank>" + title + "</a></td><td>" +
         singer + "</td><td>" + album +
         "</td><td><a href=\"listen\">试听</a></td>"
         "<td><a href=\"lrc\">歌词</a></td><td><a href=\"ring\">铃声</a></td><td>" +
         size + "</td><td>" + format + "</td><td><img src=speed4.gif></td></tr>\n";
}

TEST_F(MusicParserTest, BaiduReadsEachSongWithSizeBeforeFormat) {
  std::string page =
      kBaiduHead +
      BaiduSong("http://a.cn/1.mp3", "夜<b>曲</b>", "周杰伦", "十一月的萧邦", "4.5 M", "MP3") +
      BaiduSong("http://a.cn/2.wma", "晴天 &amp; 雨", "<b>周</b>杰伦", "叶惠美", "3.1 M", "wma") +
      kBaiduTail;
  auto parsed = ParsePage(ParseBaiduMp3, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const MusicRecord& r = parsed.records[0];
  EXPECT_STREQ(r.title, "夜曲");
  EXPECT_STREQ(r.url, "http://a.cn/1.mp3");
  EXPECT_STREQ(r.singer, "周杰伦");
  EXPECT_STREQ(r.album, "十一月的萧邦");
  EXPECT_STREQ(r.size, "4.5 M");
  EXPECT_STREQ(r.format, "MP3");  // lower-cased only when shown
  EXPECT_STREQ(parsed.records[1].title, "晴天 & 雨");
  EXPECT_STREQ(parsed.records[1].singer, "周杰伦");
  EXPECT_STREQ(parsed.records[1].format, "wma");
  // Baidu's links are kept as they stand, without a host in front.
  EXPECT_STREQ(PrevPageLink, "m?word=%D2%B9&pn=0");
  EXPECT_STREQ(NextPageLink, "http://mp3.baidu.com/m?word=%D2%B9&pn=50");
}

TEST_F(MusicParserTest, BaiduReadsUpperCaseCellEnds) {
  std::string page =
      "<TABLE><TR><TD>链接速度</TD></TR><TR><TD><A HREF=\"http://u.cn/s.rm\">歌</A></TD><TD>手"
      "</TD><TD>辑</TD><TD>铃声</TD><TD>2 M</TD><TD>RM</TD></TR></TABLE>";
  auto parsed = ParsePage(ParseBaiduMp3, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://u.cn/s.rm");
  EXPECT_STREQ(parsed.records[0].title, "歌");
  EXPECT_STREQ(parsed.records[0].size, "2 M");
  EXPECT_STREQ(parsed.records[0].format, "RM");
}

TEST_F(MusicParserTest, BaiduStopsAtTheEndOfTheResultTable) {
  // The advertisement after the table has a link and cells, but the table was cut.
  std::string page = kBaiduHead + BaiduSong("http://a.cn/1", "一", "甲", "乙", "1 M", "mp3") +
                     "</table><table><tr><td><a href=\"http://ad/\">广告</a></td><td>x</td><td>"
                     "y</td><td>铃声</td><td>1 M</td><td>mp3</td></tr></table>";
  auto parsed = ParsePage(ParseBaiduMp3, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://a.cn/1");
}

TEST_F(MusicParserTest, BaiduSongMissingAMarkerEndsTheParseKeepingTheEarlierSongs) {
  std::string no_ringtone =
      "<tr><td><a href=\"http://a.cn/2\">二</a></td><td>甲</td><td>乙</td><td>1 M</td><td>mp3"
      "</td></tr>\n";
  std::string page = kBaiduHead + BaiduSong("http://a.cn/1", "一", "甲", "乙", "1 M", "mp3") +
                     no_ringtone + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduMp3, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://a.cn/1");
}

TEST_F(MusicParserTest, BaiduWithoutResultTableGivesNothing) {
  auto no_header =
      ParsePage(ParseBaiduMp3, "<table><tr><td><a href=\"x\">歌</a></td></tr></table>");
  EXPECT_EQ(no_header.result, -1);
  EXPECT_TRUE(no_header.records.empty());
  auto no_end = ParsePage(ParseBaiduMp3, kBaiduHead + BaiduSong("u", "t", "s", "a", "1", "mp3"));
  EXPECT_EQ(no_end.result, -1);
  EXPECT_TRUE(no_end.records.empty());
}

TEST_F(MusicParserTest, BaiduLinkWithoutClosingQuoteEndsTheParse) {
  std::string page = kBaiduHead + BaiduSong("http://a.cn/1", "一", "甲", "乙", "1 M", "mp3") +
                     "<tr><td><a href=\"http://broken></a></td></tr>" + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduMp3, page);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.records.size(), 1u);
}

TEST_F(MusicParserTest, BaiduCutsOverlongFieldsToWholeCharacters) {
  std::string title, singer;
  for (int i = 0; i < 200; ++i) title += "歌";
  for (int i = 0; i < 80; ++i) singer += "手";
  std::string url = "http://a.cn/" + std::string(2100, 'u');
  std::string page = kBaiduHead + BaiduSong(url, title, singer, "辑", "1 M", "mp3") + kBaiduTail;
  auto parsed = ParsePage(ParseBaiduMp3, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(std::string(parsed.records[0].title), title.substr(0, 254));
  EXPECT_EQ(std::string(parsed.records[0].url), url.substr(0, 1999));
  EXPECT_EQ(std::string(parsed.records[0].singer), singer.substr(0, 98));
}

// ---- Yahoo music ----

const std::string kYahooHead =
    "<html><body><div class=pages><a href=\"search?p=%C7%E7&pn=1\">上一页</a>"
    "<a href=\"search?p=%C7%E7&pn=3\">下一页</a></div>\n"
    "<table><tr><th>歌曲</th><th>歌手</th><th>专辑</th><th>歌词</th><th>格式</th><th>大小</th>"
    "<th>连通率</th></tr>\n<tbody class=\"list\">\n";
const std::string kYahooTail = "</tbody></table></body></html>";

std::string YahooSong(const std::string& url, const std::string& title, const std::string& singer,
                      const std::string& album, const std::string& format,
                      const std::string& size) {
  return "<tr><td><a href=\"" + url + "\" title=\"点击查看下载链接\" target=_blank>" + title +
         "</a></td><td><a href=\"s?singer\" title=\"按歌手搜索\">" + singer +
         "</a></td><td><a href=\"s?album\" title=\"按专辑搜索\">" + album +
         "</a></td><td><a href=\"lrc\">歌词</a></td><td>" + format + "</td><td>" + size +
         "</td><td>98%</td></tr>\n";
}

TEST_F(MusicParserTest, YahooReadsEachSongWithFormatBeforeSize) {
  std::string page = kYahooHead +
                     YahooSong("http://music.cn.yahoo.com/song?id=1", "<b>晴天</b>", "周杰伦",
                               "叶惠美", "MP3", "4.2M") +
                     YahooSong("http://y.cn/2", "七里香", "周杰伦", "七里香", "wma", "3.0M") +
                     kYahooTail;
  auto parsed = ParsePage(ParseYahooMusic, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const MusicRecord& r = parsed.records[0];
  EXPECT_STREQ(r.url, "http://music.cn.yahoo.com/song?id=1");
  EXPECT_STREQ(r.title, "晴天");
  EXPECT_STREQ(r.singer, "周杰伦");
  EXPECT_STREQ(r.album, "叶惠美");
  EXPECT_STREQ(r.format, "MP3");
  EXPECT_STREQ(r.size, "4.2M");
  EXPECT_STREQ(parsed.records[1].title, "七里香");
  EXPECT_STREQ(parsed.records[1].size, "3.0M");
  EXPECT_STREQ(PrevPageLink, "http://music.cn.yahoo.com/search?p=%C7%E7&pn=1");
  EXPECT_STREQ(NextPageLink, "http://music.cn.yahoo.com/search?p=%C7%E7&pn=3");
}

TEST_F(MusicParserTest, YahooUrlSkipsTheAttributeAndItsQuoteWhateverItIs) {
  std::string page = kYahooHead +
                     "<tr><td><A HREF='http://y.cn/q\" title=\"点击查看下载链接\">歌</A></td>"
                     "<td>按歌手搜索\">手</A></td><td>按专辑搜索\">辑</A></td><td>歌词</A>"
                     "</TD><TD>RM</TD><TD>1M</TD></tr>" +
                     kYahooTail;
  auto parsed = ParsePage(ParseYahooMusic, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].url, "http://y.cn/q");
  EXPECT_STREQ(parsed.records[0].singer, "手");
  EXPECT_STREQ(parsed.records[0].format, "RM");
  EXPECT_STREQ(parsed.records[0].size, "1M");
}

TEST_F(MusicParserTest, YahooWithConnectionRateButNoClassGivesNothing) {
  std::string page = "<table><tr><th>连通率</th></tr>" +
                     YahooSong("http://y.cn/1", "歌", "手", "辑", "mp3", "1M") + "</table>";
  auto parsed = ParsePage(ParseYahooMusic, page);
  EXPECT_EQ(parsed.result, -1);
  EXPECT_TRUE(parsed.records.empty());
  auto no_rate =
      ParsePage(ParseYahooMusic, "<tbody class=x>" + YahooSong("u", "t", "s", "a", "mp3", "1M"));
  EXPECT_EQ(no_rate.result, -1);
  EXPECT_TRUE(no_rate.records.empty());
}

TEST_F(MusicParserTest, YahooSongMissingAMarkerEndsTheParseKeepingTheEarlierSongs) {
  std::string no_album =
      "<tr><td><a href=\"http://y.cn/2\" title=\"点击查看下载链接\">二</a></td>"
      "<td><a title=\"按歌手搜索\">手</a></td></tr>";
  std::string page = kYahooHead + YahooSong("http://y.cn/1", "一", "手", "辑", "mp3", "1M") +
                     no_album + kYahooTail;
  auto parsed = ParsePage(ParseYahooMusic, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].title, "一");
}

TEST_F(MusicParserTest, PagesCutShortAnywhereStayWithinThePage) {
  std::string baidu = kBaiduHead + BaiduSong("http://a.cn/1", "一", "甲", "乙", "1 M", "mp3") +
                      BaiduSong("http://a.cn/2", "二", "甲", "乙", "1 M", "mp3") + kBaiduTail;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseBaiduMp3, baidu), 2u);
  std::string yahoo = kYahooHead + YahooSong("http://y.cn/1", "一", "手", "辑", "mp3", "1M") +
                      YahooSong("http://y.cn/2", "二", "手", "辑", "mp3", "1M") + kYahooTail;
  EXPECT_EQ(testing::ParseEveryPrefix(ParseYahooMusic, yahoo), 2u);
}

// ---- rows ----

class MusicRowsTest : public ::testing::Test {
 protected:
  MusicRowsTest() : home_(dir.path()) {
    dir.Write("index/virtualfile.mp3", "");
    dir.Write("index/virtualfile.unknowextend", "");
  }

  testing::TempDir dir;
  testing::FakeResultPage list;
  testing::FakeIconList icons;
  MusicChannel music;

 private:
  testing::ScopedCurrentDir home_;
};

TEST_F(MusicRowsTest, FormatIsLowerCasedAndUnknownFormatsGetTheUnknownIcon) {
  std::string page = kBaiduHead + BaiduSong("http://a.cn/1", "一", "甲", "乙", "4 M", "MP3") +
                     BaiduSong("http://a.cn/2", "二", "丙", "丁", "30 M", "ape") + kBaiduTail;
  list.InsertRow(0, "old row", -1);
  EXPECT_EQ(music.ParseAndShow(0, page.data(), &list, &icons), 2);
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.rows[0].cells,
            (std::vector<std::string>{"一", "甲", "乙", "4 M", "mp3", "http://a.cn/1"}));
  EXPECT_EQ(list.rows[1].cells[4], "ape");
  EXPECT_EQ(icons.paths,
            (std::vector<std::string>{"index/virtualfile.mp3", "index/virtualfile.unknowextend"}));
  EXPECT_EQ(list.rows[0].image, 0);
  EXPECT_EQ(list.rows[1].image, 1);
}

TEST_F(MusicRowsTest, EveryRowOfEverySearchAppendsAnIcon) {
  std::string page = kBaiduHead + BaiduSong("u", "一", "甲", "乙", "4 M", "mp3") + kBaiduTail;
  std::string again = page;
  music.ParseAndShow(0, page.data(), &list, &icons);
  music.ParseAndShow(0, again.data(), &list, &icons);
  EXPECT_EQ(icons.paths.size(), 2u);
  EXPECT_EQ(list.rows[0].image, 1);
}

TEST_F(MusicRowsTest, PageWithoutSongsShowsTheNoMusicRow) {
  std::string page = "<html>无结果</html>";
  EXPECT_EQ(music.ParseAndShow(1, page.data(), &list, &icons), 0);
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.Cell(0, 0), "没有找到符合条件的音乐");
  EXPECT_TRUE(icons.paths.empty());
}

// ---- requests ----

TEST(MusicUrl, FormatChoiceGoesIntoBothTemplates) {
  MusicChannel music;
  SearchForm form;
  form.query = "夜曲 MP3";
  std::string url;
  ASSERT_TRUE(music.BuildUrl(form, 0, &url));
  EXPECT_EQ(url,
            "http://mp3.baidu.com/m?f=ms&rn=&tn=baidump3&ct=134217728&word=%D2%B9%C7%FA+MP3&lm=-1"
            "&cb=tavrelund_dg");
  ASSERT_TRUE(music.BuildUrl(form, 1, &url));
  EXPECT_EQ(url, "http://music.cn.yahoo.com/search?p=%D2%B9%C7%FA+MP3&mimetype=all");

  const char* yahoo_types[] = {"mp3", "rm", "wms"};
  for (int format = 0; format <= 2; ++format) {
    form.format = format;
    ASSERT_TRUE(music.BuildUrl(form, 0, &url));
    EXPECT_NE(url.find("&lm=" + std::to_string(format) + "&"), std::string::npos) << url;
    ASSERT_TRUE(music.BuildUrl(form, 1, &url));
    EXPECT_EQ(url.substr(url.find("mimetype=")), std::string("mimetype=") + yahoo_types[format]);
  }
}

TEST(MusicUrl, OtherEnginesHaveNoUrl) {
  MusicChannel music;
  SearchForm form;
  std::string url = "stale";
  ASSERT_TRUE(music.BuildUrl(form, 2, &url));
  EXPECT_EQ(url, "");
}

}  // namespace
}  // namespace jollix
