// jollix index run as a process on an installation in a temp folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/Gbk.h"
#include "indexer/IndexRun.h"
#include "testing/Process.h"
#include "testing/TestInstallation.h"

namespace jollix {
namespace {

using testing::BuildProgram;
using testing::ProgramEnv;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::TestInstallation;

ProgramRun RunIndex(const TestInstallation& install, std::vector<std::string> args = {},
                    ProgramEnv env = {}) {
  std::vector<std::string> argv = {"jollix", "index"};
  argv.insert(argv.end(), args.begin(), args.end());
  env.Set.push_back({"JOLLIX_HOME", install.Home()});
  return RunHeadless(BuildProgram("jollix"), argv, env);
}

TEST(JollixIndex, NotDueSaysWhenAndLeavesTheIndexAlone) {
  TestInstallation install;
  int32_t last = CurrentTime() - 3600;
  install.WriteConfig(kUpdateDaily, last);
  ProgramRun run = RunIndex(install);
  EXPECT_EQ(run.ExitStatus, 255);
  EXPECT_NE(run.Err.find("--now"), std::string::npos) << run.Err;
  EXPECT_FALSE(install.dir().Exists("home/index/AllFile.dat"));
  EXPECT_EQ(install.ReadConfig().LastIndexTime, last);
}

TEST(JollixIndex, NowRebuildsAtOnceWithUtf8Output) {
  TestInstallation install;
  install.WriteConfig(kUpdateMonthly, CurrentTime() - 60);
  int32_t before = CurrentTime();
  ProgramRun run = RunIndex(install, {"--now"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, reinterpret_cast<const char*>(
                         u8"正在建立索引，请稍候......\n正在保存索引，请稍候......\n"));
  std::string progress;
  ASSERT_TRUE(Utf8ToGbk(run.Err, &progress));
  EXPECT_NE(progress.find("已经完成    4    个文件的扫描"), std::string::npos) << run.Err;
  EXPECT_GE(install.ReadConfig().LastIndexTime, before);
  EXPECT_EQ(install.ReadConfig().UpdateFrequency, kUpdateMonthly);
  EXPECT_TRUE(install.dir().Exists("home/index/IndexData.ind"));
}

TEST(JollixIndex, FirstRunWritesTheFolderListWithTheHomeFolder) {
  TestInstallation install;
  install.WriteConfig(kUpdateDaily, 0);
  std::filesystem::remove(install.Home() + "/index/ScanFolder.txt");
  ProgramRun run = RunIndex(install, {}, {{{"HOME", install.Tree()}}, {}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(install.dir().Read("home/index/ScanFolder.txt"), "_" + install.Tree() + "\r\n");
  EXPECT_NE(install.dir().Read("home/index/AllFile.dat").find("_a.txt\t"), std::string::npos);
}

TEST(JollixIndex, UnknownArgumentIsAUsageError) {
  TestInstallation install;
  ProgramRun run = RunIndex(install, {"--later"});
  EXPECT_EQ(run.ExitStatus, 2);
  EXPECT_NE(run.Err.find("usage: jollix index"), std::string::npos);
}

}  // namespace
}  // namespace jollix
