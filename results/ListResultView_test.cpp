#include "results/ListResultView.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QTest>
#include <cstdlib>
#include <thread>

#include "channels/SearchState.h"
#include "common/Gbk.h"
#include "common/QtPrompter.h"
#include "desktop/SearchServer.h"
#include "results/DesktopFileActions.h"
#include "results/DetailLines.h"
#include "results/FileIconList.h"
#include "results/ResultListModel.h"
#include "results/ResultSort.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeResultPage;
using testing::FakeShell;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;
using testing::TempDir;

class CListResultViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    context_.prompter = &prompter_;
    context_.shell = &shell_;
    context_.details = &details_;
    context_.icons = &icons_;
    context_.choose_menu_item = [this](const std::vector<MenuItem>& items, QPoint) {
      offered_.push_back(items.size());
      return menu_choice_;
    };
  }
  void TearDown() override {
    ResultType = 0;
    UrlColumn = 0;
    DetailColumn = -1;
  }

  CListResultView& Page(int type) {
    if (!page_) {
      page_ = std::make_unique<CListResultView>(type, context_);
      page_->resize(800, 400);
      page_->show();
    }
    return *page_;
  }
  void AddRow(CListResultView& page, const std::vector<std::string>& cells, int64_t data = -1) {
    const int row = page.InsertRow(page.RowCount(), cells[0].c_str(), -1);
    for (size_t c = 1; c < cells.size(); ++c)
      page.SetCell(row, static_cast<int>(c), cells[c].c_str());
    page.SetRowData(row, data);
  }
  // A desktop row of a file in dir_ (written unless vanished).
  void AddFile(CListResultView& page, const std::string& name, const char* size,
               bool vanished = false) {
    if (!vanished) dir_.Write(FileNameFromGbk(name), "x");
    AddRow(page,
           {name, FileNameToGbk(dir_.path()) + "/", size, "文本文件", "2007-01-28 16:00:00", "1"});
  }
  std::vector<std::string> Shown(CListResultView& page, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < page.model()->rowCount(); ++r) {
      texts.push_back(GbkFromQString(page.model()->index(r, column).data().toString()));
    }
    return texts;
  }
  std::vector<std::string> Details() {
    std::vector<std::string> lines;
    for (int i = 0; i < details_.count(); ++i)
      lines.push_back(GbkFromQString(details_.item(i)->text()));
    return lines;
  }
  void ClickHeader(CListResultView& page, int column) {
    QHeaderView* header = page.horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  }
  void ClickRow(CListResultView& page, int shown_row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect rect = page.visualRect(page.model()->index(shown_row, 0));
    QTest::mouseClick(page.viewport(), Qt::LeftButton, modifiers, rect.center());
  }
  void DoubleClick(CListResultView& page) {
    const QPoint at = page.visualRect(page.model()->index(0, 0)).center();
    QMouseEvent event(QEvent::MouseButtonDblClick, at, page.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page.viewport(), &event);
  }
  void RightClick(CListResultView& page) {
    const QPoint at = page.visualRect(page.model()->index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, page.viewport()->mapToGlobal(at));
    QApplication::sendEvent(page.viewport(), &event);
  }

  TempDir dir_;
  testing::ApplicationMember application_;
  FakePrompter prompter_;
  FakeShell shell_;
  QListWidget details_;
  FileIconList icons_;
  ResultListContext context_;
  std::vector<size_t> offered_;
  int menu_choice_ = 0;
  std::unique_ptr<CListResultView> page_;
};

TEST_F(CListResultViewTest, IsAReportListOfWholeRows) {
  CListResultView& page = Page(0);
  EXPECT_EQ(page.objectName(), "page0");
  EXPECT_EQ(page.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(page.selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_TRUE(page.showGrid());
  EXPECT_EQ(page.ColumnCount(), 6);
  EXPECT_TRUE(page.isColumnHidden(5));
  EXPECT_EQ(
      page.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
      Qt::AlignRight);
}

TEST_F(CListResultViewTest, CallsOnTheInterfaceThreadApplyAtOnce) {
  CListResultView& page = Page(1);
  const int image = icons_.AddIconOf("/x/a.txt");
  EXPECT_EQ(page.InsertRow(0, "标题", image), 0);
  page.SetCell(0, 1, "http://a/");
  page.SetRowData(0, 42);
  EXPECT_EQ(page.model()->rowCount(), 1);
  EXPECT_EQ(page.Cell(0, 1), "http://a/");
  EXPECT_EQ(page.RowData(0), 42);
  EXPECT_EQ(page.model()->index(0, 0).data().toString(), QString::fromUtf16(u"标题"));
  EXPECT_EQ(page.model()->index(0, 1).data().toString(), "http://a/");
  EXPECT_EQ(page.model()->index(0, 0).data(Qt::DecorationRole).typeId(), QMetaType::QIcon);
  page.InsertRow(1, "no icon", -1);
  EXPECT_FALSE(page.model()->index(1, 0).data(Qt::DecorationRole).isValid());
  page.DeleteAllRows();
  EXPECT_EQ(page.model()->rowCount(), 0);
  EXPECT_EQ(page.RowCount(), 0);
}

TEST_F(CListResultViewTest, RowsFromAWorkerArriveInOrderAfterEventsRun) {
  CListResultView& page = Page(1);
  std::thread worker([&] {
    page.DeleteAllRows();
    for (int i = 0; i < 300; ++i) {
      const int row = page.InsertRow(i, std::to_string(i).c_str(), -1);
      page.SetCell(row, 1, ("url" + std::to_string(i)).c_str());
      // The port sees every call at once, also before the window was told.
      if (page.RowCount() != i + 1 || page.Cell(row, 1) != "url" + std::to_string(i)) std::abort();
    }
  });
  worker.join();
  EXPECT_EQ(page.RowCount(), 300);
  // The window learns of them only through its event loop.
  EXPECT_EQ(page.model()->rowCount(), 0);
  ASSERT_TRUE(testing::ProcessEventsUntil([&] { return page.model()->rowCount() == 300; }));
  const auto shown = Shown(page, 1);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(shown[i], "url" + std::to_string(i));
}

TEST_F(CListResultViewTest, AHundredThousandRowsFromAWorkerAllArrive) {
  CListResultView& page = Page(0);
  constexpr int kRows = 100000;
  std::thread worker([&] {
    page.DeleteAllRows();
    char size[16];
    for (int i = 0; i < kRows; ++i) {
      const int row = page.InsertRow(i, ("file" + std::to_string(i)).c_str(), -1);
      page.SetCell(row, 1, "/home/user/");
      std::snprintf(size, sizeof size, "%12d", i);
      page.SetCell(row, 2, size);
      page.SetRowData(row, i * 10);
    }
  });
  // The window keeps handling events while the rows come in.
  while (page.RowCount() < kRows) QApplication::processEvents();
  worker.join();
  ASSERT_TRUE(testing::ProcessEventsUntil([&] { return page.model()->rowCount() == kRows; }));
  EXPECT_EQ(page.Cell(kRows - 1, 0), "file" + std::to_string(kRows - 1));
  EXPECT_EQ(page.RowData(kRows - 1), (kRows - 1) * 10);
  EXPECT_EQ(page.model()->index(kRows - 1, 0).data().toString(), QString("file%1").arg(kRows - 1));
}

// Desktop rows of mixed GBK, ASCII and empty cells (some rows lack the last columns), filled by
// a worker as the desktop search fills them while the window takes them in batches: every cell
// shows what was written, in the order written, and every header click shows the order of the
// reference sort (ResultSort), ties in the order shown before.
TEST_F(CListResultViewTest, MixedRowsFromAWorkerShowWholeAndSortAsTheReferenceSort) {
  CListResultView& page = Page(0);
  const char* const texts[] = {"",
                               "a",
                               "abcdefgh",
                               "abcdefgh中",
                               "中文",
                               "中文文件夹",
                               "/home/用户/",
                               "/home/用户/照片/",
                               "          10",
                               "           9",
                               "2024-01-02 03:04"};
  std::vector<ResultRow> rows(3000);
  for (size_t r = 0; r < rows.size(); ++r) {
    const size_t columns = 1 + (r * 7) % 6;
    for (size_t c = 0; c < columns; ++c)
      rows[r].cells.push_back(texts[(r * 13 + c * 5 + r / 7) % 11]);
    rows[r].data = static_cast<int64_t>(r);
  }
  std::thread worker([&] {
    page.DeleteAllRows();
    for (const ResultRow& row : rows) {
      const int at = page.InsertRow(page.RowCount(), row.cells[0].c_str(), -1);
      for (size_t c = 1; c < row.cells.size(); ++c)
        page.SetCell(at, static_cast<int>(c), row.cells[c].c_str());
      page.SetRowData(at, row.data);
    }
  });
  while (page.model()->rowCount() < static_cast<int>(rows.size())) QApplication::processEvents();
  worker.join();
  for (int c = 0; c < 6; ++c) {
    const std::vector<std::string> shown = Shown(page, c);
    for (size_t r = 0; r < rows.size(); ++r) ASSERT_EQ(shown[r], rows[r].Cell(c)) << r << " " << c;
  }
  std::vector<int> order(rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  SortFlag flag;
  for (int column : {1, 0, 2, 4, 3, 1, 1}) {  // column 5 is hidden
    ClickHeader(page, column);
    SortRowOrder(rows, column, flag.Flip(), &order);
    std::vector<int> shown_rows;
    for (int s = 0; s < static_cast<int>(order.size()); ++s)
      shown_rows.push_back(page.Model()->ShownToRow(s));
    ASSERT_EQ(shown_rows, order) << "column " << column;
    ASSERT_EQ(Shown(page, column)[0], rows[order[0]].Cell(column));
  }
  EXPECT_EQ(page.RowData(2999), 2999);
}

TEST_F(CListResultViewTest, HeaderClicksFlipThePagesOneFlagAndShowTheMark) {
  CListResultView& page = Page(1);
  for (const char* text : {"9", "10", "2"}) AddRow(page, {"t", text});
  EXPECT_EQ(page.SortFlagValue(), 0);
  ClickHeader(page, 1);
  EXPECT_EQ(page.SortFlagValue(), 1);
  EXPECT_EQ(Shown(page, 1), (std::vector<std::string>{"9", "2", "10"}));
  EXPECT_TRUE(page.horizontalHeader()->isSortIndicatorShown());
  EXPECT_EQ(page.horizontalHeader()->sortIndicatorSection(), 1);
  // Qt draws Qt::AscendingOrder as a downward arrow: descending shows it.
  EXPECT_EQ(page.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
  ClickHeader(page, 1);
  EXPECT_EQ(Shown(page, 1), (std::vector<std::string>{"10", "2", "9"}));  // text order
  EXPECT_EQ(page.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  // The flag is the page's, not the column's: the next column sorts descending.
  ClickHeader(page, 0);
  EXPECT_EQ(page.SortFlagValue(), 1);
  EXPECT_EQ(page.horizontalHeader()->sortIndicatorSection(), 0);
  // The port still numbers rows in insertion order.
  EXPECT_EQ(page.Cell(0, 1), "9");
}

TEST_F(CListResultViewTest, PaddedSizesSortByValueAndTheSelectionFollowsItsRow) {
  CListResultView& page = Page(0);
  for (int size : {300, 5, 40000}) {
    char text[16];
    std::snprintf(text, sizeof text, "%12d", size);
    AddRow(page, {"f" + std::to_string(size), "/", text});
  }
  page.selectRow(1);  // "f5"
  ClickHeader(page, 2);
  ClickHeader(page, 2);  // ascending
  EXPECT_EQ(Shown(page, 0), (std::vector<std::string>{"f5", "f300", "f40000"}));
  EXPECT_EQ(page.SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(page.selectionModel()->selectedRows().at(0).row(), 0);
}

TEST_F(CListResultViewTest, ClickShowsTheDetailsOfOneFile) {
  CListResultView& page = Page(0);
  AddFile(page, "报告.txt", "           1");
  ClickRow(page, 0);
  EXPECT_EQ(Details(), (std::vector<std::string>{
                           kFileDetailsHint, "", "文件或目录名: 报告.txt",
                           "所在文件夹  : " + FileNameToGbk(dir_.path()) + "/",
                           "文件大小    : 1 字节", "文件修改时间: 2007-01-28 16:00:00"}));
  EXPECT_EQ(details_.font(), page.font());
}

TEST_F(CListResultViewTest, KeyReleaseShowsTheDetailsOfSeveralFilesOrAVanishedOne) {
  CListResultView& page = Page(0);
  AddFile(page, "a.txt", "         100");
  AddFile(page, "b.txt", "          20");
  AddFile(page, "gone.txt", "3", true);
  page.selectAll();
  QTest::keyRelease(&page, Qt::Key_Shift);
  EXPECT_EQ(Details(), (std::vector<std::string>{kFileDetailsHint, "", "共选择文件:         3  个",
                                                 "文件总大小:       123  字节"}));
  ClickRow(page, 2);
  EXPECT_EQ(Details(), std::vector<std::string>{kFileVanishedLine});
}

TEST_F(CListResultViewTest, AWrappedDetailTextEndsAtTheEndOfTheText) {
  ResultType = 1;
  DetailColumn = 2;
  CListResultView& page = Page(1);
  // The last slice holds three high bytes: one character and a lone lead byte.
  const std::string text = std::string(80, 'a') + "bb中\xB0";
  AddRow(page, {"title", "http://a/", text});
  ClickRow(page, 0);
  ASSERT_EQ(details_.count(), 4);
  EXPECT_EQ(Details()[0], kWebDetailsHint);
  EXPECT_EQ(Details()[2], std::string(80, 'a'));
  EXPECT_EQ(details_.item(3)->text(), QStringFromGbk("bb中\xB0"));
}

// The idiom and dictionary pages have one column of width 0; still a click anywhere on a row's
// line selects the row and shows its text in the details list, and so do the arrow keys.
class CListResultViewOneTextColumnTest : public CListResultViewTest,
                                         public ::testing::WithParamInterface<int> {};

TEST_P(CListResultViewOneTextColumnTest, AClickAnywhereOnARowShowsItsText) {
  const int type = GetParam();
  ResultType = type;
  DetailColumn = -1;
  CListResultView& page = Page(type);
  const std::vector<std::string> texts = {"一丝不苟：形容办事认真", "画龙点睛：比喻关键处",
                                          "守株待兔：比喻死守经验"};
  for (const std::string& text : texts) AddRow(page, {text});
  const int y = page.rowViewportPosition(1) + page.rowHeight(1) / 2;
  const int width = page.viewport()->width();
  for (int x : {3, width / 2, width - 3}) {
    details_.clear();
    page.clearSelection();
    QTest::mouseClick(page.viewport(), Qt::LeftButton, {}, QPoint(x, y));
    EXPECT_EQ(page.SelectedRows(), std::vector<int>{1}) << x;
    EXPECT_EQ(Details(), (std::vector<std::string>{kWebDetailsHint, "", texts[1]})) << x;
  }
  QTest::keyClick(&page, Qt::Key_Down);
  EXPECT_EQ(page.SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(Details(), (std::vector<std::string>{kWebDetailsHint, "", texts[2]}));
  if (const char* shots = std::getenv("JOLLIX_SHOT_DIR")) {
    page.grab().save(QString("%1/page%2.png").arg(shots).arg(type));
  }
}

INSTANTIATE_TEST_SUITE_P(IdiomsAndDictionary, CListResultViewOneTextColumnTest,
                         ::testing::Values(15, 16));

TEST_F(CListResultViewTest, RightClickOnAWebPageRefreshesTheDetails) {
  ResultType = 1;
  DetailColumn = -1;
  CListResultView& page = Page(1);
  AddRow(page, {"title", "http://a/", "abstract"});
  page.selectRow(0);
  RightClick(page);
  EXPECT_EQ(Details(),
            (std::vector<std::string>{kWebDetailsHint, "", "title", "http://a/", "abstract"}));
  EXPECT_TRUE(offered_.empty());
}

TEST_F(CListResultViewTest, DoubleClickWithTwoRowsSelectedOnlyClearsTheDetails) {
  ResultType = 1;
  UrlColumn = 1;
  CListResultView& page = Page(1);
  AddRow(page, {"one", "http://a/"});
  AddRow(page, {"two", "http://b/"});
  page.selectAll();
  page.RefreshDetails();
  ASSERT_GT(details_.count(), 0);
  DoubleClick(page);
  EXPECT_EQ(details_.count(), 0);
  EXPECT_TRUE(shell_.opened.empty());
  page.selectRow(1);
  DoubleClick(page);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://b/"});
}

TEST_F(CListResultViewTest, ContextMenuIsRefusedForVanishedFiles) {
  ResultType = 0;
  CListResultView& page = Page(0);
  AddFile(page, "gone1.txt", "1", true);
  AddFile(page, "gone2.txt", "1", true);
  page.selectAll();
  RightClick(page);
  EXPECT_TRUE(offered_.empty());
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kFilesVanishedMessage);
}

TEST_F(CListResultViewTest, TheMenuForOneFileOffersItsFolderFirst) {
  ResultType = 0;
  CListResultView& page = Page(0);
  AddFile(page, "a.txt", "1");
  AddFile(page, "b.txt", "1");
  page.selectRow(0);
  RightClick(page);
  page.selectAll();
  RightClick(page);
  EXPECT_EQ(offered_, (std::vector<size_t>{4, 3}));
}

// "打开所在的文件夹" is offered for exactly one existing file, yet opens the folder of the last
// selected row in the list's order, also when that row's file is gone and lies elsewhere.
TEST_F(CListResultViewTest, OpenFolderOpensTheFolderOfTheLastSelectedRow) {
  ResultType = 0;
  TempDir elsewhere;
  const std::string here = FileNameToGbk(dir_.path()) + "/";
  const std::string there = FileNameToGbk(elsewhere.path()) + "/";
  auto add_vanished = [&](CListResultView& page) {
    AddRow(page, {"gone.txt", there, "1", "文本文件", "2007-01-28 16:00:00", "1"});
  };
  struct Case {
    bool vanished_last;
    std::string opened;
  };
  for (const Case& c : {Case{true, there}, Case{false, here}}) {
    page_.reset();
    shell_.opened.clear();
    offered_.clear();
    CListResultView& page = Page(0);
    if (!c.vanished_last) add_vanished(page);
    AddFile(page, "kept.txt", "1");
    if (c.vanished_last) add_vanished(page);
    // The later row is clicked first: the list's order decides which row is last.
    ClickRow(page, 1);
    ClickRow(page, 0, Qt::ControlModifier);
    menu_choice_ = kOpenFolderCommand;
    RightClick(page);
    EXPECT_EQ(offered_, std::vector<size_t>{4}) << c.vanished_last;
    EXPECT_EQ(shell_.opened, std::vector<std::string>{c.opened}) << c.vanished_last;
    EXPECT_TRUE(prompter_.messages().empty());
  }
}

// The desktop page filled by a real search over a real index, then a file cut elsewhere.
class CListResultViewCutTest : public CListResultViewTest {
 protected:
  void SetUp() override {
    CListResultViewTest::SetUp();
    install_.WriteFile("cutme.txt", "cut");
    install_.WriteFile("stay.txt", "stay");
    install_.Index();
    ResultType = 0;
  }
  // Searches "txt" into page and returns the shown row of name, or -1.
  int Search(ResultPage& page, const std::string& name) {
    ScopedCurrentDir cd(install_.Install());
    FakePrompter prompter;
    SearchServer server(prompter, icons_);
    server.Query.NameWords = "txt";
    EXPECT_EQ(server.Search(page), 0);
    for (int r = 0; r < page.RowCount(); ++r) {
      if (page.Cell(r, 0) == name) return r;
    }
    return -1;
  }
  void CutRow(CListResultView& page, int row) {
    page.selectRow(row);
    menu_choice_ = kCutCommand;
    ScopedCurrentDir cd(install_.Install());
    RightClick(page);
  }

  IndexedInstall install_{"txt\t1\t1\t文本文件\r\n"};
  TempDir target_;
};

TEST_F(CListResultViewCutTest, ACutMovesTheFileAndWithdrawsExactlyItsRecord) {
  CListResultView& page = Page(0);
  const int row = Search(page, "cutme.txt");
  ASSERT_GE(row, 0);
  const int64_t offset = install_.RecordOffset('_', "cutme.txt");
  EXPECT_EQ(page.RowData(row), offset);
  const std::string before = install_.AllFile();
  shell_.folder_to_pick = FileNameToGbk(target_.path());
  CutRow(page, row);
  EXPECT_EQ(shell_.pick_titles, std::vector<std::string>{"将文件剪切到..."});
  EXPECT_EQ(target_.Read("cutme.txt"), "cut");
  EXPECT_FALSE(std::filesystem::exists(install_.TreeDisk("cutme.txt")));
  std::string expected = before;
  expected[static_cast<size_t>(offset)] = 'X';
  EXPECT_EQ(install_.AllFile(), expected);
  EXPECT_TRUE(prompter_.messages().empty());

  FakeResultPage again;
  EXPECT_EQ(Search(again, "cutme.txt"), -1);
  EXPECT_GE(Search(again, "stay.txt"), 0);
}

TEST_F(CListResultViewCutTest, ACancelledFolderChoiceMovesNothing) {
  CListResultView& page = Page(0);
  const int row = Search(page, "cutme.txt");
  ASSERT_GE(row, 0);
  const std::string before = install_.AllFile();
  CutRow(page, row);  // no folder to pick: the user cancels
  EXPECT_EQ(shell_.pick_titles.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(install_.TreeDisk("cutme.txt")));
  EXPECT_EQ(install_.AllFile(), before);
}

}  // namespace
}  // namespace jollix
