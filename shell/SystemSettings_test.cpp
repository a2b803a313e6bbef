#include "shell/SystemSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "testing/FakePorts.h"
#include "testing/FileSizeLimit.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeShell;
using testing::ScopedCurrentDir;
using testing::TempDir;

constexpr char kTypes[] = "txt\t7\t1\t文本文件\r\n#doc\t2\t5\t注释\r\n";
constexpr char kFolders[] = "_/home/user\r\n#/data\r\n";
constexpr char kConfig[] =
    "索引更新频率\t86400\r\n上次索引时间\t1170000000\r\n第一服务器IP\t10.0.0.1\r\n"
    "第二服务器IP\t10.0.0.2\r\n";

class SystemSettingsTest : public ::testing::Test {
 protected:
  SystemSettingsTest() : cwd_(dir_.path()), settings_(prompter_, shell_, config_) {
    config_.UpdateFrequency = 86400;
    config_.LastIndexTime = 1170000000;
    std::strcpy(config_.FirstServerAddress, "10.0.0.1");
    std::strcpy(config_.SecondServerAddress, "10.0.0.2");
    dir_.Write("index/FileType.txt", kTypes);
    dir_.Write("index/ScanFolder.txt", kFolders);
    dir_.Write("config.txt", kConfig);
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : prompter_.messages()) texts.push_back(m.text);
    return texts;
  }
  // Loads again, as the dialog's next opening does.
  SystemSettings Reopened() {
    SystemSettings again(prompter_, shell_, config_);
    again.Load();
    return again;
  }
  void AddType(const char* extension, const char* type, const char* description) {
    settings_.Fields().Extension = extension;
    settings_.Fields().TypeText = type;
    settings_.Fields().Description = description;
    settings_.AddFileType();
  }
  void AddFolder(const char* folder) {
    settings_.Fields().Folder = folder;
    settings_.AddFolder();
  }

  TempDir dir_;
  ScopedCurrentDir cwd_;
  FakePrompter prompter_;
  FakeShell shell_;
  IndexConfig config_;
  SystemSettings settings_;
};

TEST_F(SystemSettingsTest, TypeFileWithOneLineAndACommentShowsOneRow) {
  settings_.Load();
  ASSERT_EQ(settings_.FileTypes().size(), 1u);
  EXPECT_EQ(settings_.FileTypes()[0].Extension, "txt");
  EXPECT_EQ(settings_.FileTypes()[0].TypeText, "文本文件");
  EXPECT_EQ(settings_.FileTypes()[0].Description, "文本文件");
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(SystemSettingsTest, LoadingSkipsIncompleteLinesAndShowsUnknownClassesAsOther) {
  dir_.Write("index/FileType.txt",
             "a\t1\t2\t图\n\nb\t2\n c \t3\t4\t程序\r\nd\t4\t9\t怪\nword\t5\t1\tWord 文档\n");
  settings_.Load();
  std::vector<std::string> got;
  for (const FileTypeRow& r : settings_.FileTypes()) {
    got.push_back(r.Extension + "|" + r.TypeText + "|" + r.Description);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"a|图片文件|图", "c|二进制文件|程序", "d|其它文件|怪",
                                           "word|文本文件|Word"}));
}

TEST_F(SystemSettingsTest, LoadingSetsTheFieldsFromTheConfiguration) {
  struct Case {
    int frequency;
    const char* text;
  };
  for (const Case& c : {Case{0, "每次开机更新索引"}, Case{86400, "每天更新一次索引"},
                        Case{604800, "每周更新一次索引"}, Case{2592000, "每月更新一次索引"},
                        Case{12345, "每次开机更新索引"}}) {
    config_.UpdateFrequency = c.frequency;
    settings_.Load();
    EXPECT_EQ(settings_.Fields().FrequencyText, c.text) << c.frequency;
    EXPECT_EQ(settings_.Fields().TypeText, "文本文件");
    EXPECT_EQ(settings_.RememberedRow(), -1);
  }
}

TEST_F(SystemSettingsTest, FolderFileLoadsSortedWithCheckMarksAndWithoutLineEnds) {
  dir_.Write("index/ScanFolder.txt", "_/zeta\r\n#/Beta\r\n_/alpha\n\r\n#/gamma");
  settings_.Load();
  std::vector<std::string> got;
  for (const FolderRow& r : settings_.Folders()) got.push_back(r.Folder + (r.Checked ? "+" : "-"));
  EXPECT_EQ(got, (std::vector<std::string>{"/alpha+", "/Beta-", "/gamma-", "/zeta+"}));
}

TEST_F(SystemSettingsTest, MissingTypeFileIsToldAndLeavesEverythingEmpty) {
  std::filesystem::remove(dir_ / "index/FileType.txt");
  settings_.Load();
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "打开文件类型描述文件失败，请与软件开发商联系！");
  EXPECT_EQ(prompter_.messages()[0].caption, "打开文件失败");
  EXPECT_TRUE(settings_.FileTypes().empty());
  EXPECT_TRUE(settings_.Folders().empty());
  EXPECT_EQ(settings_.Fields().TypeText, "");
  EXPECT_EQ(settings_.Fields().FrequencyText, "");
}

TEST_F(SystemSettingsTest, MissingFolderFileIsToldAndLeavesTheBoxesBlank) {
  std::filesystem::remove(dir_ / "index/ScanFolder.txt");
  settings_.Load();
  EXPECT_EQ(Messages(), std::vector<std::string>{"打开目录文件失败，请与软件开发商联系！"});
  EXPECT_EQ(prompter_.messages()[0].caption, "");
  EXPECT_EQ(settings_.FileTypes().size(), 1u);
  EXPECT_TRUE(settings_.Folders().empty());
  EXPECT_EQ(settings_.Fields().FrequencyText, "");
}

TEST_F(SystemSettingsTest, SavingNumbersTheTypesAnewInRowOrder) {
  dir_.Write("index/FileType.txt", "txt\t7\t1\t文本\r\njpg\t40\t2\t图片\r\nexe\t3\t4\t程序\r\n");
  settings_.Load();
  ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/FileType.txt"),
            "txt\t1\t1\t文本\r\njpg\t2\t2\t图片\r\nexe\t3\t4\t程序\r\n");
}

TEST_F(SystemSettingsTest, TypedTypeSavesAsClassFiveAndLoadsAsOther) {
  settings_.Load();
  AddType("wps", "文档", "金山文档");
  ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/FileType.txt"), "txt\t1\t1\t文本文件\r\nwps\t2\t5\t金山文档\r\n");
  EXPECT_EQ(Reopened().FileTypes()[1].TypeText, "其它文件");
}

TEST_F(SystemSettingsTest, AddingTypeNeedsExtensionAndDescription) {
  settings_.Load();
  for (auto [extension, description] : {std::pair{"", "说明"}, std::pair{"doc", ""}}) {
    AddType(extension, "文本文件", description);
  }
  EXPECT_EQ(settings_.FileTypes().size(), 1u);
  EXPECT_EQ(Messages(), std::vector<std::string>(2, "文件后缀名不能为空！请输入文件后缀名！"));
}

TEST_F(SystemSettingsTest, AddedFolderIsUncheckedAndSavedWithHash) {
  settings_.Load();
  AddFolder("/music");
  ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/ScanFolder.txt"), "#/data\r\n_/home/user\r\n#/music\r\n");
}

TEST_F(SystemSettingsTest, EmptyFolderIsNotAdded) {
  settings_.Load();
  AddFolder("");
  EXPECT_EQ(settings_.Folders().size(), 2u);
  EXPECT_EQ(Messages(), std::vector<std::string>{"不能添加空扫描目录！"});
}

TEST_F(SystemSettingsTest, RepeatedSavesDoNotGrowTheFolderLines) {
  settings_.Load();
  settings_.SetFolderChecked(0, true);
  ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
  const std::string first = dir_.Read("index/ScanFolder.txt");
  EXPECT_EQ(first, "_/data\r\n_/home/user\r\n");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Reopened().Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/ScanFolder.txt"), first);
  EXPECT_EQ(Reopened().Folders()[0].Folder, "/data");
}

TEST_F(SystemSettingsTest, LongLinesAreKeptWholeThroughASave) {
  const std::string folder = "/" + std::string(250, 'x');
  const std::string description(150, 'd');
  dir_.Write("index/ScanFolder.txt", "_" + folder + "\r\n");
  dir_.Write("index/FileType.txt", "txt\t1\t1\t" + std::string(90, 'd') + "\r\n");
  settings_.Load();
  ASSERT_EQ(settings_.Folders().size(), 1u);
  ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/ScanFolder.txt"), "_" + folder + "\r\n");
  EXPECT_EQ(dir_.Read("index/FileType.txt"), "txt\t1\t1\t" + std::string(90, 'd') + "\r\n");
}

TEST_F(SystemSettingsTest, ALongDescriptionIsShownAndSavedWhole) {
  // Longer than the 99 bytes that the index's readers keep, and a double-byte character across
  // byte 99: neither cut nor split by opening and saving the dialog.
  std::string description = "Long";
  for (int i = 0; i < 60; ++i) description += "说明";
  const std::string types = "txt\t1\t1\t" + description + "\r\ndoc\t2\t1\tWord文档\r\n";
  dir_.Write("index/FileType.txt", types);
  settings_.Load();
  ASSERT_EQ(settings_.FileTypes().size(), 2u);
  EXPECT_EQ(settings_.FileTypes()[0].Description, description);
  ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/FileType.txt"), types);
  ASSERT_EQ(Reopened().Save(), SaveResult::kSaved);
  EXPECT_EQ(dir_.Read("index/FileType.txt"), types);
}

TEST_F(SystemSettingsTest, DeletingTwoSelectedRowsRemovesExactlyThose) {
  dir_.Write("index/FileType.txt", "a\t1\t1\tA\r\nb\t2\t1\tB\r\nc\t3\t1\tC\r\nd\t4\t1\tD\r\n");
  dir_.Write("index/ScanFolder.txt", "_/1\r\n_/2\r\n_/3\r\n_/4\r\n");
  settings_.Load();
  settings_.DeleteFileTypes({3, 1});
  settings_.DeleteFolders({0, 2});
  std::vector<std::string> types, folders;
  for (const auto& r : settings_.FileTypes()) types.push_back(r.Extension);
  for (const auto& r : settings_.Folders()) folders.push_back(r.Folder);
  EXPECT_EQ(types, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(folders, (std::vector<std::string>{"/2", "/4"}));
}

TEST_F(SystemSettingsTest, ClickFillsTheFieldsFromTheLastSelectedRow) {
  dir_.Write("index/FileType.txt", "a\t1\t1\tA\r\nb\t2\t3\tB\r\nc\t3\t2\tC\r\n");
  settings_.Load();
  settings_.ClickFileTypes({0, 1});
  EXPECT_EQ(settings_.RememberedRow(), 1);
  EXPECT_EQ(settings_.Fields().Extension, "b");
  EXPECT_EQ(settings_.Fields().TypeText, "音视频文件");
  EXPECT_EQ(settings_.Fields().Description, "B");
  settings_.ClickFolders({1});
  EXPECT_EQ(settings_.Fields().Folder, "/home/user");
  EXPECT_EQ(settings_.Fields().Extension, "b");  // the folder list fills only the folder
}

TEST_F(SystemSettingsTest, FolderClickThenTypeModifyChangesTheTypeRowAtThatIndex) {
  dir_.Write("index/FileType.txt", "a\t1\t1\tA\r\nb\t2\t1\tB\r\n");
  settings_.Load();
  settings_.ClickFileTypes({0});
  settings_.ClickFolders({1});
  settings_.Fields().Extension = "z";
  settings_.Fields().TypeText = "图片文件";
  settings_.Fields().Description = "Z";
  settings_.ModifyFileType();
  EXPECT_EQ(settings_.FileTypes()[0].Extension, "a");
  EXPECT_EQ(settings_.FileTypes()[1].Extension, "z");
  EXPECT_EQ(settings_.FileTypes()[1].TypeText, "图片文件");
  EXPECT_EQ(settings_.FileTypes()[1].Description, "Z");
}

TEST_F(SystemSettingsTest, ModifyWithoutRememberedRowChangesNothing) {
  settings_.Load();
  settings_.Fields().Extension = "z";
  settings_.Fields().Folder = "/z";
  settings_.ModifyFileType();
  settings_.ModifyFolder();
  EXPECT_EQ(settings_.FileTypes()[0].Extension, "txt");
  EXPECT_EQ(settings_.Folders()[0].Folder, "/data");
  settings_.ClickFolders({0});
  settings_.Fields().Folder = "/zz";
  settings_.ModifyFolder();
  EXPECT_EQ(settings_.Folders()[0].Folder, "/zz");
  EXPECT_FALSE(settings_.Folders()[0].Checked);  // the row keeps its check mark and place
}

TEST_F(SystemSettingsTest, PickedFolderLosesItsTrailingSeparatorButTheRootStays) {
  settings_.Load();
  for (auto [picked, shown] : {std::pair{"/home/user/", "/home/user"}, std::pair{"/", "/"},
                               std::pair{"/data//", "/data"}}) {
    shell_.folder_to_pick = picked;
    EXPECT_TRUE(settings_.PickFolder());
    EXPECT_EQ(settings_.Fields().Folder, shown);
  }
  EXPECT_EQ(shell_.pick_titles.back(), "请选择待搜索的文件夹");
  shell_.folder_to_pick.clear();
  EXPECT_FALSE(settings_.PickFolder());
  EXPECT_EQ(settings_.Fields().Folder, "/data");
}

TEST_F(SystemSettingsTest, SaveWritesTheNewFrequencyAndKeepsTheOtherValues) {
  struct Case {
    const char* text;
    int value;
  };
  for (const Case& c :
       {Case{"每周更新一次索引", 604800}, Case{"每月更新一次索引", 2592000},
        Case{"每次开机更新索引", 0}, Case{"每天更新一次索引", 86400}, Case{"", 0}, Case{"每", 0}}) {
    settings_.Load();
    settings_.Fields().FrequencyText = c.text;
    ASSERT_EQ(settings_.Save(), SaveResult::kSaved);
    EXPECT_EQ(config_.UpdateFrequency, c.value);
    EXPECT_EQ(dir_.Read("config.txt"), "索引更新频率\t" + std::to_string(c.value) +
                                           "\r\n上次索引时间\t1170000000\r\n第一服务器IP\t10.0.0.1"
                                           "\r\n第二服务器IP\t10.0.0.2\r\n");
  }
}

TEST_F(SystemSettingsTest, UnwritableConfigKeepsTheDialogOpenAfterTheIndexFiles) {
  settings_.Load();
  AddFolder("/music");
  std::filesystem::remove(dir_ / "config.txt");
  dir_.MakeDir("config.txt");  // a folder in its place: no file can be written there
  settings_.Fields().FrequencyText = "每周更新一次索引";
  EXPECT_EQ(settings_.Save(), SaveResult::kConfigFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"打开系统配置文件失败，请与软件开发商联系！"});
  EXPECT_EQ(dir_.Read("index/ScanFolder.txt"), "#/data\r\n_/home/user\r\n#/music\r\n");
  EXPECT_EQ(config_.UpdateFrequency, 604800);
}

TEST_F(SystemSettingsTest, UnwritableIndexFileWritesNeitherIndexFileNorConfig) {
  for (const char* blocked : {"index/FileType.txt", "index/ScanFolder.txt"}) {
    TempDir other;
    ScopedCurrentDir in(other.path());
    other.Write("index/FileType.txt", kTypes);
    other.Write("index/ScanFolder.txt", kFolders);
    other.Write("config.txt", kConfig);
    SystemSettings settings(prompter_, shell_, config_);
    settings.Load();
    settings.Fields().FrequencyText = "每周更新一次索引";
    settings.DeleteFileTypes({0});
    settings.DeleteFolders({0});
    std::filesystem::remove(other / blocked);
    other.MakeDir(blocked);
    EXPECT_EQ(settings.Save(), SaveResult::kIndexFilesFailed) << blocked;
    EXPECT_EQ(prompter_.messages().back().text, "打开文件失败，请与软件开发商联系！");
    const std::string intact = std::string(blocked) == "index/FileType.txt" ? "index/ScanFolder.txt"
                                                                            : "index/FileType.txt";
    EXPECT_EQ(other.Read(intact), intact == "index/FileType.txt" ? kTypes : kFolders);
    EXPECT_EQ(other.Read("config.txt"), kConfig);
    EXPECT_EQ(config_.UpdateFrequency, 86400);
  }
}

TEST_F(SystemSettingsTest, SaveIntoAFullDiskKeepsTheOldFilesWhole) {
  settings_.Load();
  for (int i = 0; i < 40; ++i) AddFolder(("/folder/number/" + std::to_string(i)).c_str());
  settings_.Fields().FrequencyText = "每周更新一次索引";
  SaveResult result;
  {
    testing::FileSizeLimit full(200);
    result = settings_.Save();
  }
  EXPECT_EQ(result, SaveResult::kIndexFilesFailed);
  EXPECT_EQ(dir_.Read("index/FileType.txt"), kTypes);
  EXPECT_EQ(dir_.Read("index/ScanFolder.txt"), kFolders);
  EXPECT_EQ(dir_.Read("config.txt"), kConfig);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_ / "index")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2u);  // no new file left behind
}

TEST_F(SystemSettingsTest, FullDiskAtConfigKeepsTheOldConfigWhole) {
  std::string long_config = kConfig;
  settings_.Load();
  {
    // The index files are small; a config.txt that would not fit the limit stays as it was.
    std::strcpy(config_.FirstServerAddress, std::string(90, '1').c_str());
    testing::FileSizeLimit full(100);
    EXPECT_EQ(settings_.Save(), SaveResult::kConfigFailed);
  }
  EXPECT_EQ(dir_.Read("config.txt"), long_config);
}

TEST(SystemSettingTexts, FrequencyBoxIsSortedAndTextsMapBothWays) {
  EXPECT_EQ(FrequencyTexts(), (std::vector<std::string>{"每次开机更新索引", "每天更新一次索引",
                                                        "每月更新一次索引", "每周更新一次索引"}));
  std::vector<std::string> sorted = FrequencyTexts();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, FrequencyTexts());
  for (const std::string& text : FrequencyTexts()) {
    EXPECT_STREQ(FrequencyText(FrequencyOfText(text)), text.c_str());
  }
  EXPECT_EQ(TypeClassOfText("文本文件"), 1);
  EXPECT_EQ(TypeClassOfText("二进制文件"), 4);
  EXPECT_EQ(TypeClassOfText("其它文件"), 5);
  EXPECT_EQ(TypeClassOfText("文本"), 5);
}

}  // namespace
}  // namespace jollix
