// jollix version run as a process against a fake version server on 127.0.0.1.
#include <gtest/gtest.h>

#include "testing/FakeVersionServer.h"
#include "testing/Process.h"
#include "testing/TestInstallation.h"

namespace jollix {
namespace {

using testing::BuildProgram;
using testing::FakeVersionServer;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::TestInstallation;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class JollixVersion : public ::testing::Test {
 protected:
  JollixVersion() {
    install_.dir().Write("home/config.txt",
                         "索引更新频率\t86400\n上次索引时间\t0\n第一服务器IP\t127.0.0.2\n"
                         "第二服务器IP\t127.0.0.1\n");
  }
  ProgramRun Version(int port) {
    return RunHeadless(BuildProgram("jollix"), {"jollix", "version", "--port", std::to_string(port)},
                       install_.Env());
  }

  TestInstallation install_;
};

TEST_F(JollixVersion, PrintsTheThreeTextsOfTheDialog) {
  FakeVersionServer fake(testing::VersionInformationReply(
      "20080101\tJollix\thttp://dl.example/new\n更快的搜索"));
  ProgramRun run = Version(fake.port());
  EXPECT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, U8(u8"服务器最新版本：20080101\n更快的搜索\nhttp://dl.example/new\n"));
}

TEST_F(JollixVersion, FailedCheckPrintsTheFailureTextAndEndsWithOne) {
  FakeVersionServer fake(testing::VersionStatusReply(2));
  ProgramRun run = Version(fake.port());
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Out, U8(u8"服务器最新版本：\n检测最新版本失败，请与软件开发商联系！\n\n"));
}

TEST_F(JollixVersion, StopOrderEndsTheProcessWithMinusFour) {
  FakeVersionServer fake(testing::VersionStatusReply(3));
  ProgramRun run = Version(fake.port());
  EXPECT_EQ(run.ExitStatus, 252);
  EXPECT_EQ(run.Out, "");
}

}  // namespace
}  // namespace jollix
