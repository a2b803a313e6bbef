#include "channels/SoftwareSearchDialog.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QTest>
#include <memory>

#include "channels/FormTestBench.h"
#include "channels/SiteHosts.h"

namespace jollix {
namespace {

using testing::ControlOf;
using testing::HttpReply;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// A Newhua page of one program.
const char kNewhuaPage[] =
    "<table><tr><td>文件大小</td></tr></table><table><tr><td><a href=\"http://"
    "www.newhua.com/soft/1.htm\">天气预报</a></td><td>2007-3-1</td><td>88</td>"
    "<td>1 MB</td></tr><tr><td>描述：桌面天气</td></tr></table><p>搜索结果 『共 1 个』</p>";

class SoftwareSearchDialogTest : public ::testing::Test {
 protected:
  SoftwareSearchDialogTest() : form_(std::make_unique<CSoftwareSearchDialog>(bench_.context)) {
    // The software command of the Newhua engine.
    bench_.PutUpTabs({"天空下载", "华军下载", "新浪下载"}, {17, 18, 19}, 1);
  }
  QLineEdit* Query() { return ControlOf<QLineEdit>(form_.get(), "1011"); }
  QPushButton* Button() { return ControlOf<QPushButton>(form_.get(), "1"); }

  testing::FormTestBench bench_;
  std::unique_ptr<CSoftwareSearchDialog> form_;
};

TEST_F(SoftwareSearchDialogTest, HasItsGroupCaptionFieldAndDefaultButton) {
  EXPECT_EQ(form_->objectName(), "145");
  auto* group = form_->findChild<QGroupBox*>();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), Text(u"软件搜索"));
  ASSERT_NE(Query(), nullptr);
  EXPECT_TRUE(Query()->text().isEmpty());
  EXPECT_EQ(Query()->accessibleName(), Text(u"软件中包含的字符："));
  auto* label = form_->findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), Text(u"软件中包含的字符："));
  EXPECT_EQ(label->buddy(), Query());
  ASSERT_NE(Button(), nullptr);
  EXPECT_EQ(Button()->text(), Text(u"Jollix软件搜索"));
  EXPECT_TRUE(Button()->isDefault());
}

TEST_F(SoftwareSearchDialogTest, ButtonSearchesTheSelectedEngineIntoItsPage) {
  bench_.server.ServeForHost(HostName(Site::kNewhuaSearch), "/search.asp",
                             HttpReply::Page(kNewhuaPage));
  Query()->setText(Text(u"天气"));  // QTest types ASCII only
  QTest::mouseClick(Button(), Qt::LeftButton);
  ASSERT_EQ(bench_.server.Requests().size(), 1u);
  EXPECT_EQ(bench_.server.Requests()[0].path, "/search.asp?Keyword=天气");
  CListResultView* page = bench_.view->Page(18);
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(page->Cell(0, 0), "天气预报");
  EXPECT_EQ(page->Cell(0, 4), "http://www.newhua.com/soft/1.htm");
  EXPECT_EQ(bench_.view->Page(17)->RowCount(), 0);
  EXPECT_EQ(bench_.view->Page(19)->RowCount(), 0);
  EXPECT_EQ(form_->CurrentList(), page);
  EXPECT_EQ(bench_.Status(),
            "Jollix超级搜索---让天下软件尽收眼底（病毒、木马、流氓软件除外，哈哈）！"
            "Jollix一下，找到软件 1 个！");
  EXPECT_TRUE(bench_.commands.empty());  // the software form has no tab strip of its own
}

TEST_F(SoftwareSearchDialogTest, EnterInTheFieldSearchesAndEscapeKeepsTheFormOpen) {
  testing::DialogHost host(form_.release());
  auto* form = host.dialog().findChild<CSoftwareSearchDialog*>();
  QLineEdit* query = ControlOf<QLineEdit>(form, "1011");
  QTest::keyClicks(query, "qq");
  QTest::keyClick(query, Qt::Key_Return);
  ASSERT_EQ(bench_.server.Requests().size(), 1u);
  EXPECT_EQ(bench_.server.Requests()[0].path, "/search.asp?Keyword=qq");
  EXPECT_EQ(bench_.Rows(18), std::vector<std::string>{"没有找到符合条件的软件"});
  QTest::keyClick(query, Qt::Key_Escape);
  EXPECT_TRUE(host.dialog().isVisible());
}

}  // namespace
}  // namespace jollix
