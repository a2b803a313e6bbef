#include "channels/Mp3SearchDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "channels/FormTestBed.h"

namespace jollix {
namespace {

using testing::Control;
using testing::HttpReply;
using testing::Text;

struct FormatCase {
  const char* id;
  const char16_t* text;
  int format;
};
const FormatCase kFormats[] = {{"1047", u"全部音乐", -1},
                               {"1054", u"mp3文件", 0},
                               {"1055", u"rm文件", 1},
                               {"1056", u"wma文件", 2}};

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

TEST_F(CMp3SearchDialogTest, HasItsControlsWithAllMusicChosen) {
  EXPECT_EQ(form.objectName(), "132");
  EXPECT_EQ(Control<QGroupBox>(&form, "mp3_group")->title(), Text(u"互联网音乐搜索"));
  QLineEdit* query = Control<QLineEdit>(&form, "1011");
  ASSERT_EQ(query, form.QueryField());
  EXPECT_TRUE(query->text().isEmpty());
  EXPECT_EQ(query->accessibleName(), Text(u"搜索关键词："));
  QList<QLabel*> labels = form.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 2);
  EXPECT_EQ(labels[0]->text(), Text(u"搜索关键词："));
  EXPECT_EQ(labels[0]->buddy(), query);
  EXPECT_EQ(labels[1]->text(), Text(u"音乐格式："));
  EXPECT_EQ(Control<QWidget>(&form, "mp3_formats")->accessibleName(), Text(u"音乐格式："));
  for (const FormatCase& c : kFormats) {
    auto* button = Control<QRadioButton>(&form, c.id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), Text(c.text)) << c.id;
    EXPECT_EQ(button->isChecked(), c.format == -1) << c.id;
  }
  EXPECT_EQ(labels[1]->buddy(), Control<QRadioButton>(&form, "1047"));
  EXPECT_EQ(form.FormatChoice(), -1);
  QPushButton* button = Control<QPushButton>(&form, "1039");
  ASSERT_EQ(button, form.SearchButton());
  EXPECT_EQ(button->text(), Text(u"Jollix音乐搜索"));
  EXPECT_TRUE(button->isDefault());
}

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
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---天下音乐一网打尽！Jollix一下，找到符合条件的音乐 1  首！");
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
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---天下音乐一网打尽！没有找到符合条件的音乐");
}

TEST_F(CMp3SearchDialogTest, EnterInTheQueryFieldSearches) {
  MusicCommand(0);
  form.show();
  QTest::keyClick(form.QueryField(), Qt::Key_Return);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(CMp3SearchDialogTest, ShowingTheFormFocusesTheQueryField) {
  form.show();
  EXPECT_EQ(form.focusWidget(), form.QueryField());
}

TEST_F(CMp3SearchDialogTest, EscapeNeitherClosesNorHidesTheForm) {
  CheckEscapeIsSwallowed<CMp3SearchDialog>();
}

TEST_F(CMp3SearchDialogTest, FitsTheSideBar) { CheckLayout(&form, "mp3"); }

}  // namespace
}  // namespace jollix
