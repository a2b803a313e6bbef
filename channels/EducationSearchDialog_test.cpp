#include "channels/EducationSearchDialog.h"

#include <QTest>
#include <memory>

#include "channels/FormTestBed.h"
#include "channels/SiteHosts.h"

namespace jollix {
namespace {

using testing::Control;
using testing::HttpReply;
using testing::Text;

class EducationSearchDialogTest : public testing::FormTestBed {
 protected:
  EducationSearchDialogTest() : form_(std::make_unique<CEducationSearchDialog>(context)) {
    education = form_.get();
  }
  ~EducationSearchDialogTest() override { education = nullptr; }

  QTabBar* Tabs() { return Control<QTabBar>(form_.get(), "education_tabs"); }
  QLineEdit* Query() { return Control<QLineEdit>(form_.get(), "education_query"); }
  QPushButton* Button() { return Control<QPushButton>(form_.get(), "1"); }

  std::unique_ptr<CEducationSearchDialog> form_;
};

TEST_F(EducationSearchDialogTest, EachTabChangeRunsItsSourceCommandOnce) {
  const struct {
    int tab, command, page;
  } cases[] = {{3, 32875, 16}, {1, 32845, 14}, {0, 32843, 13}, {2, 32874, 15}, {1, 32845, 14}};
  std::vector<int> expected;
  for (const auto& c : cases) {
    ASSERT_TRUE(form_->SelectTab(c.tab));
    expected.push_back(c.command);
    EXPECT_EQ(commands, expected) << c.tab;
    EXPECT_EQ(form_->SelectedTab(), c.tab);
    EXPECT_EQ(view->PageAtPosition(0), view->Page(c.page)) << c.tab;
  }
}

TEST_F(EducationSearchDialogTest, SelectingTheSelectedTabOrNoTabRunsNothing) {
  EXPECT_EQ(form_->SelectedTab(), 0);
  EXPECT_TRUE(form_->SelectTab(0));
  EXPECT_FALSE(form_->SelectTab(4));
  EXPECT_FALSE(form_->SelectTab(-1));
  EXPECT_TRUE(commands.empty());
  form_->resize(300, 600);
  form_->show();
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(2).center());
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(2).center());
  EXPECT_EQ(form_->SelectedTab(), 2);
  EXPECT_EQ(commands, std::vector<int>{32874});
}

TEST_F(EducationSearchDialogTest, IdiomSearchFillsThePageAtTheFirstTab) {
  server.ServeForHost(
      HostName(Site::kSogouWeb), "/features/idiom.jsp",
      HttpReply::Page("<div>成语查询结果</div><p>【一心一意】专心。【三心二意】不专心。</p>"));
  form_->SelectTab(2);
  Query()->setText(Text(u"心意"));  // QTest types ASCII only
  QTest::mouseClick(Button(), Qt::LeftButton);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/features/idiom.jsp?query=%D0%C4%D2%E2");
  ASSERT_EQ(view->PageAtPosition(0), view->Page(15));
  EXPECT_EQ(Rows(15), (std::vector<std::string>{"【一心一意--专心。", "三心二意--不专心。"}));
  EXPECT_EQ(Status(), "Jollix超级搜索---让天下最好的老师都在您的身边！找到符合条件的信息 2 条！");
}

TEST_F(EducationSearchDialogTest, PapersTabOpensTheBrowserWithoutFetching) {
  QTest::keyClicks(Query(), "ab");
  QTest::mouseClick(Button(), Qt::LeftButton);
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(shell.opened,
            std::vector<std::string>{std::string("http://") + HostName(Site::kGoogleScholar) +
                                     "/scholar?q=ab&ie=gb2312"});
}

TEST_F(EducationSearchDialogTest, EnterInTheFieldSearchesAndEscapeKeepsTheFormOpen) {
  form_->SelectTab(3);
  CEducationSearchDialog* form = form_.get();
  testing::DialogHost host(form_.release());
  QLineEdit* query = Control<QLineEdit>(form, "education_query");
  QTest::keyClicks(query, "word");
  QTest::keyClick(query, Qt::Key_Return);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].host, HostName(Site::kBaiduWeb));
  EXPECT_EQ(Rows(16), std::vector<std::string>{"没有找到符合条件的信息"});
  QTest::keyClick(query, Qt::Key_Escape);
  EXPECT_TRUE(host.dialog().isVisible());
  education = nullptr;
}

}  // namespace
}  // namespace jollix
