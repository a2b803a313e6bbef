#include "channels/SoftwareSearchDialog.h"

#include <QTest>
#include <memory>

#include "channels/FormTestBed.h"
#include "channels/SiteHosts.h"

namespace jollix {
namespace {

using testing::Control;
using testing::HttpReply;
using testing::Text;

// A Newhua page of one program.
const char kNewhuaPage[] =
    "<table><tr><td>文件大小</td></tr></table><table><tr><td><a href=\"http://"
    "www.newhua.com/soft/1.htm\">天气预报</a></td><td>2007-3-1</td><td>88</td>"
    "<td>1 MB</td></tr><tr><td>描述：桌面天气</td></tr></table><p>搜索结果 『共 1 个』</p>";

class SoftwareSearchDialogTest : public testing::FormTestBed {
 protected:
  SoftwareSearchDialogTest() : form_(std::make_unique<CSoftwareSearchDialog>(context)) {
    // The software command of the Newhua engine.
    PutUpTabs({"天空下载", "华军下载", "新浪下载"}, {17, 18, 19}, 1);
  }
  QLineEdit* Query() { return Control<QLineEdit>(form_.get(), "1011"); }
  QPushButton* Button() { return Control<QPushButton>(form_.get(), "1"); }

  std::unique_ptr<CSoftwareSearchDialog> form_;
};

TEST_F(SoftwareSearchDialogTest, ButtonSearchesTheSelectedEngineIntoItsPage) {
  server.ServeForHost(HostName(Site::kNewhuaSearch), "/search.asp", HttpReply::Page(kNewhuaPage));
  Query()->setText(Text(u"天气"));  // QTest types ASCII only
  QTest::mouseClick(Button(), Qt::LeftButton);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/search.asp?Keyword=天气");
  CListResultView* page = view->Page(18);
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(page->Cell(0, 0), "天气预报");
  EXPECT_EQ(page->Cell(0, 4), "http://www.newhua.com/soft/1.htm");
  EXPECT_EQ(view->Page(17)->RowCount(), 0);
  EXPECT_EQ(view->Page(19)->RowCount(), 0);
  EXPECT_EQ(form_->CurrentList(), page);
  EXPECT_EQ(Status(),
            "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！"
            "Jollix一下，找到软件 1 个！");
  EXPECT_TRUE(commands.empty());  // the software form has no tab strip of its own
}

TEST_F(SoftwareSearchDialogTest, EnterInTheFieldSearchesAndEscapeKeepsTheFormOpen) {
  testing::DialogHost host(form_.release());
  auto* form = host.dialog().findChild<CSoftwareSearchDialog*>();
  QLineEdit* query = Control<QLineEdit>(form, "1011");
  QTest::keyClicks(query, "qq");
  QTest::keyClick(query, Qt::Key_Return);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/search.asp?Keyword=qq");
  EXPECT_EQ(Rows(18), std::vector<std::string>{"没有找到符合条件的软件"});
  QTest::keyClick(query, Qt::Key_Escape);
  EXPECT_TRUE(host.dialog().isVisible());
}

}  // namespace
}  // namespace jollix
