#include "shell/MainFrame.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "channels/ChannelPane.h"
#include "channels/SearchState.h"
#include "channels/WebPageSearch.h"
#include "common/Gbk.h"
#include "common/QtPrompter.h"
#include "common/TextFile.h"
#include "desktop/DeskSearchDialog.h"
#include "desktop/FileSearchDialog.h"
#include "docking/DockPageBar.h"
#include "live/WatchLock.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "shell/DetectNewVersionDialog.h"
#include "shell/QtStatusLine.h"
#include "testing/FakePorts.h"
#include "testing/FakeVersionServer.h"
#include "testing/HttpTestServer.h"
#include "testing/IndexDamage.h"
#include "testing/IndexedInstall.h"
#include "testing/Process.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeShell;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// What a screen reader is told of a widget or of an item inside it.
QString Accessible(QAccessibleInterface* iface, QAccessible::Text kind = QAccessible::Name) {
  return iface ? iface->text(kind) : QString();
}
QString Accessible(QWidget* widget, QAccessible::Text kind = QAccessible::Name) {
  return Accessible(QAccessible::queryAccessibleInterface(widget), kind);
}

const char kFileTypes[] = "txt\t1\t1\t文本文件\r\ndoc\t2\t1\tWord文档\r\njpg\t3\t2\tJPEG图片\r\n";

class MainFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }
  void TearDown() override {
    frame_.reset();
    unsetenv("JOLLIX_HOME");
  }

  // Builds the window over the installation at home; its message boxes go to prompter (the
  // recording fake unless given).
  bool Create(const std::string& home, Prompter* prompter = nullptr, int version_port = 0) {
    setenv("JOLLIX_HOME", home.c_str(), 1);
    frame_ = std::make_unique<CMainFrame>(prompter ? *prompter : prompter_, shell_, icons_,
                                          [this](int code) { ends_.push_back(code); });
    if (version_port) frame_->SetVersionPort(version_port);
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
  // The result area is a frame inside the window, not a window of its own.
  EXPECT_FALSE(Find<QWidget>("splitframe")->isWindow());
}

TEST_F(MainFrameTest, ACollapsedSideBarSlidesTheChosenChannelsFormOut) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->show();
  ASSERT_TRUE(frame_->CollapseBar(frame_->SideBar()));
  frame_->RunCommand(32833);  // 百度新闻搜索
  EXPECT_EQ(frame_->PageOut(), frame_->WebForm(2));
  EXPECT_TRUE(frame_->RestoreBar(frame_->SideBar()));
  EXPECT_EQ(frame_->SideBar()->PageCount(), 8);
  EXPECT_EQ(frame_->SideBar()->ShownPage(), 2);
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

// A screen reader hears what a sighted user reads: the status panes' texts as they change and
// the lines of the details list.
TEST_F(MainFrameTest, ScreenReadersHearTheStatusPanesAndTheDetails) {
  install_.WriteFile("report.txt", "x");
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->RunCommand(32796);  // the desktop channel, whatever an earlier test chose
  frame_->show();
  QLabel* message = frame_->Status()->Pane(0);
  QLabel* channel = frame_->Status()->Pane(1);
  EXPECT_EQ(Accessible(message), Text(u"就绪"));
  EXPECT_TRUE(Accessible(channel).startsWith(Text(u"Jollix文件搜索欢迎您！")));
  EXPECT_EQ(Accessible(channel), channel->text());

  Find<QLineEdit>("1008")->setText(QStringLiteral("report"));
  auto* button = Find<QPushButton>("1017");
  button->click();
  CListResultView* page = frame_->ResultView()->Page(0);
  ASSERT_TRUE(testing::ProcessEventsUntil(
      [&] { return button->text() == Text(u"Jollix桌面搜索") && page->RowCount() > 0; }));
  EXPECT_EQ(Accessible(channel), Text(u"Jollix一下，找到文件  1 个"));
  frame_->Status()->SetText(kMessagePane, "正在搜索");
  EXPECT_EQ(Accessible(message), Text(u"正在搜索"));

  const QRect row = page->visualRect(page->model()->index(0, 0));
  QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, row.center());
  QListWidget* details = frame_->DetailsList();
  ASSERT_EQ(details->count(), 6);
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(details);
  ASSERT_NE(list, nullptr);
  QStringList heard;
  for (int i = 0; i < list->childCount(); ++i) heard << Accessible(list->child(i));
  QStringList shown;
  for (int i = 0; i < details->count(); ++i) shown << details->item(i)->text();
  EXPECT_EQ(heard, shown);
  EXPECT_EQ(shown[2], Text(u"文件或目录名: report.txt"));
}

// Where no watcher keeps the index live, the window says so once, in the message pane's place,
// with the command that starts one; the next status text takes its place.
TEST_F(MainFrameTest, WithoutAWatcherTheStatusBarSaysOnceHowToStartOne) {
  install_.WriteFile("report.txt", "x");
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->RunCommand(32796);
  frame_->show();
  auto* notice = frame_->statusBar()->findChild<QLabel*>("notice");
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_TRUE(notice->text().contains(
      QStringLiteral("systemctl --user enable --now jollixsearch-watch.service")))
      << notice->text().toStdString();
  EXPECT_FALSE(frame_->Status()->Pane(0)->isVisible());
  EXPECT_EQ(frame_->Status()->Pane(0)->text(), Text(u"就绪"));

  Find<QLineEdit>("1008")->setText(QStringLiteral("report"));
  auto* button = Find<QPushButton>("1017");
  button->click();
  CListResultView* page = frame_->ResultView()->Page(0);
  ASSERT_TRUE(testing::ProcessEventsUntil(
      [&] { return button->text() == Text(u"Jollix桌面搜索") && page->RowCount() > 0; }));
  EXPECT_FALSE(notice->isVisible()) << "said once: the search's texts take its place";
  EXPECT_TRUE(frame_->Status()->Pane(0)->isVisible());
}

TEST_F(MainFrameTest, WithAWatcherRunningTheStatusBarSaysNothingOfIt) {
  install_.Index();
  int lock = -1;
  ASSERT_TRUE(TakeWatchLock(install_.Install(), &lock));
  ASSERT_TRUE(Create(install_.Install()));
  frame_->show();
  EXPECT_FALSE(frame_->statusBar()->findChild<QLabel*>("notice")->isVisible());
  EXPECT_TRUE(frame_->Status()->Pane(0)->isVisible());
  close(lock);
}

// F6 and Shift+F6, pressed in the window, walk the focus round the form of the side bar, the
// shown result list and the details list.
TEST_F(MainFrameTest, F6AndShiftF6MoveTheFocusRoundTheFormTheListAndTheDetails) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->show();
  frame_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  QWidget* form = frame_->SideBar()->Page(0);
  QWidget* list = frame_->ResultView()->Page(0);
  QWidget* details = frame_->DetailsList();
  Find<QLineEdit>("1008")->setFocus();
  auto in = [](QWidget* pane) {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == pane || pane->isAncestorOf(focus));
  };
  ASSERT_TRUE(in(form));
  struct Step {
    Qt::KeyboardModifiers modifiers;
    QWidget* pane;
  };
  const Step steps[] = {{Qt::NoModifier, list},      {Qt::NoModifier, details},
                        {Qt::NoModifier, form},      {Qt::ShiftModifier, details},
                        {Qt::ShiftModifier, list},   {Qt::ShiftModifier, form},
                        {Qt::ShiftModifier, details}};
  int i = 0;
  for (const Step& step : steps) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << i;
    QTest::keyClick(focus, Qt::Key_F6, step.modifiers);
    EXPECT_TRUE(in(step.pane)) << "step " << i << ": focus on "
                               << QApplication::focusWidget()->objectName().toStdString();
    ++i;
  }
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

TEST_F(MainFrameTest, ADamagedIndexIsTreatedAsNoIndex) {
  install_.WriteFile("report.txt", "x");
  install_.Index();
  testing::DamageIndex(install_.Install(), testing::IndexDamage::kListPastEnd);
  prompter_.Script(PromptAnswer::kNo);
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(Create(install_.Install()));
  ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text,
            "您没有对硬盘建立索引，不能执行桌面搜索功能，只能搜索互联网信息。现在要退出Jollix超级"
            "搜索，并启动Jollix桌面索引器吗？");
  EXPECT_EQ(prompter_.messages()[0].buttons, PromptButtons::kYesNo);
  EXPECT_FALSE(Find<QPushButton>("1017")->isEnabled());
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

TEST_F(MainFrameTest, ChannelCommandsSwitchTabsSidePagesAndCheckMarks) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  auto checked = [&](int id) {
    bool all = true;
    for (QAction* a : frame_->Actions(id)) all = all && a->isChecked();
    return all && !frame_->Actions(id).empty();
  };
  EXPECT_TRUE(checked(32796));
  frame_->RunCommand(32795);  // 文本
  EXPECT_EQ(Find<QTabBar>("desk_tabs")->currentIndex(), 1);
  frame_->RunCommand(32822);  // Google网页搜索
  auto* tabs = Find<QTabBar>("tabs");
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(1), Text(u"Google网页"));
  EXPECT_EQ(tabs->currentIndex(), 1);
  EXPECT_EQ(frame_->SideBar()->ShownPage(), 1);
  EXPECT_EQ(frame_->SideBar()->windowTitle(), Text(u"网页搜索"));
  EXPECT_TRUE(checked(32795));  // the web commands leave the desktop sub-choices
  EXPECT_TRUE(checked(32821));
  EXPECT_FALSE(checked(32796));
  EXPECT_EQ(ResultType.load(), 2);

  // A page keeps its rows while its tab is away, and selecting the channel twice keeps them.
  CListResultView* google = frame_->ResultView()->Page(2);
  google->InsertRow(0, "标题", -1);
  frame_->RunCommand(32858);  // 天气搜索
  EXPECT_EQ(frame_->SideBar()->ShownPage(), 7);
  frame_->RunCommand(32822);
  frame_->RunCommand(32822);
  EXPECT_EQ(frame_->ResultView()->PageAtPosition(1), google);
  EXPECT_EQ(google->RowCount(), 1);

  // The disabled items.
  for (int id : {32798, 32835, 57643, 57635, 57634, 57637}) {
    ASSERT_FALSE(frame_->Actions(id).empty()) << id;
    EXPECT_FALSE(frame_->Actions(id)[0]->isEnabled()) << id;
  }
}

TEST_F(MainFrameTest, TheSideBarHoldsTheEightFormsInOrderAndAboutShowsItsTexts) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  const char16_t* titles[] = {u"桌面搜索", u"网页搜索", u"新闻搜索", u"文档搜索",
                              u"音乐搜索", u"教育搜索", u"软件搜索", u"出行搜索"};
  const char* ids[] = {"130", "148", "147", "131", "132", "144", "145", "146"};
  ASSERT_EQ(frame_->SideBar()->PageCount(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(frame_->SideBar()->PageTitle(i), Text(titles[i]));
    EXPECT_EQ(frame_->SideBar()->Page(i)->objectName(), ids[i]);
  }
  QString title, line;
  QTimer::singleShot(0, [&] {
    if (QWidget* about = QApplication::activeModalWidget()) {
      title = about->windowTitle();
      for (QLabel* label : about->findChildren<QLabel*>()) line += label->text();
      about->close();
    }
  });
  frame_->RunCommand(32886);
  EXPECT_EQ(title, Text(u"关于 Jollix超级搜索1.0"));
  EXPECT_TRUE(line.contains(Text(u"Jollix超级搜索 V1.0")));
}

TEST_F(MainFrameTest, TheHelpItemsAndButtonOpenTheInstalledHelpPageAsALocalFile) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  const std::vector<QAction*> help = frame_->Actions(32885);
  ASSERT_EQ(help.size(), 4u);  // "关于作者", "用户手册", "关于合作推广" and the toolbar's "帮助"
  help[0]->trigger();
  EXPECT_TRUE(shell_.opened.empty());  // no help page: nothing opens, nothing is said
  EXPECT_TRUE(prompter_.messages().empty());
  install_.WriteInstallFile("JollixHelp.html", "<html></html>");
  for (QAction* action : help) action->trigger();
  const std::string page = FileNameToGbk(install_.Install() + "/JollixHelp.html");
  EXPECT_EQ(shell_.opened, std::vector<std::string>(4, page));
  EXPECT_EQ(shell_.opened_kinds, std::vector<ShellTargetKind>(4, ShellTargetKind::kLocalPath));
}

TEST_F(MainFrameTest, PagingRightAfterStartSaysThereIsNoOtherPage) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  ClearPageLinks();
  frame_->RunCommand(32821);
  frame_->RunCommand(32893);  // 下一页
  frame_->RunCommand(32892);  // 上一页
  ASSERT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(prompter_.messages()[0].text, "当前页为最后一页");
  EXPECT_EQ(prompter_.messages()[1].text, "当前页为第一页");
}

TEST_F(MainFrameTest, NextPageFetchesTheStoredLinkAndParsesItWithTheTabSelectedNow) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  testing::HttpTestServer server;
  server.Serve("/baidu",
               testing::HttpReply::Page(
                   "<html><body><form><input type=submit value=\"百度一下\"></form>\n"
                   "<table><tr><td><a href=\"http://r0.cn/\">标题0</a><br>摘要0<br></td></tr>"
                   "</table>\n<div class=\"p\"><a href=\"s?wd=a&pn=10\">下一页</a></div>\n"
                   "<table><tr><td>相关搜索</td></tr></table>"));
  server.Serve("/s", testing::HttpReply::Page(
                         "<p>的查询结果</p><div class=g><a href=\"http://g.cn/\">第二页</a>"
                         "<table><tr><td class=j>摘要<br></td></tr></table></div>"));
  testing::ScopedHttpProxy proxy(server);
  SetGoogleWebTrace(nullptr);
  frame_->RunCommand(32821);
  ChannelPane* form = frame_->WebForm(1);
  form->findChild<QLineEdit*>()->setText(QStringLiteral("a"));
  form->Search();
  ASSERT_EQ(frame_->ResultView()->Page(1)->RowCount(), 1);
  EXPECT_STREQ(NextPageLink, "www.baidu.com/s?wd=a&pn=10");
  // The user clicks the Google tab, then asks for the next page.
  frame_->ResultView()->TabBar()->setCurrentIndex(1);
  EXPECT_EQ(ResultType.load(), 1);  // a tab click changes only what is shown
  frame_->RunCommand(32893);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].host + requests[1].path, "www.baidu.com/s?wd=a&pn=10");
  CListResultView* google = frame_->ResultView()->Page(2);
  ASSERT_EQ(google->RowCount(), 1);
  EXPECT_EQ(google->Cell(0, 0), "第二页");
  EXPECT_FALSE(PagingMode);
  SetGoogleWebTrace(stdout);
  ClearPageLinks();
}

TEST_F(MainFrameTest, WhileAPageDownloadsTimersRunAndTheStatusPaneShowsTheProgress) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->show();
  testing::HttpTestServer server;
  server.SetHandler([](const testing::HttpRequestRecord&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));  // a slow site
    return testing::HttpReply::Page("<html></html>");
  });
  testing::ScopedHttpProxy proxy(server);
  frame_->RunCommand(32821);
  QStringList seen;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { seen << frame_->Status()->Pane(1)->text(); });
  timer.start(50);
  frame_->WebForm(1)->Search();
  timer.stop();
  // The timer ran while the search waited, and the pane then read the fetching text.
  ASSERT_GE(seen.size(), 3);
  EXPECT_TRUE(seen.contains(Text(u"Jollix超级搜索---搜索是\"Jollix\"的事情！正在获取搜索结果...")))
      << seen.join('|').toStdString();
}

TEST_F(MainFrameTest, AfterTheSettingsDialogTheDesktopIsCheckedAndPagingStaysWithTheWeb) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->RunCommand(32833);  // 百度新闻搜索
  bool settings_checked = false;
  QTimer::singleShot(0, [&] {
    settings_checked = frame_->Actions(32887)[0]->isChecked();
    if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
  });
  frame_->RunCommand(32887);
  EXPECT_TRUE(settings_checked);
  EXPECT_TRUE(frame_->Actions(32796)[0]->isChecked());
  EXPECT_FALSE(frame_->Actions(32833)[0]->isChecked());
  EXPECT_FALSE(frame_->Actions(32887)[0]->isChecked());
  EXPECT_EQ(ResultType.load(), 5);
}

TEST_F(MainFrameTest, TheToolbarHasItsFifteenButtonsOfOneSize) {
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  auto* bar = Find<QToolBar>("toolbar128");
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 15);
  EXPECT_EQ(bar->iconSize(), QSize(32, 31));
  QSize size;
  for (QAction* action : bar->actions()) {
    if (action->isSeparator()) continue;
    QWidget* button = bar->widgetForAction(action);
    if (size.isEmpty()) size = button->size();
    EXPECT_EQ(button->size(), size) << action->text().toStdString();
  }
  EXPECT_EQ(bar->actions()[14]->text(), Text(u"退出"));
  frame_->RunCommand(57665);
  EXPECT_EQ(ends_, std::vector<int>{0});
}

// Ends the test program with a message when it is not disarmed within the time: a test of a
// hang fails instead of hanging.
class Watchdog {
 public:
  Watchdog(int seconds, const char* what)
      : thread_([this, seconds, what] {
          std::unique_lock<std::mutex> lock(mu_);
          if (!changed_.wait_for(lock, std::chrono::seconds(seconds), [&] { return disarmed_; })) {
            std::fprintf(stderr, "hang: %s\n", what);
            std::_Exit(1);
          }
        }) {}
  ~Watchdog() { Disarm(); }
  void Disarm() {
    {
      std::lock_guard<std::mutex> lock(mu_);
      disarmed_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::mutex mu_;
  std::condition_variable changed_;
  bool disarmed_ = false;
  std::thread thread_;
};

// The content of index/Translation.dat of the build's installation, for content searches.
std::string TranslationTable() {
  std::string table;
  EXPECT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Translation.dat").c_str(), &table));
  return table;
}

// Closing the window while a long content search still writes its rows: the worker is stopped
// before any widget goes. (Without that, the sanitizer build reports the rows written into
// result pages that were already destroyed.)
TEST_F(MainFrameTest, ClosingTheWindowDuringAContentSearchStopsTheSearchFirst) {
  const std::string content = std::string(4000, 'x') + "needle";
  for (int i = 0; i < 1000; ++i) install_.WriteFile("f" + std::to_string(i) + ".txt", content);
  install_.WriteInstallFile("index/Translation.dat", TranslationTable());
  install_.Index();
  ASSERT_TRUE(Create(install_.Install()));
  frame_->show();
  CDeskSearchDialog* desktop = frame_->DesktopPane();
  desktop->findChild<QLineEdit*>("1011")->setText(QStringLiteral("needle"));
  desktop->findChild<QPushButton*>("1017")->click();
  CListResultView* page = frame_->ResultView()->Page(0);
  DesktopSearch& search = desktop->FileForm().Search();
  // The window closes as soon as the worker has written its first rows (it takes no events
  // meanwhile, which the worker does not need).
  for (int i = 0; i < 100000 && page->RowCount() < 10 && search.WorkerRunning(); ++i) {
    QThread::usleep(100);
  }
  ASSERT_TRUE(search.WorkerRunning());  // rows are still being written
  frame_->close();
  EXPECT_FALSE(search.WorkerRunning());
  EXPECT_EQ(desktop->findChild<QPushButton*>("1017")->text(), Text(u"Jollix桌面搜索"));
  frame_.reset();
}

// A QtPrompter that tells when a worker thread has asked for a message box.
class WatchedPrompter : public QtPrompter {
 public:
  PromptAnswer AskUnlessStopped(const char* text, const char* caption, PromptButtons buttons,
                                std::stop_token stop) override {
    if (QThread::currentThread() != QApplication::instance()->thread()) {
      std::lock_guard<std::mutex> lock(mu_);
      worker_asks_.push_back(text);
      changed_.notify_all();
    }
    return QtPrompter::AskUnlessStopped(text, caption, buttons, std::move(stop));
  }
  std::vector<std::string> WaitForWorkerAsk() {
    std::unique_lock<std::mutex> lock(mu_);
    changed_.wait_for(lock, std::chrono::seconds(30), [&] { return !worker_asks_.empty(); });
    return worker_asks_;
  }

 private:
  std::mutex mu_;
  std::condition_variable changed_;
  std::vector<std::string> worker_asks_;
};

// The worker waits for its message box, which the user-interface thread would show; that thread
// closes the window instead (it has not come back to its event loop since): the close gives the
// box up, so it neither hangs nor shows the box later.
TEST_F(MainFrameTest, ClosingWhileTheSearchWaitsForItsMessageBoxDoesNotHang) {
  install_.WriteFile("good.txt", "x");
  install_.WriteFile("bad.txt", "x");
  install_.Index();
  install_.SpoilRecordTime("bad.txt");
  WatchedPrompter prompter;
  ASSERT_TRUE(Create(install_.Install(), &prompter));
  Find<QLineEdit>("1008")->setText(QStringLiteral(".txt"));
  Find<QPushButton>("1017")->click();
  ASSERT_EQ(prompter.WaitForWorkerAsk(), std::vector<std::string>{"读取文件大小和时间异常"});
  {
    Watchdog watchdog(20, "closing the window while the search waits for its message box");
    frame_->close();
    frame_.reset();
  }
  QApplication::processEvents();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(qobject_cast<QMessageBox*>(window) && window->isVisible());
  }
}

// Answers the no-index question as a message box does: events run while it is up (here until
// the version server has answered and its reply had time to reach the window), then No.
class NoIndexQuestion : public Prompter {
 public:
  explicit NoIndexQuestion(testing::FakeVersionServer& server) : server_(server) {}
  PromptAnswer Ask(const char*, const char*, PromptButtons) override {
    up = true;
    testing::ProcessEventsUntil([&] { return !server_.Requests().empty(); });
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 10);
    up = false;
    ++asked;
    return PromptAnswer::kNo;
  }
  bool up = false;
  int asked = 0;

 private:
  testing::FakeVersionServer& server_;
};

// A newer build found at start: its dialog waits until the no-index question is answered, and
// it does not block the main window, whose toolbar still takes the user's clicks.
TEST_F(MainFrameTest, ANewerBuildAtStartIsShownAfterTheNoIndexQuestionAndLeavesTheWindowFree) {
  testing::FakeVersionServer server(
      testing::VersionInformationReply("20080101\tJollix\thttp://dl.example/new\n新版"));
  NoIndexQuestion question(server);
  struct Seen {
    bool shown = false, during_question = false, modal = false;
    QString description;
    int side_page = -1;
  } seen;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<CDetectNewVersion*>(window);
      if (!dialog || !dialog->isVisible() || seen.shown) continue;
      seen.shown = true;
      seen.during_question = question.up;
      seen.modal = dialog->isModal() || QApplication::activeModalWidget() != nullptr;
      seen.description = dialog->findChild<QPlainTextEdit*>("1040")->toPlainText();
      if (frame_ && frame_->SideBar() && !question.up) {
        auto* bar = Find<QToolBar>("toolbar128");
        for (QAction* action : frame_->Actions(32821)) {  // 网页
          if (QWidget* button = bar->widgetForAction(action)) {
            QTest::mouseClick(button, Qt::LeftButton);
          }
        }
        seen.side_page = frame_->SideBar()->ShownPage();
      }
      dialog->close();
    }
  });
  watch.start(10);
  ASSERT_TRUE(Create(install_.Install(), &question, server.port()));
  ASSERT_EQ(question.asked, 1);
  frame_->show();
  ASSERT_TRUE(testing::ProcessEventsUntil([&] { return seen.shown; }));
  EXPECT_FALSE(seen.during_question);
  EXPECT_EQ(seen.description, Text(u"新版"));
  EXPECT_FALSE(seen.modal);
  EXPECT_EQ(seen.side_page, 1);
}

}  // namespace
}  // namespace jollix
