#include "indexer/IndexRun.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "common/TextFile.h"
#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::ScopedCurrentDir;
using testing::TempDir;

IndexConfig Config(int frequency, int last) {
  IndexConfig config;
  config.UpdateFrequency = frequency;
  config.LastIndexTime = last;
  return config;
}

TEST(IsRunDue, WaitsForTheFrequencyAfterTheLastRun) {
  const int32_t now = 1170000000;
  EXPECT_FALSE(IsRunDue(now, Config(kUpdateDaily, now - 10 * 3600)));
  EXPECT_TRUE(IsRunDue(now, Config(kUpdateDaily, now - kUpdateDaily)));
  EXPECT_FALSE(IsRunDue(now, Config(kUpdateDaily, now - kUpdateDaily + 1)));
  EXPECT_TRUE(IsRunDue(now, Config(kUpdateDaily, 0)));
  EXPECT_FALSE(IsRunDue(now, Config(kUpdateMonthly, now - kUpdateWeekly)));
}

TEST(IsRunDue, EveryStartIsDueWithFrequencyZero) {
  const int32_t now = 1170000000;
  EXPECT_TRUE(IsRunDue(now, Config(kUpdateEveryStart, now)));
  EXPECT_FALSE(IsRunDue(now, Config(kUpdateEveryStart, now + 5)));  // a clock set back
}

TEST(IsRunDue, SumWrapsAroundInSignedThirtyTwoBits) {
  // Near the end of 32-bit time the sum turns negative, so every start is due.
  EXPECT_TRUE(IsRunDue(INT32_MAX - 100, Config(kUpdateDaily, INT32_MAX - 1000)));
}

TEST(ProgressTexts, PercentFollowsTheFoldersDone) {
  ScanProgress progress;
  progress.FoldersToScan = 3;
  const char* expected[] = {"索引大约完成    0% ", "索引大约完成    33% ", "索引大约完成    66% ",
                            "索引大约完成    100% "};
  for (int done = 0; done <= 3; ++done) {
    progress.FoldersDone = done;
    ProgressTexts texts = MakeProgressTexts(progress);
    EXPECT_EQ(texts.Percent, expected[done]);
    EXPECT_EQ(texts.Position, done * 100 / 3);
  }
}

TEST(ProgressTexts, CountAndFolderTexts) {
  ScanProgress progress;
  progress.EntriesWritten = 1234;
  progress.SetCurrentFolder("/home/文档");
  ProgressTexts texts = MakeProgressTexts(progress);
  EXPECT_EQ(texts.Entries, "已经完成    1234    个文件的扫描");
  EXPECT_EQ(texts.Folder, "正在扫描文件夹：/home/文档");
  EXPECT_EQ(MakeProgressTexts(ScanProgress()).Position, 100);  // nothing to scan
}

// A whole run in this process: an installation folder in a temp folder, made current.
TEST(RunIndexWork, DueRunScansBuildsAndMarksTheRunFinished) {
  TempDir dir;
  dir.MakeDir("index");
  dir.Write("config.txt",
            "索引更新频率\t86400\n上次索引时间\t0\n第一服务器IP\t1.2.3.4\n第二服务器IP\t5.6.7.8\n");
  dir.Write("index/FileType.txt", "txt\t1\t1\t文本\r\n");
  dir.Write("index/ScanFolder.txt", "_" + (dir / "tree") + "\r\n");
  dir.Write("tree/Note.TXT", "x");
  ScopedCurrentDir cwd(dir.path());
  FakePrompter prompter;
  ScanProgress progress;
  std::FILE* lines = std::tmpfile();
  ASSERT_EQ(RunWithProgressLines(prompter, progress, lines), 0);

  EXPECT_EQ(progress.Finished, 1);
  EXPECT_EQ(progress.EntriesWritten, 1);
  EXPECT_EQ(dir.Read("index/AllFile.dat").rfind("_Note.TXT\t", 0), 0u);
  std::string meta = dir.Read("index/MetaIndex.ind");
  ASSERT_EQ(meta.size(), size_t{kListCount} * 8);
  EXPECT_EQ(static_cast<unsigned char>(meta[TypeListNumber(1) * 8 + 4]), 1);  // one txt posting
  IndexConfig config;
  ASSERT_TRUE(ReadConfig("config.txt", &config));
  EXPECT_GT(config.LastIndexTime, 0);
  EXPECT_STREQ(config.SecondServerAddress, "5.6.7.8");

  // The closing progress line, in UTF-8 for the terminal.
  std::rewind(lines);
  char line[512] = {};
  ASSERT_NE(std::fgets(line, sizeof line, lines), nullptr);
  std::fclose(lines);
  std::string gbk;
  ASSERT_TRUE(Utf8ToGbk(line, &gbk));
  EXPECT_NE(gbk.find("已经完成    1    个文件的扫描"), std::string::npos) << line;
  EXPECT_NE(gbk.find("索引大约完成    100% "), std::string::npos) << line;
}

// A run whose postings cannot be written (a full disk) leaves the previous index whole.
TEST(RunIndexWork, AFailedWriteLeavesThePreviousGenerationInPlace) {
  TempDir dir;
  dir.MakeDir("index");
  const std::string config =
      "索引更新频率\t0\n上次索引时间\t0\n第一服务器IP\t1.2.3.4\n第二服务器IP\t5.6.7.8\n";
  dir.Write("config.txt", config);
  dir.Write("index/FileType.txt", "txt\t1\t1\t文本\r\n");
  dir.Write("index/ScanFolder.txt", "_" + (dir / "tree") + "\r\n");
  dir.Write("tree/old.txt", "x");
  ScopedCurrentDir cwd(dir.path());
  FakePrompter prompter;
  {
    ScanProgress progress;
    RunIndexWork(prompter, progress);
  }
  const char* const kFiles[] = {"index/AllFile.dat", "index/MetaIndex.ind", "index/IndexData.ind"};
  std::string before[3];
  for (int i = 0; i < 3; ++i) before[i] = dir.Read(kFiles[i]);
  ASSERT_NE(before[0].find("old.txt"), std::string::npos);

  dir.Write("tree/new.txt", "x");
  ASSERT_EQ(symlink("/dev/full", "index/IndexData.ind.tmp"), 0);
  EXPECT_EXIT(
      {
        ScanProgress progress;
        RunIndexWork(prompter, progress);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(253), "");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dir.Read(kFiles[i]), before[i]) << kFiles[i];
  for (const char* temp : {"index/AllFile.dat.tmp", "index/MetaIndex.ind.tmp"}) {
    EXPECT_FALSE(dir.Exists(temp)) << temp;
  }
}

}  // namespace
}  // namespace jollix
