#include "channels/Mp3SearchDialog.h"

#include <QRadioButton>
#include <QTest>

#include "channels/FormTestBed.h"

namespace jollix {
namespace {

using testing::Control;
using testing::HttpReply;
using testing::Text;

// The format choices: each button and the format it asks for.
struct FormatCase {
  const char* id;
  int format;
};
const FormatCase kFormats[] = {{"1047", -1}, {"1054", 0}, {"1055", 1}, {"1056", 2}};

// A Yahoo music page with one song.
const char kYahooSong[] =
    "<table><tr><th>连通率</th></tr><tbody class=list><tr><td><a href=\"http://y.cn/s1\" "
    "title=\"点击查看下载链接\">夜曲</a></td><td><a title=\"按歌手搜索\">周杰伦</a></td><td>"
    "<a title=\"按专辑搜索\">十一月的萧邦</a></td><td><a>歌词</a></td><td>MP3</td><td>4.5M"
    "</td></tr></tbody></table>";

class CMp3SearchDialogTest : public testing::FormTestBed {
 protected:
  CMp3SearchDialogTest() : form(context) {}

  // The main window's music command with the engine's tab selected.
  void MusicCommand(int engine) { PutUpTabs({"百度MP3", "雅虎MP3"}, {11, 12}, engine); }

  CMp3SearchDialog form;
};

// The table in ChannelPane_test checks the texts, the caption and the first choice checked.
TEST_F(CMp3SearchDialogTest, StartsWithAllMusicChosen) { EXPECT_EQ(form.FormatChoice(), -1); }

TEST_F(CMp3SearchDialogTest, ClickingAFormatChoosesIt) {
  form.show();
  for (int i : {2, 0, 3, 1}) {
    QTest::mouseClick(Control<QRadioButton>(&form, kFormats[i].id), Qt::LeftButton);
    EXPECT_EQ(form.FormatChoice(), kFormats[i].format) << kFormats[i].id;
    for (const FormatCase& c : kFormats) {
      EXPECT_EQ(Control<QRadioButton>(&form, c.id)->isChecked(), c.format == kFormats[i].format);
    }
  }
}

TEST_F(CMp3SearchDialogTest, YahooSearchForWmaShowsTheSongs) {
  dir.Write("index/virtualfile.mp3", "");
  server.ServeForHost("music.cn.yahoo.com", "/search", HttpReply::Page(kYahooSong));
  MusicCommand(1);
  form.show();
  form.QueryField()->setText(Text(u"夜曲"));
  QTest::mouseClick(Control<QRadioButton>(&form, "1056"), Qt::LeftButton);
  QTest::mouseClick(form.SearchButton(), Qt::LeftButton);

  EXPECT_EQ(Targets(),
            std::vector<std::string>{"music.cn.yahoo.com/search?p=%D2%B9%C7%FA&mimetype=wms"});
  ASSERT_EQ(view->Page(12)->RowCount(), 1);
  EXPECT_EQ(RowCells(12, 0), (std::vector<std::string>{"夜曲", "周杰伦", "十一月的萧邦", "4.5M",
                                                       "mp3", "http://y.cn/s1"}));
  EXPECT_EQ(view->Page(11)->RowCount(), 0);
  EXPECT_EQ(form.CurrentList(), view->Page(12));
  EXPECT_EQ(Status(), "Jollix超级搜索---天下音乐一网打尽！Jollix一下，找到符合条件的音乐 1  首！");
}

TEST_F(CMp3SearchDialogTest, EnterOnAFocusedChoiceSearchesBaiduForAllMusic) {
  MusicCommand(0);
  form.show();
  QTest::keyClicks(form.QueryField(), "abc");
  auto* all = Control<QRadioButton>(&form, "1047");
  all->setFocus();
  QTest::keyClick(all, Qt::Key_Return);
  EXPECT_EQ(Targets(), std::vector<std::string>{"mp3.baidu.com/m?f=ms&rn=&tn=baidump3&ct=134217728&"
                                                "word=abc&lm=-1&cb=tavrelund_dg"});
  ASSERT_EQ(view->Page(11)->RowCount(), 1);
  EXPECT_EQ(view->Page(11)->Cell(0, 0), "没有找到符合条件的音乐");
  EXPECT_EQ(Status(), "Jollix超级搜索---天下音乐一网打尽！没有找到符合条件的音乐");
}

TEST_F(CMp3SearchDialogTest, EnterInTheQueryFieldSearches) {
  MusicCommand(0);
  form.show();
  QTest::keyClick(form.QueryField(), Qt::Key_Return);
  EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace jollix
