#include "channels/PageSearchDialog.h"

#include <QTest>

#include "channels/FormTestBed.h"

namespace jollix {
namespace {

using testing::HttpReply;
using testing::Text;

// A Baidu result page with results titled 标题0, 标题1, ...; the page's last table is never a
// result.
std::string BaiduPage(int results) {
  std::string page = "<form><input type=submit value=\"百度一下\"></form>";
  for (int i = 0; i < results; ++i) {
    std::string n = std::to_string(i);
    page += "<table><tr><td><a href=\"http://r" + n + ".cn/\">标题" + n + "</a><br>摘要" + n +
            "<br></td></tr></table>";
  }
  return page + "<table><tr><td>相关搜索</td></tr></table>";
}

class CPageSearchDialogTest : public testing::FormTestBed {
 protected:
  CPageSearchDialogTest() : form(context) {}

  // The main window's web page command with the engine's tab selected.
  void WebCommand(int engine) {
    PutUpTabs({"百度网页", "Google网页", "雅虎网页"}, {1, 2, 3}, engine);
  }

  CPageSearchDialog form;
};

TEST_F(CPageSearchDialogTest, ButtonSearchesTheSelectedEngineIntoItsPage) {
  server.ServeForHost("www.baidu.com", "/baidu", HttpReply::Page(BaiduPage(2)));
  WebCommand(0);
  form.QueryField()->setText(Text(u"天气 预报"));
  form.SearchButton()->click();

  EXPECT_EQ(Targets(),
            std::vector<std::string>{
                "www.baidu.com/baidu?rn=100&tn=tavrelund_dg&wd=%CC%EC%C6%F8+%D4%A4%B1%A8"});
  ASSERT_EQ(view->Page(1)->RowCount(), 2);
  EXPECT_EQ(RowCells(1, 0), (std::vector<std::string>{"标题0", "http://r0.cn/", "摘要0"}));
  EXPECT_EQ(RowCells(1, 1)[0], "标题1");
  EXPECT_EQ(view->Page(2)->RowCount(), 0);
  EXPECT_EQ(form.CurrentList(), view->Page(1));
  EXPECT_EQ(Status(),
            "Jollix一下，找到  2  条记录，所有记录均来自互联网，不代表Jollix超级搜索赞成被搜索结果"
            "网站的内容或立场！");
  EXPECT_EQ(StatusTexts().size(), 4u);
  EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(CPageSearchDialogTest, EnterInTheQueryFieldSearchesOnce) {
  WebCommand(1);
  form.show();
  QTest::keyClicks(form.QueryField(), "linux");
  QTest::keyClick(form.QueryField(), Qt::Key_Return);
  EXPECT_EQ(Targets(), std::vector<std::string>{"www.google.cn/search?num=50&q=linux"});
  ASSERT_EQ(view->Page(2)->RowCount(), 1);  // the site's 404 is an empty page
  EXPECT_EQ(view->Page(2)->Cell(0, 0), "没有找到符合条件的信息");
  QTest::keyClick(form.SearchButton(), Qt::Key_Enter);  // Enter on the focused button
  EXPECT_EQ(server.Requests().size(), 2u);
}

}  // namespace
}  // namespace jollix
