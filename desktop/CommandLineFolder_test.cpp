#include "desktop/CommandLineFolder.h"

#include <gtest/gtest.h>

#include "common/Gbk.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

TEST(FolderFromCommandLine, TakesTheTextAfterQuoteBlankQuoteUpToTheNextQuote) {
  struct Case {
    const char* line;
    const char* folder;
  };
  const Case cases[] = {
      {"\"C:\\Program Files\\JollixSearch\\JollixSearch.exe\" \"D:\\Work\"", "D:\\Work"},
      {"\"JollixSearch.exe\" \"D:\\工作\\报告\" \"E:\\other\"", "D:\\工作\\报告"},
      {"\"JollixSearch.exe\" \"D:\\Work", "D:\\Work"},  // no closing quote: up to the end
      {"\"JollixSearch.exe\" \"\"", ""},
      {"\"JollixSearch.exe\"", ""},
      {"\"JollixSearch.exe\" D:\\Work", ""},  // a folder without quotes is not taken
      {"JollixSearch.exe \"D:\\Work\"", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderFromCommandLine(c.line), c.folder) << c.line;
  }
}

TEST(FolderFromArguments, TakesTheSecondArgumentInGbkMadeAbsolute) {
  const std::string chinese_disk = GbkToUtf8Lossy("/数据/工作");
  const char* absolute[] = {"JollixSearch", chinese_disk.c_str(), "/ignored"};
  EXPECT_EQ(FolderFromArguments(3, absolute), "/数据/工作");

  testing::TempDir dir;
  testing::ScopedCurrentDir cd(dir.path());
  const char* relative[] = {"JollixSearch", "sub/./folder"};
  EXPECT_EQ(FolderFromArguments(2, relative), FileNameToGbk(dir.path()) + "/sub/folder");

  const char* none[] = {"JollixSearch"};
  EXPECT_EQ(FolderFromArguments(1, none), "");
  const char* empty[] = {"JollixSearch", ""};
  EXPECT_EQ(FolderFromArguments(2, empty), "");
}

}  // namespace
}  // namespace jollix
