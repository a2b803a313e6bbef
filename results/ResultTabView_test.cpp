#include "results/ResultTabView.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>

#include "channels/SearchState.h"
#include "common/QtPrompter.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultListModel.h"
#include "results/ResultPages.h"
#include "testing/FakePorts.h"
#include "testing/QtTestApp.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeShell;

class CResultTabViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    ResultType = 0;
    context_.prompter = &prompter_;
    context_.shell = &shell_;
    context_.details = &details_;
    context_.icons = &icons_;
    view_ = std::make_unique<CResultTabView>(context_);
    view_->resize(1000, 600);
  }
  void TearDown() override { ResultType = 0; }

  QTabBar* Tabs() { return view_->findChild<QTabBar*>("tabs"); }
  CListResultView* PageNamed(int type) {
    return view_->findChild<CListResultView*>(QString("page%1").arg(type));
  }
  QWidget* Shown() { return view_->findChild<QStackedWidget*>()->currentWidget(); }
  // The web page channel's command.
  void WebCommand() {
    view_->RemoveAllTabs();
    view_->AddTabLabel("百度网页");
    view_->AddTabLabel("Google网页");
    view_->AddTabLabel("雅虎网页");
    ASSERT_TRUE(view_->PlacePages({1, 2, 3}));
    ASSERT_TRUE(view_->SelectPosition(1));
  }

  testing::ApplicationMember application_;
  FakePrompter prompter_;
  FakeShell shell_;
  QListWidget details_;
  FileIconList icons_;
  ResultListContext context_;
  std::unique_ptr<CResultTabView> view_;
};

TEST_F(CResultTabViewTest, StartsWithTheDesktopPageAlone) {
  ASSERT_NE(Tabs(), nullptr);
  EXPECT_EQ(Tabs()->count(), 1);
  EXPECT_EQ(Tabs()->tabText(0), QString::fromUtf16(u"Jollix桌面搜索"));
  EXPECT_EQ(view_->CurrentPosition(), 0);
  EXPECT_EQ(view_->SelectedIndex(), 0);
  EXPECT_EQ(view_->PageAtPosition(0), view_->Page(0));
  EXPECT_EQ(Shown(), PageNamed(0));
  EXPECT_EQ(view_->PageAt(1), nullptr);
  view_->show();
  EXPECT_TRUE(PageNamed(0)->isVisible());
}

TEST_F(CResultTabViewTest, BuildsTheTwentySixPagesWithTheirColumns) {
  for (int type = 0; type < kResultPageCount; ++type) {
    CListResultView* page = PageNamed(type);
    ASSERT_NE(page, nullptr) << type;
    EXPECT_EQ(view_->Page(type), page);
    const auto columns = ResultPageColumns(type);
    ASSERT_EQ(page->model()->columnCount(), static_cast<int>(columns.size())) << type;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
      // The one column of the idiom and dictionary pages fills the line instead.
      const bool hidden = columns[c].fraction == 0 && type != 15 && type != 16;
      EXPECT_EQ(page->isColumnHidden(c), hidden) << type << " " << c;
      EXPECT_EQ(page->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                QStringFromGbk(columns[c].header));
    }
  }
  EXPECT_EQ(view_->Page(26), nullptr);
  EXPECT_EQ(view_->Page(-1), nullptr);
}

TEST_F(CResultTabViewTest, ColumnWidthsFollowTheClientWidth) {
  view_->show();
  CListResultView* page = PageNamed(0);
  const int client =
      view_->findChild<QStackedWidget*>()->contentsRect().width() - 2 * page->frameWidth();
  ASSERT_GT(client, 500);
  const auto columns = ResultPageColumns(0);
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(page->columnWidth(c), ColumnWidth(client, columns[c].fraction)) << c;
  }
  EXPECT_TRUE(page->isColumnHidden(5));
  // A page not shown yet has its widths as well.
  EXPECT_EQ(PageNamed(25)->columnWidth(0), ColumnWidth(client, 1.0));
  EXPECT_FALSE(PageNamed(15)->isColumnHidden(0));
}

TEST_F(CResultTabViewTest, TheWebCommandPlacesItsThreePages) {
  WebCommand();
  EXPECT_EQ(Tabs()->count(), 3);
  EXPECT_EQ(Tabs()->tabText(2), QString::fromUtf16(u"雅虎网页"));
  EXPECT_EQ(view_->CurrentPosition(), 1);
  EXPECT_EQ(Tabs()->currentIndex(), 1);
  EXPECT_EQ(view_->PageAtPosition(0), PageNamed(1));
  EXPECT_EQ(view_->PageAt(1), static_cast<ResultPage*>(PageNamed(2)));
  EXPECT_EQ(view_->PageAtPosition(2), PageNamed(3));
  EXPECT_EQ(view_->PageAtPosition(3), nullptr);  // page 0 stands there, without a label
  EXPECT_EQ(view_->Arrays().PageArray()[3], 0);
  EXPECT_EQ(Shown(), PageNamed(2));
  EXPECT_FALSE(view_->SelectPosition(3));
  EXPECT_EQ(view_->CurrentPosition(), 1);
}

TEST_F(CResultTabViewTest, RemovingTheTabsShowsNoPageAndKeepsTheRows) {
  PageNamed(0)->InsertRow(0, "row", -1);
  view_->RemoveAllTabs();
  EXPECT_EQ(Tabs()->count(), 0);
  EXPECT_EQ(view_->CurrentPosition(), -1);
  EXPECT_EQ(view_->PageAtPosition(0), nullptr);
  EXPECT_NE(Shown(), PageNamed(0));
  EXPECT_EQ(PageNamed(0)->RowCount(), 1);
}

TEST_F(CResultTabViewTest, ATabClickShowsItsPageAndLeavesResultType) {
  view_->show();
  WebCommand();
  ResultType = 2;
  QTabBar* tabs = Tabs();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
  EXPECT_EQ(view_->CurrentPosition(), 2);
  EXPECT_EQ(Shown(), PageNamed(3));
  EXPECT_EQ(ResultType, 2);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
  EXPECT_EQ(view_->SelectedIndex(), 0);
  EXPECT_EQ(Shown(), PageNamed(1));
  EXPECT_EQ(ResultType, 2);
}

TEST(CreateDetailsList, IsNamedForTestsAndScreenReaders) {
  testing::EnsureApplication();
  std::unique_ptr<QListWidget> details(CreateDetailsList());
  EXPECT_EQ(details->objectName(), "details");
  EXPECT_EQ(details->accessibleName(), QString::fromUtf16(u"文件属性"));
}

TEST_F(CResultTabViewTest, EveryPageWritesTheSameDetailsList) {
  WebCommand();
  ResultType = 2;
  DetailColumn = 2;
  CListResultView* page = view_->PageAtPosition(1);
  page->InsertRow(0, "title", -1);
  page->SetCell(0, 2, "abstract");
  page->selectRow(0);
  page->RefreshDetails();
  ASSERT_EQ(details_.count(), 3);
  EXPECT_EQ(details_.item(2)->text(), "abstract");
  DetailColumn = -1;
}

}  // namespace
}  // namespace jollix
