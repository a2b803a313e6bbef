#include "desktop/QueryRules.h"

#include <gtest/gtest.h>

#include "common/IndexLayout.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;
using testing::TempDir;

TEST(CleanNameWords, WildcardsBecomeBlanksAndEndsAreTrimmed) {
  EXPECT_EQ(CleanNameWords("*.txt"), ".txt");
  EXPECT_EQ(CleanNameWords(" \ta?b*c \r\n"), "a b c");
  EXPECT_EQ(CleanNameWords("**??"), "");
  EXPECT_EQ(CleanNameWords("报告*"), "报告");
}

TEST(QueryTables, DateKindsAndSizeClassesGoByTheirFirstCharacter) {
  EXPECT_EQ(DateKindOf("创建日期"), 0);
  EXPECT_EQ(DateKindOf("修改日期"), 1);
  EXPECT_EQ(DateKindOf("访问"), 2);
  EXPECT_EQ(DateKindOf("日期"), -1);
  EXPECT_EQ(DateKindOf(""), -1);
  uint32_t from = 1, to = 1;
  ASSERT_TRUE(SizeRangeOf("不记得", &from, &to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 4294967295u);
  ASSERT_TRUE(SizeRangeOf("小于1M", &from, &to));
  EXPECT_EQ(to, 1048575u);
  ASSERT_TRUE(SizeRangeOf("在1M到100M之间", &from, &to));
  EXPECT_EQ(from, 1048575u);
  EXPECT_EQ(to, 104857500u);
  ASSERT_TRUE(SizeRangeOf("大", &from, &to));
  EXPECT_EQ(from, 104857500u);
  EXPECT_EQ(to, 4294967295u);
  EXPECT_FALSE(SizeRangeOf("1M", &from, &to));
}

const char kFileTypes[] =
    "txt\t1\t1\t文本文件\r\n"
    "doc\t2\t1\tWord文档\r\n"
    "jpg\t3\t2\tJPEG图片\r\n"
    "png\t4\t2\tPNG图片\r\n"
    "gif\t5\t2\tGIF图片\r\n"
    "exe\t6\t4\t可执行程序\r\n";

// An engine over the (empty) index of an empty tree.
class HandOverTest : public ::testing::Test {
 protected:
  HandOverTest() : install_(kFileTypes) {
    install_.Index();
    ScopedCurrentDir cd(install_.Install());
    engine_ = std::make_unique<SearchServer>(prompter_, icons_);
  }
  FileSearchFields Fields(const std::string& words) {
    FileSearchFields f;
    f.NameWords = words;
    f.TimeTo = 1170000000;
    return f;
  }
  QueryVerdict HandOver(const FileSearchFields& f) { return HandOverQuery(f, *engine_, prompter_); }

  IndexedInstall install_;
  FakePrompter prompter_;
  FakeIconList icons_;
  std::unique_ptr<SearchServer> engine_;
};

TEST_F(HandOverTest, FillsTheQueryRecord) {
  FileSearchFields f = Fields(" *.txt ");
  f.ContentWords = "合同";
  f.Folder = "/home/u/Work";
  f.TimeFrom = 1000;
  f.TimeTo = 0x1'0000'2000;  // only the low 32 bits count
  f.SizeText = "在1M到100M之间";
  f.DateKindText = "访问日期";
  ASSERT_EQ(HandOver(f), QueryVerdict::kAccepted);
  const QueryRecord& q = engine_->Query;
  EXPECT_EQ(q.NameWords, ".txt");
  EXPECT_EQ(q.ContentWords, "合同");
  EXPECT_EQ(q.Folder, "/home/u/Work");
  EXPECT_EQ(q.Class, 0);
  EXPECT_EQ(q.DateKind, 2);
  EXPECT_EQ(q.TimeFrom, 1000u);
  EXPECT_EQ(q.TimeTo, 0x2000u);
  EXPECT_EQ(q.SizeFrom, 1048575u);
  EXPECT_EQ(q.SizeTo, 104857500u);
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(HandOverTest, LongTextsAreCutWithoutSplittingACharacter) {
  std::string words = "a";
  for (int i = 0; i < 300; ++i) words += "报";
  ASSERT_EQ(HandOver(Fields(words)), QueryVerdict::kAccepted);
  EXPECT_EQ(engine_->Query.NameWords.size(), 499u);
  ASSERT_EQ(HandOver(Fields("b" + words)), QueryVerdict::kAccepted);
  EXPECT_EQ(engine_->Query.NameWords.size(), 498u);  // 499 would end inside a character
}

TEST_F(HandOverTest, RefusesAnEmptyQueryOnTheAllTabOnly) {
  engine_->Query.NameWords = "before";
  EXPECT_EQ(HandOver(Fields(" ** ")), QueryVerdict::kEmptyQuery);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text,
            "文件名关键词和文件内容关键词不能同时为空，请正确输入文件名关键词或文件内容关键词！");
  EXPECT_EQ(prompter_.messages()[0].caption, "输入错误");
  EXPECT_EQ(engine_->Query.NameWords, "before");

  FileSearchFields pictures = Fields("");
  pictures.Class = 2;
  pictures.CheckedExtensions = {"jpg"};
  EXPECT_EQ(HandOver(pictures), QueryVerdict::kAccepted);
  FileSearchFields content = Fields("");
  content.ContentWords = "x";
  EXPECT_EQ(HandOver(content), QueryVerdict::kAccepted);
}

TEST_F(HandOverTest, RefusesAStartAfterTheEndThenSearchesNormally) {
  FileSearchFields f = Fields("a");
  f.TimeFrom = 1170000001;
  EXPECT_EQ(HandOver(f), QueryVerdict::kBadTimeRange);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "您输入的文件时间开始时间与结束时间不正确");
  EXPECT_EQ(prompter_.messages()[0].caption, "");
  // The low 32 bits are compared as signed values: an end past 2038 reads as before 1970.
  f.TimeFrom = 0;
  f.TimeTo = 0x80000000;
  EXPECT_EQ(HandOver(f), QueryVerdict::kBadTimeRange);
  f.TimeTo = 1170000000;
  f.TimeFrom = 1170000000;
  EXPECT_EQ(HandOver(f), QueryVerdict::kAccepted);
}

TEST_F(HandOverTest, RefusesUnknownDateKindAndSizeTexts) {
  FileSearchFields f = Fields("a");
  f.DateKindText = "时间";
  EXPECT_EQ(HandOver(f), QueryVerdict::kBadDateKind);
  f.DateKindText = "修改日期";
  f.SizeText = "";
  EXPECT_EQ(HandOver(f), QueryVerdict::kBadSize);
  ASSERT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(prompter_.messages()[0].text, "文件查询时间输入错误");
  EXPECT_EQ(prompter_.messages()[1].text, "文件查询大小输入错误");
}

TEST_F(HandOverTest, RewritesTheTabsClassColumnFromTheCheckedExtensions) {
  FileSearchFields f = Fields("");
  f.Class = 2;
  f.CheckedExtensions = {"jpg", "gif", "webp"};  // png unchecked; webp not in the type map
  ASSERT_EQ(HandOver(f), QueryVerdict::kAccepted);
  EXPECT_EQ(engine_->Query.Class, 2);
  EXPECT_TRUE(engine_->ClassFlag(3, 2));
  EXPECT_FALSE(engine_->ClassFlag(4, 2));
  EXPECT_TRUE(engine_->ClassFlag(5, 2));
  EXPECT_EQ(engine_->TypeNumber("webp"), 0);
  EXPECT_TRUE(engine_->ClassFlag(0, 2));
  // The other columns stay as loaded.
  EXPECT_TRUE(engine_->ClassFlag(4, 0));
  EXPECT_TRUE(engine_->ClassFlag(1, 1));
  // Checking a text type on the picture tab puts it in the picture column.
  f.CheckedExtensions = {"txt"};
  ASSERT_EQ(HandOver(f), QueryVerdict::kAccepted);
  EXPECT_TRUE(engine_->ClassFlag(1, 2));
  EXPECT_FALSE(engine_->ClassFlag(3, 2));
}

TEST_F(HandOverTest, TabRowsComeFromTheTypeFileInFileOrder) {
  ScopedCurrentDir cd(install_.Install());
  std::vector<FileTypeLine> all = TabFileTypes(0, prompter_);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_STREQ(all[0].Extension, "all");
  EXPECT_STREQ(all[0].Description, "所有文件");
  // The tab handler skips lines without four fields and reads on past an empty line.
  install_.WriteInstallFile("index/FileType.txt",
                            "jpg\t3\t2\tJPEG图片\r\nbad line\r\n\r\npng\t4\t2\tPNG图片\r\n"
                            "# gif\t5\t2\tGIF\r\ngif\t5\t2\tGIF图片\r\nexe\t6\t4\t可执行程序\r\n");
  std::vector<std::string> pictures;
  for (const FileTypeLine& line : TabFileTypes(2, prompter_)) pictures.push_back(line.Extension);
  EXPECT_EQ(pictures, (std::vector<std::string>{"jpg", "png", "gif"}));
  EXPECT_EQ(TabFileTypes(3, prompter_).size(), 0u);
  EXPECT_EQ(TabFileTypes(4, prompter_).size(), 1u);
}

TEST(TabFileTypesDeathTest, AMissingTypeFileEndsTheProgramWithMinusFour) {
  TempDir dir;
  ScopedCurrentDir cd(dir.path());
  FakePrompter prompter;
  EXPECT_EXIT(TabFileTypes(1, prompter), ::testing::ExitedWithCode(252), "");
}

}  // namespace
}  // namespace jollix
