#include "results/DesktopFileActions.h"

#include <gtest/gtest.h>

#include "common/Gbk.h"
#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeResultPage;
using testing::FakeShell;
using testing::TempDir;

// A tree of files, a record file listing them and a desktop page showing them.
class DesktopFileActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.MakeDir("tree");
    dir_.MakeDir("target");
    for (const char* name : {"报告.txt", "b.txt", "c.txt"}) AddFile(name);
  }

  std::string TreeGbk() const { return FileNameToGbk(dir_ / "tree") + "/"; }
  std::string TargetGbk() const { return FileNameToGbk(dir_ / "target"); }
  std::string Disk(const std::string& relative_gbk) const {
    return dir_ / FileNameFromGbk(relative_gbk);
  }
  std::string Records() const { return dir_.Read("AllFile.dat"); }
  char KindAt(int row) const { return Records()[static_cast<size_t>(page_.RowData(row))]; }

  void AddFile(const std::string& name) {
    dir_.Write("tree/" + FileNameFromGbk(name), name);
    AddRecord('_', name);
  }
  void AddRecord(char kind, const std::string& name) {
    const std::string line = kind + name + "\t" + TreeGbk() + "\t1\t0\n";
    const int row = page_.InsertRow(page_.RowCount(), name.c_str(), -1);
    page_.SetCell(row, 1, TreeGbk().c_str());
    page_.SetRowData(row, static_cast<int64_t>(records_.size()));
    records_ += line;
    dir_.Write("AllFile.dat", records_);
  }

  DesktopFileActions Actions() {
    return DesktopFileActions(prompter_, shell_, trash_, dir_ / "AllFile.dat");
  }
  int Run(int command, const std::vector<int>& rows) {
    DesktopFileActions actions = Actions();
    return actions.Run(command, SelectDesktopFiles(page_, rows));
  }

  TempDir dir_;
  std::string records_;
  FakeResultPage page_;
  FakePrompter prompter_;
  FakeShell shell_;
  std::vector<std::string> trashed_;
  TrashFunction trash_ = [this](const std::string& path) {
    trashed_.push_back(path);
    return std::remove(path.c_str()) == 0;
  };
};

TEST_F(DesktopFileActionsTest, SelectionKeepsExistingFilesWithTheirRecordOffsets) {
  AddRecord('_', "vanished.txt");
  const DesktopSelection selection = SelectDesktopFiles(page_, {1, 3});
  ASSERT_EQ(selection.files.size(), 1u);
  EXPECT_EQ(selection.files[0].disk_path, Disk("tree/b.txt"));
  EXPECT_EQ(selection.files[0].name, "b.txt");
  EXPECT_EQ(selection.files[0].folder, TreeGbk());
  EXPECT_EQ(selection.files[0].record_offset, page_.RowData(1));
  EXPECT_EQ(selection.last_folder, TreeGbk());
  EXPECT_EQ(SelectDesktopFiles(page_, {0}).files[0].disk_path, Disk("tree/报告.txt"));
}

TEST_F(DesktopFileActionsTest, MenuOffersTheFolderOnlyForOneFile) {
  auto ids = [](size_t count) {
    std::vector<int> ids;
    for (const MenuItem& item : DesktopMenuItems(count)) ids.push_back(item.id);
    return ids;
  };
  EXPECT_EQ(ids(1), (std::vector<int>{999, 25, 26, 18}));
  EXPECT_EQ(ids(2), (std::vector<int>{25, 26, 18}));
  EXPECT_STREQ(DesktopMenuItems(1)[0].text, "打开所在的文件夹");
  EXPECT_STREQ(DesktopMenuItems(3)[0].text, "剪切");
  EXPECT_STREQ(DesktopMenuItems(3)[1].text, "复制");
  EXPECT_STREQ(DesktopMenuItems(3)[2].text, "删除");
}

TEST_F(DesktopFileActionsTest, ContextMenuForVanishedFilesOnlyTellsSo) {
  AddRecord('_', "gone1");
  AddRecord('_', "gone2");
  DesktopFileActions actions = Actions();
  int asked = 0;
  auto choose = [&](const std::vector<MenuItem>&) { return ++asked, kCutCommand; };
  EXPECT_EQ(RunDesktopContextMenu(page_, {3, 4}, prompter_, choose, actions), 0);
  EXPECT_EQ(asked, 0);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kFilesVanishedMessage);
}

TEST_F(DesktopFileActionsTest, ContextMenuWithoutAChoiceDoesNothing) {
  DesktopFileActions actions = Actions();
  size_t offered = 0;
  auto choose = [&](const std::vector<MenuItem>& items) { return offered = items.size(), 0; };
  EXPECT_EQ(RunDesktopContextMenu(page_, {0, 1}, prompter_, choose, actions), 0);
  EXPECT_EQ(offered, 3u);
  EXPECT_TRUE(shell_.pick_titles.empty());
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(DesktopFileActionsTest, CutMovesTheFilesAndWithdrawsExactlyTheirRecords) {
  shell_.folder_to_pick = TargetGbk();
  const std::string before = Records();
  DesktopFileActions actions = Actions();
  auto choose = [](const std::vector<MenuItem>&) { return kCutCommand; };
  EXPECT_EQ(RunDesktopContextMenu(page_, {0, 2}, prompter_, choose, actions), kCutCommand);
  EXPECT_EQ(shell_.pick_titles, std::vector<std::string>{"将文件剪切到..."});
  EXPECT_EQ(dir_.Read("target/" + FileNameFromGbk("报告.txt")), "报告.txt");
  EXPECT_TRUE(dir_.Exists("target/c.txt"));
  EXPECT_FALSE(dir_.Exists("tree/c.txt"));
  std::string expected = before;
  expected[page_.RowData(0)] = 'X';
  expected[page_.RowData(2)] = 'X';
  EXPECT_EQ(Records(), expected);
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(DesktopFileActionsTest, CancelledFolderChoiceMovesAndMarksNothing) {
  const std::string before = Records();
  EXPECT_EQ(Run(kCutCommand, {0, 1}), 0);
  EXPECT_EQ(Run(kCopyCommand, {0, 1}), 0);
  EXPECT_EQ(shell_.pick_titles, (std::vector<std::string>{"将文件剪切到...", "将文件复制到..."}));
  EXPECT_TRUE(dir_.Exists("tree/b.txt"));
  EXPECT_EQ(Records(), before);
}

TEST_F(DesktopFileActionsTest, CutOntoAnExistingFileAsksAndOverwritesOnOk) {
  shell_.folder_to_pick = TargetGbk();
  dir_.Write("target/b.txt", "old b");
  dir_.Write("target/c.txt", "old c");
  prompter_.Script(PromptAnswer::kOk);
  prompter_.Script(PromptAnswer::kCancel);
  EXPECT_EQ(Run(kCutCommand, {1, 2}), 1);
  const auto messages = prompter_.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "文件 " + TargetGbk() + "/b.txt 已经存在，是否覆盖原来文件？");
  EXPECT_EQ(messages[0].buttons, PromptButtons::kOkCancel);
  EXPECT_EQ(dir_.Read("target/b.txt"), "b.txt");
  // The cancelled one stays, and so does its record.
  EXPECT_EQ(dir_.Read("target/c.txt"), "old c");
  EXPECT_TRUE(dir_.Exists("tree/c.txt"));
  EXPECT_EQ(KindAt(1), 'X');
  EXPECT_EQ(KindAt(2), '_');
}

TEST_F(DesktopFileActionsTest, AFailedMoveWithdrawsNoRecord) {
  shell_.folder_to_pick = TargetGbk() + "/missing";
  EXPECT_EQ(Run(kCutCommand, {1}), 0);
  EXPECT_TRUE(dir_.Exists("tree/b.txt"));
  EXPECT_EQ(KindAt(1), '_');
  // A file cut into its own folder is left alone: no question, no mark.
  const size_t questions = prompter_.messages().size();
  shell_.folder_to_pick = FileNameToGbk(dir_ / "tree");
  EXPECT_EQ(Run(kCutCommand, {1}), 0);
  EXPECT_EQ(prompter_.messages().size(), questions);
  EXPECT_EQ(dir_.Read("tree/b.txt"), "b.txt");
  EXPECT_EQ(KindAt(1), '_');
}

TEST_F(DesktopFileActionsTest, CopyCopiesAndAsksWithItsOwnQuestion) {
  shell_.folder_to_pick = TargetGbk();
  dir_.Write("target/b.txt", "old b");
  prompter_.Script(PromptAnswer::kOk);
  const std::string before = Records();
  EXPECT_EQ(Run(kCopyCommand, {0, 1}), 2);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text,
            "文件 " + TargetGbk() + "/b.txt 已经存在，是否覆盖原来文件?");
  EXPECT_EQ(dir_.Read("target/b.txt"), "b.txt");
  EXPECT_TRUE(dir_.Exists("tree/b.txt"));
  EXPECT_TRUE(dir_.Exists("target/" + FileNameFromGbk("报告.txt")));
  EXPECT_EQ(Records(), before);
}

TEST_F(DesktopFileActionsTest, DeleteAsksThenTrashesAndWithdraws) {
  prompter_.Script(PromptAnswer::kNo);
  EXPECT_EQ(Run(kDeleteCommand, {0}), 0);
  EXPECT_TRUE(trashed_.empty());
  EXPECT_EQ(prompter_.messages()[0].text, kDeleteQuestion);
  EXPECT_EQ(prompter_.messages()[0].buttons, PromptButtons::kYesNo);

  prompter_.Script(PromptAnswer::kYes);
  EXPECT_EQ(Run(kDeleteCommand, {0, 2}), 2);
  EXPECT_EQ(trashed_, (std::vector<std::string>{Disk("tree/报告.txt"), Disk("tree/c.txt")}));
  EXPECT_EQ(KindAt(0), 'X');
  EXPECT_EQ(KindAt(1), '_');
  EXPECT_EQ(KindAt(2), 'X');
}

TEST_F(DesktopFileActionsTest, AFileThatWillNotGoToTheTrashKeepsItsRecord) {
  trash_ = [](const std::string&) { return false; };
  prompter_.Script(PromptAnswer::kYes);
  EXPECT_EQ(Run(kDeleteCommand, {1}), 0);
  EXPECT_EQ(KindAt(1), '_');
  ASSERT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(prompter_.messages()[1].text, "文件 " + TreeGbk() + "b.txt 无法放入回收站！");
}

TEST_F(DesktopFileActionsTest, OpenFolderOpensTheLastSelectedRowsFolder) {
  EXPECT_EQ(Run(kOpenFolderCommand, {1}), 1);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{TreeGbk()});
  shell_.open_result = false;
  EXPECT_EQ(Run(kOpenFolderCommand, {1}), 0);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kOpenFolderFailedMessage);
  EXPECT_EQ(prompter_.messages()[0].caption, "");
}

TEST_F(DesktopFileActionsTest, MarkingLeavesLinesThatNoLongerMatch) {
  const DesktopSelection selection = SelectDesktopFiles(page_, {0, 1, 2});
  std::vector<SelectedFile> files = selection.files;
  files[0].name = "报告";                     // a prefix of the record's name
  files[1].record_offset = page_.RowData(2);  // another file's line
  files[2].folder = TreeGbk() + "x/";         // another folder
  SelectedFile unknown = files[2];
  unknown.record_offset = -1;
  files.push_back(unknown);
  const std::string before = Records();
  EXPECT_EQ(MarkRecordsWithdrawn((dir_ / "AllFile.dat").c_str(), files, prompter_), 0);
  EXPECT_EQ(Records(), before);
  // A withdrawn line is not withdrawn twice, and past the end nothing is written.
  files = selection.files;
  files[0].record_offset = static_cast<int64_t>(before.size()) + 10;
  EXPECT_EQ(MarkRecordsWithdrawn((dir_ / "AllFile.dat").c_str(), files, prompter_), 2);
  EXPECT_EQ(MarkRecordsWithdrawn((dir_ / "AllFile.dat").c_str(), files, prompter_), 0);
  EXPECT_EQ(Records().size(), before.size());
}

TEST_F(DesktopFileActionsTest, ARecordFileThatWillNotOpenIsReportedAndNothingMarked) {
  EXPECT_EQ(MarkRecordsWithdrawn((dir_ / "none.dat").c_str(), SelectDesktopFiles(page_, {0}).files,
                                 prompter_),
            -1);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kAllFileOpenFailedMessage);
  EXPECT_FALSE(dir_.Exists("none.dat"));
}

}  // namespace
}  // namespace jollix
