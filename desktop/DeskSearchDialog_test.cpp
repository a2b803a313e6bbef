#include "desktop/DeskSearchDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

#include "common/QtPrompter.h"
#include "common/TextFile.h"
#include "desktop/FileSearchDialog.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/Process.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"
#include "testing/TimeZone.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeShell;
using testing::FakeStatusLine;
using testing::GatedResultPage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

const char kFileTypes[] =
    "txt\t1\t1\t文本文件\r\n"
    "doc\t2\t1\tWord文档\r\n"
    "jpg\t3\t2\tJPEG图片\r\n"
    "png\t4\t2\tPNG图片\r\n"
    "mp3\t5\t3\tMP3音乐\r\n";

class DeskSearchDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }

  DeskSearchDialogTest() : install_(kFileTypes), cd_(install_.Install()) {
    for (const char* name : {"report.doc", "notes.txt", "photo.jpg", "pic.png", "song.mp3"}) {
      install_.WriteFile(name, "x");
    }
    for (int i = 0; i < 6; ++i) install_.WriteFile("item" + std::to_string(i) + ".txt", "x");
    install_.MakeFolder("photos");
    install_.Index();
  }

  CDeskSearchDialog& Pane() {
    if (!pane_) {
      pane_ = std::make_unique<CDeskSearchDialog>(prompter_, shell_, status_, icons_);
      pane_->SetDesktopPage(&page_);
      pane_->resize(300, 720);
    }
    return *pane_;
  }
  template <typename T>
  T* Control(const char* id) {
    T* control = Pane().findChild<T*>(id);
    EXPECT_NE(control, nullptr) << id;
    return control;
  }
  QTreeWidget* Types() { return Control<QTreeWidget>("1007"); }
  QPushButton* Button() { return Control<QPushButton>("1017"); }
  DesktopSearch& Search() { return Pane().FileForm().Search(); }

  // Waits for the search's worker, showing what it handed to the window.
  void WaitForSearch() {
    for (int i = 0; i < 10000 && Search().WorkerRunning(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(1);
    }
    Search().WaitForWorker();
    QCoreApplication::processEvents();
  }
  void ClickSearch() {
    Button()->click();
    WaitForSearch();
  }
  std::vector<std::string> RowTexts(int column = 0) { return page_.Column(column); }
  // Types a reading into a date field as a user does: each section (year, month, ... second)
  // selected in turn and its digits typed over it.
  static void TypeInto(QDateTimeEdit* field, const char* reading) {
    field->setFocus();
    const QStringList parts = QString::fromLatin1(reading).split(QRegularExpression("[- :]"));
    for (int i = 0; i < field->sectionCount() && i < parts.size(); ++i) {
      field->setSelectedSection(field->sectionAt(i));
      QTest::keyClicks(field, parts[i]);
    }
  }
  std::vector<QString> TypeRows() {
    std::vector<QString> rows;
    for (int i = 0; i < Types()->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = Types()->topLevelItem(i);
      rows.push_back(item->text(0) + "|" + item->text(1) +
                     (item->checkState(0) == Qt::Checked ? "|x" : "|"));
    }
    return rows;
  }
  static std::string Found(int count) {
    char text[64];
    std::snprintf(text, sizeof text, kFoundCountFormat, count);
    return text;
  }

  IndexedInstall install_;
  ScopedCurrentDir cd_;
  FakePrompter prompter_;
  FakeShell shell_;
  FakeStatusLine status_;
  FakeIconList icons_;
  GatedResultPage page_;
  std::unique_ptr<CDeskSearchDialog> pane_;
};

TEST_F(DeskSearchDialogTest, StartsWithFiveTabsAndTheFormAtItsInitialValues) {
  const std::time_t before = std::time(nullptr);
  CDeskSearchDialog& pane = Pane();
  const std::time_t after = std::time(nullptr);
  EXPECT_FALSE(pane.IndexUnavailable());
  EXPECT_EQ(pane.objectName(), "130");
  EXPECT_EQ(Control<QGroupBox>("desk_group")->title(), Text(u"桌面搜索"));
  auto* tabs = Control<QTabBar>("desk_tabs");
  ASSERT_EQ(tabs->count(), 5);
  const char16_t* tab_texts[] = {u"所有", u"文本", u"图片", u"音视频", u"可执行"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(tabs->tabText(i), Text(tab_texts[i]));
  EXPECT_EQ(pane.SelectedTab(), 0);

  EXPECT_TRUE(Control<QRadioButton>("1004")->isChecked());
  EXPECT_EQ(Control<QRadioButton>("1004")->text(), Text(u"全选"));
  EXPECT_FALSE(Control<QRadioButton>("1005")->isChecked());
  EXPECT_EQ(Control<QRadioButton>("1005")->text(), Text(u"全不选"));
  EXPECT_EQ(Types()->headerItem()->text(0), Text(u"扩展名"));
  EXPECT_EQ(Types()->headerItem()->text(1), Text(u"文件类型描述"));
  EXPECT_EQ(Types()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"all|所有文件|x")}));

  struct Field {
    const char* id;
    const char16_t* label;
  };
  for (const Field& f :
       {Field{"1007", u"搜索的文件类型"}, Field{"1008", u"部分或全部文件名："},
        Field{"1011", u"文件中的一个词或词组："}, Field{"1009", u"在下面的文件夹搜索："},
        Field{"1015", u"从"}, Field{"1016", u"到"}, Field{"1013", u"文件大小："}}) {
    EXPECT_EQ(Control<QWidget>(f.id)->accessibleName(), Text(f.label)) << f.id;
  }
  for (const char* id : {"1008", "1011", "1009"}) {
    EXPECT_TRUE(Control<QLineEdit>(id)->text().isEmpty()) << id;
  }
  EXPECT_EQ(Control<QPushButton>("1010")->text(), "...");
  EXPECT_EQ(Control<QDateTimeEdit>("1015")->dateTime().toSecsSinceEpoch(), 0);
  const qint64 to = Control<QDateTimeEdit>("1016")->dateTime().toSecsSinceEpoch();
  EXPECT_GE(to, before);
  EXPECT_LE(to, after);
  auto* size = Control<QComboBox>("1013");
  ASSERT_EQ(size->count(), 4);
  const char16_t* sizes[] = {u"不记得", u"小于1M", u"在1M到100M之间", u"大于100M"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(size->itemText(i), Text(sizes[i]));
  EXPECT_EQ(size->currentIndex(), 0);
  auto* kind = Control<QComboBox>("1012");
  ASSERT_EQ(kind->count(), 3);
  EXPECT_EQ(kind->itemText(0), Text(u"创建日期"));
  EXPECT_EQ(kind->currentText(), Text(u"修改日期"));
  EXPECT_TRUE(kind->isHidden());
  EXPECT_EQ(Button()->text(), Text(u"Jollix桌面搜索"));
  EXPECT_TRUE(Button()->isEnabled());

  auto* mail = Control<QWidget>("136");
  EXPECT_TRUE(mail->isHidden());
  auto* mail_button = mail->findChild<QPushButton*>("mail_search");
  ASSERT_NE(mail_button, nullptr);
  EXPECT_EQ(mail_button->text(), Text(u"Jollix邮件搜索(建设中)"));
  EXPECT_FALSE(mail_button->isEnabled());
  for (const char* id : {"mail_folder", "mail_sender", "mail_recipient", "mail_subject",
                         "mail_content", "mail_from", "mail_to", "mail_browse"}) {
    EXPECT_NE(mail->findChild<QWidget*>(id), nullptr) << id;
  }
}

TEST_F(DeskSearchDialogTest, TheListColumnsTakeTheirShareOfTheWidth) {
  Pane().show();
  QCoreApplication::processEvents();
  const int width = Types()->viewport()->width();
  ASSERT_GT(width, 100);
  EXPECT_EQ(Types()->columnWidth(0), width * 30 / 100);
  EXPECT_EQ(Types()->columnWidth(1), width * 62 / 100);
}

TEST_F(DeskSearchDialogTest, ASearchFillsTheDesktopPageAndTheStatusPane) {
  Control<QLineEdit>("1008")->setText("*rep?");
  ClickSearch();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"report.doc"}));
  EXPECT_EQ(RowTexts(3), (std::vector<std::string>{"Word文档"}));
  EXPECT_EQ(status_.texts[1], (std::vector<std::string>{
                                  "Jollix超级搜索---生活需要Jollix，Jollix更懂搜索！", Found(1)}));
  EXPECT_EQ(Button()->text(), Text(u"Jollix桌面搜索"));
  EXPECT_FALSE(Pane().Engine().Busy);
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(DeskSearchDialogTest, EnterInAFieldSearchesAndEscapeIsSwallowed) {
  install_.WriteFile("年度报告.doc", "x");
  install_.Index();
  auto* words = Control<QLineEdit>("1008");
  words->setText(QStringFromGbk("报告"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(words, &enter);
  WaitForSearch();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"年度报告.doc"}));

  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(Control<QLineEdit>("1011"), &escape);
  EXPECT_TRUE(escape.isAccepted());
  QKeyEvent pane_escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(Control<QTabBar>("desk_tabs"), &pane_escape);
  EXPECT_TRUE(pane_escape.isAccepted());
}

TEST_F(DeskSearchDialogTest, RefusalsKeepTheFieldsAndLeaveTheFormIdle) {
  // Neither name nor content words on the tab "所有".
  Control<QLineEdit>("1008")->setText(" * ");
  Button()->click();
  // The start after the end.
  Control<QLineEdit>("1008")->setText("item");
  Control<QDateTimeEdit>("1015")->setDateTime(QDateTime::fromSecsSinceEpoch(1300000000, Qt::UTC));
  Control<QDateTimeEdit>("1016")->setDateTime(QDateTime::fromSecsSinceEpoch(1200000000, Qt::UTC));
  Button()->click();
  const auto messages = prompter_.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text,
            "文件名关键词和文件内容关键词不能同时为空，请正确输入文件名关键词或文件内容关键词！");
  EXPECT_EQ(messages[0].caption, "输入错误");
  EXPECT_EQ(messages[1].text, "您输入的文件时间开始时间与结束时间不正确");
  EXPECT_EQ(messages[1].caption, "");
  EXPECT_FALSE(Search().WorkerRunning());
  EXPECT_FALSE(Pane().Engine().Busy);
  EXPECT_EQ(Button()->text(), Text(u"Jollix桌面搜索"));
  EXPECT_EQ(page_.RowCount(), 0);
  EXPECT_EQ(Control<QLineEdit>("1008")->text(), "item");
  EXPECT_EQ(Control<QDateTimeEdit>("1015")->dateTime().toSecsSinceEpoch(), 1300000000);

  // Once the dates are right, the next click searches.
  Control<QDateTimeEdit>("1015")->setDateTime(QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
  ClickSearch();
  EXPECT_EQ(page_.RowCount(), 6);
}

// The date fields are the user's local time: a Shanghai user sees the earliest time of the
// index, 1970-01-01 00:00 UTC, as 08:00, and the day typed is the Shanghai day, whose midnight
// is 16:00 UTC of the day before.
TEST_F(DeskSearchDialogTest, TheDateFieldsReadAndShowLocalTime) {
  testing::ScopedTimeZone zone("Asia/Shanghai");
  install_.WriteFile("eve.txt", "x", 1772294399);     // 2026-02-28 23:59:59 in Shanghai
  install_.WriteFile("spring.txt", "x", 1772299800);  // 2026-03-01 01:30:00 in Shanghai
  install_.Index();
  Pane().show();
  auto* from = Control<QDateTimeEdit>("1015");
  auto* to = Control<QDateTimeEdit>("1016");
  EXPECT_EQ(from->text(), "1970-01-01 08:00:00");
  struct Case {
    const char* From;
    const char* To;
    std::vector<std::string> Rows;
  } cases[] = {
      {"2026-03-01 00:00:00", "2026-03-01 23:59:59", {"spring.txt"}},
      {"2026-02-28 00:00:00", "2026-02-28 23:59:59", {"eve.txt"}},
      {"2026-03-01 01:30:00", "2026-03-01 01:30:00", {"spring.txt"}},
      {"2026-03-01 01:30:01", "2026-12-31 00:00:00", {"搜索完毕，没有结果可显示"}},
  };
  Control<QLineEdit>("1008")->setText(".txt");
  for (const Case& c : cases) {
    TypeInto(from, c.From);
    TypeInto(to, c.To);
    ASSERT_EQ(from->text(), c.From);
    ASSERT_EQ(to->text(), c.To);
    ClickSearch();
    std::vector<std::string> rows = RowTexts();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, c.Rows) << c.From << " .. " << c.To;
  }
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(DeskSearchDialogTest, AClickOnCancelStopsTheSearchAndKeepsTheRows) {
  GatedResultPage page(2);
  Pane().SetDesktopPage(&page);
  Control<QLineEdit>("1008")->setText("item");
  Button()->click();
  EXPECT_EQ(Button()->text(), Text(u"取消"));
  ASSERT_TRUE(page.WaitAtGate());
  Button()->click();
  EXPECT_EQ(Button()->text(), Text(u"Jollix桌面搜索"));
  EXPECT_EQ(status_.Last(1), Found(6));
  EXPECT_FALSE(Pane().Engine().Busy);
  page.Open();
  WaitForSearch();
  EXPECT_EQ(page.RowCount(), 3);
  EXPECT_EQ(Button()->text(), Text(u"Jollix桌面搜索"));
  EXPECT_EQ(status_.Last(1), Found(6));
}

TEST_F(DeskSearchDialogTest, ClosingThePaneStopsTheSearchBeforeTheEngineGoes) {
  GatedResultPage page(1);
  Pane().SetDesktopPage(&page);
  Control<QLineEdit>("1008")->setText("item");
  Button()->click();
  ASSERT_TRUE(page.WaitAtGate());
  std::thread opener([&page] {
    QThread::msleep(50);
    page.Open();
  });
  pane_.reset();
  opener.join();
  EXPECT_EQ(page.RowCount(), 2);
}

// The worker's message box is up, unanswered, when the search is stopped (as the window's end
// stops it, from within the box's own event loop): the stop does not wait for the user, and the
// box that no one waits for any more closes by itself.
TEST_F(DeskSearchDialogTest, StoppingTheSearchClosesTheMessageBoxItsWorkerWaitsFor) {
  install_.SpoilRecordTime("item0.txt");
  QtPrompter prompter;
  CDeskSearchDialog pane(prompter, shell_, status_, icons_);
  pane.SetDesktopPage(&page_);
  pane.findChild<QLineEdit*>("1008")->setText("item");
  QString text;
  bool stopped = false, forced = false;
  int ticks_after_stop = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(window);
      if (!box || !box->isVisible()) continue;
      if (!stopped) {
        stopped = true;
        text = box->text();
        pane.StopSearch();
      } else if (++ticks_after_stop > 100) {
        forced = true;  // still up a second after the stop: close it for the test to go on
        box->reject();
      }
    }
  });
  watch.start(10);
  pane.findChild<QPushButton*>("1017")->click();
  ASSERT_TRUE(testing::ProcessEventsUntil([&] {
    if (!stopped) return false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMessageBox*>(window) && window->isVisible()) return false;
    }
    return true;
  }));
  EXPECT_EQ(text, Text(u"读取文件大小和时间异常"));
  EXPECT_FALSE(forced);
  EXPECT_FALSE(pane.FileForm().Search().WorkerRunning());
  EXPECT_EQ(pane.findChild<QPushButton*>("1017")->text(), Text(u"Jollix桌面搜索"));
}

TEST_F(DeskSearchDialogTest, ThePictureTabListsAndSearchesOnlyItsCheckedTypes) {
  ASSERT_TRUE(Pane().SelectTab(2));
  EXPECT_EQ(Pane().FileForm().Class(), 2);
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"jpg|JPEG图片|x"), Text(u"png|PNG图片|x")}));
  ClickSearch();
  std::vector<std::string> rows = RowTexts();
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<std::string>{"photo.jpg", "pic.png"}));

  Types()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);  // jpg
  ClickSearch();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"pic.png"}));
}

TEST_F(DeskSearchDialogTest, TheRadioButtonsCheckOrClearEveryRowAndATabResetsThem) {
  Pane().SelectTab(1);
  ASSERT_EQ(Types()->topLevelItemCount(), 2);
  Control<QRadioButton>("1005")->click();
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"txt|文本文件|"), Text(u"doc|Word文档|")}));
  EXPECT_FALSE(Control<QRadioButton>("1004")->isChecked());
  Control<QRadioButton>("1004")->click();
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"txt|文本文件|x"), Text(u"doc|Word文档|x")}));

  Control<QRadioButton>("1005")->click();
  Pane().SelectTab(3);
  EXPECT_TRUE(Control<QRadioButton>("1004")->isChecked());
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"mp3|MP3音乐|x")}));
}

TEST_F(DeskSearchDialogTest, SelectTabRunsTheTabHandlingOnlyWhenTheSelectionChanges) {
  Types()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  EXPECT_TRUE(Pane().SelectTab(0));
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"all|所有文件|")}));
  EXPECT_FALSE(Pane().SelectTab(5));
  EXPECT_FALSE(Pane().SelectTab(-1));
  EXPECT_EQ(Pane().SelectedTab(), 0);
  EXPECT_TRUE(Pane().SelectTab(4));
  EXPECT_EQ(Pane().SelectedTab(), 4);
  EXPECT_TRUE(Types()->topLevelItemCount() == 0);
  EXPECT_TRUE(Pane().SelectTab(0));
  EXPECT_EQ(TypeRows(), (std::vector<QString>{Text(u"all|所有文件|x")}));
}

TEST_F(DeskSearchDialogTest, TheFolderButtonAsksTheShellAndKeepsTheFieldWhenCancelled) {
  auto* folder = Control<QLineEdit>("1009");
  Pane().SetFolder(QStringFromGbk("/数据/旧"));
  EXPECT_EQ(folder->text(), QStringFromGbk("/数据/旧"));
  Control<QPushButton>("1010")->click();
  EXPECT_EQ(shell_.pick_titles, (std::vector<std::string>{"请选择待搜索的文件夹"}));
  EXPECT_EQ(folder->text(), QStringFromGbk("/数据/旧"));
  shell_.folder_to_pick = "/数据/新";
  Control<QPushButton>("1010")->click();
  EXPECT_EQ(folder->text(), QStringFromGbk("/数据/新"));
}

TEST_F(DeskSearchDialogTest, AMissingFileTypeTableAtATabChangeEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the window system runs threads
  Pane();
  std::remove("index/FileType.txt");
  EXPECT_EXIT(Pane().SelectTab(2), ::testing::ExitedWithCode(252), "");
}

TEST_F(DeskSearchDialogTest, ADisabledButtonIgnoresClicksAndEnter) {
  Pane().DisableSearchButton();
  EXPECT_FALSE(Button()->isEnabled());
  Control<QLineEdit>("1008")->setText("item");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Control<QLineEdit>("1008"), &enter);
  Button()->click();
  EXPECT_FALSE(Search().WorkerRunning());
  EXPECT_TRUE(status_.texts.empty());
  EXPECT_EQ(page_.RowCount(), 0);
}

// The same installation with Chinese names and the reading table of the build.
class DeskSearchPinyinTest : public DeskSearchDialogTest {
 protected:
  DeskSearchPinyinTest() {
    std::string table;
    EXPECT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Pinyin.dat").c_str(), &table));
    install_.WriteInstallFile("index/Pinyin.dat", table);
    install_.WriteFile("年度报告.doc", "x");
    install_.WriteFile("bg.txt", "x");
    install_.Index();
  }
};

TEST_F(DeskSearchPinyinTest, ThePinyinBoxStartsOffAndWhenClickedLatinWordsFindChineseNames) {
  Pane().show();
  auto* box = Control<QCheckBox>("pinyin");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), Text(u"拼音"));
  EXPECT_EQ(box->accessibleName(), Text(u"按拼音或拼音首字母查找中文文件名"));
  EXPECT_FALSE(box->isChecked());
  auto* name = Control<QLineEdit>("1008");
  EXPECT_LT(name->y(), box->y());  // under the name field

  QTest::keyClicks(name, "bg");
  ClickSearch();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"bg.txt"}));

  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_TRUE(box->isChecked());
  name->clear();
  QTest::keyClicks(name, "NDbg");
  ClickSearch();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"年度报告.doc"}));
  ClickSearch();  // the box keeps its state from search to search
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"年度报告.doc"}));

  QTest::mouseClick(box, Qt::LeftButton);
  ClickSearch();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"搜索完毕，没有结果可显示"}));
}

TEST(DeskSearchDialog, WithoutAnIndexTheSearchButtonDoesNothing) {
  testing::EnsureApplication();
  testing::TempDir empty;
  ScopedCurrentDir cd(empty.path());
  FakePrompter prompter;
  FakeShell shell;
  FakeStatusLine status;
  FakeIconList icons;
  GatedResultPage page;
  CDeskSearchDialog pane(prompter, shell, status, icons);
  pane.SetDesktopPage(&page);
  EXPECT_TRUE(pane.IndexUnavailable());
  pane.findChild<QLineEdit*>("1008")->setText("item");
  auto* button = pane.findChild<QPushButton*>("1017");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isEnabled());  // disabling it is the owner's answer to the question
  button->click();
  EXPECT_FALSE(pane.FileForm().Search().WorkerRunning());
  EXPECT_TRUE(status.texts.empty());
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_EQ(button->text(), Text(u"Jollix桌面搜索"));
}

}  // namespace
}  // namespace jollix
