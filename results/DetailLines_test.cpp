#include "results/DetailLines.h"

#include <gtest/gtest.h>

#include "common/Gbk.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/TempDir.h"
#include "testing/TimeZone.h"

namespace jollix {
namespace {

using testing::FakeResultPage;
using testing::TempDir;
using Lines = std::vector<std::string>;

void AddRow(FakeResultPage& page, const Lines& cells) {
  const int row = page.InsertRow(page.RowCount(), cells[0].c_str(), -1);
  for (size_t c = 1; c < cells.size(); ++c)
    page.SetCell(row, static_cast<int>(c), cells[c].c_str());
}

TEST(WrapDetailText, CutsEightyByteSlices) {
  EXPECT_TRUE(WrapDetailText("").empty());
  EXPECT_EQ(WrapDetailText("short"), Lines{"short"});
  const std::string text = std::string(80, 'a') + std::string(80, 'b') + "cc";
  EXPECT_EQ(WrapDetailText(text), (Lines{std::string(80, 'a'), std::string(80, 'b'), "cc"}));
}

TEST(WrapDetailText, KeepsADoubleByteCharacterWholeAtTheCut) {
  // 79 ASCII bytes, then a two-byte character across the 80-byte mark.
  const std::string text = std::string(79, 'a') + "中" + "xyz";
  EXPECT_EQ(WrapDetailText(text), (Lines{std::string(79, 'a') + "中", "xyz"}));
  // An even count of high bytes in the slice: no extra byte.
  const std::string even = std::string(78, 'a') + "中" + "b";
  EXPECT_EQ(WrapDetailText(even), (Lines{std::string(78, 'a') + "中", "b"}));
  // 40 characters fill one line exactly.
  std::string chinese;
  for (int i = 0; i < 41; ++i) chinese += "字";
  const Lines lines = WrapDetailText(chinese);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 80u);
  EXPECT_EQ(lines[1], "字");
}

TEST(WrapDetailText, AnOddCountOfHighBytesAtTheEndStopsAtTheEnd) {
  // The last slice ends with a lone lead byte: no byte is taken beyond the text.
  const std::string text = std::string(80, 'a') + "ab\xB0";
  EXPECT_EQ(WrapDetailText(text), (Lines{std::string(80, 'a'), "ab\xB0"}));
  const std::string whole = std::string(79, 'a') + "\xB0";
  EXPECT_EQ(WrapDetailText(whole), Lines{whole});
}

TEST(SizeFromCell, ReadsTrimmedDecimalsAndZeroOtherwise) {
  EXPECT_EQ(SizeFromCell("         123"), 123u);
  EXPECT_EQ(SizeFromCell(" 42 "), 42u);
  EXPECT_EQ(SizeFromCell("  4294967295"), 4294967295u);
  EXPECT_EQ(SizeFromCell("abc"), 0u);
  EXPECT_EQ(SizeFromCell(""), 0u);
}

TEST(WebDetailLines, HintThenEveryColumnOrTheWrappedDetailColumn) {
  FakeResultPage page;
  AddRow(page, {"title", "http://a/", "abstract"});
  AddRow(page, {"second", "http://b/", "more"});
  EXPECT_EQ(WebDetailLines(page, 3, {}, 2), (Lines{kWebDetailsHint, ""}));
  EXPECT_EQ(WebDetailLines(page, 3, {0}, -1),
            (Lines{kWebDetailsHint, "", "title", "http://a/", "abstract"}));
  EXPECT_EQ(WebDetailLines(page, 3, {1}, 2), (Lines{kWebDetailsHint, "", "more"}));
  // The first selected row only.
  EXPECT_EQ(WebDetailLines(page, 3, {0, 1}, 2), (Lines{kWebDetailsHint, "", "abstract"}));
  const std::string long_text = std::string(85, 'x');
  page.SetCell(0, 2, long_text.c_str());
  EXPECT_EQ(WebDetailLines(page, 3, {0}, 2),
            (Lines{kWebDetailsHint, "", std::string(80, 'x'), "xxxxx"}));
}

class FileDetailLinesTest : public ::testing::Test {
 protected:
  // A desktop row of a file of the temp folder, as the engine writes it.
  void AddFile(const std::string& name_gbk, const std::string& size) {
    dir_.Write(FileNameFromGbk(name_gbk), "x");
    AddRow(page_, {name_gbk, Folder(), size, "文本文件", "2007-01-28 16:00:00", "1"});
  }
  std::string Folder() const { return FileNameToGbk(dir_.path()) + "/"; }

  TempDir dir_;
  FakeResultPage page_;
};

TEST_F(FileDetailLinesTest, OneFileShowsItsSixLines) {
  AddFile("报告.txt", "         123");
  EXPECT_EQ(FileDetailLines(page_, {0}),
            (Lines{kFileDetailsHint, "", "文件或目录名: 报告.txt", "所在文件夹  : " + Folder(),
                   "文件大小    : 123 字节", "文件修改时间: 2007-01-28 16:00:00"}));
}

// The details of a row that a desktop search wrote: the time is the user's local time, the one
// the file manager shows (2026-02-28 17:30:00 UTC is 2026-03-01 01:30:00 in Shanghai).
TEST(FileDetailLinesOfASearch, TheModifiedTimeIsTheLocalTime) {
  testing::ScopedTimeZone zone("Asia/Shanghai");
  testing::IndexedInstall install("txt\t1\t1\t文本文件\r\n");
  install.WriteFile("spring.txt", "x", 1772299800);
  install.Index();
  testing::ScopedCurrentDir cd(install.Install());
  testing::FakePrompter prompter;
  testing::FakeIconList icons;
  SearchServer engine(prompter, icons);
  ASSERT_FALSE(engine.IndexUnavailable());
  engine.Query.NameWords = "spring";
  FakeResultPage page;
  ASSERT_EQ(engine.Search(page), 0);
  ASSERT_EQ(page.RowCount(), 1);
  const Lines lines = FileDetailLines(page, {0});
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[5], "文件修改时间: 2026-03-01 01:30:00");
}

TEST_F(FileDetailLinesTest, AVanishedFileOrAFolderShowsTheVanishedLine) {
  AddRow(page_, {"gone.txt", Folder(), "1", "", "", ""});
  EXPECT_EQ(FileDetailLines(page_, {0}), Lines{kFileVanishedLine});
  dir_.MakeDir("sub");
  AddRow(page_, {"sub", Folder(), "4096", "文件夹", "", ""});
  EXPECT_EQ(FileDetailLines(page_, {1}), Lines{kFileVanishedLine});
}

TEST_F(FileDetailLinesTest, SeveralRowsShowCountAndThirtyTwoBitSum) {
  AddFile("a.txt", "  4294967295");
  AddFile("b.txt", "           3");
  AddRow(page_, {"c.txt", Folder(), "not a size", "", "", ""});
  EXPECT_EQ(
      FileDetailLines(page_, {0, 1, 2}),
      (Lines{kFileDetailsHint, "", "共选择文件:         3  个", "文件总大小:         2  字节"}));
  EXPECT_TRUE(FileDetailLines(page_, {}).empty());
}

TEST_F(FileDetailLinesTest, TheDesktopTypeShowsFileDetailsOthersWebDetails) {
  AddFile("a.txt", "1");
  EXPECT_EQ(DetailLines(page_, 6, {}, 0, -1), Lines{});
  EXPECT_EQ(DetailLines(page_, 6, {}, 1, 2), (Lines{kWebDetailsHint, ""}));
  EXPECT_EQ(DetailLines(page_, 2, {0}, 5, -1), (Lines{kWebDetailsHint, "", "a.txt", Folder()}));
}

}  // namespace
}  // namespace jollix
