// JollixSearch run as a process: on a virtual display with a built index, and without a display.
#include <gtest/gtest.h>

#include <string>

#include "testing/Process.h"
#include "testing/TestInstallation.h"
#include "testing/VirtualDisplay.h"

namespace jollix {
namespace {

using testing::BuildProgram;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::TestInstallation;
using testing::VirtualDisplay;

const char8_t kTitle[] =
    u8"Jollix超级搜索---搜索桌面、网页、新闻、文档、音乐、论文、国学、词典、软件、天气、列车时刻、"
    u8"航班、手机号码归属地....";

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(JollixSearchProgram, WithoutADisplaySaysSoAndPointsToTheTerminalFrontEnd) {
  TestInstallation install;
  ProgramRun run = RunHeadless(BuildProgram("JollixSearch"), {}, install.Env());
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find("DISPLAY"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find(BuildProgram("jollix") + " find"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find(Utf8(u8"需要显示器")), std::string::npos) << run.Err;
}

TEST(JollixSearchProgram, OpensItsWindowOnADisplayAndEndsCleanlyWhenItIsClosed) {
  TestInstallation install;
  install.WriteConfig(86400, 0);
  ProgramRun indexed = RunHeadless(BuildProgram("JollixIndexer"), {}, install.Env());
  ASSERT_EQ(indexed.ExitStatus, 0) << indexed.Err;

  VirtualDisplay display;
  ASSERT_TRUE(display.ok()) << "Xvfb did not start";
  testing::ProgramEnv env = install.Env();
  env.Set.push_back({"DISPLAY", display.name()});
  env.Unset.push_back("WAYLAND_DISPLAY");
  env.Unset.push_back("QT_QPA_PLATFORM");  // the real platform, not the tests' offscreen one
  std::string error;
  const int pid = testing::StartProgram(BuildProgram("JollixSearch"), {}, env,
                                        install.dir() / "out", install.dir() / "err", &error);
  ASSERT_GT(pid, 0) << error;

  const unsigned long window = display.WaitForWindow(Utf8(kTitle), 30000);
  ASSERT_NE(window, 0u) << "no window; stderr: " << install.dir().Read("err");
  int width = 0, height = 0;
  ASSERT_TRUE(display.WindowSize(window, &width, &height));
  EXPECT_GE(width, 640);
  EXPECT_GE(height, 400);

  ASSERT_TRUE(display.RequestClose(window));
  EXPECT_EQ(testing::WaitForExit(pid, 20000), 0) << install.dir().Read("err");
  // Nothing asked: the index was there.
  EXPECT_EQ(install.dir().Read("out"), "");
}

}  // namespace
}  // namespace jollix
