#include "indexer/IndexerDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <vector>

#include "indexer/IndexRun.h"
#include "testing/FakePorts.h"
#include "testing/QtTestApp.h"

namespace jollix {
namespace {

using testing::FakePrompter;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

class CIndexerDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }

  CIndexerDialog& Dialog() {
    if (!dialog_) {
      dialog_ = std::make_unique<CIndexerDialog>(progress_, prompter_,
                                                 [this](int code) { ends_.push_back(code); });
    }
    return *dialog_;
  }
  template <typename T>
  T* Control(int id) {
    return Dialog().findChild<T*>(QString("control%1").arg(id));
  }
  QAction* MenuItem(int index) { return Dialog().TrayMenu()->actions().at(index); }
  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&Dialog(), &press);
  }

  ScanProgress progress_;
  FakePrompter prompter_;
  std::vector<int> ends_;
  std::unique_ptr<CIndexerDialog> dialog_;
};

TEST_F(CIndexerDialogTest, StartsHiddenAsAToolWindowWithItsControls) {
  CIndexerDialog& dialog = Dialog();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::Tool));
  EXPECT_EQ(dialog.geometry().topLeft(), QPoint(0, 0));
  EXPECT_TRUE(dialog.geometry().isEmpty()) << dialog.width() << "x" << dialog.height();
  EXPECT_EQ(dialog.windowTitle(), Text(u"Jollix超级搜索桌面索引器"));
  EXPECT_EQ(Control<QLabel>(1004)->text(), Text(u"系统已经对      个文件建立索引"));
  EXPECT_EQ(Control<QLabel>(1005)->text(), Text(u"正在扫描文件夹："));
  EXPECT_EQ(Control<QLabel>(1006)->text(), Text(u"约完成索引任务的  %"));
  EXPECT_EQ(Control<QProgressBar>(1003)->minimum(), 0);
  EXPECT_EQ(Control<QProgressBar>(1003)->maximum(), 100);
  EXPECT_EQ(Control<QPushButton>(1009)->text(), Text(u"后台索引"));
  EXPECT_EQ(Control<QPushButton>(1010)->text(), Text(u"显示帮助"));
  EXPECT_EQ(Control<QPushButton>(1008)->text(), Text(u"退出索引"));
  EXPECT_TRUE(ends_.empty());
}

TEST_F(CIndexerDialogTest, TrayIconHasItsTipItsOwnIconAndTheThreeItemMenu) {
  auto* tray = Dialog().findChild<QSystemTrayIcon*>();
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->toolTip(), Text(u"Jollix文件搜索索引器"));
  EXPECT_NE(tray->icon().cacheKey(), Dialog().windowIcon().cacheKey());
  EXPECT_EQ(tray->contextMenu(), Dialog().TrayMenu());
  ASSERT_EQ(Dialog().TrayMenu()->actions().size(), 3);
  EXPECT_EQ(MenuItem(0)->text(), Text(u"显示进度"));
  EXPECT_EQ(MenuItem(1)->text(), Text(u"显示帮助"));
  EXPECT_EQ(MenuItem(2)->text(), Text(u"退出索引"));
}

TEST_F(CIndexerDialogTest, ShowProgressPlacesTheDialogAndBackgroundHidesItAgain) {
  MenuItem(0)->trigger();
  EXPECT_TRUE(Dialog().isVisible());
  EXPECT_EQ(Dialog().geometry(), QRect(200, 200, 380, 160));
  EXPECT_TRUE(Dialog().windowFlags().testFlag(Qt::Tool));
  Control<QPushButton>(1009)->click();
  EXPECT_FALSE(Dialog().isVisible());
  EXPECT_EQ(Dialog().geometry().topLeft(), QPoint(0, 0));
  EXPECT_TRUE(Dialog().geometry().isEmpty());
  Control<QPushButton>(1010)->click();  // help: no action
  MenuItem(1)->trigger();
  EXPECT_FALSE(Dialog().isVisible());
  EXPECT_TRUE(prompter_.messages().empty());
  EXPECT_TRUE(ends_.empty());
}

TEST_F(CIndexerDialogTest, TimerTickShowsProgressAndEndsWithZeroOnceFinished) {
  progress_.FoldersToScan = 3;
  progress_.FoldersDone = 2;
  progress_.EntriesWritten = 42;
  progress_.SetCurrentFolder("/home/文档");
  Dialog().Tick();
  EXPECT_EQ(Control<QProgressBar>(1003)->value(), 66);
  EXPECT_EQ(Control<QLabel>(1004)->text(), Text(u"已经完成    42    个文件的扫描"));
  EXPECT_EQ(Control<QLabel>(1005)->text(), Text(u"正在扫描文件夹：/home/文档"));
  EXPECT_EQ(Control<QLabel>(1006)->text(), Text(u"索引大约完成    66% "));
  EXPECT_TRUE(ends_.empty());

  progress_.FoldersDone = 3;
  progress_.Finished = 1;
  Dialog().Tick();
  EXPECT_EQ(Control<QProgressBar>(1003)->value(), 100);
  EXPECT_EQ(ends_, std::vector<int>{0});
}

TEST_F(CIndexerDialogTest, QuitAsksAndOnlyOkEndsTheRun) {
  prompter_.Script(PromptAnswer::kCancel);
  Control<QPushButton>(1008)->click();
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "索引没有完成，您确定退出索引吗？");
  EXPECT_EQ(prompter_.messages()[0].caption, "退出索引?");
  EXPECT_EQ(prompter_.messages()[0].buttons, PromptButtons::kOkCancel);
  EXPECT_TRUE(ends_.empty());

  prompter_.Script(PromptAnswer::kOk);
  MenuItem(2)->trigger();
  EXPECT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(ends_, std::vector<int>{kQuitExitCode});
}

TEST_F(CIndexerDialogTest, EscapeEnterAndTheCloseBoxEndWithoutAsking) {
  Dialog().ShowProgress();
  Key(Qt::Key_Escape);
  Dialog().ShowProgress();
  Key(Qt::Key_Return);
  Dialog().ShowProgress();
  Dialog().close();
  EXPECT_EQ(ends_, (std::vector<int>{kQuitExitCode, kQuitExitCode, kQuitExitCode}));
  EXPECT_TRUE(prompter_.messages().empty());
}

}  // namespace
}  // namespace jollix
