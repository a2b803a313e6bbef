#include "shell/SystemSettingDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "testing/FakePorts.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::ScopedCurrentDir;
using testing::TempDir;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

class CSystemSettingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }

  CSystemSettingTest() : cwd_(dir_.path()) {
    dir_.Write("index/FileType.txt",
               "txt\t1\t1\t文本文件\r\njpg\t2\t2\t图片\r\nmp3\t3\t3\t音乐\r\n#注释\r\n");
    dir_.Write("index/ScanFolder.txt", "_/home/user\r\n#/data/照片\r\n");
    dir_.Write("config.txt",
               "索引更新频率\t604800\r\n上次索引时间\t5\r\n第一服务器IP\t1.1.1.1\r\n"
               "第二服务器IP\t2.2.2.2\r\n");
    config_.UpdateFrequency = 604800;
    config_.LastIndexTime = 5;
    std::strcpy(config_.FirstServerAddress, "1.1.1.1");
    std::strcpy(config_.SecondServerAddress, "2.2.2.2");
  }
  CSystemSetting& Dialog() {
    if (!dialog_) dialog_ = std::make_unique<CSystemSetting>(prompter_, shell_, config_);
    return *dialog_;
  }
  template <typename T>
  T* Control(int id) {
    T* control = Dialog().findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
  }
  void Click(int id) { Control<QPushButton>(id)->click(); }
  QStringList Column(int list_id, int column) {
    QStringList texts;
    QTreeWidget* list = Control<QTreeWidget>(list_id);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      texts << list->topLevelItem(i)->text(column);
    return texts;
  }
  void ClickRow(int list_id, int row) {
    QTreeWidget* list = Control<QTreeWidget>(list_id);
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
    emit list->itemClicked(list->topLevelItem(row), 0);
  }

  TempDir dir_;
  ScopedCurrentDir cwd_;
  testing::FakePrompter prompter_;
  testing::FakeShell shell_;
  IndexConfig config_;
  std::unique_ptr<CSystemSetting> dialog_;
};

TEST_F(CSystemSettingTest, ShowsItsTitleGroupsColumnsAndButtons) {
  EXPECT_EQ(Dialog().objectName(), "150");
  EXPECT_EQ(Dialog().windowTitle(), Text(u"Jollix超级搜索系统设置"));
  QStringList groups;
  for (QGroupBox* g : Dialog().findChildren<QGroupBox*>()) groups << g->title();
  EXPECT_EQ(groups, (QStringList{Text(u"文件类型管理"), Text(u"索引管理")}));
  QTreeWidgetItem* types = Control<QTreeWidget>(1007)->headerItem();
  EXPECT_EQ(types->text(0), Text(u"扩展名"));
  EXPECT_EQ(types->text(1), Text(u"文件类型"));
  EXPECT_EQ(types->text(2), Text(u"扩展名描述"));
  EXPECT_EQ(Control<QTreeWidget>(1008)->headerItem()->text(0),
            Text(u"待扫描目录（复选框选中表示更新其索引）"));
  const std::pair<int, const char16_t*> buttons[] = {
      {1033, u"增加"}, {1054, u"删除"}, {1034, u"修改"}, {1037, u"增加"}, {1036, u"删除"},
      {1038, u"修改"}, {1041, u"..."},  {1, u"确定"},    {2, u"取消"}};
  for (auto [id, text] : buttons) EXPECT_EQ(Control<QPushButton>(id)->text(), Text(text)) << id;
  const std::pair<int, const char16_t*> fields[] = {
      {1030, u"后缀名："},   {1053, u"文件类型："}, {1040, u"后缀描述："}, {1035, u"扫描目录："},
      {1055, u"索引更新："}, {1007, u"文件类型"},   {1008, u"扫描目录："}};
  for (auto [id, label] : fields) {
    EXPECT_EQ(Control<QWidget>(id)->accessibleName(), Text(label)) << id;
  }
}

TEST_F(CSystemSettingTest, ListsAndBoxesShowTheFiles) {
  EXPECT_EQ(Column(1007, 0), (QStringList{"txt", "jpg", "mp3"}));
  EXPECT_EQ(Column(1007, 1),
            (QStringList{Text(u"文本文件"), Text(u"图片文件"), Text(u"音视频文件")}));
  EXPECT_EQ(Column(1007, 2), (QStringList{Text(u"文本文件"), Text(u"图片"), Text(u"音乐")}));
  EXPECT_EQ(Column(1008, 0), (QStringList{Text(u"/data/照片"), "/home/user"}));
  QTreeWidget* folders = Control<QTreeWidget>(1008);
  EXPECT_EQ(folders->topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(folders->topLevelItem(1)->checkState(0), Qt::Checked);
  EXPECT_EQ(Control<QComboBox>(1053)->currentText(), Text(u"文本文件"));
  EXPECT_TRUE(Control<QComboBox>(1053)->isEditable());
  EXPECT_EQ(Control<QComboBox>(1053)->count(), 5);
  QComboBox* frequency = Control<QComboBox>(1055);
  EXPECT_FALSE(frequency->isEditable());
  EXPECT_EQ(frequency->currentText(), Text(u"每周更新一次索引"));
  EXPECT_EQ(frequency->itemText(2), Text(u"每月更新一次索引"));
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(CSystemSettingTest, RowClicksFillTheFieldsAndModifyChangesTheRememberedRow) {
  ClickRow(1007, 1);
  EXPECT_EQ(Control<QLineEdit>(1030)->text(), "jpg");
  EXPECT_EQ(Control<QComboBox>(1053)->currentText(), Text(u"图片文件"));
  EXPECT_EQ(Control<QLineEdit>(1040)->text(), Text(u"图片"));
  ClickRow(1008, 0);
  EXPECT_EQ(Control<QLineEdit>(1035)->text(), Text(u"/data/照片"));
  Control<QLineEdit>(1030)->setText("png");
  Click(1034);
  EXPECT_EQ(Column(1007, 0), (QStringList{"png", "jpg", "mp3"}));
}

TEST_F(CSystemSettingTest, AddDeleteAndPickChangeTheLists) {
  Control<QLineEdit>(1030)->setText("wps");
  Control<QComboBox>(1053)->setEditText(Text(u"文档"));
  Control<QLineEdit>(1040)->setText(Text(u"金山文档"));
  Click(1033);
  EXPECT_EQ(Column(1007, 1).last(), Text(u"文档"));
  shell_.folder_to_pick = "/music/";
  Click(1041);
  EXPECT_EQ(Control<QLineEdit>(1035)->text(), "/music");
  Click(1037);
  EXPECT_EQ(Column(1008, 0), (QStringList{Text(u"/data/照片"), "/home/user", "/music"}));
  EXPECT_EQ(Control<QTreeWidget>(1008)->topLevelItem(2)->checkState(0), Qt::Unchecked);
  QTreeWidget* types = Control<QTreeWidget>(1007);
  types->topLevelItem(0)->setSelected(true);
  types->topLevelItem(2)->setSelected(true);
  Click(1054);
  EXPECT_EQ(Column(1007, 0), (QStringList{"jpg", "wps"}));
  Control<QLineEdit>(1035)->clear();
  Click(1037);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "不能添加空扫描目录！");
}

TEST_F(CSystemSettingTest, OkWritesTheFilesWithTheCheckMarksAndCancelWritesNothing) {
  Control<QTreeWidget>(1008)->topLevelItem(0)->setCheckState(0, Qt::Checked);
  Control<QComboBox>(1055)->setCurrentIndex(1);
  Dialog().show();
  Click(1);
  EXPECT_EQ(Dialog().result(), QDialog::Accepted);
  EXPECT_FALSE(Dialog().isVisible());
  EXPECT_EQ(dir_.Read("index/ScanFolder.txt"), "_/data/照片\r\n_/home/user\r\n");
  EXPECT_EQ(dir_.Read("index/FileType.txt"),
            "txt\t1\t1\t文本文件\r\njpg\t2\t2\t图片\r\nmp3\t3\t3\t音乐\r\n");
  EXPECT_EQ(config_.UpdateFrequency, 86400);

  dir_.Write("config.txt", "old");
  CSystemSetting other(prompter_, shell_, config_);
  other.show();
  other.findChild<QComboBox*>("1055")->setCurrentIndex(0);
  other.findChild<QPushButton*>("2")->click();
  EXPECT_EQ(dir_.Read("config.txt"), "old");
  EXPECT_EQ(config_.UpdateFrequency, 86400);
}

TEST_F(CSystemSettingTest, UnwritableConfigKeepsTheDialogOpen) {
  Dialog().show();
  std::filesystem::remove(dir_ / "config.txt");
  dir_.MakeDir("config.txt");
  Click(1);
  EXPECT_TRUE(Dialog().isVisible());
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "打开系统配置文件失败，请与软件开发商联系！");
}

TEST_F(CSystemSettingTest, ColumnsShareTheListWidth) {
  Dialog().show();
  QTreeWidget* types = Control<QTreeWidget>(1007);
  const int width = types->viewport()->width();
  EXPECT_NEAR(types->columnWidth(0), width * 0.3, 2);
  EXPECT_NEAR(types->columnWidth(1), width * 0.3, 2);
  if (const char* shots = std::getenv("JOLLIX_SHOT_DIR")) {
    ClickRow(1007, 1);
    Dialog().grab().save(QString(shots) + "/settings-dialog.png");
  }
}

}  // namespace
}  // namespace jollix
