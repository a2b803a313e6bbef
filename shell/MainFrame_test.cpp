#include "shell/MainFrame.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <memory>

#include "common/QtPrompter.h"
#include "common/TextFile.h"
#include "desktop/DeskSearchDialog.h"
#include "docking/DockPageBar.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "shell/QtStatusLine.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeShell;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

const char kFileTypes[] = "txt\t1\t1\t文本文件\r\ndoc\t2\t1\tWord文档\r\njpg\t3\t2\tJPEG图片\r\n";

class MainFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }
  void TearDown() override {
    frame_.reset();
    unsetenv("JOLLIX_HOME");
  }

  // Builds the window over the installation at home.
  bool Create(const std::string& home) {
    setenv("JOLLIX_HOME", home.c_str(), 1);
    frame_ = std::make_unique<CMainFrame>(prompter_, shell_, icons_,
                                          [this](int code) { ends_.push_back(code); });
    return frame_->Create();
  }
  template <typename T>
  T* Find(const char* name) {
    return frame_->findChild<T*>(QString::fromLatin1(name));
  }

  ScopedCurrentDir keep_{"."};
  IndexedInstall install_{kFileTypes};
  FakePrompter prompter_;
  FakeShell shell_;
  FileIconList icons_;
  std::vector<int> ends_;
  std::unique_ptr<CMainFrame> frame_;
};

TEST_F(MainFrameTest, StartsWithTheDesktopChannel) {
  install_.WriteFile("report.txt", "x");
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  EXPECT_TRUE(prompter_.messages().empty());
  EXPECT_TRUE(frame_->windowTitle().startsWith(Text(u"Jollix超级搜索---搜索桌面、网页")));
  auto* tabs = Find<QTabBar>("tabs");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 1);
  EXPECT_EQ(tabs->tabText(0), Text(u"Jollix桌面搜索"));
  EXPECT_EQ(frame_->SideBar()->ShownPage(), 0);
  EXPECT_EQ(frame_->SideBar()->windowTitle(), Text(u"桌面搜索"));
  EXPECT_EQ(frame_->SideBar()->objectName(), "1231");
  EXPECT_TRUE(frame_->Status()->Pane(1)->text().startsWith(Text(u"Jollix文件搜索欢迎您！")));
  EXPECT_EQ(frame_->Status()->Pane(0)->text(), Text(u"就绪"));
  EXPECT_TRUE(Find<QPushButton>("1017")->isEnabled());
  EXPECT_EQ(Find<QListWidget>("details")->accessibleName(), Text(u"文件属性"));
}

TEST_F(MainFrameTest, ADesktopSearchFromTheFormFillsTheDesktopPageAndTheStatusPane) {
  install_.WriteFile("report.txt", "x");
  install_.WriteFile("notes.doc", "x");
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->show();
  Find<QLineEdit>("1008")->setText(QStringLiteral("report"));
  auto* button = Find<QPushButton>("1017");
  button->click();
  CListResultView* page = frame_->ResultView()->Page(0);
  ASSERT_TRUE(testing::ProcessEventsUntil(
      [&] { return button->text() == Text(u"Jollix桌面搜索") && page->RowCount() > 0; }));
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(page->Cell(0, 0), "report.txt");
  EXPECT_EQ(frame_->Status()->Pane(1)->text(), Text(u"Jollix一下，找到文件  1 个"));
}

TEST_F(MainFrameTest, NoIndexAnsweredNoDisablesTheDesktopSearchButton) {
  prompter_.Script(PromptAnswer::kNo);
  ASSERT_TRUE(Create(install_.Install()));
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].buttons, PromptButtons::kYesNo);
  EXPECT_FALSE(Find<QPushButton>("1017")->isEnabled());
  EXPECT_TRUE(ends_.empty());
  EXPECT_TRUE(shell_.launched.empty());
}

TEST_F(MainFrameTest, NoIndexAnsweredYesWritesConfigAndStartsTheIndexer) {
  prompter_.Script(PromptAnswer::kYes);
  Create(install_.Install());
  EXPECT_EQ(ends_, std::vector<int>{-2});
  EXPECT_EQ(shell_.launched, std::vector<std::string>{"./JollixIndexer"});
  std::string config;
  ASSERT_TRUE(ReadWholeFile((install_.Install() + "/config.txt").c_str(), &config));
  EXPECT_EQ(
      config,
      "索引更新频率\t86400\n上次索引时间\t0\n第一服务器IP\t127.0.0.1\n第二服务器IP\t127.0.0.1\n");
}

TEST_F(MainFrameTest, AMissingInstallationFolderIsReportedAndNothingIsBuilt) {
  EXPECT_FALSE(Create(install_.Install() + "/missing"));
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "转移到搜索目录失败");
  EXPECT_EQ(frame_->SideBar(), nullptr);
}

}  // namespace
}  // namespace jollix
