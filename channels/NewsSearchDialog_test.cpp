#include "channels/NewsSearchDialog.h"

#include <QTest>

#include "channels/FormTestBed.h"

namespace jollix {
namespace {

using testing::HttpReply;
using testing::Text;

class CNewsSearchDialogTest : public testing::FormTestBed {
 protected:
  CNewsSearchDialogTest() : form(context) {}

  // The main window's news command with the engine's tab selected.
  void NewsCommand(int engine) { PutUpTabs({"百度新闻", "Google资讯"}, {5, 6, 7}, engine); }

  CNewsSearchDialog form;
};

TEST_F(CNewsSearchDialogTest, ButtonSearchesBaiduNewsIntoItsPage) {
  server.ServeForHost(
      "news.baidu.com", "/ns",
      HttpReply::Page("百度一下<table><tr><td class=zh><a href=\"http://n.cn/1\">新闻一</a> "
                      "<nobr>新华网 2007-4-8</nobr><br>摘要一</td></tr></table>"));
  NewsCommand(0);
  form.QueryField()->setText(Text(u"天气"));
  form.SearchButton()->click();

  EXPECT_EQ(Targets(), std::vector<std::string>{
                           "news.baidu.com/ns?word=%CC%EC%C6%F8&tn=tavrelund_dg&from=news&ie=gb2312"
                           "&bs=qvx&sr=0&cl=2&rn=100&ct=0"});
  ASSERT_EQ(view->Page(5)->RowCount(), 1);
  EXPECT_EQ(RowCells(5, 0),
            (std::vector<std::string>{"新闻一", "新华网 2007-4-8", "http://n.cn/1", "摘要一"}));
  EXPECT_EQ(form.CurrentList(), view->Page(5));
  EXPECT_EQ(Status(), "Jollix超级搜索---家事、国事、天下事，事事关心！找到符合条件的新闻  1  条");
}

TEST_F(CNewsSearchDialogTest, EnterInTheQueryFieldSearchesGoogleNews) {
  NewsCommand(1);
  form.show();
  QTest::keyClicks(form.QueryField(), "qt");
  QTest::keyClick(form.QueryField(), Qt::Key_Enter);
  EXPECT_EQ(Targets(), std::vector<std::string>{"news.google.cn/news?num=50&ie=gbk&q=qt"});
  ASSERT_EQ(view->Page(6)->RowCount(), 1);
  EXPECT_EQ(view->Page(6)->Cell(0, 0), "没有找到符合条件的新闻");
  EXPECT_EQ(view->Page(5)->RowCount(), 0);
  EXPECT_EQ(Status(), "Jollix超级搜索---家事、国事、天下事，事事关心！没有找到符合条件的新闻");
}

}  // namespace
}  // namespace jollix
