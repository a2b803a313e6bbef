// JollixIndexer run as a process, without a display, on an installation in a temp folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "common/IndexLayout.h"
#include "common/TextFile.h"
#include "indexer/IndexRun.h"
#include "testing/Process.h"
#include "testing/TestInstallation.h"

namespace jollix {
namespace {

namespace fs = std::filesystem;
using testing::BuildProgram;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::TestInstallation;

// Every file below a folder with its content and modification time.
std::map<std::string, std::pair<std::string, int64_t>> Snapshot(const std::string& folder) {
  std::map<std::string, std::pair<std::string, int64_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    struct stat st;
    stat(entry.path().c_str(), &st);
    std::string content;
    if (entry.is_regular_file()) ReadWholeFile(entry.path().c_str(), &content);
    files[entry.path().string()] = {content, st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
  }
  return files;
}

ProgramRun RunIndexer(const TestInstallation& install) {
  return RunHeadless(BuildProgram("JollixIndexer"), {}, install.Env());
}

TEST(JollixIndexer, RunNotDueEndsAtOnceWithMinusOneAndTouchesNothing) {
  TestInstallation install;
  install.WriteConfig(kUpdateDaily, CurrentTime() - 10 * 3600);
  auto before = Snapshot(install.dir().path());
  ProgramRun run = RunIndexer(install);
  EXPECT_EQ(run.ExitStatus, 255) << run.Err;
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(Snapshot(install.dir().path()), before);
}

TEST(JollixIndexer, DueRunBuildsTheIndexAndStampsConfigWithLf) {
  TestInstallation install;
  install.WriteConfig(kUpdateDaily, 0);
  int32_t before = CurrentTime();
  ProgramRun run = RunIndexer(install);
  int32_t after = CurrentTime();
  ASSERT_EQ(run.ExitStatus, 0) << run.Out << run.Err;

  EXPECT_EQ(run.Out, "正在建立索引，请稍候......\n正在保存索引，请稍候......\n");
  const auto& dir = install.dir();
  std::string all = dir.Read("home/index/AllFile.dat");
  EXPECT_NE(all.find("_a.txt\t" + install.Tree() + "/\t5\t"), std::string::npos) << all;
  EXPECT_NE(all.find("_文档.doc\t"), std::string::npos) << all;
  EXPECT_NE(all.find("_b.jpg\t" + install.Tree() + "/Sub/\t0\t"), std::string::npos) << all;
  EXPECT_EQ(dir.Read("home/index/MetaIndex.ind").size(), size_t{kListCount} * 8);
  EXPECT_FALSE(dir.Read("home/index/IndexData.ind").empty());

  std::string config_text = dir.Read("home/config.txt");
  EXPECT_EQ(config_text.find('\r'), std::string::npos);
  IndexConfig config = install.ReadConfig();
  EXPECT_EQ(config.UpdateFrequency, kUpdateDaily);
  EXPECT_GE(config.LastIndexTime, before);
  EXPECT_LE(config.LastIndexTime, after);
  EXPECT_STREQ(config.FirstServerAddress, "127.0.0.1");
  EXPECT_STREQ(config.SecondServerAddress, "127.0.0.2");

  // The new time makes the next start end at once.
  EXPECT_EQ(RunIndexer(install).ExitStatus, 255);
}

TEST(JollixIndexer, FrequencyZeroRebuildsAtEveryStart) {
  TestInstallation install;
  install.WriteConfig(kUpdateEveryStart, CurrentTime() - 1);
  ASSERT_EQ(RunIndexer(install).ExitStatus, 0);
  ASSERT_EQ(RunIndexer(install).ExitStatus, 0);
}

TEST(JollixIndexer, MissingTypeTableEndsWithMinusFiveAndTheFatalLine) {
  TestInstallation install;
  install.WriteConfig(kUpdateDaily, 0);
  fs::remove(install.Home() + "/index/FileType.txt");
  ProgramRun run = RunIndexer(install);
  EXPECT_EQ(run.ExitStatus, 251);
  EXPECT_NE(run.Out.find("系统文件丢失,请与开发商联系!异常点为文件 BuildIndex 的第 "),
            std::string::npos)
      << run.Out;
  EXPECT_EQ(install.ReadConfig().LastIndexTime, 0);
}

TEST(JollixIndexer, MissingSettingsEndWithMinusOne) {
  TestInstallation install;
  install.WriteConfig(kUpdateDaily, 0);
  fs::remove(install.Home() + "/index/ScanFolder.txt");
  ProgramRun run = RunIndexer(install);
  EXPECT_EQ(run.ExitStatus, 255);
  EXPECT_NE(run.Out.find("异常点为文件 ScanDisk 的第 "), std::string::npos) << run.Out;

  fs::remove(install.Home() + "/config.txt");
  run = RunIndexer(install);
  EXPECT_EQ(run.ExitStatus, 255);
  // Without a display the message box is a line on standard error, in UTF-8.
  EXPECT_NE(
      run.Err.find(reinterpret_cast<const char*>(u8"打开系统配置文件失败，请与软件开发商联系！")),
      std::string::npos)
      << run.Err;

  run = RunHeadless(BuildProgram("JollixIndexer"), {},
                    {{{"JOLLIX_HOME", install.Home() + "/missing"}}, {}});
  EXPECT_EQ(run.ExitStatus, 255);
}

}  // namespace
}  // namespace jollix
