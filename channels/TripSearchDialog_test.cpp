#include "channels/TripSearchDialog.h"

#include <QTest>
#include <memory>

#include "channels/FormTestBed.h"
#include "channels/SiteHosts.h"

namespace jollix {
namespace {

using testing::HttpReply;
using testing::Text;

class TripSearchDialogTest : public testing::FormTestBed {
 protected:
  TripSearchDialogTest() : form_(std::make_unique<CTripSearchDialog>(context)) {
    trip = form_.get();
  }
  ~TripSearchDialogTest() override { trip = nullptr; }

  template <class T>
  T* Control(const char* id) {
    return testing::Control<T>(form_.get(), id);
  }
  QTabBar* Tabs() { return Control<QTabBar>("1003"); }
  QLineEdit* First() { return Control<QLineEdit>("1050"); }
  QLineEdit* Second() { return Control<QLineEdit>("1012"); }
  QLabel* FirstCaption() { return Control<QLabel>("1048"); }
  QLabel* SecondCaption() { return Control<QLabel>("1049"); }
  bool SecondShown() { return !SecondCaption()->isHidden() && !Second()->isHidden(); }
  bool SecondHidden() { return SecondCaption()->isHidden() && Second()->isHidden(); }

  std::unique_ptr<CTripSearchDialog> form_;
};

// The table in ChannelPane_test checks the group, the tabs, the first caption and field and the
// button.
TEST_F(TripSearchDialogTest, StartsOnTheWeatherTabWithBothFieldsUnderTheirFirstCaptions) {
  EXPECT_EQ(form_->SelectedTab(), 0);
  ASSERT_NE(First(), nullptr);
  ASSERT_NE(Second(), nullptr);
  for (QLabel* caption : {FirstCaption(), SecondCaption()}) {
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), Text(u"查询关键词："));
    EXPECT_EQ(caption->buddy()->accessibleName(), Text(u"查询关键词："));
  }
  EXPECT_EQ(FirstCaption()->buddy(), First());
  EXPECT_EQ(SecondCaption()->buddy(), Second());
  EXPECT_TRUE(Second()->text().isEmpty());
  EXPECT_TRUE(SecondShown());
}

struct TabCase {
  int tab;
  int command;
  const char16_t* first_caption;
  bool second_shown;
  int page;  // the result page the command puts at tab position 0
};

TEST_F(TripSearchDialogTest, EachTabChangeRunsItsCommandOnceAndSetsTheFields) {
  const TabCase cases[] = {
      {1, 32897, u"出发城市：", true, 21},        {2, 32898, u"出发城市：", true, 22},
      {3, 32880, u"待查询手机号码：", false, 25}, {0, 32858, u"请输入查询城市：", false, 20},
      {2, 32898, u"出发城市：", true, 22},        {3, 32880, u"待查询手机号码：", false, 25},
      {1, 32897, u"出发城市：", true, 21},
  };
  std::vector<int> expected;
  for (const TabCase& c : cases) {
    ASSERT_TRUE(form_->SelectTab(c.tab));
    expected.push_back(c.command);
    // The main window's command moves the strip to the tab already selected: nothing reruns.
    EXPECT_EQ(commands, expected) << c.tab;
    EXPECT_EQ(form_->SelectedTab(), c.tab);
    EXPECT_EQ(FirstCaption()->text(), Text(c.first_caption)) << c.tab;
    EXPECT_EQ(First()->accessibleName(), Text(c.first_caption)) << c.tab;
    if (c.second_shown) {
      EXPECT_TRUE(SecondShown()) << c.tab;
      EXPECT_EQ(SecondCaption()->text(), Text(u"达到城市："));
      EXPECT_EQ(Second()->accessibleName(), Text(u"达到城市："));
    } else {
      EXPECT_TRUE(SecondHidden()) << c.tab;
    }
    EXPECT_EQ(view->PageAtPosition(0), view->Page(c.page)) << c.tab;
  }
}

TEST_F(TripSearchDialogTest, SelectingTheSelectedTabOrNoTabRunsNothing) {
  EXPECT_TRUE(form_->SelectTab(0));
  EXPECT_FALSE(form_->SelectTab(4));
  EXPECT_FALSE(form_->SelectTab(-1));
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(form_->SelectedTab(), 0);
  EXPECT_EQ(FirstCaption()->text(), Text(u"查询关键词："));
  EXPECT_TRUE(SecondShown());
  EXPECT_TRUE(form_->SelectTab(2));
  EXPECT_TRUE(form_->SelectTab(2));
  EXPECT_EQ(commands, std::vector<int>{32898});
}

TEST_F(TripSearchDialogTest, ClickOnATabRunsItsCommand) {
  form_->resize(300, 600);
  form_->show();
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(3).center());
  EXPECT_EQ(form_->SelectedTab(), 3);
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(3).center());
  EXPECT_EQ(commands, std::vector<int>{32880});
  EXPECT_EQ(FirstCaption()->text(), Text(u"待查询手机号码："));
}

TEST_F(TripSearchDialogTest, WeatherCommandAtStartHidesTheSecondFieldItself) {
  RunMainCommand(32858);  // moves the strip to tab 0, already selected
  EXPECT_EQ(commands, std::vector<int>{32858});
  EXPECT_TRUE(SecondHidden());
  EXPECT_EQ(FirstCaption()->text(), Text(u"查询关键词："));  // the tab handling did not run
  form_->SelectTab(1);
  EXPECT_TRUE(SecondShown());
}

TEST_F(TripSearchDialogTest, FlightSearchFillsThePageAtTheFirstTab) {
  server.ServeForHost(
      HostName(Site::kAviation), "/cgi-bin/flight/searchapi.cgi",
      HttpReply::Page("<TABLE><TR><TD>班期</TD></TR><TR><TD>CA1501</TD><TD>737</TD><TD>首都 "
                      "08:00</TD><TD>虹桥 10:05</TD><TD>每日</TD></TR></TABLE>"));
  form_->SelectTab(2);
  First()->setText(Text(u"北京"));   // QTest types ASCII only
  Second()->setText(Text(u"上海"));  // QTest types ASCII only
  QTest::mouseClick(Control<QPushButton>("1"), Qt::LeftButton);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/cgi-bin/flight/searchapi.cgi?org=北京&dst=上海");
  CListResultView* page = view->Page(22);
  ASSERT_EQ(view->PageAtPosition(0), page);
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(page->Cell(0, 0), "CA1501");
  EXPECT_EQ(page->Cell(0, 3), "虹桥 10:05");
  EXPECT_EQ(Status(), "Jollix超级搜索---让天下没有难走的路！Jollix一下，找到符合条件的信息 1 条！");
}

TEST_F(TripSearchDialogTest, WrongPhoneNumberIsRefusedAndTheFieldTrimmed) {
  form_->SelectTab(3);
  QTest::keyClicks(First(), " 1391234567 ");
  QTest::mouseClick(Control<QPushButton>("1"), Qt::LeftButton);
  EXPECT_TRUE(server.Requests().empty());
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text, "手机号码输入错误，手机号码应该是11位数字，请重新输入！");
  EXPECT_EQ(prompter.messages()[0].caption, "输入错误");
  EXPECT_EQ(First()->text(), "1391234567");
  EXPECT_EQ(view->Page(25)->RowCount(), 0);

  QTest::keyClick(First(), Qt::Key_End);
  QTest::keyClicks(First(), "8  ");
  QTest::mouseClick(Control<QPushButton>("1"), Qt::LeftButton);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/search2005.php?from=tavrelund&searchkeyword=13912345678");
  EXPECT_EQ(First()->text(), "13912345678");
  EXPECT_EQ(Rows(25), std::vector<std::string>{"没有找到符合条件的出行信息"});
}

TEST_F(TripSearchDialogTest, EnterInEitherFieldSearchesAndEscapeKeepsTheFormOpen) {
  form_->SelectTab(1);
  CTripSearchDialog* form = form_.get();
  testing::DialogHost host(form_.release());
  QTest::keyClicks(testing::Control<QLineEdit>(form, "1050"), "a");
  QTest::keyClick(testing::Control<QLineEdit>(form, "1050"), Qt::Key_Return);
  QTest::keyClicks(testing::Control<QLineEdit>(form, "1012"), "b");
  QTest::keyClick(testing::Control<QLineEdit>(form, "1012"), Qt::Key_Enter);
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[1].path,
            "/chaxun/result.asp?txtChuFa=a&txtDaoDa=b&submit.x=31&submit.y=9");
  QTest::keyClick(testing::Control<QLineEdit>(form, "1012"), Qt::Key_Escape);
  EXPECT_TRUE(host.dialog().isVisible());
  trip = nullptr;
}

}  // namespace
}  // namespace jollix
