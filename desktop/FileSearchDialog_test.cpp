#include "desktop/FileSearchDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <memory>

#include "common/QtPrompter.h"
#include "testing/FakePorts.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeShell;
using testing::FakeStatusLine;

class CFileSearchDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }
  CFileSearchDialogTest() {
    dir_.Write("index/FileType.txt", "txt\t1\t1\t文本文件\r\nbad line\r\ndoc\t2\t1\tWord文档\r\n");
    testing::ScopedCurrentDir cd(dir_.path());
    engine_ = std::make_unique<SearchServer>(prompter_, icons_);
    form_ = std::make_unique<CFileSearchDialog>(*engine_, prompter_, shell_, status_);
  }
  template <typename T>
  T* Control(const char* id) {
    T* control = form_->findChild<T*>(id);
    EXPECT_NE(control, nullptr) << id;
    return control;
  }

  testing::TempDir dir_;
  FakePrompter prompter_;
  FakeShell shell_;
  FakeStatusLine status_;
  FakeIconList icons_;
  std::unique_ptr<SearchServer> engine_;
  std::unique_ptr<CFileSearchDialog> form_;
};

TEST_F(CFileSearchDialogTest, ReadsItsControlsIntoTheFieldsInGbk) {
  testing::ScopedCurrentDir cd(dir_.path());
  form_->ShowTab(1);
  Control<QTreeWidget>("1007")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
  Control<QLineEdit>("1008")->setText(QStringFromGbk("年度 *报告"));
  Control<QLineEdit>("1011")->setText(QStringFromGbk("合同"));
  Control<QLineEdit>("1009")->setText(QStringFromGbk("/数据"));
  Control<QDateTimeEdit>("1015")->setDateTime(QDateTime::fromSecsSinceEpoch(86400, Qt::UTC));
  Control<QDateTimeEdit>("1016")->setDateTime(QDateTime::fromSecsSinceEpoch(1170000000, Qt::UTC));
  Control<QComboBox>("1013")->setCurrentIndex(2);
  Control<QComboBox>("1012")->setCurrentIndex(0);

  const FileSearchFields f = form_->Fields();
  EXPECT_EQ(f.NameWords, "年度 *报告");  // cleaned by the hand-over, not by the form
  EXPECT_EQ(f.ContentWords, "合同");
  EXPECT_EQ(f.Folder, "/数据");
  EXPECT_EQ(f.TimeFrom, 86400);
  EXPECT_EQ(f.TimeTo, 1170000000);
  EXPECT_EQ(f.SizeText, "在1M到100M之间");
  EXPECT_EQ(f.DateKindText, "创建日期");
  EXPECT_EQ(f.Class, 1);
  EXPECT_EQ(f.CheckedExtensions, (std::vector<std::string>{"txt"}));
}

TEST_F(CFileSearchDialogTest, ATabShowsTheCompleteLinesOfItsClassInFileOrder) {
  testing::ScopedCurrentDir cd(dir_.path());
  form_->ShowTab(1);
  auto* types = Control<QTreeWidget>("1007");
  ASSERT_EQ(types->topLevelItemCount(), 2);
  EXPECT_EQ(types->topLevelItem(0)->text(0), "txt");
  EXPECT_EQ(types->topLevelItem(1)->text(1), QString::fromUtf16(u"Word文档"));
  EXPECT_TRUE(types->topLevelItem(1)->flags() & Qt::ItemIsUserCheckable);
  form_->ShowTab(0);
  ASSERT_EQ(types->topLevelItemCount(), 1);
  EXPECT_EQ(form_->Class(), 0);
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(CFileSearchDialogTest, TheDatePickersStayWithinTheTimesTheIndexHolds) {
  auto* from = Control<QDateTimeEdit>("1015");
  from->setDateTime(QDateTime::fromSecsSinceEpoch(-86400, Qt::UTC));
  EXPECT_EQ(from->dateTime().toSecsSinceEpoch(), 0);
  from->setDateTime(QDateTime::fromSecsSinceEpoch(0x1'0000'0000ll + 5, Qt::UTC));
  EXPECT_EQ(from->dateTime().toSecsSinceEpoch(), 0xFFFFFFFFll);
  EXPECT_EQ(from->displayFormat(), "yyyy-MM-dd HH:mm:ss");
}

TEST_F(CFileSearchDialogTest, EscapeInAFieldIsSwallowedByTheForm) {
  for (const char* id : {"1008", "1013", "1015"}) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Control<QWidget>(id), &escape);
    EXPECT_TRUE(escape.isAccepted()) << id;
  }
}

}  // namespace
}  // namespace jollix
