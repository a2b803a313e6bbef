#include "channels/EducationSearchDialog.h"

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

class EducationSearchDialogTest : public ::testing::Test {
 protected:
  EducationSearchDialogTest() : form_(std::make_unique<CEducationSearchDialog>(bench_.context)) {
    bench_.education = form_.get();
  }
  ~EducationSearchDialogTest() override { bench_.education = nullptr; }

  QTabBar* Tabs() { return ControlOf<QTabBar>(form_.get(), "education_tabs"); }
  QLineEdit* Query() { return ControlOf<QLineEdit>(form_.get(), "education_query"); }
  QPushButton* Button() { return ControlOf<QPushButton>(form_.get(), "1"); }

  testing::FormTestBench bench_;
  std::unique_ptr<CEducationSearchDialog> form_;
};

TEST_F(EducationSearchDialogTest, HasItsSourcesCaptionFieldAndDefaultButton) {
  EXPECT_EQ(form_->objectName(), "144");
  ASSERT_NE(form_->findChild<QGroupBox*>(), nullptr);
  EXPECT_EQ(form_->findChild<QGroupBox*>()->title(), Text(u"教育搜索"));
  ASSERT_NE(Tabs(), nullptr);
  ASSERT_EQ(Tabs()->count(), 4);
  const char16_t* texts[] = {u"论文", u"国学", u"成语", u"词典"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Tabs()->tabText(i), Text(texts[i]));
  EXPECT_EQ(form_->SelectedTab(), 0);
  ASSERT_NE(Query(), nullptr);
  EXPECT_TRUE(Query()->text().isEmpty());
  EXPECT_EQ(Query()->accessibleName(), Text(u"查询关键词："));
  auto* label = form_->findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), Text(u"查询关键词："));
  EXPECT_EQ(label->buddy(), Query());
  ASSERT_NE(Button(), nullptr);
  EXPECT_EQ(Button()->text(), Text(u"Jollix教育搜索"));
  EXPECT_TRUE(Button()->isDefault());
  EXPECT_TRUE(bench_.commands.empty());
}

TEST_F(EducationSearchDialogTest, EachTabChangeRunsItsSourceCommandOnce) {
  const struct {
    int tab, command, page;
  } cases[] = {{3, 32875, 16}, {1, 32845, 14}, {0, 32843, 13}, {2, 32874, 15}, {1, 32845, 14}};
  std::vector<int> expected;
  for (const auto& c : cases) {
    ASSERT_TRUE(form_->SelectTab(c.tab));
    expected.push_back(c.command);
    EXPECT_EQ(bench_.commands, expected) << c.tab;
    EXPECT_EQ(form_->SelectedTab(), c.tab);
    EXPECT_EQ(bench_.view->PageAtPosition(0), bench_.view->Page(c.page)) << c.tab;
  }
}

TEST_F(EducationSearchDialogTest, SelectingTheSelectedTabOrNoTabRunsNothing) {
  EXPECT_TRUE(form_->SelectTab(0));
  EXPECT_FALSE(form_->SelectTab(4));
  EXPECT_FALSE(form_->SelectTab(-1));
  EXPECT_TRUE(bench_.commands.empty());
  form_->resize(300, 600);
  form_->show();
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(2).center());
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(2).center());
  EXPECT_EQ(form_->SelectedTab(), 2);
  EXPECT_EQ(bench_.commands, std::vector<int>{32874});
}

TEST_F(EducationSearchDialogTest, IdiomSearchFillsThePageAtTheFirstTab) {
  bench_.server.ServeForHost(
      HostName(Site::kSogouWeb), "/features/idiom.jsp",
      HttpReply::Page("<div>成语查询结果</div><p>【一心一意】专心。【三心二意】不专心。</p>"));
  form_->SelectTab(2);
  Query()->setText(Text(u"心意"));  // QTest types ASCII only
  QTest::mouseClick(Button(), Qt::LeftButton);
  ASSERT_EQ(bench_.server.Requests().size(), 1u);
  EXPECT_EQ(bench_.server.Requests()[0].path, "/features/idiom.jsp?query=%D0%C4%D2%E2");
  ASSERT_EQ(bench_.view->PageAtPosition(0), bench_.view->Page(15));
  EXPECT_EQ(bench_.Rows(15),
            (std::vector<std::string>{"【一心一意--专心。", "三心二意--不专心。"}));
  EXPECT_EQ(bench_.Status(),
            "Jollix超级搜索---让天下最好的老师都在您的身边！找到符合条件的信息 2 条！");
}

TEST_F(EducationSearchDialogTest, PapersTabOpensTheBrowserWithoutFetching) {
  QTest::keyClicks(Query(), "ab");
  QTest::mouseClick(Button(), Qt::LeftButton);
  EXPECT_TRUE(bench_.server.Requests().empty());
  EXPECT_EQ(bench_.shell.opened,
            std::vector<std::string>{std::string("http://") + HostName(Site::kGoogleScholar) +
                                     "/scholar?q=ab&ie=gb2312"});
}

TEST_F(EducationSearchDialogTest, EnterInTheFieldSearchesAndEscapeKeepsTheFormOpen) {
  form_->SelectTab(3);
  CEducationSearchDialog* form = form_.get();
  testing::DialogHost host(form_.release());
  QLineEdit* query = ControlOf<QLineEdit>(form, "education_query");
  QTest::keyClicks(query, "word");
  QTest::keyClick(query, Qt::Key_Return);
  ASSERT_EQ(bench_.server.Requests().size(), 1u);
  EXPECT_EQ(bench_.server.Requests()[0].host, HostName(Site::kBaiduWeb));
  EXPECT_EQ(bench_.Rows(16), std::vector<std::string>{"没有找到符合条件的信息"});
  QTest::keyClick(query, Qt::Key_Escape);
  EXPECT_TRUE(host.dialog().isVisible());
  bench_.education = nullptr;
}

}  // namespace
}  // namespace jollix
